#!/usr/bin/env bash
# The benchmarks that need Wine, run by ./bench.sh: the player's start to its first painted window
# against a bare Win32 window under the same Wine, and an episode-sized download through the
# player's download path against curl on loopback. Prints the medians and their ratios.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
. tools/wine-env.sh
if ! { cmake --preset win64 >/dev/null 2>&1 &&
    cmake --build --preset win64 -j2 --target Variz dist_data BareWindow DownloadTimer \
        SendCloseRequest >/dev/null 2>&1; }; then
    echo "the win64 build failed" >&2
    exit 1
fi
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wine_env "$root/build/win64"
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
cleanup() {
    wineserver -k 2>/dev/null
    stop_content_server
    stop_virtual_display
    rm -rf "$work"
}
trap cleanup EXIT
start_content_server "$root/build/win64" "$work"
start_virtual_display || exit 1
wineserver -p
"$wine" cmd /c exit >/dev/null 2>&1
cp -r "$root/build/win64/dist" "$work/Variz"
runs=5

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Milliseconds from starting PROGRAM until a window named TITLE (a regular expression) shows.
until_window() {
    local title=$1 start
    shift
    start=$(date +%s%N)
    "$wine" "$@" >/dev/null 2>&1 &
    for _ in $(seq 1 1500); do
        if xdotool search --onlyvisible --name "$title" >/dev/null 2>&1; then
            echo $((($(date +%s%N) - start) / 1000000))
            return 0
        fi
        sleep 0.01
    done
    echo 0
}

bare=()
player=()
for _ in $(seq 1 $runs); do
    bare+=("$(until_window '^bare window$' "$root/build/win64/tests/BareWindow.exe")")
    xdotool search --name '^bare window$' windowclose 2>/dev/null || true
    sleep 0.5
    player+=("$(cd "$work/Variz" && until_window '^dn $' ./Variz.exe)")
    "$wine" "$root/build/win64/tests/SendCloseRequest.exe" >/dev/null 2>&1
    sleep 2
done
b=$(printf '%s\n' "${bare[@]}" | median)
p=$(printf '%s\n' "${player[@]}" | median)
echo "start to first painted window, median of $runs: player $p ms, bare window $b ms" \
    "(ratio $(awk -v p="$p" -v b="$b" 'BEGIN { printf "%.2f", (b > 0 ? p / b : 0) }'))"

# An episode-sized body, 8 MB, from the demo server on loopback.
ours=()
theirs=()
for i in $(seq 1 $runs); do
    # A new address each time: nothing comes from a cache.
    address="http://$CONTENT_HOST/__test/bytes?n=8000000&run=$i"
    ours+=("$("$wine" "$root/build/win64/tests/DownloadTimer.exe" "$address" \
        "$(winepath -w "$work/episode.bin" 2>/dev/null)" 2>/dev/null | tr -d '\r' | cut -d' ' -f1)")
    theirs+=("$(curl -s -o /dev/null -w '%{time_total}' "$address" | awk '{ printf "%.1f", $1 * 1000 }')")
done
o=$(printf '%s\n' "${ours[@]}" | median)
t=$(printf '%s\n' "${theirs[@]}" | median)
echo "8 MB download on loopback, median of $runs: the player's path $o ms, curl $t ms" \
    "(ratio $(awk -v o="$o" -v t="$t" 'BEGIN { printf "%.2f", (t > 0 ? o / t : 0) }'))"
