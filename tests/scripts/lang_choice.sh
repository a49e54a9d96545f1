#!/bin/bash
# The interface language chosen for real UI languages: lang_choice.exe under the Unix locale that makes Wine
# report each. de_AT: its base language; pt_BR: neither it nor a base installed, so English.
. "$(dirname "$0")/support/script.sh"
on_exit 'wine_run "$build/bin/lang_choice.exe" >/dev/null 2>&1'   # back to the usual locale
while IFS='|' read -r locale expected languages; do
    # shellcheck disable=SC2086
    got=$(LC_ALL=$locale wine_run "$build/bin/lang_choice.exe" $languages 2>/dev/null)
    [ "$got" = "$expected" ] || fail "$locale [$languages]: expected '$expected', got '$got'"
done <<'CASES'
de_AT.UTF-8|user 0c07 system 0c07 choice 0407 text Bereinigt|0409 0407
pt_BR.UTF-8|user 0416 system 0416 choice 0409 text Cleaned|0409 0407
CASES
echo "the interface language of every locale as expected"
