#!/bin/bash
# The resource libraries QxRes_l.dll of the build: resources only (no
# imported DLL, entry point address 0), one string table in the language of
# the folder, with the 24 strings of the scan report; and where the
# installation puts them and the language list.
set -u
build=$1
failures=0 passed=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

for entry in "0409:9, 1" "0407:7, 1" "040c:12, 1" "0c0a:10, 3" "0411:17, 1" "neutral:0, 0"; do
    folder=${entry%%:*} language=${entry#*:}
    dll=$build/bin/qxres/$folder/QxRes_l.dll
    [ -f "$dll" ] || { fail "$dll missing"; continue; }
    headers=$(x86_64-w64-mingw32-objdump -p "$dll")
    grep -q "DLL Name:" <<<"$headers" && fail "$folder imports: $(grep 'DLL Name:' <<<"$headers" | tr '\n' ' ')"
    grep -Eq "AddressOfEntryPoint[[:space:]]+0+$" <<<"$headers" || fail "$folder has an entry point"
    resources=$(x86_64-w64-mingw32-windres -i "$dll" -O rc)
    languages=$(grep -E '^LANGUAGE' <<<"$resources" | sort -u)
    [ "$languages" = "LANGUAGE $language" ] || fail "$folder: languages '$languages', expected 'LANGUAGE $language'"
    count=$(grep -cE '^  7[0-9][0-9], L?"' <<<"$resources")
    [ "$count" -eq 24 ] || fail "$folder: $count strings"
    passed=$((passed + 1))
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work" >/dev/null
for folder in 0409 0407 040c 0c0a 0411; do
    cmp -s "$build/bin/qxres/$folder/QxRes_l.dll" "$work/samples/Agent/Res/$folder/QxRes_l.dll" \
        || fail "installed copy of $folder"
done
cmp -s "$build/bin/qxres/neutral/QxRes_l.dll" "$work/samples/Shared/Res/QxRes_l.dll" || fail "installed neutral copy"
[ ! -e "$work/samples/Agent/Res/QxRes_l.dll" ] || fail "a neutral copy in Agent\\Res would hide the languages"
list=$work/samples/Agent/Languages.xml
if [ -f "$list" ]; then
    [ "$(grep -c $'\r$' "$list")" -eq 7 ] && [ "$(wc -l < "$list")" -eq 7 ] || fail "Languages.xml: 7 CR LF lines"
    [ "$(grep -c '<Language [a-z]*="[^"]*" [a-z]*="[^"]*" [a-z]*="[^"]*" [a-z]*="[0-9a-f]\{4\}" [a-z]*="[0-9]*"/>' "$list")" -eq 5 ] \
        || fail "Languages.xml: five entries of five attributes"
    tr -d '\r' < "$list" | xmllint --noout - || fail "Languages.xml is not well-formed XML"
else
    fail "Languages.xml not installed"
fi
passed=$((passed + 1))

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
