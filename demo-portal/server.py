#!/usr/bin/env python3
"""The demo portal: the portal's side of the client's address scheme, on loopback.

Every page is a query on /index.php. Repeated parameters count by their last
occurrence, as the client appends rather than replaces them.
"""

import argparse
import os
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qsl, urlsplit

import pages


class PortalHandler(BaseHTTPRequestHandler):
    server_version = "KwirlDemoPortal/1.0"
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.answer(send_body=True)

    def do_HEAD(self):
        self.answer(send_body=False)

    def answer(self, send_body):
        parts = urlsplit(self.path)
        if parts.path not in ("/index.php", "/"):
            status, content_type, body = 404, "text/html; charset=utf-8", pages.not_found(parts.path)
        else:
            query = parse_qsl(parts.query, keep_blank_values=True)
            # Addresses in the catalogue name the portal as it listens: a Host
            # line need not carry the port.
            status, content_type, body = pages.page_for(query, self.server.portal_host)
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def log_message(self, format, *args):
        if os.environ.get("KWIRL_PORTAL_LOG"):
            sys.stderr.write("portal: " + (format % args) + "\n")


def split_host(host):
    name, _, port = host.rpartition(":")
    return (name or "127.0.0.1", int(port)) if port.isdigit() else (host, 80)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--listen", default="127.0.0.1:8642", help="host:port to serve on")
    parser.add_argument("--background", action="store_true",
                        help="return once listening, print the server's process id")
    args = parser.parse_args()
    server = ThreadingHTTPServer(split_host(args.listen), PortalHandler)
    server.daemon_threads = True
    server.portal_host = args.listen
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
