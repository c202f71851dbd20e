#!/usr/bin/env bash
# Starts a program, waits for its window of the given title, and saves a
# picture of that window (run through with-wine.sh, which gives the display).
#   usage: scripts/screenshot.sh EXE OUT.png [TITLE [ARGS...]]
# TITLE defaults to "Torvane", the main window; ARGS go to EXE.
set -euo pipefail
exe=${1:?exe} out=${2:?png} title=${3:-Torvane}
shift $(( $# < 3 ? $# : 3 ))
mkdir -p "$(dirname "$out")"
wine "$exe" "$@" &
pid=$!
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q "\"$title\"" && break
  sleep 0.1
done
sleep 1
id=$(xwininfo -root -tree | grep "\"$title\"" | head -1 | awk '{print $1}')
import -window "$id" "$out"
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "screenshot: $out"
