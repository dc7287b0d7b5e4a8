#!/usr/bin/env bash
# An unattended backup to a network share against the same backup to a local
# folder, on one 64 MiB tree, Wine start-up included on both sides. The
# share \\qfnas\bench-share is the prefix's C:\qfnas\bench-share (see
# make_prefix), on the same disk as the local folder, so the difference is
# what Quenfold and Wine do for a network path. The two
# alternate, each writing a fresh archive; prints each round, the ratio of
# the medians and the median of the per-round ratios (target: 1.1 at most).
# Runs in its own prefix under build/; the tree is made on first use.
#
#   bench/share_bench.sh [rounds]   (default 5; needs build/win64 built)
set -eu
root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${1:-5}"
source "$root/scripts/wine-env"
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
export WINEPREFIX="$root/build/wine-bench-share"
[ -f "$WINEPREFIX/system.reg" ] || make_prefix "$WINEPREFIX"
drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/Program Files/WinZip"
cp "$root/build/win64/tools/wzzip/wzzip.exe" "$drive_c/Program Files/WinZip/wzzip.exe"
quenfold="$root/build/win64/src/app/win32/quenfold.exe"

# 64 MiB: 2,000 files in 40 folders, half text-like, half random bytes.
tree="$drive_c/bench-source"
if [ ! -f "$tree/.complete" ]; then
    rm -rf "$tree"
    python3 "$root/bench/make_tree.py" "$tree" 64 2000 40
    touch "$tree/.complete"
fi
cat "$tree"/*/* >/dev/null  # into the page cache

local_zips="$drive_c/bench-zips"
share="$drive_c/qfnas/bench-share"
wineserver -p  # kept up, so that each start costs the same
mkdir -p "$share"
trap 'wineserver -k; rm -rf "$share/zips" "$local_zips"' EXIT

# The wall time of one run into an empty archives' folder (made by the run
# itself, as it is on a share); the run must have written its archive and
# ended with 0.
seconds() {
    local zips="$1" destination="$2" start end code=0
    rm -rf "$zips"; mkdir -p "$(dirname "$zips")"
    start=$(date +%s.%N)
    wine "$quenfold" '/folder:C:\bench-source' /label:Bench "/destination:$destination" /quiet \
        >/dev/null 2>&1 </dev/null || code=$?
    end=$(date +%s.%N)
    [ "$code" -eq 0 ] || { echo "the backup to $destination ended with $code" >&2; exit 1; }
    compgen -G "$zips/Bench-*.zip" >/dev/null || { echo "no archive in $zips" >&2; exit 1; }
    awk "BEGIN { print $end - $start }"
}
to_local() { seconds "$local_zips" 'C:\bench-zips'; }
to_share() { seconds "$share/zips" '\\qfnas\bench-share\zips'; }

locals=()
shares=()
ratios=()
echo "round  local folder   share  ratio"
for round in $(seq "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
        l=$(to_local); s=$(to_share)
    else
        s=$(to_share); l=$(to_local)
    fi
    locals+=("$l"); shares+=("$s"); ratios+=("$(awk "BEGIN { print $s / $l }")")
    printf '%5d  %11.2fs  %5.2fs  %5.2f\n' "$round" "$l" "$s" "${ratios[-1]}"
done
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
ml=$(median "${locals[@]}"); ms=$(median "${shares[@]}")
printf 'median %11.2fs  %5.2fs  %5.2f (ratio of the medians)\n' "$ml" "$ms" "$(awk "BEGIN { print $ms / $ml }")"
printf 'median of the per-round ratios: %.2f (target 1.1 at most)\n' "$(median "${ratios[@]}")"
