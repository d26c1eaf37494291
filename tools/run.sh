#!/usr/bin/env bash
# Installs what is missing, builds Tonewell and starts it under Wine on the software card, with
# the simulated sound card beside it (both appear in the tree; on a first run previewing plays
# on "Software Synth 1"): the 32-bit program (the release) where this machine runs 32-bit
# programs, else the 64-bit build of the same sources. With a display (DISPLAY set) the window opens there and
# runs until it is closed. Without one it runs on a virtual display, saves a screenshot whose
# path it prints, and closes the program; --keep leaves it running there until this command is
# interrupted. Further arguments are passed to Tonewell as its command line. Where no sound
# server runs, what Tonewell plays is recorded (Wine's ALSA driver into a WAV file) and the
# file's path printed at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source tools/wine-arch.sh

fail() { echo "run: $*" >&2; exit 1; }

if [ "${1:-}" = "--inside-display" ]; then
  shift
  keep=$1 run=$2; shift 2
  shot=$run/tonewell.png
  (cd "$run" && "$WINELOADER" tonewell.exe "$@") &
  app=$!
  window=""
  for _ in $(seq 1 150); do
    window=$(xdotool search --name '^Tonewell$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
  done
  if [ -z "$window" ]; then
    if kill -0 "$app" 2>/dev/null; then
      kill "$app" 2>/dev/null
      fail "the Tonewell window did not appear within 30 s"
    fi
    wait "$app"
    fail "Tonewell ended (status $?) before its window appeared"
  fi
  sleep 1.5
  import -window root "$shot" || fail "the screenshot could not be taken"
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

tools/install-deps.sh || fail "the packages Tonewell needs could not be installed (see above)"
if wine_can_run_win32; then
  wine_arch_use win32
  echo "run: starting the 32-bit program (the release build)"
else
  wine_arch_use win64
  echo "run: this machine cannot run 32-bit programs; starting the 64-bit build of the same sources"
fi
run=$WINE_BUILD/run
cmake --no-warn-unused-cli -S . -B "$WINE_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$WINE_TOOLCHAIN" >/dev/null || fail "CMake could not configure $WINE_BUILD"
cmake --build "$WINE_BUILD" --target run_bundle || fail "the build failed (see above)"

# On a first run, list the SoundFonts from Debian's packages, as a user would add them.
if [ ! -f "$run/tnw.ini" ]; then
  printf '[Folders]\r\nLocalSoundFonts_0=Z:\\usr\\share\\sounds\\sf2\r\n' > "$run/tnw.ini"
fi

# No sound server (PulseAudio or PipeWire's socket): record what is played instead.
sound=()
recording=""
if [ ! -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ]; then
  recording=$root/$run/tonewell-sound.wav
  sound=(--sound "$recording")
fi
said_recording() {
  if [ -n "$recording" ]; then
    if [ -s "$recording" ]; then echo "run: what Tonewell played: $recording"; else echo "run: Tonewell played nothing"; fi
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  tools/wine-session.sh "$WINE_BUILD/wine/run-prefix" --arch "$WINEARCH" "${sound[@]}" -- \
    bash -c 'cd "$1" && shift && "$WINELOADER" tonewell.exe "$@"' tonewell "$run" "$@" ||
    fail "Wine could not start Tonewell, or it ended with an error (status $?)"
  said_recording
  exit 0
fi
tools/wine-session.sh "$WINE_BUILD/wine/run-prefix" --arch "$WINEARCH" "${sound[@]}" -- \
  bash "$root/tools/run.sh" --inside-display "$keep" "$run" "$@" || exit 1
said_recording
