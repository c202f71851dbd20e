#!/usr/bin/env bash
# Starts the program, waits for its window, and saves a picture of it
# (run through with-wine.sh, which gives the display).
#   usage: scripts/screenshot.sh EXE OUT.png
set -euo pipefail
exe=${1:?exe} out=${2:?png}
mkdir -p "$(dirname "$out")"
wine "$exe" &
pid=$!
for _ in $(seq 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Torvane"' && break
  sleep 0.1
done
sleep 1
id=$(xwininfo -root -tree | grep '"Torvane"' | head -1 | awk '{print $1}')
import -window "$id" "$out"
kill "$pid" 2>/dev/null || true
wineserver -k 2>/dev/null || true
echo "screenshot: $out"
