#!/bin/bash
# The interface language chosen for real UI languages of the platform: each
# case runs lang_choice.exe with the Unix locale that makes Wine report that
# UI language for the process, over a temporary installation of language
# folders holding this build's resource libraries.
set -u
build=$1 source=$2
run() { # locale languages...
    local locale=$1; shift
    env LC_ALL="$locale" "$source/tools/wine-run.sh" "$build/bin/lang_choice.exe" "$@" 2>/dev/null | tr -d '\r'
}

failures=0
check() { # locale expected languages...
    local locale=$1 expected=$2; shift 2
    local got
    got=$(run "$locale" "$@")
    if [ "$got" = "$expected" ]; then
        echo "ok: $locale [$*] -> $got"
    else
        echo "FAILED: $locale [$*]: expected '$expected', got '$got'"
        failures=$((failures + 1))
    fi
}

check en_US.UTF-8 "user 0409 system 0409 choice 0409 text Cleaned" 0409 0407
check de_DE.UTF-8 "user 0407 system 0407 choice 0407 text Bereinigt" 0409 0407
check de_AT.UTF-8 "user 0c07 system 0c07 choice 0407 text Bereinigt" 0409 0407
check en_AU.UTF-8 "user 0c09 system 0c09 choice 0409 text Cleaned" 0409
check fr_CA.UTF-8 "user 0c0c system 0c0c choice 040c text Nettoyé" 0409 040c
check es_ES.UTF-8 "user 0c0a system 0c0a choice 0c0a text Limpiado" 0409 0c0a
check ja_JP.UTF-8 "user 0411 system 0411 choice 0411 text 駆除済み" 0409 0411
# No fallback entry and not installed: English.
check pt_BR.UTF-8 "user 0416 system 0416 choice 0409 text Cleaned" 0409 0407
# Spanish (Mexico) falls back to 040a, not to the installed 0c0a.
check es_MX.UTF-8 "user 080a system 080a choice 0409 text Cleaned" 0409 0c0a
# Nothing installed: 0409 and no resource library.
check de_DE.UTF-8 "user 0407 system 0407 choice 0409 text <none>"

# Leave the prefix in its usual locale for the tests that follow.
"$source/tools/wine-run.sh" "$build/bin/lang_choice.exe" >/dev/null 2>&1
echo "$((10 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
