#!/bin/bash
# The annotated dist/config/logCfg.Ini: the checker finds nothing wrong in it, and for each kind of event
# it names exactly the sections that its comments promise; a real event of each kind arrives in exactly
# those sections (the files, a private rsyslogd, the debugger of the writing process).
. "$(dirname "$0")/support/dist.sh"
. "$src/tests/scripts/support/rsyslog.sh"
make_install
check="$DIST/bin/tolvane-logcheck.exe"
[ -f "$check" ] || fail "dist/bin/tolvane-logcheck.exe is not installed"
cp "$DIST/config/logCfg.Ini" "$inst/"
rsyslog_start "$work" || exit 1

report=$(wine_run "$check") || fail "the checker finds fault with the sample:"$'\n'"$report"
for section in main errors collector debugger brisko; do
    grep -q "^\[$section\] type " <<<"$report" || fail "the checker does not list [$section]"
done

# event | the sections that take it, in the order of the file
table=(
"Wexmoor.Info|main debugger"
"Wexmoor.Debug|debugger"
"Tolvane.Debug|"
"Tolvane.Notice|main"
"Tolvane.Warning|main collector"
"Tolvane.Error|main errors collector"
"TavrelOASDetection.Error|errors collector"
"Brisko.Emergency|main errors collector brisko"
"Brisko.Debug|brisko"
)
n=0
for row in "${table[@]}"; do
    IFS='|' read -r event want <<<"$row"
    n=$((n + 1))
    routes=$( (wine_run "$check" --event "$event" || true) | sed -n 's/^  -> \[\([^]]*\)\].*/\1/p' | xargs)
    [ "$routes" = "$want" ] || fail "$event: the checker names '$routes', the comments promise '$want'"

    marker="sample-$n-$$"
    find "$inst" -name '*.log' -delete
    captured=$(wine_run "$build/bin/debug_capture.exe" "$(printf 'Z:%s' "$check" | tr / '\\')" \
        --write "$event" "$marker")
    arrived=()
    grep -qF -- "$marker" "$inst/zeAgent.log" 2>/dev/null && arrived+=(main)
    grep -qF -- "$marker" "$inst/zeErrors.log" 2>/dev/null && arrived+=(errors)
    grep -qF -- "$marker" "$inst/Brisko.log" 2>/dev/null && brisko=yes || brisko=
    if [[ " $want " == *" collector "* ]]; then   # datagrams take a moment to be stored
        for _ in $(seq 100); do grep -qF -- "$marker" "$RSYSLOG_OUT" && break; sleep 0.1; done
    else
        sleep 0.3
    fi
    grep -qF -- "$marker" "$RSYSLOG_OUT" && arrived+=(collector)
    grep -q "^debug: .*$marker" <<<"$captured" && arrived+=(debugger)
    [ -z "$brisko" ] || arrived+=(brisko)
    [ "${arrived[*]}" = "$want" ] || fail "$event arrived in '${arrived[*]}', expected '$want'"
done
echo "$n kinds of event: the checker's routes and the real events agree with the sample's comments"
