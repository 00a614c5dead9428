#!/bin/sh
# Runs a Windows test program in the bench's Wine prefix. The server and Wine's services are
# started with stdio on /dev/null first: otherwise they inherit ctest's pipes and ctest waits on them.
: "${WINEPREFIX:=${KBD_WINEPREFIX:-$HOME/.wine-kbd-tests}}"
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}"
[ -f "$WINEPREFIX/system.reg" ] || WINEARCH=win32 wineboot -i </dev/null >/dev/null 2>&1
wineserver -p30 </dev/null >/dev/null 2>&1
wine cmd /c exit </dev/null >/dev/null 2>&1
exec wine "$@"
