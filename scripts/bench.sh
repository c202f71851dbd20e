#!/usr/bin/env bash
# The Windows side of `make bench` (which builds first): the machine, the size
# and imports of the shipped torvane.exe and its 64-bit twin beside the floors
# built the same way, then the window benchmarks under Wine, with the shipped
# exe's start-up and memory beside the twin's where it runs. Prints Markdown.
#   usage: scripts/bench.sh [runs]
# BENCH_CPU: the CPU the window benchmarks run on; the last one by default.
set -euo pipefail
runs=${1:-31}
# Unpinned, a start on a VM of two cores takes either its time or two to four
# times that, as the scheduler moves Wine's processes about; no number of runs
# averages that out. Pinned, every process of the run (Xvfb, wineserver, the
# programs) shares one CPU.
cpu=${BENCH_CPU:-$(( $(nproc) - 1 ))}
load() { cut -d' ' -f1-3 /proc/loadavg; }

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
  "Linux $(uname -r), $(wine --version 2>/dev/null)"
echo
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC'); load average at the start: $(load)"
echo

kib() { awk -v b="$1" 'BEGIN { printf "%.1f KiB", b / 1024 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { r = a / b; printf(r < 10 ? "%.2f" : "%.0f", r) }'; }
imports() {
  "$1-objdump" -p "$2" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | xargs |
    sed 's/ /, /g'
}

echo "| Measure | Subject | Baseline, same build | Ratio | Goal |"
echo "|---|---|---|---|---|"
for arch in win32:i686 win64:x86_64; do
  build=${arch%%:*} prefix=${arch##*:}-w64-mingw32 bin=build/${arch%%:*}/bin
  size=$(stat -c %s "$bin/torvane.exe")
  bare=$(stat -c %s "$bin/bare_floor.exe") themed=$(stat -c %s "$bin/themed_floor.exe")
  same=$(stat -c %s "$bin/same_window_floor.exe")
  if [ "$build" = win32 ]; then
    what="Size of the shipped 32-bit exe" goal="<= 300 KiB"
  else
    what="(reference) size of the 64-bit twin" goal="-"
  fi
  echo "| $what | torvane.exe: $(kib "$size") ($size bytes) |" \
    "bare_floor.exe: $(kib "$bare"); themed_floor.exe: $(kib "$themed");" \
    "same_window_floor.exe: $(kib "$same") |" \
    "$(ratio "$size" "$bare") | $goal |"
done
echo
for arch in win32:i686 win64:x86_64; do
  echo "Imports of torvane.exe (${arch%%:*}): $(imports "${arch##*:}-w64-mingw32" \
    "build/${arch%%:*}/bin/torvane.exe")"
  echo
done

# The shipped exe, where this machine runs it, is started by the same run as
# its twin, from the twin's prefix (Z: is the root).
shipped=()
if reason=$(bash scripts/runs-32bit.sh); then
  shipped=("Z:$(realpath build/win32/bin/torvane.exe | tr / '\\')")
else
  echo "The shipped 32-bit exe is not measured: $reason; its 64-bit twin is."
  echo
fi
if [ -n "${DISPLAY:-}" ]; then
  echo "The window benchmarks run on CPU $cpu (taskset); the X server of DISPLAY=$DISPLAY is not" \
    "pinned with them."
else
  echo "The window benchmarks run on CPU $cpu (taskset), with their own Xvfb and wineserver."
fi
echo
# Wine says this at every file dialog on a Z: drive it may not label.
taskset -c "$cpu" scripts/with-wine.sh build/win64 wine build/win64/bin/window_bench.exe "$runs" \
  "${shipped[@]}" 2> >(grep -v 'FS volume label and serial are not available' >&2)
echo
echo "Load average at the end: $(load)"
