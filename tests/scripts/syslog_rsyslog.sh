#!/bin/bash
# A private rsyslogd on UDP 127.0.0.1:514 (failing, saying so, when the port is taken) with docs/logging.md's rule
# files an event of each level, sent through an ini "syslog" section, once in the file named after the computer, with
# the event's time, the level's severity and the line. (The datagram's bytes are LogSyslog.DatagramByteForByte's.)
. "$(dirname "$0")/support/script.sh"
make_install
udp_514_taken() { awk 'NR > 1 && $2 ~ /:0202$/ { found = 1 } END { exit !found }' /proc/net/udp; }
udp_514_taken && fail "UDP port 514 is taken on this machine; the private rsyslogd needs it"
{ printf 'global(workDirectory="%s")\nmodule(load="imudp")\ninput(type="imudp" port="514" address="127.0.0.1")\n' "$work"
  sed -n '/<!-- BEGIN rsyslog-rule -->/,/<!-- END rsyslog-rule -->/p' "$src/docs/logging.md" |
      grep -v -e '^<!--' -e '^```' -e '^module(' -e '^input(' | sed "s|/var/log/tolvane|$work/by-computer|"; } >"$work/rsyslog.conf"
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
filed=$work/by-computer/$(hostname | tr '[:lower:]' '[:upper:]' | cut -c1-15).log
for _ in $(seq 300); do [ "$(cat "$filed" 2>/dev/null | wc -l)" -ge 8 ] && break; sleep 0.1; done
[ "$(cat "$filed" 2>/dev/null | wc -l)" -eq 8 ] || fail "not 8 lines filed in $filed: $(ls "$work/by-computer")"
for n in "${!levels[@]}"; do
    grep -Eq "^([0-9-]+)T([0-9:]+)[0-9.:+-]* ${severities[$n]} \1 \2\.[0-9]{3} ${levels[$n]} Tolvane level-$n\$" "$filed" ||
        fail "level ${levels[$n]} not filed as documented:"$'\n'"$(cat "$filed")"
done
echo "rsyslogd filed the events of all 8 levels as sent, as documented"
