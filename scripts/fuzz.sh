#!/usr/bin/env bash
# Runs each fuzz target for a bounded time and prints one line per target.
#   scripts/fuzz.sh <build folder> <seconds> [target...]
# The corpus grows in <build folder>/corpus/<target>, seeded from the small one
# in fuzz/corpus; an input that shows a fault is written to
# <build folder>/findings/. Exits 1 when any target found something.
set -uo pipefail

build=$1
seconds=$2
shift 2
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(roundtrip_fuzz)
here=$(cd "$(dirname "$0")/.." && pwd)

failed=0
for t in "${targets[@]}"; do
  corpus="$build/corpus/$t"
  log="$build/logs/$t.log"
  mkdir -p "$corpus" "$build/logs" "$build/findings"
  cp -n "$here/fuzz/corpus/$t/"* "$corpus/"
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=30 \
    -artifact_prefix="$build/findings/$t-" "$corpus" >"$log" 2>&1
  rc=$?
  # "#1234 DONE cov: 250 ft: 575 corp: 170/1488b lim: 33 exec/s: 1535 rss: 397Mb"
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1)
  runs=$(sed -nE 's/^Done ([0-9]+) runs in ([0-9]+) second.*/\1 runs in \2 s/p' "$log" | tail -1)
  field() { sed -nE "s|.* $1: ([^ ]+).*|\1|p" <<<"$done_line"; }
  if [ $rc -eq 0 ] && [ -n "$done_line" ]; then
    echo "fuzz $t: ok, $runs, $(field exec/s) exec/s, cov $(field cov), ft $(field ft), corpus $(field corp)"
  else
    failed=1
    echo "fuzz $t: FINDING (exit $rc), log $log"
    grep -E 'property failed|terminate called|ERROR:|SUMMARY:|Test unit written' "$log" | sed 's/^/  /'
  fi
done
exit $failed
