#!/usr/bin/env bash
# A first session with the keyboard alone: no mouse is moved or clicked. The window starts in
# the tree; "Sound Files on disk" is open on its one item, "Add a folder of SoundFonts...":
# End and Enter on it, and the folder is chosen in the folder picker with keys (the branch's
# own menu, Shift+F10, is there too); the folder is opened with the arrow keys and a SoundFont
# loaded with Enter, then a bank's menu empties it again with Shift+F10; Shift+Tab reaches the
# piano strip, where a few notes are played from the computer keyboard (the first switches
# previewing on; without MIDI devices here it says so three times); Escape ends the program. Each step is read back with the inspector and against the card's
# own record of its banks.
# shellcheck disable=SC2317,SC2119 # functions called only through e2e_check; e2e_read_tree without a name
set -uo pipefail
# shellcheck source=tools/e2e-lib.sh
source "$E2E_LIB"
e2e_require_gui

font=TimGM6mb.sf2
# The bank takes the name the SoundFont gives itself.
bank="126 - TimGM6mb1.sf2"
[ -f "/usr/share/sounds/sf2/$font" ] ||
  e2e_skip "/usr/share/sounds/sf2/$font is missing (tools/install-deps.sh installs it)"

sounds="$E2E_WORK/Sounds"
run="$E2E_WORK/run"
shots="$E2E_WORK/screenshots"
rm -rf "$sounds" "$shots"
mkdir -p "$sounds" "$shots"
cp "/usr/share/sounds/sf2/$font" "$sounds/"
e2e_new_run_folder "$run"
folder=$(e2e_winpath "$sounds")
card="$run/tonewell.sfcard"
picker="Browse for Folder"

# Chooses FOLDER in the folder picker with keys: drive Z: (where the Unix file system is),
# then Right and the typed name of each folder on the way down, and Enter for OK.
pick_folder_with_keys() {
  local tree=14145 depth=2 name line _
  local -a names
  e2e_xwindow "$picker" >/dev/null || return 1
  for _ in $(seq 1 50); do
    e2e_inspect tree $tree "$picker" 2>/dev/null | grep -q -E '^tree-item depth=2 .* text=.*\(Z:\)$' && break
    sleep 0.2
  done
  # The picker opens on OK with nothing selected in its tree: back to the tree, the last
  # entry ("Control Panel") by its first letters, and up to the drive above it.
  e2e_keys shift+Tab
  e2e_type Control
  e2e_keys Up
  line=$(e2e_inspect tree $tree "$picker" | grep -m1 ' selected=1 ')
  if [[ "$line" != *"(Z:)" ]]; then
    echo "e2e: the keys selected '${line#* text=}' in the folder picker, not drive Z:" >&2
    return 1
  fi
  IFS=/ read -ra names <<<"$(realpath -m "$1" | sed 's|^/||')"
  for name in "${names[@]}"; do
    depth=$((depth + 1))
    e2e_keys Right
    e2e_type "$name"
    line=$(e2e_inspect tree $tree "$picker" | grep -m1 ' selected=1 ')
    if [[ "$line" != *" depth=$depth "* || "$line" != *" text=$name" ]]; then
      echo "e2e: the folder picker selected '${line#* text=}' instead of '$name'" >&2
      return 1
    fi
  done
  e2e_keys Return
}

# ---------------------------------------------------------------------------------------------
e2e_step "start: the keyboard is in the tree"
e2e_start "$run" || e2e_abort "the main window did not show by itself"
e2e_keys Home
e2e_read_tree
e2e_expect "Home selects the top of the tree" "Loaded SoundFonts" "$(e2e_selected_item)"

e2e_step "add the folder: End, Enter on the prompt, and the picker with keys"
e2e_keys End
e2e_read_tree
e2e_check "End selects the prompt of the empty disk branch" \
  grep -q '^Add a folder of SoundFonts' <<<"$(e2e_selected_item)"
e2e_keys Up
e2e_read_tree
e2e_expect "Up selects the disk branch" "Sound Files on disk" "$(e2e_selected_item)"
e2e_keys shift+F10
e2e_check "Shift+F10 shows the branch's menu" e2e_menu_shown
e2e_screenshot "$shots/01-disk-menu.png" all
e2e_keys Escape Down Return
pick_folder_with_keys "$sounds" || e2e_abort "the folder could not be chosen with keys"
e2e_check "the picker closes on Enter" e2e_wait_gone "$picker"
e2e_no_message_boxes "adding the folder"
e2e_read_tree
e2e_expect "the disk branch lists the folder" "$folder" "$(e2e_children_of 'Sound Files on disk')"

e2e_step "open the folder with the arrow keys and load the SoundFont with Enter"
# The tree was rebuilt with the disk branch open as it was: End reaches the folder.
e2e_keys Home End Right Right
e2e_read_tree
e2e_expect "the arrow keys reach the file" "$font" "$(e2e_selected_item)"
e2e_keys Return
e2e_no_message_boxes "loading with Enter"
e2e_read_tree
e2e_expect "the card holds it in bank 126 of the first device" 126 "$(e2e_card_banks "$card" 1 | cut -d" " -f1)"
e2e_expect "the new bank is shown" "$bank" "$(e2e_children_of 'Simulated Synth 1')"
e2e_check "Tonewell is still open after Enter" test -n "$(e2e_tonewell_windows)"
e2e_screenshot "$shots/02-loaded.png"

e2e_step "empty the bank from its menu: Up to the bank, Shift+F10, Down, Enter"
e2e_keys Left
e2e_read_tree
e2e_expect "Left goes up to the bank" "$bank" "$(e2e_selected_item)"
e2e_keys shift+F10
e2e_check "Shift+F10 shows the bank's menu" e2e_menu_shown
e2e_keys Down Return
e2e_no_message_boxes "deleting the bank"
e2e_expect "the card's first device holds no bank" "" "$(e2e_card_banks "$card" 1 | cut -d" " -f1)"

e2e_step "play a few notes on the piano strip from the computer keyboard"
# From the tree, back across the find box to the strip.
e2e_keys shift+Tab shift+Tab
e2e_keys z
messages=$(e2e_dismiss_boxes 2)
e2e_check "the first note starts previewing, which says that no MIDI device is here" \
  grep -q "^Error: Couldn't open midi device" <<<"$messages"
e2e_expect "previewing is on" "Stop &Preview" "$(e2e_control Tonewell 1007 | sed -nE 's/.* text=//p')"
e2e_keys c b q 2 w
e2e_no_message_boxes "playing"
xdotool keydown c keydown b keydown q
sleep 0.5
e2e_screenshot "$shots/03-piano-strip.png"
xdotool keyup q keyup b keyup c
sleep 0.3

e2e_step "Escape ends Tonewell"
e2e_close || e2e_abort "Escape did not end Tonewell"
e2e_finish
