#!/usr/bin/env bash
# Checks the shipped torvane.exe: a 32-bit PE of at most 300 KiB, importing
# only the Windows DLLs it needs at start, with version 1.00 in its version
# resource.
set -uo pipefail
exe=${1:?torvane.exe}
passed=0 failed=0
check() {
  if eval "$2"; then passed=$((passed + 1)); echo "ok: $1"; else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

check "PE32 for i386" "file '$exe' | grep -q 'PE32 executable (GUI) Intel 80386'"
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
# What showing the main window needs, and no more: comdlg32, shell32 and ole32
# are loaded at their first use.
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll msvcrt.dll"
bad=""
for dll in $imports; do
  case " $allowed " in *" $dll "*) ;; *) bad="$bad $dll" ;; esac
done
echo "imports: $(echo $imports)"
check "imports only what showing the main window needs${bad:+ (not:$bad)}" "[ -z '$bad' ]"
size=$(stat -c %s "$exe")
echo "size: $size bytes"
check "at most 300 KiB" "[ $size -le $((300 * 1024)) ]"
# The version strings are UTF-16 in the resource.
versions=$(strings -el "$exe" | grep -A1 -x -E 'FileVersion|ProductVersion' | grep -v -x -E 'FileVersion|ProductVersion|--' | sort -u)
check "version resource says 1.00 (file and product)" "[ '$versions' = '1.00' ]"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
