#!/usr/bin/env bash
# The installer of this build, run silently in the Wine session as a user would: the files,
# the Start menu entry and the registry entries in place; a SoundFont opened through the .sf2
# association is loaded; the silent uninstaller leaves nothing of ours behind but the
# settings. The simulated card is put beside the installed program for the run only.
#
# Set besides the E2E_ variables: BUILD_DIR, INSTALLER (the file the installer target makes).
set -uo pipefail
# shellcheck source=tools/e2e-lib.sh
source "$E2E_LIB"
e2e_require_gui
[ -n "${WINEPREFIX:-}" ] || e2e_skip "no WINEPREFIX: run the tests inside tools/wine-session.sh"

rm -f "$INSTALLER"
cmake --build "$BUILD_DIR" --target installer >"$E2E_WORK/build.log" 2>&1 ||
  { cat "$E2E_WORK/build.log"; echo "FAILED: the installer target"; exit 1; }
e2e_check "the installer was built" test -f "$INSTALLER"

reg_value() { "$WINELOADER" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -nE "s/^ +$3 +REG_[A-Z_]+ +//p"; }
reg_default() { "$WINELOADER" reg query "$1" /ve 2>/dev/null | tr -d '\r' | sed -nE 's/^ +\(Default\) +REG_[A-Z_]+ +//p'; }
reg_exists() { "$WINELOADER" reg query "$1" >/dev/null 2>&1; }

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tonewell'
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/Tonewell"
win_folder='C:\Program Files\Tonewell'
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tonewell.lnk"
rm -rf "$folder"

"$WINELOADER" "$(e2e_winpath "$INSTALLER")" /S
e2e_expect "the silent install ends with exit code 0" 0 "$?"
e2e_expect "the installed files" "LICENSE README.md TWSYNTH.DLL tonewell.exe uninstall.exe" \
  "$(cd "$folder" 2>/dev/null && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')"
for file in tonewell.exe TWSYNTH.DLL; do
  e2e_check "the installed $file is the one packed" cmp -s "$folder/$file" "$BUILD_DIR/package/stage/$file"
done
e2e_check "a Start menu entry" test -f "$shortcut"
e2e_expect "registered for uninstalling" "\"$win_folder\\uninstall.exe\"" \
  "$(reg_value "$uninstall_key" UninstallString UninstallString)"
e2e_expect "its name in the list of programs" "Tonewell" "$(reg_value "$uninstall_key" DisplayName DisplayName)"
e2e_expect "the open command for SoundFonts" "\"$win_folder\\tonewell.exe\" \"%1\"" \
  "$(reg_default 'HKCR\Tonewell.SoundFont\shell\open\command')"
e2e_expect ".sf2 opens with Tonewell" "Tonewell.SoundFont" "$(reg_default 'HKCR\.sf2')"
e2e_check "Tonewell among the programs that open .sf2" reg_exists 'HKCR\.sf2\OpenWithProgids'

# A double-click on a SoundFont in a folder of the user's: the shell starts the program by
# the association, from that folder.
sounds="$E2E_WORK/Downloaded Sounds"
rm -rf "$sounds"
mkdir -p "$sounds"
cp /usr/share/sounds/sf2/TimGM6mb.sf2 "$sounds/"
font=$(e2e_winpath "$sounds/TimGM6mb.sf2")
cp "$E2E_ENGINE" "$folder/SFMAN32.DLL"
(cd "$sounds" && exec "$WINELOADER" start /wait "$font") &
E2E_LAUNCHER=$!
e2e_wait_main 30 check-boxes
started=$?
if [ "$started" -ne 0 ]; then
  e2e_screenshot "$E2E_WORK/association.png" full
  echo "FAILED: the main window did not show (status $started)"
  exit 1
fi
e2e_tree >"$E2E_WORK/tree.txt"
# The installed software card holds the preview bank, so the card's bank 127 is free for it.
e2e_check "the SoundFont shows loaded in bank 127" grep -qE '^tree-item depth=3 .* text=127 - ' "$E2E_WORK/tree.txt"
e2e_check "the installed software card's devices are listed" grep -qaE '^tree-item depth=2 .* text=Software Synth 1$' "$E2E_WORK/tree.txt"
e2e_close
e2e_expect "Tonewell ends with exit code 0" 0 "$?"
e2e_expect "the card holds the opened file in bank 127 of device 0" "127 :${font// /%20}" \
  "$(awk '/^device / { device++ } device == 1 && /^bank / { print $2, $5 }' "$folder/tonewell.sfcard" 2>/dev/null)"
settings=$(find "$folder" "$drive_c/users" -iname tnw.ini 2>/dev/null | head -n 1)
e2e_check "the settings were written (${settings:-nowhere})" test -n "$settings"

# The test's own files go; what is left after uninstalling is the uninstaller's doing.
rm -f "$folder/SFMAN32.DLL" "$folder/tonewell.sfcard"
"$WINELOADER" "$win_folder\\uninstall.exe" /S
# The uninstaller runs from a copy of itself in the temporary folder and returns at once.
for _ in $(seq 1 100); do
  if [ ! -e "$folder/uninstall.exe" ] && ! reg_exists "$uninstall_key"; then break; fi
  sleep 0.3
done
sleep 1
left=$(cd "$folder" 2>/dev/null && LC_ALL=C ls | tr '\n' ' ' | sed 's/ $//')
case "$settings" in
  "$folder"/*) e2e_expect "only the settings are left in the program's folder" "tnw.ini" "$left" ;;
  *) e2e_check "the program's folder is gone" test ! -e "$folder" ;;
esac
e2e_check "the settings are left" test -f "$settings"
e2e_check "the SoundFont is left" test -f "$sounds/TimGM6mb.sf2"
e2e_check "no Start menu entry" test ! -e "$shortcut"
e2e_check "no uninstall entry" bash -c "! $(printf '%q' "$WINELOADER") reg query '$uninstall_key' >/dev/null 2>&1"
e2e_check "no SoundFont type of ours" bash -c "! $(printf '%q' "$WINELOADER") reg query 'HKCR\\Tonewell.SoundFont' >/dev/null 2>&1"
e2e_check "no program entry of ours" bash -c "! $(printf '%q' "$WINELOADER") reg query 'HKCR\\Applications\\tonewell.exe' >/dev/null 2>&1"
e2e_check "no .sf2 entry of ours" bash -c "! $(printf '%q' "$WINELOADER") reg query 'HKCR\\.sf2' >/dev/null 2>&1"

e2e_finish
