# SPDX-License-Identifier: MIT
"""The benchmarks' own parts whose faults would skew the published figures:
the delay proxy and the reading of a drag's frames."""

import http.client
import threading
import time
import unittest
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

from delay_proxy import DelayProxy
from drag_figures import frames_and_delays, percentile

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


class ReadingADrag(unittest.TestCase):
    def test_each_move_waits_for_the_first_frame_that_shows_it_or_a_later_move(self):
        points = [(10, 0), (20, 0), (30, 0), (40, 0), (50, 0)]
        taken = [1.000, 1.008, 1.016, 1.024, 1.032]  # s
        frames = [  # begun, ended (ms), the position the frame shows
            (995.0, 996.0, 50, 0),        # before the first move, where the drag also ends
            (1005.0, 1010.0, 10, 0),      # shows move 0
            (1020.0, 1021.0, 30, 0),      # move 1 was never shown on its own
            (1030.0, 1031.0, 30, 0),      # nothing new
            (1040.0, 1045.0, 50, 0),      # moves 3 and 4
        ]
        shown, delays = frames_and_delays(taken, points, frames)
        self.assertEqual(shown, [1.021, 1.045])  # the frames with a new position after the first move
        self.assertEqual([round(d, 3) for d in delays], [10.0, 13.0, 5.0, 21.0, 13.0])

    def test_a_position_met_again_later_is_matched_in_order(self):
        points = [(10, 0), (20, 0), (10, 0), (20, 0)]
        taken = [1.000, 1.010, 1.020, 1.030]
        frames = [(1001.0, 1002.0, 10, 0), (1011.0, 1012.0, 20, 0), (1021.0, 1022.0, 10, 0), (1031.0, 1032.0, 20, 0)]
        _, delays = frames_and_delays(taken, points, frames)
        self.assertEqual([round(d, 3) for d in delays], [2.0, 2.0, 2.0, 2.0])

    def test_percentile_by_nearest_rank(self):
        self.assertEqual(percentile(range(1, 101), 95), 95)
        self.assertEqual(percentile([7], 95), 7)


if __name__ == "__main__":
    unittest.main()
