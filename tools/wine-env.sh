# Sourced by the scripts that run the programs under Wine: Wine settings for a build folder, a
# virtual display, and the demo content server.
# Usage: wine_env BUILD_DIR; start_virtual_display; stop_virtual_display;
#        start_content_server BUILD_DIR LOG_DIR [REQUEST_LOG]; stop_content_server

wine_env() {
    export WINEPREFIX="$(cd "$1" && pwd)/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree="
    export WINELOADER=/usr/lib/wine/wine64
    export WINE=/usr/lib/wine/wine64
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Preparing the Wine prefix in $WINEPREFIX (once)..."
        # No download prompts for the runtime and the HTML engine while the prefix is made.
        WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
}

VIRTUAL_DISPLAY_PID=""
start_virtual_display() {
    local n
    for n in $(seq 90 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        VIRTUAL_DISPLAY_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$VIRTUAL_DISPLAY_PID" 2>/dev/null || break
            sleep 0.1
        done
        # Not answering in time: this server goes before the next display number is tried, so
        # no earlier one is left running behind.
        stop_virtual_display
    done
    echo "No virtual display could be started" >&2
    return 1
}

stop_virtual_display() {
    if [ -n "$VIRTUAL_DISPLAY_PID" ]; then
        kill "$VIRTUAL_DISPLAY_PID" 2>/dev/null
        wait "$VIRTUAL_DISPLAY_PID" 2>/dev/null
        VIRTUAL_DISPLAY_PID=""
    fi
}

# The demo content server, in the background, at the host the build's programs use
# (CONTENT_HOST); its output goes to LOG_DIR/content-server.log, each request to REQUEST_LOG if
# given. Run from the repository's root.
CONTENT_SERVER_PID=""
start_content_server() {
    CONTENT_HOST=$(sed -n 's/^VARIZ_CONTENT_HOST:STRING=//p' "$1/CMakeCache.txt")
    CONTENT_HOST=${CONTENT_HOST:-127.0.0.1:8321}
    python3 tools/content_server.py --listen "$CONTENT_HOST" ${3:+--log "$3"} \
        >"$2/content-server.log" 2>&1 &
    CONTENT_SERVER_PID=$!
}

stop_content_server() {
    if [ -n "$CONTENT_SERVER_PID" ]; then
        kill "$CONTENT_SERVER_PID" 2>/dev/null
        CONTENT_SERVER_PID=""
    fi
}
