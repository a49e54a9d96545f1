#!/bin/bash
# The client layout is pinned: client programs allocate the public classes themselves, so each class's
# size, alignment, field offsets and vtable slots, as clang lays them out from the installed headers under
# the MinGW and under the Microsoft C++ ABI, must both equal tests/msvc/layouts.txt. A difference between
# the ABIs (a derived field in a base's tail padding, a virtual destructor, overloaded virtuals) breaks
# Microsoft-ABI clients. Only a new major version may change the file: UPDATE_LAYOUTS=1 rewrites it.
. "$(dirname "$0")/support/dist.sh"
include=$DIST/include
for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    clang++ --target=$target -fgnuc-version=4.2.1 -std=c++17 -c -o /dev/null \
        -Xclang -fdump-record-layouts -Xclang -fdump-vtable-layouts \
        -I"$include" -isystem "$src/tests/msvc/include" -isystem /usr/x86_64-w64-mingw32/include \
        "${LAYOUT_PROBE:-$src/tests/msvc/LayoutProbe.cpp}" > "$work/$target.dump"
done
classes=$(sed -nE 's/^(typedef )?(class|struct) (TOLVANE_API )?([A-Za-z_][A-Za-z0-9_]*)( |$).*/\4/p' "$include"/tolvane/*.h | sort -u)
[ -n "$classes" ] || fail "no classes found in the headers"

# The layout of one class (the vtable pointer under one spelling).
record() {
    awk -v name="$2" '
        /\*\*\* Dumping AST Record Layout/ { inside = 0; first = 1; next }
        first { first = 0; if ($0 ~ "^ +0 \\| (class|struct) (Tolvane::)?" name "$") { inside = 1; done[name]++ } }
        inside && done[name] == 1 { print }
        /nvalign=/ { inside = 0 }' "$1" | sed -E 's/vftable pointer/vtable pointer/; s/, dsize=[0-9]+//'
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
# One line per class: size, alignment and its own fields (a member of class type is pinned by that
# class's line); one line per vtable. A class that the probe does not use has no size.
pinned() {
    for class in $classes; do
        record "$1" "$class" | awk -v c="$class" '
            /^ +[0-9]+ \|   [^ ]/ { sub(/^ +/, ""); sub(/ \|   /, " "); sub(/[ \t]+$/, ""); fields = fields " | " $0 }
            /sizeof=/ { match($0, /sizeof=[0-9]+, align=[0-9]+/); size = substr($0, RSTART, RLENGTH) }
            END { print c ": " size fields }'
        slots "$1" "$class" | paste -sd'|' | sed -n "/./s/^/$class vtable: /p"
    done
}
golden=$src/tests/msvc/layouts.txt
[ "${UPDATE_LAYOUTS:-}" = 1 ] && pinned "$work/x86_64-w64-mingw32.dump" >"$golden"
failed=0
for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    pinned "$work/$target.dump" | diff "$golden" - || { echo "the $target layout differs from $golden"; failed=1; }
done
[ $failed = 0 ] && echo "same layouts, as pinned: $(echo $classes)"
exit $failed
