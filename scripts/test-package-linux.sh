#!/usr/bin/env bash
# Builds the Debian package (scripts/package-linux.sh) and tries it in a fresh Debian 12 root:
#   - `apt-get install ./…deb` installs it with its dependencies;
#   - the companion runs (--help, --version, read and tagvane-sim against the packaged simulated
#     reader), and the simulated reader is bound only while no vendor libtagvane.so is installed
#     in a system library folder;
#   - the desktop entry's Exec line opens the window on a private Xvfb display (screenshot in
#     dist/), which is then ended;
#   - `apt-get remove` leaves none of the package's files.
# Needs root (chroot, mounts in a private mount namespace) and Debian's mirror. The Debian root
# (mmdebstrap, variant apt) and the packages apt fetches into it are kept in UHF_DEB_CACHE
# (default ~/.cache/uhf-reader-tool) for the next run; each run starts from a fresh copy on a
# tmpfs.
#
# The package is installed with its Depends alone, so that they are shown to suffice;
# UHF_DEB_RECOMMENDS=1 installs the recommended packages too, as plain `apt install` does.
#
# Usage: scripts/test-package-linux.sh      (UHF_SKIP_PACKAGE=1: use the .deb already in dist/)
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
stage() { echo "== $* ($((SECONDS - started)) s)"; }

[ "$(id -u)" -eq 0 ] || { echo "needs root: chroot and mounts" >&2; exit 1; }
for tool in mmdebstrap xwininfo import; do
  command -v "$tool" >/dev/null && continue
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    mmdebstrap x11-utils imagemagick >/dev/null
  break
done

if [ "${UHF_SKIP_PACKAGE:-0}" != 1 ]; then
  stage "building the package"
  bash scripts/package-linux.sh
fi
deb=$(ls dist/uhf-reader-tool_*.deb)
# A stand-in for a vendor's library: the hostile driver, built with the package, carries the 34
# functions and not the simulated reader's marker.
vendor=build-deb/hostile/libtagvane.so
[ -f "$vendor" ] || { echo "no $vendor: run scripts/package-linux.sh" >&2; exit 1; }

cache=${UHF_DEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/uhf-reader-tool}
base=$cache/bookworm-apt.tar
mkdir -p "$cache/archives/partial"
if [ ! -f "$base" ]; then
  stage "making the Debian 12 root (once)"
  mmdebstrap --quiet --variant=apt --skip=cleanup/apt/lists bookworm "$base.part" \
    "deb http://deb.debian.org/debian bookworm main" \
    "deb http://deb.debian.org/debian bookworm-updates main" \
    "deb http://deb.debian.org/debian-security bookworm-security main"
  mv "$base.part" "$base"
fi

# The root lives in memory: unpacking and removing it is quicker than on disk (about 1 GB).
root=$(mktemp -d /tmp/uhf-deb-root.XXXXXX)
mount -t tmpfs -o size=4g,mode=755 uhf-deb-root "$root"
xvfb_pid=""
window_pid=""
cleanup() {
  set +e  # every step, whatever failed before
  stage "cleaning up"
  if [ -n "$window_pid" ]; then kill -- "-$window_pid" 2>/dev/null; sleep 0.5; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; fi
  umount "$root" || umount --lazy "$root"
  rmdir "$root"
  stage "done"
}
trap cleanup EXIT

stage "fresh root in $root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
cp "$vendor" "$root/tmp/vendor-libtagvane.so"
mkdir -p "$root/tmp/.X11-unix"
# A throwaway root: dpkg need not sync every file it writes.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/unsafe-io"
export root cache

# Runs a command in the root: /proc, /dev, apt's archive cache and the X socket folder mounted in
# a mount namespace of its own, so every mount ends with the command.
in_root() {
  unshare --mount --fork -- bash -c '
    root=$1 cache=$2; shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --bind "$cache/archives" "$root/var/cache/apt/archives"
    mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    exec chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
      LC_ALL=C.UTF-8 TERM=dumb "$@"' in_root "$root" "$cache" "$@"
}

stage "apt-get install ./$(basename "$deb")"
recommends=--no-install-recommends
[ "${UHF_DEB_RECOMMENDS:-0}" = 1 ] && recommends=--install-recommends
in_root sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $2 \
  "./tmp/$1" >/tmp/install.log 2>&1 || { cat /tmp/install.log; exit 1; }
  grep -E "newly installed" /tmp/install.log' sh "$(basename "$deb")" "$recommends"
dpkg_list=$(in_root dpkg -L uhf-reader-tool)

stage "the programs in the root"
in_root bash -s <<'EOF'
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
export TAGVANE_SIM_STATE=/root/reader.ini
private=$(dirname "$(dpkg -L uhf-reader-tool | grep '/libtagvane.so$')")
case "$private" in /usr/lib/*/uhf-reader-tool) ;; *) fail "private folder $private" ;; esac

uhf-readerctl --help | grep -q "station" || fail "uhf-readerctl --help"
[ -f /usr/share/man/man1/uhf-readerctl.1.gz ] || fail "no man page"

# Which library is bound, by where a vendor's libtagvane.so is installed: none, the folder the
# administrator uses, the system's multiarch folder (a vendor's Debian package).
multiarch=$(dirname "$private")
for folder in "" /usr/local/lib "$multiarch"; do
  if [ -n "$folder" ]; then
    cp /tmp/vendor-libtagvane.so "$folder/libtagvane.so"
    ldconfig
    want="$folder/libtagvane.so (not the simulated reader)"
  else
    want="$private/libtagvane.so (the simulated reader)"
  fi
  got=$(uhf-readerctl --version) || fail "--version with ${folder:-no vendor library}: $got"
  # The file bound, by its real path: /lib is /usr/lib on a merged-/usr system.
  line=$(sed -n 's/^driver library: //p' <<<"$got")
  bound="$(realpath "${line%% (*}") (${line#* (}"
  [ "$bound" = "$(realpath "${want%% (*}") (${want#* (}" ] ||
    fail "vendor library in ${folder:-nowhere}: $got"
  echo "ok: vendor library in ${folder:-nowhere}: $(tail -1 <<<"$got")"
  [ -n "$folder" ] && rm "$folder/libtagvane.so" && ldconfig
done

# The companion against the packaged simulated reader, and tagvane-sim beside it.
out=$(uhf-readerctl read) || fail "read: $out"
grep -q "^serial" <<<"$out" || grep -qi "serial" <<<"$out" || fail "read shows no serial: $out"
serial=$(tagvane-sim new-reader) || fail "tagvane-sim new-reader"
uhf-readerctl read | grep -qF "$serial" || fail "read does not show the new reader $serial"
tagvane-sim detach >/dev/null
if uhf-readerctl read >/dev/null 2>&1; then fail "read with the reader unplugged"; fi
tagvane-sim attach >/dev/null
echo "ok: uhf-readerctl read, tagvane-sim new-reader $serial, detach, attach"
EOF

stage "the window from the desktop entry"
desktop=$root/usr/share/applications/uhf-reader-tool.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ *%[fFuUick]//g')
[ -n "$exec_line" ] || { echo "FAIL: no Exec line in the desktop entry" >&2; exit 1; }
# Xvfb picks a free display and writes its number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$root/tmp/display" >/dev/null 2>&1 &
xvfb_pid=$!
display=""
for _ in $(seq 100); do
  display=$(cat "$root/tmp/display" 2>/dev/null || true)
  [ -n "$display" ] && [ -S "/tmp/.X11-unix/X$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || { echo "FAIL: Xvfb did not start" >&2; exit 1; }
setsid bash -c "$(declare -f in_root); in_root env DISPLAY=:$display \
  TAGVANE_SIM_STATE=/root/reader.ini sh -c 'cd /root && exec $exec_line'" \
  >"$root/tmp/window.log" 2>&1 &
window_pid=$!
shown=""
for _ in $(seq 200); do
  if LC_ALL=C.UTF-8 xwininfo -display ":$display" -root -tree 2>/dev/null |
    grep -q "UHF读头配置工具 — 模拟读头"; then
    shown=yes
    break
  fi
  kill -0 "$window_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$shown" ]; then
  echo "FAIL: the window did not show" >&2
  cat "$root/tmp/window.log" >&2
  exit 1
fi
sleep 1  # let it paint before the picture
mkdir -p dist
import -display ":$display" -window root dist/package-window.png 2>/dev/null || true
kill -- "-$window_pid"
wait "$window_pid" 2>/dev/null || true
window_pid=""
echo "ok: \"$exec_line\" opened the window (dist/package-window.png)"

stage "apt-get remove"
in_root sh -c 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -q uhf-reader-tool >/tmp/remove.log 2>&1 ||
  { cat /tmp/remove.log; exit 1; }'
left=""
while read -r path; do
  [ -d "$root$path" ] && continue   # shared folders (/usr, /usr/bin) stay
  [ -e "$root$path" ] || [ -L "$root$path" ] && left+=" $path"
done <<<"$dpkg_list"
private_dir=$(grep '/uhf-reader-tool$' <<<"$dpkg_list" | grep '^/usr/lib/' || true)
[ -n "$private_dir" ] && [ -d "$root$private_dir" ] && left+=" $private_dir/"
status=$(in_root dpkg-query -W -f='${db:Status-Abbrev}' uhf-reader-tool 2>/dev/null || true)
if [ -n "$left" ] || [[ "$status" == ii* ]] || [[ "$status" == rc* ]]; then
  echo "FAIL: after apt-get remove: status '$status', left:$left" >&2
  exit 1
fi
echo "ok: removed, no file left (dpkg status: ${status:-not installed})"
stage "all checks passed"
