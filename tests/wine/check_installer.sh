#!/usr/bin/env bash
# The MSI from end to end with Wine's msiexec, in a fresh prefix of its own:
# a silent install, the program started through its Start menu shortcut, an
# upgrade by a newer MSI, a silent uninstall. The settings file the program
# writes beside itself outlives both, a scheduled backup does not outlive the
# uninstall, and nothing reaches the host's menus. (Wine's msiexec removes an
# upgrade's older version without UPGRADINGPRODUCTCODE, so under Wine the
# upgrade removes the schedules as well: that condition is Windows' alone.)
# Arguments: the tests program, the quenfold.exe the MSI holds, the MSI, its
# version and publisher, then the wixl command that made it (without version
# and output).
set -eu
tests_exe="$1"
program_exe="$2"
msi="$3"
version="$4"
publisher="$5"
shift 5
source "$(dirname "$0")/../../scripts/wine-env"
export WINEPREFIX="${QUENFOLD_TEST_PREFIX:-$QUENFOLD_ROOT/build/wine-test}-installer"
work="$WINEPREFIX-work"
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/Quenfold"
settings="$folder/DefaultDestinationPath.txt"
# Windows puts a per-machine shortcut in the all-users Start menu; Wine's
# msiexec in the installing user's own.
shortcuts() {
    find "$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs" \
         "$drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs" -name Quenfold.lnk 2>/dev/null
}
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# The program's tasks in the Task Scheduler's store, a file each.
tasks() { find "$drive_c/windows/system32" -maxdepth 2 -ipath '*/tasks/quenfold - *' 2>/dev/null; }
host_data="${XDG_DATA_HOME:-$HOME/.local/share}"

fail() { echo "FAILED: $*" >&2; exit 1; }
# A Windows program's output, through a file (Wine's helpers hold pipes open).
in_wine() {
    local status=0
    wine "$@" >"$work/out.txt" 2>&1 </dev/null || status=$?
    cat "$work/out.txt"
    return $status
}
host_menus() {
    find "$host_data/applications" "$host_data/icons" "$host_data/desktop-directories" \
         "$HOME/.config/menus" 2>/dev/null | sort
}
# The Uninstall keys ("Programs and Features" entries) named Quenfold.
entries() {
    in_wine reg query "$uninstall" /s | tr -d '\r' |
        awk '/^HKEY_/ { key = $0 } $1 == "DisplayName" && $3 == "Quenfold" && NF == 3 { print key }'
}
value() { in_wine reg query "$1" /v "$2" | tr -d '\r' | sed -nE "s/^ +$2 +REG_[A-Z_]+ +//p"; }
expect_one_entry() {
    local found
    found=$(entries)
    [ "$(grep -c . <<<"$found")" -eq 1 ] || fail "Programs and Features lists: ${found:-nothing}"
    [ "$(value "$found" DisplayVersion)" = "$1" ] || fail "DisplayVersion $(value "$found" DisplayVersion), not $1"
    [ "$(value "$found" Publisher)" = "$publisher" ] || fail "Publisher $(value "$found" Publisher)"
    local icon
    icon=$(winepath -u "$(value "$found" DisplayIcon)" 2>/dev/null)
    [ -f "$icon" ] && cmp -s "$icon" "$program_exe" || fail "DisplayIcon $(value "$found" DisplayIcon) is not the program"
}
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "${QUENFOLD_XVFB_PID:-}" ] && kill "$QUENFOLD_XVFB_PID" 2>/dev/null
    rm -rf "$WINEPREFIX" "$work"
}

[[ ";$WINEDLLOVERRIDES;" == *";winemenubuilder.exe=d;"* ]] || fail "winemenubuilder is not disabled"
menus_before=$(host_menus)
make_prefix "$WINEPREFIX"
rm -rf "$work" && mkdir -p "$work"
trap cleanup EXIT
ensure_display
wineserver -p

echo "install $version"
in_wine msiexec /i "$(winepath -w "$msi")" /qn || fail "msiexec /i ended with $?"
[ "$(ls "$folder")" = "quenfold.exe" ] || fail "Program Files\\Quenfold holds: $(ls "$folder")"
cmp "$folder/quenfold.exe" "$program_exe"
[ ! -e "$drive_c/Program Files/WinZip" ] || fail "the installer put WinZip's folder in place"
[ "$(shortcuts | grep -c .)" -eq 1 ] || fail "Start menu shortcuts: $(shortcuts)"
expect_one_entry "$version"

echo "run"
in_wine "$tests_exe" --gtest_also_run_disabled_tests --gtest_filter='InstalledProgram.*'
[ -f "$settings" ] || fail "the program made no settings file"
printf 'D:\\Saved Zips\r\n' >"$settings"
cp "$settings" "$work/settings.txt"

[[ "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the version $version has not three parts"
IFS=. read -r major minor patch <<<"$version"
newer="$major.$minor.$((patch + 1))"
echo "upgrade to $newer"
"$@" -D "Version=$newer" -o "$work/Quenfold-newer.msi"
in_wine msiexec /i "$(winepath -w "$work/Quenfold-newer.msi")" /qn || fail "msiexec /i (upgrade) ended with $?"
expect_one_entry "$newer"
cmp "$folder/quenfold.exe" "$program_exe"
cmp "$settings" "$work/settings.txt" || fail "the upgrade changed the settings file"
in_wine "C:\\Program Files\\Quenfold\\quenfold.exe" /folder:C:\\windows /label:Win /destination:C:\\Zips \
    /schedule:daily /quiet || fail "scheduling a backup ended with $?"
[ "$(tasks | grep -c .)" -eq 1 ] || fail "scheduled tasks: $(tasks)"

echo "uninstall"
in_wine msiexec /x "$(winepath -w "$work/Quenfold-newer.msi")" /qn || fail "msiexec /x ended with $?"
[ -z "$(entries)" ] || fail "still in Programs and Features: $(entries)"
[ "$(ls "$folder")" = "DefaultDestinationPath.txt" ] || fail "after uninstall the folder holds: $(ls "$folder")"
cmp "$settings" "$work/settings.txt" || fail "the uninstall changed the settings file"
[ -z "$(shortcuts)" ] || fail "still in the Start menu: $(shortcuts)"
[ -z "$(tasks)" ] || fail "the uninstall left scheduled tasks: $(tasks)"

[ "$(host_menus)" = "$menus_before" ] || fail "the host's menus changed: $(diff <(echo "$menus_before") <(host_menus))"
echo "installed, ran, upgraded and uninstalled"
