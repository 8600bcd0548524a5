#!/bin/sh
# The operator's batch job on simulated devices: registers orvex.dll and trevanil.dll with
# regsvr32, builds the fleet of examples/demo-fleet.txt, runs trevanil_host.exe with the
# batch control, types the platform address and examples/demo-devices.csv into its dialog
# and presses Write (after trevanil_host --check has said what a run would do with the list);
# the dialog's own timer run writes one device per tick. Then shows the
# result list, what every device holds now, the saved results and retry list, and runs
# the retry list once more (in Chinese) after the two faulty devices have been mended.
# Usage: demo.sh WORK_DIR MODULE_DIR DEVSIM_DIR   (inside tools/with-wine-session.sh)
#   MODULE_DIR holds orvex.dll, trevanil.dll, trevanil_host.exe; DEVSIM_DIR the stand-in
#   libraries and devsim.exe. Exit 0 when both runs gave the expected results.
set -u
work=$(cd "$1" && pwd); modules=$(cd "$2" && pwd); stand_ins=$(cd "$3" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:?run through tools/with-wine-session.sh}"
: "${WINE:?run through tools/with-wine-session.sh}"
export WINEDEBUG=-all WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

step="start"
begin() { step=$1; echo; echo "== $step"; }
fail() { echo "make demo: FAILED at step \"$step\": $*" >&2; exit 1; }

app_win='C:\demo-app'
app=$WINEPREFIX/drive_c/demo-app
store=$work/demo-store.ini
platform_ip=10.0.0.5
platform_port=9000
export ORVEX_DEVSIM_STORE="Z:$(echo "$store" | tr / '\\')"

devsim() { "$WINE" "$app/devsim.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }

# The value of KEY in the store's section of device ADDRESS ("" when absent).
device_value() {
  awk -v section="[$1]" -v key="$2" '
    /^\[/ { inside = ($0 == section); next }
    inside { split($0, kv, " = "); if (kv[1] == key) { print substr($0, length(key) + 4); exit } }' "$store"
}

# Waits until each listed device has restarted at least COUNT times (a write restarts
# its device about five seconds later).
wait_for_restarts() {
  count=$1; shift
  for tries in $(seq 1 150); do
    missing=""
    for ip in "$@"; do
      [ "$(device_value "$ip" restarts)" -ge "$count" ] 2>/dev/null || missing="$missing $ip"
    done
    [ -z "$missing" ] && return 0
    sleep 0.1
  done
  fail "no restart of$missing within 15 s of the run's end"
}

show_devices() {
  printf '%-14s %-20s %-10s %-22s %-14s %-8s %s\n' "device" "platform" "PU id" "name" "IP" "charset" "restarts"
  for ip in $(grep '^\[[0-9]' "$store" | tr -d '[]'); do
    printf '%-14s %-20s %-10s %-22s %-14s %-8s %s\n' "$ip" \
      "$(device_value "$ip" platform_ip):$(device_value "$ip" platform_port)" "$(device_value "$ip" pu_id)" \
      "$(device_value "$ip" device_name)" "$(device_value "$ip" device_ip)" "$(device_value "$ip" charset)" \
      "$(device_value "$ip" restarts)"
  done
}

# Runs the host on a device list, its output shown line by line as it comes.
# run_host LANG LIST_NAME SCREENSHOT_NAME OUTPUT_FILE
run_host() {
  rm -f "$app/$3" "$4"
  : >"$4"  # there before tail looks for it
  (cd "$app" && "$WINE" trevanil_host.exe --lang "$1" --ip "$platform_ip" --port "$platform_port" \
      --file "$app_win\\$2" --write --screenshot "$app_win\\$3" --timeout 120 </dev/null >"$4" 2>&1) &
  host=$!
  tail -n +1 -f --pid="$host" "$4" | tr -d '\r'
  wait "$host"
}

# Checks that the host printed its progress line for every row, and how the run ended.
# check_progress OUTPUT_FILE ROWS LAST_LINE
check_progress() {
  lines=$(grep -c '^progress: ' "$1")
  [ "$lines" -gt "$2" ] || fail "$1 shows $lines progress lines for $2 rows"
  last=$(grep '^progress: ' "$1" | tail -n 1 | tr -d '\r')
  [ "$last" = "progress: $3" ] || fail "the last progress line is \"$last\", expected \"progress: $3\""
  echo "a progress line for every row; the last: $3"
}

# Checks the saved results file against "row|result" lines on standard input (a row
# without a result shows its name column). The host itself fails a run that did not complete.
check_results() {
  results=$1
  [ -f "$results" ] || fail "the results file $results was not saved"
  while IFS='|' read -r row expected; do
    got=$(awk -F, -v row="$row" 'NR > 1 && $1 == row { print ($4 == "" ? $2 : $4) }' "$results" | tr -d '\r')
    [ "$got" = "$expected" ] || fail "row $row shows \"$got\", expected \"$expected\""
  done
  echo "all rows as expected"
}

begin "preparing $app_win in the Wine prefix $WINEPREFIX"
rm -rf "$app"
mkdir -p "$app" || fail "cannot make $app"
# orvex.dll finds halcyra.dll beside itself, and the camera and media libraries in the
# host program's folder: one folder holds them all.
for f in "$modules/orvex.dll" "$modules/trevanil.dll" "$modules/trevanil_host.exe" "$stand_ins/halcyra.dll" \
         "$stand_ins/ravicore.dll" "$stand_ins/ravimedia.dll" "$stand_ins/devsim.exe"; do
  cp "$f" "$app/" || fail "$f is missing (was the build complete?)"
done
cp "$top/examples/demo-devices.csv" "$app/devices.csv" || fail "examples/demo-devices.csv is missing"
echo "ready"

begin "registering the modules with regsvr32"
for m in orvex.dll trevanil.dll; do
  "$WINE" regsvr32 /s "$app_win\\$m" </dev/null >/dev/null 2>&1 || fail "regsvr32 $m failed"
  echo "registered $m"
done

begin "simulated devices (examples/demo-fleet.txt)"
rm -f "$store" "$store.lock"
grep -v '^#' "$top/examples/demo-fleet.txt" | while read -r ip protocol user password fault; do
  [ -n "$ip" ] || continue
  if [ "$user" = "-" ]; then
    devsim add "$ip" --protocol "$protocol" --name "factory-$ip" >/dev/null || exit 1
  else
    devsim add "$ip" --protocol "$protocol" --user "$user" --password "$password" --name "factory-$ip" >/dev/null || exit 1
  fi
  if [ "$fault" != "-" ]; then devsim fault "$ip" "${fault%%=*}" "${fault#*=}" >/dev/null || exit 1; fi
done || fail "devsim could not build the fleet"
devsim list
[ "$(grep -c '^\[[0-9]' "$store" 2>/dev/null)" = 7 ] || fail "the store $store does not hold the 7 devices"

begin "the device list (examples/demo-devices.csv)"
tr -d '\r' <"$app/devices.csv"

begin "checking the device list before writing (trevanil_host --check, English)"
(cd "$app" && "$WINE" trevanil_host.exe --lang 2 --check "$app_win\\devices.csv" --ip "$platform_ip" \
    --port "$platform_port" </dev/null >"$work/demo-check.txt" 2>&1)
check_status=$?
tr -d '\r' <"$work/demo-check.txt"
# Rows 7 and 8 are not written, and yard (row 3) repeats the device ID of gate-west (row 2,
# "#PU-0011"): the check says so, and the run below writes the list all the same.
[ "$check_status" = 1 ] || fail "--check ended with status $check_status, expected 1"
tr -d '\r' <"$work/demo-check.txt" | grep -q '^duplicate device ID PU-0011: rows 2, 3 ' ||
  fail "--check did not report the device ID PU-0011 of rows 2 and 3"
tr -d '\r' <"$work/demo-check.txt" | grep -q '^summary: 8 rows: 6 will be written, 1 incomplete, 1 GB devices' ||
  fail "--check's summary is not the expected one"

begin "writing the devices through the batch dialog (platform $platform_ip:$platform_port, English)"
# Two rows are refused by their devices: the host's exit status 1 says so.
run_host 2 devices.csv run-en.png "$work/demo-run-en.txt"; status=$?
[ "$status" = 1 ] || fail "trevanil_host ended with status $status, expected 1 (output: $work/demo-run-en.txt)"

begin "checking the result list"
check_progress "$work/demo-run-en.txt" 8 "Row 8 of 8 · 4 succeeded · 4 failed · finished"
check_results "$app/devices-results.csv" <<'EOF'
1|Succeeded.
2|Succeeded.
3|Failed.
4|Succeeded.
5|Succeeded.
6|Failed.
7|You cannot write data into GB-compliant devices.
8|The dvice information file is not duly filled up.
EOF

begin "waiting for the written devices' restarts"
wait_for_restarts 1 192.168.1.10 192.168.1.11 192.168.1.20 192.168.1.21
echo "each written device restarted"

begin "what the devices hold now"
show_devices
[ "$(device_value 192.168.1.11 platform_ip):$(device_value 192.168.1.11 platform_port)" = "10.0.0.6:9100" ] ||
  fail "192.168.1.11 does not hold its own platform address 10.0.0.6:9100"
for ip in 192.168.1.10 192.168.1.20 192.168.1.21; do
  [ "$(device_value $ip platform_ip):$(device_value $ip platform_port)" = "$platform_ip:$platform_port" ] ||
    fail "$ip does not hold the platform address $platform_ip:$platform_port"
done
[ "$(device_value 192.168.1.20 pu_id)" = "PU-0020" ] || fail "192.168.1.20 does not hold its device ID PU-0020"

begin "the files the run left"
echo "screenshot:  $app/run-en.png"
[ -s "$app/run-en.png" ] || fail "no screenshot"
log=$(ls -t "$WINEPREFIX"/drive_c/orvex/Log/Log_*.txt 2>/dev/null | head -n 1)
[ -n "$log" ] || fail "no log file under C:\\orvex\\Log"
echo "day's log:   $log (last lines below)"
tail -n 5 "$log" | tr -d '\r' | sed 's/^/  /'
echo "results:     $app/devices-results.csv"
sed 's/^\xEF\xBB\xBF//' "$app/devices-results.csv" | tr -d '\r' | sed 's/^/  /'
echo "retry list:  $app/devices-retry.csv"
[ -f "$app/devices-retry.csv" ] || fail "no retry list"
tr -d '\r' <"$app/devices-retry.csv" | sed 's/^/  /'

begin "mending the two faulty devices, then running the retry list (Chinese)"
devsim fault 192.168.1.12 ZRM_SaveSettings clear
devsim set 192.168.1.22 password admin123
# Every row that can be written is written and restarted now: status 0.
run_host 1 devices-retry.csv run-zh.png "$work/demo-run-zh.txt" || fail "trevanil_host ended with status $? (output: $work/demo-run-zh.txt)"
check_progress "$work/demo-run-zh.txt" 4 "第 4 / 4 行 · 成功 2 · 失败 2 · 已完成"
check_results "$app/devices-retry-results.csv" <<'EOF'
1|写入前端成功！
2|写入前端成功！
3|国标设备不支持写入前端！
4|设备信息不全无法写入。
EOF
wait_for_restarts 1 192.168.1.12 192.168.1.22
show_devices
echo "screenshot:  $app/run-zh.png"
[ -s "$app/run-zh.png" ] || fail "no screenshot of the Chinese run"

echo
echo "make demo: done -- every written device holds the platform settings and restarted once."
