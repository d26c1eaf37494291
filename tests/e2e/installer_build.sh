#!/usr/bin/env bash
# The installer builds, and is a Windows program of this build's architecture: the release
# is checked this way where 32-bit programs can't run. (installer.sh runs it under Wine.)
#
# Set: BUILD_DIR, INSTALLER, ARCH (win32 or win64), OBJDUMP.
set -uo pipefail
command -v makensis >/dev/null 2>&1 || { echo "SKIPPED: makensis is not installed"; exit 77; }
rm -f "$INSTALLER"
cmake --build "$BUILD_DIR" --target installer || { echo "FAILED: the installer target"; exit 1; }
[ -f "$INSTALLER" ] || { echo "FAILED: $INSTALLER was not made"; exit 1; }
case "$ARCH" in win32) format=pei-i386 ;; *) format=pei-x86-64 ;; esac
"$OBJDUMP" -f "$INSTALLER" | grep -q "file format $format" ||
  { echo "FAILED: $INSTALLER is not a $ARCH program ($format)"; exit 1; }
echo "installer: $(basename "$INSTALLER"), $(stat -c %s "$INSTALLER") bytes, $format"
