#!/bin/bash
# A separate project finds the installed library with find_package(Tolvane 1.0 CONFIG REQUIRED), builds
# the example client with the MinGW-w64 toolchain file into a program that imports no runtime DLL and
# whose calls all succeed under Wine. The pkg-config file builds the same program without CMake.
. "$(dirname "$0")/support/dist.sh"
version=$(project_version)
for file in lib/cmake/Tolvane/TolvaneConfig.cmake lib/cmake/Tolvane/TolvaneConfigVersion.cmake lib/pkgconfig/tolvane.pc; do
    [ -f "$DIST/$file" ] || fail "$file not installed"
done
configure_installation
check_consumer() {
    local out
    check_no_runtime_imports "$1/consumer.exe"
    cp "$DIST/bin/Tolvane.dll" "$1/"
    out=$(wine_run "$1/consumer.exe") || { echo "$out"; fail "$1/consumer.exe exited with an error"; }
    echo "$out"
    grep -qx "Tolvane headers $version" <<<"$out" && grep -qx 'all calls succeeded' <<<"$out" || fail "unexpected output"
}

cmake -S "$src/tests/consumer" -B "$work/consumer" -G Ninja -DCLIENT_SOURCE="$DIST/examples/client.cpp" \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$DIST" \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "find_package(Tolvane 1.0) failed"; }
cmake --build "$work/consumer" >"$work/build.log" 2>&1 || { cat "$work/build.log"; fail "consumer build failed"; }
check_consumer "$work/consumer"

export PKG_CONFIG_PATH=$DIST/lib/pkgconfig
[ "$(pkg-config --modversion tolvane)" = "$version" ] || fail "tolvane.pc has another version"
mkdir "$work/pc"
# shellcheck disable=SC2046
x86_64-w64-mingw32-g++-posix -std=c++17 $(pkg-config --cflags tolvane) "$DIST/examples/client.cpp" \
    $(pkg-config --libs tolvane) -o "$work/pc/consumer.exe" || fail "build with pkg-config failed"
check_consumer "$work/pc"
