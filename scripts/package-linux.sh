#!/usr/bin/env bash
# Builds the Debian package of the tool with CPack: the window, the companion, tagvane-sim, the
# simulated reader in its private folder, the desktop entry, icons, metainfo and man pages.
# Output: dist/uhf-reader-tool_<version>_<arch>.deb
#
# Usage: scripts/package-linux.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# dpkg-shlibdeps (the package's Depends) and the validators of the desktop entry and metainfo.
missing=()
for package in dpkg-dev file desktop-file-utils appstream; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
    --no-install-recommends "${missing[@]}"
fi

build=build-deb
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -Wno-dev \
  -DUHF_BUILD_TESTS=OFF -DUHF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${UHF_JOBS:-$(nproc)}"

desktop-file-validate resources/uhf-reader-tool.desktop
appstreamcli validate --no-net packaging/linux/*.metainfo.xml >/dev/null

rm -rf "$build/_CPack_Packages" "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
mkdir -p dist
rm -f dist/uhf-reader-tool_*.deb
cp "$build"/uhf-reader-tool_*.deb dist/
deb=$(ls dist/uhf-reader-tool_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends Section Installed-Size
echo "Wrote $deb"
