# Sourced: makes a throwaway Wine prefix for one run and keeps a wineserver alive for it.
#   wine_env_start   creates the prefix in $1 (a new folder), exports WINEPREFIX and friends
#   wine_env_stop    stops the wineserver and removes the prefix
# Debian's Wine does not find its own fonts and its dialog font has no Chinese glyphs, so the
# prefix gets Wine's fonts and WenQuanYi Micro Hei copied in, the usual faces mapped to it, and
# Mono, Gecko and the crash debugger switched off (a crashing test must fail, not hang).

wine_env_start() {
  local dir="$1"
  mkdir -p "$dir"
  export WINEPREFIX="$dir/prefix"
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # Keep Wine from asking a desktop to open files or show menus.
  export DISPLAY="${DISPLAY:-}"
  timeout 120 wineboot -i >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
  wineserver -p >/dev/null 2>&1 &
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
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "Segoe UI Symbol" "Segoe UI" "宋体" "SimSun" "新宋体" "NSimSun" "Tahoma" \
      "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif" "Arial" \
      "Microsoft YaHei" "微软雅黑"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"MS Shell Dlg"="WenQuanYi Micro Hei"\r\n"MS Shell Dlg 2"="WenQuanYi Micro Hei"\r\n'
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  timeout 60 wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
  # One warm start so the first test does not pay for it.
  timeout 60 wine cmd /c exit >/dev/null 2>&1 || true
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] || return 0
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$(dirname "$WINEPREFIX")"
}
