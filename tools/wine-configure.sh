#!/usr/bin/env bash
# Creates and configures the Wine prefix named by WINEPREFIX: a virtual desktop (no window
# manager here, and without one every window destruction waits), no crash dialog, no audio
# driver, and the Marlett font for caption buttons.
set -euo pipefail
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = "--inside-display" ]; then
  wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
  wineserver -w
  exit 0
fi

mkdir -p "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  bash "$0" --inside-display
else
  xvfb-run -a -s "-nolisten tcp" bash "$0" --inside-display
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
exit 0
