# SPDX-License-Identifier: MIT
"""The demo portal as the benchmarks see it: the portal itself on a loopback
port of its own, and in front of it a shim that passes every request on,
notes when each arrived, puts the page probe (page_probe.js) into every page,
and collects what the probe reports."""

import http.client
import json
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "demo-portal"))
import server  # noqa: E402  (the demo portal)

PROBE = ("<script>" + open(os.path.join(HERE, "page_probe.js")).read() + "</script>").encode()
REPORT_PATH = "/kwirl-bench/report"
MOST_REPORT_BYTES = 64 << 20


class ShimHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.shim.arrived(self.path)
        self.forward(send_body=True)

    def do_HEAD(self):
        self.shim.arrived(self.path)
        self.forward(send_body=False)

    def do_POST(self):
        length = int(self.headers.get("Content-Length") or 0)
        if self.path != REPORT_PATH or not 0 < length <= MOST_REPORT_BYTES:
            self.send_error(404)
            return
        self.shim.received(json.loads(self.rfile.read(length)))
        self.send_response(204)
        self.end_headers()

    def forward(self, send_body):
        redirect = self.shim.redirects.get(self.path)
        if redirect:
            self.send_response(302)
            self.send_header("Location", redirect)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        upstream = http.client.HTTPConnection(*self.shim.upstream, timeout=30)
        try:
            upstream.request(self.command, self.path, headers={"Host": self.headers.get("Host", "")})
            reply = upstream.getresponse()
            body = reply.read()
        finally:
            upstream.close()
        kind = reply.getheader("Content-Type", "")
        if kind.startswith("text/html") and send_body and b"<head>" in body:
            body = body.replace(b"<head>", b"<head>" + PROBE, 1)
        self.send_response(reply.status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def log_message(self, format, *args):
        pass


class PortalShim:
    """The portal answers for `public_host` (the address the programs were
    given); the shim listens on `listen`, which is that address or, behind a
    proxy, another. `redirects` sends some paths elsewhere."""

    def __init__(self, public_host, listen=None, redirects=None):
        self.portal = server.PortalServer("127.0.0.1:0")
        self.portal.portal_host = public_host  # the catalogue names the address the programs use
        self.upstream = ("127.0.0.1", self.portal.server_address[1])
        self.redirects = redirects or {}
        handler = type("Handler", (ShimHandler,), {"shim": self})
        self.httpd = ThreadingHTTPServer(server.split_host(listen or public_host), handler)
        self.httpd.daemon_threads = True
        self.address = "%s:%d" % self.httpd.server_address[:2]
        self.changed = threading.Condition()
        self.requests = []  # (path, arrival time)
        self.reports = []   # (arrival time, report)
        self.threads = [threading.Thread(target=s.serve_forever, daemon=True) for s in (self.portal, self.httpd)]
        for thread in self.threads:
            thread.start()

    def arrived(self, path):
        with self.changed:
            self.requests.append((path, time.time()))
            self.changed.notify_all()

    def received(self, report):
        with self.changed:
            self.reports.append((time.time(), report))
            self.changed.notify_all()

    def _wait(self, find, what, timeout):
        with self.changed:
            found = self.changed.wait_for(find, timeout)
        if not found:
            raise RuntimeError("gave up waiting for " + what)
        return found

    def request_time(self, path, since, timeout=30):
        """When `path` was first asked for at or after `since`."""
        return self._wait(lambda: next((at for p, at in self.requests if p == path and at >= since), None),
                          "a request for " + path, timeout)

    def report(self, kind, since, timeout=30, where=lambda data: True):
        """The data of the first report of `kind` that arrived at or after `since`."""
        return self._wait(lambda: next((r["data"] for at, r in self.reports
                                        if at >= since and r["kind"] == kind and where(r["data"])), None),
                          f"the page's {kind} report", timeout)

    def close(self):
        for s in (self.httpd, self.portal):
            s.shutdown()
            s.server_close()
