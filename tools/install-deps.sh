#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tonewell need.
# Quiet and idempotent: when everything is present it returns at once.
set -euo pipefail

packages=(
  cmake ninja-build g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 wine32:i386 fonts-wine xvfb xauth imagemagick xdotool x11-utils python3
  clang libclang-rt-14-dev googletest zip unzip ccache fluidsynth fluid-soundfont-gm
  timgm6mb-soundfont opl3-soundfont nsis
  # Sound under Wine (tools/wine-sound.sh): Wine's ALSA driver loads the ALSA library of its
  # own architecture; the file sink's "plug", "file" and "null" devices are built into it, and
  # python3 paces the recording. No ALSA plugin package, utility or sound server is needed.
  libasound2 libasound2:i386 libasound2-data
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]} (run as root to install them)" >&2
  exit 1
fi
echo "install-deps: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
