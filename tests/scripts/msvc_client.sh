#!/bin/bash
# A client of the Microsoft C++ ABI (tests/msvc/MsvcClient.cpp) checks every member of the exported classes
# itself; here, its installation and the reports it wrote.
. "$(dirname "$0")/support/dist.sh"
. "$(dirname "$0")/support/msvc.sh"
build_msvc_program "$DIST/bin/msvc_client.exe" MsvcClient NoRuntime

# The installed samples (driver interface and resource libraries), an upload folder, an exclusion key, and
# a log file for Wexmoor events only (the client takes that file's mutex name away).
mkdir "$work/upload"
make_install "$DIST/samples"
reg_set 'Agent\SubSystems\zeUpload\Configuration' szUploadFrom "$(win_path "$work/upload")"
reg_set MsvcClient szExclude '*.tmp'
reg_set MsvcClient szExclude1 'C:\Temp'
printf '[wexmoor]\r\ntype=file\r\nfilter=Wexmoor.Debug\r\nformat=%%l %%m\r\nfilename=msvc_client.log\r\n' \
    > "$DIST/samples/logCfg.Ini"

timeout 120 "$src/tools/wine-run.sh" "$DIST/bin/msvc_client.exe" | tr -d '\r' || fail "the client failed: its exit code counts the FAILs above"

# Two reports under their final names (one written through the vtable); the detection's in full.
files=$(ls "$work/upload")
[ "$(grep -c '^CIO.*\.Xml$' <<<"$files")" = 2 ] && [ "$(wc -l <<<"$files")" = 2 ] || fail "upload folder: $files"
got=$(cd "$work/upload" && xmllint --xpath 'concat(//VirusName/@value, "|", //VirusFound/FileName/@value, "|",
    //VirusFound/Status/@value, "|", //Statistics/FilesScanned/@value)' $(grep -l VirusFound $files)) || fail "no detection"
[ "$got" = 'EICAR-Test-File|C:\Data\eicar.com|Cleaned|42' ] || fail "the detection's report: $got"
