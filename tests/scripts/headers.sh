#!/bin/bash
# The installed headers: each compiles alone (C++11/17, GCC and clang, the C ones as C99) without a warning;
# all a client can call is exported; every global name is the library's.
. "$(dirname "$0")/support/dist.sh"
strict=(-Wall -Wextra -pedantic -Werror -fsyntax-only -I"$DIST/include")
mapfile -t headers < <(cd "$DIST/include" && find . -name '*.h' | sed 's|^\./||' | sort)
[ ${#headers[@]} -ge 12 ] || fail "only ${#headers[@]} headers installed"
# clang with the C++ library's and the platform's headers, not GCC's own (it warns about more, e.g. unused
# private fields).
clang_args=(--target=x86_64-w64-mingw32 -nostdinc++ -fsyntax-only -I"$DIST/include")
for dir in $(x86_64-w64-mingw32-g++-posix -std=c++17 -E -x c++ - -v </dev/null 2>&1 | sed -n '/#include <...> search starts here:/,/End of search list/s/^ //p' \
        | grep -v -e '/gcc/x86_64-w64-mingw32/[^/]*/include$' -e 'include-fixed'); do clang_args+=(-isystem "$dir"); done
for header in "${headers[@]}"; do
    for compiler in x86_64-w64-mingw32-g++-posix "clang++ ${clang_args[*]}"; do for std in c++11 c++17; do
        echo "#include <$header>" | $compiler -std=$std "${strict[@]}" -x c++ - || fail "$header does not compile alone as $std: ${compiler%% *}"
    done; done
done
for header in tolvane.h tolvane/Api.h tolvane/Functions.h tolvane/Log.h tolvane/Version.h; do
    printf '#include <%s>\ntypedef int translation_unit_not_empty;\n' "$header" \
        | x86_64-w64-mingw32-gcc-posix -std=c99 "${strict[@]}" -x c - || fail "$header does not compile as C99"
done

# The top-level declarations of the installed headers in clang's syntax tree (the dump names a file only
# where it changes, so the current file is carried along).
printf '#include <%s>\n' "${headers[@]}" > "$work/all.cpp"
clang++ "${clang_args[@]}" -std=c++17 -Xclang -ast-dump "$work/all.cpp" | awk -v dir="$DIST/include/" '
    { for (rest = $0; match(rest, /[<, ]([^ <>,]+):[0-9]+:[0-9]+/); rest = substr(rest, RSTART + RLENGTH)) {
          f = substr(rest, RSTART + 1, RLENGTH - 1); sub(/:[0-9]+:[0-9]+$/, "", f); if (f != "line" && f != "col") file = f } }
    index(file, dir) == 1' > "$work/declarations.txt"
grep '^[|`]-' "$work/declarations.txt" > "$work/toplevel.txt" || fail "no declarations found in the installed headers"
classes=$(sed -n 's/^[|`]-CXXRecordDecl .* \(class\|struct\) \([A-Za-z_0-9]*\) definition$/\2/p' "$work/toplevel.txt" | sort -u)
! grep -vE '^[|`]-(CXXRecordDecl .* (class|struct) C[A-Za-z]* definition$|NamespaceDecl .* Tolvane$|LinkageSpecDecl )' \
    "$work/toplevel.txt" | grep -vE "[ :](TOLVANE_|Tolvane|tolvane)[A-Za-z_0-9]* '" || fail "global names above lack the library's prefix"

# What a client can call: the members declared and not defined in the classes, and the extern "C" functions.
for class in $classes; do
    clang++ "${clang_args[@]}" -std=c++17 -Xclang -ast-dump=json -Xclang -ast-dump-filter -Xclang "$class" "$work/all.cpp" \
        | jq -r --arg class "$class" 'select(.kind == "CXXRecordDecl" and .name == $class and .completeDefinition) | .inner[]?
            | select((.kind | test("^CXX(Method|Constructor|Destructor|Conversion)Decl$")) and (.isImplicit | not) and
                     (.explicitlyDeleted | not) and (.virtual | not) and all(.inner[]?; .kind != "CompoundStmt")) | .mangledName'
done > "$work/callable.txt"
sed -n "s/^[|\`] [|\`]-FunctionDecl .* \([A-Za-z_][A-Za-z_0-9]*\) '.*/\1/p" "$work/declarations.txt" >> "$work/callable.txt"
sort -u -o "$work/callable.txt" "$work/callable.txt"
[ -s "$work/callable.txt" ] || fail "no callable member found"
! comm -23 "$work/callable.txt" <(dll_exports "$DIST/bin/Tolvane.dll") | grep . || fail "the members above are declared for clients but not exported"
