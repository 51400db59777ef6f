#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test through ctest: once in a
# normal build, once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz
# target briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

# The simulated reader's state of the tests never touches the user's.
export TAGVANE_SIM_STATE="${TMPDIR:-/tmp}/uhf-tests-$$/reader.ini"
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DUHF_SANITIZE=ON \
  -DUHF_BUILD_BENCH=OFF -Wno-dev
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# Each fuzz target for a few seconds (under a minute in all); a finding fails the run.
bash scripts/fuzz.sh 12

# Windows: both architectures cross-built with MinGW-w64, their suites run under Wine.
bash scripts/test-windows.sh
