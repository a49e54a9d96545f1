#!/bin/bash
# The README's quick start, run as written from a folder that holds a fresh dist/, in a Wine prefix of
# its own: dist/config/minimal-install.reg imported with "regedit /s" is all the example client of
# dist/examples needs (it exits 0, its scan report is in the upload folder, its log lines in the
# installation folder), and the checker names the sample ini's sections for Wexmoor.Info.
set -euo pipefail
build=$(realpath "$1") source=$(realpath "$2") work="$(realpath "$1")/readme-quickstart-test"
fail() { echo "FAILED: $*"; [ -f "$work/run.log" ] && tr -d '\r' <"$work/run.log"; exit 1; }
prefix=$work/tolvane-try   # the prefix the README's commands create
cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work"; mkdir -p "$work"
cmake --install "$build" --prefix "$work/dist" >/dev/null

# The shell commands of one marked block of the README, without the markers and fences.
block() {
    sed -n "/^<!-- BEGIN $1 -->\$/,/^<!-- END $1 -->\$/p" "$source/README.md" | grep -v -e '^<!--' -e '^```'
}
for name in quick-start-setup link-recipe quick-start-config quick-start-run; do
    [ -n "$(block "$name")" ] || fail "the README has no block $name"
done
{
    echo 'set -euxo pipefail'
    block quick-start-setup
    block link-recipe
    block quick-start-config
    block quick-start-run
} >"$work/quickstart.sh"

# Wine's processes of the new prefix must not hold the test runner's pipes.
(cd "$work" && env -u WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    setsid bash "$work/quickstart.sh" </dev/null >"$work/run.log" 2>&1) || fail "the quick start failed:"
run=$(tr -d '\r' <"$work/run.log")

export WINEPREFIX=$prefix WINEDEBUG=-all
for value in 'Orbisk /v szInstallDir' 'Orbisk\Agent\SubSystems\zeUpload\Configuration /v szUploadFrom' \
             'Orbisk\zeSSCM /v dwAttrib' 'Orbisk\zeSSCM\OnAccess /v dwAttrib' 'Orbisk\zeSSCM\Murmel /v dwAttrib' \
             'Orbisk\OnDemandScan /v szExclude1'; do
    # shellcheck disable=SC2086
    wine reg query "HKLM\\SOFTWARE\\Tavrel\\"$value >/dev/null 2>&1 </dev/null || fail "not imported: $value"
done
grep -qxF '  -> [main] file C:\Program Files\Tavrel\Orbisk\zeAgent.log' <<<"$run" || fail "no route to the main log"
grep -qxF '  -> [debugger] debugger' <<<"$run" || fail "no route to the debugger"
[ "$(grep -c '^  -> ' <<<"$run")" -eq 2 ] || fail "Wexmoor.Info takes other routes"

install="$prefix/drive_c/Program Files/Tavrel/Orbisk"
ls "$install/Upload/"CIO*.Xml >/dev/null 2>&1 || fail "no scan report in the upload folder"
grep -q . "$install/zeAgent.log" 2>/dev/null || fail "no log lines in the installation folder"
echo "the README's quick start ran as written; the example client succeeded against the minimal registry"
