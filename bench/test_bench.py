"""The benchmarks' own parts whose faults would skew the published figures."""

import http.client
import threading
import time
import unittest
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from delay_proxy import DelayProxy

BODY = bytes(range(256)) * 4096  # 1 MiB


class Payload(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Length", str(len(BODY)))
        self.end_headers()
        self.wfile.write(BODY)

    def log_message(self, *args):
        pass


class TheDelayProxy(unittest.TestCase):
    def setUp(self):
        self.server = ThreadingHTTPServer(("127.0.0.1", 0), Payload)
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.addCleanup(self.server.server_close)
        self.addCleanup(self.server.shutdown)

    def exchange(self, rtt_ms):
        """A connection and a request through the proxy: the seconds it took, and the body."""
        proxy = DelayProxy("127.0.0.1:0", "127.0.0.1:%d" % self.server.server_address[1], rtt_ms)
        self.addCleanup(proxy.close)
        port = proxy.port
        start = time.monotonic()
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
        connection.request("GET", "/")
        body = connection.getresponse().read()
        connection.close()
        return time.monotonic() - start, body

    def test_a_request_costs_the_handshake_and_one_round_trip_and_arrives_whole(self):
        for rtt_ms in (0, 120):
            took, body = self.exchange(rtt_ms)
            self.assertEqual(body, BODY, rtt_ms)
            self.assertGreaterEqual(took, 2 * rtt_ms / 1000, rtt_ms)


if __name__ == "__main__":
    unittest.main()
