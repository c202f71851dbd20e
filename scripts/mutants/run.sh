#!/usr/bin/env bash
# Plants each fault of faults.txt in turn, builds, runs the tests that should
# catch it, and puts the source back. Prints "caught N of M" and the faults
# that survived; fails when one survives or does not build. A fault for the
# Windows tests is caught only when the suite of every build this machine runs
# fails: the 64-bit twin's, and the shipped 32-bit exe's where it runs. Run
# through `make mutants`, which gives it Wine (with-wine.sh) and a full disk.
#   usage: scripts/mutants/run.sh [PATTERN]   (only the faults whose
#          description contains PATTERN; MUTANTS_SUITE=native or wine: only
#          the faults of that suite)
set -uo pipefail
cd "$(dirname "$0")/../.."

list=scripts/mutants/faults.txt
pattern=${1:-}
native=build/mutants-native
win=build/mutants-win64
log=build/mutants.log
mkdir -p build
: >"$log"
# The Windows builds the faults are tried on, the shipped one where it runs.
wins=("$win")
if shipped=$(bash scripts/runs-32bit.sh); then
  wins+=(build/mutants-win32)
  shipped="on the 64-bit twin and the shipped 32-bit exe"
else
  shipped="on the 64-bit twin only: $shipped"
fi

# Builds of their own, so the usual ones stay as they are. No sanitizers
# natively: a fault shows as a failing test either way, and builds are quicker.
cmake -S . -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >>"$log" 2>&1 || exit 1
cmake --build "$native" --target torvane_unit_tests >>"$log" 2>&1 || { echo "mutants: the native build fails as it is"; exit 1; }
for w in "${wins[@]}"; do
  cmake --preset "${w##*-}" -B "$w" >>"$log" 2>&1 || exit 1
  cmake --build "$w" --target torvane torvane_e2e >>"$log" 2>&1 || { echo "mutants: the $w build fails as it is"; exit 1; }
done

current=""
backup=$(mktemp)
restore() {
  if [[ -n $current ]]; then
    cp "$backup" "$current"
    touch "$current"
    current=""
  fi
}
trap 'restore; rm -f "$backup"' EXIT
trap 'exit 130' INT TERM

# Replaces the one occurrence of FIND in FILE; fails when there is not exactly one.
plant() {
  FIND=$2 REPLACE=$3 perl -0777 -i -pe '
    BEGIN { ($f, $r) = ($ENV{FIND}, $ENV{REPLACE}); s/\\n/\n/g for $f, $r; }
    $n = () = /\Q$f\E/g;
    if ($n != 1) { print STDERR "found $n times\n"; exit 3; }
    s/\Q$f\E/$r/;' "$1"
}

# 0: the tests passed, 2: no build, else: the tests failed. `missed` names the
# Windows build whose suite passed.
missed=""
run_tests() {  # SUITE [FILTER]
  local filter=${2:-*}
  if [[ $1 == native ]]; then
    cmake --build "$native" --target torvane_unit_tests >>"$log" 2>&1 || return 2
    timeout 300 "$native/tests/unit/torvane_unit_tests" --gtest_brief=1 --gtest_filter="$filter" >>"$log" 2>&1
    return
  fi
  missed=""
  for w in "${wins[@]}"; do
    cmake --build "$w" --target torvane torvane_e2e >>"$log" 2>&1 || return 2
    if timeout 600 wine "$w/bin/torvane_e2e.exe" --gtest_brief=1 --gtest_filter="$filter" >>"$log" 2>&1; then
      missed=$w
      return 0
    fi
  done
  return 1
}

caught=0 total=0 start=$(date +%s)
survivors=() broken=() equivalents=()
try() {  # one entry
  [[ -z $desc ]] && return
  [[ -n $pattern && $desc != *"$pattern"* ]] && return
  [[ -n ${MUTANTS_SUITE:-} && ${tests%% *} != "$MUTANTS_SUITE" ]] && return
  if [[ -n $equivalent ]]; then
    equivalents+=("$desc: $equivalent")
    return
  fi
  total=$((total + 1))
  echo "== $desc" >>"$log"
  cp "$file" "$backup"
  current=$file
  if ! plant "$file" "$find" "$replace" 2>>"$log"; then
    broken+=("$desc (the text to change is not found once in $file)")
    restore
    return
  fi
  run_tests $tests
  local rc=$?
  restore
  if ((rc == 2)); then
    broken+=("$desc (does not build)")
  elif ((rc != 0)); then
    caught=$((caught + 1))
    printf 'caught    %s\n' "$desc"
  else
    survivors+=("$desc${missed:+ (passed in $missed)}")
    printf 'SURVIVED  %s\n' "$desc${missed:+ (passed in $missed)}"
  fi
}

desc="" file="" find="" replace="" tests="" equivalent=""
while IFS= read -r line || [[ -n $line ]]; do
  case $line in
    "== "*) try; desc=${line#== } file="" find="" replace="" tests="" equivalent="" ;;
    file:*) file=${line#file: } ;;
    find:*) find=${line#find: } ;;
    replace:*) replace=${line#replace:}; replace=${replace# } ;;
    tests:*) tests=${line#tests: } ;;
    equivalent:*) equivalent=${line#equivalent: } ;;
  esac
done <"$list"
try

echo
echo "mutants: the Windows faults were tried $shipped"
echo "mutants: caught $caught of $total in $(( ($(date +%s) - start) / 60 )) min $(( ($(date +%s) - start) % 60 )) s (log: $log)"
for s in "${survivors[@]}"; do echo "  survived: $s"; done
for b in "${broken[@]}"; do echo "  broken entry: $b"; done
if ((${#equivalents[@]} > 0)); then
  echo "equivalent changes, not run:"
  for e in "${equivalents[@]}"; do echo "  $e"; done
fi
((${#survivors[@]} == 0 && ${#broken[@]} == 0))
