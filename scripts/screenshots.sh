#!/usr/bin/env bash
# Regenerates the pictures that the README shows (docs/screenshots): the
# report with the upgrade button enabled, a download in progress, the
# up-to-date text, a failure message and the launcher's missing-file message.
# (The About box is left out: under Wine in Xvfb it opens but is never
# painted.) Runs in a private Xvfb. Usage: screenshots.sh [BUILD_DIR]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/x86_64}" && pwd)
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/demo-wineprefix}"
unset DISPLAY
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/demo-lib.sh"
OUT_DIR="$ROOT/docs/screenshots"

rm -rf "$DEMO_OUT" && mkdir -p "$DEMO_OUT" "$OUT_DIR"
wine_prefix_ready
start_private_x
trap stop_demo EXIT

# Ends every Wine process of the scene, so that the next starts clean.
end_scene() {
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    "$WINE64" "$BUILD/tests/bin/WineKeepAlive.exe" >>"$DEMO_LOG" 2>&1 &
    sleep 1
}

echo "screenshots: the report, then a download in progress"
make_installation
start_server "$ROOT/demo/upt.ini"
start_updater /check
driver wait-dialog Updater && sleep 1
screenshot "$OUT_DIR" report
driver click Updater 1000
driver wait-change Updater 1005 0%
sleep 1
screenshot "$OUT_DIR" downloading
wait "$UPDATER_PID" || true
end_scene

echo "screenshots: an installation that is up to date"
stop_server
sed 's/^total=.*/total=19.3/' "$ROOT/demo/upt.ini" >"$DEMO_OUT/upt-current.ini"
start_server "$DEMO_OUT/upt-current.ini"
make_installation
start_updater /check
driver wait-dialog Updater && sleep 1
screenshot "$OUT_DIR" up-to-date
end_scene

echo "screenshots: the update server cannot be reached"
stop_server
make_installation
start_updater /check
driver wait-dialog Updater && sleep 0.5
screenshot "$OUT_DIR" failure
end_scene

echo "screenshots: the launcher finds no config.ini"
make_installation
rm "$INSTALL/config.ini"
start_updater
driver wait-dialog Updater && sleep 0.5
screenshot "$OUT_DIR" launcher-missing
end_scene
echo "screenshots: done, in $OUT_DIR"
