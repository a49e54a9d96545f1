#!/bin/bash
# Log archives as cabextract finds them: a log too big for one cabinet (2 MB of random bytes) becomes a set
# "<name><stamp>.cab", "<name><stamp>_2.cab", ... rebuilt whole from the first; a cabinet.dll beside the program is
# never loaded; four processes (one of eight threads) under a small size limit leave every line once and whole.
. "$(dirname "$0")/support/script.sh"
make_install
run() { wine_run "$build/bin/log_writer.exe" "$@"; }
ini() { printf '[log]\nfilter=*.Debug\ntype=file\nformat=%%m\nfilename=%s\nmaxsize=%s\n' "$@" >"$inst/logCfg.Ini"; }
# log_with NAME LIMIT < BYTES: the log NAME holds BYTES, kept as $work/NAME.expected, and is limited to LIMIT.
log_with() { ini "$1" "$2"; cat >"$inst/$1"; cp "$inst/$1" "$work/$1.expected"; }
# unpack CAB: the one file of the archive (or set) CAB, which must be named as CAB without ".cab", to stdout.
unpack() {
    rm -rf "$work/out"; mkdir "$work/out"
    (cd "$(dirname "$1")" && cabextract -q -d "$work/out" "$(basename "$1")") || fail "cabextract failed on $1"
    [ "$(ls "$work/out")" = "$(basename "$1" .cab)" ] || fail "$1 holds: $(ls "$work/out")"
    cat "$work/out/"*
}

head -c 2097152 /dev/urandom | log_with zeAgent.log 1000
run after 1
cabs=$(ls "$inst" | grep '^zeAgent\.log.*\.cab$') first=$(grep -E '^zeAgent\.log[0-9]{14}\.cab$' <<<"$cabs" || true)
n=$(wc -l <<<"$cabs")
[ "$n" -ge 2 ] && [ "$cabs" = "$({ echo "$first"; seq -f "${first%.cab}_%g.cab" 2 "$n"; } | sort)" ] ||
    fail "not a set of cabinets named in order: $cabs"
unpack "$inst/$first" | cmp - "$work/zeAgent.log.expected" || fail "the set's bytes differ"

# Wine is told to prefer the stand-in for the copy of the program, as Windows would find it first.
cp "$build/bin/log_writer.exe" "$work/beside_cabinet.exe"; cp "$build/bin/standin-only/cabinet.dll" "$work/"
overrides='HKCU\Software\Wine\AppDefaults\beside_cabinet.exe'
wine_run reg add "$overrides\DllOverrides" /v cabinet /d native,builtin /f >/dev/null
printf 'over the limit\r\n' | log_with beside.log 10
CABINET_STANDIN_RECORD=$(win_path "$work/standin-loaded") wine_run "$work/beside_cabinet.exe" beside 1
wine_run reg delete "$overrides" /f >/dev/null
[ ! -e "$work/standin-loaded" ] || fail "the cabinet.dll beside the program was loaded"
unpack "$inst"/beside.log*.cab | cmp - "$work/beside.log.expected" || fail "beside.log not archived"

ini stress.log 3000
writers=("first 1000" "second 1000 8" "writer2 400 2" "writer3 400 2") pids=()   # eight threads start at once
for w in "${writers[@]}"; do run $w & pids+=($!); done
for pid in "${pids[@]}"; do wait "$pid" || fail "a writer failed"; done
for w in "${writers[@]}"; do set -- $w; printf "$1-%05d\n" $(seq 0 $(($2 - 1))); done | sort >"$work/expected"
for cab in "$inst"/stress.log*.cab; do unpack "$cab"; done | cat - "$inst/stress.log" | tr -d '\r' | sort >"$work/found"
diff "$work/expected" "$work/found" >"$work/diff" || { head -20 "$work/diff"; fail "stress.log's lines differ"; }
echo "a 2 MB log archived as a set of $n cabinets; $(wc -l <"$work/expected") lines found once"
