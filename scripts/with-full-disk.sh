#!/usr/bin/env bash
# Runs a command with a tiny, nearly full file system mounted for the test
# that needs a full disk, named to Windows programs in TORVANE_FULL_DIR. The
# mount needs root (make test runs as root); when it cannot be made, the
# reason goes to TORVANE_FULL_DISK_ERROR and that test fails with it.
# Run inside with-wine.sh, which gives WINEPREFIX.
#   usage: scripts/with-full-disk.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail
build_dir=${1:?build folder}
shift
dir="$(cd "$build_dir" && pwd)/full-disk"
error=
if [ "$(id -u)" -ne 0 ]; then
  error="with-full-disk.sh runs as $(id -un), and a tmpfs mount needs root"
else
  mkdir -p "$dir"
  if ! mountpoint -q "$dir"; then
    if out=$(mount -t tmpfs -o size=64k tmpfs "$dir" 2>&1); then
      trap 'umount "$dir" 2>/dev/null || true' EXIT
    else
      error="mount -t tmpfs on $dir failed: $out"
    fi
  fi
fi
if [ -z "$error" ]; then
  # Fill it but for a few kilobytes.
  rm -rf "$dir/empty" "$dir/filler"
  dd if=/dev/zero of="$dir/filler" bs=1k count=56 status=none 2>/dev/null || true
  mkdir -p "$dir/empty"
  TORVANE_FULL_DIR="$(winepath -w "$dir/empty")"
  export TORVANE_FULL_DIR
else
  echo "with-full-disk: $error" >&2
  export TORVANE_FULL_DISK_ERROR="$error"
fi
"$@"
