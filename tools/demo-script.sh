#!/bin/sh
# The control from a script: registers orvex.dll with Wine's regsvr32, makes the devsim
# fleet, writes it through "ORVEX.orvexCtrl.1" from VBScript (Wine's cscript, a client we
# did not write), then shows what each device now holds and the day's log.
# Usage: demo-script.sh WORK_DIR MODULE_DIR DEVSIM_DIR   (inside tools/with-wine-session.sh)
set -eu
build=$(cd "$1" && pwd); modules=$(cd "$2" && pwd); stand_ins=$(cd "$3" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:?run through tools/with-wine-session.sh}"
: "${WINE:?run through tools/with-wine-session.sh}"
export WINEDEBUG=-all
wine() { "$WINE" "$@"; }
drive_c=$WINEPREFIX/drive_c
app=$drive_c/orvex-demo
store=$build/demo-script-store.ini
rm -f "$store"
mkdir -p "$app"
cp "$modules/orvex.dll" "$stand_ins/halcyra.dll" "$app/"
# The camera and media libraries are loaded from the host program's directory: the
# host here is cscript.exe, in system32.
cp "$stand_ins/ravicore.dll" "$stand_ins/ravimedia.dll" "$drive_c/windows/system32/"
cp "$top/examples/register_fleet.vbs" "$app/"
export ORVEX_DEVSIM_STORE="Z:$(echo "$store" | tr / '\\')"
devsim() { wine "$stand_ins/devsim.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }

echo "== simulated devices"
devsim fleet
echo "== regsvr32 orvex.dll"
wine regsvr32 /s 'C:\orvex-demo\orvex.dll' </dev/null >/dev/null 2>&1 && echo "registered"
echo "== writing the devices (platform 10.0.0.5:9000)"
out=$build/demo-script-output.txt
(cd "$app" && wine cscript //nologo 'C:\orvex-demo\register_fleet.vbs' 10.0.0.5 9000 </dev/null >"$out" 2>&1) || true
tr -d '\r' <"$out"
echo "== what the devices hold now"
devsim show
echo "== today's log"
log=$(ls -t "$drive_c"/orvex/Log/Log_*.txt 2>/dev/null | head -n 1)
[ -n "$log" ] && tail -n 40 "$log" | iconv -f UTF-8 -t UTF-8 -c | tr -d '\r'
grep -q "done" "$out"
