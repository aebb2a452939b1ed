#!/usr/bin/env bash
# Writes the road test's descriptor, pinned to the package, and signs it
# with the publisher tool as a publisher would.
# Usage: make-road-descriptor.sh SIGN_UPDATE PRIVATE_KEY BASE_URL PACKAGE OUT
set -euo pipefail
sign_update=$1 key=$2 base_url=$3 package=$4 out=$5
mkdir -p "$(dirname "$out")"
{
    printf '[VERSION]\r\ntotal=2\r\nver=2\r\nbuild=2.0\r\ndate=2019-06-18\r\n'
    printf '[ADDRESS]\r\nurl=%s/pkg/setup.exe\r\nfile=setup.exe\r\n' "$base_url"
    printf '%s\r\n' "$(bash "$sign_update" hash "$package")"
} >"$out"
bash "$sign_update" sign "$key" "$out" >/dev/null
