#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, runs every test and
# exits non-zero on any failure:
#   - native: the portable code with AddressSanitizer and UndefinedBehaviorSanitizer, and a
#     short fuzz run; the MIDI input threads under ThreadSanitizer;
#   - win64: the x86_64 build under 64-bit Wine on a virtual display, on every machine;
#   - win32: the i686 build (the release) under 32-bit Wine wherever this machine runs 32-bit
#     programs, but for the tests labelled one_target, which win64 has run; elsewhere it is
#     built and checked without running it (the release package).
# Ends with a table of the suites and one line counting every test that ran.
set -uo pipefail
cd "$(dirname "$0")/.."
source tools/wine-arch.sh
tools/install-deps.sh || { echo "test: the packages could not be installed" >&2; exit 1; }

logs=build/logs
mkdir -p "$logs"
status=0
summary=()
total_passed=0 total_failed=0 total_skipped=0

step() { echo; echo "== $*"; }
now() { date +%s; }

# Builds of the same sources in other folders (worktrees, fresh clones) share one compiler cache.
export CCACHE_BASEDIR=$PWD
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

configure() {
  local folder=$1 name=$2; shift 2
  cmake --no-warn-unused-cli -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" \
    >"$logs/$name-configure.log" 2>&1 || { cat "$logs/$name-configure.log"; return 1; }
}

# record SUITE LOG SECONDS [NOTE]: adds CTest's counts from LOG to the totals and the table.
record() {
  local suite=$1 log=$2 seconds=$3 note=${4:-} line total failed skipped passed
  line=$(grep -oE "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
  if [ -z "$line" ]; then
    summary+=("$(printf '%-8s %s' "$suite" "FAILED: no test ran (see $log), ${seconds} s")")
    total_failed=$((total_failed + 1)); status=1
    return
  fi
  total=${line##* }
  failed=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  skipped=$(grep -cE '\(Skipped\)$' "$log")
  passed=$((total - failed - skipped))
  total_passed=$((total_passed + passed)); total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  [ "$failed" -eq 0 ] || status=1
  summary+=("$(printf '%-8s %d passed, %d failed, %d skipped in %d s%s' \
    "$suite" "$passed" "$failed" "$skipped" "$seconds" "${note:+; $note}")")
}

skip_suite() {
  summary+=("$(printf '%-8s SKIPPED: %s' "$1" "$2")")
}

run_native() {
  local start; start=$(now)
  step "native build (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
  configure build/native native -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTONEWELL_SANITIZE=ON -DTONEWELL_FUZZ=ON && cmake --build build/native || {
    summary+=("native   FAILED: the build"); status=1; total_failed=$((total_failed + 1)); return; }
  step "native tests"
  # Two at a time, so that the fuzz runs, each of a fixed length, overlap.
  ctest --test-dir build/native -j2 --output-on-failure 2>&1 | tee "$logs/native-tests.log"
  record native "$logs/native-tests.log" $(($(now) - start))
}

run_tsan() {
  local start; start=$(now)
  step "MIDI input threads under ThreadSanitizer (clang)"
  { configure build/tsan tsan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTONEWELL_TSAN=ON &&
    cmake --build build/tsan --target test_preview_threads; } || {
    summary+=("tsan     FAILED: the build"); status=1; total_failed=$((total_failed + 1)); return; }
  ctest --test-dir build/tsan -R '^test_preview_threads$' --output-on-failure 2>&1 | tee "$logs/tsan-tests.log"
  record tsan "$logs/tsan-tests.log" $(($(now) - start))
}

# run_windows ARCH: builds that architecture and runs its tests in a Wine session of its own.
run_windows() {
  local arch=$1 start; start=$(now)
  wine_arch_use "$arch"
  step "Windows build ($arch: $WINE_TOOLCHAIN)"
  configure "$WINE_BUILD" "$arch" -DCMAKE_TOOLCHAIN_FILE="$WINE_TOOLCHAIN" && cmake --build "$WINE_BUILD" || {
    summary+=("$(printf '%-8s FAILED: the build' "$arch")"); status=1; total_failed=$((total_failed + 1)); return; }
  if [ "$arch" = win32 ] && ! wine_can_run_win32; then
    step "$arch: checks that need no Wine (this machine cannot run 32-bit programs)"
    ctest --test-dir "$WINE_BUILD" -L static --output-on-failure 2>&1 | tee "$logs/$arch-tests.log"
    record "$arch" "$logs/$arch-tests.log" $(($(now) - start)) \
      "only the checks that need no Wine: this machine cannot run 32-bit programs"
    return
  fi
  local once=() note=""
  if [ "$arch" = win32 ]; then
    once=(-LE one_target) note="the one_target tests ran on win64 only"
  fi
  step "$arch tests under Wine"
  tools/wine-session.sh "$WINE_BUILD/wine/prefix" --arch "$arch" --fresh -- \
    ctest --test-dir "$WINE_BUILD" "${once[@]}" --output-on-failure 2>&1 | tee "$logs/$arch-tests.log"
  record "$arch" "$logs/$arch-tests.log" $(($(now) - start)) "$note"
}

wine_probe_line
run_native
run_tsan
run_windows win64
run_windows win32

echo
echo "== summary ($(wine_probe_line))"
printf '%s\n' "${summary[@]}"
echo
echo "Tonewell: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit $status
