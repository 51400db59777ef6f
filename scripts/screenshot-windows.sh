#!/usr/bin/env bash
# Renders the Windows window under Wine and Xvfb into docs/: as it opens and after a read of the
# configuration from the simulated reader, also in its engineering view; and the whole 1280x1024
# screen with the window as it opens at 96 and at 144 dots per inch (LogPixels of the prefix), to
# show it sharp, centred and whole.
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
build=build-win-x86_64
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DUHF_BUILD_QT=OFF \
  -DUHF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target uhf-reader-tool window_shot -j"$(nproc)"
export TAGVANE_SIM_STATE="$run_dir/reader.ini"
mkdir -p docs
shot() {  # shot <name> [--read|--screen|--station]
  (cd "$run_dir" && "$UHF_WINE" "$root/$build/bin/window_shot.exe" \
    "$root/$build/bin/uhf-reader-tool.exe" 'Z:'"${run_dir//\//\\}"'\'"$1.bmp" "${@:2}")
  convert "$run_dir/$1.bmp" -alpha off "docs/$1.png"
  echo "Wrote docs/$1.png"
}

UHF_WINE_DESKTOP=1280x1024 wine_env_start "$run_dir/x86_64" x86_64
shot window-windows
shot window-windows-read --read
shot window-engineering-windows --read --engineering
shot station-windows-ok --station
shot window-windows-96dpi --screen
wine_env_stop

UHF_WINE_DESKTOP=1280x1024 UHF_WINE_DPI=144 wine_env_start "$run_dir/x86_64-144" x86_64
shot window-windows-144dpi --screen
