#!/bin/bash
# with-wine.sh PREFIX COMMAND...: boots a Wine prefix with a persistent
# wineserver whose standard streams go to /dev/null, runs COMMAND with
# TOLVANE_WINEPREFIX set, and stops the wineserver afterwards, also on failure.
# Wine's service processes must not inherit the test runner's pipes, or the
# runner waits for them forever. The same holds for the desktop process
# (explorer.exe) that Wine starts for the first window of a session: a
# detached program keeps one desktop alive for the whole run, so tests that
# create windows (COM apartments, the shell) neither start their own nor
# hand it the runner's pipes.
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
setsid wine notepad.exe </dev/null >/dev/null 2>&1 &
desktop_running() {
    local pid
    for pid in $(pgrep -f 'explorer.exe'); do
        grep -qzx "WINEPREFIX=$prefix" "/proc/$pid/environ" 2>/dev/null && return 0
    done
    return 1
}
for _ in $(seq 100); do
    desktop_running && break
    sleep 0.2
done
"$@"
