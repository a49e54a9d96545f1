#!/bin/bash
# The version resource of the installed Tolvane.dll, read back by a client
# with GetFileVersionInfoW/VerQueryValueW, carries the number of the
# installed Version.h and of the project; the PE image version agrees.
. "$(dirname "$0")/support/dist.sh"

project=$(sed -n 's/^project(Tolvane VERSION \([0-9.]*\) .*/\1/p' "$src/CMakeLists.txt")
[[ $project =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no x.y.z version in project()"
IFS=. read -r major minor patch <<<"$project"
header=$DIST/include/tolvane/Version.h
for expected in "TOLVANE_VERSION_MAJOR $major" "TOLVANE_VERSION_MINOR $minor" \
        "TOLVANE_VERSION_PATCH $patch" "TOLVANE_VERSION_STRING \"$project\""; do
    grep -qx "#define $expected" "$header" || fail "Version.h lacks #define $expected"
done

mkdir "$work/client"
cd "$work/client"
x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -I"$DIST/include" \
    "$src/tests/scripts/client/version_client.cpp" "$DIST/lib/libTolvane.dll.a" -lversion -static \
    -o version_client.exe
cp "$DIST/bin/Tolvane.dll" .
out=$(wine_run ./version_client.exe) || { status=$?; echo "$out"; fail "version_client.exe exited with $status"; }
echo "$out"
for expected in "header=$project $major.$minor.$patch" \
        "fixed file=$major.$minor.$patch.0 product=$major.$minor.$patch.0" \
        "FileVersion=$project" "ProductVersion=$project" "ProductName=Tolvane" \
        "OriginalFilename=Tolvane.dll"; do
    grep -qxF "$expected" <<<"$out" || fail "expected: $expected"
done
grep -qE '^FileDescription=.+' <<<"$out" || fail "no description"
grep -qE '^LegalCopyright=Copyright .+' <<<"$out" || fail "no copyright"

pe=$(x86_64-w64-mingw32-objdump -p "$DIST/bin/Tolvane.dll")
grep -qE "^MajorImageVersion\s+$major$" <<<"$pe" && grep -qE "^MinorImageVersion\s+$minor$" <<<"$pe" \
    || fail "PE image version is not $major.$minor"
