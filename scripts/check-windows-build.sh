#!/usr/bin/env bash
# Cross-compiles the serial port discovery library with its Windows backend, and its tests, with
# MinGW-w64, so the Windows code path is at least known to build. Installs the cross compiler
# when it is missing. Runs the tests under wine when wine is present (optional).
#
# Usage: scripts/check-windows-build.sh [output-dir]   (default: /tmp/uhf-windows-build)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-/tmp/uhf-windows-build}"
cxx=x86_64-w64-mingw32-g++-posix

if ! command -v "$cxx" >/dev/null 2>&1; then
  echo "Installing the MinGW-w64 cross compiler..."
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64 >/dev/null
fi

mkdir -p "$out"
flags=(-std=c++20 -static -O1 -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion
       -Wno-sign-conversion -I"$here/src")

echo "Compiling the ports library for Windows..."
objs=()
for src in SerialPorts.cpp PortPlatform_win.cpp; do
  obj="$out/${src%.cpp}.o"
  "$cxx" "${flags[@]}" -c "$here/src/ports/$src" -o "$obj"
  objs+=("$obj")
done
x86_64-w64-mingw32-ar rcs "$out/libuhf_ports.a" "${objs[@]}"

# The tests need GoogleTest built for the same target; build it from the Debian sources when they
# are on this machine (googletest package), otherwise stop after the library.
gtest_src=/usr/src/googletest
if [ -d "$gtest_src/googletest" ] && [ -d "$gtest_src/googlemock" ]; then
  echo "Compiling the ports tests for Windows..."
  gflags=(-std=c++20 -O1 -I"$gtest_src/googletest/include" -I"$gtest_src/googletest"
          -I"$gtest_src/googlemock/include" -I"$gtest_src/googlemock")
  if [ ! -f "$out/libgtest_all.a" ]; then
    "$cxx" "${gflags[@]}" -c "$gtest_src/googletest/src/gtest-all.cc" -o "$out/gtest-all.o"
    "$cxx" "${gflags[@]}" -c "$gtest_src/googlemock/src/gmock-all.cc" -o "$out/gmock-all.o"
    "$cxx" "${gflags[@]}" -c "$gtest_src/googlemock/src/gmock_main.cc" -o "$out/gmock_main.o"
    x86_64-w64-mingw32-ar rcs "$out/libgtest_all.a" "$out/gtest-all.o" "$out/gmock-all.o" \
      "$out/gmock_main.o"
  fi
  "$cxx" "${flags[@]}" -I"$here/tests" -I"$gtest_src/googletest/include" \
    -I"$gtest_src/googlemock/include" "$here/tests/ports/SerialPortsTest.cpp" \
    -o "$out/ports_tests.exe" "$out/libuhf_ports.a" "$out/libgtest_all.a" -lsetupapi -ladvapi32
  echo "Built $out/ports_tests.exe"
  if command -v wine >/dev/null 2>&1; then
    wineserver -p >/dev/null 2>&1 || true
    wine cmd /c exit >/dev/null 2>&1 || true
    status=0
    wine "$out/ports_tests.exe" || status=$?
    wineserver -k >/dev/null 2>&1 || true
    exit "$status"
  fi
else
  echo "No GoogleTest sources in $gtest_src: built the library only."
fi
echo "Windows build check passed."
