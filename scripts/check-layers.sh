#!/usr/bin/env bash
# The house rules a compiler cannot see, over the #include lines of src/:
# every dependency points one way (platform <- helpers and windows; platform
# <- win32; everything <- app), only win32 and app see Windows' headers, and
# no file grows past 400 lines.
set -uo pipefail
cd "$(dirname "$0")/.."

helpers="cipher text dialog dispatch placement"
windows="main_window about"
failures=0

allowed() {  # the folders a folder's files may include from
  case $1 in
    platform) echo "platform" ;;
    cipher | text | dialog | dispatch | placement) echo "platform $helpers" ;;
    main_window | about) echo "platform $helpers $1" ;;
    win32) echo "platform win32" ;;
    app) echo "platform $helpers $windows win32 app" ;;
    *) echo "" ;;
  esac
}

for file in $(git ls-files 'src/*.h' 'src/*.cpp'); do
  folder=$(echo "$file" | cut -d/ -f2)
  ok=$(allowed "$folder")
  if [[ -z $ok ]]; then
    echo "check-layers: $file: src/$folder is not a folder of the house"
    failures=$((failures + 1))
    continue
  fi
  while IFS=: read -r line target; do
    to=${target%%/*}
    if [[ " $ok " != *" $to "* ]]; then
      echo "check-layers: $file:$line includes \"$target\": src/$folder may not depend on src/$to"
      failures=$((failures + 1))
    fi
  done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
  # The runtime's own parts: every file in one of them, and the base (handles,
  # errors, the guard, text, system DLLs) needs none of the others.
  if [[ $folder == win32 ]]; then
    part=$(echo "$file" | cut -d/ -f3)
    case $part in
      base | windows | files | system) ;;
      *)
        echo "check-layers: $file: a file of src/win32 belongs in base, windows, files or system"
        failures=$((failures + 1))
        ;;
    esac
    if [[ $part == base ]] && grep -nE '^#include "win32/(windows|files|system)/' "$file"; then
      echo "check-layers: $file: src/win32/base may not depend on the runtime's other parts"
      failures=$((failures + 1))
    fi
  fi
  if [[ $folder != win32 && $folder != app ]] &&
     grep -nE '^#include <(windows|winuser|winbase|commdlg|commctrl|shellapi|shlobj|objbase)\.h>' "$file"; then
    echo "check-layers: $file: only src/win32 and src/app include Windows' headers"
    failures=$((failures + 1))
  fi
  lines=$(wc -l <"$file")
  if ((lines > 400)); then
    echo "check-layers: $file has $lines lines; a file of src/ stays under 400"
    failures=$((failures + 1))
  fi
done

if ((failures > 0)); then
  echo "check-layers: $failures rule(s) broken"
  exit 1
fi
echo "check-layers: every include points the right way; no file over 400 lines"
