#!/usr/bin/env bash
# Runs a Windows program under Wine with its exit status; the cross builds' test emulator.
# Uses the prefix that scripts/wine-env.sh prepared (WINEPREFIX), quiet and without crash dialogs.
set -u
: "${WINEPREFIX:?run under scripts/test-windows.sh, or source scripts/wine-env.sh first}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winedbg.exe=d}"
exec wine "$@"
