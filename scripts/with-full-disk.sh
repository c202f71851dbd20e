#!/usr/bin/env bash
# Runs a command with a tiny, nearly full file system mounted for the tests
# that need a full disk, named to Windows programs in TORVANE_FULL_DIR. Needs
# root (a tmpfs mount); without it the command runs and those tests skip.
# Run inside with-wine.sh, which gives WINEPREFIX.
#   usage: scripts/with-full-disk.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail
build_dir=${1:?build folder}
shift
dir="$(cd "$build_dir" && pwd)/full-disk"
mounted=
if [ "$(id -u)" -eq 0 ]; then
  mkdir -p "$dir"
  if mountpoint -q "$dir" || mount -t tmpfs -o size=64k tmpfs "$dir" 2>/dev/null; then
    mounted=1
  fi
fi
if [ -n "$mounted" ]; then
  trap 'umount "$dir" 2>/dev/null || true' EXIT
  # Fill it but for a few kilobytes.
  dd if=/dev/zero of="$dir/filler" bs=1k count=56 status=none 2>/dev/null || true
  mkdir -p "$dir/empty"
  TORVANE_FULL_DIR="$(winepath -w "$dir/empty")"
  export TORVANE_FULL_DIR
fi
"$@"
