#!/usr/bin/env bash
# Usage: device_tests.sh sink|none, in a Wine session (tools/wine-session.sh), with PROGRAM the
# audio device test program. "sink": Wine's ALSA driver with a file sink (tools/wine-sound.sh)
# for the run; "none": the prefix without an audio driver. The prefix is left without a
# driver afterwards, as the other tests expect it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-sound.sh"
[ -x "${WINELOADER:-}" ] || { echo "SKIPPED: no Wine loader in WINELOADER: run inside tools/wine-session.sh"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "SKIPPED: no WINEPREFIX: run inside tools/wine-session.sh"; exit 77; }
trap wine_sound_off EXIT
case "${1:-}" in
  sink)
    problem=$(wine_sound_problem)
    [ -z "$problem" ] || { echo "SKIPPED: the file sink can't be set up: $problem"; exit 77; }
    wav="$WORK/sink.wav"
    wine_sound_on "$wav" || { echo "SKIPPED: the file sink could not be set up"; exit 77; }
    TONEWELL_AUDIO_SINK="Z:${wav//\//\\}" "$WINELOADER" "$PROGRAM" --gtest_color=no --gtest_filter='AudioSinkTest.*'
    ;;
  none)
    wine_sound_off
    TONEWELL_AUDIO_NO_DEVICE=1 "$WINELOADER" "$PROGRAM" --gtest_color=no --gtest_filter='AudioNoDeviceTest.*'
    ;;
  *) echo "usage: $0 sink|none" >&2; exit 2 ;;
esac
