#!/usr/bin/env bash
# Cross-builds the tool for 64-bit and 32-bit Windows with MinGW-w64 and runs every suite that
# needs no Qt under Wine, headless and bounded in time. Each architecture gets a throwaway Wine
# prefix and server of its own, started before its build (test discovery runs the programs) and
# ended only after its own tests.
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
  wine_env_stop
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$run_dir"
}
trap cleanup EXIT

# A private virtual display for the window tests; console tests do not need it.
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
export TAGVANE_SIM_STATE="$run_dir/reader.ini"

status=0
for arch in "${archs[@]}"; do
  start=$(date +%s)
  build="build-win-$arch"
  configure=(cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DUHF_BUILD_QT=OFF -DUHF_BUILD_BENCH=OFF)
  if ! wine_can_run "$arch"; then
    # Said plainly and not counted as passed: only the build and the checks that run no program.
    echo "=== $arch: THE WINE SUITES ARE NOT RUN: this machine's kernel cannot run 32-bit x86" \
      "programs ($(wine_loader "$arch") does not start). Building, and checking the export tables."
    "${configure[@]}" -DUHF_RUN_WINDOWS_TESTS=OFF >/dev/null
    timeout 1800 cmake --build "$build" -j"$jobs"
    timeout 300 ctest --test-dir "$build" --output-on-failure -L no-wine || status=1
    echo "=== $arch: done in $(($(date +%s) - start)) s (suites not run)"
    continue
  fi
  wine_env_start "$run_dir/$arch" "$arch"
  echo "=== $arch: Wine prefix ready in $(($(date +%s) - start)) s"
  echo "=== $arch: configure and build ($build)"
  "${configure[@]}" -DUHF_RUN_WINDOWS_TESTS=ON >/dev/null
  timeout 1800 cmake --build "$build" -j"$jobs"
  echo "=== $arch: tests under Wine"
  timeout 900 ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 120 || status=1
  if ! wine_env_alive; then
    echo "=== $arch: the wine server ended while the tests ran (see above)" >&2
    status=1
  fi
  wine_env_stop
  echo "=== $arch: done in $(($(date +%s) - start)) s"
done
exit "$status"
