#!/usr/bin/env bash
# Runs one test with the test prefix's desktop colour black, the usual colour
# of Windows 10 and 11 behind a desktop picture, and puts the colour back.
# Wine takes a changed colour once its wineserver has restarted.
# Arguments: the tests program, scripts/wine-exec, the test to run.
set -eu
tests_exe="$1"
wine_exec="$2"
test_name="$3"
source "$(dirname "$wine_exec")/wine-env"
export WINEPREFIX="${QUENFOLD_TEST_PREFIX:?}"
case "$WINEDLLOVERRIDES" in *winemenubuilder*) ;; *) export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" ;; esac
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
key='HKCU\Control Panel\Colors'

set_background() {
    if [ -n "$1" ]; then
        wine reg add "$key" /v Background /d "$1" /f >/dev/null 2>&1
    else
        wine reg delete "$key" /v Background /f >/dev/null 2>&1 || true
    fi
    wineserver -k 2>/dev/null || true
    wineserver -w
}

before=$(wine reg query "$key" /v Background 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
trap 'set_background "$before"' EXIT
set_background "0 0 0"
"$wine_exec" "$tests_exe" --gtest_also_run_disabled_tests --gtest_filter="$test_name"
