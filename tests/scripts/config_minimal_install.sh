#!/bin/bash
# dist/config/minimal-install.reg imported with "regedit /s" into a fresh Wine prefix is all the example
# client of dist/examples needs: built as the README links it, it exits 0, writes its scan report into
# the upload folder and logs into the installation folder.
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") work="$(realpath "$1")/config-minimal-test"
fail() { echo "FAILED: $*"; exit 1; }
rm -rf "$work"; mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/dist" >/dev/null
dist=$work/dist
reg_file=$dist/config/minimal-install.reg
[ -f "$reg_file" ] || fail "dist/config/minimal-install.reg is not installed"
client=${TOLVANE_EXAMPLE_CLIENT:-$dist/examples/client.cpp}

# The fresh prefix gets its own wineserver, stopped by with-wine.sh also on failure.
"$source/tools/with-wine.sh" "$work/prefix" bash -s "$dist" "$client" <<'INNER' || exit 1
set -euo pipefail
dist=$1 client=$2
fail() { echo "FAILED: $*"; exit 1; }
run() { wine "$@" | tr -d '\r'; }
wine regedit /s "$(printf 'Z:%s' "$dist/config/minimal-install.reg" | tr / '\\')"
for value in 'Orbisk /v szInstallDir' 'Orbisk\Agent\SubSystems\zeUpload\Configuration /v szUploadFrom' \
             'Orbisk\zeSSCM /v dwAttrib' 'Orbisk\zeSSCM\OnAccess /v dwAttrib' 'Orbisk\zeSSCM\Murmel /v dwAttrib' \
             'Orbisk\OnDemandScan /v szExclude1'; do
    # shellcheck disable=SC2086
    run reg query "HKLM\\SOFTWARE\\Tavrel\\"$value >/dev/null || fail "not imported: $value"
done
install="$WINEPREFIX/drive_c/Program Files/Tavrel/Orbisk"
mkdir -p "$install"
if [ ! -f "$client" ]; then
    echo "the registry imports; no example client in dist/examples to run against it"
    exit 0
fi
mkdir -p "$WINEPREFIX/client"
x86_64-w64-mingw32-g++-posix -std=c++17 -I"$dist/include" "$client" "$dist/lib/libTolvane.dll.a" -static \
    -o "$WINEPREFIX/client/client.exe"
cp "$dist/bin/Tolvane.dll" "$WINEPREFIX/client/"
(cd "$WINEPREFIX/client" && run ./client.exe) || fail "the example client failed against the minimal registry"
ls "$install/Upload/"*.Xml >/dev/null 2>&1 || fail "no scan report in the upload folder"
[ -s "$install/zeAgent.log" ] || fail "no log in the installation folder"
echo "the example client ran against the minimal registry"
INNER
