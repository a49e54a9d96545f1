#!/bin/bash
# What a client of dist/ links against: the import library and the umbrella header are installed, and
# Tolvane.dll depends on no runtime DLL and exports exactly the library's surface, the C functions under
# plain names and every class member under its GCC and its Microsoft name.
. "$(dirname "$0")/support/dist.sh"
dll=$DIST/bin/Tolvane.dll
[ -f "$DIST/lib/libTolvane.dll.a" ] || fail "import library missing"
[ -f "$DIST/include/tolvane.h" ] || fail "umbrella header missing"
if x86_64-w64-mingw32-objdump -p "$dll" | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
    fail "Tolvane.dll depends on a runtime DLL"
fi
exports=$(dll_exports "$dll")
# Besides the C functions (link_recipe.sh matches them with the C client's imports), every export belongs to one of the exported classes, under its GCC name or its Microsoft name.
# The compiler also exports the vtable and type information of the polymorphic CScnXml; the public
# virtual members of its base CReportBase are exported as well.
if grep -vxE 'IsSubSysEnabled|CreateFileSpecialAccess|DisplayKelmoHelp|TolvaneLog(Write|Printf|VPrintf)[AW]' <<<"$exports" \
        | grep -vE '^_ZN?K?(14CExcludeHelper|10COnAccExcl|7CScnXml|11CReportBase)|^_ZT[VI]7CScnXml$' \
        | grep -vE '^\?\?[01](CExcludeHelper|COnAccExcl|CScnXml)@@|^\?[A-Za-z]+@(CExcludeHelper|COnAccExcl|CScnXml|CReportBase)@@'; then
    fail "unexpected exports above"
fi

# Every member exported under its GCC name is exported under its Microsoft name as well, with the same
# signature (compared in demangled form).
members() { sed -E 's/(class|struct) //g; s/\(void\)/()/; s/ //g' | sort -u; }
diff <(grep '^_ZN' <<<"$exports" | x86_64-w64-mingw32-c++filt | members) \
     <(grep '^?' <<<"$exports" | llvm-undname | sed -n 's/.*__cdecl //p' | members) \
    || fail "GCC names (<) without a Microsoft name (>)"
echo "$(wc -l <<<"$exports") exports, each member under both names"
