#!/usr/bin/env bash
# An unattended backup (quenfold.exe /folder:... /quiet) against the archiver
# run on its own with the same command line, on one 240 MiB tree, Wine
# start-up included on both sides. The two alternate, each writing a fresh
# archive; prints each round, the ratio of the medians and the median of the
# per-round ratios (target: 1.15 at most). Runs in its own prefix under
# build/; the tree is made on first use.
#
#   bench/unattended_bench.sh [rounds]   (default 5; needs build/win64 built)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-5}"
source "$root/scripts/wine-env"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
export WINEPREFIX="$root/build/wine-bench-unattended"
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
ensure_display
drive_c="$WINEPREFIX/drive_c"

mkdir -p "$drive_c/Program Files/WinZip"
cp "$root/build/win64/tools/wzzip/wzzip.exe" "$drive_c/Program Files/WinZip/wzzip.exe"
quenfold="$root/build/win64/src/app/win32/quenfold.exe"

# 240 MiB: 3,000 files in 60 folders, half text-like, half random bytes.
tree="$drive_c/bench-source"
if [ ! -f "$tree/.complete" ]; then
    rm -rf "$tree"
    python3 "$root/bench/make_tree.py" "$tree" 240 3000 60
    touch "$tree/.complete"
fi
cat "$tree"/*/* >/dev/null  # into the page cache

zips="$drive_c/bench-zips"
stamp="$(date +%Y%m)"
archive_alone='C:\bench-zips\Alone-'"$stamp"'.zip'
wineserver -p  # kept up, so that each start costs the same
trap 'wineserver -k' EXIT

# The wall time of one run into an empty archives' folder; the run must
# have written its archive and ended with 0 (everything archived).
seconds() {
    local written="$1" start end code=0
    shift
    rm -rf "$zips"; mkdir -p "$zips"
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 </dev/null || code=$?
    end=$(date +%s.%N)
    [ "$code" -eq 0 ] || { echo "$1 ended with $code" >&2; exit 1; }
    compgen -G "$zips/$written" >/dev/null || { echo "no archive $written after $1" >&2; exit 1; }
    awk "BEGIN { print $end - $start }"
}
archiver_alone() {
    wine 'C:\Program Files\WinZip\wzzip.exe' -u -p -r "$archive_alone" 'C:\bench-source\'
}
unattended() {
    wine "$quenfold" '/folder:C:\bench-source' /label:Bench '/destination:C:\bench-zips' /quiet
}

alone=()
quenfold_runs=()
ratios=()
echo "round  archiver alone  unattended  ratio"
for round in $(seq "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
        a=$(seconds 'Alone-*.zip' archiver_alone); q=$(seconds 'Bench-*.zip' unattended)
    else
        q=$(seconds 'Bench-*.zip' unattended); a=$(seconds 'Alone-*.zip' archiver_alone)
    fi
    alone+=("$a"); quenfold_runs+=("$q"); ratios+=("$(awk "BEGIN { print $q / $a }")")
    printf '%5d  %13.2fs  %9.2fs  %5.2f\n' "$round" "$a" "$q" "${ratios[-1]}"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ma=$(median "${alone[@]}"); mq=$(median "${quenfold_runs[@]}")
printf 'median  %12.2fs  %9.2fs  %5.2f (ratio of the medians)\n' "$ma" "$mq" "$(awk "BEGIN { print $mq / $ma }")"
printf 'median of the per-round ratios: %.2f (target 1.15 at most)\n' "$(median "${ratios[@]}")"
rm -rf "$zips"
