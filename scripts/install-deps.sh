#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only checks and returns.
set -euo pipefail

# clang and its runtime libraries for the libFuzzer targets.
native_pkgs=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev clang-14 libclang-rt-14-dev)
# wine64 alone: the Wine tests run the 64-bit build, since many kernels here
# cannot run 32-bit Linux code and so cannot run 32-bit Wine.
win_pkgs=(g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix
          mingw-w64-x86-64-dev wine wine64 xvfb xauth x11-utils imagemagick fonts-liberation fonts-wine zip unzip)

want=("${native_pkgs[@]}")
[ "${1:-}" = "--native-only" ] || want+=("${win_pkgs[@]}")

missing=()
for p in "${want[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}; run as root to install them" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
