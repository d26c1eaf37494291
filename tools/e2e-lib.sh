# shellcheck shell=bash
# End-to-end test harness for Tonewell under Wine, sourced by the test scripts in tests/e2e/.
# Runs inside a Wine session (tools/wine-session.sh): starts the real tonewell.exe from a fresh
# run folder, drives it with xdotool, reads it with the inspector (tests/e2e/WindowReaderMain.cpp),
# takes screenshots and closes it.
#
# Set before sourcing:
#   E2E_PROGRAM    tonewell.exe as built
#   E2E_ENGINE     the SFMAN32.DLL to run it on (the simulated card)
#   E2E_INSPECTOR  inspector.exe
#   E2E_WORK       this test's own folder for run folders, logs and screenshots
# and, for the steps that listen to what is played (e2e_sound_on):
#   E2E_SOFT_CARD  the software card's TWSYNTH.DLL
#   E2E_LISTENER   recorded_note.exe (tests/e2e/RecordedNoteMain.cpp)
#
# Every check records its name; e2e_finish prints the summary and gives the exit status.
# Only one Tonewell may run at a time on the display: e2e_start refuses when one is open.

E2E_SKIP=77
E2E_FAILURES=0
E2E_LAUNCHER=""  # Unix process of the launcher, which lives exactly as long as Tonewell
E2E_PROCESS=""   # Windows process id of Tonewell
E2E_WINDOW=""    # X window of Tonewell's main window

e2e_log() { echo "e2e: $*"; }

e2e_skip() {
  echo "SKIPPED: $*"
  exit "$E2E_SKIP"
}

# Skips the test, with the reason, when it can't drive a window here.
e2e_require_gui() {
  local tool
  [ -x "${WINELOADER:-}" ] || e2e_skip "no Wine loader in WINELOADER: run the tests inside tools/wine-session.sh"
  for tool in xdotool import; do
    command -v "$tool" >/dev/null 2>&1 || e2e_skip "$tool is not installed (tools/install-deps.sh installs it)"
  done
  [ -n "${DISPLAY:-}" ] || e2e_skip "no display: run the tests inside tools/wine-session.sh"
  xdotool getmouselocation >/dev/null 2>&1 || e2e_skip "the display $DISPLAY does not answer"
  local name
  for name in E2E_PROGRAM E2E_ENGINE E2E_INSPECTOR E2E_WORK; do
    [ -n "${!name:-}" ] || { echo "e2e: $name is not set" >&2; exit 2; }
  done
  mkdir -p "$E2E_WORK"
  trap e2e_cleanup EXIT
}

# The Wine name of a Unix path: Z:\ followed by the absolute path with backslashes.
e2e_winpath() {
  local path
  path=$(realpath -m "$1")
  printf 'Z:%s' "${path//\//\\}"
}

# A clean run folder: the program and the card's library and nothing else, so the settings
# file and the card's state file (tonewell.sfcard beside the library) start absent.
e2e_new_run_folder() {
  rm -rf "$1"
  mkdir -p "$1"
  cp "$E2E_PROGRAM" "$1/tonewell.exe"
  cp "$E2E_ENGINE" "$1/SFMAN32.DLL"
}

e2e_inspect() {
  "$WINELOADER" "$E2E_INSPECTOR" --pid "$E2E_PROCESS" "$@"
}

e2e_tonewell_windows() {
  xdotool search --onlyvisible --name '^Tonewell$' 2>/dev/null
}

# e2e_start RUN_FOLDER [COMMAND_LINE_TAIL]: starts RUN_FOLDER/tonewell.exe with exactly that
# command-line text after the program's name, and waits for its main window. Status 0 when
# the main window shows; 2 when a dialog or message box shows first (e2e_message_boxes reads
# it; answer it, then e2e_wait_main); 1 when nothing shows or the program ends.
e2e_start() {
  local folder=$1 tail=${2:-} log
  if [ -n "$(e2e_tonewell_windows)" ]; then
    echo "e2e: another Tonewell window is open on this display" >&2
    return 1
  fi
  log="$E2E_WORK/launch.log"
  : >"$log"
  "$WINELOADER" "$E2E_INSPECTOR" launch "$(e2e_winpath "$folder/tonewell.exe")" "$tail" 2>"$log" &
  E2E_LAUNCHER=$!
  E2E_PROCESS=""
  E2E_WINDOW=""
  local _
  for _ in $(seq 1 100); do
    E2E_PROCESS=$(sed -nE 's/^launch: process ([0-9]+),.*/\1/p' "$log")
    [ -n "$E2E_PROCESS" ] && break
    kill -0 "$E2E_LAUNCHER" 2>/dev/null || break
    sleep 0.1
  done
  cat "$log"
  if [ -z "$E2E_PROCESS" ]; then
    echo "e2e: Tonewell could not be started" >&2
    return 1
  fi
  e2e_wait_main 30 check-boxes
}

# e2e_wait_main [SECONDS]: waits for the main window to show; sets E2E_WINDOW.
e2e_wait_main() {
  local seconds=${1:-30} boxes=${2:-} round
  E2E_WINDOW=""
  for round in $(seq 1 $((seconds * 5))); do
    E2E_WINDOW=$(e2e_tonewell_windows | head -n 1)
    if [ -n "$E2E_WINDOW" ]; then
      # The window shows when its initialisation is over; give it its first paint.
      sleep 0.5
      return 0
    fi
    kill -0 "$E2E_LAUNCHER" 2>/dev/null || break
    if [ -n "$boxes" ] && [ $((round % 5)) -eq 0 ] && [ -n "$(e2e_message_boxes)" ]; then
      echo "e2e: Tonewell shows a window before its main window:"
      e2e_message_boxes
      return 2
    fi
    sleep 0.2
  done
  echo "e2e: the Tonewell window did not appear within $seconds s" >&2
  return 1
}

# One line per visible dialog or message box of the program other than its main window:
# "HANDLE CAPTION: TEXT", TEXT being a message box's text (control 65535).
e2e_message_boxes() {
  local handle caption text
  e2e_inspect windows 2>/dev/null | grep -E '^toplevel .* class=#32770 visible=1 ' |
    grep -v ' caption=Tonewell$' |
    while read -r _ handle _ _ _ _ _ caption; do
      handle=${handle#handle=}
      caption=${caption#caption=}
      text=$(e2e_inspect children "$handle" | sed -nE 's/^child id=65535 .* text=//p')
      echo "$handle $caption: $text"
    done
}

# Escape typed on the keyboard while the main window is the active one (no dialog open), then
# the program must end on its own. Prints and returns its exit code.
e2e_close() {
  [ -n "$E2E_LAUNCHER" ] || return 1
  # Typed, not sent to the window: after an Escape sent to the window (XSendEvent), a Tonewell
  # started within a second or two ends at once without a window, about every second time.
  xdotool key Escape 2>/dev/null
  e2e_wait_for_end 20
}

# Waits up to SECONDS for the program to end; ends it by force (and fails) when it does not.
e2e_wait_for_end() {
  local seconds=$1 _ code
  for _ in $(seq 1 $((seconds * 5))); do
    kill -0 "$E2E_LAUNCHER" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$E2E_LAUNCHER" 2>/dev/null; then
    echo "e2e: Tonewell did not end within $seconds s; ending it" >&2
    e2e_inspect terminate
    wait "$E2E_LAUNCHER" 2>/dev/null
    E2E_LAUNCHER=""
    return 1
  fi
  wait "$E2E_LAUNCHER"
  code=$?
  E2E_LAUNCHER=""
  echo "e2e: Tonewell ended with exit code $code"
  return "$code"
}

# A failing test must not leave its program open for the next one, nor the session recording.
e2e_cleanup() {
  if [ -n "$E2E_LAUNCHER" ] && kill -0 "$E2E_LAUNCHER" 2>/dev/null; then
    e2e_inspect terminate >/dev/null 2>&1
    wait "$E2E_LAUNCHER" 2>/dev/null
  fi
  if [ -n "${E2E_SOUND_ON:-}" ]; then e2e_sound_off; fi
}

e2e_tree() { e2e_inspect tree; }

# The first line of a tree listing (stdin) whose item text matches the extended regex.
e2e_tree_line() {
  grep -E "^tree-item .* text=($1)\$" | head -n 1
}

# e2e_click_item REGEX [BUTTON [REPEAT]]: clicks the middle of the first tree item whose text
# matches; BUTTON 1 left (default), 3 right; REPEAT 2 for a double click.
e2e_click_item() {
  local line at
  line=$(e2e_tree | e2e_tree_line "$1")
  at=$(sed -nE 's/.* at=([0-9]+),([0-9]+) .*/\1 \2/p' <<<"$line")
  if [ -z "$at" ]; then
    echo "e2e: no tree item shown whose text matches '$1'" >&2
    return 1
  fi
  # shellcheck disable=SC2086
  xdotool mousemove --window "$E2E_WINDOW" $at click --repeat "${3:-1}" --delay 80 "${2:-1}"
  sleep 0.3
}

# Keys to the main window (xdotool key names: Escape, Delete, Return, Down, ...).
e2e_key() { xdotool key --window "$E2E_WINDOW" "$@"; sleep 0.3; }

e2e_wait_window() { e2e_inspect wait-window "$@"; }
e2e_press() { e2e_inspect click "$@"; sleep 0.3; }

# Keys and text as typed on the keyboard: they go to the window that has the keyboard focus
# (a dialog, a menu, the control last clicked), not to a window named here.
e2e_keys() { xdotool key --delay 60 "$@"; sleep 0.3; }
e2e_type() { xdotool type --delay 40 "$1"; sleep 0.3; }

# e2e_xwindow CAPTION [SECONDS]: the X window of the visible window captioned exactly CAPTION
# (plain text, no regular-expression characters), waiting up to SECONDS (10) for it.
e2e_xwindow() {
  local seconds=${2:-10} window _
  for _ in $(seq 1 $((seconds * 5))); do
    window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    if [ -n "$window" ]; then
      echo "$window"
      return 0
    fi
    sleep 0.2
  done
  echo "e2e: no window \"$1\" shown within $seconds s" >&2
  return 1
}

# e2e_control CAPTION CONTROL: the inspector's line for the first control of the program's
# window CAPTION whose id is CONTROL, or whose text is CONTROL ('&' ignored).
e2e_control() {
  e2e_inspect children "$1" | want=$2 awk '
    { text = substr($0, index($0, " text=") + 6); gsub(/&/, "", text) }
    $2 == "id=" ENVIRON["want"] || text == ENVIRON["want"] { print; exit }'
}

# e2e_click_control CAPTION CONTROL [BUTTON [REPEAT]]: the mouse on the middle of a control
# (as e2e_control finds it) of the program's window CAPTION, and a click.
e2e_click_control() {
  local line at window
  line=$(e2e_control "$1" "$2")
  at=$(sed -nE 's/.* at=(-?[0-9]+),(-?[0-9]+) .*/\1 \2/p' <<<"$line")
  if [ -z "$at" ]; then
    echo "e2e: no control '$2' in a window \"$1\"" >&2
    return 1
  fi
  window=$(e2e_xwindow "$1" 5) || return 1
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $at click --repeat "${4:-1}" --delay 80 "${3:-1}"
  sleep 0.3
}

# e2e_dismiss_boxes [SECONDS]: answers the program's message boxes (the dialogs with a message
# text) as a user does, one after the other, with a click on OK; prints "CAPTION: TEXT" of each
# in order, and returns once no box has shown for SECONDS (2). Status 1 when a box does not go.
e2e_dismiss_boxes() {
  local quiet_ms since box handle shown _
  quiet_ms=$(awk -v seconds="${1:-2}" 'BEGIN { print int(seconds * 1000) }')
  since=$(date +%s%3N)
  while [ $(($(date +%s%3N) - since)) -lt "$quiet_ms" ]; do
    box=$(e2e_message_boxes | grep -v ': $' | head -n 1)
    if [ -z "$box" ]; then
      sleep 0.2
      continue
    fi
    handle=${box%% *}
    shown=${box#* }
    echo "$shown"
    e2e_click_control "${shown%%: *}" OK || return 1
    for _ in $(seq 1 25); do
      e2e_message_boxes | grep -q "^$handle " || break
      sleep 0.2
    done
    if e2e_message_boxes | grep -q "^$handle "; then
      echo "e2e: the box \"$shown\" stays after OK" >&2
      return 1
    fi
    since=$(date +%s%3N)
  done
}

# e2e_scroll_to REGEX: turns the mouse wheel over the tree until the first item whose text
# matches, among those not hidden in a collapsed branch, is shown; sets E2E_TREE_LINE to that
# item's line of the tree listing. Status 1 when there is none.
e2e_scroll_to() {
  local tree_at="" wanted first last button lines _
  for _ in $(seq 1 30); do
    {
      read -r wanted first last
      IFS= read -r E2E_TREE_LINE
    } < <(e2e_inspect tree --open | pattern="^($1)\$" awk '
      {
        text = substr($0, index($0, " text=") + 6)
        if (index($0, " at=-") == 0) { if (!first) first = NR; last = NR }
        if (!wanted && text ~ ENVIRON["pattern"]) { wanted = NR; line = $0 }
      }
      END { print wanted + 0, first + 0, last + 0; print line }')
    if [ "$wanted" -eq 0 ]; then
      echo "e2e: no tree item in an open branch matches '$1'" >&2
      return 1
    fi
    [ "$wanted" -ge "$first" ] && [ "$wanted" -le "$last" ] && return 0
    if [ "$wanted" -lt "$first" ]; then
      button=4 lines=$((first - wanted))
    else
      button=5 lines=$((wanted - last))
    fi
    [ -n "$tree_at" ] ||
      tree_at=$(e2e_inspect controls 1000 | sed -nE 's/.* at=(-?[0-9]+),(-?[0-9]+) .*/\1 \2/p')
    # Three lines a notch; one more, so the item does not end on the edge.
    # shellcheck disable=SC2086
    xdotool mousemove --window "$E2E_WINDOW" $tree_at click --repeat $((lines / 3 + 1)) \
      --delay 40 "$button"
    sleep 0.3
  done
  echo "e2e: the tree item '$1' could not be scrolled into view" >&2
  return 1
}

# e2e_click_tree REGEX [BUTTON [REPEAT]]: as e2e_click_item, after scrolling the item into view
# when it is not shown.
e2e_click_tree() {
  local at
  e2e_scroll_to "$1" || return 1
  at=$(sed -nE 's/.* at=([0-9]+),([0-9]+) .*/\1 \2/p' <<<"$E2E_TREE_LINE")
  # shellcheck disable=SC2086
  xdotool mousemove --window "$E2E_WINDOW" $at click --repeat "${3:-1}" --delay 80 "${2:-1}"
  sleep 0.3
}

# e2e_drop_onto REGEX PATH...: drops the files and folders onto the first tree item whose text
# matches, after scrolling it into view, the way a file manager does: through XDND
# (tools/xdnd-drop.py), which Wine's X11 driver turns into WM_DROPFILES. The drop goes to the
# main window's own X window: Wine's virtual desktop window advertises XDND too, but a drop
# there is taken by the desktop's process, which posts WM_DROPFILES on with drop data of its
# own: under Wine 8 Tonewell then finds no file in it and its heap is damaged.
e2e_drop_onto() {
  local at
  e2e_scroll_to "$1" || return 1
  shift
  at=$(sed -nE 's/.* at=([0-9]+),([0-9]+) .*/\1 \2/p' <<<"$E2E_TREE_LINE")
  # shellcheck disable=SC2086
  "$(dirname "${BASH_SOURCE[0]}")/xdnd-drop.py" --window "$E2E_WINDOW" $at "$@" || return 1
  sleep 0.3
}

# e2e_pick_folder FOLDER: chooses the Unix folder FOLDER in the shell's folder picker ("Browse
# for Folder", which opens on the drives) the way a user does: a click on drive Z:, then for
# each folder of the path the Right key, which opens the selected folder, and the folder's name
# typed, which selects the first item below that begins so. The picker's tree is read after
# every step, and a step that selects anything else stops the walk (status 1, picker left
# open). At the end a click on OK.
e2e_pick_folder() {
  local picker="Browse for Folder" tree=14145 depth=2 name line at window _
  local -a names
  window=$(e2e_xwindow "$picker") || return 1
  # The picker fills its tree before it takes any input.
  for _ in $(seq 1 50); do
    line=$(e2e_inspect tree $tree "$picker" 2>/dev/null |
      grep -m1 -E '^tree-item depth=2 .* text=.*\(Z:\)$')
    [ -n "$line" ] && break
    sleep 0.2
  done
  at=$(sed -nE 's/.* at=([0-9]+),([0-9]+) .*/\1 \2/p' <<<"$line")
  if [ -z "$at" ]; then
    echo "e2e: the folder picker shows no drive Z:" >&2
    return 1
  fi
  # shellcheck disable=SC2086
  xdotool mousemove --window "$window" $at click 1
  sleep 0.3
  IFS=/ read -ra names <<<"$(realpath -m "$1" | sed 's|^/||')"
  for name in "${names[@]}"; do
    depth=$((depth + 1))
    # The pause after the last name and the Right key take longer than the half second within
    # which a letter typed would extend the last search instead of starting this one.
    e2e_keys Right
    e2e_type "$name"
    line=$(e2e_inspect tree $tree "$picker" | grep -m1 ' selected=1 ')
    echo "e2e: folder picker: ${line#* text=}"
    if [[ "$line" != *" depth=$depth "* || "$line" != *" text=$name" ]]; then
      echo "e2e: the folder picker selected '${line#* text=}' instead of '$name'" >&2
      return 1
    fi
  done
  e2e_click_control "$picker" OK
}

# e2e_screenshot FILE [full|all|CAPTION]: the main window as a PNG; or the whole screen; or the
# smallest rectangle around all the program's visible windows (menus and dialogs with the main
# window); or the program's visible window captioned CAPTION.
e2e_screenshot() {
  # shellcheck disable=SC2034 # set by the eval below
  local file=$1 X Y WIDTH HEIGHT SCREEN WINDOW
  if [ "${2:-}" = full ]; then
    import -window root "$file"
    return
  fi
  if [ -n "${2:-}" ]; then
    # Wine's desktop fills the display from its top left corner: screen and display agree.
    import -window root -crop "$(e2e_inspect windows | wanted=$2 awk '
      / visible=1 / && (ENVIRON["wanted"] == "all" ||
                        substr($0, index($0, " caption=") + 9) == ENVIRON["wanted"]) {
        split(substr($0, index($0, " outer=") + 7), r, /[, ]/)
        first = !seen++
        if (first || r[1] < left) left = r[1]
        if (first || r[2] < top) top = r[2]
        if (first || r[3] > right) right = r[3]
        if (first || r[4] > bottom) bottom = r[4]
      }
      END {
        if (left < 0) left = 0
        if (top < 0) top = 0
        printf "%dx%d+%d+%d", right - left, bottom - top, left, top
      }')" +repage "$file"
    return
  fi
  eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$file"
}

# The value of KEY in [SECTION] of an INI file, or nothing; status 1 when the key is absent.
e2e_ini_value() {
  awk -v section="$2" -v key="$3" '
    { sub(/\r$/, "") }
    /^\[.*\]$/ { inside = (tolower($0) == "[" tolower(section) "]"); next }
    inside && index($0, "=") {
      name = substr($0, 1, index($0, "=") - 1)
      if (tolower(name) == tolower(key)) { print substr($0, index($0, "=") + 1); found = 1; exit }
    }
    END { exit !found }' "$1"
}

# e2e_check NAME COMMAND...: one named check; a failure is counted and the test goes on.
e2e_check() {
  local name=$1
  shift
  if "$@"; then
    echo "ok: $name"
  else
    echo "FAILED: $name"
    E2E_FAILURES=$((E2E_FAILURES + 1))
  fi
}

# e2e_expect NAME EXPECTED ACTUAL
e2e_expect() {
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
  else
    echo "FAILED: $1: expected '$2', found '$3'"
    E2E_FAILURES=$((E2E_FAILURES + 1))
  fi
}

e2e_finish() {
  if [ "$E2E_FAILURES" -gt 0 ]; then
    echo "e2e: $E2E_FAILURES check(s) failed; artefacts in $E2E_WORK"
    exit 1
  fi
  echo "e2e: all checks passed; artefacts in $E2E_WORK"
  exit 0
}

# ---------------------------------------------------------------------------------------------
# Steps, tree listings, the card's record and the settings file, as the journeys read them.

E2E_STEP=0
E2E_STARTED_AT=$(date +%s)
E2E_LISTING=""  # the tree listing read last by e2e_read_tree

# e2e_step TEXT: the next step's number and text, and the seconds since the test began.
e2e_step() {
  E2E_STEP=$((E2E_STEP + 1))
  echo
  echo "== $E2E_STEP. $* ($(($(date +%s) - E2E_STARTED_AT)) s)"
}

# e2e_abort TEXT: a step failed so that the rest can't follow: counted, the screen kept in
# screenshots/failure.png, and the test ends with its summary.
e2e_abort() {
  echo "FAILED: $*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
  mkdir -p "$E2E_WORK/screenshots"
  e2e_screenshot "$E2E_WORK/screenshots/failure.png" full
  e2e_finish
}

# e2e_shot NAME [full|all|CAPTION]: a screenshot kept as screenshots/NN-NAME.png, NN the step.
e2e_shot() {
  sleep 0.2 # the last paint
  mkdir -p "$E2E_WORK/screenshots"
  e2e_screenshot "$E2E_WORK/screenshots/$(printf %02d "$E2E_STEP")-$1.png" "${2:-}"
}

# e2e_read_tree [NAME]: the tree as the window shows it now, into E2E_LISTING, which the
# helpers below read: trees/NN-NAME.txt (NN the step) when named, else tree.txt.
e2e_read_tree() {
  if [ -n "${1:-}" ]; then
    mkdir -p "$E2E_WORK/trees"
    E2E_LISTING="$E2E_WORK/trees/$(printf %02d "$E2E_STEP")-$1.txt"
  else
    E2E_LISTING="$E2E_WORK/tree.txt"
  fi
  e2e_tree >"$E2E_LISTING"
}

# e2e_field NAME LINE: the value of NAME=VALUE in an inspector's line.
e2e_field() { sed -nE "s/.* $1=([^ ]*) .*/\1/p" <<<"$2"; }

# The first line of the last tree read whose item text is TEXT, exactly.
e2e_listed_item() {
  # Through the environment: awk -v would read the backslashes of a path as escapes.
  wanted=$1 awk 'substr($0, index($0, " text=") + 6) == ENVIRON["wanted"] { print; exit }' \
    "$E2E_LISTING"
}

e2e_selected_item() { sed -nE 's/^tree-item .* selected=1 .* text=//p' "$E2E_LISTING"; }

# The texts of the children of the first item of the last tree read whose text is TEXT.
e2e_children_of() {
  wanted=$1 awk '
    { text = substr($0, index($0, " text=") + 6); depth = substr($2, 7) + 0 }
    inside && depth <= parent { exit }
    inside && depth == parent + 1 { print text }
    !inside && text == ENVIRON["wanted"] { inside = 1; parent = depth }' "$E2E_LISTING"
}

# Whether one of the program's menus is shown.
e2e_menu_shown() { e2e_inspect windows | grep -q '^toplevel .* class=#32768 visible=1 '; }

# e2e_wait_gone CAPTION: waits up to 10 s for the window CAPTION to go; status 1 if it stays.
e2e_wait_gone() {
  local _
  for _ in $(seq 1 50); do
    xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  echo "e2e: the window \"$1\" is still shown" >&2
  return 1
}

# e2e_no_message_boxes WHAT: checks that WHAT brought no message box. Call it once the window
# has answered a question about the action's effect, and so is done with the action or shows
# its message.
e2e_no_message_boxes() { e2e_expect "$1: no message box" "" "$(e2e_dismiss_boxes 0.5)"; }

# e2e_card_banks CARD N: the banks of device N (1-based) as "NUMBER NAME", from the file in
# which the simulated card keeps its banks between runs (texts %XX-encoded there).
e2e_card_banks() {
  local number name
  awk -v n="$2" '/^device / { device++ } device == n && /^bank / { print $2, substr($4, 2) }' \
    "$1" 2>/dev/null |
    while read -r number name; do
      printf '%s %b\n' "$number" "${name//%/\\x}"
    done
}

# e2e_expect_ini INI SECTION KEY EXPECTED: one check of a value of the settings file;
# "(absent)" expects the key to be missing.
e2e_expect_ini() {
  local value
  value=$(e2e_ini_value "$1" "$2" "$3") || value="(absent)"
  e2e_expect "tnw.ini [$2] $3" "$4" "$value"
}

# ---------------------------------------------------------------------------------------------
# Sound: what the programs started from now on play, recorded by the session's file sink.

# shellcheck source=tools/wine-sound.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-sound.sh"

# Why nothing can be recorded here, or nothing.
e2e_sound_problem() {
  local name
  for name in E2E_SOFT_CARD E2E_LISTENER; do
    [ -n "${!name:-}" ] || { echo "$name is not set"; return; }
  done
  wine_sound_problem
}

# e2e_sound_on WAV: the programs started from now on play into WAV; e2e_sound_off: into
# nothing again (only once the program that played has ended is the file whole).
E2E_SOUND_ON=""
e2e_sound_on() { wine_sound_on "$1" && E2E_SOUND_ON=1; }
e2e_sound_off() {
  wine_sound_off
  E2E_SOUND_ON=""
}

# e2e_recorded_note WAV: the first note of the recording as "onset=S end=S hz=PITCH".
e2e_recorded_note() { "$WINELOADER" "$E2E_LISTENER" "$(e2e_winpath "$1")"; }

# e2e_cents HZ REFERENCE: how far HZ is from REFERENCE, in cents (rounded to a tenth).
e2e_cents() { awk -v hz="$1" -v ref="$2" 'BEGIN { if (hz <= 0) print "none"; else printf "%.1f\n", 1200 * log(hz / ref) / log(2) }'; }
