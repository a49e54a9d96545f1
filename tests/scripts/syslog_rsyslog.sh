#!/bin/bash
# A real collector reads the client's syslog datagrams: a private rsyslogd receives events of every level
# sent through an ini "syslog" section, and a burst of 1000 events. For each datagram it must store the
# event's level as the severity, facility user, the event's own time, and as the message the padded
# computer name followed by the whole line. The rule that docs/logging.md shows files every event in
# the file named after the computer.
. "$(dirname "$0")/support/script.sh"
. "$src/tests/scripts/support/rsyslog.sh"
make_install
# The documented rule, writing below the test's folder; the test's own input takes its module and input.
sed -n '/<!-- BEGIN rsyslog-rule -->/,/<!-- END rsyslog-rule -->/p' "$src/docs/logging.md" |
    grep -v -e '^<!--' -e '^```' -e '^module(' -e '^input(' | sed "s|/var/log/tolvane|$work/by-computer|" \
    >"$work/tolvane-rule.conf"
grep -q dynaFile "$work/tolvane-rule.conf" || fail "no rsyslog rule in docs/logging.md"
rsyslog_start "$work" "$work/tolvane-rule.conf" || exit 1

printf '[collector]\r\nfilter=*.Debug\r\ntype=syslog\r\nserver=127.0.0.1\r\nformat=%%+D %%+T %%l %%f %%m\r\n' \
    >"$inst/logCfg.Ini"

levels=(Emergency Alert CriticalError Error Warning Notice Info Debug)
severities=(emerg alert crit err warning notice info debug)
for n in "${!levels[@]}"; do
    wine_run "$build/bin/tolvane-logcheck.exe" --write "Tolvane.${levels[$n]}" "level-$n" >/dev/null ||
        fail "the checker could not send a ${levels[$n]} event"
done
wine_run "$build/bin/log_writer.exe" burst 1000
rsyslog_wait_for 1008 || fail "rsyslogd stored $(wc -l <"$RSYSLOG_OUT") of 1008 datagrams"

computer=$(hostname | tr '[:lower:]' '[:upper:]' | cut -c1-15)
padded=$(printf '%15s' "$computer")
for n in "${!levels[@]}"; do
    stored=$(grep -F " Tolvane level-$n" "$RSYSLOG_OUT") || fail "no datagram of level ${levels[$n]}"
    IFS='|' read -r pri facility severity host reported message _ <<<"$stored"
    [ "$pri $facility $severity" = "$((8 + n)) user ${severities[$n]}" ] ||
        fail "${levels[$n]}: priority $pri, facility $facility, severity $severity"
    [ -n "$host" ] || fail "${levels[$n]}: no host"
    [[ $message =~ ^"$padded "([0-9-]+)\ ([0-9:]+)\.[0-9]{3}\ ${levels[$n]}\ Tolvane\ level-$n$ ]] ||
        fail "${levels[$n]}: message '$message'"
    # The time the collector parsed from the header is the event's own, as the line shows it.
    [ "${reported:0:19}" = "${BASH_REMATCH[1]}T${BASH_REMATCH[2]}" ] ||
        fail "${levels[$n]}: time reported $reported, event time ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
done

burst=$(grep -F ' Info Tolvane burst-' "$RSYSLOG_OUT" | grep -c '^14|user|info|' || true)
[ "$burst" -eq 1000 ] || fail "$burst of 1000 burst events stored as user.info"
distinct=$(grep -o 'burst-[0-9]*$' "$RSYSLOG_OUT" | sort -u | wc -l)
[ "$distinct" -eq 1000 ] || fail "$distinct distinct burst events stored"
# The documented rule: one file named after the computer, each line the time, severity and the line.
filed="$work/by-computer/$computer.log"
[ "$(grep -c . "$filed" 2>/dev/null)" -eq 1008 ] || fail "the documented rule filed $(grep -c . "$filed" 2>/dev/null || echo no) lines in $filed"
for n in "${!levels[@]}"; do
    grep -Eq "^[0-9T:+-]+ ${severities[$n]} [0-9-]+ [0-9:.]+ ${levels[$n]} Tolvane level-$n\$" "$filed" ||
        fail "the documented rule did not file level ${levels[$n]} as documented"
done
echo "rsyslogd stored all 8 levels and 1000 burst events as sent"
