# SPDX-License-Identifier: MIT
"""The demo portal's own tests: every page answers, the last occurrence of a
repeated parameter counts, and the pages link the way the client builds addresses."""

import http.client
import os
import re
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import jigsaw
import pages
import server


def body(query):
    status, _, content = pages.page_for(query, "127.0.0.1:8642")
    return status, content.decode("utf-8")


class EveryPageAnswers(unittest.TestCase):
    maxDiff = 200

    def test_fixed_pages(self):
        for query in ([], [("name", "puzzleguide")], [("name", "awards")], [("name", "champday")],
                      [("name", "popup")], [("name", "servstop")]):
            self.assertEqual(body(query)[0], 200, query)

    def test_every_library_in_every_view_and_level(self):
        for name in pages.LIBRARIES:
            self.assertEqual(body([("name", name)])[0], 200)
            for op in ("pz6m", "pz1d"):
                self.assertEqual(body([("name", name), ("op", op), ("n", "0")])[0], 200)
            for level in pages.LEVELS:
                status, text = body([("name", name), ("op", "game"), ("id", "1"), ("level", str(level))])
                self.assertEqual(status, 200)
                self.assertIn(f"data-pieces='{(2 * level) ** 2}'", text)

    def test_a_solved_picture_is_a_png_to_save(self):
        query = [("name", "pazzle"), ("op", "picture"), ("id", "0")]
        status, content_type, picture = pages.page_for(query, "127.0.0.1:8642")
        self.assertEqual((status, content_type), (200, "image/png"))
        self.assertTrue(picture.startswith(b"\x89PNG\r\n\x1a\n") and picture.endswith(b"IEND\xaeB`\x82"))
        self.assertEqual(picture, pages.page_for(query, "")[2])  # the same bytes each time
        self.assertEqual(pages.download_name(query), "pazzle-puzzle-1-solved.png")
        self.assertIsNone(pages.download_name([("name", "pazzle"), ("op", "game")]))
        self.assertIn("op=picture&id=0'>Download", body([("name", "pazzle"), ("op", "game"), ("id", "0")])[1])

    def test_unknown_pages_are_not_found(self):
        self.assertEqual(body([("name", "nosuchpage")])[0], 404)


class LastOccurrenceCounts(unittest.TestCase):
    def test_paging_follows_the_last_offset(self):
        _, text = body([("name", "puzzle3"), ("op", "pz6m"), ("n", "0"), ("n", "40"), ("n", "80")])
        self.assertIn("page 3 of 13", text)
        self.assertIn("Puzzle 81<", text)

    def test_level_follows_the_last_level(self):
        _, text = body([("name", "puzzle3"), ("op", "game"), ("level", "3"), ("level", "1")])
        self.assertIn("level 1, <span id='pieces'>4</span> pieces", text)

    def test_odd_values_do_not_break_a_page(self):
        for n in ("", "x", "-40", "999999999"):
            self.assertEqual(body([("name", "puzzle1"), ("op", "pz6m"), ("n", n)])[0], 200, n)
        for level in ("", "0", "99", "x"):
            self.assertEqual(body([("name", "puzzle1"), ("op", "game"), ("level", level)])[0], 200, level)

    def test_page_links_append_to_the_current_address(self):
        _, text = body([("name", "puzzle10"), ("op", "pz6m"), ("n", "0")])
        self.assertIn("href='/index.php?name=puzzle10&amp;op=pz6m&amp;n=0&amp;n=40'>Next", text)
        pages_listed = re.findall(r"&amp;n=(\d+)'>\d+<", text)
        self.assertGreater(len(pages_listed), 10)  # a library that runs past ten pages


class PagesThatExerciseTheClient(unittest.TestCase):
    def test_a_frame_and_new_windows(self):
        self.assertIn("<iframe", body([("name", "awards")])[1])
        home = body([])[1]
        self.assertIn("target=\"_blank\"", home)
        self.assertIn("window.open(", home)

    def test_a_text_field_and_a_long_page(self):
        self.assertIn("<input name=\"q\"", body([])[1])
        self.assertIn("Big animal puzzle library", body([("name", "search"), ("q", "ANIMAL")])[1])
        self.assertIn("No library", body([("name", "search"), ("q", "<b>")])[1])
        self.assertIn("grid column", body([("name", "puzzle3"), ("op", "pz1d"), ("n", "0")])[1])
        self.assertNotIn("grid column", body([("name", "puzzle3"), ("op", "pz6m"), ("n", "0")])[1])

    def test_catalogue_lists_every_library_in_page_form(self):
        text = body([("name", "servstop")])[1]
        refs = re.findall(r'<kk ref="([^"]*)">([^<]*)</kk>\r\n', text)
        self.assertEqual([name for _, name in refs], [pages.LIBRARIES[n][0] for n in pages.CATALOGUE_ORDER])
        self.assertGreaterEqual(len(refs), 8)
        for ref, _ in refs:
            self.assertTrue(ref.startswith("Xtp://127.0.0.1:8642/index.php?name="))
            self.assertIn("z3z", ref)


class TheJigsawsCut(unittest.TestCase):
    def test_every_level_is_cut_into_fitting_pieces_that_start_in_the_tray(self):
        for level in pages.LEVELS:
            side = 2 * level
            edges = jigsaw.piece_edges(side, 7919 * level)
            self.assertEqual(len(edges), side * side)
            at = lambda r, c: edges[r * side + c]
            for r in range(side):
                for c in range(side):
                    top, right, bottom, left = at(r, c)
                    # Flat exactly on the picture's border; inside it, a tab meets a blank.
                    self.assertEqual((top == 0, left == 0, bottom == 0, right == 0),
                                     (r == 0, c == 0, r == side - 1, c == side - 1), (level, r, c))
                    if c + 1 < side:
                        self.assertEqual(right, -at(r, c + 1)[3])
                    if r + 1 < side:
                        self.assertEqual(bottom, -at(r + 1, c)[0])
            self.assertEqual({e for piece in edges for e in piece}, {jigsaw.FLAT, jigsaw.TAB, jigsaw.BLANK})

            width, height, margin = jigsaw.cell(side)
            self.assertEqual((width * side, height * side), (jigsaw.PICTURE_WIDTH, jigsaw.PICTURE_HEIGHT))
            for x, y in jigsaw.spread(side, 7919 * level):
                self.assertGreaterEqual(x - margin, jigsaw.TRAY_LEFT, level)
                self.assertLessEqual(x + width + margin, jigsaw.CANVAS_WIDTH, level)
                self.assertGreaterEqual(y - margin, 0, level)
                self.assertLessEqual(y + height + margin, jigsaw.CANVAS_HEIGHT, level)


class ServedOverHttp(unittest.TestCase):
    def test_signing_in_sets_a_cookie_that_the_sign_in_page_reads_back(self):
        httpd = server.PortalServer("127.0.0.1:0")
        threading.Thread(target=httpd.serve_forever, daemon=True).start()
        try:
            def get(path, cookie=None):
                connection = http.client.HTTPConnection("127.0.0.1", httpd.server_address[1], timeout=10)
                connection.request("GET", path, headers={"Cookie": cookie} if cookie else {})
                reply = connection.getresponse()
                return reply.getheader("Set-Cookie"), reply.read().decode()
            _, page = get("/index.php?name=signin")
            self.assertIn("<form", page)
            cookie, page = get("/index.php?name=signin&player=Ada%20L")
            self.assertIn("Signed in as Ada L", page)
            self.assertIn("Max-Age=31536000", cookie)
            _, page = get("/index.php?name=signin", cookie.split(";")[0])
            self.assertIn("Signed in as Ada L", page)
            _, page = get("/index.php?name=signin", "kwirl_player=<b>x</b>")
            self.assertIn("&lt;b&gt;", page)
        finally:
            httpd.shutdown()
            httpd.server_close()

    def test_the_server_answers_gets_and_heads_and_unknown_paths(self):
        httpd = server.PortalServer("127.0.0.1:0")
        thread = threading.Thread(target=httpd.serve_forever, daemon=True)
        thread.start()
        try:
            # Any other path is not found, and said so.
            for method, path, status in (("GET", "/index.php?name=puzzle1&op=pz6m&n=40", 200),
                                         ("HEAD", "/index.php?name=puzzle1&op=pz6m&n=40", 200),
                                         ("GET", "/favicon.ico", 404), ("HEAD", "/no/such/page", 404)):
                connection = http.client.HTTPConnection("127.0.0.1", httpd.server_address[1], timeout=10)
                connection.request(method, path)
                reply = connection.getresponse()
                self.assertEqual(reply.status, status, path)
                content = reply.read()
                self.assertEqual(bool(content), method == "GET", path)
                connection.close()
        finally:
            httpd.shutdown()
            httpd.server_close()


class ServedOverHttps(unittest.TestCase):
    def start(self, port, *options):
        portal = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "server.py"),
                                   "--listen", f"127.0.0.1:{port}", "--tls", *options],
                                  stderr=subprocess.PIPE, text=True)
        self.addCleanup(self.stop, portal)
        line = portal.stderr.readline()
        return portal, re.fullmatch(r"demo portal: the certificate to trust is (.*)\n", line).group(1)

    @staticmethod
    def stop(portal):
        if portal.poll() is None:
            portal.terminate()
            portal.wait(10)
        portal.stderr.close()

    def test_a_certificate_made_at_start_that_a_client_told_of_it_trusts_and_no_other(self):
        folder = tempfile.mkdtemp(prefix="kwirl-demo-tls-test-")
        self.addCleanup(shutil.rmtree, folder)
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        portal, certificate = self.start(port, "--certificate", os.path.join(folder, "portal.pem"))
        self.assertEqual(certificate, os.path.join(folder, "portal.pem"))
        with open(certificate) as pem:
            first = pem.read()
        self.assertNotIn("PRIVATE KEY", first)
        self.assertEqual(os.stat(certificate + ".key").st_mode & 0o077, 0)  # the key is the caller's alone
        # A client that never starts its handshake holds up no other.
        stalled = socket.create_connection(("127.0.0.1", port))
        self.addCleanup(stalled.close)

        def catalogue(host, context):
            connection = http.client.HTTPSConnection(host, port, timeout=10, context=context)
            connection.request("GET", "/index.php?name=servstop")
            return connection.getresponse().read().decode()
        trusting = ssl.create_default_context(cafile=certificate)
        for host in ("127.0.0.1", "localhost"):
            refs = re.findall(r'<kk ref="([^"]*)">', catalogue(host, trusting))
            self.assertEqual(len(refs), len(pages.CATALOGUE_ORDER))
            for ref in refs:  # the catalogue names the portal as it is reached
                self.assertTrue(ref.startswith(f"Xtps://127.0.0.1:{port}/index.php?name="), ref)
        with self.assertRaises(ssl.SSLCertVerificationError):
            catalogue("127.0.0.1", ssl.create_default_context())  # the system's store alone

        # Started again on the same file, the portal keeps its identity.
        self.stop(portal)
        self.start(port, "--certificate", certificate)
        with open(certificate) as pem:
            self.assertEqual(pem.read(), first)
        self.assertIn("<kk ref=", catalogue("127.0.0.1", trusting))

    def test_without_a_file_named_the_certificate_goes_with_the_portal(self):
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            port = probe.getsockname()[1]
        portal, certificate = self.start(port)
        self.assertTrue(os.path.exists(certificate + ".key"))
        self.stop(portal)
        self.assertFalse(os.path.exists(os.path.dirname(certificate)))

if __name__ == "__main__":
    unittest.main()
