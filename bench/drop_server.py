#!/usr/bin/env python3
"""HTTP server for the download resume benchmarks: serves one file (any path) with "bytes=a-" ranges
and breaks connections: at a fixed set of random byte positions of the file, each position once
(--drops), and/or after every BYTES body bytes of each connection (--every).

Usage: python3 drop_server.py --file PATH [--drops N] [--seed S] [--every BYTES] [--quiet]
Prints "PORT <n>" once it listens on 127.0.0.1, and "DROP <position>" on stderr at every break
(unless --quiet).
"""

import argparse
import os
import random
import socket
import sys
import threading
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

CHUNK = 1 << 20


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def do_GET(self):
        self.close_connection = True
        server = self.server
        start = 0
        asked = self.headers.get("Range", "")
        if asked.startswith("bytes=") and asked.endswith("-"):
            start = int(asked[6:-1])
        if start >= server.size:
            self.send_response(416)
            self.send_header("Content-Range", "bytes */%d" % server.size)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with server.lock:
            ahead = [p for p in server.drops if p > start]
            stop = min(ahead) if ahead else server.size
            if ahead:
                server.drops.remove(stop)
        if server.every > 0:
            stop = min(stop, start + server.every)
        self.send_response(206 if asked else 200)
        if asked:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, server.size - 1, server.size))
        self.send_header("Content-Length", str(server.size - start))
        self.send_header("Connection", "close")
        self.end_headers()
        with open(server.path, "rb") as source:
            source.seek(start)
            position = start
            try:
                while position < stop:
                    piece = source.read(min(CHUNK, stop - position))
                    if not piece:
                        break
                    self.connection.sendall(piece)
                    position += len(piece)
            except (BrokenPipeError, ConnectionResetError):
                return
        if stop < server.size:
            if not server.quiet:
                sys.stderr.write("DROP %d\n" % stop)
                sys.stderr.flush()
            self.connection.shutdown(socket.SHUT_RDWR)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--file", required=True)
    parser.add_argument("--drops", type=int, default=20)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--every", type=int, default=0, help="break each connection after this many bytes")
    parser.add_argument("--quiet", action="store_true")
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.path = args.file
    server.size = os.path.getsize(args.file)
    server.lock = threading.Lock()
    server.every = args.every
    server.quiet = args.quiet
    rng = random.Random(args.seed)
    server.drops = sorted(rng.sample(range(1, server.size), args.drops))
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
