#!/usr/bin/env bash
# Packages the tool for Windows, for each architecture: a zip with the two programs, the simulated
# reader in its "simulator" folder (a vendor's tagvane.dll put beside the programs is the one the
# tool finds), a config.ini example and the README; and an NSIS installer (the 64-bit one a 64-bit
# program, the 32-bit one a 32-bit program; both install side by side).
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
# The publisher, as the programs' version resources name it.
publisher="$(sed -n 's/^set(UHF_PUBLISHER "\(.*\)")$/\1/p' cmake/WindowsResources.cmake)"
# The four numbers of a Windows version resource.
version4="$(echo "$version.0.0.0" | cut -d. -f1-4)"
# For tests only: UHF_NSIS_STUB=amd64 makes a 64-bit setup.exe of the 32-bit package too.
stub=()
[ -n "${UHF_NSIS_STUB:-}" ] && stub=(-DSTUB="$UHF_NSIS_STUB")
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
  makensis -V2 -DARCH="$arch" -DVERSION="$version" -DVERSION4="$version4" -DPUBLISHER="$publisher" -DSTAGE="$root/$stage" \
    -DOUTFILE="$root/dist/$name-setup.exe" -DOUTNAME="$name-setup.exe" "${stub[@]}" \
    packaging/windows/installer.nsi
  echo "Wrote dist/$name.zip and dist/$name-setup.exe"
done
