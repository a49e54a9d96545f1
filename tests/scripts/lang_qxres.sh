#!/bin/bash
# The resource libraries QxRes_l.dll of the build: resources only (no import,
# entry point 0), one string table in the language of the folder; and where
# the installation puts them and the language list.
set -u
build=$1 failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
for entry in "0409:9, 1" "0407:7, 1" "040c:12, 1" "0c0a:10, 3" "0411:17, 1" "neutral:0, 0"; do
    folder=${entry%%:*} dll=$build/bin/qxres/${entry%%:*}/QxRes_l.dll
    headers=$(x86_64-w64-mingw32-objdump -p "$dll") || { fail "$dll unreadable"; continue; }
    grep -q "DLL Name:" <<<"$headers" && fail "$folder imports a library"
    grep -Eq "AddressOfEntryPoint[[:space:]]+0+$" <<<"$headers" || fail "$folder has an entry point"
    languages=$(x86_64-w64-mingw32-windres -i "$dll" -O rc | grep -E '^LANGUAGE' | sort -u)
    [ "$languages" = "LANGUAGE ${entry#*:}" ] || fail "$folder: languages '$languages'"
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work" >/dev/null
for pair in 0409:Agent/Res/0409 0407:Agent/Res/0407 040c:Agent/Res/040c 0c0a:Agent/Res/0c0a 0411:Agent/Res/0411 neutral:Shared/Res; do
    cmp -s "$build/bin/qxres/${pair%%:*}/QxRes_l.dll" "$work/samples/${pair#*:}/QxRes_l.dll" || fail "installed copy $pair"
done
[ ! -e "$work/samples/Agent/Res/QxRes_l.dll" ] || fail "a neutral copy in Agent\\Res would hide the languages"
cmp -s "$build/bin/qxres/Languages.xml" "$work/samples/Agent/Languages.xml" || fail "Languages.xml not installed"
[ "$(grep -c $'\r$' "$work/samples/Agent/Languages.xml")" -eq 7 ] || fail "Languages.xml: 7 CR LF lines"
tr -d '\r' < "$work/samples/Agent/Languages.xml" | xmllint --noout - || fail "Languages.xml is not well-formed XML"
echo "$failures failed"
[ "$failures" -eq 0 ]
