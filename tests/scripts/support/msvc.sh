# Sourced after dist.sh by the tests of Microsoft-ABI clients.
# build_msvc_program OUT UNIT...: tests/msvc/UNIT.cpp... built by clang for the Microsoft ABI and lld-link from the
# installed headers and Tolvane.lib, without a C runtime (NoRuntime.cpp); C++ exceptions are vcruntime140.dll's.
build_msvc_program() {
    local out=$1 unit objects=() mingw=/usr/x86_64-w64-mingw32
    printf '%s\n' 'LIBRARY vcruntime140.dll' EXPORTS __CxxFrameHandler3 __C_specific_handler __std_terminate memset memcpy \
        > "$work/vcruntime140.def" && llvm-dlltool -m i386:x86-64 -d "$work/vcruntime140.def" -l "$work/vcruntime140.lib"
    for unit in "${@:2}"; do
        clang++ --target=x86_64-pc-windows-msvc -fgnuc-version=4.2.1 -std=c++17 -O2 -fexceptions -fcxx-exceptions \
            -fms-extensions -Wall -Wextra -Werror -I"$DIST/include" -isystem "$src/tests/msvc/include" \
            -isystem "$mingw/include" -c "$src/tests/msvc/$unit.cpp" -o "$work/$unit.obj"
        objects+=("$work/$unit.obj")
    done
    lld-link /nologo /entry:Start /subsystem:console /nodefaultlib /out:"$out" \
        "${objects[@]}" "$DIST/lib/Tolvane.lib" "$work/vcruntime140.lib" "$mingw/lib/libkernel32.a"
}
