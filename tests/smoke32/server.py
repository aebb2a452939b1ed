#!/usr/bin/env python3
"""Loopback update server for the smoke suite.

    server.py PORT DOCROOT

Serves the files under DOCROOT, read afresh at each request (the driver
writes the descriptor just before it starts Updater.exe), and lists the
head of every request it has answered at /requests, so that the driver can
check what went over the wire.
"""
import http.server
import os
import sys
import threading

PORT = int(sys.argv[1])
DOCROOT = os.path.realpath(sys.argv[2])

seen = []
seen_lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def send_body(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/requests":
            with seen_lock:
                body = "".join(seen).encode("latin-1")
            self.send_body(200, body, "text/plain")
            return
        with seen_lock:
            # Header lines exactly as received, CRLF-terminated, then a blank line.
            seen.append(self.requestline + "\r\n" +
                        "".join(f"{k}: {v}\r\n" for k, v in self.headers.items()) + "\r\n")
        path = os.path.realpath(os.path.join(DOCROOT, self.path.lstrip("/")))
        if not path.startswith(DOCROOT + os.sep) or not os.path.isfile(path):
            self.send_body(404, b"not found", "text/plain")
            return
        with open(path, "rb") as f:
            self.send_body(200, f.read(), "application/octet-stream")

    def log_message(self, fmt, *args):
        sys.stderr.write("smoke server: " + fmt % args + "\n")


if __name__ == "__main__":
    http.server.ThreadingHTTPServer.allow_reuse_address = True
    server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Handler)
    print(f"smoke server: listening on 127.0.0.1:{PORT}", flush=True)
    server.serve_forever()
