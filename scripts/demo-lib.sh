# Sourced by demo.sh and screenshots.sh: a demo installation, the demo update
# server and the demo driver. Callers set ROOT and BUILD first.

DEMO_PORT=8765  # the default base URL's port, built into Updater.exe
DEMO_OUT="$BUILD/demo-run"
INSTALL="$DEMO_OUT/install"
PUBLISH="$DEMO_OUT/publish"  # what the demo server serves
DEMO_KEY="$BUILD/demo-key/update-private.pem"  # made by the build
SIGNED_UPDATER="$BUILD/demo/signed/Updater.exe"  # with the demo key built in
SHOTS="$DEMO_OUT/shots"
DEMO_LOG="$DEMO_OUT/wine.log"
SERVER_PID=

windows_path() {
    local p=${1//\//\\}
    echo "Z:$p"
}

# A fresh installation: the updater given as the first argument (default
# the tree's Updater.exe), config.ini (code page 936) and the stand-in main
# program in the folder that config.ini names.
make_installation() {
    local updater=${1:-$BUILD/Updater.exe}
    rm -rf "$INSTALL"
    mkdir -p "$INSTALL/Zevi" "$SHOTS"
    cp "$updater" "$INSTALL/"
    cp "$BUILD/tests/bin/Zevi.exe" "$INSTALL/Zevi/"
    iconv -f UTF-8 -t GBK "$ROOT/demo/config.ini" | sed 's/$/\r/' >"$INSTALL/config.ini"
}

# Fills PUBLISH as a publisher would: the package (the demo package with
# data appended, which a program ignores, so that its download lasts a few
# seconds), the extra file, and DESCRIPTOR (UTF-8) in code page 936 with
# CR LF line ends. With PRIVATE_KEY the descriptor is pinned to both files
# and signed with tools/sign-update.
publish() {
    local descriptor=$1 key=${2:-}
    rm -rf "$PUBLISH" && mkdir -p "$PUBLISH"
    { cat "$BUILD/demo/DemoPackage.exe"; head -c $((512 * 1024)) /dev/zero; } >"$PUBLISH/QuillornSetup.exe"
    cp "$ROOT/demo/articles.txt" "$PUBLISH/articles.txt"
    local pin_address="" pin_additional=""
    if [ -n "$key" ]; then
        pin_address=$(bash "$ROOT/tools/sign-update" hash "$PUBLISH/QuillornSetup.exe")
        pin_additional=$(bash "$ROOT/tools/sign-update" hash "$PUBLISH/articles.txt")
    fi
    # Each pin goes right after the file name of its section.
    awk -v address="$pin_address" -v additional="$pin_additional" '
        /^\[/ { section = $0 }
        { print }
        /^file=/ && section == "[ADDRESS]" && address != "" { print address }
        /^file=/ && section == "[ADDITIONAL]" && additional != "" { print additional }
    ' "$descriptor" | iconv -f UTF-8 -t GBK | sed 's/$/\r/' >"$PUBLISH/upt.htm"
    if [ -n "$key" ]; then
        bash "$ROOT/tools/sign-update" sign "$key" "$PUBLISH/upt.htm" >/dev/null
    fi
}

# Publishes DESCRIPTOR (see publish; signed with PRIVATE_KEY when given) and
# starts the demo server.
start_server() {
    publish "$@"
    if (exec 3<>"/dev/tcp/127.0.0.1/$DEMO_PORT") 2>/dev/null; then
        echo "demo: port $DEMO_PORT is already in use" >&2
        return 1
    fi
    /usr/bin/python3 "$ROOT/demo/server.py" "$DEMO_PORT" "$PUBLISH" 2>>"$DEMO_OUT/server.log" &
    SERVER_PID=$!
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$DEMO_PORT") 2>/dev/null && return 0
        sleep 0.1
    done
    echo "demo: the update server did not start (see $DEMO_OUT/server.log)" >&2
    return 1
}

stop_server() {
    if [ -n "$SERVER_PID" ]; then
        kill "$SERVER_PID" 2>/dev/null || true
        wait "$SERVER_PID" 2>/dev/null || true
        SERVER_PID=
    fi
}

stop_demo() {
    stop_server
    stop_wine_and_x
}

driver() {
    "$WINE64" "$BUILD/demo/DemoDriver.exe" "$@" >>"$DEMO_LOG" 2>&1
}

# Starts the updater in the installation with the given argument (or none),
# from the installation folder, in the background; sets UPDATER_PID.
start_updater() {
    (cd "$INSTALL" && exec "$WINE64" "$INSTALL/Updater.exe" "$@" >>"$DEMO_LOG" 2>&1) &
    UPDATER_PID=$!
}

start_main_program() {
    "$WINE64" "$INSTALL/Zevi/Zevi.exe" Quillorn2019 "$(windows_path "$INSTALL/Zevi/Zevi.log")" \
        >>"$DEMO_LOG" 2>&1 &
    for _ in $(seq 100); do
        grep -q '^state' "$INSTALL/Zevi/Zevi.log" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# Saves the screen, trimmed to the windows on it, as NAME.png in DIR.
screenshot() {
    local dir=$1 name=$2
    xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -trim +repage "$dir/$name.png"
    echo "demo: screenshot $dir/$name.png"
}
