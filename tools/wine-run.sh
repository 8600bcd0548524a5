#!/bin/sh
# Runs one Windows program under Wine in the build tree's private prefix.
# Usage: wine-run.sh PREFIX program.exe [args...]   (CMake's cross-compiling emulator)
prefix=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
"$here/wine-prefix.sh" "$prefix" || exit 1
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
