#!/bin/bash
# Runs every stress program of the build (bin/stress_*.exe) under Wine and
# fails when one of them reports lost, duplicated or malformed results.
set -eo pipefail
build=$1
cd "$build/bin"
status=0
for s in stress_*.exe; do
    [ -e "$s" ] || continue
    echo "== ${s%.exe}"
    "$OLDPWD/tools/wine-run.sh" "./$s" | tr -d '\r' || status=1
done
exit $status
