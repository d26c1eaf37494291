#!/usr/bin/env bash
# Creates and configures the Wine prefix named by WINEPREFIX, of the architecture in WINEARCH
# with its loader in WINELOADER (tools/wine-arch.sh): a virtual desktop (no window manager
# here, and without one every window destruction waits), no crash dialog, no audio driver, and
# the Marlett font for caption buttons.
set -euo pipefail
: "${WINEARCH:?}" "${WINELOADER:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = "--inside-display" ]; then
  "$WINELOADER" wineboot -i >/dev/null 2>&1
  reg() { "$WINELOADER" reg add "$@" /f >/dev/null 2>&1; }
  reg 'HKCU\Software\Wine\Explorer' /v Desktop /d Default
  reg 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768
  reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  reg 'HKCU\Software\Wine\Drivers' /v Audio /d ''
  wineserver -w
  exit 0
fi

mkdir -p "$WINEPREFIX"
if [ -n "${DISPLAY:-}" ]; then
  bash "$0" --inside-display
else
  xvfb-run -a -s "-nolisten tcp" bash "$0" --inside-display
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine-configure: wineboot made no prefix at $WINEPREFIX" >&2; exit 1; }
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
exit 0
