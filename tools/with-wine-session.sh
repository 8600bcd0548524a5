#!/bin/sh
# Runs a command with a private X display (Xvfb) and one persistent wineserver for
# the given prefix, and stops both afterwards. Exit status is the command's.
# Usage: with-wine-session.sh PREFIX command [args...]   (ORVEX_WINE_ARCH: win32 or win64)
# The command finds the loader to use in $WINE.
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
export WINE
xvfb_pid=""
if command -v Xvfb >/dev/null 2>&1; then
  fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r disp <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$disp"
fi
"$here/wine-prefix.sh" "$prefix"
# One program that holds a window for the whole session keeps Wine's desktop
# process alive, so each test does not wait for it to start and end.
WINEPREFIX="$prefix" WINEDEBUG=-all setsid "$WINE" notepad >/dev/null 2>&1 </dev/null &
holder_pid=$!
WINEPREFIX="$prefix" "$@"; status=$?
kill "$holder_pid" 2>/dev/null
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
exit $status
