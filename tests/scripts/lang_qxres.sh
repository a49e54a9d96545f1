#!/bin/bash
# The resource libraries QxRes_l.dll of the build: resources only (no import, entry point 0), one string
# table in the language of the folder; and where the installation puts them and the language list.
. "$(dirname "$0")/support/dist.sh"
for entry in "0409:9, 1:Agent/Res/0409" "0407:7, 1:Agent/Res/0407" "040c:12, 1:Agent/Res/040c" "0c0a:10, 3:Agent/Res/0c0a" \
             "0411:17, 1:Agent/Res/0411" "neutral:0, 0:Shared/Res"; do
    IFS=: read -r folder language installed <<<"$entry"
    dll=$build/bin/qxres/$folder/QxRes_l.dll
    ! grep -Eq "DLL Name:|AddressOfEntryPoint[[:space:]]+0*[1-9a-fA-F]" <<<"$(x86_64-w64-mingw32-objdump -p "$dll")" || fail "$folder: code"
    [ "$(x86_64-w64-mingw32-windres -i "$dll" -O rc | grep -E '^LANGUAGE' | sort -u)" = "LANGUAGE $language" ] || fail "$folder: languages"
    cmp -s "$dll" "$DIST/samples/$installed/QxRes_l.dll" || fail "installed copy of $folder"
done
[ ! -e "$DIST/samples/Agent/Res/QxRes_l.dll" ] || fail "a neutral copy in Agent\\Res would hide the languages"
list=$DIST/samples/Agent/Languages.xml; cmp -s "$build/bin/qxres/Languages.xml" "$list" || fail "Languages.xml not installed"
[ "$(grep -c $'\r$' "$list")" -eq "$(wc -l < "$list")" ] && tr -d '\r' < "$list" | xmllint --noout - \
    || fail "Languages.xml: CR LF lines of XML"
