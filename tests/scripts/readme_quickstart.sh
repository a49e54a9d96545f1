#!/bin/bash
# The README's quick start, run as written from a folder that holds a fresh dist/, in a Wine prefix of
# its own: dist/config/minimal-install.reg imported with "regedit /s" is all the example client of
# dist/examples needs (it exits 0, its scan report is in the upload folder, its log lines in the
# installation folder), and the checker names the sample ini's sections for Wexmoor.Info.
. "$(dirname "$0")/support/dist.sh"
prefix=$work/tolvane-try   # the prefix the README's commands create
on_exit "WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1"
{
    echo 'set -euxo pipefail'
    for name in quick-start-setup link-recipe quick-start-config quick-start-run; do readme_block $name; done
} >"$work/quickstart.sh"

# Wine's processes of the new prefix must not hold the test runner's pipes.
(cd "$work" && env -u WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    setsid bash "$work/quickstart.sh" </dev/null >"$work/run.log" 2>&1) || { cat "$work/run.log"; fail "the quick start failed"; }
run=$(tr -d '\r' <"$work/run.log")
echo "$run"

# The switches and the scanner key of the imported file, as the example client and the registry see them.
for line in 'switches: on-access scanner on, peer update on' \
            'exclusions: 3 items from SOFTWARE\Tavrel\Orbisk\OnDemandScan' 'excluded 1: C:\Windows\Temp\scan.tmp'; do
    grep -qxF "$line" <<<"$run" || fail "the example client does not print: $line"
done
WINEPREFIX=$prefix WINEDEBUG=-all wine reg query 'HKLM\SOFTWARE\Tavrel\Orbisk\zeSSCM' /v dwAttrib >/dev/null 2>&1 </dev/null \
    || fail "not imported: the zeSSCM switch"
grep -qxF '  -> [main] file C:\Program Files\Tavrel\Orbisk\zeAgent.log' <<<"$run" || fail "no route to the main log"
grep -qxF '  -> [debugger] debugger' <<<"$run" || fail "no route to the debugger"
[ "$(grep -c '^  -> ' <<<"$run")" -eq 2 ] || fail "Wexmoor.Info takes other routes"

install="$prefix/drive_c/Program Files/Tavrel/Orbisk"
ls "$install/Upload/"CIO*.Xml >/dev/null 2>&1 || fail "no scan report in the upload folder"
grep -q . "$install/zeAgent.log" 2>/dev/null || fail "no log lines in the installation folder"
echo "the README's quick start ran as written; the example client succeeded against the minimal registry"
