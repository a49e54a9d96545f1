#!/bin/bash
# Client programs write into the shared log at the same time through the logging exports of dist/: a C client
# (C99, -pedantic -Werror) and a Microsoft-ABI C++ client (the C++ convenience). Every line
# arrives once and whole, with the writer's program name, source file and line, category (cut to 255), level and
# message (Error= text behind it; a long one's cut is LogFrontEnd's).
. "$(dirname "$0")/support/dist.sh"
. "$(dirname "$0")/support/msvc.sh"
client=$src/tests/scripts/client
x86_64-w64-mingw32-gcc-posix -std=c99 -pedantic -Wall -Wextra -Werror -I"$DIST/include" "$client/log_client.c" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/log_client_c.exe"
build_msvc_program "$DIST/bin/msvc_log_client.exe" LogClient NoRuntime
make_install
printf '%s\n' '[shared]' 'filter=*.Debug' 'type=file' 'filename=shared.log' 'maxsize=50000000' \
    'format=%P|%+p|%f|%l|%s|%L|%m' > "$inst/logCfg.Ini"
rounds=40 pids=()
for run in "log_client_c.exe C $rounds" msvc_log_client.exe; do
    wine_run "$DIST/bin/"$run & pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "a writer exited with $?"; done

# program|category|level|source file|line|message, expected and found (the process id apart).
site() { grep -n log-site "$client/$1" | cut -d: -f1; }
c="log_client_c|%s|%s|log_client.c|$(site log_client.c)|%s\n" error=' Error=2: File not found.'
levels=(Info Error Debug Warning) categories=(Brisko OrbiskUI) forms=(wide narrow) cpp=$(site log_rounds.h) long=Brisko$(printf '%0249d' 0)
{
    for ((r = 0; r < rounds; r++)); do
        e=; [ $((r % 4)) = 1 ] && e=e
        for form in WriteA%s WriteW%s PrintfA PrintfW; do
            printf "$c" "${categories[r / 4 % 2]}" "${levels[r % 4]}" "C $e$form $r${e:+$error}"
        done
    done
    printf "$c" Brisko Info '' Brisko Info '' "$long" Info 'long category' '' Info 'C null-category 0'
    for ((r = 0; r < 150; r++)); do
        e=; [ $((r % 3)) = 0 ] && e=e
        echo "msvc_log_client|${categories[r % 2]}|Info|log_rounds.h|$cpp|M $e${forms[r % 2]} $r${e:+$error}"
    done
} | sort > "$work/expected.txt"
tr -d '\r' < "$inst/shared.log" | awk -F'|' -v OFS='|' '{ print $1, $3, $4, $5, $6, $7 }' | sort > "$work/found.txt"
diff "$work/expected.txt" "$work/found.txt" | cut -c1-300 || fail "the shared log differs from the events written"
echo "$(wc -l < "$work/found.txt") lines of two programs, each once and whole"
