#!/bin/bash
# The installed DLL exports exactly the library's surface under plain names,
# depends on no runtime DLL, and a client built against dist/ calls it.
set -eu
build=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/dist" >/dev/null
dll=$work/dist/bin/Tolvane.dll
[ -f "$work/dist/lib/libTolvane.dll.a" ] || { echo "import library missing"; exit 1; }
[ -f "$work/dist/include/tolvane.h" ] || { echo "umbrella header missing"; exit 1; }

x86_64-w64-mingw32-objdump -p "$dll" > "$work/pe.txt"
if grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)' "$work/pe.txt"; then
    echo "Tolvane.dll depends on a runtime DLL"; exit 1
fi
sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' "$work/pe.txt" | sed -n 's/^\s*\[ *[0-9]*\] //p' > "$work/exports.txt"
grep -qx IsSubSysEnabled "$work/exports.txt" || { echo "IsSubSysEnabled not exported undecorated"; exit 1; }
for f in CreateFileSpecialAccess DisplayKelmoHelp; do
    if grep -q "$f" "$work/exports.txt"; then grep -qx "$f" "$work/exports.txt" || { echo "$f decorated"; exit 1; }; fi
done
# Every other export belongs to one of the exported classes.
if grep -vxE 'IsSubSysEnabled|CreateFileSpecialAccess|DisplayKelmoHelp' "$work/exports.txt" \
        | grep -vE '^_ZN?K?(14CExcludeHelper|10COnAccExcl|7CScnXml)'; then
    echo "unexpected exports above"; exit 1
fi

x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$work/dist/include" \
    "$src/tests/scripts/client/subsys_client.cpp" -L"$work/dist/lib" -lTolvane \
    -static-libgcc -static-libstdc++ -o "$work/dist/bin/subsys_client.exe"
out=$("$src/tools/wine-run.sh" "$work/dist/bin/subsys_client.exe" | tr -d '\r')
echo "$out"
[ "$out" = "answers 1 0 1 0 missing 0" ]
