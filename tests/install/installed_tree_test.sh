#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks the installed tree.
# Usage: installed_tree_test.sh BUILD_DIR PREFIX PRIVATE_LIBDIR VENDOR_DIR BROKEN_VENDOR_DIR MAN
#   VENDOR_DIR holds a complete libtagvane.so that is not the simulated reader; BROKEN_VENDOR_DIR
#   one that cannot be loaded (a library it needs is missing). MAN is ON when the build makes
#   uhf-readerctl's man page.
set -uo pipefail
build=$1 prefix=$2 private=$3 vendor=$4 broken=$5 man=$6
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAIL: cmake --install"; exit 1; }
export TAGVANE_SIM_STATE="$prefix/sim-state.ini"
unset LD_LIBRARY_PATH

# Every file where its user looks for it.
files=(bin/uhf-readerctl bin/tagvane-sim "$private/libtagvane.so" share/man/man1/tagvane-sim.1.gz
  share/doc/uhf-reader-tool/README.Debian share/doc/uhf-reader-tool/changelog.gz)
[ "$man" = ON ] && files+=(share/man/man1/uhf-readerctl.1.gz)
[ -e "$build/bin/uhf-reader-tool" ] && files+=(bin/uhf-reader-tool
  share/applications/uhf-reader-tool.desktop
  share/metainfo/local.uhf_reader_tool.UhfReaderTool.metainfo.xml
  share/icons/hicolor/16x16/apps/uhf-reader-tool.png
  share/icons/hicolor/48x48/apps/uhf-reader-tool.png
  share/icons/hicolor/256x256/apps/uhf-reader-tool.png share/man/man1/uhf-reader-tool.1.gz)
for file in "${files[@]}"; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
# The simulated reader is not on the library search path, and nothing else is in bin.
[ -e "$prefix/bin/libtagvane.so" ] && fail "libtagvane.so installed beside the programs"
[ -e "$prefix/lib/libtagvane.so" ] && fail "libtagvane.so installed into a library folder"

# A RUNPATH would put its folders before the system's, where a vendor library is installed.
for program in "$prefix"/bin/*; do
  if readelf -d "$program" | grep -qE 'RUNPATH|RPATH'; then
    fail "$program keeps a RUNPATH: $(readelf -d "$program" | grep -E 'RUNPATH|RPATH')"
  fi
done

# The man pages are well-formed; the companion's carries its commands, their options, the
# private folder and the serial port note (its roff text with "\-" read as "-").
for page in "$prefix"/share/man/man1/*.1.gz; do
  if command -v groff >/dev/null; then
    # groff's own fonts lack the Chinese characters, which man shows all the same.
    warnings=$(gzip -dc "$page" | groff -k -man -ww -z 2>&1 |
      grep -v "special character 'u[0-9A-F]*'")
    [ -z "$warnings" ] || fail "$page: $warnings"
  fi
done
if [ "$man" = ON ]; then
  page=$(gzip -dc "$prefix/share/man/man1/uhf-readerctl.1.gz" | sed 's/\\-/-/g')
  for text in station factory-default read-tags --poll-ms --csv "EXIT STATUS" dialout "/$private"; do
    grep -qF -- "$text" <<<"$page" || fail "uhf-readerctl.1 lacks \"$text\""
  done
fi

# Which library the installed companion binds: case name, LD_LIBRARY_PATH, whether the private
# library is there, expected exit status, expected text.
no_private="$prefix/private-gone"
cases=(
  "no vendor library||yes|0|driver library: $prefix/$private/libtagvane.so \\(the simulated reader\\)"
  "vendor library first|$vendor|yes|0|driver library: $vendor/libtagvane.so \\(not the simulated reader\\)"
  "vendor library unusable|$broken|yes|3|cannot load the driver library $broken/libtagvane.so"
  "no library at all||no|3|cannot find the driver library libtagvane.so"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name path keep status expect <<<"$entry"
  if [ "$keep" = no ]; then
    mkdir -p "$no_private" && mv "$prefix/$private/libtagvane.so" "$no_private/"
  fi
  out=$(LD_LIBRARY_PATH="$path" "$prefix/bin/uhf-readerctl" --version 2>&1)
  got=$?
  [ "$keep" = no ] && mv "$no_private/libtagvane.so" "$prefix/$private/"
  [ "$got" = "$status" ] || fail "$name: exit $got, expected $status: $out"
  grep -qE -- "$expect" <<<"$out" || fail "$name: output lacks \"$expect\": $out"
done

# The installed companion talks to the simulated reader.
out=$("$prefix/bin/uhf-readerctl" read 2>&1) || fail "uhf-readerctl read: $out"
"$prefix/bin/tagvane-sim" detach >/dev/null || fail "tagvane-sim detach"
out=$("$prefix/bin/uhf-readerctl" read 2>&1) && fail "read succeeded with the reader unplugged"

# Desktop entry and metainfo, by the validators where they are installed.
if [ -f "$prefix/share/applications/uhf-reader-tool.desktop" ]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/uhf-reader-tool.desktop" ||
      fail "desktop entry invalid"
  else
    echo "desktop-file-validate not installed: desktop entry not validated"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net \
      "$prefix/share/metainfo/local.uhf_reader_tool.UhfReaderTool.metainfo.xml" ||
      fail "metainfo invalid"
  else
    echo "appstreamcli not installed: metainfo not validated"
  fi
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "installed tree ok"
