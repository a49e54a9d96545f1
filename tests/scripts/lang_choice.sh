#!/bin/bash
# The interface language chosen for real UI languages: lang_choice.exe under the Unix locale that makes
# Wine report each. pt_BR: no base language; es_MX: falls back to 040a, not to the installed 0c0a.
set -u
build=$1 source=$2 failures=0
while IFS='|' read -r locale expected languages; do
    got=$(env LC_ALL="$locale" "$source/tools/wine-run.sh" "$build/bin/lang_choice.exe" $languages 2>/dev/null | tr -d '\r')
    [ "$got" = "$expected" ] && echo "ok: $locale [$languages] -> $got" \
        || { echo "FAILED: $locale [$languages]: expected '$expected', got '$got'"; failures=$((failures + 1)); }
done <<'CASES'
de_AT.UTF-8|user 0c07 system 0c07 choice 0407 text Bereinigt|0409 0407
fr_CA.UTF-8|user 0c0c system 0c0c choice 040c text Nettoyé|0409 040c
es_ES.UTF-8|user 0c0a system 0c0a choice 0c0a text Limpiado|0409 0c0a
ja_JP.UTF-8|user 0411 system 0411 choice 0411 text 駆除済み|0409 0411
pt_BR.UTF-8|user 0416 system 0416 choice 0409 text Cleaned|0409 0407
es_MX.UTF-8|user 080a system 080a choice 0409 text Cleaned|0409 0c0a
de_DE.UTF-8|user 0407 system 0407 choice 0409 text <none>|
CASES
"$source/tools/wine-run.sh" "$build/bin/lang_choice.exe" >/dev/null 2>&1   # back to the usual locale
[ "$failures" -eq 0 ]
