#!/usr/bin/env bash
# The end of make test: how many tests ran and were skipped (none may be),
# how many of them on the shipped 32-bit exe, or in words why it was not run,
# and the size of the tests against the code they test, in non-blank,
# non-comment lines.
#   usage: scripts/test-summary.sh --twin JUNIT
#            (--shipped JUNIT | --shipped-not-run REASON) JUNIT...
# The twin's and the shipped exe's files are the same e2e suite on the 64-bit
# and the 32-bit build: both must have run the same number of tests.
set -euo pipefail
cd "$(dirname "$0")/.."

twin="" shipped="" not_run=""
while [ $# -gt 0 ]; do
  case $1 in
    --twin) twin=$2; shift 2 ;;
    --shipped) shipped=$2; shift 2 ;;
    --shipped-not-run) not_run=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ -z "$twin" ] || [ -z "$shipped$not_run" ]; then
  echo "test-summary: --twin and one of --shipped or --shipped-not-run are needed" >&2
  exit 2
fi

count() { grep -c "<$1" "$2" || true; }
ran=0 skipped=0
for f in "$twin" $shipped "$@"; do
  ran=$((ran + $(count 'testcase ' "$f")))
  skipped=$((skipped + $(count skipped "$f")))
done

lines() {
  git ls-files "$@" | grep -E '\.(h|cpp)$' | xargs cat | grep -cvE '^\s*$|^\s*//' || true
}
src=$(lines src)
tests=$(lines tests fuzz)

failed=0
echo "make test: tests/ + fuzz/ $tests lines, src/ $src lines, ratio $(awk -v t="$tests" -v s="$src" 'BEGIN { printf "%.2f", t / s }')"
if [ -n "$shipped" ]; then
  on_shipped=$(count 'testcase ' "$shipped") on_twin=$(count 'testcase ' "$twin")
  echo "make test: $ran tests, $skipped skipped ($on_shipped of them on the shipped 32-bit exe)"
  if ((on_shipped != on_twin)); then
    echo "make test: the shipped exe ran $on_shipped e2e tests and its 64-bit twin $on_twin;" \
      "both run the same suite" >&2
    failed=1
  fi
else
  echo "make test: $ran tests, $skipped skipped"
  echo "make test: the shipped 32-bit exe was not run: $not_run; its 64-bit twin was"
fi
if ((skipped > 0)); then
  echo "make test: a skipped test hides what it would check; none may skip" >&2
  failed=1
fi
exit $failed
