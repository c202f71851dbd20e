#!/usr/bin/env bash
# Packs the release zip: the shipped 32-bit torvane.exe, help.doc from beside
# it in the build output, and README.md, at the zip's top level. The files are
# dated by the last commit, so the same sources give the same zip.
#   usage: scripts/dist.sh OUT.zip
# TORVANE_EXE and TORVANE_HELP name other inputs.
set -euo pipefail
out=${1:?output zip}
exe=${TORVANE_EXE:-build/win32/bin/torvane.exe}
help=${TORVANE_HELP:-$(dirname "$exe")/help.doc}

fail() { echo "dist: $*" >&2; exit 1; }
[ -f "$exe" ] || fail "$exe is missing: build it first (make windows)"
[ -f README.md ] || fail "run from the source folder: README.md is missing"
[ -f "$help" ] || fail "$help is missing: the package needs the help document beside torvane.exe"
files=("$exe" README.md "$help")

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "${files[@]}" "$stage/"
stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
touch -d "@$stamp" "$stage"/*
mkdir -p "$(dirname "$out")"
rm -f "$out"
out_abs="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
(cd "$stage" && TZ=UTC zip -q -X -D "$out_abs" $(ls | LC_ALL=C sort))
echo "dist: $out ($(stat -c %s "$out") bytes): $(cd "$stage" && ls | LC_ALL=C sort | xargs)"
