#!/bin/bash
# tolvane-logcheck against a table of ini files: the warnings each must give (and no others), its exit
# code, and its routes for one event, which must be exactly the files where a real event sent through
# the library lands.
set -euo pipefail
build=$(realpath "$1") source=$2
. "$source/tests/support/log_sandbox.sh"
check() { wine_run "$build/bin/tolvane-logcheck.exe" "$@" | tr -d '\r'; }   # the checker's exit code
report() { check "$@" || true; }                                               # its output only
sandbox_begin "$build/logcheck-test"
mkdir -p "$inst/logs" "$work/abs"

# name | event | ini text (printf escapes; "-" for no ini file, "utf16:" to store it as UTF-16)
#      | the warnings expected, ";" between them | the files (below the work folder) the event lands in
cases=(
"no-filter|Wexmoor.Info|[main]\ntype=file\nformat=%%m\nfilename=a.log\n|[main] no \"filter\"|"
"colon-term|Tolvane.Warning|[main]\nfilter=Tolvane:Warning\ntype=file\nformat=%%m\nfilename=a.log\n|[main] term \"Tolvane:Warning\" has no \".\";[main] the filter has no term that admits|"
"type-files|Wexmoor.Info|[main]\nfilter=*.Info\ntype=files\nformat=%%m\nfilename=a.log\n|[main] type \"files\" is not file|"
"no-type|Wexmoor.Info|[main]\nfilter=*.Info\nformat=%%m\nfilename=a.log\n|[main] no \"type\"|"
"missing-folder|Wexmoor.Info|[main]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=nowhere\\\\a.log\n|[main] the folder of|"
"no-filename|Wexmoor.Info|[main]\nfilter=*.Info\ntype=file\nformat=%%m\n|[main] no \"filename\"|"
"empty-ini|Wexmoor.Error||the ini file lists no section|"
"unknown-level|Wexmoor.Info|[main]\nfilter=*.Wraning\ntype=file\nformat=%%m\nfilename=a.log\n|[main] term \"*.Wraning\": \"Wraning\" is no level name|inst/a.log"
"all-negative|Wexmoor.Info|[main]\nfilter=~Brisko.Debug\ntype=file\nformat=%%m\nfilename=a.log\n|[main] the filter has no term that admits|"
"unpruned|Wexmoor.Info|[errors]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=errors.log\nmaxsize=100000\n|[errors] the archives of errors.log are never pruned|inst/errors.log"
"pruned-main|Wexmoor.Info|[main]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=zeAgent.log\nmaxsize=100000\n||inst/zeAgent.log"
"bad-server|Wexmoor.Info|[sys]\nfilter=*.Info\ntype=syslog\nformat=%%m\nserver=loghost\n|[sys] server \"loghost\" is no dotted IPv4|"
"no-format|Wexmoor.Info|[main]\nfilter=*.Info\ntype=file\nfilename=a.log\n|[main] no \"format\"|inst/a.log"
"two-sections|Wexmoor.Info|[errors]\nfilter=*.Error\ntype=file\nformat=%%m\nfilename=e.log\n[main]\nfilter=*.Info ~Tolvane.Debug\ntype=file\nformat=%%m\nfilename=logs\\\\a.log\n||inst/logs/a.log"
"utf8-bom|Wexmoor.Info|\xef\xbb\xbf[main]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=a.log\n||inst/a.log"
"utf16|Wexmoor.Info|utf16:[main]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=b.log\n||inst/b.log"
"quoted|Wexmoor.Info|[main]\nfilter=\"*.Info\"\ntype=\"file\"\nformat=\"%%D %%m\"\nfilename=\"c.log\"\n||inst/c.log"
"absolute|Wexmoor.Info|[main]\nfilter=*.Info\ntype=file\nformat=%%m\nfilename=$(winpath "$work/abs" | sed 's/\\/\\\\/g')\\\\d.log\n||abs/d.log"
"built-in|Tolvane.Notice|-||inst/zeAgent.log inst/zeNotices.log"
)

for row in "${cases[@]}"; do
    IFS='|' read -r name event ini warnings landing <<<"$row"
    find "$work" -name '*.log' -delete
    rm -f "$inst/logCfg.Ini"
    case $ini in
    -) ;;
    utf16:*) printf "${ini#utf16:}" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16 >"$inst/logCfg.Ini" ;;
    *) printf "$ini" | sed 's/$/\r/' >"$inst/logCfg.Ini" ;;
    esac

    code=0; report=$(check) || code=$?
    got=$(grep '^warning: ' <<<"$report" | sed 's/^warning: //' || true)
    IFS=';' read -ra expected <<<"$warnings"
    for w in "${expected[@]}"; do grep -qF -- "$w" <<<"$got" || fail "$name: no warning '$w' in:"$'\n'"$report"; done
    [ "$(grep -c . <<<"$got" || true)" -eq ${#expected[@]} ] || fail "$name: warnings differ:"$'\n'"$got"
    [ "$code" -eq $((${#expected[@]} > 0 ? 1 : 0)) ] || fail "$name: exit code $code"

    routes=$(report --event "$event" | sed -n 's/^  -> \[[^]]*\] file //p' | sort)
    marker="logcheck-$name"
    report --write "$event" "$marker" >/dev/null
    landed=$(cd "$work" && find . -name '*.log' | sed 's|^\./||' | sort)
    for f in $landed; do   # the event's line, or the empty line of a section without a format
        grep -q -- "$marker" "$work/$f" || [ "$(cat "$work/$f")" = $'\r' ] || fail "$name: $f holds no line of the event"
    done
    want=$(tr ' ' '\n' <<<"$landing" | grep . | sort || true)
    [ "$landed" = "$want" ] || fail "$name: the event landed in '$landed', expected '$want'"
    mapped=$(sed 's|^Z:||; s|\\|/|g' <<<"$routes" | sed "s|^$work/||" | grep . | sort || true)
    [ "$mapped" = "$want" ] || fail "$name: the checker routes to '$mapped', the event landed in '$want'"
done

# The registry side: a Log key without an installation folder sends the checker, like the library, to the
# root of the current drive for the ini file and to the temporary folder for the logs.
rm -f "$inst/logCfg.Ini"
wine_run reg delete "$key" /v szInstallDir /f >/dev/null
wine_run reg add "$key\\Log" /v szCurrentActivityType /t REG_SZ /d zeAgent /f >/dev/null
out=$(report --event Tolvane.Info)
grep -qx 'Ini file: \\logCfg.Ini (the root of the current drive: the Log key exists without an installation folder)' \
    <<<"$out" || fail "root of the drive:"$'\n'"$out"
grep -q '^warning: the ini file is looked for at the root of the current drive' <<<"$out" || fail "no root warning"
temp_log=$(sed -n 's/^  -> \[(built in) \(.*zeAgent\.log\)\] file .*/\1/p' <<<"$out")
temp_log=$(wine_run winepath -u "$temp_log" | tr -d '\r')
[ -n "$temp_log" ] || fail "no route to the temporary folder:"$'\n'"$out"
rm -f "$temp_log"
report --write Tolvane.Info "logcheck-temp-$$" >/dev/null
grep -q "logcheck-temp-$$" "$temp_log" || fail "the event did not land in $temp_log"

# An installation folder that the ANSI code page cannot hold.
wine_run reg add "$key" /v szInstallDir /t REG_SZ /d "$(winpath "$inst")"'\\'$'\xe6\xbc\xa2' /f >/dev/null
out=$(report)
grep -q '^warning: the installation folder cannot be written as ANSI text' <<<"$out" || fail "no ANSI warning:"$'\n'"$out"

# The options: help, and arguments it cannot use.
check --help | grep -q -- '--event Component.Level' || fail "--help"
for args in '--event Wexmoor' --bogus; do   # an event without a level, an unknown option
    code=0; check $args >/dev/null 2>&1 || code=$?
    [ "$code" -eq 2 ] || fail "$args exits $code"
done
echo "${#cases[@]} ini files: warnings, exit codes and routes agree with where the events landed"
