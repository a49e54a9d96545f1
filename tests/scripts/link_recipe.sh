#!/bin/bash
# The link commands of README.md, run as written against dist/, build every example of dist/examples
# into programs that import no runtime DLL and run under Wine: the C++ client (try/catch, a thread,
# std::string) writes its scan report with both detections; the C client (C99, -pedantic -Werror)
# imports every plain C export and its six log events land in the main log; the demo scanner, run on
# a small folder, prints the version of the DLL it loaded and writes its summary.
. "$(dirname "$0")/support/dist.sh"

mapfile -t examples < <(cd "$DIST/examples" && ls)
[ "${examples[*]}" = "client.c client.cpp scanner.cpp" ] || fail "dist/examples holds: ${examples[*]}"
for example in "${examples[@]}"; do
    grep -qF "\"\$DIST/examples/$example\"" <<<"$(readme_block link-recipe)" || fail "the README does not build $example"
done
build_readme_recipe
for exe in client.exe client_c.exe scanner.exe; do
    check_no_runtime_imports "$work/client/$exe"
done
[ -f "$work/client/Tolvane.dll" ] || fail "the recipe does not put Tolvane.dll beside the programs"
cd "$work/client"
version=$(project_version)

configure_installation
out=$(wine_run ./client.exe) || { status=$?; echo "$out"; fail "client.exe exited with $status"; }
echo "$out"
grep -qx 'all calls succeeded' <<<"$out" || fail "client.exe reports a failed call"
grep -qx "Tolvane headers $version" <<<"$out" || fail "client.exe does not print the headers' version"
reports=("$work"/upload/CIO*.Xml)
[ ${#reports[@]} -eq 1 ] && [ -f "${reports[0]}" ] || fail "no single final report in the upload folder"
for expected in '<VirusName value="W32/Example.A"/>' '<VirusName value="Example.Spy"/>' '<FilesInfected value="2"/>'; do
    grep -qF "$expected" "${reports[0]}" || fail "report lacks $expected"
done

# The undecorated exports of the DLL (not the C++ members' mangled names) against the C client's imports.
c_exports=$(dll_exports "$DIST/bin/Tolvane.dll" | grep -E '^[A-Za-z][A-Za-z0-9_]*$')
[ -n "$c_exports" ] || fail "no C exports found"
c_imports=$(x86_64-w64-mingw32-objdump -p client_c.exe | sed -n '/DLL Name: Tolvane.dll/,/^$/p' \
    | awk 'NF == 3 && $1 ~ /^[0-9a-f]+$/ {print $3}' | sort)
diff <(echo "$c_exports") <(echo "$c_imports") || fail "client.c does not call every C export"
out=$(wine_run ./client_c.exe) || { status=$?; echo "$out"; fail "client_c.exe exited with $status"; }
echo "$out"
for expected in 'IsSubSysEnabled(2) = 0' 'CreateFileSpecialAccess: created' 'log events written: 6' \
    'DisplayKelmoHelp: returned'; do
    grep -qxF "$expected" <<<"$out" || fail "client_c.exe output lacks: $expected"
done
[ "$(grep -c ' client_c:' "$work/install/zeAgent.log")" = 6 ] || fail "the main log lacks client_c.exe's events"
grep -qF ' no file C:\missing.txt Error=2: ' "$work/install/zeAgent.log" || fail "no error text behind client_c.exe's message"

mkdir -p "$work/scan/documents"
printf 'X5O-TOLVANE-DEMO-SIGNATURE-TEST-FILE\r\n' > "$work/scan/documents/invoice.exe"
printf 'quarterly figures\r\n' > "$work/scan/documents/report.txt"
out=$(wine_run ./scanner.exe "$(win_path "$work/scan")" 'SOFTWARE\Tavrel\Orbisk\ExamplesTest' \
    "$(win_path "$work/summary.txt")") && status=0 || status=$?
echo "$out"
[ "$status" -eq 1 ] || fail "scanner.exe exited with $status, not 1 (one detection)"
grep -qxF "Tolvane.dll $version (built with the headers of $version)" <<<"$out" \
    || fail "the demo scanner does not print the library's version"
summary=$(tr -d '\r' < "$work/summary.txt")
grep -qx 'files scanned: 2' <<<"$summary" && grep -qx 'detections: 1' <<<"$summary" || fail "summary: $summary"
