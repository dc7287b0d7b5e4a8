#!/usr/bin/env bash
# Runs one test with a drive E: of 24 MiB made for it: a tmpfs mounted under
# /tmp (the tests run as root) and linked as the test prefix's
# dosdevices/e:. Both go afterwards.
# Arguments: the tests program, scripts/wine-exec, the test to run.
set -eu
tests_exe="$1"
wine_exec="$2"
test_name="$3"
source "$(dirname "$wine_exec")/wine-env"
export WINEPREFIX="${QUENFOLD_TEST_PREFIX:?}"
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
link="$WINEPREFIX/dosdevices/e:"
[ ! -e "$link" ] || { echo "$link is there already" >&2; exit 1; }
drive="$(mktemp -d /tmp/quenfold-small-drive.XXXXXX)"
cleanup() {
    rm -f "$link"
    umount "$drive" 2>/dev/null || true
    rmdir "$drive"
}
trap cleanup EXIT
# Only root may mount; elsewhere the test is skipped (77), not passed.
if ! mount -t tmpfs -o size=24m quenfold-small-drive "$drive"; then
    echo "No drive of 24 MiB can be made here (mounting a tmpfs needs root): skipped." >&2
    exit 77
fi
ln -s "$drive" "$link"
"$wine_exec" "$tests_exe" --gtest_also_run_disabled_tests --gtest_filter="$test_name"
