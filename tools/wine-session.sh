#!/usr/bin/env bash
# Usage: tools/wine-session.sh PREFIX_DIR [--arch win32|win64] [--fresh] [--sound WAV] -- COMMAND...
# Runs COMMAND with a Wine session of its own: a virtual display unless DISPLAY is set, a Wine
# prefix of the given architecture (win32 unless said) at PREFIX_DIR set up for this project,
# and a wineserver started on that display and ended afterwards (a Wine session is tied to the
# display it started on). COMMAND finds the loader to run programs with in WINELOADER.
# --fresh replaces the prefix with a clean copy first, so nothing from an earlier run is seen.
# --sound gives the session an audio device that records to the file WAV (Wine's ALSA driver
# and a file sink, tools/wine-sound.sh); without it the prefix has no audio driver.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/wine-arch.sh
source "$here/wine-arch.sh"
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" = "--inside-display" ]; then
  shift
  wineserver -p1
  "$WINELOADER" wineboot >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_SOUND:-}" ]; then
    # shellcheck source=tools/wine-sound.sh
    source "$here/wine-sound.sh"
    wine_sound_on "$WINE_SESSION_SOUND" || echo "wine-session: no sound in this session" >&2
  fi
  set +e
  "$@"
  rc=$?
  set -e
  if [ -n "${WINE_SESSION_SOUND:-}" ]; then wine_sound_off; fi
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  exit $rc
fi

mkdir -p "$(dirname "$1")"
prefix="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; shift
arch=win32
if [ "${1:-}" = "--arch" ]; then arch=$2; shift 2; fi
wine_arch_use "$arch"
fresh=0
if [ "${1:-}" = "--fresh" ]; then fresh=1; shift; fi
if [ "${1:-}" = "--sound" ]; then export WINE_SESSION_SOUND=$2; shift 2; fi
[ "${1:-}" = "--" ] && shift

if [ "$arch" = win32 ] && ! wine_can_run_win32; then
  echo "wine-session: $(wine_probe_line)" >&2
  exit 126
fi

template="${prefix}.template"
if [ ! -f "$template/system.reg" ]; then
  rm -rf "$template" "$template.tmp"
  WINEPREFIX="$template.tmp" bash "$here/wine-configure.sh" || {
    echo "wine-session: the Wine prefix could not be made at $template" >&2
    exit 1
  }
  mv "$template.tmp" "$template"
fi
if [ $fresh -eq 1 ] || [ ! -f "$prefix/system.reg" ]; then
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
fi
export WINEPREFIX="$prefix"

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$here/wine-session.sh" --inside-display "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  bash "$here/wine-session.sh" --inside-display "$@"
