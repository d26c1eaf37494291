#!/usr/bin/env bash
# Opening a SoundFont with Tonewell from the file manager: the file's path arrives in quotes,
# from a folder whose name holds a blank. The first run loads it into the highest free bank of
# the first device, shows it in the tree, and leaves the settings file beside the program.
#
# Bank 127 of device 0 is the preview bank on a first run (no settings: disk files preview
# in bank 127 of device 0), and the bank search never offers it, so the file lands in 126.
set -uo pipefail
# shellcheck source=tools/e2e-lib.sh
source "$E2E_LIB"
e2e_require_gui

sounds="$E2E_WORK/My Sounds"
run="$E2E_WORK/run"
rm -rf "$sounds" "$E2E_WORK"/*.png "$E2E_WORK"/*.txt
mkdir -p "$sounds"
cp /usr/share/sounds/sf2/TimGM6mb.sf2 "$sounds/"
e2e_new_run_folder "$run"
font=$(e2e_winpath "$sounds/TimGM6mb.sf2")

e2e_start "$run" "\"$font\""
started=$?
if [ "$started" -eq 2 ]; then
  # Report what stood in the way, answer it, and check the rest.
  e2e_screenshot "$E2E_WORK/startup_box.png" full
  e2e_expect "no message box during start" "" "$(e2e_message_boxes)"
  e2e_press "$(e2e_message_boxes | head -n 1 | cut -d' ' -f1)" OK
  e2e_wait_main 30
  started=$?
fi
if [ "$started" -ne 0 ]; then
  e2e_screenshot "$E2E_WORK/startup_load.png" full
  echo "FAILED: the main window did not show"
  exit 1
fi
e2e_check "the command line reached the program in quotes, as the file manager passes it" \
  grep -qF "tonewell.exe\" \"$font\"" "$E2E_WORK/launch.log"

e2e_tree >"$E2E_WORK/tree.txt"
e2e_inspect windows >"$E2E_WORK/windows.txt"
e2e_inspect controls 1023 1035 1007 >"$E2E_WORK/controls.txt"
e2e_screenshot "$E2E_WORK/startup_load.png"
cat "$E2E_WORK/windows.txt" "$E2E_WORK/controls.txt"
grep -E 'depth=[123] |selected=1' "$E2E_WORK/tree.txt"

device_line=$(grep -m1 '^tree-item depth=2 ' "$E2E_WORK/tree.txt")
bank_lines=$(grep '^tree-item depth=3 ' "$E2E_WORK/tree.txt")
# The bank's first preset is the line after the bank's.
first_preset=$(grep -A1 '^tree-item depth=3 .* text=126 - ' "$E2E_WORK/tree.txt" | sed -n 2p)

e2e_expect "no message box" "" "$(grep -v 'caption=Tonewell$' "$E2E_WORK/windows.txt" |
  grep 'visible=1' | grep -E 'class=#32770')"
e2e_expect "\"Loaded SoundFonts\" expanded" "1" \
  "$(e2e_field expanded "$(e2e_tree_line 'Loaded SoundFonts' <"$E2E_WORK/tree.txt")")"
e2e_expect "the first device expanded" "1" "$(e2e_field expanded "$device_line")"
e2e_expect "one loaded bank, number 126" "126" "$(sed -nE 's/.* text=([0-9]+) - .*/\1/p' <<<"$bank_lines")"
e2e_expect "the bank expanded" "1" "$(e2e_field expanded "$bank_lines")"
e2e_expect "the bank's first preset is a preset" "4" "$(e2e_field depth "$first_preset")"
e2e_expect "the bank's first preset selected" "1" "$(e2e_field selected "$first_preset")"
e2e_expect "octave shows 0" "0" "$(sed -nE 's/^control id=1035 .* text=//p' "$E2E_WORK/controls.txt")"

e2e_close
e2e_expect "Tonewell ends with exit code 0 on Escape" "0" "$?"

# The simulated card keeps its banks in tonewell.sfcard beside the library: which bank of
# device 0 holds which file (texts are %XX-encoded there).
card="$run/tonewell.sfcard"
device0_banks=$(awk '/^device / { device++ } device == 1 && /^bank / { print $2, $5 }' "$card" 2>/dev/null)
e2e_expect "the card holds the file in bank 126 of device 0, its path without quotes" \
  "126 :${font// /%20}" "$device0_banks"
e2e_expect "no other device got a bank" "" \
  "$(awk '/^device / { device++ } device > 1 && /^bank /' "$card" 2>/dev/null)"

ini="$run/tnw.ini"
e2e_check "tnw.ini written beside the program" test -f "$ini"
device0=$(sed -nE 's/^tree-item depth=2 .* text=//p' "$E2E_WORK/tree.txt" | head -n 1)
e2e_expect_ini "$ini" Preview PreviewEnableOnStartup False
e2e_expect_ini "$ini" Preview MidiInDevice ""
e2e_expect_ini "$ini" Preview LFSoundFontDevice "$device0"
e2e_expect_ini "$ini" Preview LFMidiOutDevice ""
e2e_expect_ini "$ini" Preview LFMidiOutChannel 15
e2e_expect_ini "$ini" Preview LFMidiOutBank 127
e2e_expect_ini "$ini" Preview LFMidiOutInstrument 127
e2e_expect_ini "$ini" General LastOpenDir ""
# One device-map entry per device, in name order, each on channel 15 and enabled.
index=0
while read -r name; do
  e2e_expect_ini "$ini" Preview "DevMapArray_SFDevName_$index" "$name"
  e2e_expect_ini "$ini" Preview "DevMapArray_DevName_$index" ""
  e2e_expect_ini "$ini" Preview "DevMapArray_Channel_$index" 15
  e2e_expect_ini "$ini" Preview "DevMapArray_Enable_$index" True
  index=$((index + 1))
done < <(sed -nE '/^tree-item depth=1 .* text=Sound Files on disk/q; s/^tree-item depth=2 .* text=//p' "$E2E_WORK/tree.txt" |
  LC_ALL=C sort)
e2e_check "every device of the tree has a device-map entry" test "$index" -ge 1
e2e_check "no key beyond the last device-map entry" \
  bash -c "! grep -q '^DevMapArray_SFDevName_$index=' '$ini'"
e2e_check "no [Folders] section without folders" bash -c "! grep -qi '^\[Folders\]' '$ini'"

e2e_finish
