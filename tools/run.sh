#!/usr/bin/env bash
# Installs what is missing, builds Tonewell and starts it under Wine on the simulated sound
# card. With a display (DISPLAY set) the window opens there and runs until it is closed.
# Without one it runs on a virtual display, saves a screenshot whose path it prints, and
# closes the program; --keep leaves it running there until this command is interrupted.
# Further arguments are passed to Tonewell as its command line.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" = "--inside-display" ]; then
  shift
  keep=$1; shift
  shot=build/win32/run/tonewell.png
  (cd build/win32/run && wine tonewell.exe "$@") &
  app=$!
  window=""
  for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Tonewell$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    echo "run: the Tonewell window did not appear" >&2
    exit 1
  fi
  sleep 1.5
  import -window root "$shot"
  echo "run: screenshot of the window: $root/$shot"
  if [ "$keep" = 1 ]; then
    echo "run: Tonewell keeps running on display $DISPLAY; press Ctrl+C to end it"
    wait "$app"
  else
    xdotool key --window "$window" Escape 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$app" 2>/dev/null || break; sleep 0.2; done
    kill "$app" 2>/dev/null || true
  fi
  exit 0
fi

keep=0
if [ "${1:-}" = "--keep" ]; then keep=1; shift; fi

tools/install-deps.sh
cmake --no-warn-unused-cli -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win32 --target run_bundle

# On a first run, list the SoundFonts from Debian's packages, as a user would add them.
if [ ! -f build/win32/run/tnw.ini ]; then
  printf '[Folders]\r\nLocalSoundFonts_0=Z:\\usr\\share\\sounds\\sf2\r\n' > build/win32/run/tnw.ini
fi

if [ -n "${DISPLAY:-}" ]; then
  exec tools/wine-session.sh build/win32/wine/run-prefix -- \
    bash -c 'cd build/win32/run && wine tonewell.exe "$@"' tonewell "$@"
fi
exec tools/wine-session.sh build/win32/wine/run-prefix -- \
  bash "$root/tools/run.sh" --inside-display "$keep" "$@"
