#!/bin/bash
# make demo: lays out a sandbox installation of the client from dist/ (the
# library, the driver interface library, the resource libraries and the
# language list), configures it in the registry of the build's Wine prefix,
# runs the sample scanner over a folder of sample files, and shows what
# the library produced: the driver requests, the log files, the summary
# file and the opened help.
set -eu
build=$(realpath "$1") dist=$(realpath "$2")
# Runs under tools/with-wine.sh, which boots the build's Wine prefix and
# exports WINEPREFIX.
run() { wine "$@" 2>/dev/null | tr -d '\r'; }
win() { local p=$1; echo "Z:${p//\//\\}"; }
reg() { run reg "$@" >/dev/null; }

sandbox=$build/demo-sandbox
rm -rf "$sandbox"
install=$sandbox/Orbisk scan=$sandbox/scan bin=$sandbox/bin upload=$sandbox/upload
mkdir -p "$install" "$scan/documents" "$scan/temp" "$scan/archive/old" "$bin"
product="$WINEPREFIX/drive_c/Program Files/Tavrel/Halvane"
cp -r "$dist/samples/." "$install/"
# The help file is a document, not a program: the shell opens it with the
# handler of ".chm" files, which the demo sets to its stand-in viewer.
printf 'ITSF: stand-in compiled help\r\n' > "$install/Agent/qxhelp.chm"
cp "$dist/bin/Tolvane.dll" "$dist/demo/scanner.exe" "$dist/demo/helpviewer.exe" "$bin/"

# Files to scan: two carry the demo signature, one of them in an excluded folder.
printf 'quarterly figures\r\n' > "$scan/documents/report.txt"
printf 'X5O-TOLVANE-DEMO-SIGNATURE-TEST-FILE\r\n' > "$scan/documents/invoice.exe"
printf 'scratch\r\n' > "$scan/temp/build.tmp"
printf 'TOLVANE-DEMO-SIGNATURE in a skipped file\r\n' > "$scan/temp/cache.bak"
printf 'old data\r\n' > "$scan/archive/old/data.bin"
printf 'pagefile\r\n' > "$scan/pagefile.sys"

root='HKLM\SOFTWARE\Tavrel\Orbisk'
exclusions='SOFTWARE\Tavrel\Orbisk\OnDemandScan'
chm_type=$(run reg query 'HKCR\.chm' /ve | sed -n 's/.*REG_SZ *//p')
cleanup() {
    reg delete "$root" /f || true; rm -rf "$product"
    reg delete 'HKCR\tolvanedemo.chm' /f || true
    if [ -n "$chm_type" ]; then reg add 'HKCR\.chm' /ve /d "$chm_type" /f; else reg delete 'HKCR\.chm' /f || true; fi
}
trap cleanup EXIT
cleanup
reg add 'HKCR\.chm' /ve /d tolvanedemo.chm /f
reg add 'HKCR\tolvanedemo.chm\shell\open\command' /ve /d "\"$(win "$bin")\\helpviewer.exe\" \"%1\"" /f
# The agent and on-access scanner files whose versions the report shows.
mkdir -p "$product/Agent" "$product/Kelmo"
cp "$dist/samples/Agent/zeAgtSvc.exe" "$product/Agent/"
cp "$dist/samples/Kelmo/zeOnAcc.dll" "$product/Kelmo/"
reg add "$root" /v szInstallDir /t REG_SZ /d "$(win "$install")" /f
reg add "$root\\zeSSCM\\OnAccess" /v dwAttrib /t REG_DWORD /d 0 /f
reg add "$root\\zeSSCM\\Murmel" /v dwAttrib /t REG_DWORD /d 1 /f
reg add "$root\\Log" /v bDebugEnable /t REG_DWORD /d 1 /f
reg add "$root\\Agent\\SubSystems\\zeUpload\\Configuration" /v szUploadFrom /t REG_SZ /d "$(win "$upload")" /f
reg add "$root\\Agent" /v szCompanyKey /t REG_SZ /d 'Demo Company' /f
reg add "$root\\Agent" /v dwGroupID /t REG_DWORD /d 42 /f
reg add "$root\\Agent" /v szEmailAddress /t REG_SZ /d 'scan.admin@example.com' /f
reg add "$root\\Pelorin" /v EngineVer /t REG_SZ /d '5400.1158' /f
reg add "$root\\Pelorin" /v AvDatVer /t REG_SZ /d '6071.0000' /f
reg add "$root\\Pelorin" /v AvDatDate /t REG_SZ /d '2026/12/01' /f
reg add "HKLM\\$exclusions" /v szExclude1 /t REG_SZ /d '*.tmp;*.bak' /f
reg add "HKLM\\$exclusions" /v szExclude2 /t REG_SZ /d "$(win "$scan")\\archive\\*" /f

echo "== Sandbox installation: $install"
echo "== Running the sample scanner"
export TRENNIX_RECORD
TRENNIX_RECORD=$(win "$sandbox/trennix-calls.txt")
(cd "$bin" && run ./scanner.exe "$(win "$scan")" "$exclusions" "$(win "$sandbox/summary.txt")")
sleep 1   # the help viewer is started without waiting for it

echo
echo "== Requests the driver interface library received"
tr -d '\r' < "$sandbox/trennix-calls.txt"
echo
echo "== Scan report in the upload folder"
for f in "$upload"/*; do
    [ -e "$f" ] || { echo "(no report)"; continue; }
    echo "-- $(basename "$f")"
    tr -d '\r' < "$f"
    if xmllint --noout "$f"; then echo "-- xmllint: well-formed XML"; else echo "-- xmllint: NOT well-formed"; fi
done
echo
echo "== Summary file written with special access rights"
tr -d '\r' < "$sandbox/summary.txt"
echo
echo "== Help"
if [ -f "$install/Agent/help-opened.txt" ]; then tr -d '\r' < "$install/Agent/help-opened.txt"; echo; else echo "(help not opened)"; fi
echo
echo "== Log files in the installation folder"
for f in "$install"/*.log; do
    [ -e "$f" ] || continue
    echo "-- $(basename "$f") ($(wc -l < "$f") lines; last 8)"
    tail -n 8 "$f" | tr -d '\r'
done
echo
echo "Sandbox left in $sandbox for inspection."
