#!/usr/bin/python3
"""HTTP server for the transfer tests, on 127.0.0.1 and a free port.

Prints the port on stdout when it is ready. With --root DIR it also serves
the files below DIR (for example /series/f001.bin): files ending in .html or
.htm as text/html, every other one as application/octet-stream. With
--tls DIR it speaks HTTPS, with the certificate --cert NAME (localhost, or
other for another host name) that tls_certs.py makes in DIR.

Routes:
  /bytes/N            200, Content-Length N, the byte pattern below
  /nolength/N         200 without Content-Length; the body ends with the connection
  /empty              200, Content-Length 0
  /status/CODE        that status; a short body except for 1xx, 204 and 304
  /redirect/N?to=P    N redirects (302) in a row, then to P
  /auth/N             Basic authentication as user:secret, then /bytes/N
  /slow/N             Content-Length N, 1 KiB every 20 ms
  /drop/N             Content-Length N, half the body, then the connection drops
  /hang               reads the request and answers nothing for a minute
  /echo               the request line and headers as the body
  /meta?type=T&modified=M&length=N&disposition=D
                      headers only as given (length is sent as Content-Length,
                      disposition as Content-Disposition), with a body of N bytes
  /site/...           the web site of the link extraction tests (link_site.py)
  /stats/hits?path=P  how often P was requested, as text
  /stats/query?path=P the query string P was last requested with
  /busy/MS/K          "busy K" padded to 64 bytes, answered MS milliseconds
                      after the request, with the answers being waited on counted
  /stats/peak         the most /busy answers waited on at one time, as text
Hostile answers:
  /short/N            Content-Length N + 1000, N bytes, then the connection closes
  /chunkcut/N         chunked, N bytes in chunks, then the connection closes
                      without the last chunk
  /stall/N            Content-Length N, 1000 bytes, then nothing for a minute
  /closed             reads the request and closes without an answer
  /nolocation         302 without a Location
  /choices            300 with a Location to /bytes/10
  /partial            206 with a Content-Range, to a request without a range
  /informational      an interim 1xx answer, then the connection closes
  /esc                200 whose reason phrase and Content-Type carry ESC sequences
  /seq/S/K            file K of a series: 5 bytes, or, when K is S, the body
                      of /slow/200000
Kept connections (HTTP/1.1 keep-alive):
  /conn/ANY           "connection N request M": which connection (counted from
                      1 since the start) carried the request, and its number on
                      it; over HTTPS " resumed" follows when the connection
                      resumed an earlier TLS session
  /closing/idle/ANY   as /conn, but the server closes the connection after every
                      second response without announcing it
  /closing/race/ANY   as /conn, but the third request on a connection is read
                      and the connection closed without an answer
  /ranged/HOW/N       N bytes of the pattern (shifted by the version, see
                      below) with an ETag and a Last-Modified; the first
                      request without a Range gets half of it, then the
                      connection drops. A "Range: bytes=A-" is answered 206
                      from A on while If-Range names the current version
                      (HOW = ok); HOW = ignore answers every request whole;
                      HOW = changed makes a new version after the first
                      request, so the If-Range of the next one fails
  /stats/ranged?path=P the Range and If-Range headers of the last request for P
  /smuggle/HOW/K      "file K" padded to 64 bytes; every second answer on a
                      connection is followed by a second complete answer
                      nobody asked for ("smuggled", also 64 bytes): in the
                      same write (HOW = same) or 400 ms later (HOW = late)
Byte i of every generated body is i % 251, so shifted or lost data shows.
"""
import argparse
import base64
import os
import shutil
import signal
import ssl
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

import link_site
import tls_certs

PATTERN = bytes(i % 251 for i in range(251 * 256))


def pattern_bytes(offset, count):
    """count bytes of the pattern starting at offset."""
    out = bytearray()
    start = offset % 251
    while count > 0:
        piece = PATTERN[start:start + count]
        out += piece
        count -= len(piece)
        start = 0
    return bytes(out)


def static_type(path):
    """Pages are pages (for the browser window); everything else is bytes."""
    if path.endswith((".html", ".htm")):
        return "text/html; charset=utf-8"
    return "application/octet-stream"


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "OrdinexTest/1.0"
    # As real servers do on kept connections: small answers go out at once,
    # not when the client's acknowledgement of the last one comes back.
    disable_nagle_algorithm = True
    root = None
    connections = 0
    lock = threading.Lock()
    ranged_versions = {}
    ranged_seen = {}
    busy_now = 0
    busy_peak = 0

    def log_message(self, fmt, *args):
        pass

    def setup(self):
        BaseHTTPRequestHandler.setup(self)
        with Handler.lock:
            Handler.connections += 1
            self.serial = Handler.connections
        self.requests = 0

    def handle_one_request(self):
        self.requests += 1
        BaseHTTPRequestHandler.handle_one_request(self)

    # ---- helpers ----
    def send_pattern(self, count, chunk=256 * 1024):
        sent = 0
        while sent < count:
            n = min(chunk, count - sent)
            self.wfile.write(pattern_bytes(sent, n))
            sent += n

    def reply(self, code, body=b"", headers=None, length=True):
        self.send_response(code)
        for name, value in (headers or {}).items():
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body and self.command != "HEAD":
            self.wfile.write(body)

    def fixed_answer(self, text):
        """A whole 200 answer, status line to body, of text padded to 64 bytes."""
        body = text.ljust(64, b".")
        return (b"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                b"Content-Length: %d\r\n\r\n" % len(body)) + body

    def number(self, text, default=0):
        try:
            return int(text)
        except ValueError:
            return default

    # ---- routes ----
    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        try:
            self.route()
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def route(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query)
        parts = url.path.strip("/").split("/")
        head, arg = parts[0], (parts[1] if len(parts) > 1 else "")

        if head == "bytes":
            self.send_bytes(self.number(arg))
        elif head == "busy":
            with Handler.lock:
                Handler.busy_now += 1
                Handler.busy_peak = max(Handler.busy_peak, Handler.busy_now)
            time.sleep(self.number(arg) / 1000.0)
            with Handler.lock:
                Handler.busy_now -= 1
            name = parts[2] if len(parts) > 2 else ""
            self.reply(200, ("busy " + name).encode().ljust(64, b"."))
        elif head == "stats" and arg == "peak":
            with Handler.lock:
                self.reply(200, str(Handler.busy_peak).encode())
        elif head == "nolength":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            self.send_pattern(self.number(arg))
        elif head == "empty":
            self.reply(200)
        elif head == "status":
            code = self.number(arg, 500)
            if code < 200 or code in (204, 304):
                self.send_response(code)
                self.end_headers()
            else:
                self.reply(code, ("status %d\n" % code).encode())
        elif head == "redirect":
            left = self.number(arg)
            target = query.get("to", ["/bytes/10"])[0]
            nxt = target if left <= 1 else "/redirect/%d?to=%s" % (left - 1, urllib.parse.quote(target))
            self.reply(302, b"moved\n", {"Location": nxt})
        elif head == "auth":
            expected = "Basic " + base64.b64encode(b"user:secret").decode()
            if self.headers.get("Authorization") != expected:
                self.reply(401, b"who are you\n", {"WWW-Authenticate": 'Basic realm="test"'})
            else:
                self.send_bytes(self.number(arg))
        elif head == "slow":
            count = self.number(arg)
            self.send_response(200)
            self.send_header("Content-Length", str(count))
            self.end_headers()
            sent = 0
            while sent < count:
                n = min(1024, count - sent)
                self.wfile.write(pattern_bytes(sent, n))
                self.wfile.flush()
                sent += n
                time.sleep(0.02)
        elif head == "drop":
            count = self.number(arg)
            self.send_response(200)
            self.send_header("Content-Length", str(count))
            self.end_headers()
            self.send_pattern(count // 2)
            self.wfile.flush()
            self.close_connection = True
        elif head == "short":
            count = self.number(arg)
            self.send_response(200)
            self.send_header("Content-Length", str(count + 1000))
            self.end_headers()
            self.send_pattern(count)
            self.wfile.flush()
            self.close_connection = True
        elif head == "chunkcut":
            count = self.number(arg)
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            sent = 0
            while sent < count:
                n = min(4096, count - sent)
                self.wfile.write(b"%x\r\n" % n + pattern_bytes(sent, n) + b"\r\n")
                sent += n
            self.wfile.flush()
            self.close_connection = True
        elif head == "stall":
            count = self.number(arg)
            self.send_response(200)
            self.send_header("Content-Length", str(count))
            self.end_headers()
            self.send_pattern(min(1000, count))
            self.wfile.flush()
            time.sleep(60)
            self.close_connection = True
        elif head == "seq":
            slow = parts[2] if len(parts) > 2 else ""
            if arg == "" or slow != arg:
                self.send_bytes(5)
            else:
                self.send_response(200)
                self.send_header("Content-Length", "200000")
                self.end_headers()
                sent = 0
                while sent < 200000:
                    self.wfile.write(pattern_bytes(sent, 1024))
                    self.wfile.flush()
                    sent += 1024
                    time.sleep(0.02)
        elif head in ("conn", "closing"):
            if head == "closing" and arg == "race" and self.requests == 3:
                self.close_connection = True
                return
            body = b"connection %d request %d" % (self.serial, self.requests)
            if getattr(self.connection, "session_reused", False):
                body += b" resumed"
            self.reply(200, body)
            if head == "closing" and arg == "idle" and self.requests == 2:
                self.close_connection = True
        elif head == "ranged":
            self.send_ranged(arg, url.path, self.number(parts[2] if len(parts) > 2 else "0"))
        elif head == "smuggle":
            key = parts[2] if len(parts) > 2 else ""
            answer = self.fixed_answer(b"file " + key.encode())
            if self.requests % 2 == 0:
                extra = self.fixed_answer(b"smuggled")
                if arg == "late":
                    self.wfile.write(answer)
                    self.wfile.flush()
                    time.sleep(0.4)
                    answer = b""
                answer += extra
            self.wfile.write(answer)
            self.wfile.flush()
        elif head == "closed":
            self.close_connection = True
        elif head == "nolocation":
            self.reply(302, b"moved somewhere\n")
        elif head == "choices":
            self.reply(300, b"pick one\n", {"Location": "/bytes/10"})
        elif head == "partial":
            self.reply(206, pattern_bytes(0, 100), {"Content-Range": "bytes 0-99/1000"})
        elif head == "informational":
            self.wfile.write(b"HTTP/1.1 102 Processing\r\n\r\n")
            self.wfile.flush()
            self.close_connection = True
        elif head == "esc":
            self.send_response(200, "OK\x1b[2J\x1b]0;owned\x07")
            self.send_header("Content-Type", "text/plain\x1b[31m;red")
            self.send_header("Content-Length", "3")
            self.end_headers()
            self.wfile.write(b"abc")
        elif head == "hang":
            time.sleep(60)
            self.close_connection = True
        elif head == "echo":
            text = self.requestline + "\r\n" + str(self.headers)
            self.reply(200, text.encode(), {"Content-Type": "text/plain"})
        elif head == "site":
            link_site.serve(self, url.path, query)
        elif head == "stats":
            path = query.get("path", [""])[0]
            if arg == "query":
                self.reply(200, link_site.last_query(path).encode())
            elif arg == "ranged":
                with Handler.lock:
                    seen = Handler.ranged_seen.get(path, "")
                self.reply(200, seen.encode())
            else:
                self.reply(200, str(link_site.hits(path)).encode())
        elif head == "meta":
            count = self.number(query.get("length", ["0"])[0])
            self.send_response(200)
            if "type" in query:
                self.send_header("Content-Type", query["type"][0])
            if "modified" in query:
                self.send_header("Last-Modified", query["modified"][0])
            if "disposition" in query:
                self.send_header("Content-Disposition", query["disposition"][0])
            self.send_header("Content-Length", str(count))
            self.end_headers()
            if self.command != "HEAD":
                self.send_pattern(count)
        else:
            self.send_static(url.path)

    def send_ranged(self, how, path, count):
        """A file that can be continued with a Range (see /ranged)."""
        asked = self.headers.get("Range", "")
        if_range = self.headers.get("If-Range", "")
        with Handler.lock:
            Handler.ranged_seen[path] = "%s|%s" % (asked, if_range)
            version = Handler.ranged_versions.get(path, 1)
            first = path not in Handler.ranged_versions
            Handler.ranged_versions[path] = version + 1 if how == "changed" else version
        tag = '"v%d"' % version
        start = 0
        if asked.startswith("bytes=") and asked.endswith("-") and how != "ignore" and if_range == tag:
            start = min(self.number(asked[6:-1]), count)
        self.send_response(206 if start else 200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("ETag", tag)
        self.send_header("Last-Modified", "Mon, 0%d Dec 2026 10:00:00 GMT" % version)
        self.send_header("Content-Length", str(count - start))
        if start:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, count - 1, count))
        self.end_headers()
        body = pattern_bytes(start + version - 1, count - start)
        if first and not asked:
            self.wfile.write(body[:count // 2])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)

    def send_bytes(self, count):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(count))
        self.end_headers()
        if self.command != "HEAD":
            self.send_pattern(count)

    def send_static(self, path):
        if not self.root:
            self.reply(404, b"not found\n")
            return
        local = os.path.realpath(os.path.join(self.root, urllib.parse.unquote(path).lstrip("/")))
        if not local.startswith(self.root + os.sep) or not os.path.isfile(local):
            self.reply(404, b"not found\n")
            return
        with open(local, "rb") as f:
            size = os.fstat(f.fileno()).st_size
            self.send_response(200)
            self.send_header("Content-Type", static_type(local))
            self.send_header("Content-Length", str(size))
            self.end_headers()
            if self.command != "HEAD":
                shutil.copyfileobj(f, self.wfile, 256 * 1024)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        pass  # clients stop mid-transfer on purpose


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default="")
    parser.add_argument("--tls", default="")
    parser.add_argument("--cert", default="localhost")
    args = parser.parse_args()
    signal.signal(signal.SIGPIPE, signal.SIG_IGN)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    Handler.root = os.path.realpath(args.root) if args.root else None
    server = Server(("127.0.0.1", 0), Handler)
    if args.tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(*tls_certs.ensure(args.tls, args.cert))
        # The handshake happens in the connection's own thread, on its first read,
        # so that a client that never completes one holds up nobody else.
        server.socket = context.wrap_socket(server.socket, server_side=True, do_handshake_on_connect=False)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
