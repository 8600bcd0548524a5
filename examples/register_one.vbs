' Registers one device with the platform through the orvex control.
' Usage: cscript //nologo register_one.vbs DEVICE_IP PLATFORM_IP PLATFORM_PORT PU_ID NAME [USER PASSWORD]
' The device is restarted about five seconds after a successful write, so the
' script waits that long before it ends.
Option Explicit
Dim args, ctl, ok
Set args = WScript.Arguments
If args.Count < 5 Then
    WScript.Echo "usage: register_one.vbs DEVICE_IP PLATFORM_IP PLATFORM_PORT PU_ID NAME [USER PASSWORD]"
    WScript.Quit 2
End If
Set ctl = CreateObject("ORVEX.orvexCtrl.1")
If args.Count >= 7 Then
    ' Stored for the next login of a newer-protocol device: no login dialog appears.
    ctl.Connect args(0), 5510, args(5), args(6)
End If
ok = ctl.WritePu(args(0), 5510, args(1), CLng(args(2)), args(3), args(4), args(0))
If ok <> 0 Then
    WScript.Echo "Succeeded: " & args(0) & " now registers with " & args(1) & ":" & args(2) & " as " & args(3)
    Pause 6
    WScript.Quit 0
End If
WScript.Echo "Failed: " & args(0) & " was not written (see C:\orvex\Log\ for the reason)"
WScript.Quit 1

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
