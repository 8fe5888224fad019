# SPDX-License-Identifier: MIT
"""The jigsaw played in the browser engine (its GTK 3 build), with real pointer
input (xdotool on a virtual display): pieces snap to their place and to the
pieces they fit, joined pieces move together, only a piece's shape takes a
press, and the last piece ends the game. Run on a display
(tests/support/with-display.sh)."""

import json
import subprocess
import threading
import time
import unittest

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("WebKit2", "4.1")
from gi.repository import GLib, Gtk, WebKit2  # noqa: E402

import server  # noqa: E402


class EngineError(AssertionError):
    pass


def run_until(done, timeout, what):
    """Runs the main loop until `done()` holds; the page and its input are handled meanwhile."""
    deadline = time.monotonic() + timeout
    wake = GLib.timeout_add(50, lambda: True)  # asks `done` again at least every 50 ms
    try:
        while not done():
            if time.monotonic() > deadline:
                raise EngineError("gave up waiting for " + what)
            GLib.MainContext.default().iteration(True)
    finally:
        GLib.source_remove(wake)


class GamePage:
    """One game page in a window of its own."""

    def __init__(self, address):
        self.window = Gtk.Window()
        self.window.set_default_size(1240, 760)
        self.view = WebKit2.WebView()
        self.window.add(self.view)
        self.window.show_all()
        loaded = []
        self.view.connect("load-changed", lambda _, event: loaded.append(event == WebKit2.LoadEvent.FINISHED))
        self.view.load_uri(address)
        run_until(lambda: any(loaded), 30, "the game page")
        run_until(lambda: self.script("typeof kwirlJigsaw") == "object", 10, "the game")
        run_until(lambda: self.view.get_window() and self.view.get_window().is_viewable(), 10, "the window")
        self.settle()

    def close(self):
        self.window.destroy()

    def script(self, code):
        """The value of a script's last expression, as JSON turns it."""
        answer = []
        self.view.evaluate_javascript(f"JSON.stringify(({code}) ?? null)", -1, None, None, None,
                                      lambda view, result: answer.append(view.evaluate_javascript_finish(result)))
        run_until(lambda: answer, 10, "a script's answer")
        return json.loads(answer[0].to_string())

    def settle(self):
        """Every input sent so far reaches the page, and a frame is drawn after it."""
        marker = self.script("window.kwirlTestFrame = (window.kwirlTestFrame || 0) + 1")
        self.script(f"requestAnimationFrame(function () {{ requestAnimationFrame(function () {{ window.kwirlTestSeen = {marker}; }}); }})")
        run_until(lambda: self.script("window.kwirlTestSeen") == marker, 10, "a frame")

    def pieces(self):
        """Pieces by their number (row by row)."""
        listed = self.script("kwirlJigsaw.pieces()")
        by_number = [None] * len(listed)
        side = max(p["row"] for p in listed) + 1
        for p in listed:
            by_number[p["row"] * side + p["column"]] = p
        return by_number, side

    def screen(self, x, y):
        """A point of the canvas on the screen."""
        rect = self.script("(function (b) { return [b.left, b.top]; })(document.getElementById('board').getBoundingClientRect())")
        _, ox, oy = self.view.get_window().get_origin()
        return round(ox + rect[0] + x), round(oy + rect[1] + y)

    def drag(self, start, end, steps=8):
        """Presses at `start`, moves to `end` in a few steps, releases: canvas coordinates."""
        (x0, y0), (x1, y1) = self.screen(*start), self.screen(*end)
        command = ["xdotool", "mousemove", str(x0), str(y0), "mousedown", "1"]
        for i in range(1, steps + 1):
            command += ["mousemove", str(x0 + (x1 - x0) * i // steps), str(y0 + (y1 - y0) * i // steps)]
        command += ["mouseup", "1"]
        # xdotool runs beside the loop, which must keep handling the window's input meanwhile.
        ended = threading.Event()
        threading.Thread(target=lambda: (subprocess.run(command, check=True), ended.set()), daemon=True).start()
        run_until(ended.is_set, 20, "xdotool")
        self.settle()

    def grab_point(self, number):
        """A point where a press takes piece `number` (it may lie under others)."""
        p = self.pieces()[0][number]
        cell = self.script("kwirlJigsaw.cell")
        found = self.script(f"""(function () {{
            for (var fy = 0.5; fy < 1; fy += 0.05) for (var k = -1; k <= 1; k += 2)
              for (var fx = 0.5; fx < 1; fx += 0.05) for (var j = -1; j <= 1; j += 2) {{
                var x = {p["x"]} + {cell["width"]} * (0.5 + j * (fx - 0.5)), y = {p["y"]} + {cell["height"]} * (0.5 + k * (fy - 0.5));
                if (kwirlJigsaw.pieceAt(x, y) === {number}) return [x, y];
              }}
            return null;
        }})()""")
        if not found:
            raise EngineError(f"piece {number} lies wholly under others")
        return tuple(found)

    def status(self):
        return self.script("document.getElementById('status').textContent")


class JigsawInTheEngine(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.portal = server.PortalServer("127.0.0.1:0")
        threading.Thread(target=cls.portal.serve_forever, daemon=True).start()

    @classmethod
    def tearDownClass(cls):
        cls.portal.shutdown()
        cls.portal.server_close()

    def open(self, level):
        page = GamePage(f"http://127.0.0.1:{self.portal.server_address[1]}/index.php?name=puzzle3&op=game&id=4&level={level}")
        self.addCleanup(page.close)
        self.cell = page.script("kwirlJigsaw.cell")
        self.board = page.script("kwirlJigsaw.board")
        return page

    def place(self, piece, dx=0, dy=0):
        """Where a piece's cell lies in its place on the board, moved by (dx, dy)."""
        return (self.board["left"] + piece["column"] * self.cell["width"] + dx,
                self.board["top"] + piece["row"] * self.cell["height"] + dy)

    def move(self, page, number, to):
        """Drags piece `number` so that its cell's corner lands on `to`."""
        start = page.grab_point(number)
        p = page.pieces()[0][number]
        page.drag(start, (start[0] + to[0] - p["x"], start[1] + to[1] - p["y"]))

    def test_a_piece_dropped_near_its_place_snaps_into_it_and_stays(self):
        page = self.open(2)
        self.assertEqual(page.status(), "0 of 16 pieces in place.")
        number = 5
        self.move(page, number, self.place(page.pieces()[0][number], 7, -5))
        piece = page.pieces()[0][number]
        self.assertTrue(piece["placed"])
        self.assertEqual((piece["x"], piece["y"]), self.place(piece))
        self.assertEqual(page.status(), "1 of 16 pieces in place.")
        # A placed piece is no longer taken by a press.
        centre = (piece["x"] + self.cell["width"] / 2, piece["y"] + self.cell["height"] / 2)
        page.drag(centre, (centre[0] + 200, centre[1]))
        self.assertEqual(page.pieces()[0][number]["x"], piece["x"])

    def test_pieces_dropped_near_a_piece_they_fit_join_it_and_move_with_it(self):
        page = self.open(2)
        a, b = 5, 6  # side by side in the picture: row 1, columns 1 and 2
        away = (self.board["left"] + 10, self.board["top"] + 250)  # on the board, far from both places
        self.move(page, a, away)
        self.move(page, b, (away[0] + self.cell["width"] + 6, away[1] - 8))
        pieces, _ = page.pieces()
        self.assertEqual(pieces[a]["group"], pieces[b]["group"])
        self.assertEqual((pieces[b]["x"] - pieces[a]["x"], pieces[b]["y"] - pieces[a]["y"]), (self.cell["width"], 0))
        self.assertFalse(pieces[a]["placed"])
        # Taking either moves both.
        self.move(page, b, (pieces[b]["x"] + 60, pieces[b]["y"] + 40))
        moved, _ = page.pieces()
        self.assertEqual((moved[a]["x"], moved[a]["y"]), (pieces[a]["x"] + 60, pieces[a]["y"] + 40))
        # The pair dropped near its place on the board goes in whole.
        self.move(page, a, self.place(pieces[a], -4, 6))
        placed, _ = page.pieces()
        self.assertTrue(placed[a]["placed"] and placed[b]["placed"])
        self.assertEqual((placed[b]["x"], placed[b]["y"]), self.place(placed[b]))
        self.assertEqual(page.status(), "2 of 16 pieces in place.")

    def test_only_the_shape_of_a_piece_takes_a_press(self):
        page = self.open(2)
        pieces, side = page.pieces()
        number = next(i for i, p in enumerate(pieces) if p["edges"][0] == -1 and p["edges"][1] == 1)
        spot = (self.board["left"] + 200, self.board["top"] + 200)
        if abs(spot[0] - self.place(pieces[number])[0]) < 100 and abs(spot[1] - self.place(pieces[number])[1]) < 100:
            spot = (self.board["left"] + 20, self.board["top"] + 330)
        self.move(page, number, spot)
        s = min(self.cell["width"], self.cell["height"])
        # Inside the cell, in the blank cut into its top edge: the board beneath.
        blank = (spot[0] + self.cell["width"] / 2, spot[1] + 0.2 * s)
        page.drag(blank, (blank[0] + 40, blank[1] + 40))
        self.assertEqual((page.pieces()[0][number]["x"], page.pieces()[0][number]["y"]), spot)
        # Outside the cell, on the tab of its right edge: the piece.
        tab = (spot[0] + self.cell["width"] + 0.2 * s, spot[1] + self.cell["height"] / 2)
        page.drag(tab, (tab[0] + 30, tab[1] + 20))
        self.assertEqual((page.pieces()[0][number]["x"], page.pieces()[0][number]["y"]), (spot[0] + 30, spot[1] + 20))

    def test_the_last_piece_in_place_solves_the_puzzle(self):
        page = self.open(1)
        self.assertRegex(page.script("document.getElementById('clock').textContent"), r"^0:0\d$")
        for _ in range(4):
            top = page.script("kwirlJigsaw.pieces().filter(function (p) { return !p.placed; }).pop()")
            self.move(page, top["row"] * 2 + top["column"], self.place(top, 5, 5))
        pieces, _ = page.pieces()
        self.assertTrue(all(p["placed"] for p in pieces))
        self.assertEqual(len({p["group"] for p in pieces}), 1)
        self.assertRegex(page.status(), r"^Solved! Well done: 4 pieces in \d+:\d\d\.$")

    def test_a_touch_drag_plays_as_a_mouse_drag(self):
        # Touch cannot be sent through the display server here: the page gets
        # the pointer events a touch screen would give.
        page = self.open(2)
        number = 9
        start = page.grab_point(number)
        p = page.pieces()[0][number]
        target = self.place(p, 3, 3)
        page.script(f"""(function () {{
            var canvas = document.getElementById('board'), b = canvas.getBoundingClientRect();
            function send(type, x, y) {{
                canvas.dispatchEvent(new PointerEvent(type, {{pointerId: 7, pointerType: 'touch', isPrimary: true,
                    button: type === 'pointermove' ? -1 : 0, buttons: type === 'pointerup' ? 0 : 1,
                    clientX: b.left + x, clientY: b.top + y, bubbles: true, cancelable: true}}));
            }}
            send('pointerdown', {start[0]}, {start[1]});
            send('pointermove', {start[0] + (target[0] - p['x']) / 2}, {start[1] + (target[1] - p['y']) / 2});
            send('pointermove', {start[0] + target[0] - p['x']}, {start[1] + target[1] - p['y']});
            send('pointerup', {start[0] + target[0] - p['x']}, {start[1] + target[1] - p['y']});
            return true;
        }})()""")
        page.settle()
        self.assertTrue(page.pieces()[0][number]["placed"])


if __name__ == "__main__":
    unittest.main()
