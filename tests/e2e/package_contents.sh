#!/usr/bin/env bash
# The release package: builds it, then looks inside. It must hold the program, the guide and
# the licence, and no library at all: SFMAN32.DLL belongs to the sound card's drivers, and
# shipping the simulated one would put a fake card on the user's machine. The program inside
# must not need any library the package does not bring but the system's own.
#
# Set: BUILD_DIR (the cross build), PACKAGE (the zip expected there), ARCH (win32 or win64),
# OBJDUMP, WORK.
set -uo pipefail
for tool in unzip "$OBJDUMP"; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
failures=0
check() {
  local name=$1
  shift
  if "$@"; then echo "ok: $name"; else echo "FAILED: $name"; failures=$((failures + 1)); fi
}

rm -f "$PACKAGE"
cmake --build "$BUILD_DIR" --target package || { echo "FAILED: the package target"; exit 1; }
check "the package is named tonewell-<version>-$ARCH.zip and exists" test -f "$PACKAGE"
unzip -l "$PACKAGE"
check "the zip is whole" unzip -tq "$PACKAGE"
names=$(unzip -Z1 "$PACKAGE")

for wanted in tonewell.exe README.md LICENSE; do
  check "$wanted is in the package" grep -qxF "$wanted" <<<"$names"
done
dlls=$(grep -iE '\.dll$' <<<"$names")
check "no library in the package${dlls:+ (found: $dlls)}" test -z "$dlls"

rm -rf "$WORK"
mkdir -p "$WORK"
unzip -q "$PACKAGE" tonewell.exe -d "$WORK"
imports=$("$OBJDUMP" -p "$WORK/tonewell.exe" | sed -nE 's/^\s*DLL Name: //p')
echo "tonewell.exe imports: $(tr '\n' ' ' <<<"$imports")"
check "tonewell.exe is a Windows program" bash -c "[ \"\$(head -c 2 '$WORK/tonewell.exe')\" = MZ ]"
case "$ARCH" in win32) format=pei-i386 ;; *) format=pei-x86-64 ;; esac
check "tonewell.exe is a $ARCH program ($format)" bash -c "'$OBJDUMP' -f '$WORK/tonewell.exe' | grep -q 'file format $format'"
check "tonewell.exe is a GUI program" bash -c "'$OBJDUMP' -p '$WORK/tonewell.exe' | grep -qE '^Subsystem\s+0+2\s'"
# The runtime is linked in statically and the engine library is loaded at run time, by name.
foreign=$(grep -iE '^(lib|sfman32)' <<<"$imports")
check "tonewell.exe imports neither the runtime's libraries nor SFMAN32.DLL${foreign:+ (found: $foreign)}" \
  test -z "$foreign"

[ "$failures" -eq 0 ] || { echo "package: $failures check(s) failed"; exit 1; }
echo "package: all checks passed"
