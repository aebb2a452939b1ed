#!/usr/bin/env bash
# The real servers behind the Https* and Proxy* tests, on loopback: nginx
# with TLS (one port per certificate case) and two tinyproxy instances (one
# open, one demanding a password). Everything lives in DIR: certificates,
# configurations, logs, pid files and the folder nginx serves (DIR/www).
# "start" also trusts the test authority inside the current WINEPREFIX only,
# with the given import tool; "stop" ends only the processes named in DIR's
# pid files.
#
# Usage: test-servers.sh start DIR TLS_PORT WRONG_HOST_PORT EXPIRED_PORT \
#                              UNTRUSTED_PORT PROXY_PORT AUTH_PROXY_PORT IMPORT_EXE
#        test-servers.sh stop DIR
set -euo pipefail

ACTION=$1
DIR=$2

# Debian's packages, installed only when missing.
ensure_packages() {
    local missing=()
    local p
    for p in nginx tinyproxy openssl; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" \
            || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "test-servers: installing ${missing[*]}"
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
}

# Ends the process named in a pid file of ours, if it still runs.
stop_pid_file() {
    local file=$1
    [ -f "$file" ] || return 0
    local pid
    pid=$(cat "$file")
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        # tinyproxy notices the signal only at its next wake-up, a few seconds.
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            echo "test-servers: $file: process $pid ignored SIGTERM; killing it" >&2
            kill -KILL "$pid"
        fi
    fi
    rm -f "$file"
}

stop_all() {
    stop_pid_file "$DIR/nginx.pid"
    stop_pid_file "$DIR/tinyproxy.pid"
    stop_pid_file "$DIR/tinyproxy-auth.pid"
}

# Signs DIR/pki/NAME.csr with the authority CA for the subject-alternative
# names SAN, valid from START to END (openssl's YYYYMMDDHHMMSSZ).
sign_leaf() {
    local name=$1 ca=$2 san=$3 start=$4 end=$5
    local pki=$DIR/pki
    openssl req -new -newkey rsa:2048 -nodes -keyout "$pki/$name.key" -out "$pki/$name.csr" \
        -subj "/CN=${san#*:}" 2>/dev/null
    SAN=$san openssl ca -batch -notext -config "$pki/ca.cnf" -extensions leaf \
        -cert "$pki/$ca.crt" -keyfile "$pki/$ca.key" -in "$pki/$name.csr" -out "$pki/$name.crt" \
        -startdate "$start" -enddate "$end" 2>/dev/null
}

make_authority() {
    local name=$1 pki=$DIR/pki
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$pki/$name.key" -out "$pki/$name.crt" \
        -days 3650 -subj "/CN=Updater $name" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# The test authority and the four server certificates, made once per DIR.
make_certificates() {
    local pki=$DIR/pki
    [ -f "$pki/done" ] && return
    rm -rf "$pki"
    mkdir -p "$pki/issued"
    : >"$pki/index.txt"
    echo 01 >"$pki/serial"
    cat >"$pki/ca.cnf" <<CNF
[ca]
default_ca = test_ca
[test_ca]
database = $pki/index.txt
new_certs_dir = $pki/issued
serial = $pki/serial
default_md = sha256
policy = any_name
unique_subject = no
[any_name]
commonName = supplied
[leaf]
basicConstraints = CA:FALSE
keyUsage = critical,digitalSignature,keyEncipherment
extendedKeyUsage = serverAuth
subjectAltName = \${ENV::SAN}
CNF
    make_authority test-ca
    make_authority untrusted-ca
    local now_start now_end
    now_start=$(date -u -d '-1 day' +%Y%m%d%H%M%SZ)
    now_end=$(date -u -d '+10 years' +%Y%m%d%H%M%SZ)
    sign_leaf localhost test-ca "DNS:localhost,IP:127.0.0.1" "$now_start" "$now_end"
    sign_leaf wrong-host test-ca "DNS:updates.example.com" "$now_start" "$now_end"
    sign_leaf expired test-ca "DNS:localhost,IP:127.0.0.1" 20200101000000Z 20210101000000Z
    sign_leaf untrusted untrusted-ca "DNS:localhost,IP:127.0.0.1" "$now_start" "$now_end"
    openssl x509 -in "$pki/test-ca.crt" -outform DER -out "$pki/test-ca.der"
    touch "$pki/done"
}

tls_server() {
    local port=$1 cert=$2
    cat <<CONF
    server {
        listen 127.0.0.1:$port ssl;
        server_name localhost;
        ssl_certificate $DIR/pki/$cert.crt;
        ssl_certificate_key $DIR/pki/$cert.key;
        root $DIR/www;
        # /redirect?to=URL answers 302 with that Location.
        location = /redirect { return 302 \$arg_to; }
    }
CONF
}

start_nginx() {
    mkdir -p "$DIR/www" "$DIR/nginx-temp"
    {
        cat <<CONF
user root;
worker_processes 1;
pid $DIR/nginx.pid;
error_log $DIR/nginx-error.log;
events { worker_connections 64; }
http {
    access_log $DIR/nginx-access.log;
    default_type application/octet-stream;
    client_body_temp_path $DIR/nginx-temp/body;
    proxy_temp_path $DIR/nginx-temp/proxy;
    fastcgi_temp_path $DIR/nginx-temp/fastcgi;
    uwsgi_temp_path $DIR/nginx-temp/uwsgi;
    scgi_temp_path $DIR/nginx-temp/scgi;
CONF
        tls_server "$TLS_PORT" localhost
        tls_server "$WRONG_HOST_PORT" wrong-host
        tls_server "$EXPIRED_PORT" expired
        tls_server "$UNTRUSTED_PORT" untrusted
        echo "}"
    } >"$DIR/nginx.conf"
    nginx -c "$DIR/nginx.conf" -p "$DIR" -e "$DIR/nginx-error.log" </dev/null >>"$DIR/start.log" 2>&1
}

start_tinyproxy() {
    local name=$1 port=$2 extra=$3
    cat >"$DIR/$name.conf" <<CONF
User root
Group root
Port $port
Listen 127.0.0.1
Timeout 30
LogFile "$DIR/$name.log"
LogLevel Info
PidFile "$DIR/$name.pid"
MaxClients 20
Allow 127.0.0.1
ConnectPort $TLS_PORT
$extra
CONF
    tinyproxy -c "$DIR/$name.conf" </dev/null >>"$DIR/start.log" 2>&1
}

# The path Wine's Z: drive gives an absolute Linux path.
winepath_of() {
    echo "Z:${1//\//\\}"
}

# Waits until something listens on each loopback port given.
wait_for_ports() {
    local port
    for port in "$@"; do
        for _ in $(seq 100); do
            (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && continue 2
            sleep 0.1
        done
        echo "test-servers: nothing listens on port $port (see $DIR)" >&2
        exit 1
    done
}

case "$ACTION" in
start)
    TLS_PORT=$3 WRONG_HOST_PORT=$4 EXPIRED_PORT=$5 UNTRUSTED_PORT=$6
    PROXY_PORT=$7 AUTH_PROXY_PORT=$8 IMPORT_EXE=$9
    : "${WINEPREFIX:?the test prefix must be set: the authority is trusted there only}"
    ensure_packages
    mkdir -p "$DIR"
    stop_all
    make_certificates
    rm -f "$DIR"/*.log
    start_nginx
    start_tinyproxy tinyproxy "$PROXY_PORT" ""
    start_tinyproxy tinyproxy-auth "$AUTH_PROXY_PORT" "BasicAuth updater secret"
    wait_for_ports "$TLS_PORT" "$WRONG_HOST_PORT" "$EXPIRED_PORT" "$UNTRUSTED_PORT" \
        "$PROXY_PORT" "$AUTH_PROXY_PORT"
    /usr/lib/wine/wine64 "$IMPORT_EXE" "$(winepath_of "$DIR/pki/test-ca.der")" \
        >"$DIR/import.log" 2>&1 || { cat "$DIR/import.log" >&2; exit 1; }
    ;;
stop)
    stop_all
    ;;
*)
    echo "usage: $0 start|stop DIR ..." >&2
    exit 2
    ;;
esac
