#!/bin/bash
# The scan reports that the client test writes through Tolvane.dll, with hostile and huge names, and those the
# library test writes with a corpus of hostile strings in every value, are well-formed XML for xmllint (the
# unit tests compare their bytes).
. "$(dirname "$0")/support/script.sh"
for run in tolvane_client_tests.exe:'ScanReport.WritesHeader*' tolvane_unit_tests.exe:'ScanReportLibrary.Hostile*'; do
    REPORT_XML_COPY=$(win_path "$work") wine_run "$build/bin/${run%%:*}" --gtest_filter="${run#*:}" | tail -n 1
done
reports=("$work"/*.Xml)
[ ${#reports[@]} = 9 ] || fail "${#reports[@]} reports copied, not 2 languages and 7 hostile values"
xmllint --noout "${reports[@]}"
echo "${#reports[@]} reports well-formed"
