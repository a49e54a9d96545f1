# Sourced by script tests after script.sh: a private rsyslogd with its own configuration, pid file and output file in a folder of
# the test, receiving UDP datagrams on 127.0.0.1 port 514 and storing how it parsed each one, one line
# per datagram: priority|facility|severity|host|time reported|message|the datagram as received.
# rsyslog_start FOLDER [RULES] starts it (and fails, saying so, when port 514 is taken), with the rules of
# the file RULES behind the one that stores everything; it is stopped when the test ends.

udp_514_taken() { awk 'NR > 1 && $2 ~ /:0202$/ { found = 1 } END { exit !found }' /proc/net/udp; }

rsyslog_start() {
    local dir=$1 rules=${2:-}
    RSYSLOG_OUT=$dir/received.txt
    on_exit rsyslog_stop
    if udp_514_taken; then
        echo "FAILED: UDP port 514 is taken on this machine; the private rsyslogd needs it"
        return 1
    fi
    cat >"$dir/rsyslog.conf" <<CONF
global(workDirectory="$dir")
module(load="imudp")
input(type="imudp" port="514" address="127.0.0.1")
template(name="parsed" type="string"
         string="%pri%|%syslogfacility-text%|%syslogseverity-text%|%hostname%|%timereported:::date-rfc3339%|%msg%|%rawmsg%\n")
*.* action(type="omfile" file="$RSYSLOG_OUT" template="parsed")
CONF
    [ -z "$rules" ] || echo "include(file=\"$rules\")" >>"$dir/rsyslog.conf"
    : >"$RSYSLOG_OUT"
    if ! /usr/sbin/rsyslogd -N1 -f "$dir/rsyslog.conf" >"$dir/rsyslogd.log" 2>&1; then
        echo "FAILED: rsyslogd refuses the configuration:"; cat "$dir/rsyslogd.log"
        return 1
    fi
    /usr/sbin/rsyslogd -n -f "$dir/rsyslog.conf" -i "$dir/rsyslog.pid" >"$dir/rsyslogd.log" 2>&1 &
    RSYSLOG_PID=$!
    local i
    for i in $(seq 100); do
        if ! kill -0 "$RSYSLOG_PID" 2>/dev/null; then
            RSYSLOG_PID=
            echo "FAILED: rsyslogd stopped at once (is UDP port 514 taken?):"; cat "$dir/rsyslogd.log"
            return 1
        fi
        udp_514_taken && return 0
        sleep 0.1
    done
    echo "FAILED: rsyslogd does not listen on 127.0.0.1:514"; cat "$dir/rsyslogd.log"
    return 1
}

rsyslog_stop() {
    if [ -n "${RSYSLOG_PID:-}" ]; then
        kill "$RSYSLOG_PID" 2>/dev/null || true
        wait "$RSYSLOG_PID" 2>/dev/null || true
        RSYSLOG_PID=
    fi
}

# rsyslog_wait_for COUNT: waits up to 30 s until COUNT datagrams are stored.
rsyslog_wait_for() {
    local i
    for i in $(seq 300); do
        [ "$(wc -l <"$RSYSLOG_OUT")" -ge "$1" ] && return 0
        sleep 0.1
    done
    return 1
}
