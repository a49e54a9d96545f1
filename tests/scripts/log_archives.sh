#!/bin/bash
# Log archives checked with cabextract: an archived log lists one file under
# its inner name and unpacks to exactly the log's bytes; with several
# processes writing one log under a small size limit, every line is found
# exactly once over all archives and the current log.
set -eu
build=$1 source=$2
work="$build/log-archives-test"
rm -rf "$work"; mkdir -p "$work"
trap 'rm -rf "$work"' EXIT
winpath="Z:$(printf '%s' "$work" | tr / '\\')"

"$source/tools/wine-run.sh" "$build/bin/log_archive_fixture.exe" "$winpath" | tr -d '\r'

fail() { echo "FAILED: $*"; exit 1; }

# One known log.
cabs=("$work"/known.log*.cab)
[ ${#cabs[@]} -eq 1 ] && [ -f "${cabs[0]}" ] || fail "expected one archive of known.log, found: ${cabs[*]}"
cab=${cabs[0]}
inner=$(basename "$cab" .cab)
[[ $inner =~ ^known\.log[0-9]{14}$ ]] || fail "archive name $inner"
cabextract -t "$cab" >/dev/null || fail "cabextract -t $cab"
listed=$(cabextract -l "$cab" | awk -F'|' 'NF==3 && $1 ~ /[0-9]/ {gsub(/^ +| +$/, "", $3); print $3}')
[ "$listed" = "$inner" ] || fail "archive lists '$listed', expected '$inner'"
cabextract -q -p -F "$inner" "$cab" | cmp - "$work/known.log.expected" || fail "unpacked bytes differ"
echo "known.log: one file $inner, bytes identical"

# Many writers with rotation.
out="$work/unpacked"; mkdir -p "$out"
count=0
for cab in "$work"/stress.log*.cab; do
    inner=$(basename "$cab" .cab)
    names=$(cabextract -l "$cab" | awk -F'|' 'NF==3 && $1 ~ /[0-9]/ {gsub(/^ +| +$/, "", $3); print $3}')
    [ "$names" = "$inner" ] || fail "$cab lists '$names'"
    cabextract -q -p -F "$inner" "$cab" >>"$out/all"
    count=$((count + 1))
done
cat "$work/stress.log" >>"$out/all"
tr -d '\r' <"$out/all" | sort >"$out/found"
tr -d '\r' <"$work/stress.expected" | sort >"$out/expected"
if ! cmp -s "$out/found" "$out/expected"; then
    echo "lines missing (<) or extra/duplicated (>):"
    diff "$out/expected" "$out/found" | head -20
    fail "lines over $count archives and the log differ from the lines written"
fi
echo "stress.log: $(wc -l <"$out/expected") lines found exactly once over $count archives and the log"
