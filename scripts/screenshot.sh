#!/usr/bin/env bash
# Renders the window headless into docs/: as it opens and after a read of the configuration (also
# in the engineering view).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev > /dev/null
cmake --build build --target uhf-screenshot -j"$(nproc)"
mkdir -p docs
QT_QPA_PLATFORM=offscreen build/bin/uhf-screenshot docs/window.png
QT_QPA_PLATFORM=offscreen build/bin/uhf-screenshot docs/window-read.png --read
QT_QPA_PLATFORM=offscreen build/bin/uhf-screenshot docs/window-engineering.png --read --engineering
for shot in waiting ok failed; do
  QT_QPA_PLATFORM=offscreen build/bin/uhf-screenshot "docs/station-$shot.png" "--station-$shot"
done
echo "Wrote docs/window.png, docs/window-read.png, docs/window-engineering.png and docs/station-{waiting,ok,failed}.png"
