#!/usr/bin/env bash
# The demo, for now the launcher: Updater.exe, started without an argument,
# brings the minimized main program (the stand-in Zevi.exe) back to the
# front; then, with no main program running, it starts one from the folder
# that config.ini names. Runs in a private X server (or the caller's, with
# KEEP_DISPLAY=1), saves a screenshot of each scene and stops everything.
# Usage: demo.sh [BUILD_DIR]   (default build/x86_64; its exe and stand-in)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/x86_64}" && pwd)
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/demo-wineprefix}"
source "$ROOT/scripts/wine-env.sh"

OUT="$BUILD/demo"
INSTALL="$OUT/install"
SHOTS="$OUT/shots"

windows_path() {
    local p=${1//\//\\}
    echo "Z:$p"
}

screenshot() {
    xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "$SHOTS/$1.png"
    echo "demo: screenshot $SHOTS/$1.png"
}

# Waits up to 20 s until file holds a line matching pattern.
wait_for_line() {
    local file=$1 pattern=$2
    for _ in $(seq 200); do
        grep -q "$pattern" "$file" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "demo: '$pattern' never appeared in $file" >&2
    return 1
}

# Runs the launcher to its end; it must end by itself with status 0.
run_launcher() {
    local status=0
    "$WINE64" "$INSTALL/Updater.exe" >>"$OUT/wine.log" 2>&1 || status=$?
    echo "demo: Updater.exe ended with status $status"
    [ "$status" = 0 ]
}

rm -rf "$OUT"
mkdir -p "$INSTALL/Zevi" "$SHOTS"
cp "$BUILD/Updater.exe" "$INSTALL/"
cp "$BUILD/tests/bin/Zevi.exe" "$INSTALL/Zevi/"
printf '[OPTION]\r\nfolder=Zevi\r\n' >"$INSTALL/config.ini"
RECORD="$INSTALL/Zevi/Zevi.log"

wine_prefix_ready
start_private_x
trap stop_wine_and_x EXIT
echo "demo: display $DISPLAY, prefix $WINEPREFIX"

echo "demo: scene 1: the main program runs minimized; the launcher restores it"
"$WINE64" "$INSTALL/Zevi/Zevi.exe" Quillorn2019 "$(windows_path "$RECORD")" min \
    >>"$OUT/wine.log" 2>&1 &
wait_for_line "$RECORD" "^state min"
screenshot 1-minimized
run_launcher
wait_for_line "$RECORD" "^state normal"
sleep 0.5
screenshot 2-restored
echo "demo: the main program's record:"
sed 's/^/    /' "$RECORD"

echo "demo: scene 2: no main program runs; the launcher starts Zevi\\Zevi.exe"
/usr/lib/wine/wineserver -k
rm -f "$RECORD"
run_launcher
wait_for_line "$RECORD" "^start "
sleep 0.5
screenshot 3-started
sed 's/^/    /' "$RECORD"
echo "demo: done"
