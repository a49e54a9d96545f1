# Sourced by the tests of dist/: the build installed into $DIST in the work folder, and their shared checks.
. "$(dirname "${BASH_SOURCE[0]}")/script.sh"
export DIST=$work/dist
cmake --install "$build" --prefix "$DIST" >/dev/null

# The shell commands of one marked block of README.md.
readme_block() {
    sed -n "/^<!-- BEGIN $1 -->\$/,/^<!-- END $1 -->\$/p" "$src/README.md" | grep -v -e '^<!--' -e '^```' \
        || fail "README.md has no block $1"
}
dll_exports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
        | sed -n 's/^\s*\[ *[0-9]*\] //p' | sort -u
}
# The DLLs a program imports, then the functions it imports from Tolvane.dll, each sorted.
imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p' | sort
    x86_64-w64-mingw32-objdump -p "$1" | sed -n '/DLL Name: Tolvane.dll/,/^$/p' | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}' | sort
}
