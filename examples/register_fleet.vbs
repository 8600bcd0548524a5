' Registers a list of devices with the platform through the orvex control, one after
' another, the way the batch dialog does: Connect stores the device login, WritePu
' writes the platform's address and port, the device ID, name and IP address.
' Usage: cscript //nologo register_fleet.vbs PLATFORM_IP PLATFORM_PORT
Option Explicit
Dim platIp, platPort, ctl, devices, d, f, result, written
platIp = WScript.Arguments(0)
platPort = CLng(WScript.Arguments(1))
Set ctl = CreateObject("ORVEX.orvexCtrl.1")

' address, user, password, device ID, new name
devices = Array( _
  Array("192.168.1.10", "", "", "PU-0010", "gate-east"), _
  Array("192.168.1.11", "", "", "PU-0011", "gate-west"), _
  Array("192.168.1.12", "", "", "PU-0012", "yard"), _
  Array("192.168.1.20", "admin", "admin123", "PU-0020", "lobby"), _
  Array("192.168.1.21", "admin", "admin123", "PU-0021", "garage"), _
  Array("192.168.1.22", "admin", "admin123", "PU-0022", "roof"), _
  Array("192.168.1.99", "admin", "admin123", "PU-0099", "nowhere"))

written = 0
For Each d In devices
  ctl.Connect d(0), 5510, d(1), d(2)
  result = ctl.WritePu(d(0), 5510, platIp, platPort, d(3), d(4), d(0))
  If result <> 0 Then
    written = written + 1
    WScript.Echo d(0) & "  " & d(3) & "  Succeeded."
  Else
    WScript.Echo d(0) & "  " & d(3) & "  Failed."
  End If
Next
WScript.Echo written & " of " & (UBound(devices) + 1) & " devices written; waiting for their restarts..."
' Each written device is restarted five seconds after its write by a worker of this process.
Pause 8
WScript.Echo "done"

' Waits the given number of seconds. Wine's script host has no WScript.Sleep, so
' fall back to watching the clock there.
Sub Pause(seconds)
  Dim started
  On Error Resume Next
  WScript.Sleep seconds * 1000
  If Err.Number = 0 Then Exit Sub
  Err.Clear
  On Error GoTo 0
  started = Timer
  Do While Timer - started < seconds And Timer >= started
  Loop
End Sub
