#!/usr/bin/env bash
# Start-up of the Windows window under Wine: the first complete frame of uhf-reader-tool.exe
# against a plain Win32 dialog showing the same texts in the same fonts (bench/win32). Builds the
# 64-bit programs, starts a throwaway Wine prefix on a private Xvfb display and prints the table
# and the ratio tool/floor.
#
# Usage: scripts/bench-startup-windows.sh [rounds]   (default 21)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
rounds="${1:-21}"
bash scripts/install-windows-deps.sh
build=build-win-x86_64
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DUHF_BUILD_QT=OFF \
  -DUHF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target bench_startup_win -j"${UHF_JOBS:-$(nproc)}"

run_dir="$(mktemp -d "${TMPDIR:-/tmp}/uhf-bench-XXXXXX")"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'wine_env_stop; kill $xvfb_pid 2>/dev/null; rm -rf "$run_dir"' EXIT
export DISPLAY="$display"
# A desktop that holds the engineering view at its own size, as the screenshots show it: on a
# smaller one the window is shrunk to fit first, which is measured apart.
UHF_WINE_DESKTOP="${UHF_WINE_DESKTOP:-1280x1024}" wine_env_start "$run_dir/x86_64" x86_64
export TAGVANE_SIM_STATE="$run_dir/reader.ini"
# Both windows start in a folder with the example texts, as the Start-menu entry starts the tool.
cp packaging/windows/config.ini "$run_dir/"
cd "$run_dir"
"$UHF_WINE" "$root/$build/bin/bench_startup_win.exe" "$root/$build/bin/uhf-reader-tool.exe" \
  --rounds="$rounds"
