#!/bin/bash
# The test kit run through cmd: run-tests.cmd closes with "N passed, M failed", a program that cannot start
# counting as one failure.
. "$(dirname "$0")/support/script.sh"
"$src/tools/make-testkit.sh" "$build" "$work/kit" >/dev/null
filter='HostLaunch.*:HostHelp.*:ExcludeHelper.*'
listed() { wine_run "$work/kit/$1.exe" --gtest_list_tests "--gtest_filter=$filter" | grep -c '^  '; }
closing() { wine_run cmd /c "$(win_path "$work/kit")\\run-tests.cmd" "$filter" | tail -n1 || true; }
unit=$(listed tolvane_unit_tests) client=$(listed tolvane_client_tests)
last=$(closing)
[ "$client" -gt 0 ] && [ "$last" = "$((unit + client)) passed, 0 failed" ] || fail "$unit + $client tests listed, closing line '$last'"
rm "$work/kit/Tolvane.dll"   # the client tests cannot start
last=$(closing)
[ "$last" = "$unit passed, 1 failed" ] || fail "without Tolvane.dll: '$last'"
