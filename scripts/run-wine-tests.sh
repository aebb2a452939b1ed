#!/usr/bin/env bash
# Runs the x86_64 suite under Wine inside a private X server.
# Usage: run-wine-tests.sh BUILD_DIR [ctest arguments...]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$1
shift
source "$ROOT/scripts/wine-env.sh"

wine_prefix_ready
start_private_x
trap stop_wine_and_x EXIT

# One long-lived Wine process starts Wine's helpers with its output going to
# a file, so that no test's pipes are held by them.
"$WINE64" "$BUILD/tests/bin/WineKeepAlive.exe" >"$BUILD/keepalive.log" 2>&1 &
sleep 1

ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j2 "$@"
