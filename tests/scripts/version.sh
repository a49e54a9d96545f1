#!/bin/bash
# The version resource of the installed Tolvane.dll (as windres reads it back) carries the number of the
# installed Version.h and of the project in its fixed part and in the string table that
# VerQueryValueW looks up for US English; the PE image version agrees. Reading the resource through
# GetFileVersionInfoW is the demo scanner's, checked by dist_and_client.sh.
. "$(dirname "$0")/support/dist.sh"
version=$(project_version)
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "no x.y.z version in project()"
IFS=. read -r major minor patch <<<"$version"
for expected in "TOLVANE_VERSION_MAJOR $major" "TOLVANE_VERSION_MINOR $minor" \
        "TOLVANE_VERSION_PATCH $patch" "TOLVANE_VERSION_STRING \"$version\""; do
    grep -qx "#define $expected" "$DIST/include/tolvane/Version.h" || fail "Version.h lacks #define $expected"
done

resource=$(x86_64-w64-mingw32-windres -i "$DIST/bin/Tolvane.dll" -O rc | sed -n '/VERSIONINFO$/,$p' | sed 's/^ *//')
echo "$resource"
strings=$(sed -n '/^BLOCK "040904b0"$/,/^END$/p' <<<"$resource")
for expected in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" \
        'VALUE "Translation", 0x409, 1200'; do
    grep -qxF "$expected" <<<"$resource" || fail "the resource lacks: $expected"
done
for expected in "\"FileVersion\", \"$version\"" "\"ProductVersion\", \"$version\"" '"ProductName", "Tolvane"' \
        '"OriginalFilename", "Tolvane.dll"' '"FileDescription", ".+"' '"LegalCopyright", "Copyright .+"'; do
    grep -qxE "VALUE $expected" <<<"$strings" || fail "the US English strings lack: $expected"
done

pe=$(x86_64-w64-mingw32-objdump -p "$DIST/bin/Tolvane.dll")
grep -qE "^MajorImageVersion\s+$major$" <<<"$pe" && grep -qE "^MinorImageVersion\s+$minor$" <<<"$pe" \
    || fail "PE image version is not $major.$minor"
