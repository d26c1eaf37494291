#!/usr/bin/env bash
# Builds every benchmark and runs it: the portable ones natively (clang, optimised, without
# sanitizers) and again as Windows programs under Wine, the Windows-only ones under Wine on a
# virtual display. Each prints its own table of figures, the medians of its passes. Takes a
# few minutes once built. The Windows programs are the 32-bit release build where this
# machine runs 32-bit programs, else the 64-bit build of the same sources (the first line of
# the output says which); the build folders are build/bench-native and build/bench-win32 or
# build/bench-win64.
#
#     tools/bench.sh [passes of the tree refresh benchmark, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source tools/wine-arch.sh
if wine_can_run_win32; then arch=win32; toolchain=cmake/mingw-i686.cmake; else arch=win64; toolchain=cmake/mingw-x86_64.cmake; fi
wine_probe_line
native=build/bench-native
win=build/bench-$arch
refresh_passes=${1:-3}
work=$(mktemp -d /tmp/tonewell-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

step() { echo; echo "== $*"; }
configure() {
  local folder=$1; shift
  mkdir -p "$folder"
  cmake --no-warn-unused-cli -S . -B "$folder" -G Ninja "$@" >"$folder/configure.log" || { cat "$folder/configure.log"; exit 1; }
}
build() {
  local folder=$1; shift
  cmake --build "$folder" --target "$@" >"$folder/build.log" 2>&1 || { tail -n 40 "$folder/build.log"; exit 1; }
  echo "built: $*"
}
# A folder on the Unix side as a Windows program under Wine names it.
windows_path() { echo "Z:$1" | tr / '\\'; }

step "native build (clang, optimised)"
configure "$native" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTONEWELL_TESTS=OFF
build "$native" bench_sf2_presets bench_sf2_hostile bench_preview_input bench_synth_render bench_preview_load

step "Windows build ($arch: $toolchain)"
configure "$win" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE="$toolchain"
build "$win" bench_sf2_presets bench_sf2_hostile bench_preview_input bench_tree_refresh bench_preset_index \
  bench_strip_keys bench_audio_output bench_soft_latency bench_soft_song bench_preview_load

step "preset listing, native"
"$native/bench/bench_sf2_presets" "$work/sf2-native" 1000 7
step "preset reader on hostile files, native"
"$native/bench/bench_sf2_hostile" "$work/hostile-native" 5
step "preview input path, native"
"$native/bench/bench_preview_input"
step "synthesizer beside FluidSynth, native"
"$native/bench/bench_synth_render"
step "preview bank loads on the software card, native"
"$native/bench/bench_preview_load"

# One Wine session for all the Windows programs. They run in their own folder, where the tree
# benchmark finds the simulated card and writes its settings file for the run.
mkdir -p "$work/sf2-win"
tools/wine-session.sh "$win/wine/prefix" --arch "$arch" --fresh -- bash -c '
  set -e
  echo; echo "== preset listing, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_sf2_presets.exe "$2" 1000 7)
  echo; echo "== preset reader on hostile files, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_sf2_hostile.exe "$2-hostile" 5)
  echo; echo "== preview input path, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_preview_input.exe)
  echo; echo "== piano strip: key press to note-on, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_strip_keys.exe 1000)
  echo; echo "== sound tree, 1,000 files: as shipped and the full build, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_tree_refresh.exe "$3" 100 1 1)
  echo; echo "== sound tree, 10,000 files: as shipped, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_tree_refresh.exe "$3" 100 10 0)
  echo; echo "== preset index of the find box, Windows under Wine"
  (cd "$1/bench" && "$WINELOADER" bench_preset_index.exe "$3")
  echo; echo "== audio output per API, Windows under Wine (ALSA file sink, paced in real time)"
  source "$4/tools/wine-sound.sh"
  if problem=$(wine_sound_problem) && [ -z "$problem" ] && wine_sound_on "$5/audio-bench.wav"; then
    (cd "$1/bench" && "$WINELOADER" bench_audio_output.exe 3)
    echo; echo "== software card: note-on to first sound per API, Windows under Wine (file sink)"
    (cd "$1/bench" && "$WINELOADER" bench_soft_latency.exe 40)
    echo; echo "== software card: a dense song of 60 s in real time, Windows under Wine (file sink)"
    (cd "$1/bench" && TONEWELL_AUDIO_SINK="Z:${5//\//\\}\\audio-bench.wav" "$WINELOADER" bench_soft_song.exe 60)
    echo; echo "== software card: preview bank loads, Windows under Wine (file sink)"
    (cd "$1/bench" && "$WINELOADER" bench_preview_load.exe)
    wine_sound_off
  else
    echo "skipped: the file sink can'"'"'t be set up: $problem"
  fi
' bench "$root/$win" "$(windows_path "$work/sf2-win")" "$refresh_passes" "$root" "$work"
