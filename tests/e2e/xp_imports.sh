#!/usr/bin/env bash
# The release program starts on Windows XP SP3: every function it imports is one that the
# DLL exports on that system, as listed in package/xp-sp3-imports.txt. A new import that is
# not on the list fails here until it has been checked and added (or avoided).
#
# Set: PROGRAM (tonewell.exe of the 32-bit build), OBJDUMP, LIST.
set -uo pipefail
command -v "$OBJDUMP" >/dev/null 2>&1 || { echo "SKIPPED: $OBJDUMP is not installed"; exit 77; }
[ -f "$PROGRAM" ] || { echo "FAILED: $PROGRAM is missing"; exit 1; }

# "dll function" per import, the DLL's name in lower case; "dll #ordinal" for one by number.
imports=$("$OBJDUMP" -p "$PROGRAM" | awk '
  /^The Import Tables/ { inside = 1; next }
  /^[A-Z]/ { inside = 0; dll = "" }
  !inside { next }
  /^\tDLL Name: / { dll = tolower($3); next }
  dll == "" || $1 == "vma:" { next }
  NF == 3 && $1 ~ /^[0-9a-f]+$/ { print dll, $3; next }
  NF == 2 && $1 ~ /^[0-9a-f]+$/ { print dll, "#" $2 }' | sort -u)
[ -n "$imports" ] || { echo "FAILED: no import read from $PROGRAM"; exit 1; }
known=$(grep -vE '^\s*(#|$)' "$LIST" | awk '{ print tolower($1), $2 }' | sort -u)

missing=$(comm -23 <(echo "$imports") <(echo "$known"))
echo "$(wc -l <<<"$imports") imports from $(awk '{ print $1 }' <<<"$imports" | sort -u | tr '\n' ' ')"
if [ -n "$missing" ]; then
  echo "FAILED: imports that Windows XP SP3 does not export (or that the list has not checked):"
  sed 's/^/  /' <<<"$missing"
  exit 1
fi
echo "xp imports: every import is exported by Windows XP SP3"
