#!/usr/bin/env bash
# Installs what is missing, builds the tool and its companion uhf-readerctl, and starts the tool
# with the simulated reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev > /dev/null
cmake --build build --target uhf-reader-tool uhf-readerctl tagvane -j"$(nproc)"
exec build/bin/uhf-reader-tool "$@"
