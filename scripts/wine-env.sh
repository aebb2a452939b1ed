# Sourced by the scripts that run Windows programs under Wine: a private
# 64-bit prefix, a private X server, and Wine's settings for our tests.
# Callers set ROOT to the repository's top folder first.

export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LC_ALL=zh_CN.UTF-8
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY no_proxy NO_PROXY
WINE64=/usr/lib/wine/wine64

# Creates the prefix once; windows unmanaged, so that hiding or destroying
# one does not wait for a window manager that Xvfb lacks.
wine_prefix_ready() {
    if [ -f "$WINEPREFIX/.updater-ready" ]; then
        return
    fi
    mkdir -p "$WINEPREFIX"
    "$WINE64" wineboot --init >"$WINEPREFIX/../wineboot.log" 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$WINEPREFIX/../wineboot.log" 2>&1
    /usr/lib/wine/wineserver -w
    touch "$WINEPREFIX/.updater-ready"
}

# Starts a private Xvfb unless KEEP_DISPLAY=1 and DISPLAY is set; exports
# DISPLAY and XVFB_PID.
start_private_x() {
    if [ "${KEEP_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        XVFB_PID=
        return
    fi
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    local display
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
}

# Ends every Wine process of the prefix and the private X server.
stop_wine_and_x() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    fi
}
