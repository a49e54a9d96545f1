#!/bin/bash
# with-wine.sh PREFIX COMMAND...: boots a Wine prefix with a persistent
# wineserver whose standard streams go to /dev/null, runs COMMAND with
# TOLVANE_WINEPREFIX set, and stops the wineserver afterwards, also on failure.
# Wine's service processes must not inherit the test runner's pipes, or the
# runner waits for them forever.
set -u
prefix=$(realpath -m "$1"); shift
export WINEPREFIX=$prefix TOLVANE_WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$prefix"
stop() { wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; }
trap stop EXIT
trap 'exit 130' INT TERM
setsid wineserver -p </dev/null >/dev/null 2>&1 &
setsid wine wineboot -i </dev/null >/dev/null 2>&1
"$@"
