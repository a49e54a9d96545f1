#!/bin/bash
# Every fenced block of README.md and docs/: C and C++ blocks compile against dist/; every sh or bat block
# is run, here or by the test that uses its name, or is marked as not run and names only installed programs.
. "$(dirname "$0")/support/dist.sh"
mkdir -p "$work/blocks"
# One file per block, $work/blocks/N.LANG, and one index line per block: N|document:line|lang|name|kind
# (kind: whole, fragment, library-fragment or not-run); a fragment's declarations go to N.prelude.
awk -v out="$work/blocks" -v src="$src/" '
    FNR == 1 { name = ""; kind = "" }
    inblock && $0 ~ "^" indent "```[[:space:]]*$" { inblock = 0; close(file); next }
    inblock { line = $0; sub("^" indent, "", line); print line > file; next }
    inmarker { if ($0 ~ /-->/) { inmarker = 0; next } line = $0; sub(/^[[:space:]]*/, "", line)
               print line > (out "/" (n + 1) ".prelude"); next }
    /^<!-- BEGIN [a-z0-9-]+ -->$/ { name = $3; next }
    /^<!-- END [a-z0-9-]+ -->$/ { name = ""; next }
    /^[[:space:]]*<!-- fragment/ { kind = ($0 ~ /library/) ? "library-fragment" : "fragment"; inmarker = ($0 !~ /-->/); next }
    /^<!-- not run/ { kind = "not-run"; next }
    /^[[:space:]]*```/ { indent = $0; sub(/```.*/, "", indent); lang = $0; sub(/^[[:space:]]*```/, "", lang)
                         n++; file = out "/" n "." (lang == "" ? "text" : lang); inblock = 1; printf "" > file
                         printf "%d|%s:%d|%s|%s|%s\n", n, substr(FILENAME, length(src) + 1), FNR, lang, name,
                                (kind == "" ? "whole" : kind) > (out "/../index.txt")
                         kind = ""; next }
    /[^[:space:]]/ { kind = "" }' "$src/README.md" "$src"/docs/*.md
[ "$(wc -l < "$work/index.txt")" -ge 20 ] || fail "too few blocks found: $(wc -l < "$work/index.txt")"

# The sh blocks this test runs itself, in the setting their documents describe, with a check of what each printed
# or made (the CMake package and tolvane.pc build the recipe's client with its imports); others run elsewhere.
mkdir -p "$work/project" && cp "$DIST/examples/client.cpp" "$work/project/main.cpp"
run_block() {   # NAME BLOCK-FILE
    local out=""
    case $1 in
    link-recipe) out=$(mkdir -p "$work/client" && cd "$work/client" && bash -e "$2" 2>&1) ;;
    imports) out=$(cd "$work/client" && bash -e "$2") && grep -q 'DLL Name: Tolvane.dll' <<<"$out" ;;
    addr2line)   # also through the debug link of the shipped DLL, which carries no debug sections
        out=$(cd "$DIST/bin" && bash -e "$2" && sed 's/-e Tolvane.dll.debug/-e Tolvane.dll/' "$2" | bash -e) \
            && [ "$(sed -n 1p <<<"$out")" = IsSubSysEnabled ] && [ "$(grep -c '/src/host/SubSys.cpp:[1-9]' <<<"$out")" = 2 ] \
            && ! x86_64-w64-mingw32-objdump -h "$DIST/bin/Tolvane.dll" | grep '\.debug_' ;;
    cmake-build) cp "$work/blocks/$(awk -F'|' '$4 == "cmake-project" {print $1}' "$work/index.txt").cmake" "$work/project/CMakeLists.txt" \
                     && out=$(cd "$work/project" && TOOLCHAIN=$src/cmake/mingw-w64-x86_64.cmake bash -e "$2" 2>&1) \
                     && diff <(imports "$work/client/client.exe") <(imports "$work/project/build/myscanner.exe") ;;
    pkg-config) out=$(cd "$work/project" && bash -e "$2" 2>&1) && diff <(imports "$work/client/client.exe") \
                    <(imports "$work/project/main.exe") && [ "$(PKG_CONFIG_PATH=$DIST/lib/pkgconfig pkg-config --modversion tolvane)" = "$(project_version)" ] ;;
    logcheck-event|logcheck-client-event)   # exit code 1: warnings
        { out=$(cd "$work" && bash "$2" 2>&1 | tr -d '\r') || [ $? -eq 1 ]; } \
            && grep -qx "Event $(grep -o '[A-Za-z]*\.[A-Za-z]*$' "$2"):" <<<"$out" && grep -q '^  -> ' <<<"$out" ;;
    help-url) clear_client_registry; sed 's/$/\r/' "$2" > "$work/block.bat"
              out=$(wine_run cmd /c "$(win_path "$work/block.bat")" 2>&1) && out=$(wine_run reg query \
                  'HKLM\SOFTWARE\Tavrel\Orbisk\Agent' /v szHelpURL) && grep -q 'https://help.example/agent' <<<"$out" ;;
    *) out=$(grep -lw -- "$1" "$src"/tests/scripts/*.sh | grep -v "/$(basename "$0")$") || { echo "no test runs it"; return 1; } ;;
    esac || { echo "$out"; return 1; }
}

while IFS='|' read -r n where lang name kind; do
    block=$work/blocks/$n.$lang
    case $lang/$kind in
    c/*|cpp/*)
        compiler=(x86_64-w64-mingw32-g++-posix -std=c++17); [ "$lang" = c ] && compiler=(x86_64-w64-mingw32-gcc-posix -std=c99)
        [ "$kind" = library-fragment ] && compiler+=(-I"$src/src" -DTOLVANE_BUILD)
        { if [ "$kind" = whole ]; then cat "$block"; else grep '^#include' "$block" || true; cat "$work/blocks/$n.prelude" 2>/dev/null || true
              echo 'void fragment(void) {'; grep -v '^#include' "$block"; echo '}'; fi; } > "$work/unit.$lang"
        "${compiler[@]}" -fsyntax-only -Wall -Wextra -Werror -Wno-unused-variable -Wno-unused-but-set-variable -I"$DIST/include" \
            "$work/unit.$lang" || fail "$where: the $lang block does not compile" ;;
    sh/not-run|bat/not-run)
        # Each command (and compiler launcher) of a block not run is a Makefile target, a file of the
        # repository, or a program that tools/install-deps.sh installs.
        while read -r program target; do
            { [ "$program" = make ] && grep -q "^$target:" "$src/Makefile"; } || [ -e "$src/$program" ] \
                || grep -qF "command -v $program " "$src/tools/install-deps.sh" || fail "$where: $program $target: no Makefile target, not installed"
        done < <(sed -E 's/^([A-Z_]+=[^ ]* )*//' "$block" | grep -E '^[a-z./]' | cut -d' ' -f1,2; grep -oE '_LAUNCHER=[a-z0-9-]+' "$block" | cut -d= -f2) ;;
    sh/*|bat/*)
        [ -n "$name" ] || fail "$where: a $lang block without a name (<!-- BEGIN name -->) is run by no test"
        run_block "$name" "$block" || fail "$where: the block $name failed" ;;
    esac
done < "$work/index.txt"
