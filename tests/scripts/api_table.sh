#!/bin/bash
# The table of docs/client-api.md and the header comments against the library: a client built against
# dist/ observes, for every export, what one failing call leaves in the last-error value and which
# exceptions leave it, once as it is and once while the log mutex's name is taken. Each observation must
# have its row and its declaration in the installed headers; the row's "last error" cell and the
# header's "Last error:" line must say the same, and the "exceptions" cell and the "Throws:" line must
# name exactly the codes observed.
. "$(dirname "$0")/support/dist.sh"
doc=$src/docs/client-api.md
x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$DIST/include" "$src/tests/scripts/client/api_table_client.cpp" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/api_table_client.exe"
clear_client_registry   # no client configuration
observed=$(wine_run "$DIST/bin/api_table_client.exe")
[ "$(grep -c . <<<"$observed")" -ge 14 ] || fail "the client observed too little:"$'\n'"$observed"
squatted=$(wine_run "$DIST/bin/api_table_client.exe" squatted) || fail "squatted run: $squatted"
echo "$squatted" | sed 's/^/squatted: /'

codes() { { grep -oE '0x[0-9a-fA-F]+' || true; } | tr 'A-F' 'a-f' | sort -u | tr '\n' ' '; }
# The comment lines right above the declaration of a call ("Class::Member", "Class::Member(arg)" or a C
# function) in the installed headers.
header_comment() {
    local class=${1%%::*} member=${1#*::} pattern
    [[ $1 == *::* ]] || class=""
    case $member in
    *\(\)) pattern="[ ~]${member%%(*}[(][)]" ;;
    *\(*\)) pattern="[ ~]${member%%(*}[(][^)]*${member#*(}" pattern=${pattern%)} ;;
    ~*) pattern="~${member#\~}[(]" ;;
    *) pattern="[^~A-Za-z_]$member[(]" ;;
    esac
    awk -v class="$class" -v pattern="$pattern" '
        /^class / { inclass = (class == "" || $0 ~ "class TOLVANE_API " class " ") }
        /^[[:space:]]*\/\// { comment = comment $0 "\n"; next }
        (inclass || class == "") && $0 ~ pattern { printf "%s", comment; exit }
        { comment = "" }' "$DIST"/include/tolvane/*.h
}

rows=0
while IFS='|' read -r call error thrown; do
    row=$(grep -F "| \`$call\` |" "$doc") || fail "docs/client-api.md has no row for $call"
    IFS='|' read -r _ _ _ error_cell thrown_cell _ <<<"$row"
    comment=$(header_comment "$call")
    header_error=$(sed -n 's|^\s*// Last error: ||p' <<<"$comment")
    header_thrown=$(awk 'sub(/^[[:space:]]*\/\/ Throws: /, "") { more = 1; print; next }   # with its indented continuation
                         more && /^[[:space:]]*\/\/   / { print; next } { more = 0 }' <<<"$comment")
    [ -n "$header_error" ] && [ -n "$header_thrown" ] || fail "$call: no 'Last error:' and 'Throws:' in its header comment:"$'\n'"$comment"
    case $error in
    unchanged) [[ $error_cell == " unchanged"* && $header_error == unchanged* ]] \
                   || fail "$call keeps the last error; the table says:$error_cell; the header says: $header_error" ;;
    set\ *) [[ $error_cell == " changed"* && $header_error == changed* ]] \
                || fail "$call changes the last error (${error#set }); the table says:$error_cell; the header says: $header_error"
            [[ $error_cell == *"\`${error#set }\`"* ]] || fail "$call leaves ${error#set }, the table says:$error_cell" ;;
    esac
    seen=$( { echo "||$thrown"; grep -F "$call|" <<<"$squatted" || true; } | cut -d'|' -f3 | codes)
    if [ -z "$seen" ]; then
        [[ $thrown_cell == " none "* && $header_thrown == nothing* ]] \
            || fail "$call lets nothing escape; the table says:$thrown_cell; the header says: $header_thrown"
    else
        [ "$(codes <<<"$thrown_cell")" = "$seen" ] && [[ $thrown_cell == " \`CSystemException\` "* ]] \
            || fail "$call throws CSystemException $seen; the table says:$thrown_cell"
        [ "$(codes <<<"$header_thrown")" = "$seen" ] && [[ $header_thrown == "CSystemException "* ]] \
            || fail "$call throws CSystemException $seen; the header says: $header_thrown"
    fi
    rows=$((rows + 1))
done <<<"$observed"
echo "$rows rows of docs/client-api.md and their header comments agree with the library"
