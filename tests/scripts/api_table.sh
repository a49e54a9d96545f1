#!/bin/bash
# docs/client-api.md's last-error and exceptions columns and the headers' "Last error:" and "Throws:" lines
# against what a client observes of each export, as it is and while the log mutex's name is taken.
. "$(dirname "$0")/support/dist.sh"
x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$DIST/include" "$src/tests/scripts/client/api_table_client.cpp" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/api_table_client.exe"
clear_client_registry   # no client configuration
observations=$(wine_run "$DIST/bin/api_table_client.exe")
[ "$(grep -c . <<<"$observations")" -ge 14 ] || fail "the client observed too little:"$'\n'"$observations"
squatted=$(wine_run "$DIST/bin/api_table_client.exe" squatted) || fail "squatted run: $squatted"

codes() { { grep -oE '0x[0-9a-fA-F]+' || true; } | tr 'A-F' 'a-f' | sort -u | tr '\n' ' '; }
# "unchanged" or "changed" (the first word of a last-error text), then the codes of an exceptions text or none.
summary() { local c; c=$(codes <<<"$2"); echo "$(sed -E 's/^ *([a-z]+).*/\1/' <<<"$1") ${c:-none}"; }
# The comment lines right above the declaration of a call ("Class::Member", "Class::Member(arg)" or a C
# function) in the installed headers.
header_comment() {
    local class=${1%::*}
    [[ $1 == *::* ]] || class=""
    awk -v class="$class" -v pattern="$(sed -E 's/^.*:://; s/[(][)]$/[(][)]/; s/[(]([A-Za-z]+)[)]$/[(][^)]*\1/; s/^[A-Za-z_]+$/[^~A-Za-z_]&[(]/' <<<"$1")" '
        /^class / { inclass = (class == "" || $0 ~ "class TOLVANE_API " class " ") }
        /^[[:space:]]*\/\// { comment = comment $0 "\n"; next }
        (inclass || class == "") && $0 ~ pattern { printf "%s", comment; exit }
        { comment = "" }' "$DIST"/include/tolvane/*.h
}

while IFS='|' read -r call error thrown; do
    row=$(grep -F "| \`$call\` |" "$src/docs/client-api.md") || fail "docs/client-api.md has no row for $call"
    IFS='|' read -r _ _ _ error_cell thrown_cell _ <<<"$row"
    comment=$(header_comment "$call")
    header=$(summary "$(sed -n 's|^\s*// Last error: ||p' <<<"$comment")" "$(awk '
        sub(/^[[:space:]]*\/\/ Throws: /, "") { more = 1; print; next }   # with its indented continuation
        more && /^[[:space:]]*\/\/   / { print; next } { more = 0 }' <<<"$comment")")
    seen=$( { echo "||$thrown"; grep -F "$call|" <<<"$squatted" || true; } | cut -d'|' -f3 | codes)
    observed="${error/set */changed} ${seen:-none}"
    [ "$(summary "$error_cell" "$thrown_cell")" = "$observed" ] && [ "$header" = "$observed" ] \
        && [[ $error != set* || $error_cell == *"\`${error#set }\`"* ]] \
        || fail "$call: $error, ${seen:-nothing thrown}; the table says:$error_cell|$thrown_cell; the header: $header"
done <<<"$observations"
