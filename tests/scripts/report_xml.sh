#!/bin/bash
# The scan reports that the client test writes through Tolvane.dll, with
# hostile and huge names, and those the library test writes with a corpus of
# hostile strings in every value, are well-formed XML for xmllint (the unit
# tests compare their bytes).
. "$(dirname "$0")/support/script.sh"
for run in tolvane_client_tests.exe:'ScanReport.WritesHeader*' tolvane_unit_tests.exe:'ScanReportLibrary.Hostile*'; do
    REPORT_XML_COPY=$(win_path "$work") wine_run "$build/bin/${run%%:*}" --gtest_filter="${run#*:}" | tail -n 1
done
hostile=("$work"/Hostile-*.Xml)
[ ${#hostile[@]} -ge 12 ] || fail "only ${#hostile[@]} hostile reports"
for report in "$work"/*.Xml; do xmllint --noout "$report"; done
echo "${#hostile[@]} hostile reports well-formed"
