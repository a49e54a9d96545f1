#!/bin/bash
# The C example, built with the README's command (C99, -pedantic -Werror),
# imports every plain C export of Tolvane.dll and runs under Wine.
. "$(dirname "$0")/support/dist.sh"

build_readme_recipe >/dev/null
exe=$work/client/client_c.exe
[ -f "$exe" ] || fail "the recipe built no client_c.exe"
check_no_runtime_imports "$exe"

# The undecorated exports of the DLL (not the C++ members' mangled names)
# against what the C client imports from it.
x86_64-w64-mingw32-objdump -p "$DIST/bin/Tolvane.dll" \
    | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[ *[0-9]*\] //p' \
    | grep -E '^[A-Za-z][A-Za-z0-9_]*$' | sort > "$work/c_exports.txt"
x86_64-w64-mingw32-objdump -p "$exe" \
    | sed -n '/DLL Name: Tolvane.dll/,/^$/p' | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}' \
    | sort > "$work/c_imports.txt"
echo "C exports:" $(cat "$work/c_exports.txt")
[ -s "$work/c_exports.txt" ] || fail "no C exports found"
diff "$work/c_exports.txt" "$work/c_imports.txt" || fail "client.c does not call every C export"

out=$(cd "$work/client" && wine_run ./client_c.exe) || { status=$?; echo "$out"; fail "client_c.exe exited with $status"; }
echo "$out"
for expected in 'IsSubSysEnabled(2) = 0' 'CreateFileSpecialAccess: created' 'DisplayKelmoHelp: returned'; do
    grep -qxF "$expected" <<<"$out" || fail "output lacks: $expected"
done
