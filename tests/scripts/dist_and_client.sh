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
{ echo 'set -euxo pipefail'; for name in quick-start-setup link-recipe quick-start-config quick-start-run; do readme_block $name; done
  echo 'wine client_c.exe'; echo "wine scanner.exe '$(win_path "$work/scan")' 'SOFTWARE\\Tavrel\\Orbisk\\ExamplesTest' '$(win_path "$work/summary.txt")' || echo \"scanner exit: \$?\""; } \
    >"$work/quickstart.sh"
# Wine's processes of the new prefix must not hold the test runner's pipes. A program importing a runtime DLL
# (not shipped, not in that prefix) would not start.
(cd "$work" && env -u WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    setsid bash "$work/quickstart.sh" </dev/null >"$work/run.log" 2>&1) || { cat "$work/run.log"; fail "the quick start failed"; }
run=$(cat "$work/run.log" "$work/summary.txt" | tr -d '\r')
echo "$run"

# What the clients, the checker and the demo scanner print (the C++ client's switches and key are the imported file's).
for line in 'all calls succeeded' "Tolvane headers $version" "Tolvane headers $version ($(printf '0x%02x%02x%02x' ${version//./ }))" \
        'switches: on-access scanner on, peer update on' 'exclusions: 3 items from SOFTWARE\Tavrel\Orbisk\OnDemandScan' \
        'excluded 1: C:\Windows\Temp\scan.tmp' '  -> [main] file C:\Program Files\Tavrel\Orbisk\zeAgent.log' '  -> [debugger] debugger' \
        'IsSubSysEnabled(2) = 1' 'CreateFileSpecialAccess: created' 'log events written: 6' 'DisplayKelmoHelp: returned' \
        'scanner exit: 1' "Tolvane.dll $version (built with the headers of $version)" 'files scanned: 2' 'detections: 1'; do
    grep -qxF "$line" <<<"$run" || fail "the quick start does not print: $line"
done
install="$prefix/drive_c/Program Files/Tavrel/Orbisk"
grep -qF '<FilesInfected value="2"/>' "$install/Upload/"CIO*.Xml && grep -qF ' no file C:\missing.txt Error=2: ' "$install/zeAgent.log" \
    && [ "$(grep -c ' client_c:' "$install/zeAgent.log")" = 6 ] || fail "no report of two detections, or the main log lacks client.cpp's error or client_c.exe's 6 events"

# The plain exports are what the C client imports; the others belong to an exported class (with CScnXml's vtable
# and type information, and its base's public virtual members), each member under both names.
exports=$(dll_exports "$DIST/bin/Tolvane.dll")
diff <(grep -E '^[A-Za-z][A-Za-z0-9_]*$' <<<"$exports") <(imports "$work/client_c.exe" | grep -v '\.dll$') \
    || fail "client.c does not call every C export"
! grep -vxE '[A-Za-z][A-Za-z0-9_]*' <<<"$exports" | grep -vE '^_ZN?K?(14CExcludeHelper|10COnAccExcl|7CScnXml|11CReportBase)|^_ZT[VI]7CScnXml$' \
    | grep -vE '^\?\?[01](CExcludeHelper|COnAccExcl|CScnXml)@@|^\?[A-Za-z]+@(CExcludeHelper|COnAccExcl|CScnXml|CReportBase)@@' \
    || fail "unexpected exports above"
members() { sed -E 's/(class|struct) //g; s/\(void\)/()/; s/ //g' | sort -u; }
diff <(grep '^_ZN' <<<"$exports" | x86_64-w64-mingw32-c++filt | members) \
     <(grep '^?' <<<"$exports" | llvm-undname | sed -n 's/.*__cdecl //p' | members) \
    || fail "GCC names (<) without a Microsoft name (>)"

