#!/bin/bash
# The plain C exports called from a program compiled as C while an event
# object holds the log mutex's name: no exception reaches the C caller, and
# each answers as for a failure (IsSubSysEnabled 0 for a missing switch key,
# CreateFileSpecialAccess 0 with the Windows error, DisplayKelmoHelp returns).
set -euo pipefail
build=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"; "$src/tools/wine-run.sh" reg delete "HKLM\\SOFTWARE\\Tavrel\\Orbisk" /f >/dev/null 2>&1 || true' EXIT
x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Werror -I"$src/include" \
    "$src/tests/scripts/client/exports_client.c" -L"$build/lib" -lTolvane -o "$work/exports_client.exe"
cp "$build/bin/Tolvane.dll" "$work/"
"$src/tools/wine-run.sh" reg delete "HKLM\\SOFTWARE\\Tavrel\\Orbisk" /f >/dev/null 2>&1 || true
status=0
out=$("$src/tools/wine-run.sh" "$work/exports_client.exe" "Z:$(printf '%s' "$work" | tr / '\\')" | tr -d '\r') || status=$?
echo "$out (exit $status)"
[ "$status" -eq 0 ] || { echo "FAILED: the client did not survive"; exit 1; }
[ "$out" = "subsys 0 special 0 error 3 created 1 help returned" ] || { echo "FAILED: answers differ"; exit 1; }
[ -f "$work/created.dat" ] || { echo "FAILED: created.dat missing"; exit 1; }
