#!/usr/bin/env bash
# The player plays a long demo series under Wine, through downloads and "kefoend", for some
# minutes, while what it holds is sampled: handles, private bytes, its windows, and the GDI and
# USER objects as the system reports them ("-" where it does not: this Wine reports none of them
# for another process), and from Linux the Wine process's private resident memory and
# its open descriptors. Prints the curve and a summary line, and keeps it in build/soak/soak.csv.
#
#   ./soak.sh [MINUTES]     # 10 by default
set -u
cd "$(dirname "$0")"
root=$(pwd)
minutes=${1:-10}

./tools/install-deps.sh || exit 1
. tools/wine-env.sh
if ! { cmake --preset win64 >/dev/null 2>&1 &&
    cmake --build --preset win64 -j2 --target Variz dist_data TourPage ProcessGauge >/dev/null 2>&1; }; then
    echo "the win64 build failed" >&2
    exit 1
fi

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wine_env "$root/build/win64"
wine=/usr/lib/wine/wine64
soak="$root/build/soak"
rm -rf "$soak"
mkdir -p "$soak"
# A copy of what a user gets, with an empty cache.
cp -r "$root/build/win64/dist" "$soak/Variz"
rm -rf "$soak/Variz/cache" "$soak/Variz/Variz.dat" "$soak/Variz/web/Local.dat"

player_pid=""
cleanup() {
    [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    stop_content_server
    stop_virtual_display
}
trap cleanup EXIT
start_content_server "$root/build/win64" "$soak" "$soak/requests.log"
start_virtual_display || exit 1
wineserver -p

# Series 199 has 200 episodes and is on no page: a page's click stands in for it.
"$wine" "$root/build/win64/tests/TourPage.exe" "$(winepath -w "$soak/Variz/Variz.exe" 2>/dev/null)" \
    "tolu_小球跳跳_199_儿歌" >/dev/null 2>&1 &
player_pid=$!

gauge() { "$wine" "$root/build/win64/tests/ProcessGauge.exe" 2>/dev/null | tr -d '\r'; }
echo "seconds,episodes,handles,private_kib,windows,gdi,user,rss_anon_kib,descriptors" >"$soak/soak.csv"
printf '%8s %9s %8s %12s %8s %5s %5s %13s %12s\n' seconds episodes handles private_kib windows gdi \
    user rss_anon_kib descriptors
start=$SECONDS
end=$((start + minutes * 60))
while [ $SECONDS -lt $end ]; do
    sleep 15
    kill -0 "$player_pid" 2>/dev/null || { echo "the player has ended" >&2; exit 1; }
    read -r handles kib windows gdi user <<<"$(gauge)"
    [[ ${windows:-x} =~ ^[0-9]+$ ]] || continue  # no player window at that moment
    episodes=$(grep -c '"path": "/media/199/' "$soak/requests.log" 2>/dev/null)
    # The Wine process of the player (the page's stand-in runs its window), as Linux sees it.
    pid=$(pgrep -f 'TourPage.exe' | head -n 1)
    anon=$(awk '/^RssAnon:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    t=$((SECONDS - start))
    echo "$t,$episodes,$handles,$kib,$windows,$gdi,$user,${anon:-0},$fds" >>"$soak/soak.csv"
    printf '%8s %9s %8s %12s %8s %5s %5s %13s %12s\n' "$t" "$episodes" "$handles" "$kib" \
        "$windows" "$gdi" "$user" "${anon:-0}" "$fds"
done

# The first sample after the first minute against the last: growth per episode.
python3 - "$soak/soak.csv" <<'PY'
import csv, sys
rows = [r for r in csv.DictReader(open(sys.argv[1]))]
settled = [r for r in rows if int(r["seconds"]) >= 60] or rows
if len(settled) < 2:
    sys.exit("too few samples")
a, b = settled[0], settled[-1]
episodes = max(1, int(b["episodes"]) - int(a["episodes"]))
print("episodes %s..%s: handles %s -> %s, private %s -> %s KiB, windows %s -> %s, "
      "resident private %s -> %s KiB (%+.1f KiB an episode), descriptors %s -> %s"
      % (a["episodes"], b["episodes"], a["handles"], b["handles"], a["private_kib"],
         b["private_kib"], a["windows"], b["windows"], a["rss_anon_kib"], b["rss_anon_kib"],
         (int(b["rss_anon_kib"]) - int(a["rss_anon_kib"])) / episodes, a["descriptors"],
         b["descriptors"]))
PY
