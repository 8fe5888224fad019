#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The demo portal: the portal's side of the client's address scheme, on loopback.

Every page is a query on /index.php. Repeated parameters count by their last
occurrence, as the client appends rather than replaces them.
"""

import argparse
import ipaddress
import os
import shutil
import signal
import ssl
import subprocess
import sys
import tempfile
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
                status, content_type, body = pages.page_for(query, self.server.portal_host,
                                                            "https" if self.server.tls else "http")
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

    def setup(self):
        if self.server.tls:
            # The handshake on the connection's own thread, bounded: a client
            # that never finishes it holds up no other.
            self.request.settimeout(self.server.handshake_seconds)
            self.request.do_handshake()
            self.request.settimeout(None)
        super().setup()

    def log_message(self, format, *args):
        if os.environ.get("KWIRL_PORTAL_LOG"):
            sys.stderr.write("portal: " + (format % args) + "\n")


class PortalServer(ThreadingHTTPServer):
    daemon_threads = True

    handshake_seconds = 10

    def __init__(self, listen, log=None, slow_pages=None, log_times=False, catalogue=None, file_pages=(), tls=None):
        super().__init__(split_host(listen), PortalHandler)
        self.tls = tls
        self.portal_host = listen
        self.slow_pages = slow_pages or {}
        self.file_pages = set(file_pages)
        self.catalogue = catalogue
        self.log = log
        self.log_times = log_times
        self.log_lock = threading.Lock()

    def get_request(self):
        connection, address = super().get_request()
        if self.tls:
            connection = self.tls.wrap_socket(connection, server_side=True, do_handshake_on_connect=False)
        return connection, address

    def handle_error(self, request, client_address):
        if isinstance(sys.exc_info()[1], (ssl.SSLError, OSError)):
            return  # a client that gave up on the connection or refused the certificate: its own affair
        super().handle_error(request, client_address)

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


def tls_context(listen, certificate_file):
    """The TLS context to serve with: the certificate of `certificate_file` and
    its key beside it (the same name and ".key"), made now when either is
    missing (valid for a week, for 127.0.0.1, localhost and the host listened
    on), kept when both are there: a portal started again on them keeps the
    identity its clients were told to trust."""
    key_file = certificate_file + ".key"
    if not (os.path.exists(certificate_file) and os.path.exists(key_file)):
        name = split_host(listen)[0].strip("[]")
        names = ["IP:127.0.0.1", "DNS:localhost"]
        try:
            names.append("IP:" + str(ipaddress.ip_address(name)))
        except ValueError:
            names.append("DNS:" + name)
        subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                        "-nodes", "-days", "7", "-subj", "/CN=Kwirl demo portal", "-addext",
                        "subjectAltName=" + ",".join(dict.fromkeys(names)), "-keyout", key_file,
                        "-out", certificate_file],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate_file, key_file)
    return context


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
    parser.add_argument("--tls", action="store_true",
                        help="serve HTTPS with a certificate made at start for loopback")
    parser.add_argument("--certificate", help="with --tls: the certificate's file, its key in the same name and"
                        " \".key\"; made when missing, kept when there (default: in a folder of this run's,"
                        " named on standard error)")
    args = parser.parse_args()
    slow = {}
    for item in filter(None, args.slow.split(",")):
        name, _, seconds = item.partition(":")
        slow[name] = float(seconds or 1)
    file_pages = [tuple(item.split(":", 1)) for item in filter(None, args.as_file.split(",")) if ":" in item]
    # Ended by a signal as by Ctrl+C: the folder of the run goes with the server.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    # Without a file named, the certificate and its key lie in a folder of the
    # run's own, which goes with the server.
    folder = tempfile.mkdtemp(prefix="kwirl-demo-portal-") if args.tls and not args.certificate else None
    served = True
    try:
        tls = None
        if args.tls:
            certificate = args.certificate or os.path.join(folder, "portal-certificate.pem")
            tls = tls_context(args.listen, certificate)
        server = PortalServer(args.listen, args.log, slow, args.log_times, args.catalogue, file_pages, tls)
        if args.tls:  # once it listens
            sys.stderr.write(f"demo portal: the certificate to trust is {certificate}\n")
            sys.stderr.flush()
        served = serve(server, args.background)
    finally:
        if folder and served:
            shutil.rmtree(folder, ignore_errors=True)


def serve(server, background):
    """Serves until stopped; False in the process that returns at once with --background."""
    if background:
        child = os.fork()
        if child:
            print(child)
            return False
        os.setsid()
        devnull = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1):
            os.dup2(devnull, fd)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return True


if __name__ == "__main__":
    main()
