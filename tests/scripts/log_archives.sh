#!/bin/bash
# Log archives checked with cabextract: a log past its size limit is archived as one file under the inner
# name with exactly its bytes. One whose compressed form does not fit one cabinet (2 MB of random bytes)
# is archived as a set, "<name><stamp>.cab" followed by "<name><stamp>_2.cab", "_3.cab", ..., from whose
# first cabinet cabextract rebuilds every byte; the next archiving of zeAgent.log prunes the older set
# whole. With four processes (two of 1000 events, one of eight threads) writing one log under a small size
# limit, every line is found whole and once over all archives and the current log. A cabinet.dll beside
# the program is never loaded.
. "$(dirname "$0")/support/script.sh"
make_install
run() { wine_run "$build/bin/log_writer.exe" "$@"; }
ini() { printf '[log]\nfilter=*.Debug\ntype=file\nformat=%%m\nfilename=%s\nmaxsize=%s\n' "$@" >"$inst/logCfg.Ini"; }
unpack() {   # the archive's one file, named as the archive without ".cab", to stdout
    local listed
    listed=$(cabextract -l "$1" | awk -F'|' 'NF==3 && $1 ~ /[0-9]/ {gsub(/^ +| +$/, "", $3); print $3}')
    [ "$listed" = "$(basename "$1" .cab)" ] || fail "$1 lists '$listed'"
    cabextract -q -p -F "$listed" "$1"
}
# log_with NAME LIMIT COPY < BYTES: the log NAME holds BYTES, kept as $work/COPY, and is limited to LIMIT.
log_with() { ini "$1" "$2"; cat >"$inst/$1"; cp "$inst/$1" "$work/$3"; }

seq 0 7999 | awk '{printf "12-04 22:58:01 Info zeAgtSvc:1a2c line %d\r\n", $1 * 7919 % 10007}' | log_with known.log 1000 known.expected
run after 1
cabs=("$inst"/known.log*.cab)
[[ ${#cabs[@]} -eq 1 && $(basename "${cabs[0]}") =~ ^known\.log[0-9]{14}\.cab$ ]] || fail "archives: ${cabs[*]}"
unpack "${cabs[0]}" | cmp - "$work/known.expected" || fail "unpacked bytes differ"
[ "$(cat "$inst/known.log")" = $'after-00000\r' ] || fail "known.log was not started anew"

# Only the system's cabinet library makes archives: a stand-in cabinet.dll beside the program, which Wine
# is told to prefer for it as Windows would find it first, is never loaded.
cp "$build/bin/log_writer.exe" "$work/beside_cabinet.exe"; cp "$build/bin/standin-only/cabinet.dll" "$work/"
overrides='HKCU\Software\Wine\AppDefaults\beside_cabinet.exe'
wine_run reg add "$overrides\DllOverrides" /v cabinet /d native,builtin /f >/dev/null
printf 'over the limit\r\n' | log_with beside.log 10 beside.expected
CABINET_STANDIN_RECORD=$(win_path "$work/standin-loaded") wine_run "$work/beside_cabinet.exe" beside 1
wine_run reg delete "$overrides" /f >/dev/null
[ ! -e "$work/standin-loaded" ] || fail "the cabinet.dll beside the program was loaded"
cabs=("$inst"/beside.log*.cab)
[ ${#cabs[@]} -eq 1 ] && unpack "${cabs[0]}" | cmp - "$work/beside.expected" || fail "beside.log not archived"
# The cabinets of the set that starts with $1 are named in order and extract to exactly the bytes of $2.
# Adds the number of cabinets to counts.
counts=()
check_set() {
    local stem=${1%.cab} count n
    count=$(ls "$inst" | grep -c "^$(basename "$stem")\(_[0-9]*\)\?\.cab$")
    [ "$count" -ge 2 ] || fail "$(basename "$1"): $count cabinet(s), a set expected"
    for n in $(seq 2 "$count"); do [ -f "${stem}_$n.cab" ] || fail "${stem}_$n.cab missing"; done
    rm -rf "$work/out"; mkdir "$work/out"
    (cd "$inst" && cabextract -q -d "$work/out" "$(basename "$1")") || fail "cabextract failed on the set"
    [ "$(ls "$work/out")" = "$(basename "$stem")" ] || fail "extracted: $(ls "$work/out")"
    cmp "$work/out/$(basename "$stem")" "$2" || fail "extracted bytes differ"
    counts+=("$count")
}
sets() { ls "$inst" | grep -E '^zeAgent\.log[0-9]{14}\.cab$'; }
head -c 2097152 /dev/urandom | log_with zeAgent.log 1000 first.expected
run after 1
first=$(sets)
[ "$(wc -l <<<"$first")" -eq 1 ] || fail "first cabinets: $first"
check_set "$inst/$first" "$work/first.expected"
[ "$(cat "$inst/zeAgent.log")" = $'after-00000\r' ] || fail "zeAgent.log was not started anew"
# Each archiving keeps the newest earlier archive beside the new one: the third prunes the first set,
# all of its cabinets.
for round in second third; do
    sleep 1   # the next set gets another time stamp
    head -c 2097152 /dev/urandom | log_with zeAgent.log 1000 "$round.expected"
    run "$round" 1
done
mapfile -t later < <(sets)
[ ${#later[@]} -eq 2 ] && [ "${later[0]}" != "$first" ] || fail "sets after pruning: ${later[*]}"
if ls "$inst" | grep -q "^${first%.cab}"; then fail "cabinets of the first set are left: $(ls "$inst")"; fi
check_set "$inst/${later[0]}" "$work/second.expected"
check_set "$inst/${later[1]}" "$work/third.expected"
echo "2 MB logs archived as sets of ${counts[*]} cabinets, extracted whole; the first set pruned whole"

ini stress.log 3000
run first 1000 & pids=($!); run second 1000 8 & pids+=($!)   # eight threads start at once
for p in 2 3; do run "writer$p" 400 2 & pids+=($!); done
for pid in "${pids[@]}"; do wait "$pid" || fail "a writer failed"; done
{ printf 'first-%05d\n' $(seq 0 999); printf 'second-%05d\n' $(seq 0 999)
  for p in 2 3; do printf "writer$p-%05d\n" $(seq 0 399); done; } | sort >"$work/expected"
cabs=("$inst"/stress.log*.cab)
for cab in "${cabs[@]}"; do unpack "$cab"; done | cat - "$inst/stress.log" | tr -d '\r' | sort >"$work/found"
diff "$work/expected" "$work/found" >"$work/diff" ||
    { head -20 "$work/diff"; fail "lines over ${#cabs[@]} archives and stress.log differ from the lines written"; }
echo "known.log archived whole; $(wc -l <"$work/expected") lines found once over ${#cabs[@]} archives and stress.log"
