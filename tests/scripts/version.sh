#!/bin/bash
# The version resource and PE image version of the installed Tolvane.dll against project() (Version.h's macros:
# what the examples print in dist_and_client.sh).
. "$(dirname "$0")/support/dist.sh"
IFS=. read -r major minor patch <<<"$(project_version)"
version=$major.$minor.$patch
resource=$({ x86_64-w64-mingw32-windres -i "$DIST/bin/Tolvane.dll" -O rc | sed -n '/VERSIONINFO$/,$p'
             x86_64-w64-mingw32-objdump -p "$DIST/bin/Tolvane.dll"; } | sed 's/^\s*//; s/\s\+/ /g')
for expected in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" 'VALUE "Translation", 0x409, 1200' \
        "MajorImageVersion $major" "MinorImageVersion $minor"; do
    grep -qxF "$expected" <<<"$resource" || fail "the resource or the PE header lacks: $expected"
done
for expected in "FileVersion\", \"$version" "ProductVersion\", \"$version" 'ProductName", "Tolvane' 'OriginalFilename", "Tolvane.dll' \
        'FileDescription", ".+' 'LegalCopyright", "Copyright .+'; do
    sed -n '/^BLOCK "040904b0"$/,/^END$/p' <<<"$resource" | grep -qxE "VALUE \"$expected\"" || fail "the US English strings lack: $expected"
done
