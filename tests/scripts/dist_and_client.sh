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
for f in IsSubSysEnabled CreateFileSpecialAccess DisplayKelmoHelp; do
    grep -qx "$f" "$work/exports.txt" || { echo "$f not exported undecorated"; exit 1; }
done
# Every other export belongs to one of the exported classes, under its GCC
# name or its Microsoft name. The compiler also exports the vtable and type
# information of the polymorphic CScnXml.
if grep -vxE 'IsSubSysEnabled|CreateFileSpecialAccess|DisplayKelmoHelp' "$work/exports.txt" \
        | grep -vE '^_ZN?K?(14CExcludeHelper|10COnAccExcl|7CScnXml)|^_ZT[VI]7CScnXml$' \
        | grep -vE '^\?\?[01](CExcludeHelper|COnAccExcl|CScnXml)@@|^\?[A-Za-z]+@(CExcludeHelper|COnAccExcl|CScnXml)@@'; then
    echo "unexpected exports above"; exit 1
fi

# Every member exported under its GCC name is exported under its Microsoft
# name as well, with the same signature (compared in demangled form).
members() { sed -E 's/(class|struct) //g; s/\(void\)/()/; s/ //g' | sort -u; }
grep '^_ZN' "$work/exports.txt" | x86_64-w64-mingw32-c++filt | members > "$work/gcc-members.txt"
grep '^?' "$work/exports.txt" | llvm-undname | sed -n 's/.*__cdecl //p' | members > "$work/msvc-members.txt"
diff "$work/gcc-members.txt" "$work/msvc-members.txt" || { echo "GCC names (<) without a Microsoft name (>)"; exit 1; }

x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$work/dist/include" \
    "$src/tests/scripts/client/subsys_client.cpp" -L"$work/dist/lib" -lTolvane \
    -static-libgcc -static-libstdc++ -o "$work/dist/bin/subsys_client.exe"
out=$("$src/tools/wine-run.sh" "$work/dist/bin/subsys_client.exe" | tr -d '\r')
echo "$out"
[ "$out" = "answers 1 0 1 0 missing 0" ]
