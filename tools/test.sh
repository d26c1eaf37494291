#!/usr/bin/env bash
# Installs what is missing, builds the native and the Windows targets, runs every test (the
# native ones with sanitizers, the Windows ones under Wine on a virtual display, and a short
# fuzz run), prints CTest's summaries and exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh || exit 1

logs=build/logs
mkdir -p "$logs"
status=0

step() { echo; echo "== $*"; }

step "native build (clang, AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --no-warn-unused-cli -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTONEWELL_SANITIZE=ON -DTONEWELL_FUZZ=ON >"$logs/native-configure.log" || { cat "$logs/native-configure.log"; exit 1; }
cmake --build build/native || exit 1

step "Windows build (MinGW-w64, i686)"
cmake --no-warn-unused-cli -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >"$logs/win32-configure.log" || { cat "$logs/win32-configure.log"; exit 1; }
cmake --build build/win32 || exit 1

step "native tests"
ctest --test-dir build/native --output-on-failure 2>&1 | tee "$logs/native-tests.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
step "MIDI input threads under ThreadSanitizer (clang)"; cmake --no-warn-unused-cli -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTONEWELL_TSAN=ON >"$logs/tsan-configure.log" && cmake --build build/tsan --target test_preview_threads && ctest --test-dir build/tsan -R '^test_preview_threads$' --output-on-failure || status=1

step "Windows tests under Wine"
tools/wine-session.sh build/win32/wine/prefix --fresh -- \
  ctest --test-dir build/win32 --output-on-failure 2>&1 | tee "$logs/win32-tests.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

# One closing line over both runs.
count() { grep -hoE "tests passed, [0-9]+ tests failed out of [0-9]+" "$logs"/native-tests.log "$logs"/win32-tests.log; }
passed=0; failed=0
while read -r line; do
  f=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+)/\1/')
  t=$(echo "$line" | sed -E 's/.* out of ([0-9]+)/\1/')
  failed=$((failed + f)); passed=$((passed + t - f))
done < <(count)
[ "$status" -eq 0 ] || [ "$failed" -gt 0 ] || failed=1
echo
echo "Tonewell: $passed passed, $failed failed"
exit $status
