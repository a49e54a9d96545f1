#!/bin/bash
# Clients allocate the public classes themselves: their layouts and vtables, under the MinGW and the Microsoft
# C++ ABI, must both equal tests/msvc/layouts.txt (UPDATE_LAYOUTS=1 rewrites it: for a new major version only).
. "$(dirname "$0")/support/dist.sh"
classes=$(sed -nE 's/^(typedef )?(class|struct) (TOLVANE_API )?([A-Za-z_][A-Za-z0-9_]*)( |$).*/\4/p' "$DIST"/include/tolvane/*.h | sort -u)
# A unit that makes the compiler lay out every class and the vtables: a call through the base, and a pointer
# to a virtual member of the final class (whose calls would otherwise be resolved without its vtable).
{ printf '#include <tolvane.h>\nusing namespace Tolvane;\n'; for class in $classes; do echo "unsigned size$class = sizeof($class);"; done
  echo 'int CallThroughReportBase(CReportBase* report) { return report->WriteReport(nullptr); }'
  echo 'int (CScnXml::*scanReportInit)(const unsigned short*) = &CScnXml::Init;'; } > "$work/probe.cpp"

# One line per class: size, alignment and its own fields (a member of class type is pinned by that class's
# line; a class that the probe does not use has no size); one line per vtable, its slots in order.
pinned() {
    clang++ --target="$1" -fgnuc-version=4.2.1 -std=c++17 -c -o /dev/null -Xclang -fdump-record-layouts \
        -Xclang -fdump-vtable-layouts -I"$DIST/include" -isystem "$src/tests/msvc/include" \
        -isystem /usr/x86_64-w64-mingw32/include "$work/probe.cpp" | awk -v classes="$classes" '
        BEGIN { n = split(classes, list, /\n/); q = "\047" }
        /\*\*\* Dumping AST Record Layout/ { header = 1; next }
        header { header = 0; record = $NF; sub(/^Tolvane::/, "", record)   # the first layout of each class
                 if ($0 !~ /^ +0 \| (class|struct) / || record in size) record = ""; else size[record] = ""; next }
        record != "" && /^ +[0-9]+ \|   [^ ]/ { f = $0; sub(/^ +/, "", f); sub(/ \|   /, " ", f); sub(/[ \t]+$/, "", f)
                                             sub(/vftable pointer/, "vtable pointer", f); fields[record] = fields[record] " | " f }
        record != "" && match($0, /sizeof=[0-9]+, (dsize=[0-9]+, )?align=[0-9]+/) {
            size[record] = substr($0, RSTART, RLENGTH); sub(/dsize=[0-9]+, /, "", size[record]) }
        /nvalign=/ { record = "" }
        /^(Vtable|VFTable) for / { vtable = ""
            for (i = 1; i <= n; i++) if (index($0, "for " q list[i] q " (") || index($0, " in " q list[i] q " (")) vtable = list[i]
            tables[vtable]++; next }
        /^$/ { vtable = "" }
        vtable != "" && /^ +[0-9]+ \| / && !/offset_to_top|RTTI$/ { s = $0; sub(/^ +[0-9]+ \| /, "", s)
            sub(/ \[(complete|deleting|scalar deleting|vector deleting)\]$/, "", s); slots[vtable] = slots[vtable] "|" s }
        END { for (i = 1; i <= n; i++) { c = list[i]; print c ": " size[c] fields[c]
                  if (slots[c] != "") print c " vtable: " (tables[c] > 1 ? "more than one vtable" : substr(slots[c], 2)) } }'
}
golden=$src/tests/msvc/layouts.txt
[ "${UPDATE_LAYOUTS:-}" = 1 ] && pinned x86_64-w64-mingw32 >"$golden"
for target in x86_64-w64-mingw32 x86_64-pc-windows-msvc; do
    pinned $target | diff "$golden" - || fail "the $target layout differs from $golden"
done
