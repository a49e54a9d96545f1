#!/bin/bash
# The checker finds nothing wrong in the annotated dist/config/logCfg.Ini and routes each kind of event to exactly
# the sections its comments promise (that its routes are where the library's events land is LogCheck.IniFiles').
. "$(dirname "$0")/support/dist.sh"
make_install
check="$DIST/bin/tolvane-logcheck.exe"
[ -f "$check" ] || fail "dist/bin/tolvane-logcheck.exe is not installed"
cp "$DIST/config/logCfg.Ini" "$inst/"
report=$(wine_run "$check") || fail "the checker finds fault with the sample:"$'\n'"$report"
# event | the sections that take it, in the order of the file
for row in "Wexmoor.Info|main debugger" "Wexmoor.Debug|debugger" "Tolvane.Debug|" "Tolvane.Notice|main" \
    "Tolvane.Warning|main collector" "Tolvane.Error|main errors collector" "TavrelOASDetection.Error|errors collector" \
    "Brisko.Emergency|main errors collector brisko" "Brisko.Debug|brisko"; do
    IFS='|' read -r event want <<<"$row"
    routes=$( (wine_run "$check" --event "$event" || true) | sed -n 's/^  -> \[\([^]]*\)\].*/\1/p' | xargs)
    [ "$routes" = "$want" ] || fail "$event: the checker names '$routes', the comments promise '$want'"
done
echo "the checker's routes agree with the sample's comments"
