#!/usr/bin/env bash
# Packages the tool for Windows, for each architecture: a zip with the two programs, the simulated
# reader in its "simulator" folder (a vendor's tagvane.dll put beside the programs is the one the
# tool finds), a config.ini example and the README; and an NSIS installer.
# Output: dist/uhf-reader-tool-<version>-win-<arch>.zip and ...-setup.exe
#
# Usage: scripts/package-windows.sh [x86_64|i686 ...]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/install-windows-deps.sh

archs=("$@")
[ ${#archs[@]} -gt 0 ] || archs=(x86_64 i686)
version="$(sed -n 's/^project(uhf_reader_tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
mkdir -p dist
for arch in "${archs[@]}"; do
  build="build-pkg-$arch"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -Wno-dev \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" \
    -DUHF_BUILD_QT=OFF -DUHF_BUILD_BENCH=OFF -DUHF_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" --target uhf-reader-tool uhf-readerctl tagvane -j"${UHF_JOBS:-$(nproc)}"

  name="uhf-reader-tool-$version-win-$arch"
  stage="dist/$name"
  rm -rf "$stage"
  mkdir -p "$stage/simulator"
  cp "$build/bin/uhf-reader-tool.exe" "$stage/"
  cp "$build/bin/uhf-readerctl.exe" "$stage/"
  cp "$build/bin/simulator/tagvane.dll" "$stage/simulator/"
  # Windows editors expect CR LF.
  sed 's/$/\r/' packaging/windows/config.ini >"$stage/config.ini"
  sed 's/$/\r/' README.md >"$stage/README.txt"
  "${arch}-w64-mingw32-strip" "$stage"/*.exe "$stage/simulator/tagvane.dll"

  rm -f "dist/$name.zip"
  (cd dist && zip -qr "$name.zip" "$name")
  makensis -V2 -DARCH="$arch" -DVERSION="$version" -DSTAGE="$root/$stage" \
    -DOUTFILE="$root/dist/$name-setup.exe" packaging/windows/installer.nsi
  echo "Wrote dist/$name.zip and dist/$name-setup.exe"
done
