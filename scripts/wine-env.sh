# Sourced: one throwaway Wine prefix with one wine server that lives exactly as long as the prefix.
#   wine_can_run ARCH  whether this machine can run ARCH's Windows programs under Wine
#   wine_env_start DIR ARCH
#                      creates the prefix in DIR (a new folder) for ARCH (x86_64 or i686), starts its
#                      persistent server and its system processes, exports WINEPREFIX, UHF_WINE (the
#                      loader for ARCH's programs) and friends; the virtual desktop is
#                      UHF_WINE_DESKTOP (default 1024x768), the screen's dots per inch UHF_WINE_DPI
#                      (default 96)
#   wine_env_alive     whether the server started by wine_env_start still runs (a restarted server
#                      drops every client that was connected: "recvmsg: Connection reset by peer")
#   wine_env_stop      ends the server and every process of the prefix, then removes the prefix
#
# Why one persistent server: a server that Wine starts on demand ends (and takes the prefix's system
# processes with it) as soon as its last program exits. Tests then start it again and again; a
# program connecting while the old server shuts down is dropped, and system processes started by a
# test hold that test's output pipe open, so ctest waits for them until its timeout.
# Debian's Wine does not find its own fonts and its dialog font has no Chinese glyphs, so the prefix
# gets Wine's fonts and WenQuanYi Micro Hei copied in, the usual faces mapped to it, and Mono, Gecko
# and the crash debugger switched off (a crashing test must fail, not hang).

# The loader for ARCH's programs. Debian's `wine` script always picks the 32-bit loader when it is
# installed, so 64-bit programs go to wine64 directly.
wine_loader() {
  case "$1" in
    x86_64) command -v wine64 || echo /usr/lib/wine/wine64 ;;
    *) echo /usr/lib/wine/wine ;;
  esac
}

# 32-bit Wine needs a kernel that runs 32-bit x86 programs; some virtual machines have that off.
wine_can_run() {
  "$(wine_loader "$1")" --version >/dev/null 2>&1
}

wine_env_start() {
  local dir="$1" arch="$2"
  mkdir -p "$dir/prefix"
  export WINEPREFIX="$dir/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  export DISPLAY="${DISPLAY:-}"
  UHF_WINE="$(wine_loader "$arch")"
  export UHF_WINE
  local wine64
  wine64="$(wine_loader x86_64)"

  # Creating the prefix runs under a server of its own, which ends with it.
  timeout 300 "$wine64" wineboot -i >"$dir/wineboot.log" 2>&1 ||
    { echo "wineboot failed:" >&2; tail -5 "$dir/wineboot.log" >&2; return 1; }
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  local cjk
  for cjk in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc; do
    [ -f "$cjk" ] && cp "$cjk" "$fonts/"
  done
  local reg="$dir/setup.reg" face
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n'
    printf '"Debugger"=-\r\n"Auto"="0"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]\r\n'
    printf '"Debugger"=-\r\n"Auto"="0"\r\n\r\n'
    # One virtual desktop: no window manager to wait for when windows are shown or hidden.
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n"Desktop"="Default"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="%s"\r\n\r\n' \
      "${UHF_WINE_DESKTOP:-1024x768}"
    # The screen's dots per inch (96 unless UHF_WINE_DPI says otherwise).
    if [ -n "${UHF_WINE_DPI:-}" ]; then
      printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$UHF_WINE_DPI"
      printf '[HKEY_CURRENT_CONFIG\\Software\\Fonts]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$UHF_WINE_DPI"
    fi
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Segoe UI Symbol" "Segoe UI" "宋体" "SimSun" "新宋体" "NSimSun" "Tahoma" \
      "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif" "Arial" \
      "Microsoft YaHei" "微软雅黑"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"MS Shell Dlg"="WenQuanYi Micro Hei"\r\n"MS Shell Dlg 2"="WenQuanYi Micro Hei"\r\n'
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  timeout 60 "$wine64" regedit /S "$(timeout 60 "$wine64" winepath -w "$reg" 2>/dev/null)" \
    >/dev/null 2>&1 || true
  wineserver -k >/dev/null 2>&1 || true
  timeout 60 wineserver -w >/dev/null 2>&1 || true

  # The server of the run: in the foreground of a background job, so its process is known, and
  # persistent, so it never ends while tests come and go.
  wineserver -f -p >"$dir/wineserver.log" 2>&1 &
  UHF_WINESERVER_PID=$!
  # The system processes (services, the virtual desktop with the settings above) start now, with
  # their output away from any test's, and stay for the whole run.
  timeout 120 "$wine64" wineboot >/dev/null 2>&1 || true
  timeout 60 "$UHF_WINE" cmd /c exit >/dev/null 2>&1 || true
  wine_env_alive || { echo "the wine server did not start:" >&2; cat "$dir/wineserver.log" >&2; return 1; }
}

wine_env_alive() {
  [ -n "${UHF_WINESERVER_PID:-}" ] && kill -0 "$UHF_WINESERVER_PID" 2>/dev/null
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${UHF_WINESERVER_PID:-}" ]; then
    # A server that ignores the request is ended; it never outlives its prefix.
    timeout 30 wineserver -w >/dev/null 2>&1 || kill -KILL "$UHF_WINESERVER_PID" 2>/dev/null || true
    wait "$UHF_WINESERVER_PID" 2>/dev/null || true
  fi
  rm -rf "$(dirname "$WINEPREFIX")"
  unset WINEPREFIX UHF_WINESERVER_PID
}
