#!/usr/bin/env bash
# The release package: builds it, then looks inside. It must hold the program, the software
# card's library TWSYNTH.DLL, the guide and the licence, and no other library: SFMAN32.DLL
# belongs to a sound card's drivers, and shipping the simulated one would put a fake card on
# the user's machine. Neither binary may need a library the package does not bring but the
# system's own.
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

for wanted in tonewell.exe TWSYNTH.DLL README.md LICENSE; do
  e2e_check "$wanted is in the package" grep -qxF "$wanted" <<<"$contents"
done
dlls=$(grep -iE '\.dll$' <<<"$contents" | grep -vxF TWSYNTH.DLL)
e2e_check "no library but the software card's in the package${dlls:+ (found: $dlls)}" test -z "$dlls"

rm -rf "$WORK"
mkdir -p "$WORK"
unzip -q "$PACKAGE" tonewell.exe TWSYNTH.DLL -d "$WORK"
case "$ARCH" in win32) format=pei-i386 ;; *) format=pei-x86-64 ;; esac

# check_binary FILE SUBSYSTEM: a Windows binary of this architecture and subsystem (2: GUI,
# 3: console; a DLL says its loader's) that imports neither the compiler's runtime libraries,
# which are linked in statically, nor SFMAN32.DLL, which is loaded at run time by name.
check_binary() {
  local file=$1 subsystem=$2 imports foreign
  imports=$("$OBJDUMP" -p "$WORK/$file" | sed -nE 's/^\s*DLL Name: //p')
  echo "$file imports: $(tr '\n' ' ' <<<"$imports")"
  e2e_check "$file is a Windows binary" bash -c "[ \"\$(head -c 2 '$WORK/$file')\" = MZ ]"
  e2e_check "$file is a $ARCH binary ($format)" bash -c "'$OBJDUMP' -f '$WORK/$file' | grep -q 'file format $format'"
  e2e_check "$file is of subsystem $subsystem" bash -c "'$OBJDUMP' -p '$WORK/$file' | grep -qE '^Subsystem\s+0+$subsystem\s'"
  foreign=$(grep -iE '^(lib|sfman32)' <<<"$imports")
  e2e_check "$file imports neither the runtime's libraries nor SFMAN32.DLL${foreign:+ (found: $foreign)}" \
    test -z "$foreign"
}
check_binary tonewell.exe 2
check_binary TWSYNTH.DLL 3
e2e_check "TWSYNTH.DLL is a library" bash -c "'$OBJDUMP' -p '$WORK/TWSYNTH.DLL' | grep -qxP '\\tDLL'"
e2e_check "TWSYNTH.DLL exports the card's operation table" bash -c "'$OBJDUMP' -p '$WORK/TWSYNTH.DLL' | grep -qw SFManager"

e2e_finish
