#!/usr/bin/env python3
"""A small update server for the demo: publishes the files of one folder,
byte for byte, under /soft/zevi/ (the descriptor upt.htm, its signature
upt.htm.sig when there is one, the package and the extra file), sending
packages slowly enough that their progress can be watched.

    server.py PORT FOLDER
"""
import http.server
import os
import sys
import time

PORT = int(sys.argv[1])
FOLDER = sys.argv[2]
PREFIX = "/soft/zevi/"
CHUNK = 16 * 1024
CHUNK_PAUSE_S = 0.1  # about 160 KB/s for packages


def content_type(name):
    if name.endswith(".htm"):
        return "text/plain; charset=gb2312"
    if name.endswith(".txt"):
        return "text/plain"
    return "application/octet-stream"


def published_file(url_path):
    """The folder's file for a request path, or None."""
    if not url_path.startswith(PREFIX):
        return None
    name = url_path[len(PREFIX):]
    if not name or "/" in name or name.startswith("."):
        return None
    path = os.path.join(FOLDER, name)
    return path if os.path.isfile(path) else None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        path = published_file(self.path)
        if path is None:
            self.send_error(404)
            return
        with open(path, "rb") as f:
            body = f.read()
        slow = path.endswith(".exe")
        self.send_response(200)
        self.send_header("Content-Type", content_type(path))
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        for start in range(0, len(body), CHUNK):
            self.wfile.write(body[start:start + CHUNK])
            self.wfile.flush()
            if slow:
                time.sleep(CHUNK_PAUSE_S)

    def log_message(self, fmt, *args):
        sys.stderr.write("demo server: " + fmt % args + "\n")


if __name__ == "__main__":
    http.server.ThreadingHTTPServer.allow_reuse_address = True
    server = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Handler)
    server.serve_forever()
