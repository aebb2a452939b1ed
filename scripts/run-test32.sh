#!/usr/bin/env bash
# Smoke suite for the shipped 32-bit Updater.exe, run by 32-bit Wine under
# user-mode emulation in a prefix of its own and a private X server.
# Usage: run-test32.sh [I686_BUILD_DIR]   (default: build/i686)
# UPDATER_SKIP_32=1 skips the suite on machines that cannot emulate i386.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/i686}" && pwd)

# Launcher mode: a missing config.ini, and the main program brought forward.
SCENARIOS=(launcher-no-config launcher-forward)
# Check mode against the loopback server: "ery" up to date, and "eck" with a
# newer version through 升级 to the package run. Comment out to leave them out.
SCENARIOS+=(ery-current eck-upgrade)

say() { echo "test32: $*"; }
now() { date +%s; }
suite_start=$(now)

bash "$ROOT/scripts/setup-wine32.sh"
WINE32=/usr/lib/wine/wine
if [ "${UPDATER_SKIP_32:-0}" = 1 ] && ! "$WINE32" --version >/dev/null 2>&1; then
    say "skipped: this machine cannot run 32-bit programs (UPDATER_SKIP_32=1)"
    exit 0
fi

for exe in Updater.exe smoke32/SmokeDriver.exe smoke32/Zevi.exe smoke32/SmokePackage.exe; do
    if [ ! -f "$BUILD/$exe" ]; then
        say "missing $BUILD/$exe: build the i686 tree first (make build-i686)" >&2
        exit 1
    fi
done

# The 64-bit suite's settings, with a 32-bit prefix of our own.
export WINEPREFIX="${UPDATER_WINEPREFIX32:-$ROOT/build/wp32}"
source "$ROOT/scripts/wine-env.sh"
export WINEARCH=win32

# Creates the prefix once. Under emulation the first process may give up
# ("could not load kernel32.dll") while the wineboot that it started goes on:
# wait for the whole session to end, and boot once more if the prefix is
# still incomplete. The driver itself sets the unmanaged-window option.
prefix32_complete() {
    [ -f "$WINEPREFIX/drive_c/windows/system32/kernel32.dll" ] && [ -f "$WINEPREFIX/system.reg" ]
}

# CPU ticks used so far by every emulated 32-bit process (only this suite
# runs them).
emulated_cpu_ticks() {
    local pid total=0
    for pid in $(pgrep -f qemu-i386-static); do
        total=$((total + $(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
    done
    echo "$total"
}

# Waits for the boot's Wine session to end. Under emulation a helper of the
# boot may crash ("qemu: uncaught target signal 11") and leave the boot
# waiting for it forever: once the prefix is complete and the emulated
# processes have used no CPU for a minute, the session is ended.
wait_for_boot() {
    /usr/lib/wine/wineserver -w &
    local waiter=$! idle=0 last now_ticks elapsed=0
    last=$(emulated_cpu_ticks)
    while kill -0 "$waiter" 2>/dev/null && ((elapsed < 2400)); do
        sleep 10
        elapsed=$((elapsed + 10))
        now_ticks=$(emulated_cpu_ticks)
        if [ "$now_ticks" = "$last" ]; then idle=$((idle + 10)); else idle=0; fi
        last=$now_ticks
        if ((idle >= 60)) && prefix32_complete; then
            say "the boot is idle and the prefix complete: ending the boot's session"
            break
        fi
    done
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    wait "$waiter" 2>/dev/null || true
}

prefix32_ready() {
    [ -f "$WINEPREFIX/.updater-ready" ] && return
    say "creating the 32-bit prefix $WINEPREFIX (several minutes under emulation)"
    local start log try
    start=$(now)
    log="$WINEPREFIX.wineboot.log"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    : >"$log"
    for try in 1 2; do
        "$WINE32" wineboot --init >>"$log" 2>&1 || true
        wait_for_boot
        prefix32_complete && break
    done
    if ! prefix32_complete; then
        say "prefix creation failed; see $log" >&2
        exit 1
    fi
    touch "$WINEPREFIX/.updater-ready"
    say "prefix created in $(($(now) - start)) s"
}

SERVER_PID=
cleanup() {
    if [ -n "$SERVER_PID" ]; then
        kill "$SERVER_PID" 2>/dev/null || true
        wait "$SERVER_PID" 2>/dev/null || true
    fi
    stop_wine_and_x
}

prefix32_ready
start_private_x
trap cleanup EXIT

# The installations the driver works in, laid out anew at every run.
SMOKE="$WINEPREFIX/drive_c/smoke"
rm -rf "$SMOKE"
for dir in noconfig forward ery eck; do
    mkdir -p "$SMOKE/$dir"
    cp "$BUILD/Updater.exe" "$SMOKE/$dir/"
done
mkdir -p "$SMOKE/main" "$SMOKE/served/soft/zevi" "$SMOKE/run"
cp "$BUILD/smoke32/Zevi.exe" "$SMOKE/main/"
cp "$BUILD/smoke32/SmokePackage.exe" "$SMOKE/served/soft/zevi/SmokeSetup.exe"
cp "$BUILD/smoke32/SmokeDriver.exe" "$SMOKE/run/"

# The check scenarios talk to a loopback server on the port of the base
# URL that this Updater.exe was built with.
PORT=0
if [[ " ${SCENARIOS[*]} " == *" ery-current "* || " ${SCENARIOS[*]} " == *" eck-upgrade "* ]]; then
    url=$(sed -n 's/^UPDATER_BASE_URL:[A-Z]*=//p' "$BUILD/CMakeCache.txt")
    if [[ ! "$url" =~ ^http://(127\.0\.0\.1|localhost):([0-9]+)$ ]]; then
        say "the check scenarios need an i686 build whose base URL is http://127.0.0.1:PORT (it is '$url')" >&2
        exit 1
    fi
    PORT=${BASH_REMATCH[2]}
    /usr/bin/python3 "$ROOT/tests/smoke32/server.py" "$PORT" "$SMOKE/served" \
        >"$BUILD/smoke32/server.log" 2>&1 &
    SERVER_PID=$!
    for _ in $(seq 50); do
        grep -q listening "$BUILD/smoke32/server.log" && break
        kill -0 "$SERVER_PID" 2>/dev/null || break
        sleep 0.2
    done
    if ! grep -q listening "$BUILD/smoke32/server.log"; then
        say "the loopback server did not start on port $PORT:" >&2
        cat "$BUILD/smoke32/server.log" >&2
        exit 1
    fi
fi

# The driver's output goes to a file: Wine's helper processes, started with
# the first process, would hold a pipe open until the prefix ends.
say "running ${SCENARIOS[*]} (each emulated process start takes about a minute)"
run_start=$(now)
status=0
timeout -s KILL 3600 "$WINE32" 'C:\smoke\run\SmokeDriver.exe' 'C:\smoke' "$PORT" "${SCENARIOS[@]}" \
    >"$BUILD/smoke32/driver.log" 2>&1 || status=$?
iconv -c -f GBK -t UTF-8 "$BUILD/smoke32/driver.log" || true
say "driver ran $(($(now) - run_start)) s; whole suite $(($(now) - suite_start)) s"
if ! tail -n 1 "$BUILD/smoke32/driver.log" | grep -Eq '^[0-9]+ passed, [0-9]+ failed'; then
    say "the driver ended without its summary (status $status)" >&2
    exit 1
fi
# The summary stays the last line.
tail -n 1 "$BUILD/smoke32/driver.log"
exit "$status"
