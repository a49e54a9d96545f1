#!/bin/bash
# A client built with the Microsoft C++ ABI (clang for x86_64-pc-windows-msvc,
# linked by lld-link) from the installed headers and dist/lib/Tolvane.lib
# uses every member of the exported classes under Wine: exclusion answers,
# the exception, the driver requests and the reports on disk.
set -euo pipefail
build=$1 src=$2
work=$(mktemp -d)
run() { "$src/tools/wine-run.sh" "$@"; }
win() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
reg_delete() { run reg delete "$1" /f >/dev/null 2>&1 || true; }
cleanup() { reg_delete 'HKLM\SOFTWARE\Tavrel\Orbisk'; rm -rf "$work"; }
trap cleanup EXIT

cmake --install "$build" --prefix "$work/dist" >/dev/null
dist=$work/dist
[ -f "$dist/lib/Tolvane.lib" ] || { echo "Tolvane.lib missing"; exit 1; }

# The system's exception handling (vcruntime140.dll); the client needs no
# other part of a runtime.
printf 'LIBRARY vcruntime140.dll\nEXPORTS\n__CxxFrameHandler3\n__C_specific_handler\n__std_terminate\nmemset\nmemcpy\n' \
    > "$work/vcruntime140.def"
llvm-dlltool -m i386:x86-64 -d "$work/vcruntime140.def" -l "$work/vcruntime140.lib"
mingw=/usr/x86_64-w64-mingw32
for unit in MsvcClient NoRuntime; do
    clang++ --target=x86_64-pc-windows-msvc -fgnuc-version=4.2.1 -std=c++17 -O2 \
        -fexceptions -fcxx-exceptions -fms-extensions -Wall -Wextra -Werror \
        -I"$dist/include" -isystem "$src/tests/msvc/include" -isystem "$mingw/include" \
        -c "$src/tests/msvc/$unit.cpp" -o "$work/$unit.obj"
done
lld-link /nologo /entry:Start /subsystem:console /nodefaultlib /out:"$dist/bin/msvc_client.exe" \
    "$work/MsvcClient.obj" "$work/NoRuntime.obj" "$dist/lib/Tolvane.lib" "$work/vcruntime140.lib" \
    "$mingw/lib/libkernel32.a"

# The installation: the installed samples (Kelmo\Trennix.DLL, the resource
# libraries in Agent\Res), an upload folder and an exclusion key.
mkdir "$work/upload"
reg_delete 'HKLM\SOFTWARE\Tavrel\Orbisk'
run reg add 'HKLM\SOFTWARE\Tavrel\Orbisk' /v szInstallDir /d "$(win "$dist/samples")" /f >/dev/null
run reg add 'HKLM\SOFTWARE\Tavrel\Orbisk\Agent\SubSystems\zeUpload\Configuration' \
    /v szUploadFrom /d "$(win "$work/upload")" /f >/dev/null
run reg add 'HKLM\SOFTWARE\Tavrel\Orbisk\MsvcClient' /v szExclude /d '*.tmp' /f >/dev/null
run reg add 'HKLM\SOFTWARE\Tavrel\Orbisk\MsvcClient' /v szExclude1 /d 'C:\Temp' /f >/dev/null

status=0
out=$(TOLVANE_UPLOAD=$(win "$work/upload") TRENNIX_RECORD=$(win "$work/record.txt") \
      timeout 120 "$src/tools/wine-run.sh" "$dist/bin/msvc_client.exe" | tr -d '\r') || status=$?
echo "$out"
failed=0
expected=$(cat <<'OUT'
ok exclusion: no items before the first load
ok exclusion: the key's items, then the built-in one
ok exclusion: the item array of the last load
ok exclusion: IsExcluded answers for four paths
ok exclusion: Empty drops the items
ok exception: caught as const CSystemException& with 0x10001
ok exception: caught by value with 0x10001
ok exception: raised again inside a handler
ok exception: a structured handler sees 0xE06D7363
ok exclusion: usable after the exceptions
ok on-access: Init loads the driver interface library
ok on-access: the destructor unloads it
ok report: no file before Init
ok report: Init
ok report: the temporary file in the upload folder
ok report: AddInfected
ok report: Init through the vtable
ok report: GetReportFileName through the vtable
ok report: BuildReport through the vtable
done
OUT
)
[ "$status" = 0 ] && [ "$out" = "$expected" ] || { echo "client: exit $status, output differs from:"; echo "$expected"; failed=1; }

# The driver requests: 19 (exclude) and 20 (scan again), only after Init.
record=$(tr -d '\r' < "$work/record.txt" 2>/dev/null | sed -E 's/handle=0x[0-9a-f]{16}/handle=H/') || true
expected_record=$(printf '%s\n' load 'OnAccess_Init handle=H result=0' \
    'OnAccess_CallDriver handle=H request=19 args=0x0,0x0,0x0,0' \
    'OnAccess_CallDriver handle=H request=20 args=0x0,0x0,0x0,0' unload)
[ "$record" = "$expected_record" ] || { echo "driver record:"; echo "$record"; failed=1; }

# Two reports, renamed to their final names: the one with the detection and
# the one written through the vtable.
shopt -s nullglob
reports=("$work"/upload/*.Xml)
leftovers=("$work"/upload/*.tmp)
[ ${#reports[@]} = 2 ] && [ ${#leftovers[@]} = 0 ] || { echo "upload folder:"; ls "$work/upload"; failed=1; }
found=
for report in "${reports[@]}"; do
    xmllint --noout "$report" || failed=1
    [ "$(xmllint --xpath 'count(//VirusFound)' "$report")" = 1 ] || continue
    found=$report
done
if [ -z "$found" ]; then
    echo "no report with one detection"; failed=1
else
    while IFS='|' read -r xpath value; do
        got=$(xmllint --xpath "$xpath" "$found")
        [ "$got" = "$value" ] || { echo "$xpath: got [$got], expected [$value]"; failed=1; }
    done <<'CHECKS'
string(//VirusFound/VirusName/@value)|EICAR-Test-File
string(//VirusFound/FileName/@value)|C:\Data\eicar.com
string(//VirusFound/Status/@value)|Cleaned
string(//Statistics/FilesScanned/@value)|42
CHECKS
fi
exit $failed
