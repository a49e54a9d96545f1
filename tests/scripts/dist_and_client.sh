#!/bin/bash
# dist/ as a client programmer uses it: the README's quick start run as written in a Wine prefix of its own
# (every example built and run), and Tolvane.dll's exports: the C functions, the class members under both ABIs.
. "$(dirname "$0")/support/dist.sh"
version=$(project_version)
prefix=$work/tolvane-try   # the prefix the README's commands create
on_exit "WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1; WINEPREFIX=$prefix wineserver -w >/dev/null 2>&1"
mkdir -p "$work/scan/documents"
printf 'X5O-TOLVANE-DEMO-SIGNATURE-TEST-FILE\r\n' > "$work/scan/documents/invoice.exe"
printf 'quarterly figures\r\n' > "$work/scan/documents/report.txt"
{
    echo 'set -euxo pipefail'
    for name in quick-start-setup link-recipe quick-start-config quick-start-run; do readme_block $name; done
    echo 'wine client_c.exe'
    echo "wine scanner.exe '$(win_path "$work/scan")' 'SOFTWARE\\Tavrel\\Orbisk\\ExamplesTest' '$(win_path "$work/summary.txt")' || echo \"scanner exit: \$?\""
} >"$work/quickstart.sh"
# Wine's processes of the new prefix must not hold the test runner's pipes.
(cd "$work" && env -u WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    setsid bash "$work/quickstart.sh" </dev/null >"$work/run.log" 2>&1) || { cat "$work/run.log"; fail "the quick start failed"; }
run=$(tr -d '\r' <"$work/run.log")
echo "$run"
for exe in client.exe client_c.exe scanner.exe; do check_no_runtime_imports "$work/$exe"; done

# The C++ client (the switches and scanner key of the imported file), the checker's two routes, the C
# client and the demo scanner.
for line in 'all calls succeeded' "Tolvane headers $version" 'switches: on-access scanner on, peer update on' \
        'exclusions: 3 items from SOFTWARE\Tavrel\Orbisk\OnDemandScan' 'excluded 1: C:\Windows\Temp\scan.tmp' \
        '  -> [main] file C:\Program Files\Tavrel\Orbisk\zeAgent.log' '  -> [debugger] debugger' \
        'IsSubSysEnabled(2) = 1' 'CreateFileSpecialAccess: created' 'log events written: 6' 'DisplayKelmoHelp: returned' \
        'scanner exit: 1' "Tolvane.dll $version (built with the headers of $version)"; do
    grep -qxF "$line" <<<"$run" || fail "the quick start does not print: $line"
done
[ "$(grep -c '^  -> ' <<<"$run")" -eq 2 ] || fail "Wexmoor.Info takes other routes"
install="$prefix/drive_c/Program Files/Tavrel/Orbisk"
report=$(grep -lF '<VirusName value="W32/Example.A"/>' "$install/Upload/"CIO*.Xml) || fail "no scan report of the client"
grep -qF '<VirusName value="Example.Spy"/>' "$report" && grep -qF '<FilesInfected value="2"/>' "$report" \
    || fail "the report lacks the second detection"
[ "$(grep -c ' client_c:' "$install/zeAgent.log")" = 6 ] || fail "the main log lacks client_c.exe's events"
grep -qF ' no file C:\missing.txt Error=2: ' "$install/zeAgent.log" || fail "no error text behind client_c.exe's message"
summary=$(tr -d '\r' < "$work/summary.txt")
grep -qx 'files scanned: 2' <<<"$summary" && grep -qx 'detections: 1' <<<"$summary" || fail "summary: $summary"

# The plain exports are exactly what the C client imports; every other one belongs to an exported class
# (with the vtable and type information of the polymorphic CScnXml, and the public virtual members of its
# base CReportBase), and every member under its GCC name has its Microsoft name (same demangled signature).
exports=$(dll_exports "$DIST/bin/Tolvane.dll")
diff <(grep -E '^[A-Za-z][A-Za-z0-9_]*$' <<<"$exports") <(imports "$work/client_c.exe" | grep -v '\.dll$') \
    || fail "client.c does not call every C export"
if grep -vxE '[A-Za-z][A-Za-z0-9_]*' <<<"$exports" \
        | grep -vE '^_ZN?K?(14CExcludeHelper|10COnAccExcl|7CScnXml|11CReportBase)|^_ZT[VI]7CScnXml$' \
        | grep -vE '^\?\?[01](CExcludeHelper|COnAccExcl|CScnXml)@@|^\?[A-Za-z]+@(CExcludeHelper|COnAccExcl|CScnXml|CReportBase)@@'; then
    fail "unexpected exports above"
fi
members() { sed -E 's/(class|struct) //g; s/\(void\)/()/; s/ //g' | sort -u; }
diff <(grep '^_ZN' <<<"$exports" | x86_64-w64-mingw32-c++filt | members) \
     <(grep '^?' <<<"$exports" | llvm-undname | sed -n 's/.*__cdecl //p' | members) \
    || fail "GCC names (<) without a Microsoft name (>)"

echo "quick start and examples agree; $(wc -l <<<"$exports") exports, each member under both names"
