#!/usr/bin/env bash
# The Windows side of `make bench` (which builds first): the machine, the size
# and imports of both torvane.exe builds against the bare floor
# built the same way, then the window benchmarks under Wine.
#   usage: scripts/bench.sh [runs]
set -euo pipefail
runs=${1:-15}

echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
  "Linux $(uname -r), $(wine --version 2>/dev/null)"
echo "Date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo

kib() { awk -v b="$1" 'BEGIN { printf "%.1f KiB", b / 1024 }'; }
for arch in win32:i686 win64:x86_64; do
  build=${arch%%:*} prefix=${arch##*:}-w64-mingw32
  exe=build/$build/bin/torvane.exe floor=build/$build/bin/bare_floor.exe
  size=$(stat -c %s "$exe") floor_size=$(stat -c %s "$floor")
  echo "torvane.exe ($build): $size bytes ($(kib "$size")); bare_floor.exe $(kib "$floor_size");" \
    "ratio $(awk -v a="$size" -v b="$floor_size" 'BEGIN { printf "%.2f", a / b }')"
  echo "  imports: $("$prefix-objdump" -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' |
    sort -u | xargs)"
done
echo

# Wine says this at every file dialog on a Z: drive it may not label.
scripts/with-wine.sh build/win64 wine build/win64/bin/window_bench.exe "$runs" \
  2> >(grep -v 'FS volume label and serial are not available' >&2)
