#!/usr/bin/env bash
# A first session with the keyboard alone: no mouse is moved or clicked. The window starts in
# the tree; "Sound Files on disk" is open on its one item, "Add a folder of SoundFonts...":
# End and Enter on it, and the folder is chosen in the folder picker with keys (the branch's
# own menu, Shift+F10, is there too); the folder is opened with the arrow keys and a SoundFont
# loaded with Enter, then a bank's menu empties it again with Shift+F10; Shift+Tab reaches the
# piano strip, where a few notes are played from the computer keyboard (the first switches
# previewing on; without MIDI devices here it says so three times); Escape ends the program. Each step is read back with the inspector and against the card's
# own record of its banks.
# shellcheck disable=SC2317 # functions called only through e2e_check
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
listing="$E2E_WORK/tree.txt"

step() { echo; echo "== $*"; }
abort() {
  echo "FAILED: $*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
  e2e_screenshot "$shots/failure.png" full
  e2e_finish
}
read_tree() { e2e_tree >"$listing"; }
field() { sed -nE "s/.* $1=([^ ]*) .*/\1/p" <<<"$2"; }
selected_item() { sed -nE 's/^tree-item .* selected=1 .* text=//p' "$listing"; }
children_of() {
  wanted=$1 awk '
    { text = substr($0, index($0, " text=") + 6); depth = substr($2, 7) + 0 }
    inside && depth <= parent { exit }
    inside && depth == parent + 1 { print text }
    !inside && text == ENVIRON["wanted"] { inside = 1; parent = depth }' "$listing"
}
menu_shown() { e2e_inspect windows | grep -q '^toplevel .* class=#32768 visible=1 '; }
wait_gone() {
  local _
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
no_message_boxes() { e2e_expect "$1: no message box" "" "$(e2e_dismiss_boxes 0.5)"; }
card_banks() {
  awk -v n="$1" '/^device / { device++ } device == n && /^bank / { print $2 }' "$card" 2>/dev/null
}

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
step "start: the keyboard is in the tree"
e2e_start "$run" || abort "the main window did not show by itself"
e2e_keys Home
read_tree
e2e_expect "Home selects the top of the tree" "Loaded SoundFonts" "$(selected_item)"

step "add the folder: End, Enter on the prompt, and the picker with keys"
e2e_keys End
read_tree
e2e_check "End selects the prompt of the empty disk branch" \
  grep -q '^Add a folder of SoundFonts' <<<"$(selected_item)"
e2e_keys Up
read_tree
e2e_expect "Up selects the disk branch" "Sound Files on disk" "$(selected_item)"
e2e_keys shift+F10
e2e_check "Shift+F10 shows the branch's menu" menu_shown
e2e_screenshot "$shots/01-disk-menu.png" all
e2e_keys Escape Down Return
pick_folder_with_keys "$sounds" || abort "the folder could not be chosen with keys"
e2e_check "the picker closes on Enter" wait_gone "$picker"
no_message_boxes "adding the folder"
read_tree
e2e_expect "the disk branch lists the folder" "$folder" "$(children_of 'Sound Files on disk')"

step "open the folder with the arrow keys and load the SoundFont with Enter"
# The tree was rebuilt with the disk branch open as it was: End reaches the folder.
e2e_keys Home End Right Right
read_tree
e2e_expect "the arrow keys reach the file" "$font" "$(selected_item)"
e2e_keys Return
no_message_boxes "loading with Enter"
read_tree
e2e_expect "the card holds it in bank 126 of the first device" 126 "$(card_banks 1)"
e2e_expect "the new bank is shown" "$bank" "$(children_of 'Simulated Synth 1')"
e2e_check "Tonewell is still open after Enter" test -n "$(e2e_tonewell_windows)"
e2e_screenshot "$shots/02-loaded.png"

step "empty the bank from its menu: Up to the bank, Shift+F10, Down, Enter"
e2e_keys Left
read_tree
e2e_expect "Left goes up to the bank" "$bank" "$(selected_item)"
e2e_keys shift+F10
e2e_check "Shift+F10 shows the bank's menu" menu_shown
e2e_keys Down Return
no_message_boxes "deleting the bank"
e2e_expect "the card's first device holds no bank" "" "$(card_banks 1)"

step "play a few notes on the piano strip from the computer keyboard"
# From the tree, back across the find box to the strip.
e2e_keys shift+Tab shift+Tab
e2e_keys z
messages=$(e2e_dismiss_boxes 2)
e2e_check "the first note starts previewing, which says that no MIDI device is here" \
  grep -q "^Error: Couldn't open midi device" <<<"$messages"
e2e_expect "previewing is on" "Stop &Preview" "$(e2e_control Tonewell 1007 | sed -nE 's/.* text=//p')"
e2e_keys c b q 2 w
no_message_boxes "playing"
xdotool keydown c keydown b keydown q
sleep 0.5
e2e_screenshot "$shots/03-piano-strip.png"
xdotool keyup q keyup b keyup c
sleep 0.3

step "Escape ends Tonewell"
e2e_close || abort "Escape did not end Tonewell"
e2e_finish
