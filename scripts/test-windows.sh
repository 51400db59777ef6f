#!/usr/bin/env bash
# Cross-builds the tool for 64-bit and 32-bit Windows with MinGW-w64 and runs every suite that
# needs no Qt under Wine, in a throwaway Wine prefix, headless and bounded in time.
#
# Usage: scripts/test-windows.sh [x86_64|i686 ...]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/install-windows-deps.sh

archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(x86_64 i686)
jobs="${UHF_JOBS:-$(nproc)}"

run_dir="$(mktemp -d "${TMPDIR:-/tmp}/uhf-wine-XXXXXX")"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
cleanup() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  wine_env_stop
  rm -rf "$run_dir"
}
trap cleanup EXIT

# A private virtual display for the window tests; console tests do not need it.
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"

start=$(date +%s)
wine_env_start "$run_dir"
echo "Wine prefix ready in $(($(date +%s) - start)) s"

export TAGVANE_SIM_STATE="$run_dir/reader.ini"
status=0
for arch in "${archs[@]}"; do
  build="build-win-$arch"
  echo "=== $arch: configure and build ($build)"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DUHF_BUILD_QT=OFF -DUHF_BUILD_BENCH=OFF >/dev/null
  timeout 1800 cmake --build "$build" -j"$jobs"
  echo "=== $arch: tests under Wine"
  timeout 900 ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 120 || status=1
done
exit "$status"
