#!/bin/bash
# The link commands of README.md, run as written against dist/, build the
# C++ example client (try/catch, a thread, std::string) and the C client into
# programs that import no runtime DLL and run under Wine: the C++ client
# writes its scan report with both detections.
. "$(dirname "$0")/support/dist.sh"

build_readme_recipe

for exe in client.exe client_c.exe; do
    [ -f "$work/client/$exe" ] || fail "the recipe built no $exe"
    check_no_runtime_imports "$work/client/$exe"
done
[ -f "$work/client/Tolvane.dll" ] || fail "the recipe does not put Tolvane.dll beside the programs"

configure_installation
out=$(cd "$work/client" && wine_run ./client.exe) || { status=$?; echo "$out"; fail "client.exe exited with $status"; }
echo "$out"
grep -qx 'all calls succeeded' <<<"$out" || fail "client.exe reports a failed call"
grep -qx "Tolvane headers $(sed -n 's/.*TOLVANE_VERSION_STRING "\(.*\)"/\1/p' "$DIST/include/tolvane/Version.h")" <<<"$out" \
    || fail "client.exe does not print the headers' version"

reports=("$work"/upload/CIO*.Xml)
[ ${#reports[@]} -eq 1 ] && [ -f "${reports[0]}" ] || fail "no single final report in the upload folder"
for expected in '<VirusName value="W32/Example.A"/>' '<VirusName value="Example.Spy"/>' \
        '<FilesInfected value="2"/>'; do
    grep -qF "$expected" "${reports[0]}" || fail "report lacks $expected"
done
