#!/bin/bash
# make-testkit.sh BUILD OUT: the test kit for a real Windows machine in OUT: the
# test programs of BUILD/bin with every program, library and data file they
# start or copy beside them, and run-tests.cmd (with Windows line ends).
set -euo pipefail
build=$1 out=$2
rm -rf "$out"
mkdir -p "$out"
cp -r "$build/bin/." "$out/"
find "$out" -name '*.debug' -delete
sed 's/$/\r/' "$(dirname "$0")/testkit/run-tests.cmd" > "$out/run-tests.cmd"
echo "Test kit in $out/ (run run-tests.cmd on Windows)"
