#!/usr/bin/env python3
"""A small update server for the demo: publishes the descriptor under
/soft/zevi/upt.htm (converted to code page 936) and the files that it names,
sending the package slowly enough that its progress can be watched.

    server.py PORT DESCRIPTOR PACKAGE EXTRA_FILE
"""
import http.server
import sys
import time

PORT = int(sys.argv[1])
DESCRIPTOR, PACKAGE, EXTRA = sys.argv[2:5]
CHUNK = 16 * 1024
CHUNK_PAUSE_S = 0.1  # about 160 KB/s, so that the progress can be watched
# Data appended to the package (a program ignores bytes after its image), so
# that its download lasts a few seconds.
PACKAGE_PADDING = 512 * 1024


def descriptor_bytes():
    with open(DESCRIPTOR, encoding="utf-8") as f:
        return f.read().replace("\n", "\r\n").encode("gbk")


def file_bytes(path):
    with open(path, "rb") as f:
        return f.read()


ROUTES = {
    "/soft/zevi/upt.htm": (descriptor_bytes, "text/plain; charset=gb2312", False),
    "/soft/zevi/QuillornSetup.exe": (lambda: file_bytes(PACKAGE) + bytes(PACKAGE_PADDING),
                                     "application/octet-stream", True),
    "/soft/zevi/articles.txt": (lambda: file_bytes(EXTRA), "text/plain", False),
}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        route = ROUTES.get(self.path)
        if route is None:
            self.send_error(404)
            return
        make_body, content_type, slow = route
        body = make_body()
        self.send_response(200)
        self.send_header("Content-Type", content_type)
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
