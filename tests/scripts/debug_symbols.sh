#!/bin/bash
# dist/bin/Tolvane.dll ships without debug information and smaller than the
# build's DLL; Tolvane.dll.debug beside it, named by its .gnu_debuglink,
# gives file and line of the library's own functions.
. "$(dirname "$0")/support/dist.sh"

dll=$DIST/bin/Tolvane.dll debug=$DIST/bin/Tolvane.dll.debug
[ -f "$debug" ] || fail "Tolvane.dll.debug not installed"
shipped=$(stat -c %s "$dll") built=$(stat -c %s "$build/bin/Tolvane.dll")
echo "shipped $shipped bytes, built $built bytes, debug file $(stat -c %s "$debug") bytes"
[ "$shipped" -lt "$built" ] || fail "the shipped DLL is not smaller than the build's"

sections=$(x86_64-w64-mingw32-objdump -h "$dll")
if grep -E '\.debug_' <<<"$sections"; then fail "the shipped DLL carries debug sections"; fi
x86_64-w64-mingw32-objcopy --dump-section .gnu_debuglink="$work/debuglink" "$dll" "$work/scratch.dll"
link=$(tr -d '\0' < "$work/debuglink" | head -c 17)
[ "$link" = "Tolvane.dll.debug" ] || fail ".gnu_debuglink names '$link'"

# Exported functions of the library, found by their addresses in the
# shipped DLL: the debug information names their source file and line.
pe=$(x86_64-w64-mingw32-objdump -p "$dll")
base=$(sed -n 's/^ImageBase\s*//p' <<<"$pe")
rva() {  # the export table's address of the n-th name
    local index
    index=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$pe" | sed -n "s/^\s*\[ *\([0-9]*\)\] $1$/\1/p")
    [ -n "$index" ] || fail "$1 not exported"
    sed -n '/Export Address Table -- Ordinal Base/,/^$/p' <<<"$pe" \
        | sed -n "s/^\s*\[ *$index\] +base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1/p"
}
for entry in IsSubSysEnabled:src/host/SubSys.cpp _ZN7CScnXml11AddInfectedER9CInfected:src/report/CScnXml.cpp \
        _ZN14CExcludeHelper10IsExcludedEPKt:src/exclude/ExcludeHelper.cpp; do
    name=${entry%%:*} file=${entry#*:}
    address=$(printf '0x%x' $((0x$base + 0x$(rva "$name"))))
    for image in "$debug" "$dll"; do   # the stripped DLL leads to its debug file
        where=$(x86_64-w64-mingw32-addr2line -e "$image" "$address")
        echo "$name at $address: $where"
        [[ $where == *"$file":[1-9]* ]] || fail "no line information for $name in $(basename "$image")"
    done
done
