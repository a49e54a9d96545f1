#!/bin/bash
# A Microsoft-ABI client (clang) logs through dist/'s C++ convenience: every line arrives once and whole, with the
# program name, source file and line, category, level and message (Error= text behind it); the exports' own rules
# are LogFrontEnd.ClientExports'.
. "$(dirname "$0")/support/dist.sh"
. "$(dirname "$0")/support/msvc.sh"
build_msvc_program "$DIST/bin/msvc_log_client.exe" LogClient NoRuntime
make_install
printf '%s\n' '[shared]' 'filter=*.Debug' 'type=file' 'filename=shared.log' 'format=%P|%f|%l|%s|%L|%m' >"$inst/logCfg.Ini"
wine_run "$DIST/bin/msvc_log_client.exe" || fail "the client exited with $?"
line=$(grep -n log-site "$src/tests/scripts/client/log_rounds.h" | cut -d: -f1) categories=(Brisko OrbiskUI) forms=(wide narrow)
for ((r = 0; r < 150; r++)); do
    e=; [ $((r % 3)) = 0 ] && e=e
    echo "msvc_log_client|${categories[r % 2]}|Info|log_rounds.h|$line|M $e${forms[r % 2]} $r${e:+ Error=2: File not found.}"
done | sort >"$work/expected.txt"
tr -d '\r' <"$inst/shared.log" | sort | diff "$work/expected.txt" - | cut -c1-300 || fail "the shared log differs from the events written"
echo "150 lines of the Microsoft-ABI client, each once and whole"
