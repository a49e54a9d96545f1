#!/bin/bash
# The log file mutex: when its name is taken by another kind of object the
# writer raises an error to its caller (keeping the caller's last-error
# value), and the next event creates the mutex. Runs as a process of its own
# so that no test process holds the mutex already.
set -eu
build=$1 source=$2
work="$build/log-mutex-test"
rm -rf "$work"; mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
winpath="Z:$(printf '%s' "$work" | tr / '\\')"
"$source/tools/wine-run.sh" "$build/bin/log_mutex_probe.exe" "$winpath\\probe.log" | tr -d '\r'
content=$(tr -d '\r' <"$work/probe.log")
[ "$content" = "probe" ] || { echo "FAILED: probe.log holds '$content'"; exit 1; }
echo "probe.log written once the name was free"
