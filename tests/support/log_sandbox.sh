# Sourced by the logging script tests (with build and source set): a sandbox installation folder
# $work/inst named as "szInstallDir" in the build's Wine prefix. When the test ends, also on failure,
# the client's registry tree and the folder are removed and a private rsyslogd started by the test is
# stopped.
. "$source/tests/support/private_rsyslog.sh"
key='HKLM\SOFTWARE\Tavrel\Orbisk'
wine_run() { "$source/tools/wine-run.sh" "$@"; }
fail() { echo "FAILED: $*"; exit 1; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

sandbox_end() {
    rsyslog_stop
    wine_run reg delete "$key" /f >/dev/null 2>&1 || true
    rm -rf "$work"
}

# sandbox_begin FOLDER: sets work and inst.
sandbox_begin() {
    work=$1 inst=$1/inst
    trap sandbox_end EXIT
    rm -rf "$work"; mkdir -p "$inst"
    wine_run reg delete "$key" /f >/dev/null 2>&1 || true
    wine_run reg add "$key" /v szInstallDir /t REG_SZ /d "$(winpath "$inst")" /f >/dev/null
}
