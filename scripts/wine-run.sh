#!/usr/bin/env bash
# Runs a Windows program under Wine with its exit status; the cross builds' test emulator.
# Uses the prefix and loader that scripts/wine-env.sh prepared (WINEPREFIX, UHF_WINE).
#
# The program's output goes through files, so a process it leaves behind cannot hold ctest's pipe
# open; a program still running after UHF_WINE_TIMEOUT seconds (default 110, under ctest's 120) is
# ended and named, and so is anything it left running. Wine's own system programs that a program
# started (the virtual desktop's explorer.exe and the services) are shared by every program of the
# prefix and stay: they end with the prefix's server. A program whose Wine died of a signal runs
# once more (see below).
set -u
: "${WINEPREFIX:?run under scripts/test-windows.sh, or source scripts/wine-env.sh first}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
wine="${UHF_WINE:-wine}"
limit="${UHF_WINE_TIMEOUT:-110}"
name="$(basename "${1:-?}")"

out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT

system='^(explorer|services|winedevice|plugplay|svchost|rpcss|conhost|winemenubuilder)\.exe$'
begin=$SECONDS
attempt=1
while :; do
  # timeout makes itself the leader of a new process group: the program and whatever it starts.
  timeout -k 5 "$((limit - (SECONDS - begin)))" "$wine" "$@" >"$out" 2>"$err" </dev/null &
  group=$!
  wait "$group"
  status=$?
  cat "$out"
  cat "$err" >&2
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "wine-run.sh: $name did not end within $limit s; ended it" >&2
  fi
  left=()
  while read -r pid comm; do
    [[ "$comm" =~ $system ]] || left+=("$pid:$comm")
  done < <(pgrep -g "$group" -l 2>/dev/null)
  if [ ${#left[@]} -gt 0 ]; then
    echo "wine-run.sh: $name left processes running (${left[*]}); ended them" >&2
    kill -KILL "${left[@]%%:*}" 2>/dev/null || true
  fi
  # Wine itself ended by a signal (SIGILL, SIGABRT, SIGBUS, SIGFPE, SIGSEGV): a fault of the
  # program ends it with the exception's code (an access violation gives 5), never a signal. The
  # 32-bit loader was seen to do so on a busy machine; the program runs once more, said here.
  case "$status" in
    132 | 134 | 135 | 136 | 139) ;;
    *) break ;;
  esac
  if [ "$attempt" -ge 2 ] || [ $((limit - (SECONDS - begin))) -lt 30 ]; then break; fi
  echo "wine-run.sh: wine ended by signal $((status - 128)) running $name; running it once more" >&2
  attempt=$((attempt + 1))
done
exit "$status"
