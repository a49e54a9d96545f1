# Sourced by the script tests (arguments: the build and source folders): $work, a work folder of the test's
# own, removed at the end after the steps given to on_exit (also on failure), and the shared helpers.
set -euo pipefail
build=$(realpath "$1") src=$(realpath "$2")
work=$build/script-tests/$(basename "$0" .sh)
client_key='HKLM\SOFTWARE\Tavrel\Orbisk'
cleanup_steps=()
on_exit() { cleanup_steps+=("$1"); }
run_cleanup() { local step; for step in "${cleanup_steps[@]}"; do eval "$step" || true; done; rm -rf "$work"; }
trap run_cleanup EXIT
rm -rf "$work"; mkdir -p "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }
# A Windows program under Wine, console line ends made Unix ones.
wine_run() { "$src/tools/wine-run.sh" "$@" | tr -d '\r'; }
win_path() { local p=$1; echo "Z:${p//\//\\}"; }
clear_client_registry() {
    on_exit "wine_run reg delete '$client_key' /f >/dev/null 2>&1"; wine_run reg delete "$client_key" /f >/dev/null 2>&1 || true
}
# make_install [FOLDER]: an installation folder $inst (default $work/inst) as "szInstallDir" of a fresh client tree.
make_install() { inst=${1:-$work/inst}; mkdir -p "$inst"; clear_client_registry; reg_set '' szInstallDir "$(win_path "$inst")"; }
# reg_set KEY (below the client's tree, may be empty) VALUE DATA: a string value.
reg_set() { wine_run reg add "$client_key${1:+\\$1}" /v "$2" /t REG_SZ /d "$3" /f >/dev/null; }
project_version() { sed -n 's/^project(Tolvane VERSION \([0-9.]*\) .*/\1/p' "$src/CMakeLists.txt"; }
