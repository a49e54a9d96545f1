#!/bin/bash
# Client programs write into the shared log through the logging exports of dist/: a C client (C99,
# -pedantic -Werror), a MinGW-w64 C++ client and a Microsoft-ABI C++ client run at the same time as a
# program writing the library's own events. Every line arrives once and whole, with the writer's
# program name, source file and line, category, level and message (cut to 20479 characters, Error=
# text behind it). (That the checker names the files where an event lands is LogCheck.IniFiles'.)
. "$(dirname "$0")/support/dist.sh"
. "$(dirname "$0")/support/msvc.sh"
client=$src/tests/scripts/client
x86_64-w64-mingw32-gcc-posix -std=c99 -pedantic -Wall -Wextra -Werror -I"$DIST/include" "$client/log_client.c" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/log_client_c.exe"
x86_64-w64-mingw32-g++-posix -std=c++17 -Wall -Wextra -Werror -I"$DIST/include" "$client/log_client.cpp" \
    "$DIST/lib/libTolvane.dll.a" -static -o "$DIST/bin/log_client_cpp.exe"
build_msvc_program "$DIST/bin/msvc_log_client.exe" LogClient NoRuntime
cp "$build/bin/log_writer.exe" "$DIST/bin/"

make_install
printf '%s\n' '[shared]' 'filter=*.Debug' 'type=file' 'filename=shared.log' 'maxsize=50000000' \
    'format=%P|%+p|%f|%l|%s|%L|%m' > "$inst/logCfg.Ini"

rounds=40 pids=()
for run in "log_client_c.exe C $rounds" "log_client_cpp.exe P $((rounds * 5))" msvc_log_client.exe "log_writer.exe W 300 2"; do
    wine_run "$DIST/bin/"$run & pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "a writer exited with $?"; done

# program|category|level|source file|line|message, expected and found (the process id apart).
site() { grep -n "${2:-log-site}" "$1" | cut -d: -f1; }
c_line=$(site "$client/log_client.c") cpp_line=$(site "$client/log_rounds.h")
writer_line=$(site "$src/tests/programs/log_writer.cpp" 'LOG_EVENT(Info')
error=' Error=2: File not found.'
levels=(Info Error Debug Warning) categories=(Brisko OrbiskUI)
{
    for ((r = 0; r < rounds; r++)); do
        e=; [ $((r % 4)) = 1 ] && e=e
        for form in WriteA%s WriteW%s PrintfA PrintfW VPrintfA VPrintfW; do
            echo "log_client_c|${categories[r / 4 % 2]}|${levels[r % 4]}|log_client.c|$c_line|C $e$form $r${e:+$error}"
        done
    done
    for m in '' '' "$(printf 'x%.0s' {1..20479})" "$(printf 'w%.0s' {1..20479})"; do
        echo "log_client_c|$([ ${#m} -gt 0 ] && printf 'Brisko%0249d' 0 || echo Brisko)|Info|log_client.c|$c_line|$m"
    done
    echo "log_client_c||Info|log_client.c|$c_line|C null-category 0"
    for program in "log_client_cpp P $((rounds * 5))" "msvc_log_client M 150"; do
        read -r name tag count <<<"$program"
        for ((r = 0; r < count; r++)); do
            e=; [ $((r % 3)) = 0 ] && e=e
            form=$([ $((r % 2)) = 1 ] && echo narrow || echo wide)
            echo "$name|${categories[r % 2]}|Info|log_rounds.h|$cpp_line|$tag $e$form $r${e:+$error}"
        done
    done
    for ((r = 0; r < 300; r++)); do printf 'log_writer|Tolvane|Info|log_writer.cpp|%s|W-%05d\n' "$writer_line" $r; done
} | sort > "$work/expected.txt"
log=$inst/shared.log
tr -d '\r' < "$log" | awk -F'|' -v OFS='|' '{ print $1, $3, $4, $5, $6, $7 }' | sort > "$work/found.txt"
diff "$work/expected.txt" "$work/found.txt" | cut -c1-300 || fail "the shared log differs from the events written"
[ "$(tr -d '\r' < "$log" | cut -d'|' -f1,2 | sort -u | wc -l)" = 4 ] || fail "a program wrote with two process ids"
grep -Eqv '^[a-z_]+\|[0-9a-f]+\|' "$log" && fail "a process id is not hexadecimal"

echo "$(wc -l < "$work/found.txt") lines of four programs, each once and whole"
