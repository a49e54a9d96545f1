#!/bin/bash
# Runs every benchmark program of the build (bin/bench_*.exe) under Wine.
set -e
build=$1
cd "$build/bin"
for b in bench_*.exe; do
    [ -e "$b" ] || continue
    echo "== ${b%.exe}"
    "$OLDPWD/tools/wine-run.sh" "./$b" | tr -d '\r'
done
