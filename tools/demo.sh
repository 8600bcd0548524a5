#!/bin/sh
# The main job on simulated devices: registers orvex.dll with Wine's regsvr32, makes a
# small fleet of simulated cameras, writes them through the control from VBScript
# (Wine's cscript, a client we did not write), then shows what each device now holds
# and the day's log. Runs inside tools/with-wine-session.sh (private prefix + Xvfb).
set -eu
build=$(cd "$1" && pwd); dist=$(cd "$2" && pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:?run through tools/with-wine-session.sh}"
export WINEDEBUG=-all WINEARCH=win32
drive_c=$WINEPREFIX/drive_c
app=$drive_c/orvex-demo
store=$build/demo-store.ini
rm -f "$store"
mkdir -p "$app"
cp "$dist/win32/orvex.dll" "$dist/win32/devsim/halcyra.dll" "$app/"
# The camera and media libraries are loaded from the host program's directory: the
# host here is cscript.exe, in system32.
cp "$dist/win32/devsim/ravicore.dll" "$dist/win32/devsim/ravimedia.dll" "$drive_c/windows/system32/"
cp "$top/examples/register_fleet.vbs" "$app/"
export ORVEX_DEVSIM_STORE="Z:$(echo "$store" | tr / '\\')"
devsim() { wine "$dist/win32/devsim/devsim.exe" "$@" </dev/null 2>&1 | tr -d '\r'; }

echo "== simulated devices"
devsim fleet
echo "== regsvr32 orvex.dll"
wine regsvr32 /s 'C:\orvex-demo\orvex.dll' </dev/null >/dev/null 2>&1 && echo "registered"
echo "== writing the devices (platform 10.0.0.5:9000)"
out=$build/demo-output.txt
(cd "$app" && wine cscript //nologo 'C:\orvex-demo\register_fleet.vbs' 10.0.0.5 9000 </dev/null >"$out" 2>&1) || true
tr -d '\r' <"$out"
echo "== what the devices hold now"
devsim show
echo "== today's log"
log=$(ls -t "$drive_c"/orvex/Log/Log_*.txt 2>/dev/null | head -n 1)
[ -n "$log" ] && tail -n 40 "$log" | iconv -f UTF-8 -t UTF-8 -c | tr -d '\r'
grep -q "done" "$out"
