#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when
# everything is present it only checks and returns.
set -euo pipefail
cd "$(dirname "$0")/.."

# clang and its runtime libraries for the libFuzzer targets.
native_pkgs=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev clang-14 libclang-rt-14-dev)
# libc6-i386 brings the 32-bit loader that scripts/runs-32bit.sh starts to
# tell whether this machine runs 32-bit code.
win_pkgs=(g++-mingw-w64-i686-posix mingw-w64-i686-dev g++-mingw-w64-x86-64-posix
          mingw-w64-x86-64-dev wine wine64 libc6-i386 xvfb xauth x11-utils imagemagick fonts-liberation
          fonts-wine zip unzip)

installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]; }

# libclang's Python bindings, with which make mutants-sample finds the places
# to plant faults (for Debian's own python3).
mutants_pkgs=(python3-clang-14 libclang1-14)

want=("${native_pkgs[@]}")
case ${1:-} in
  --native-only) ;;
  --mutants) want=("${mutants_pkgs[@]}") ;;
  *) want+=("${win_pkgs[@]}") ;;
esac
missing=()
for p in "${want[@]}"; do installed "$p" || missing+=("$p"); done

as_root() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: $*; run as root to install them" >&2
    exit 1
  fi
  echo "install-deps: installing $*"
  export DEBIAN_FRONTEND=noninteractive
}

if [ ${#missing[@]} -gt 0 ]; then
  as_root "${missing[@]}"
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
case ${1:-} in --native-only | --mutants) exit 0 ;; esac

# Debian's 32-bit Wine runs the shipped 32-bit exe, where the kernel runs
# 32-bit code. Where it does not, nothing of i386 is installed: Debian's wine
# starts the 32-bit loader first for every program when wine32 is there, and
# would then fail for 64-bit programs too.
if bash scripts/runs-32bit.sh >/dev/null && ! installed wine32:i386; then
  as_root wine32:i386
  dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null
fi
