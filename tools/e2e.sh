#!/usr/bin/env bash
# Usage: tools/e2e.sh [BUILD_DIR] [-- CTEST_ARGUMENTS...]
# Builds what the end-to-end tests start (tonewell.exe, the simulated SFMAN32.DLL, the
# inspector) in the cross build BUILD_DIR, then runs the tests labelled e2e in a Wine session
# of their own on a virtual display. BUILD_DIR is build/win32 (the release build) where this
# machine runs 32-bit programs, else build/win64. Artefacts (screenshots, tree listings, run
# folders) stay in BUILD_DIR/tests/e2e/<test>/.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/wine-arch.sh
if wine_can_run_win32; then wine_arch_use win32; else wine_arch_use win64; fi
build=$WINE_BUILD
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build=$1; shift; fi
[ "${1:-}" = "--" ] && shift

cmake --no-warn-unused-cli -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$WINE_TOOLCHAIN" >/dev/null
cmake --build "$build" --target tonewell sim_sfman32 inspector
exec tools/wine-session.sh "$build/wine/prefix" --arch "$WINEARCH" --fresh -- \
  ctest --test-dir "$build" -L e2e --output-on-failure "$@"
