#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest: once in a
# normal build, once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz
# target briefly; then the Windows builds and their suites under Wine. Prints each stage's time.
set -euo pipefail
cd "$(dirname "$0")/.."

begin=$(date +%s)
last=$begin
stages=()
# Ends a stage: its time now and again, with every other stage's, at the end of the run.
stage() {
  local now
  now=$(date +%s)
  stages+=("$(printf '%-28s %5d s' "$1" $((now - last)))")
  echo "=== stage $1: $((now - last)) s"
  last=$now
}
report() {
  local status=$? line
  echo "=== stage times"
  for line in "${stages[@]}"; do echo "    $line"; done
  printf '    %-28s %5d s (exit %d)\n' "whole command" $(($(date +%s) - begin)) "$status"
}
trap report EXIT

bash scripts/install-deps.sh
stage "install (Linux)"

# The simulated reader's state of the tests never touches the user's.
export TAGVANE_SIM_STATE="${TMPDIR:-/tmp}/uhf-tests-$$/reader.ini"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev
cmake --build build -j"$jobs"
stage "build"
ctest --test-dir build --output-on-failure -j"$jobs"
stage "tests"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DUHF_SANITIZE=ON \
  -DUHF_BUILD_BENCH=OFF -Wno-dev
cmake --build build-asan -j"$jobs"
stage "build (sanitizers)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
stage "tests (sanitizers)"

# Each fuzz target for a few seconds (under a minute in all); a finding fails the run.
bash scripts/fuzz.sh 12
stage "fuzz"

# Windows: both architectures cross-built with MinGW-w64, their suites run under Wine.
bash scripts/test-windows.sh
stage "Windows (both)"
