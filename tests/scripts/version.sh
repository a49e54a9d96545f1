#!/bin/bash
# The version resource of the installed Tolvane.dll, read back by a client with
# GetFileVersionInfoW/VerQueryValueW, carries the number of the installed Version.h and of the project;
# the PE image version agrees.
. "$(dirname "$0")/support/dist.sh"
version=$(project_version)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no x.y.z version in project()"
IFS=. read -r major minor patch <<<"$version"
for expected in "TOLVANE_VERSION_MAJOR $major" "TOLVANE_VERSION_MINOR $minor" \
        "TOLVANE_VERSION_PATCH $patch" "TOLVANE_VERSION_STRING \"$version\""; do
    grep -qx "#define $expected" "$DIST/include/tolvane/Version.h" || fail "Version.h lacks #define $expected"
done

x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$DIST/include" "$src/tests/scripts/client/version_client.cpp" \
    "$DIST/lib/libTolvane.dll.a" -lversion -static -o "$DIST/bin/version_client.exe"
out=$(wine_run "$DIST/bin/version_client.exe") || { echo "$out"; fail "version_client.exe exited with an error"; }
echo "$out"
for expected in "header=$version $major.$minor.$patch" "fixed file=$major.$minor.$patch.0 product=$major.$minor.$patch.0" \
        "FileVersion=$version" "ProductVersion=$version" "ProductName=Tolvane" "OriginalFilename=Tolvane.dll"; do
    grep -qxF "$expected" <<<"$out" || fail "expected: $expected"
done
grep -qE '^FileDescription=.+' <<<"$out" || fail "no description"
grep -qE '^LegalCopyright=Copyright .+' <<<"$out" || fail "no copyright"

pe=$(x86_64-w64-mingw32-objdump -p "$DIST/bin/Tolvane.dll")
grep -qE "^MajorImageVersion\s+$major$" <<<"$pe" && grep -qE "^MinorImageVersion\s+$minor$" <<<"$pe" \
    || fail "PE image version is not $major.$minor"
