#!/bin/bash
# The table of docs/client-api.md against the library: a client built against dist/ observes, for every
# export, what one failing call leaves in the last-error value and which exception leaves it; each
# observation must have its row, and the row's "last error" and "exceptions" cells must say the same.
. "$(dirname "$0")/support/dist.sh"
doc=$src/docs/client-api.md
x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$DIST/include" "$src/tests/scripts/client/api_table_client.cpp" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/api_table_client.exe"
clear_client_registry   # no client configuration
observed=$(wine_run "$DIST/bin/api_table_client.exe")
[ "$(grep -c . <<<"$observed")" -ge 14 ] || fail "the client observed too little:"$'\n'"$observed"

rows=0
while IFS='|' read -r call error thrown; do
    row=$(grep -F "| \`$call\` |" "$doc") || fail "docs/client-api.md has no row for $call"
    IFS='|' read -r _ _ _ error_cell thrown_cell _ <<<"$row"
    case $error in
    unchanged) [[ $error_cell == " unchanged"* ]] || fail "$call keeps the last error, the table says:$error_cell" ;;
    set\ *) [[ $error_cell == " changed"* ]] || fail "$call changes the last error (${error#set }), the table says:$error_cell"
            [[ $error_cell == *"\`${error#set }\`"* ]] || fail "$call leaves ${error#set }, the table says:$error_cell" ;;
    esac
    case $thrown in
    none) [[ $thrown_cell == " none "* ]] || fail "$call lets nothing escape, the table says:$thrown_cell" ;;
    *) [[ $thrown_cell == " \`${thrown%% *}\` ${thrown#* }"* ]] || fail "$call throws $thrown, the table says:$thrown_cell" ;;
    esac
    rows=$((rows + 1))
done <<<"$observed"
echo "$rows rows of docs/client-api.md agree with the library"
