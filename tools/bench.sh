#!/bin/sh
# Prints the size of every shipped DLL, then runs the benchmark under Wine and prints
# its figures.
# Usage: bench.sh WIN_BUILD_DIR DIST_DIR   (inside tools/with-wine-session.sh)
build=$(cd "$1" && pwd)
dist=$(cd "$2" && pwd)
echo "shipped DLLs in $dist/win32 (debug information kept apart in debug/):"
for f in "$dist"/win32/*.dll; do
  [ -f "$f" ] || continue
  name=$(basename "$f")
  size=$(stat -c %s "$f")
  debug=$(stat -c %s "$dist/win32/debug/$name.debug" 2>/dev/null || echo 0)
  printf '  %-14s %9d bytes (%d KiB), debug information %d KiB\n' "$name" "$size" $((size / 1024)) $((debug / 1024))
done
out=$(mktemp)
# Wine's background processes may hold a pipe open: write to a file, then show it. The
# session has made the prefix and names the Wine loader to use (WINE, else wine).
WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}" "${WINE:-wine}" "$build/bench-run/flat_bench.exe" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
