#!/bin/bash
# The scan reports that the client test writes through Tolvane.dll, with
# hostile and huge names, and those the library test writes with a corpus of
# hostile strings in every value, are well-formed XML (xmllint), and their
# escaped values read back unchanged through an XML parser.
. "$(dirname "$0")/support/script.sh"
for run in tolvane_client_tests.exe:'ScanReport.WritesHeader*' tolvane_unit_tests.exe:'ScanReportLibrary.Hostile*'; do
    REPORT_XML_COPY=$(win_path "$work") wine_run "$build/bin/${run%%:*}" --gtest_filter="${run#*:}" | tail -n 1
done
hostile=("$work"/Hostile-*.Xml)
[ ${#hostile[@]} -ge 12 ] || fail "only ${#hostile[@]} hostile reports"
for report in "$work"/*.Xml; do xmllint --noout "$report"; done
echo "${#hostile[@]} hostile reports well-formed"
while IFS='|' read -r report xpath expected; do
    value=$(xmllint --xpath "$xpath" "$work/$report.Xml")
    [ "$value" = "$expected" ] || fail "$report $xpath: got [$value], expected [$expected]"
done <<'CHECKS'
English|count(//VirusFound)|3
English|string(//VirusFound[1]/VirusName/@value)|&<"'>
English|string(//VirusFound[1]/FileName/@value)|C:\Users\Ann & Bob\oddname's.exe
English|string(//VirusFound[1]/Status/@value)|Cleaned
English|string(//VirusFound[2]/VirusType/@value)|Spyware
English|string-length(//VirusFound[3]/VirusName/@value)|20000
English|substring(//VirusFound[3]/VirusName/@value, 1, 4)|&<&<
English|string(//VirusFound[3]/BofProcName/@value)|svc<1>.exe
English|string(//VirusFound[3]/BofExploitName/@value)|x&y
English|string(/Root/MachineID/Entitlement/@value)|Kestrel Holdings
English|string(//Statistics/FilesScanned/@value)|-1
German|string(//VirusFound[3]/Status/@value)|In Quarantäne verschoben
German|string(/Root/MachineID/SoftwareLanguageID/@value)|DEU
NoResourceLibrary|string(//VirusFound[1]/StatusID/@value)|20124
Hostile-0|string(/Root/MachineID/Entitlement/@value)|a"b
Hostile-0|string(//VirusFound/FileName/@value)|a"b
Hostile-1|string(//EngineVersion/@value)|<tag>
Hostile-1|string(//VirusFound/VirusName/@value)|<tag>
Hostile-2|string(//IEVersion/@value)|x > y
Hostile-3|string(/Root/Build/@partnerCode)|A&B
Hostile-4|string(//DATVersion/@value)|&<AB😀
Hostile-9|string(//EmailAddress/@value)|]]>'
Hostile-11|string(/Root/MachineID/@value)|<"&�>
CHECKS
