#!/usr/bin/env bash
# Renders the Windows window under Wine and Xvfb into docs/: as it opens and after a read of the
# configuration from the simulated reader.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/install-windows-deps.sh
run_dir="$(mktemp -d "${TMPDIR:-/tmp}/uhf-shot-XXXXXX")"
source scripts/wine-env.sh
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill $xvfb_pid 2>/dev/null; wine_env_stop; rm -rf "$run_dir"' EXIT
export DISPLAY="$display"
wine_env_start "$run_dir/x86_64" x86_64
build=build-win-x86_64
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DUHF_BUILD_QT=OFF \
  -DUHF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target uhf-reader-tool window_shot -j"$(nproc)"
export TAGVANE_SIM_STATE="$run_dir/reader.ini"
mkdir -p docs
(cd "$run_dir" && "$UHF_WINE" "$root/$build/bin/window_shot.exe" "$root/$build/bin/uhf-reader-tool.exe" \
  'Z:'"${run_dir//\//\\}"'\window.bmp')
(cd "$run_dir" && "$UHF_WINE" "$root/$build/bin/window_shot.exe" "$root/$build/bin/uhf-reader-tool.exe" \
  'Z:'"${run_dir//\//\\}"'\window-read.bmp' --read)
(cd "$run_dir" && "$UHF_WINE" "$root/$build/bin/window_shot.exe" "$root/$build/bin/uhf-reader-tool.exe" \
  'Z:'"${run_dir//\//\\}"'\station-ok.bmp' --station)
convert "$run_dir/window.bmp" -alpha off docs/window-windows.png
convert "$run_dir/station-ok.bmp" -alpha off docs/station-windows-ok.png
convert "$run_dir/window-read.bmp" -alpha off docs/window-windows-read.png
echo "Wrote docs/window-windows.png, docs/window-windows-read.png and docs/station-windows-ok.png"
