#!/usr/bin/env bash
# The release package: builds it, then looks inside. It must hold the program, the guide and
# the licence, and no library at all: SFMAN32.DLL belongs to the sound card's drivers, and
# shipping the simulated one would put a fake card on the user's machine. The program inside
# must not need any library the package does not bring but the system's own.
#
# Set: E2E_LIB, BUILD_DIR (the cross build), PACKAGE (the zip expected there), ARCH (win32 or
# win64), OBJDUMP, WORK.
set -uo pipefail
# shellcheck source=tools/e2e-lib.sh
source "$E2E_LIB"
E2E_WORK=$WORK
for tool in unzip "$OBJDUMP"; do
  command -v "$tool" >/dev/null 2>&1 || e2e_skip "$tool is not installed"
done

rm -f "$PACKAGE"
cmake --build "$BUILD_DIR" --target package || { echo "FAILED: the package target"; exit 1; }
e2e_check "the package is named tonewell-<version>-$ARCH.zip and exists" test -f "$PACKAGE"
unzip -l "$PACKAGE"
e2e_check "the zip is whole" unzip -tq "$PACKAGE"
contents=$(unzip -Z1 "$PACKAGE")

for wanted in tonewell.exe README.md LICENSE; do
  e2e_check "$wanted is in the package" grep -qxF "$wanted" <<<"$contents"
done
dlls=$(grep -iE '\.dll$' <<<"$contents")
e2e_check "no library in the package${dlls:+ (found: $dlls)}" test -z "$dlls"

rm -rf "$WORK"
mkdir -p "$WORK"
unzip -q "$PACKAGE" tonewell.exe -d "$WORK"
imports=$("$OBJDUMP" -p "$WORK/tonewell.exe" | sed -nE 's/^\s*DLL Name: //p')
echo "tonewell.exe imports: $(tr '\n' ' ' <<<"$imports")"
e2e_check "tonewell.exe is a Windows program" bash -c "[ \"\$(head -c 2 '$WORK/tonewell.exe')\" = MZ ]"
case "$ARCH" in win32) format=pei-i386 ;; *) format=pei-x86-64 ;; esac
e2e_check "tonewell.exe is a $ARCH program ($format)" bash -c "'$OBJDUMP' -f '$WORK/tonewell.exe' | grep -q 'file format $format'"
e2e_check "tonewell.exe is a GUI program" bash -c "'$OBJDUMP' -p '$WORK/tonewell.exe' | grep -qE '^Subsystem\s+0+2\s'"
# The runtime is linked in statically and the engine library is loaded at run time, by name.
foreign=$(grep -iE '^(lib|sfman32)' <<<"$imports")
e2e_check "tonewell.exe imports neither the runtime's libraries nor SFMAN32.DLL${foreign:+ (found: $foreign)}" \
  test -z "$foreign"

e2e_finish
