#!/usr/bin/env bash
# Checks the release package as scripts/dist.sh makes it: the zip opens, holds
# exactly torvane.exe, help.doc and README.md, and its exe passes the checks of
# the shipped program (PE32, Windows' own imports, version 1.00). Packs into a
# temporary folder, leaving build/dist alone.
set -uo pipefail
exe=build/win32/bin/torvane.exe
help=build/win32/bin/help.doc
passed=0 failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); echo "ok: $1"; else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
zip=$tmp/torvane-1.00-win32.zip

expected="README.md help.doc torvane.exe"
check "the package is made" 'bash scripts/dist.sh "$zip" >/dev/null'
check "the zip opens and every file's CRC is right" 'unzip -tqq "$zip" >/dev/null'
names=$(unzip -Z1 "$zip" 2>/dev/null | LC_ALL=C sort | xargs)
check "it holds exactly: $expected (holds: $names)" '[ "$names" = "$expected" ]'

mkdir "$tmp/x" && unzip -qq "$zip" -d "$tmp/x" 2>/dev/null
check "its torvane.exe is the shipped build" 'cmp -s "$exe" "$tmp/x/torvane.exe"'
check "its README.md is the project's" 'cmp -s README.md "$tmp/x/README.md"'
check "its help.doc is the build's" 'cmp -s "$help" "$tmp/x/help.doc"'

# The exe as unpacked: the same checks as the shipped file.
exe_out=$(bash scripts/check-exe.sh "$tmp/x/torvane.exe" 2>&1)
exe_rc=$?
echo "$exe_out" | sed '$d' | sed 's/^/  packaged exe: /'
check "the packaged exe passes the exe checks ($(echo "$exe_out" | tail -1))" '[ "$exe_rc" -eq 0 ]'

# The checks can fail: a 64-bit exe is refused, and no package is made
# without help.doc.
if [ -f build/win64/bin/torvane.exe ]; then
  check "the exe checks refuse the 64-bit build" \
    '! bash scripts/check-exe.sh build/win64/bin/torvane.exe >/dev/null 2>&1'
fi
check "packing without help.doc fails, naming it, and leaves no zip" \
  '! TORVANE_HELP="$tmp/none/help.doc" \
     bash scripts/dist.sh "$tmp/no-help.zip" 2>"$tmp/err" &&
   grep -q "help.doc is missing" "$tmp/err" && [ ! -e "$tmp/no-help.zip" ]'

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
