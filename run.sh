#!/usr/bin/env bash
# Runs the player under Wine against the demo content. On a display it simply runs; without one
# it walks a short tour on a virtual display and leaves screenshots in out/.
set -u
cd "$(dirname "$0")"
root=$(pwd)

./tools/install-deps.sh || exit 1
. tools/wine-env.sh

echo "Building the player (win64)..."
log=$(mktemp)
if ! { cmake --preset win64 >"$log" 2>&1 && cmake --build --preset win64 -j2 >>"$log" 2>&1; }; then
    tail -n 30 "$log"
    rm -f "$log"
    exit 1
fi
rm -f "$log"

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
wine_env "$root/build/win64"
dist="$root/build/win64/dist"
wine=/usr/lib/wine/wine64
out="$root/out"
mkdir -p "$out"

player_pid=""
cleanup() {
    declare -F write_index >/dev/null && write_index
    [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
    wineserver -k 2>/dev/null
    stop_content_server
    stop_virtual_display
}
trap cleanup EXIT
# The demo content server at the address the player was built for.
start_content_server "$root/build/win64" "$out" "$out/requests.log"
echo "Demo content server on $CONTENT_HOST (requests logged in $out/requests.log)"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    (cd "$dist" && "$wine" ./Variz.exe)
    exit 0
fi

# The tour on a virtual display.
start_virtual_display || exit 1

wait_for_window() {
    for _ in $(seq 1 100); do
        xdotool search --name "^dn $" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}

# Asks the player to close as the tray does, and waits until it has.
close_player() {
    "$wine" "$root/build/win64/tests/SendCloseRequest.exe" >/dev/null 2>&1
    for _ in $(seq 1 50); do
        kill -0 "$player_pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$player_pid" 2>/dev/null; then
        echo "The player did not close on the close request" >&2
        return 1
    fi
    player_pid=""
}

shots=()
shot() {
    import -display "$DISPLAY" -window root "$out/$1.png" && echo "  $out/$1.png: $2" &&
        shots+=("$1" "$2")
}

# One page with every screenshot of the tour and a line under each saying what it shows.
write_index() {
    [ ${#shots[@]} -gt 0 ] || return 0
    python3 - "$out/index.html" "${shots[@]}" <<'PY'
import html, sys
page, pairs = sys.argv[1], sys.argv[2:]
rows = "".join(
    f'<figure><img src="{html.escape(name)}.png" alt=""><figcaption>{html.escape(text)}'
    "</figcaption></figure>\n"
    for name, text in zip(pairs[::2], pairs[1::2]))
with open(page, "w", encoding="utf-8") as f:
    f.write('<!DOCTYPE html>\n<html lang="en"><head><meta charset="utf-8">'
            "<title>Variz tour</title><style>body{font-family:sans-serif;margin:2em}"
            "figure{margin:0 0 2em}img{max-width:100%;border:1px solid #ccc}"
            "figcaption{margin-top:.4em}</style></head><body>\n<h1>Variz tour</h1>\n"
            + rows + "</body></html>\n")
PY
}

echo "Tour:"
(cd "$dist" && exec "$wine" ./Variz.exe) >/dev/null 2>&1 &
player_pid=$!
if ! wait_for_window; then
    echo "The player window did not appear" >&2
    exit 1
fi
sleep 2
shot 01-main-window "the main window after start"

# Window origin on the screen, for pointing at controls.
eval "$(xdotool search --name "^dn $" getwindowgeometry --shell 2>/dev/null | head -n 3)"
wx=${X:-187}; wy=${Y:-116}
# The logo movie plays in the play area once the logo updater has fetched it.
sleep 2
shot 02-logo-movie "the logo movie in the play area"
convert "$out/02-logo-movie.png" -crop "615x417+$((wx + 4))+$((wy + 71))" +repage "$out/02-logo-movie.png"
# Hover the history button (the eighth of the toolbar); the forum to search buttons are
# disabled until a member logs in.
xdotool mousemove $((wx + 160 + 64 * 7 + 32)) $((wy + 8 + 30))
sleep 1
shot 03-toolbar-hover "the toolbar with the history button hovered and five buttons disabled"
convert "$out/03-toolbar-hover.png" -crop "906x71+$wx+$wy" +repage "$out/03-toolbar-hover.png"
# Hover the play button on the play bar.
xdotool mousemove $((wx + 4 + 2 + 29)) $((wy + 567 - 14 - 65 + 7 + 28))
sleep 1
shot 04-playbar-hover "the play bar with the play button hovered and the volume slider"
convert "$out/04-playbar-hover.png" -crop "615x65+$((wx + 4))+$((wy + 567 - 14 - 65))" +repage "$out/04-playbar-hover.png"

close_player || exit 1
echo "  the player closed on the close request"

# A series from a click on the start page. Wine has no HTML engine here, so a stand-in runs the
# player's window with a script engine in the page's place, which calls window.external.AddUrl.
control() {
    python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1]).read()' \
        "http://$CONTENT_HOST/__control/$1"
}
# A clean history too: the side panel then lists what this tour fetched.
rm -rf "$dist/cache" "$dist/web/Local.dat"
# The first episode comes slowly, so the loading movie shows its percentage for a while.
control "fault?path=/media/101/1.swf&trickle_bytes_per_second=8000&times=1"
"$wine" "$root/build/win64/tests/TourPage.exe" "$(winepath -w "$dist/Variz.exe" 2>/dev/null)" \
    "tolu_小猫钓鱼_101_故事" >/dev/null 2>&1 &
player_pid=$!
if ! wait_for_window; then
    echo "The player window did not appear" >&2
    exit 1
fi
eval "$(xdotool search --name "^dn $" getwindowgeometry --shell 2>/dev/null | head -n 3)"
wx=${X:-187}; wy=${Y:-116}
sleep 5
shot 05-loading "the loading movie with the download's percentage, the series title on the play bar"
convert "$out/05-loading.png" -crop "615x482+$((wx + 4))+$((wy + 71))" +repage "$out/05-loading.png"
for _ in $(seq 1 60); do
    [ -f "$dist/cache/101-1.swf" ] && break
    sleep 0.5
done
sleep 2
shot 06-episode "episode 1 of the series playing and saying its title, downloaded into the cache"
convert "$out/06-episode.png" -crop "615x482+$((wx + 4))+$((wy + 71))" +repage "$out/06-episode.png"
# The history button: the side panel lists what was fetched, ready for a replay.
xdotool mousemove $((wx + 160 + 64 * 7 + 32)) $((wy + 8 + 30)) click 1
sleep 1
shot 11-history "the play history in the side panel, with the episode just fetched"
convert "$out/11-history.png" -crop "285x482+$((wx + 621))+$((wy + 71))" +repage "$out/11-history.png"
# The lock: one click locks at once; the next asks for the password first. No member has logged
# in here, so the empty entry unlocks.
xdotool mousemove $((wx + 160 + 64 + 32)) $((wy + 8 + 30)) click 1
sleep 2
eval "$(xdotool search --name "^dn $" getwindowgeometry --shell 2>/dev/null | head -n 5)"
wx=${X:-0}; wy=${Y:-0}; ww=${WIDTH:-1024}; wh=${HEIGHT:-768}
shot 12-locked "lock mode: only the lock button is on (on a desktop the window also fills the screen; the virtual display has no window manager to do it)"
xdotool mousemove $((wx + 160 + 64 + 32)) $((wy + 8 + 30)) click 1
sleep 1
dx=$((wx + (ww - 318) / 2)); dy=$((wy + (wh - 167) / 2))
shot 13-unlock-dialog "the lock button asks for the parent's password before it unlocks"
convert "$out/13-unlock-dialog.png" -crop "318x167+$dx+$dy" +repage "$out/13-unlock-dialog.png"
# Under Xvfb Wine hands the dialog its button's release only with the next pointer event, which a
# hand on the mouse always makes.
xdotool mousemove $((dx + 249)) $((dy + 137))
sleep 0.5
xdotool click 1
sleep 1
xdotool mousemove_relative 3 3
sleep 1
shot 14-unlocked "unlocked: the buttons are back"
close_player || exit 1
# The tray that the player started: its icon sits in Wine's own tray window here.
eval "$(xdotool search --name "^Wine System Tray$" getwindowgeometry --shell 2>/dev/null | head -n 3)"
if [ -n "${X:-}" ]; then
    xdotool mousemove $((X + 10)) $((Y + 10)) click 3
    sleep 1
    shot 15-tray-menu "the tray icon's menu: open the player, home page, update, exit"
    convert "$out/15-tray-menu.png" -crop "130x115+$X+$Y" +repage "$out/15-tray-menu.png"
    xdotool key Escape
fi
# The tray's notice, brought forward from its timer: it slides up above where a taskbar would be.
# Wine has no HTML engine here, so its page stays empty; the frame and the close button show.
if "$wine" "$root/build/win64/tests/TrayNoticeNow.exe" >/dev/null 2>&1; then
    sleep 2.5
    shot 16-tray-notice "the tray's notice popup at the bottom right, over everything, without the focus"
    convert "$out/16-tray-notice.png" -gravity SouthEast -crop "360x260+0+0" +repage "$out/16-tray-notice.png"
fi
echo "Screenshots are in $out, all of them on $out/index.html"
