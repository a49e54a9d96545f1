#!/bin/bash
# A scan report written through the installed Tolvane.dll by a client built
# against dist/ is well-formed XML (xmllint) and carries its values, escaped
# and read back by an XML parser.
set -eu
build=$1 src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/dist" >/dev/null
x86_64-w64-mingw32-g++-posix -std=c++17 -municode -Wall -Wextra -I"$work/dist/include" \
    -I"$src/tests/support" "$src/tests/scripts/client/report_client.cpp" \
    "$src/tests/support/TestRegistry.cpp" "$src/tests/support/TestFiles.cpp" \
    "$work/dist/lib/libTolvane.dll.a" -ladvapi32 -static \
    -o "$work/dist/bin/report_client.exe"

install=$work/install
mkdir -p "$install/Agent/Res/0409"
cp "$build/bin/qxres/0409/QxRes_l.dll" "$install/Agent/Res/0409/"
out=$("$src/tools/wine-run.sh" "$work/dist/bin/report_client.exe" "Z:${install//\//\\}" | tr -d '\r')
echo "$out"
windows=$(sed -n 's/^report: //p' <<<"$out")
report=${windows#Z:}
report=${report//\\//}
[ -f "$report" ] || { echo "no report at $report"; exit 1; }
case "$report" in "$install/Upload/CIO"*.Xml) ;; *) echo "unexpected name $report"; exit 1;; esac

xmllint --noout "$report"

failed=0
check() {   # check XPATH EXPECTED
    local value
    value=$(xmllint --xpath "$1" "$report")
    if [ "$value" != "$2" ]; then
        echo "$1: got [$value], expected [$2]"; failed=1
    fi
}
E=/Root/MachineID/Entitlement
check "count($E/VirusFound)" 3
check "string($E/VirusFound[1]/VirusName/@value)" "&<\"'>"
check "string($E/VirusFound[1]/FileName/@value)" "C:\\dir & more\\oddname's.exe"
check "string($E/VirusFound[1]/FileType/@value)" File
check "string($E/VirusFound[1]/Status/@value)" Cleaned
check "string($E/VirusFound[1]/VirusType/@value)" "File virus"
check "string-length($E/VirusFound[2]/VirusName/@value)" 20000
check "substring($E/VirusFound[2]/VirusName/@value, 1, 4)" "&<&<"
check "string($E/VirusFound[2]/FileType/@value)" Registry
check "string($E/VirusFound[2]/BofProcName/@value)" "svc<1>.exe"
check "string($E/VirusFound[2]/BofExploitName/@value)" 'x"y'
check "string($E/VirusFound[2]/VirusTypeID/@value)" 20206
check "string($E/VirusFound[3]/StatusID/@value)" 20128
check "string($E/VirusFound[3]/VirusType/@value)" "Other threat"
check "string($E/@value)" "Kestrel Holdings"
check "string(/Root/MachineID/EmailAddress/@value)" "scan.admin@example.com"
check "string(/Root/MachineID/SoftwareLanguageID/@value)" ENU
check "string($E/Statistics/FilesScanned/@value)" 42
check "string($E/Statistics/FilesInfected/@value)" 3
# UTF-8 without a byte-order mark, lines ending in CR LF.
[ "$(head -c 38 "$report")" = '<?xml version="1.0" encoding="UTF-8"?>' ] || { echo "bad start"; failed=1; }
[ "$(grep -c $'\r$' "$report")" = "$(wc -l < "$report")" ] || { echo "lines without CR"; failed=1; }
exit $failed
