#!/usr/bin/env bash
# Installs what the Windows cross-build and its tests under Wine need: the MinGW-w64 -posix
# compilers for both architectures, Wine 8 (64-bit and, through the i386 architecture, 32-bit),
# Xvfb for the window tests, the CJK font and NSIS for the installer; the header-only libraries the
# companion is built with (the cross builds take them from the build machine). Asks apt only for what is
# missing. Adding the i386 architecture makes apt upgrade many host packages to keep the two
# architectures at the same version.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 wine32:i386
  fonts-wine xvfb xauth x11-apps imagemagick fonts-wqy-microhei
  nsis zip
  libcli11-dev nlohmann-json3-dev
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
apt_get=("${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900)

need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$need_update" -eq 1 ] || ! apt-cache policy wine32:i386 | grep -q Candidate; then
  "${apt_get[@]}" update -qq
fi
"${apt_get[@]}" install -y -qq --no-install-recommends "${missing[@]}"
