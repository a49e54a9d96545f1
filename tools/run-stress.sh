#!/bin/bash
# Runs every stress program of the build (bin/stress_*.exe) under Wine and
# fails when one of them reports lost, duplicated or malformed results. A
# program whose results are checked with Debian's tools has a driver script
# beside its source (stress/NAME/stress_NAME.sh BUILD), which runs it.
set -o pipefail
build=$(realpath "$1")
source=$(cd "$(dirname "$0")/.." && pwd)
status=0
for exe in "$build"/bin/stress_*.exe; do
    [ -e "$exe" ] || continue
    name=$(basename "$exe" .exe)
    echo "== $name"
    driver=$source/stress/${name#stress_}/$name.sh
    if [ -f "$driver" ]; then
        bash "$driver" "$build" || status=1
    else
        (cd "$build/bin" && "$source/tools/wine-run.sh" "./$name.exe" | tr -d '\r') || status=1
    fi
done
exit $status
