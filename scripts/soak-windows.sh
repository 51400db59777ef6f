#!/usr/bin/env bash
# Runs the Windows stage (scripts/test-windows.sh) N times in a row with two busy loops beside it,
# as on a busy machine, and reports each run: its result, its time and ctest's summary per
# architecture. Each run's whole output is kept in soak-logs/run-K.log.
#
# Usage: scripts/soak-windows.sh [N] [x86_64|i686 ...]   (default: 5 runs, both architectures)
set -uo pipefail
cd "$(dirname "$0")/.."
runs="${1:-5}"
shift || true
logs="soak-logs"
mkdir -p "$logs"

busy=()
for _ in 1 2; do
  (while :; do :; done) &
  busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null' EXIT

green=0
for run in $(seq 1 "$runs"); do
  start=$(date +%s)
  bash scripts/test-windows.sh "$@" >"$logs/run-$run.log" 2>&1
  status=$?
  seconds=$(($(date +%s) - start))
  summary="$(grep -E '^=== .*(done in|NOT RUN)|tests passed, .* failed out of' "$logs/run-$run.log" |
    sed 's/^/    /')"
  if [ "$status" -eq 0 ]; then
    green=$((green + 1))
    echo "run $run/$runs: green in $seconds s"
  else
    echo "run $run/$runs: RED (exit $status) in $seconds s; failures:"
    grep -E '\(Failed\)|\(Timeout\)|\*\*\*|wine-run.sh:|wine client error|ended while' \
      "$logs/run-$run.log" | sed 's/^/    /' | head -20
  fi
  echo "$summary"
done
echo "$green of $runs runs green, two busy loops beside them"
[ "$green" -eq "$runs" ]
