#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz and runs each for the given number of
# seconds (default 60), starting from the seeds in fuzz/corpus/<target>. New inputs go to
# build-fuzz/corpus/<target>, never into the tree; a crash leaves its input in
# build-fuzz/findings/<target> and fails the script.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(profile sim_state card_formats tag_reply)

# Debian's clang with its libFuzzer runtime (clang-14, libclang-rt-14-dev).
CC="${FUZZ_CC:-clang-14}" CXX="${FUZZ_CXX:-clang++-14}" cmake -S . -B build-fuzz -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUHF_BUILD_FUZZ=ON -DUHF_BUILD_QT=OFF \
  -DUHF_BUILD_TESTS=OFF -DUHF_BUILD_BENCH=OFF -Wno-dev >/dev/null
cmake --build build-fuzz -j"${FUZZ_JOBS:-2}" --target "${targets[@]/#/fuzz_}"

status=0
for target in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$target"
  findings="build-fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  echo "== fuzz_$target for ${seconds}s"
  if ! ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "fuzz/corpus/$target" 2>"build-fuzz/fuzz_$target.log"; then
    echo "fuzz_$target found a fault: see build-fuzz/fuzz_$target.log and $findings" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "build-fuzz/fuzz_$target.log" || true
done
exit $status
