#!/bin/bash
# The public classes have the same record layouts (field offsets, sizes,
# alignment) and the polymorphic ones the same vtable slots under the MinGW
# and the Microsoft C++ ABI, as clang lays them out for both targets from the
# installed headers. A difference breaks Microsoft-ABI clients: a derived
# field in a base's tail padding, a virtual destructor, overloaded virtuals.
set -euo pipefail
build=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/dist" >/dev/null
include=$work/dist/include
probe=${LAYOUT_PROBE:-$src/tests/msvc/LayoutProbe.cpp}

for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    clang++ --target=$target -fgnuc-version=4.2.1 -std=c++17 -c -o /dev/null \
        -Xclang -fdump-record-layouts -Xclang -fdump-vtable-layouts \
        -I"$include" -isystem "$src/tests/msvc/include" -isystem /usr/x86_64-w64-mingw32/include \
        "$probe" > "$work/$target.dump"
done

# The classes of the public headers.
classes=$(sed -nE 's/^(class|struct) (TOLVANE_API )?([A-Za-z_][A-Za-z0-9_]*)( |$).*/\3/p' "$include"/tolvane/*.h | sort -u)
[ -n "$classes" ] || { echo "no classes found in the headers"; exit 1; }

# The layout of one class: field offsets with types and names, sizeof and
# alignment; the pointer to the vtable under one spelling.
record() {
    awk -v name="$2" '
        /\*\*\* Dumping AST Record Layout/ { inside = 0; first = 1; next }
        first { first = 0; if ($0 ~ "^ +0 \\| (class|struct) " name "$") { inside = 1; done[name]++ } }
        inside && done[name] == 1 { print }
        /nvalign=/ { inside = 0 }' "$1" |
        sed -E 's/vftable pointer/vtable pointer/; s/, dsize=[0-9]+//; /nvsize=/d; s/[ \t]+$//'
}

# The virtual functions of one class's vtable, in slot order.
slots() {
    awk -v name="$2" '
        /^(Vtable|VFTable) for / {
            q = "\047"
            inside = index($0, "for " q name q " (") || index($0, " in " q name q " (")
            tables += inside > 0
            next
        }
        /^$/ { inside = 0 }
        inside && $0 ~ /^ +[0-9]+ \| / { print }
        END { if (tables > 1) print "more than one vtable" }' "$1" |
        sed -E 's/^ +[0-9]+ \| //; /^offset_to_top|RTTI$/d; s/ \[(complete|deleting|scalar deleting|vector deleting)\]$//'
}

failed=0
for class in $classes; do
    gnu=$(record "$work/x86_64-w64-mingw32.dump" "$class")
    msvc=$(record "$work/x86_64-pc-windows-msvc.dump" "$class")
    if [ -z "$gnu" ] || [ -z "$msvc" ]; then
        echo "$class: no record layout; the probe must use every public class"; failed=1; continue
    fi
    if [ "$gnu" != "$msvc" ]; then
        echo "$class: record layouts differ (< MinGW, > Microsoft)"
        diff <(echo "$gnu") <(echo "$msvc") || true
        failed=1
    fi
    if grep -q '| *(.* vtable pointer)$' <<<"$gnu"; then
        gnu_slots=$(slots "$work/x86_64-w64-mingw32.dump" "$class")
        msvc_slots=$(slots "$work/x86_64-pc-windows-msvc.dump" "$class")
        if [ -z "$gnu_slots" ] || [ -z "$msvc_slots" ]; then
            echo "$class: no vtable layout; the probe must use a virtual member of it"; failed=1
        elif [ "$gnu_slots" != "$msvc_slots" ]; then
            echo "$class: vtable slots differ (< MinGW, > Microsoft)"
            diff <(echo "$gnu_slots") <(echo "$msvc_slots") || true
            failed=1
        fi
    fi
done
[ $failed = 0 ] && echo "same layouts: $(echo $classes)"
exit $failed
