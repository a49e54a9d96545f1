#!/bin/bash
# The resource libraries QxRes_l.dll of the build: resources only (no
# imported DLL, entry point address 0), one string table in the language of
# the folder, with the 24 strings of the scan report.
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
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
