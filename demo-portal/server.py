#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The demo portal: the portal's side of the client's address scheme, on loopback.

Every page is a query on /index.php. Repeated parameters count by their last
occurrence, as the client appends rather than replaces them.
"""

import argparse
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from http.cookies import CookieError, SimpleCookie
from urllib.parse import parse_qsl, quote, unquote, urlsplit

import pages


PLAYER_COOKIE = "kwirl_player"


class PortalHandler(BaseHTTPRequestHandler):
    server_version = "KwirlDemoPortal/1.0"
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def answer(self, send_body):
        parts = urlsplit(self.path)
        attachment = None
        cookie = None
        if parts.path not in ("/index.php", "/"):
            status, content_type, body = 404, "text/html; charset=utf-8", pages.not_found(parts.path)
        else:
            query = parse_qsl(parts.query, keep_blank_values=True)
            slow = self.server.slow_pages
            delay = slow.get(pages.last(query, "name", "home"), slow.get("*"))
            if delay:
                time.sleep(delay)  # a slow page, for watching the client while it loads
            name = pages.last(query, "name")
            if name == "servstop" and self.server.catalogue:
                with open(self.server.catalogue, "rb") as served:  # a catalogue of the test's making
                    status, content_type, body = 200, pages.TEXT, served.read()
            elif name == "signin":
                # Signing in sets the portal's cookie for a year; the page shows who is signed in.
                signing_in = pages.last(query, "player")
                player = signing_in or self.player()
                if signing_in:
                    cookie = f"{PLAYER_COOKIE}={quote(player)}; Max-Age=31536000; Path=/"
                status, content_type, body = 200, pages.HTML, pages.signin(player)
            else:
                # Addresses in the catalogue name the portal as it listens: a Host
                # line need not carry the port.
                status, content_type, body = pages.page_for(query, self.server.portal_host)
            attachment = pages.download_name(query)
            if (name, pages.last(query, "n")) in self.server.file_pages:
                attachment = f"{name}-page.html"  # a page answered as a file, as a portal may by mistake
            self.server.record(self.path, query)
        self.send_response(status)
        if cookie:
            self.send_header("Set-Cookie", cookie)
        if attachment:  # a file to save, not a page to show
            self.send_header("Content-Disposition", f'attachment; filename="{attachment}"')
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def player(self):
        """The name the Cookie header signs in with, if any."""
        jar = SimpleCookie()
        try:
            jar.load(self.headers.get("Cookie", ""))
        except CookieError:
            return None
        return unquote(jar[PLAYER_COOKIE].value) if PLAYER_COOKIE in jar else None

    def log_message(self, format, *args):
        if os.environ.get("KWIRL_PORTAL_LOG"):
            sys.stderr.write("portal: " + (format % args) + "\n")


class PortalServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, listen, log=None, slow_pages=None, log_times=False, catalogue=None, file_pages=()):
        super().__init__(split_host(listen), PortalHandler)
        self.portal_host = listen
        self.slow_pages = slow_pages or {}
        self.file_pages = set(file_pages)
        self.catalogue = catalogue
        self.log = log
        self.log_times = log_times
        self.log_lock = threading.Lock()

    def record(self, path, query):
        """One line per request: the path, and for a game the pieces it shows."""
        if not self.log:
            return
        line = path
        if pages.last(query, "op") == "game":
            line += "\tpieces=%d" % (2 * pages.last_int(query, "level", 1, 1, 6)) ** 2
        if self.log_times:
            line += "\tat=%.6f" % time.time()
        with self.log_lock, open(self.log, "a") as out:
            out.write(line + "\n")


def split_host(host):
    name, _, port = host.rpartition(":")
    return (name or "127.0.0.1", int(port)) if port.isdigit() else (host, 80)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--listen", default="127.0.0.1:8642", help="host:port to serve on")
    parser.add_argument("--background", action="store_true",
                        help="return once listening, print the server's process id")
    parser.add_argument("--log", help="append each request's path to this file")
    parser.add_argument("--log-times", action="store_true", help="add the time of each request to the log")
    parser.add_argument("--slow", default="",
                        help="page names (home for the home page, * for all) answered late, as name:seconds,...")
    parser.add_argument("--catalogue", help="serve this file's bytes as the catalogue page")
    parser.add_argument("--as-file", default="",
                        help="list pages answered as a file to save, as library:offset,...")
    args = parser.parse_args()
    slow = {}
    for item in filter(None, args.slow.split(",")):
        name, _, seconds = item.partition(":")
        slow[name] = float(seconds or 1)
    file_pages = [tuple(item.split(":", 1)) for item in filter(None, args.as_file.split(",")) if ":" in item]
    server = PortalServer(args.listen, args.log, slow, args.log_times, args.catalogue, file_pages)
    if args.background:
        child = os.fork()
        if child:
            print(child)
            return
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1):
            os.dup2(devnull, fd)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
