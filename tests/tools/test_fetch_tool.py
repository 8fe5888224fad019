# SPDX-License-Identifier: MIT
"""kwirl-fetch from outside: its command line, its exit status and what
reaches a scripted server on loopback."""

import os
import socket
import subprocess
import tempfile
import threading
import unittest

FETCH = os.environ["KWIRL_FETCH"]


class ScriptedServer:
    """Answers every connection with `reply` and keeps each request whole
    (head and the body its Content-Length announces)."""

    def __init__(self, reply):
        self.reply = reply
        self.requests = []
        self.listener = socket.create_server(("127.0.0.1", 0))
        self.port = self.listener.getsockname()[1]
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            try:
                self.answer(connection)
            except OSError:  # a client that went away early
                pass
            finally:
                connection.close()

    def answer(self, connection):
        connection.settimeout(5)
        data = b""
        while b"\r\n\r\n" not in data:
            got = connection.recv(65536)
            if not got:
                break
            data += got
        head = data.split(b"\r\n\r\n", 1)[0]
        length = 0
        for line in head.split(b"\r\n"):
            if line.lower().startswith(b"content-length:"):
                length = int(line.split(b":", 1)[1])
        while len(data) - len(head) - 4 < length:
            got = connection.recv(65536)
            if not got:
                break
            data += got
        self.requests.append(data)
        connection.sendall(self.reply)

    def close(self):
        self.listener.close()

    def address(self):
        return "http://127.0.0.1:%d/" % self.port


def fetch(*args, stdout=subprocess.PIPE):
    return subprocess.run([FETCH, *args], stdout=stdout, stderr=subprocess.PIPE, timeout=30)


class FetchTool(unittest.TestCase):
    def setUp(self):
        self.server = ScriptedServer(b"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nbody")
        self.addCleanup(self.server.close)

    def test_a_malformed_option_exits_with_status_2_before_any_request(self):
        for option, value in [("-t", "abc"), ("-t", "-5"), ("-t", "12x"), ("-t", "99999999999"),
                              ("-x", "127.0.0.1:abc"), ("-x", "127.0.0.1:0"), ("-x", ":8080")]:
            with self.subTest(option=option, value=value):
                done = fetch(option, value, self.server.address())
                self.assertEqual(done.returncode, 2)
                self.assertIn(b"kwirl-fetch: %s needs" % option.encode(), done.stderr)
                self.assertIn(b'"%s"' % value.encode(), done.stderr)
        self.assertEqual(self.server.requests, [])

    def test_a_body_that_cannot_be_written_exits_with_status_1_and_says_why(self):
        done = fetch("-o", "/dev/full", self.server.address())
        self.assertEqual(done.returncode, 1)
        self.assertIn(b'kwirl-fetch: Cannot write file "/dev/full": No space left on device', done.stderr)
        with open("/dev/full", "wb") as full:
            done = fetch(self.server.address(), stdout=full)
        self.assertEqual(done.returncode, 1)
        self.assertIn(b"kwirl-fetch: Cannot write standard output: No space left on device", done.stderr)

    def test_an_upload_arrives_byte_for_byte(self):
        for data in [b"ab\0cd\r\n\0", bytes(range(256)) * 400]:
            with self.subTest(size=len(data)), tempfile.NamedTemporaryFile() as upload:
                upload.write(data)
                upload.flush()
                done = fetch("-t", "5000", "-T", upload.name, self.server.address())
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stdout, b"body")
                request = self.server.requests[-1]
                self.assertTrue(request.startswith(b"PUT / HTTP/1.0\r\n"))
                self.assertIn(b"\r\nContent-Length: %d\r\n\r\n" % len(data), request)
                self.assertEqual(request.split(b"\r\n\r\n", 1)[1], data)


if __name__ == "__main__":
    unittest.main()
