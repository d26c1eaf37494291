# shellcheck shell=bash
# Sourced by what runs Windows programs in a Wine session (tools/wine-session.sh): sound they
# play lands in a WAV file. Wine's ALSA driver plays to ALSA's default device, and that device
# becomes a file sink ("file" plugin over "null"), named in a configuration file of the prefix
# that ALSA_CONFIG_PATH adds after the system's: the user's own ~/.asoundrc is never touched.
# ALSA's "null" device takes sound as fast as it comes; the file is written through
# tools/paced-wav-sink.py, which takes it no faster than it plays, so programs are fed as by a
# sound card.
#
#   wine_sound_on WAV   Wine's audio driver set to ALSA in WINEPREFIX, ALSA's default device
#                       writing WAV; exports ALSA_CONFIG_PATH for the programs started after
#   wine_sound_off      no audio driver again (Audio="", the prefix's usual quiet state)
#   wine_sound_problem  prints why the sink can't be set up here, or nothing

WINE_SOUND_ALSA_CONF=/usr/share/alsa/alsa.conf  # Debian package libasound2-data
WINE_SOUND_PYTHON=/usr/bin/python3  # Debian's, whatever PATH holds
WINE_SOUND_PACER="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/paced-wav-sink.py"

wine_sound_problem() {
  local arch_lib
  [ -n "${WINEPREFIX:-}" ] && [ -x "${WINELOADER:-}" ] || { echo "no Wine session (WINEPREFIX, WINELOADER)"; return; }
  [ -f "$WINE_SOUND_ALSA_CONF" ] || { echo "$WINE_SOUND_ALSA_CONF is missing (Debian package libasound2-data)"; return; }
  # Wine's ALSA driver needs the ALSA library of the loader's architecture.
  case "$WINELOADER" in
    *wine64) arch_lib=/usr/lib/x86_64-linux-gnu/libasound.so.2 ;;
    *) arch_lib=/usr/lib/i386-linux-gnu/libasound.so.2 ;;
  esac
  [ -x "$WINE_SOUND_PYTHON" ] || { echo "$WINE_SOUND_PYTHON is missing (Debian package python3)"; return; }
  [ -e "$arch_lib" ] || echo "$arch_lib is missing (Debian package libasound2 of that architecture)"
}

wine_sound_on() {
  local wav conf problem
  problem=$(wine_sound_problem)
  if [ -n "$problem" ]; then
    echo "wine-sound: $problem" >&2
    return 1
  fi
  wav=$(realpath -m "$1")
  mkdir -p "$(dirname "$wav")"
  rm -f "$wav"
  conf="$WINEPREFIX/tonewell-asound.conf"
  # 16-bit samples: ALSA's WAV header calls float samples PCM, which no reader can tell apart.
  cat >"$conf" <<CONF
pcm.!default { type plug; slave { pcm "tonewell_sink"; format S16_LE } }
pcm.tonewell_sink { type file; slave.pcm "null"; file "|exec $WINE_SOUND_PYTHON $WINE_SOUND_PACER '$wav'"; format "wav" }
CONF
  export ALSA_CONFIG_PATH="$WINE_SOUND_ALSA_CONF:$conf"
  "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
}

wine_sound_off() {
  unset ALSA_CONFIG_PATH
  [ -x "${WINELOADER:-}" ] || return 0
  "$WINELOADER" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f >/dev/null 2>&1
}
