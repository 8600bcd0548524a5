#!/bin/sh
# Runs one Windows program under Wine in the build tree's private prefix.
# Usage: wine-run.sh PREFIX win32|win64 program.exe [args...]   (CMake's cross-compiling emulator)
prefix=$1; ORVEX_WINE_ARCH=$2; shift 2
export ORVEX_WINE_ARCH
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
"$here/wine-prefix.sh" "$prefix" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec "$WINE" "$@"
