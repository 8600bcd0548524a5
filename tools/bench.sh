#!/bin/sh
# The benchmark: runs the benchmark programs (the flat calls, the run's record and the poll of
# its result list, one device's write) and a real 20-row batch under Wine and prints
# their figures side by side with the machine and the commit, then the size of every
# shipped DLL. Figures only: nothing here passes or fails on speed.
# Usage: bench.sh WIN_BUILD_DIR DIST_DIR   (inside tools/with-wine-session.sh)
build=$(cd "$1" && pwd)
dist=$(cd "$2" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:?run through tools/with-wine-session.sh}"
: "${WINE:?run through tools/with-wine-session.sh}"
export WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
status=0
rows=20

echo "machine: $(nproc) CPUs, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)"
echo "commit:  $(git -C "$top" rev-parse HEAD)$(git -C "$top" diff --quiet HEAD 2>/dev/null || echo ' (with local changes)')"
echo "build:   $build (${WINEARCH:-win32} under Wine $("$WINE" --version 2>/dev/null))"

# Wine's background processes may hold a pipe open: each program writes to a file,
# which is shown afterwards.
out=$(mktemp)
run() { "$WINE" "$@" >"$out" 2>&1 </dev/null; s=$?; tr -d '\r' <"$out"; [ $s -eq 0 ] || status=$s; }

echo
(cd "$build/bench-run" && run "$build/bench-run/flat_bench.exe")

# The run's record and the poll of the result list against the list's length (journals
# in a folder of its own under the prefix's %TEMP%).
echo
(cd "$build/bin" && run "$build/bin/record_bench.exe")

# The batch programs run from one folder with orvex.dll and the stand-in device libraries.
app=$WINEPREFIX/drive_c/orvex-bench
app_win='C:\orvex-bench'
rm -rf "$app"; mkdir -p "$app"
for f in orvex.dll halcyra.dll ravicore.dll ravimedia.dll devsim.exe trevanil.dll trevanil_host.exe batch_bench.exe; do
  cp "$build/bin/$f" "$app/" || { echo "bench: $build/bin/$f is missing"; exit 1; }
done
"$WINE" regsvr32 /s "$app_win\\orvex.dll" </dev/null >/dev/null 2>&1 &&
  "$WINE" regsvr32 /s "$app_win\\trevanil.dll" </dev/null >/dev/null 2>&1 || { echo "bench: regsvr32 failed"; exit 1; }
store=$build/bench-store.ini
rm -f "$store"
export ORVEX_DEVSIM_STORE="Z:$(echo "$store" | tr / '\\')"
# Devices that answer at once: older protocol, no delays, no faults.
echo "name,remark,device ip,user,password,model,serial,location,device id" >"$app/devices.csv"
for i in $(seq 1 $rows); do
  "$WINE" "$app/devsim.exe" add "192.168.3.$i" --protocol old </dev/null >/dev/null 2>&1
  printf 'cam-%d,,192.168.3.%d,,,,,,PU-%04d\r\n' "$i" "$i" "$i" >>"$app/devices.csv"
done

echo
(cd "$app" && run "$app/batch_bench.exe" 192.168.3.1 $rows)

echo
echo "trevanil_host --check on a 100000-row list, the whole program with its report written to a file:"
awk 'BEGIN { print "name,remark,device ip,user,password,model,serial,location,device id,group,vendor,notes,gb,platform ip,platform port\r"
             for (i = 0; i < 100000; i++)
               printf "camera-%06d,,10.%d.%d.%d,admin,admin123,,,,PU-%06d,,,,0,,\r\n", i, int(i / 65536), int(i / 256) % 256, i % 256, i }' \
  >"$app/check-100000.csv"
# The program's start alone, for comparison: --help.
elapsed() { s0=$(date +%s.%N); (cd "$app" && "$WINE" trevanil_host.exe "$@" </dev/null >"$build/bench-check.txt" 2>&1); rc=$?;
            s1=$(date +%s.%N); awk -v a="$s0" -v b="$s1" 'BEGIN { printf "%.2f", b - a }'; return $rc; }
help_s=$(elapsed --help)
check_s=$(elapsed --lang 2 --check "$app_win\\check-100000.csv" --ip 10.0.0.5 --port 9000)
if [ $? -eq 0 ] && [ "$(tr -d '\r' <"$build/bench-check.txt" | grep -c '^row ')" = 100000 ]; then
  printf '  trevanil_host --check            %6s s   (100000 rows, exit 0)\n' "$check_s"
  printf '  trevanil_host --help             %6s s   (the program'"'"'s start and end alone)\n' "$help_s"
else
  status=1; echo "  trevanil_host --check failed:"; tail -n 3 "$build/bench-check.txt"
fi

echo
echo "a $rows-row batch through the dialog (trevanil_host --write), SetCloseFlag(1) to SetCloseFlag(0):"
log=$build/bench-batch.txt
(cd "$app" && "$WINE" trevanil_host.exe --lang 2 --ip 10.0.0.5 --port 9000 --file "$app_win\\devices.csv" --write \
   --timeout 300 </dev/null >"$log" 2>&1) &
host=$!
# The moments the two events are printed, polled every 20 ms (a run takes tens of seconds).
stamp_of() { while ! grep -qF "$1" "$log" 2>/dev/null; do kill -0 $host 2>/dev/null || return; sleep 0.02; done; date +%s.%N; }
start=$(stamp_of 'SetCloseFlag(1)')
end=$(stamp_of 'SetCloseFlag(0)')
wait $host || { status=1; echo "  trevanil_host failed:"; tr -d '\r' <"$log"; }
succeeded=$(grep -c '^row .*Succeeded\.' "$log")
if [ -n "$start" ] && [ -n "$end" ]; then
  awk -v s="$start" -v e="$end" -v n=$rows -v ok="$succeeded" 'BEGIN {
    run = e - s; ticks = n * 1.8
    printf "  the run                        %8.2f s   (%s rows reported Succeeded.)\n", run, ok
    printf "  %d x 1800 ms                   %8.2f s   run / ticks = %.3f, %.0f ms a row beyond its tick\n", n, ticks, run / ticks, (run - ticks) * 1000 / n }'
else
  echo "  the host did not report both SetCloseFlag events"; status=1
fi

echo
echo "shipped DLLs in $dist/win32 (the 32-bit build; debug information kept apart in debug/):"
for f in "$dist"/win32/*.dll "$dist"/win32/devsim/*.dll; do
  [ -f "$f" ] || continue
  name=$(basename "$f")
  size=$(stat -c %s "$f")
  debug=$(stat -c %s "$(dirname "$f")/debug/$name.debug" 2>/dev/null || echo 0)
  printf '  %-14s %9d bytes (%4d KiB), debug information %5d KiB\n' "$name" "$size" $((size / 1024)) $((debug / 1024))
done
rm -f "$out"
exit $status
