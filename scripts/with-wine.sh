#!/usr/bin/env bash
# Runs a command with the project's Wine: the prefix of the build folder (made
# once), one wineserver kept up for the whole command, and Xvfb when there is
# no display.
#   usage: scripts/with-wine.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  # Everything below, Wine's desktop process included, must see the display.
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

build_dir=${1:?build folder}
shift
mkdir -p "$build_dir"
export WINEPREFIX="$(cd "$build_dir" && pwd)/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts, no sound devices.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winealsa.drv=d;winepulse.drv=d;wineoss.drv=d"

# A server left running for this prefix (a command that was cut short) would
# make the waits below hang.
wineserver -k 2>/dev/null || true

# A prefix made before Debian's 32-bit Wine was installed, or after it was
# removed, does not start 64-bit programs under the other loader ("could not
# load kernel32.dll"): it is made again.
loaders=$(ls /usr/lib/wine/wine /usr/lib/wine/wine64 2>/dev/null | tr '\n' ' ')
if [ -d "$WINEPREFIX" ] && [ "$(cat "$WINEPREFIX/.torvane-loaders" 2>/dev/null)" != "$loaders" ]; then
  echo "with-wine: Wine's loaders changed since $WINEPREFIX was made: making it again"
  rm -rf "$WINEPREFIX"
fi

# The prefix's settings; a prefix made with older ones is brought up to date.
settings=2
if [ "$(cat "$WINEPREFIX/.torvane-ready" 2>/dev/null)" != "$settings" ]; then
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "with-wine: creating the Wine prefix in $WINEPREFIX (once per build folder)"
    WINEARCH=win64 wineboot --init >/dev/null 2>&1 || true
  fi
  # Wine draws the frames itself: without a window manager (Xvfb) a managed
  # window waits two seconds for one at every hide and close.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Debian's Wine looks for its own fonts in /usr/share/fonts, which holds
  # only folders, while fonts-wine puts them in /usr/share/wine/fonts. Without
  # them there is no Marlett, and the caption buttons are drawn as the letters
  # that stand for them: "r" for the close box.
  fonts=$(dpkg-query -L fonts-wine | grep -m1 '/marlett\.ttf$' || true)
  [ -n "$fonts" ] || { echo "with-wine: fonts-wine has no marlett.ttf (make deps)" >&2; exit 1; }
  wine reg add 'HKCU\Software\Wine\Fonts' /v Path /d "$(winepath -w "$(dirname "$fonts")")" /f \
    >/dev/null 2>&1
  wineserver -w
  echo "$settings" >"$WINEPREFIX/.torvane-ready"
  echo "$loaders" >"$WINEPREFIX/.torvane-loaders"
fi

wineserver -p 60  # one server for every Wine process of this command
trap 'wineserver -k 2>/dev/null || true' EXIT
# Start Wine's services and desktop process now, with their output going
# nowhere: started later, they would inherit a test's output pipe and keep the
# test runner waiting for it to close.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

"$@"
