# Sourced by the Wine scripts: which Wine runs our programs. ORVEX_WINE_ARCH is win32
# (the shipped 32-bit build) or win64 (the 64-bit build of the same sources, for
# machines whose kernel runs 64-bit programs only, where 32-bit Wine cannot start).
# Sets WINE (the loader to run programs with) and exports WINEARCH.
case "${ORVEX_WINE_ARCH:-win32}" in
  win64)
    WINE=/usr/lib/wine/wine64
    export WINELOADER=$WINE WINEARCH=win64 ;;
  *)
    WINE=wine
    export WINEARCH=win32 ;;
esac
