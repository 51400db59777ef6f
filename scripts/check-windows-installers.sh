#!/usr/bin/env bash
# Installs both Windows packages side by side into one throwaway Wine prefix, silently (/S), and
# checks what each put where: its folder, uninstall key and entries in Add/Remove Programs, its
# Start-menu entry and its texts folder; the version resources of setup.exe and of the files
# installed. Installs the 64-bit package again without a folder to check that an upgrade goes
# where the last install went; changes the texts of one package; then uninstalls each and checks
# that nothing is left but the config.ini that was changed, and that the other package stayed.
#
# The 32-bit setup.exe is a 32-bit program. Where this machine cannot run those, the 32-bit
# package (its 32-bit programs and its installer script) is installed by a 64-bit build of the
# same script (STUB=amd64): that checks the side-by-side behaviour of the script, not the 32-bit
# view of the registry. The real 32-bit setup.exe is still built, and its header and version
# resource checked.
#
# Usage: scripts/check-windows-installers.sh   (builds the packages first: scripts/package-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
bash scripts/package-windows.sh x86_64 i686
version="$(sed -n 's/^project(uhf_reader_tool VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
version4="$(echo "$version.0.0.0" | cut -d. -f1-4)"
setup64="$root/dist/uhf-reader-tool-$version-win-x86_64-setup.exe"
setup32="$root/dist/uhf-reader-tool-$version-win-i686-setup.exe"

run_dir="$(mktemp -d "${TMPDIR:-/tmp}/uhf-installers-XXXXXX")"
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
display=":$((100 + RANDOM % 800))"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display"
trap 'wine_env_stop; kill $xvfb_pid 2>/dev/null; rm -rf "$run_dir"' EXIT

failures=0
check() {  # check <what> <command...>
  local what="$1"
  shift
  if "$@" >/dev/null 2>&1; then
    echo "ok    $what"
  else
    echo "FAIL  $what"
    failures=$((failures + 1))
  fi
}

# setup.exe of each width: its machine, and its version resource.
file "$setup64" | grep -q 'PE32+ executable.*x86-64' && echo "ok    the 64-bit setup.exe is a 64-bit program" ||
  { echo "FAIL  the 64-bit setup.exe is not a 64-bit program"; failures=$((failures + 1)); }
file "$setup32" | grep -q 'PE32 executable.*Intel 80386' && echo "ok    the 32-bit setup.exe is a 32-bit program" ||
  { echo "FAIL  the 32-bit setup.exe is not a 32-bit program"; failures=$((failures + 1)); }
setup32_run="$setup32"
folder32=()
if ! wine_can_run i686; then
  echo "NOTE  this machine cannot run 32-bit programs: the 32-bit package is installed by a" \
    "64-bit build of its installer, into a folder given (a 64-bit installer does not know the" \
    "32-bit Program Files folder)"
  folder32=('/D=C:\Program32\UHF')
  setup32_run="$run_dir/i686-setup-as-64-bit.exe"
  publisher="$(sed -n 's/^set(UHF_PUBLISHER "\(.*\)")$/\1/p' cmake/WindowsResources.cmake)"
  makensis -V2 -DARCH=i686 -DVERSION="$version" -DVERSION4="$version4" -DSTUB=amd64 \
    -DPUBLISHER="$publisher" \
    -DSTAGE="$root/dist/uhf-reader-tool-$version-win-i686" -DOUTFILE="$setup32_run" \
    -DOUTNAME="$(basename "$setup32")" packaging/windows/installer.nsi
fi

x86_64-w64-mingw32-g++-posix -std=c++20 -O1 -static -municode tests/app/win32/ResourceProbe.cpp \
  -lversion -o "$run_dir/resource_probe.exe"

wine_env_start "$run_dir/wine" x86_64
wine="$(wine_loader x86_64)"
drive="$WINEPREFIX/drive_c"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
win_path() { "$wine" winepath -w "$1" 2>/dev/null; }
probe() { "$wine" "$run_dir/resource_probe.exe" "$(win_path "$1")" 2>/dev/null | tr -d '\r'; }
# Where a package's entry is: the 32-bit package's own (32-bit) installer writes it to the
# registry's 32-bit view, which Add/Remove Programs lists on 64-bit Windows too.
reg_key() {
  if [ "$1" = i686 ] && [ ${#folder32[@]} -eq 0 ]; then
    echo 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall'
  else
    echo "$uninstall_key"
  fi
}
reg_value() { "$wine" reg query "$(reg_key "$1")\\UhfReaderTool-$1" /v "$2" 2>/dev/null | tr -d '\r' |
  awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
has_version() {  # has_version <file> <original file name>
  local out
  out="$(probe "$1")"
  grep -qx "FileVersion=$version" <<<"$out" && grep -qx "ProductName=UHF Reader Tool" <<<"$out" &&
    grep -qx "CompanyName=UHF Reader Tool project" <<<"$out" &&
    grep -qx "OriginalFilename=$2" <<<"$out"
}
installed_versions() {
  has_version "$1/uhf-reader-tool.exe" uhf-reader-tool.exe &&
    has_version "$1/uhf-readerctl.exe" uhf-readerctl.exe &&
    has_version "$1/simulator/tagvane.dll" tagvane.dll
}
# The uninstaller copies itself away and returns at once: wait for the folder to go.
uninstall() {  # uninstall <folder>
  "$wine" "$(win_path "$1/uninstall.exe")" /S
  for _ in $(seq 120); do
    [ -e "$1/uninstall.exe" ] || return 0
    sleep 0.5
  done
  return 1
}

check "64-bit setup.exe has its version resource" has_version "$setup64" "$(basename "$setup64")"
check "32-bit setup.exe has its version resource" has_version "$setup32" "$(basename "$setup32")"

programs64="$drive/Program Files/UHF Reader Tool"
programs32="$drive/Program Files (x86)/UHF Reader Tool"
[ ${#folder32[@]} -eq 0 ] || programs32="$drive/Program32/UHF"
custom64="$drive/Tools/UHF"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
texts64="$drive/users/Public/Documents/UHF Reader Tool"
texts32="$drive/users/Public/Documents/UHF Reader Tool (32-bit)"

# 64-bit into a folder of the user's choice, then 32-bit to its default folder.
"$wine" "$setup64" /S '/D=C:\Tools\UHF'
"$wine" "$setup32_run" /S "${folder32[@]}"
for pair in "64|$custom64|$texts64|UHF Reader Tool|x86_64" \
  "32|$programs32|$texts32|UHF Reader Tool (32-bit)|i686"; do
  IFS='|' read -r bits folder texts display arch <<<"$pair"
  for file in uhf-reader-tool.exe uhf-readerctl.exe README.txt simulator/tagvane.dll uninstall.exe; do
    check "$bits-bit: $file installed" test -f "$folder/$file"
  done
  check "$bits-bit: programs and DLL have their version resources" installed_versions "$folder"
  check "$bits-bit: config.ini in the public documents" test -f "$texts/config.ini"
  check "$bits-bit: Start-menu entry" test -f "$menu/$display.lnk"
  check "$bits-bit: listed as \"$display\"" test "$(reg_value "$arch" DisplayName)" = "$display"
  check "$bits-bit: version in the list" test "$(reg_value "$arch" DisplayVersion)" = "$version"
  check "$bits-bit: publisher in the list" test "$(reg_value "$arch" Publisher)" = \
    "UHF Reader Tool project"
  size="$(reg_value "$arch" EstimatedSize)"
  check "$bits-bit: estimated size in the list ($size)" test "$((size))" -gt 100
done
check "the 64-bit programs are not in the default folder" test ! -e "$programs64"
check "32-bit programs are 32-bit" bash -c "file '$programs32/uhf-reader-tool.exe' | grep -q 80386"

# An upgrade without a folder goes where the last install went.
"$wine" "$setup64" /S
check "upgrade: into the folder of the last install" test -f "$custom64/uhf-reader-tool.exe"
check "upgrade: not into the default folder" test ! -e "$programs64"

# The operator puts a vendor's driver beside the 64-bit programs, and changes the 32-bit
# package's texts (a later time, another line).
cp "$custom64/simulator/tagvane.dll" "$custom64/tagvane.dll"
sleep 2
printf 'RF_RF=RF\r\n' >>"$texts32/config.ini"

uninstall "$custom64" || true
check "64-bit uninstalled: its folder is gone, the vendor's DLL too" test ! -e "$custom64"
check "64-bit uninstalled: its unchanged texts are gone" test ! -e "$texts64"
check "64-bit uninstalled: its Start-menu entry is gone" test ! -e "$menu/UHF Reader Tool.lnk"
check "64-bit uninstalled: its uninstall key is gone" test -z "$(reg_value x86_64 DisplayName)"
check "32-bit package untouched" test -f "$programs32/uhf-reader-tool.exe"
check "32-bit package still listed" test -n "$(reg_value i686 DisplayName)"

uninstall "$programs32" || true
check "32-bit uninstalled: its folder is gone" test ! -e "$programs32"
check "32-bit uninstalled: its Start-menu entry is gone" test ! -e "$menu/UHF Reader Tool (32-bit).lnk"
check "32-bit uninstalled: its uninstall key is gone" test -z "$(reg_value i686 DisplayName)"
check "32-bit uninstalled: the changed config.ini stays, alone" \
  test "$(ls -A "$texts32")" = "config.ini"

echo
if [ "$failures" -eq 0 ]; then
  echo "All installer checks passed."
else
  echo "$failures installer checks failed."
fi
[ "$failures" -eq 0 ]
