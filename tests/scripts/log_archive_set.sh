#!/bin/bash
# A log whose compressed form does not fit one cabinet (2 MB of random bytes)
# is archived as a set: "<name><stamp>.cab" followed by "<name><stamp>_2.cab",
# "_3.cab", ...; cabextract rebuilds every byte from the first cabinet of the
# set. The next archiving of zeAgent.log prunes the older set whole.
set -euo pipefail
build=$1 source=$2 work="$1/log-archive-set-test" key='HKLM\SOFTWARE\Tavrel\Orbisk'
run() { "$source/tools/wine-run.sh" "$build/bin/log_writer.exe" "$@" | tr -d '\r'; }
fail() { echo "FAILED: $*"; exit 1; }
ini() { printf '[log]\nfilter=*.Debug\ntype=file\nformat=%%m\nfilename=%s\nmaxsize=%s\n' "$@" >"$work/logCfg.Ini"; }
rm -rf "$work"; mkdir -p "$work"; trap 'rm -rf "$work"; "$source/tools/wine-run.sh" reg delete "$key" /f >/dev/null 2>&1 || true' EXIT
"$source/tools/wine-run.sh" reg add "$key" /v szInstallDir /t REG_SZ /d "Z:$(printf '%s' "$work" | tr / '\\')" /f >/dev/null

# Checks that the cabinets of one set are named in order, and that the set
# extracts to exactly the bytes of $2. Prints the set's first cabinet.
check_set() {
    local first=$1 expected=$2 stem count n
    stem=${first%.cab}
    count=$(ls "$work" | grep -c "^$(basename "$stem")\(_[0-9]*\)\?\.cab$")
    [ "$count" -ge 2 ] || fail "$(basename "$first"): $count cabinet(s), a set expected"
    for n in $(seq 2 "$count"); do [ -f "${stem}_$n.cab" ] || fail "${stem}_$n.cab missing"; done
    rm -rf "$work/out"; mkdir "$work/out"
    (cd "$work" && cabextract -q -d out "$(basename "$first")") || fail "cabextract failed on the set"
    [ "$(ls "$work/out")" = "$(basename "$stem")" ] || fail "extracted: $(ls "$work/out")"
    cmp "$work/out/$(basename "$stem")" "$expected" || fail "extracted bytes differ"
    echo "$count"
}

ini zeAgent.log 1000
head -c 2097152 /dev/urandom >"$work/zeAgent.log"
cp "$work/zeAgent.log" "$work/first.expected"
run after 1
firsts=($(ls "$work" | grep -E '^zeAgent\.log[0-9]{14}\.cab$'))
[ ${#firsts[@]} -eq 1 ] || fail "first cabinets: ${firsts[*]}"
count=$(check_set "$work/${firsts[0]}" "$work/first.expected")
[ "$(cat "$work/zeAgent.log")" = $'after-00000\r' ] || fail "zeAgent.log was not started anew"

# Each archiving keeps the newest earlier archive beside the new one: the
# third prunes the first set, all of its cabinets.
for round in second third; do
    sleep 1   # the next set gets another time stamp
    head -c 2097152 /dev/urandom >"$work/zeAgent.log"
    cp "$work/zeAgent.log" "$work/$round.expected"
    run "$round" 1
done
sets=($(ls "$work" | grep -E '^zeAgent\.log[0-9]{14}\.cab$'))
[ ${#sets[@]} -eq 2 ] && [ "${sets[0]}" != "${firsts[0]}" ] || fail "sets after pruning: ${sets[*]}"
if ls "$work" | grep -q "^${firsts[0]%.cab}"; then fail "cabinets of the first set are left: $(ls "$work")"; fi
count2=$(check_set "$work/${sets[0]}" "$work/second.expected")
count3=$(check_set "$work/${sets[1]}" "$work/third.expected")
echo "2 MB logs archived as sets of $count, $count2 and $count3 cabinets, extracted whole; the first set pruned whole"
