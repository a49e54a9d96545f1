#!/bin/bash
# A client built with the Microsoft C++ ABI (clang for x86_64-pc-windows-msvc, linked by lld-link) from
# the installed headers and dist/lib/Tolvane.lib uses every member of the exported classes under Wine:
# exclusion answers, the exception (also raised from a virtual member reached through the vtable, and
# raised again inside a handler), the driver requests and the reports on disk (the driver records
# themselves are compared by the unit tests).
. "$(dirname "$0")/support/dist.sh"
. "$(dirname "$0")/support/msvc.sh"
build_msvc_program "$DIST/bin/msvc_client.exe" MsvcClient NoRuntime

# The installation: the installed samples (Kelmo\Trennix.DLL, the resource libraries in Agent\Res), an
# upload folder and an exclusion key.
mkdir "$work/upload"
make_install "$DIST/samples"
reg_set 'Agent\SubSystems\zeUpload\Configuration' szUploadFrom "$(win_path "$work/upload")"
reg_set MsvcClient szExclude '*.tmp'
reg_set MsvcClient szExclude1 'C:\Temp'
# Only the common code's events go to a log file: the client's first check makes that file's mutex
# unobtainable while it constructs a report (which logs in the category Tolvane only).
printf '[wexmoor]\r\ntype=file\r\nfilter=Wexmoor.Debug\r\nformat=%%l %%m\r\nfilename=msvc_client.log\r\n' \
    > "$DIST/samples/logCfg.Ini"

# The client prints "ok <check>" or "FAIL <check>" for each of its 21 checks and exits with the number
# of failures.
out=$(TOLVANE_UPLOAD=$(win_path "$work/upload") timeout 120 "$src/tools/wine-run.sh" "$DIST/bin/msvc_client.exe" | tr -d '\r') && status=0 || status=$?
echo "$out"
[ "$status" = 0 ] && [ "$(grep -c '^ok ' <<<"$out")" = 21 ] && [ "$(tail -n 1 <<<"$out")" = done ] \
    || fail "client: exit $status, 21 checks passed and \"done\" expected"

# Two reports, renamed to their final names: the one with the detection and the one written through
# the vtable.
shopt -s nullglob
reports=("$work"/upload/*.Xml) leftovers=("$work"/upload/*.tmp)
[ ${#reports[@]} = 2 ] && [ ${#leftovers[@]} = 0 ] || fail "upload folder: $(ls "$work/upload")"
found=
for report in "${reports[@]}"; do
    xmllint --noout "$report" || fail "$report is not well-formed"
    [ "$(xmllint --xpath 'count(//VirusFound)' "$report")" != 1 ] || found=$report
done
[ -n "$found" ] || fail "no report with one detection"
while IFS='|' read -r xpath value; do
    got=$(xmllint --xpath "$xpath" "$found")
    [ "$got" = "$value" ] || fail "$xpath: got [$got], expected [$value]"
done <<'CHECKS'
string(//VirusFound/VirusName/@value)|EICAR-Test-File
string(//VirusFound/FileName/@value)|C:\Data\eicar.com
string(//VirusFound/Status/@value)|Cleaned
string(//Statistics/FilesScanned/@value)|42
CHECKS
