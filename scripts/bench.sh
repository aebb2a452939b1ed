#!/usr/bin/env bash
# Measures download throughput, progress latency, peak memory and start-up
# under Wine against nginx on loopback, and prints one table of medians.
# Usage: bench.sh [BUILD_DIR]        (default build/x86_64)
# Environment: BENCH_QUICK=1 (100 MiB body instead of 1 GiB), BENCH_RUNS=n (3),
# BENCH_PORT (default 18904), WINEPREFIX (default build/wineprefix).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build/x86_64}" && pwd)
PORT=${BENCH_PORT:-18904}
QUICK=${BENCH_QUICK:-0}
RUNS=${BENCH_RUNS:-3}
BIG=$([ "$QUICK" = 1 ] && echo 100m || echo 1g)
WORK=$BUILD/bench-run
DATA=$WORK/data
OUT=$WORK/out
RESULTS=$WORK/results.txt
source "$ROOT/scripts/wine-env.sh"

install_tools() {
    local missing=()
    for p in nginx curl; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

build_bench() {
    cmake -S "$ROOT" -B "$BUILD" -DUPDATER_BENCH_PORT="$PORT" >/dev/null
    cmake --build "$BUILD" -j 2 --target download_bench startup_bench >/dev/null
}

bytes_of() {
    case $1 in 1m) echo $((1 << 20)) ;; 100m) echo $((100 << 20)) ;; 1g) echo $((1 << 30)) ;; esac
}

# Random bytes, so that nothing on the way can compress them; kept between runs.
prepare_data() {
    mkdir -p "$DATA/soft/zevi" "$OUT"
    for size in 1m 100m 1g; do
        local file=$DATA/$size.bin
        [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" = "$(bytes_of $size)" ] && continue
        head -c "$(bytes_of $size)" /dev/urandom >"$file"
    done
    printf '[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=2024-01-01\r\n[CONTENT]\r\nline1=bench\r\n[ADDRESS]\r\nurl=http://127.0.0.1:%s/1m.bin\r\nfile=setup.exe\r\n' \
        "$PORT" >"$DATA/soft/zevi/upt.htm"
}

start_nginx() {
    cat >"$WORK/nginx.conf" <<CONF
user root;
worker_processes 1;
daemon on;
pid $WORK/nginx.pid;
error_log $WORK/nginx-error.log;
events { worker_connections 64; }
http {
    access_log off;
    sendfile on;
    default_type application/octet-stream;
    server { listen 127.0.0.1:$PORT; root $DATA; }
}
CONF
    nginx -p "$WORK" -c "$WORK/nginx.conf"
}

stop_all() {
    [ -f "$WORK/nginx.pid" ] && kill "$(cat "$WORK/nginx.pid")" 2>/dev/null || true
    stop_wine_and_x
    rm -f "$OUT"/*.bin
}

# CPU seconds (user + system) that the prefix's wineserver has used.
wineserver_cpu() {
    local dir pid
    dir=server-$(stat -c '%D' "$WINEPREFIX")-$(printf '%x' "$(stat -c '%i' "$WINEPREFIX")")
    for pid in $(pgrep -x 'wineserver(64)?'); do
        if [ "$(basename "$(readlink "/proc/$pid/cwd")")" = "$dir" ]; then
            awk -v hz="$(getconf CLK_TCK)" '{printf "%.3f", ($14 + $15) / hz}' "/proc/$pid/stat"
            return
        fi
    done
    echo 0
}

# Runs the download benchmark once; appends its line, the Wine process's CPU
# seconds and the wineserver's to RESULTS.
wine_download() {
    local mode=$1 size=$2 line before after cpu
    before=$(wineserver_cpu)
    { TIMEFORMAT='%U %S'; time line=$("$WINE64" "$BUILD/bench/download_bench.exe" "$mode" \
        "http://127.0.0.1:$PORT/$size.bin" "$(bytes_of "$size")" "Z:${OUT//\//\\}\\wine.bin") || true; } 2>"$WORK/cpu.txt"
    after=$(wineserver_cpu)
    cpu=$(awk '{print $1 + $2}' "$WORK/cpu.txt")
    echo "${line//$'\r'/} size=$size cpu_s=$cpu server_cpu_s=$(awk -v a="$after" -v b="$before" 'BEGIN{print a - b}')" >>"$RESULTS"
    cmp -s "$OUT/wine.bin" "$DATA/$size.bin" || [ "${mode}" = floor-nowrite ] || echo "mode=$mode bad_file=1" >>"$RESULTS"
}

native_download() {
    local t
    t=$(curl -s -o "$OUT/curl.bin" -w '%{time_total}' "http://127.0.0.1:$PORT/$BIG.bin")
    cmp -s "$OUT/curl.bin" "$DATA/$BIG.bin" && echo "mode=curl ok=1 seconds=$t size=$BIG" >>"$RESULTS"
}

file_copy() {
    local start end
    start=$(date +%s.%N)
    cp "$DATA/$BIG.bin" "$OUT/copy.bin"
    end=$(date +%s.%N)
    echo "mode=copy ok=1 seconds=$(awk -v a="$end" -v b="$start" 'BEGIN{print a - b}') size=$BIG" >>"$RESULTS"
}

install_tools
build_bench
prepare_data
: >"$RESULTS"
wine_prefix_ready
start_private_x
trap stop_all EXIT
start_nginx
"$WINE64" "$BUILD/tests/bin/WineKeepAlive.exe" >"$WORK/keepalive.log" 2>&1 &
sleep 1

# A first download pays the prefix's cold start; it is not counted.
"$WINE64" "$BUILD/bench/download_bench.exe" floor "http://127.0.0.1:$PORT/1m.bin" "$(bytes_of 1m)" \
    "Z:${OUT//\//\\}\\wine.bin" >/dev/null || true
echo "bench: $RUNS rounds of $BIG downloads" >&2
for ((round = 1; round <= RUNS; round++)); do
    # Every mode once per round, so that the machine's drift touches all alike.
    for mode in floor off on floor-nowrite floor-cfile floor-connect; do
        wine_download "$mode" "$BIG"
    done
    native_download
    file_copy
    for size in 1m 100m; do
        [ "$size" != "$BIG" ] && wine_download on "$size"
    done
done
echo "bench: start-up" >&2
"$WINE64" "$BUILD/bench/startup_bench.exe" "$RUNS" | tr -d '\r' >>"$RESULTS"

/usr/bin/python3 "$ROOT/bench/report.py" "$RESULTS" "$BIG" "$(nproc)"
