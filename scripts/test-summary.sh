#!/usr/bin/env bash
# The end of make test: how many tests ran and were skipped (none may be),
# and the size of the tests against the code they test, in non-blank,
# non-comment lines.
#   usage: scripts/test-summary.sh JUNIT_FILE...
set -euo pipefail
cd "$(dirname "$0")/.."

ran=0 skipped=0
for f in "$@"; do
  ran=$((ran + $(grep -c '<testcase ' "$f" || true)))
  skipped=$((skipped + $(grep -c '<skipped' "$f" || true)))
done

lines() {
  git ls-files "$@" | grep -E '\.(h|cpp)$' | xargs cat | grep -cvE '^\s*$|^\s*//' || true
}
src=$(lines src)
tests=$(lines tests fuzz)

echo "make test: $ran tests, $skipped skipped"
echo "make test: tests/ + fuzz/ $tests lines, src/ $src lines, ratio $(awk -v t="$tests" -v s="$src" 'BEGIN { printf "%.2f", t / s }')"
if ((skipped > 0)); then
  echo "make test: a skipped test hides what it would check; none may skip" >&2
  exit 1
fi
