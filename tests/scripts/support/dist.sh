# Sourced by the tests of what dist/ gives a client program: installs the
# build into a temporary dist folder ($DIST) and offers the checks they
# share. Arguments of the sourcing script: the build and source folders.
set -eu -o pipefail
build=$(realpath "$1") src=$(realpath "$2")
work=$(mktemp -d)
DIST=$work/dist
export DIST
cleanup_steps=()
on_exit() { cleanup_steps+=("$1"); }
run_cleanup() {
    local step
    for step in "${cleanup_steps[@]}"; do eval "$step" || true; done
    rm -rf "$work"
}
trap run_cleanup EXIT
cmake --install "$build" --prefix "$DIST" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }

# A Windows program under Wine, console line ends made Unix ones.
wine_run() { "$src/tools/wine-run.sh" "$@" | tr -d '\r'; }
win_path() { local p=$1; echo "Z:${p//\//\\}"; }

# The shell commands of README.md between the link-recipe markers.
readme_recipe() {
    sed -n '/<!-- BEGIN link-recipe -->/,/<!-- END link-recipe -->/p' "$src/README.md" \
        | sed -n '/^```sh$/,/^```$/p' | grep -v '^```'
}
# Runs them as written in $work/client, stopping at the first that fails.
build_readme_recipe() {
    local recipe
    recipe=$(readme_recipe)
    [ -n "$recipe" ] || fail "README.md has no link recipe between the markers"
    echo "$recipe"
    mkdir -p "$work/client"
    (cd "$work/client" && bash -ec "$recipe") || fail "the README's link recipe failed"
}

# A program built for clients imports no DLL of the compiler's runtimes.
check_no_runtime_imports() {
    local imports
    imports=$(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p')
    echo "$1 imports:" $imports
    grep -q '^Tolvane.dll$' <<<"$imports" || fail "$1 does not import Tolvane.dll"
    if grep -iE 'libstdc|libgcc|winpthread|pthread' <<<"$imports"; then
        fail "$1 needs a runtime DLL that is not shipped"
    fi
}

# A client installation whose scan reports land in $work/upload; removed
# again when the test ends.
configure_installation() {
    local root='HKLM\SOFTWARE\Tavrel\Orbisk'
    mkdir -p "$work/install"
    on_exit "wine_run reg delete '$root' /f >/dev/null 2>&1"
    wine_run reg delete "$root" /f >/dev/null 2>&1 || true
    wine_run reg add "$root" /v szInstallDir /t REG_SZ /d "$(win_path "$work/install")" /f >/dev/null
    wine_run reg add "$root\\Agent\\SubSystems\\zeUpload\\Configuration" /v szUploadFrom \
        /t REG_SZ /d "$(win_path "$work/upload")" /f >/dev/null
}
