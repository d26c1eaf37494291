#!/usr/bin/env bash
# Usage: soft_card_sound.sh, in a Wine session (tools/wine-session.sh), with PROGRAM the sound
# test program of the software card and WORK a folder for its recording. Plays with Wine's ALSA
# driver writing into a WAV file (tools/wine-sound.sh), then, once that process has ended and
# the file is whole, measures the recording. The prefix is left without a driver afterwards.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tools/wine-sound.sh"
[ -x "${WINELOADER:-}" ] || { echo "SKIPPED: no Wine loader in WINELOADER: run inside tools/wine-session.sh"; exit 77; }
[ -n "${WINEPREFIX:-}" ] || { echo "SKIPPED: no WINEPREFIX: run inside tools/wine-session.sh"; exit 77; }
[ -f /usr/share/sounds/sf2/TimGM6mb.sf2 ] || { echo "SKIPPED: no TimGM6mb.sf2 (Debian package timgm6mb-soundfont)"; exit 77; }
problem=$(wine_sound_problem)
[ -z "$problem" ] || { echo "SKIPPED: the file sink can't be set up: $problem"; exit 77; }
trap wine_sound_off EXIT
mkdir -p "$WORK"
wav="$WORK/soft-card.wav"
# A card of its own that starts empty, so that the font goes to the bank the test expects.
rm -f "$WORK/softcard.state"
export TONEWELL_SOFTCARD_STATE="Z:${WORK//\//\\}\\softcard.state"
wine_sound_on "$wav" || { echo "SKIPPED: the file sink could not be set up"; exit 77; }
export TONEWELL_AUDIO_SINK="Z:${wav//\//\\}"
"$WINELOADER" "$PROGRAM" --gtest_color=no --gtest_filter='SoftCardPlays.*' || exit 1
wine_sound_off
# The sink fills in the sizes in the header once the stream has ended: then the file is whole.
for _ in $(seq 1 50); do
  size=$(stat -c %s "$wav" 2>/dev/null || echo 0)
  [ "$size" -gt 44 ] && [ "$(od -An -tu4 -j40 -N4 "$wav" | tr -d ' ')" = $((size - 44)) ] && break
  sleep 0.1
done
echo "recording: $wav ($(stat -c %s "$wav" 2>/dev/null || echo 0) bytes)"
"$WINELOADER" "$PROGRAM" --gtest_color=no --gtest_filter='SoftCardRecording.*'
