#!/bin/bash
# A client built with the Microsoft C++ ABI (clang for x86_64-pc-windows-msvc, linked by lld-link) from
# the installed headers and dist/lib/Tolvane.lib uses every member of the exported classes under Wine:
# exclusion answers, the exception, the driver requests and the reports on disk (the driver records
# themselves are compared by the unit tests).
. "$(dirname "$0")/support/dist.sh"
[ -f "$DIST/lib/Tolvane.lib" ] || fail "Tolvane.lib missing"

# The system's exception handling (vcruntime140.dll); the client needs no other part of a runtime.
printf 'LIBRARY vcruntime140.dll\nEXPORTS\n__CxxFrameHandler3\n__C_specific_handler\n__std_terminate\nmemset\nmemcpy\n' \
    > "$work/vcruntime140.def"
llvm-dlltool -m i386:x86-64 -d "$work/vcruntime140.def" -l "$work/vcruntime140.lib"
mingw=/usr/x86_64-w64-mingw32
for unit in MsvcClient NoRuntime; do
    clang++ --target=x86_64-pc-windows-msvc -fgnuc-version=4.2.1 -std=c++17 -O2 \
        -fexceptions -fcxx-exceptions -fms-extensions -Wall -Wextra -Werror \
        -I"$DIST/include" -isystem "$src/tests/msvc/include" -isystem "$mingw/include" \
        -c "$src/tests/msvc/$unit.cpp" -o "$work/$unit.obj"
done
lld-link /nologo /entry:Start /subsystem:console /nodefaultlib /out:"$DIST/bin/msvc_client.exe" \
    "$work/MsvcClient.obj" "$work/NoRuntime.obj" "$DIST/lib/Tolvane.lib" "$work/vcruntime140.lib" \
    "$mingw/lib/libkernel32.a"

# The installation: the installed samples (Kelmo\Trennix.DLL, the resource libraries in Agent\Res), an
# upload folder and an exclusion key.
mkdir "$work/upload"
make_install "$DIST/samples"
reg_set 'Agent\SubSystems\zeUpload\Configuration' szUploadFrom "$(win_path "$work/upload")"
reg_set MsvcClient szExclude '*.tmp'
reg_set MsvcClient szExclude1 'C:\Temp'

# The client prints "ok <check>" or "FAIL <check>" for each of its 18 checks and exits with the number
# of failures.
out=$(TOLVANE_UPLOAD=$(win_path "$work/upload") timeout 120 "$src/tools/wine-run.sh" "$DIST/bin/msvc_client.exe" | tr -d '\r') && status=0 || status=$?
echo "$out"
[ "$status" = 0 ] && [ "$(grep -c '^ok ' <<<"$out")" = 18 ] && [ "$(tail -n 1 <<<"$out")" = done ] \
    || fail "client: exit $status, 18 checks passed and \"done\" expected"

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
