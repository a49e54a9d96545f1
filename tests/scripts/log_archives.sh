#!/bin/bash
# Log archives checked with cabextract: a log of a few hundred kilobytes past
# its size limit is archived as one file under the inner name with exactly its
# bytes; with several processes writing one log under a small size limit,
# every line is found exactly once over all archives and the current log.
set -euo pipefail
build=$1 source=$2 work="$1/log-archives-test" key='HKLM\SOFTWARE\Tavrel\Orbisk'
run() { "$source/tools/wine-run.sh" "$@" | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }
ini() { printf '[log]\nfilter=*.Debug\ntype=file\nformat=%%m\nfilename=%s\nmaxsize=%s\n' "$@" >"$work/logCfg.Ini"; }
unpack() {   # the archive's one file, named as the archive without ".cab", to stdout
    local listed
    listed=$(cabextract -l "$1" | awk -F'|' 'NF==3 && $1 ~ /[0-9]/ {gsub(/^ +| +$/, "", $3); print $3}')
    [ "$listed" = "$(basename "$1" .cab)" ] || fail "$1 lists '$listed'"
    cabextract -q -p -F "$listed" "$1"
}
rm -rf "$work"; mkdir -p "$work"; trap 'rm -rf "$work"; run reg delete "$key" /f >/dev/null 2>&1 || true' EXIT
run reg add "$key" /v szInstallDir /t REG_SZ /d "Z:$(printf '%s' "$work" | tr / '\\')" /f >/dev/null

seq 0 7999 | awk '{printf "12-04 22:58:01 Info zeAgtSvc:1a2c line %d\r\n", $1 * 7919 % 10007}' >"$work/known.log"
cp "$work/known.log" "$work/known.expected"
ini known.log 1000
run "$build/bin/log_writer.exe" after 1
cabs=("$work"/known.log*.cab)
[[ ${#cabs[@]} -eq 1 && $(basename "${cabs[0]}") =~ ^known\.log[0-9]{14}\.cab$ ]] || fail "archives: ${cabs[*]}"
unpack "${cabs[0]}" | cmp - "$work/known.expected" || fail "unpacked bytes differ"
[ "$(cat "$work/known.log")" = $'after-00000\r' ] || fail "known.log was not started anew"
ini stress.log 3000
for p in 0 1 2 3; do run "$build/bin/log_writer.exe" "writer$p" 400 2 & pids[p]=$!; done
for pid in "${pids[@]}"; do wait "$pid" || fail "a writer failed"; done
for p in 0 1 2 3; do printf "writer$p-%05d\n" $(seq 0 399); done | sort >"$work/expected"
cabs=("$work"/stress.log*.cab)
for cab in "${cabs[@]}"; do unpack "$cab"; done | cat - "$work/stress.log" | tr -d '\r' | sort >"$work/found"
diff "$work/expected" "$work/found" >"$work/diff" ||
    { head -20 "$work/diff"; fail "lines over ${#cabs[@]} archives and stress.log differ from the lines written"; }
echo "known.log archived whole; $(wc -l <"$work/expected") lines found once over ${#cabs[@]} archives and stress.log"
