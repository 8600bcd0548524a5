#!/bin/sh
# Runs the benchmark under Wine and prints its figures.
# Usage: bench.sh WIN_BUILD_DIR   (inside tools/with-wine-session.sh)
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp)
# Wine's background processes may hold a pipe open: write to a file, then show it.
"$here/wine-run.sh" "$build/wineprefix" "$build/bench-run/flat_bench.exe" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
rm -f "$out"
exit $status
