#!/bin/bash
# stress_reports.sh BUILD [PROCESSES [REPORTS]]: runs stress_reports.exe
# (inside tools/with-wine.sh) and checks every report it wrote with xmllint.
# Prints the reports written and well-formed; fails unless all were written
# and every one is well-formed.
set -uo pipefail
build=$1 processes=${2:-4} reports=${3:-25}
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$here/tools/wine-run.sh" "$build/bin/stress_reports.exe" "$processes" "$reports" "Z:${work//\//\\}" | tr -d '\r'
written=$?
total=0 wellformed=0
for report in "$work"/*.Xml; do
    [ -e "$report" ] || continue
    total=$((total + 1))
    if xmllint --noout "$report" 2>/dev/null; then
        wellformed=$((wellformed + 1))
    else
        echo "rejected by xmllint: ${report##*/}"
    fi
done
echo "reports written $total / well-formed $wellformed (expected $((processes * reports)))"
[ "$written" -eq 0 ] && [ "$total" -eq $((processes * reports)) ] && [ "$wellformed" -eq "$total" ]
