#!/bin/bash
# The plain C exports called from a program compiled as C while an event object holds the log mutex's
# name: no exception reaches the C caller, and each answers as for a failure (IsSubSysEnabled 0 for a
# missing switch key, CreateFileSpecialAccess 0 with the Windows error, DisplayKelmoHelp returns, a
# client's log event keeps the last error).
. "$(dirname "$0")/support/script.sh"
x86_64-w64-mingw32-gcc-posix -std=c11 -Wall -Wextra -Werror -I"$src/include" \
    "$src/tests/scripts/client/exports_client.c" -L"$build/lib" -lTolvane -o "$work/exports_client.exe"
cp "$build/bin/Tolvane.dll" "$work/"
clear_client_registry
out=$(wine_run "$work/exports_client.exe" "$(win_path "$work")") || fail "the client did not survive: $out"
echo "$out"
[ "$out" = "subsys 0 special 0 error 3 created 1 help returned log kept 1234" ] || fail "answers differ"
[ -f "$work/created.dat" ] || fail "created.dat missing"
