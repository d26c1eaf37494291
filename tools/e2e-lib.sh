# shellcheck shell=bash
# End-to-end test harness for Tonewell under Wine, sourced by the test scripts in tests/e2e/.
# Runs inside a Wine session (tools/wine-session.sh): starts the real tonewell.exe from a fresh
# run folder, drives it with xdotool, reads it with the inspector (tests/e2e/inspector.cpp),
# takes screenshots and closes it.
#
# Set before sourcing:
#   E2E_PROGRAM    tonewell.exe as built
#   E2E_ENGINE     the SFMAN32.DLL to run it on (the simulated card)
#   E2E_INSPECTOR  inspector.exe
#   E2E_WORK       this test's own folder for run folders, logs and screenshots
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
  for tool in wine xdotool import; do
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
  wine "$E2E_INSPECTOR" --pid "$E2E_PROCESS" "$@"
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
  wine "$E2E_INSPECTOR" launch "$(e2e_winpath "$folder/tonewell.exe")" "$tail" 2>"$log" &
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
    while read -r _ handle _ _ _ _ caption; do
      handle=${handle#handle=}
      caption=${caption#caption=}
      text=$(e2e_inspect children "$handle" | sed -nE 's/^child id=65535 .* text=//p')
      echo "$handle $caption: $text"
    done
}

# Escape, then the program must end on its own. Prints and returns its exit code.
e2e_close() {
  [ -n "$E2E_LAUNCHER" ] || return 1
  xdotool key --window "$E2E_WINDOW" Escape 2>/dev/null
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

# A failing test must not leave its program open for the next one.
e2e_cleanup() {
  if [ -n "$E2E_LAUNCHER" ] && kill -0 "$E2E_LAUNCHER" 2>/dev/null; then
    e2e_inspect terminate >/dev/null 2>&1
    wait "$E2E_LAUNCHER" 2>/dev/null
  fi
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

# e2e_screenshot FILE [full]: the main window (or the whole screen) as a PNG.
e2e_screenshot() {
  # shellcheck disable=SC2034 # set by the eval below
  local file=$1 X Y WIDTH HEIGHT SCREEN WINDOW
  if [ "${2:-}" = full ]; then
    import -window root "$file"
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
