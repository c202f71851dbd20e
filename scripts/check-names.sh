#!/usr/bin/env bash
# No name of the portable headers may be a macro of <windows.h>: in src/win32
# and src/app the macro renames it (MessageBox becomes MessageBoxW there), so
# the two sides would mean two different types by one name. The macros come
# from the mingw compiler's own headers, as the Windows build sees them.
#   usage: scripts/check-names.sh
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=x86_64-w64-mingw32-g++-posix
macros=$(mktemp)
names=$(mktemp)
trap 'rm -f "$macros" "$names"' EXIT

printf '#include <%s>\n' windows.h commctrl.h commdlg.h shellapi.h shlobj.h imm.h |
  "$cxx" -x c++ -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX -dM -E - |
  awk '$1 == "#define" { sub(/\(.*/, "", $2); print $2 }' | sort -u >"$macros"

# The identifiers of every portable header, without comments and strings.
git ls-files 'src/*.h' | grep -vE '^src/(win32|app)/' | xargs cat |
  sed -E 's:/\*[^*]*\*/::g; s://.*$::; s/"([^"\\]|\\.)*"/""/g' |
  grep -oE '\b[A-Za-z][A-Za-z0-9_]*\b' | sort -u >"$names"

clashes=$(comm -12 "$macros" "$names")
if [[ -n $clashes ]]; then
  echo "check-names: these names of the portable headers are macros of <windows.h>:" $clashes >&2
  exit 1
fi
echo "check-names: no portable name is a macro of <windows.h> ($(wc -l <"$names") names, $(wc -l <"$macros") macros)"
