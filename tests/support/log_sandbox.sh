# Kept for tests/scripts/logcheck_table.sh only: the script library (tests/scripts/support/script.sh) with
# its installation folder and private rsyslogd, under the names that script uses.
. "$source/tests/scripts/support/script.sh" "$build" "$source"
. "$source/tests/scripts/support/rsyslog.sh"
key=$client_key
winpath() { win_path "$1"; }
sandbox_begin() { make_install; }
