#!/usr/bin/env bash
# The main job, end to end: a local update server publishes a newer version,
# the main program runs, Updater.exe checks in a real window, and the
# upgrade is walked through: report, "升级", progress to 100%, the main
# program asked to close, the package run. The update is signed: the
# descriptor is pinned to the package and signed with the build tree's demo
# key, and the Updater.exe installed has that key built in.
#
# With DISPLAY set the windows appear on that display and you press the
# buttons yourself; without it (or with DEMO_HEADLESS=1) everything runs in
# a private Xvfb, the demo presses the buttons and saves a screenshot of
# each state. Usage: demo.sh [BUILD_DIR]   (default build/x86_64)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/x86_64}" && pwd)
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/demo-wineprefix}"
if [ -n "${DISPLAY:-}" ] && [ "${DEMO_HEADLESS:-0}" != 1 ]; then
    export KEEP_DISPLAY=1
    INTERACTIVE=1
else
    INTERACTIVE=0
fi
source "$ROOT/scripts/wine-env.sh"
source "$ROOT/scripts/demo-lib.sh"

rm -rf "$DEMO_OUT" && mkdir -p "$DEMO_OUT"
make_installation "$SIGNED_UPDATER"
wine_prefix_ready
start_private_x
trap stop_demo EXIT
start_server "$ROOT/demo/upt.ini" "$DEMO_KEY"
echo "demo: update server on http://127.0.0.1:$DEMO_PORT, display $DISPLAY"
echo "demo: the descriptor is pinned to the package and signed with the demo key:"
grep -a '^sha256=' "$PUBLISH/upt.htm" | sed 's/^/    /'
echo "demo: Updater.exe has the demo's public key built in and takes only signed updates"

start_main_program
echo "demo: the main program (stand-in) runs; starting Updater.exe /check"
start_updater /check

if [ "$INTERACTIVE" = 1 ]; then
    echo "demo: press 升级 in the Updater window (or 下载练习文章, or 关闭)"
    wait "$UPDATER_PID" || true
else
    driver wait-dialog Updater
    sleep 1
    screenshot "$SHOTS" 1-report
    driver click Updater 1000
    driver wait-change Updater 1005 0%
    sleep 0.5
    screenshot "$SHOTS" 2-downloading
    status=0
    wait "$UPDATER_PID" || status=$?
    echo "demo: Updater.exe ended with status $status"
    driver wait-window "Quillorn 19.0.0.4 安装程序"
    screenshot "$SHOTS" 3-package-running
fi

echo "demo: the main program's record:"
sed 's/^/    /' "$INSTALL/Zevi/Zevi.log"
if [ -f "$INSTALL/QuillornSetup.exe.ran" ]; then
    echo "demo: the package ran: $(cat "$INSTALL/QuillornSetup.exe.ran")"
    echo "demo: package on disk: $(stat -c %s "$INSTALL/QuillornSetup.exe") bytes"
elif [ "$INTERACTIVE" = 0 ]; then
    echo "demo: FAILED: the package did not run (see $DEMO_LOG)" >&2
    exit 1
fi
[ "$INTERACTIVE" = 1 ] || echo "demo: screenshots in $SHOTS"
echo "demo: done"
