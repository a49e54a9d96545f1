#!/bin/bash
# The public classes have the same record layouts (field offsets, sizes,
# alignment) and the polymorphic ones the same vtable slots under the MinGW
# and the Microsoft C++ ABI, as clang lays them out for both targets from the
# installed headers. A difference breaks Microsoft-ABI clients: a derived
# field in a base's tail padding, a virtual destructor, overloaded virtuals.
# And the client layout is pinned: client programs allocate these objects
# themselves, so each class's size, alignment, field offsets and vtable slots
# under both ABIs must equal tests/msvc/layouts.txt. Only a new major version
# may change it: UPDATE_LAYOUTS=1 then rewrites the file.
. "$(dirname "$0")/support/dist.sh"
include=$DIST/include
probe=${LAYOUT_PROBE:-$src/tests/msvc/LayoutProbe.cpp}

for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    clang++ --target=$target -fgnuc-version=4.2.1 -std=c++17 -c -o /dev/null \
        -Xclang -fdump-record-layouts -Xclang -fdump-vtable-layouts \
        -I"$include" -isystem "$src/tests/msvc/include" -isystem /usr/x86_64-w64-mingw32/include \
        "$probe" > "$work/$target.dump"
done

# The classes of the public headers.
classes=$(sed -nE 's/^(typedef )?(class|struct) (TOLVANE_API )?([A-Za-z_][A-Za-z0-9_]*)( |$).*/\4/p' "$include"/tolvane/*.h | sort -u)
[ -n "$classes" ] || fail "no classes found in the headers"

# The layout of one class: field offsets with types and names, sizeof and
# alignment; the pointer to the vtable under one spelling.
record() {
    awk -v name="$2" '
        /\*\*\* Dumping AST Record Layout/ { inside = 0; first = 1; next }
        first { first = 0; if ($0 ~ "^ +0 \\| (class|struct) (Tolvane::)?" name "$") { inside = 1; done[name]++ } }
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

# compare CLASS WHAT MINGW MICROSOFT: both found and the same.
failed=0
compare() {
    if [ -z "$3" ] || [ -z "$4" ]; then
        echo "$1: no $2; the probe must use every public class and a virtual member of each polymorphic one"
        failed=1
    elif [ "$3" != "$4" ]; then
        echo "$1: $2 differ (< MinGW, > Microsoft)"; diff <(echo "$3") <(echo "$4") || true
        failed=1
    fi
}
gnu=$work/x86_64-w64-mingw32.dump msvc=$work/x86_64-pc-windows-msvc.dump
for class in $classes; do
    layout=$(record "$gnu" "$class")
    compare "$class" "record layouts" "$layout" "$(record "$msvc" "$class")"
    if grep -q '| *(.* vtable pointer)$' <<<"$layout"; then
        compare "$class" "vtable slots" "$(slots "$gnu" "$class")" "$(slots "$msvc" "$class")"
    fi
done
# One line per class: size, alignment and its own fields (a member of class
# type is pinned by that class's line); one line per vtable.
pinned() {
    for class in $classes; do
        record "$1" "$class" | awk -v c="$class" '
            /^ +[0-9]+ \|   [^ ]/ { sub(/^ +/, ""); sub(/ \|   /, " "); fields = fields " | " $0 }
            /sizeof=/ { match($0, /sizeof=[0-9]+, align=[0-9]+/); size = substr($0, RSTART, RLENGTH) }
            END { print c ": " size fields }'
        slots "$1" "$class" | paste -sd'|' | sed -n "/./s/^/$class vtable: /p"
    done
}
golden=$src/tests/msvc/layouts.txt
[ "${UPDATE_LAYOUTS:-}" = 1 ] && pinned "$gnu" >"$golden"
for dump in "$gnu" "$msvc"; do
    pinned "$dump" | diff "$golden" - || { echo "the client layout differs from $golden ($(basename "$dump" .dump))"; failed=1; }
done
[ $failed = 0 ] && echo "same layouts, as pinned: $(echo $classes)"
exit $failed
