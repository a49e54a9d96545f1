#!/bin/bash
# dist/examples holds the example clients and the demo scanner; the README's
# link recipe builds every one of them, and the demo scanner, run on a small
# folder, prints the version of the DLL it loaded and writes its summary.
. "$(dirname "$0")/support/dist.sh"

mapfile -t examples < <(cd "$DIST/examples" && ls)
[ "${examples[*]}" = "client.c client.cpp scanner.cpp" ] || fail "dist/examples holds: ${examples[*]}"
recipe=$(readme_recipe)
for example in "${examples[@]}"; do
    grep -qF "\"\$DIST/examples/$example\"" <<<"$recipe" || fail "the README does not build $example"
done
build_readme_recipe >/dev/null
for exe in client.exe client_c.exe scanner.exe; do
    check_no_runtime_imports "$work/client/$exe"
done

project=$(sed -n 's/^project(Tolvane VERSION \([0-9.]*\) .*/\1/p' "$src/CMakeLists.txt")
mkdir -p "$work/scan/documents"
printf 'X5O-TOLVANE-DEMO-SIGNATURE-TEST-FILE\r\n' > "$work/scan/documents/invoice.exe"
printf 'quarterly figures\r\n' > "$work/scan/documents/report.txt"
summary=$work/summary.txt
out=$(cd "$work/client" && wine_run ./scanner.exe "$(win_path "$work/scan")" \
    'SOFTWARE\Tavrel\Orbisk\ExamplesTest' "$(win_path "$summary")") && status=0 || status=$?
echo "$out"
[ "$status" -eq 1 ] || fail "scanner.exe exited with $status, not 1 (one detection)"
grep -qxF "Tolvane.dll $project (built with the headers of $project)" <<<"$out" \
    || fail "the demo scanner does not print the library's version"
grep -qx 'files scanned: 2' <(tr -d '\r' < "$summary") || fail "summary not written"
grep -qx 'detections: 1' <(tr -d '\r' < "$summary") || fail "summary lacks the detection"
