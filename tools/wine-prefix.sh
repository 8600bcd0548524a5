#!/bin/sh
# Creates the private Wine prefix once (never the user's default one) and keeps
# a wineserver alive for it, so each test does not pay Wine's start-up again.
# The architecture comes from ORVEX_WINE_ARCH (wine-env.sh).
prefix=$1
. "$(cd "$(dirname "$0")" && pwd)/wine-env.sh"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.orvex-ready" ]; then
    rm -rf "$prefix"
    "$WINE" wineboot -i >/dev/null 2>&1 </dev/null 9>&-
    # A crash ends the process quietly instead of starting the debugger's dialog.
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null 9>&-
    touch "$prefix/.orvex-ready"
  fi
  if [ ! -f "$prefix/.orvex-unmanaged" ]; then
    # Without a window manager (Xvfb), Wine waits about 2 s each time it hides a
    # managed window; unmanaged windows make dialog tests fast.
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null 9>&-
    touch "$prefix/.orvex-unmanaged"
  fi
  if [ ! -f "$prefix/.orvex-cjk" ]; then
    # Chinese texts need a font with Chinese characters: link one (Debian's
    # fonts-wqy-microhei) behind the dialog fonts, as a Chinese Windows does.
    for face in "System" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Microsoft Sans Serif"; do
      "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
        /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 </dev/null 9>&-
    done
    touch "$prefix/.orvex-cjk"
  fi
  if [ ! -f "$prefix/.orvex-marlett" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    # Wine draws the title bar buttons with the symbol font Marlett (Debian's fonts-wine),
    # but does not look in that package's folder: without it they show as "0 1 r".
    mkdir -p "$prefix/drive_c/windows/Fonts" &&
      cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/" &&
      touch "$prefix/.orvex-marlett"
  fi
  # -p: stay alive between programs (ended by with-wine-session.sh or 'wineserver -k').
  wineserver -p >/dev/null 2>&1 </dev/null 9>&-
  # Start Wine's own service processes now, detached from any caller's pipes: a
  # test runner that reads a program's output through a pipe would otherwise wait
  # for them to end.
  "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null 9>&-
) 9>"$prefix.lock"
