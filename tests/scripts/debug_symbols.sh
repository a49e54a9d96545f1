#!/bin/bash
# The shipped Tolvane.dll is stripped; addr2line, led by its debug link to Tolvane.dll.debug, finds the lines.
. "$(dirname "$0")/support/dist.sh"
dll=$DIST/bin/Tolvane.dll
[ "$(stat -c %s "$dll")" -lt "$(stat -c %s "$build/bin/Tolvane.dll")" ] || fail "the shipped DLL is not smaller than the build's"
if x86_64-w64-mingw32-objdump -h "$dll" | grep -E '\.debug_'; then fail "the shipped DLL carries debug sections"; fi
for entry in IsSubSysEnabled:src/host/SubSys.cpp _ZN7CScnXml11AddInfectedER9CInfected:src/report/CScnXml.cpp \
        _ZN14CExcludeHelper10IsExcludedEPKt:src/exclude/ExcludeHelper.cpp; do
    address=0x$(x86_64-w64-mingw32-nm "$dll.debug" | awk -v name="${entry%%:*}" '$3 == name {print $1}')
    where=$(x86_64-w64-mingw32-addr2line -e "$dll" "$address")
    echo "$entry at $address: $where"
    [[ $where == *"${entry#*:}":[1-9]* ]] || fail "no line information for $entry through the debug link"
done
