#!/bin/bash
# A real collector reads the client's syslog datagrams: a private rsyslogd on UDP 127.0.0.1:514 (the test fails,
# saying so, when the port is taken) receives an event of each level sent through an ini "syslog" section. It
# must store the level as the severity, facility user, the event's own time, and as the message the padded
# computer name followed by the whole line. The rule that docs/logging.md shows files each event, as it says,
# in the file named after the computer.
. "$(dirname "$0")/support/script.sh"
make_install
udp_514_taken() { awk 'NR > 1 && $2 ~ /:0202$/ { found = 1 } END { exit !found }' /proc/net/udp; }
udp_514_taken && fail "UDP port 514 is taken on this machine; the private rsyslogd needs it"
out=$work/received.txt computer=$(hostname | tr '[:lower:]' '[:upper:]' | cut -c1-15)
sed -n '/<!-- BEGIN rsyslog-rule -->/,/<!-- END rsyslog-rule -->/p' "$src/docs/logging.md" |
    grep -v -e '^<!--' -e '^```' -e '^module(' -e '^input(' | sed "s|/var/log/tolvane|$work/by-computer|" >"$work/rule.conf"
grep -q dynaFile "$work/rule.conf" || fail "no rsyslog rule in docs/logging.md"
cat >"$work/rsyslog.conf" <<CONF
global(workDirectory="$work")
module(load="imudp")
input(type="imudp" port="514" address="127.0.0.1")
template(name="parsed" type="string"
         string="%pri%|%syslogfacility-text%|%syslogseverity-text%|%hostname%|%timereported:::date-rfc3339%|%msg%\n")
*.* action(type="omfile" file="$out" template="parsed")
include(file="$work/rule.conf")
CONF
/usr/sbin/rsyslogd -N1 -f "$work/rsyslog.conf" >"$work/rsyslogd.log" 2>&1 || fail "rsyslogd: $(cat "$work/rsyslogd.log")"
/usr/sbin/rsyslogd -n -f "$work/rsyslog.conf" -i "$work/rsyslog.pid" >"$work/rsyslogd.log" 2>&1 &
rsyslogd=$!; on_exit "kill $rsyslogd; wait $rsyslogd"
for _ in $(seq 100); do kill -0 $rsyslogd 2>/dev/null && ! udp_514_taken || break; sleep 0.1; done
kill -0 $rsyslogd && udp_514_taken || fail "rsyslogd does not listen on 127.0.0.1:514: $(cat "$work/rsyslogd.log")"

printf '[collector]\r\nfilter=*.Debug\r\ntype=syslog\r\nserver=127.0.0.1\r\nformat=%%+D %%+T %%l %%f %%m\r\n' \
    >"$inst/logCfg.Ini"
levels=(Emergency Alert CriticalError Error Warning Notice Info Debug)
severities=(emerg alert crit err warning notice info debug)
for n in "${!levels[@]}"; do
    wine_run "$build/bin/tolvane-logcheck.exe" --write "Tolvane.${levels[$n]}" "level-$n" >/dev/null ||
        fail "the checker could not send a ${levels[$n]} event"
done
for _ in $(seq 300); do [ "$(grep -c . "$out")" -ge 8 ] && break; sleep 0.1; done
filed="$work/by-computer/$computer.log"
[ "$(grep -c . "$filed" || true)" -eq 8 ] || fail "the documented rule filed $(grep -c . "$filed") lines in $filed"
for n in "${!levels[@]}"; do
    IFS='|' read -r pri facility severity host reported message <<<"$(grep -F " Tolvane level-$n" "$out")"
    [[ "$pri $facility $severity" = "$((8 + n)) user ${severities[$n]}" && -n $host &&
       $message =~ ^"$(printf '%15s' "$computer") "([0-9-]+)\ ([0-9:]+)\.[0-9]{3}\ ${levels[$n]}\ Tolvane\ level-$n$ &&
       ${reported:0:19} = "${BASH_REMATCH[1]}T${BASH_REMATCH[2]}" ]] ||
        fail "${levels[$n]} stored as $pri|$facility|$severity|$host|$reported|$message"
    grep -Eq "^${reported:0:19}[0-9.:+-]* ${severities[$n]} [0-9-]+ [0-9:.]+ ${levels[$n]} Tolvane level-$n\$" "$filed" ||
        fail "the documented rule did not file level ${levels[$n]} as documented"
done
echo "rsyslogd stored the events of all 8 levels as sent, and filed them as documented"
