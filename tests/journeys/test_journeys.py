# SPDX-License-Identifier: MIT
"""The journeys of a person using the client, end to end."""

import fcntl
import gettext
import os
import random
import re
import shutil
import signal
import sqlite3
import ssl
import subprocess
import tempfile
import time
import unittest
import urllib.request

import pyatspi

from desktop import DEMO_CATALOGUE_LIBRARIES, PORTAL_SCHEME, TIME_SCALE, Desktop, JourneyError, wait_for

CLIENT = os.environ.get("KWIRL_CLIENT", "build/app/kwirl")
# The client as it is installed; CLIENT is the test copy, which can be told to
# trust the demo portal's certificate.
SHIPPED_CLIENT = os.environ.get("KWIRL_SHIPPED_CLIENT", "build/app/kwirl")
HOST = os.environ.get("KWIRL_PORTAL_HOST", "127.0.0.1:8642")
# The portal as the client names it: with the scheme it reaches it by.
PORTAL = f"{PORTAL_SCHEME}://{HOST}"
SOURCE = os.environ.get("KWIRL_SOURCE_DIR", ".")
ARTIFACTS = os.environ.get("KWIRL_ARTIFACTS", "")

SHORTCUT = ["1", "2", "3", "4", "5", "6"]
PIECES = ["4", "16", "36", "64", "100", "144"]
# The libraries of the client's built-in list, offered when the catalogue fails.
BUILTIN_LIBRARIES = 7


def paging(page):
    return ["|<", "<<", "<", str(page), ">", ">>"]


def readme_keys():
    """The keys the README lists: the first cells of its tables of keys."""
    keys, in_table = [], False
    with open(os.path.join(SOURCE, "README.md")) as readme:
        for line in readme:
            if line.startswith("| key | what it does |"):
                in_table = True
            elif not line.startswith("|"):
                in_table = False
            elif in_table and not line.startswith("|---"):
                keys.append(line.split("|")[1].strip())
    return keys


def library(name):
    """A library's address as the catalogue gives it."""
    return f"/index.php?name={name}&op=pz6m&src=zZz"


class Journey(unittest.TestCase):
    slow_pages = ""
    file_pages = ""

    def setUp(self):
        self.desktop = Desktop(CLIENT, HOST, SOURCE, self.slow_pages, file_pages=self.file_pages)

    def tearDown(self):
        outcome = getattr(self, "_outcome", None)
        # Python records a failure in the result at once, not in the outcome's flag.
        result = getattr(outcome, "result", None)
        failed = outcome is not None and (not outcome.success or any(
            test is self for test, _ in getattr(result, "failures", []) + getattr(result, "errors", [])))
        if failed and ARTIFACTS:
            os.makedirs(ARTIFACTS, exist_ok=True)
            name = os.path.join(ARTIFACTS, self.id().split(".")[-1])
            self.desktop.screenshot(name + ".png")
            with open(name + ".client.log", "w") as log:
                log.write(self.desktop.client_output())
        self.desktop.close()

    # Helpers shared by the journeys.
    def choose_with_mouse(self, item):
        d = self.desktop
        d.click(d.combo())
        entry = wait_for("the drop-down's list", lambda: next(
            (i for i in d.all("menu item", d.combo()) if i.name == item and
             i.queryComponent().getExtents(0).height > 0), None), 10)
        time.sleep(0.2)  # the list finishes opening
        d.click(entry)

    def open_list(self, index, name):
        count = len(self.desktop.requests())
        self.choose_with_mouse(self.desktop.combo_items()[index])
        self.desktop.wait_for_request(lambda p: p == library(name) + "&n=0", name + " list", count)
        self.desktop.wait_for_captions(paging(1))

    def open_page_two(self):
        """Page 2 of pazzle's list, by its ">" button; the list's address before any page's offset."""
        self.open_list(2, "pazzle")
        base = library("pazzle") + "&n=0"
        count = self.click_number(">")
        self.desktop.wait_for_request(lambda p: p == base + "&n=40", "page 2", count)
        self.desktop.wait_for_captions(paging(2))
        return base

    def next_asks_for_page_three(self, base):
        """The ">" button on page 2 asks for page 3, as the page still shown leads to it."""
        count = self.click_number(">")
        line = self.desktop.wait_for_request(lambda p: p.startswith(base), "the next page", count)
        self.assertEqual(line.split("\t")[0], base + "&n=40&n=80")

    def click_number(self, caption):
        d = self.desktop
        count = len(d.requests())
        d.click(d.number_buttons()[d.captions().index(caption)])
        return count


class InAHomeOfItsOwn(Journey):
    """A journey in a home folder of its own, where the client keeps its data."""

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="kwirl-home-")
        self.data = os.path.join(self.home, ".local", "share", "kwirl")
        self.cache = os.path.join(self.home, ".cache", "kwirl")
        self.prepare_home()
        self.env = {name: value for name, value in os.environ.items() if not name.startswith("XDG_")}
        self.env["HOME"] = self.home
        self.desktop = Desktop(CLIENT, HOST, SOURCE, env=self.env)

    def prepare_home(self):
        pass

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.home, ignore_errors=True)

    def open_sign_in(self):
        d = self.desktop
        count = len(d.requests())  # the portal's record outlives a restart of the client
        d.click(d.link("Sign in"))
        d.wait_for_request(lambda p: p == "/index.php?name=signin", "the sign-in page", count)

    def sign_in(self, player):
        d = self.desktop
        self.open_sign_in()
        d.click(wait_for("the name field", lambda: next(iter(d.all("entry")), None)))
        d.type(player)
        d.keys("Return")
        d.wait_for_heading("Signed in as " + player)


class StartUp(Journey):
    def test_start_page_and_catalogue_side_by_side_then_the_catalogue_in_the_drop_down(self):
        d = self.desktop
        requests = [line.split("\t")[0] for line in d.requests()]
        # Both asked for at start-up, each once; which reaches the portal first is the network's choice.
        self.assertEqual(sorted(requests[:2]), ["/index.php?name=puzzle1", "/index.php?name=servstop"])
        items = d.combo_items()
        self.assertEqual(len(items), DEMO_CATALOGUE_LIBRARIES)
        self.assertEqual(items[0], "0:Zededo zu Dozo Dozariv (free)")
        self.assertEqual(items[8], "8:Mountain puzzle library")
        self.assertEqual(d.chosen(), items[0])
        self.assertEqual(d.captions(), SHORTCUT)
        # The engine's libsoup 2 build is never loaded, by the client or its
        # engine's processes: a process that holds both libsoups crashes.
        for pid in [d._client_pid()] + d.engine_processes("WebKitNetworkProcess"):
            with open(f"/proc/{pid}/maps") as maps:
                self.assertEqual({line.split()[-1] for line in maps if "libsoup-2.4" in line}, set(), f"process {pid}")


@unittest.skipUnless(PORTAL_SCHEME == "https", "the client under test is built for a portal over http: configure"
                     " with -DKWIRL_PORTAL_SCHEME=https to play on the demo portal over TLS")
class OnAPortalOverHttps(InAHomeOfItsOwn):
    """The demo portal serves TLS alone, with a certificate made as it starts
    that only the test copy of the client is told to trust: every request in
    its record came through TLS."""

    def test_start_page_catalogue_library_game_and_a_login_kept_across_a_restart(self):
        d = self.desktop
        requests = [line.split("\t")[0] for line in d.requests()]
        self.assertEqual(sorted(requests[:2]), ["/index.php?name=puzzle1", "/index.php?name=servstop"])
        # The catalogue, read over TLS by the client's own HTTP client.
        items = d.combo_items()
        self.assertEqual(len(items), DEMO_CATALOGUE_LIBRARIES)
        self.assertEqual(items[8], "8:Mountain puzzle library")
        self.assertEqual(d.captions(), SHORTCUT)

        # A library from the drop-down, its second page by the number buttons, a game.
        self.open_list(2, "pazzle")
        count = self.click_number(">")
        d.wait_for_request(lambda p: p == library("pazzle") + "&n=0&n=40", "page 2", count)
        d.wait_for_captions(paging(2))
        count = len(d.requests())
        d.click(d.link("Puzzle 41"))
        line = d.wait_for_request(lambda p: "&op=game" in p, "the game", count)
        d.wait_for_captions(PIECES)
        count = self.click_number("36")
        line = d.wait_for_request(lambda p: p.startswith(line.split("\t")[0]), "level 3", count)
        self.assertTrue(line.endswith("&level=3\tpieces=36"), line)
        if ARTIFACTS:
            os.makedirs(ARTIFACTS, exist_ok=True)
            d.screenshot(os.path.join(ARTIFACTS, "OnAPortalOverHttps-game.png"))

        # The login, a cookie of the portal's over TLS, outlives a restart.
        self.sign_in("Ada")
        d.restart_client()
        self.open_sign_in()
        d.wait_for_heading("Signed in as Ada")

    def test_the_client_as_shipped_takes_no_certificate_it_is_told_of(self):
        d = self.desktop
        d.end_client()
        count = len(d.requests())
        d.client_path = SHIPPED_CLIENT  # in the same environment: KWIRL_TEST_CA_FILE names the portal's certificate
        d.start_client(wait=False)
        d.wait_for_heading("The connection is not secure")
        wait_for("the catalogue fetch to end", lambda: d.catalogue_connections() == 0, 15)
        # Neither the engine nor the client's own HTTP client sent a request through the portal's TLS.
        self.assertEqual(d.requests()[count:], [])
        self.assertEqual(len(d.combo_items()), BUILTIN_LIBRARIES)


class ChoosingALibrary(Journey):
    def test_with_the_mouse_and_then_the_keyboard(self):
        d = self.desktop
        self.open_list(3, "puzzle2")

        d.focus_combo()
        count = len(d.requests())
        d.keys("Down")
        d.wait_for_request(lambda p: p == library("puzzle4") + "&n=0", "arrow key choice", count)

        d.focus_combo()
        count = len(d.requests())
        d.type("6")
        d.wait_for_request(lambda p: p == library("puzzle5") + "&n=0", "type-ahead choice", count)
        self.assertEqual(d.chosen(), "6:Super Crazy Fantasy Art library")

        d.focus_combo()
        count = len(d.requests())
        d.keys("BackSpace")
        d.wait_for_request(lambda p: p == library("puzzle5") + "&n=0", "Backspace opening it again", count)
        d.wait_for_captions(paging(1))


class PagingThroughAList(Journey):
    def test_every_paging_button(self):
        d = self.desktop
        self.open_list(1, "puzzle3")  # 520 puzzles: 13 pages
        base = library("puzzle3") + "&n=0"

        count = self.click_number(">")
        d.wait_for_request(lambda p: p == base + "&n=40", "page 2", count)
        d.wait_for_captions(paging(2))

        count = self.click_number(">>")
        d.wait_for_request(lambda p: p == base + "&n=40&n=440", "page 12", count)
        d.wait_for_captions(paging(12))

        count = self.click_number("<")
        d.wait_for_request(lambda p: p.endswith("&n=440&n=400"), "page 11", count)
        d.wait_for_captions(paging(11))

        count = self.click_number("11")  # the page number reloads the page shown
        d.wait_for_request(lambda p: p.endswith("&n=400&n=400"), "page 11 again", count)
        d.wait_for_captions(paging(11))

        count = self.click_number("|<")
        d.wait_for_request(lambda p: p.endswith("&n=400&n=0"), "the first page", count)
        d.wait_for_captions(paging(1))

        for page in range(2, 7):
            count = self.click_number(">")
            d.wait_for_request(lambda p, n=(page - 1) * 40: p.endswith(f"&n={n}"), f"page {page}", count)
            d.wait_for_captions(paging(page))
        count = self.click_number("<<")  # from page 6, ten back: the first page
        d.wait_for_request(lambda p: p.endswith("&n=200&n=0"), "the first page from page 6", count)
        d.wait_for_captions(paging(1))


class StoppingALoad(Journey):
    """Esc while the first page loads: the client's page says so and loads it
    again. Esc while the next page of a list loads: the page still shown is the
    one the window follows, its number on the button and the next page after it."""
    slow_pages = "pazzle:3,puzzle1:10"

    def test_escape_while_the_first_page_loads_then_while_the_next_page_loads(self):
        d = self.desktop
        d.end_client()
        d.start_client(toolbar_only=True)  # the start page takes 10 s
        d.mouse("click", "1")  # on the blank page, so that the window has the keyboard

        def stopped():  # Esc again until the window has the keyboard (a slow start under the sanitizers)
            if any("Loading was stopped" in name for name in d.headings()):
                return True
            d.keys("Escape")
            time.sleep(0.5)  # the client's own page comes; look again then
            return any("Loading was stopped" in name for name in d.headings())
        wait_for("the page that says the load was stopped", stopped)
        count = len(d.requests())
        d.click(d.page_button("Load the page again"))
        d.wait_for_request(lambda p: p == "/index.php?name=puzzle1", "the start page again", count)
        d.link("Sign in", 30)
        base = self.open_page_two()
        wait_for("page 2 loaded", lambda: d.bars() == [0.0, 0.0])

        count = self.click_number(">")
        d.wait_for_captions(paging(3))  # the window follows the page asked for ...
        d.keys("Escape")
        d.wait_for_captions(paging(2))  # ... and, stopped, the page still shown
        d.wait_for_request(lambda p: p == base + "&n=40&n=80", "the stopped page's request", count)

        self.next_asks_for_page_three(base)
        d.wait_for_captions(paging(3))


class ALoadThatNeverCommits(Journey):
    """The next page of a list comes as a file to save: the page before is
    still shown, and the window goes back to it, its number and the next page after it."""
    file_pages = "pazzle:80"

    def test_a_page_answered_as_a_file(self):
        d = self.desktop
        base = self.open_page_two()

        count = self.click_number(">")
        d.wait_for_request(lambda p: p == base + "&n=40&n=80", "page 3, a file", count)
        wait_for("asked where to save it", lambda: d.all("file chooser"))
        d.wait_for_captions(paging(2))
        d.keys("Escape")  # save nothing
        wait_for("the dialog closed", lambda: not d.all("file chooser"))

        self.next_asks_for_page_three(base)


class MouseButtonsOverAnOpenList(Journey):
    """The mouse's back and forward buttons over the drop-down's open list or
    the window's menu close it and move through the history; the entry under
    the pointer is never chosen."""

    def point_at(self, item):
        """The pointer over an entry, once the list or menu shows it."""
        wait_for("the entry shown", lambda: self.desktop.extents(item).height > 0)
        e = self.desktop.extents(item)
        subprocess.run(["xdotool", "mousemove", str(e.x + e.width // 2), str(e.y + e.height // 2)], check=True)

    def test_back_over_the_list_then_forward_over_the_menu(self):
        d = self.desktop
        self.open_list(1, "puzzle3")
        count = self.click_number(">")
        d.wait_for_request(lambda p: p.endswith("&n=0&n=40"), "page 2", count)
        d.wait_for_captions(paging(2))
        chosen = d.chosen()
        count = len(d.requests())

        d.click(d.combo())
        entry = [i for i in d.all("menu item", d.combo())][4]
        self.point_at(entry)
        subprocess.run(["xdotool", "click", "8"], check=True)
        d.wait_for_captions(paging(1))  # back on the list's first page
        self.assertEqual(d.chosen(), chosen)

        d.click(d.button("Main Menu"))
        self.point_at(d.control("menu item", "Keyboard Shortcuts"))
        subprocess.run(["xdotool", "click", "9"], check=True)
        d.wait_for_captions(paging(2))  # forward to its second page again
        self.assertIsNone(d._shown_window("frame", "Keyboard Shortcuts"))
        self.assertEqual(d.chosen(), chosen)
        self.assertFalse([line for line in d.requests()[count:] if "puzzle3" not in line and "puzzle1" not in line])


class PlayingAGame(Journey):
    def test_open_a_game_and_choose_each_level(self):
        d = self.desktop
        self.open_list(2, "pazzle")
        count = len(d.requests())
        d.click(d.link("Puzzle 1"))
        line = d.wait_for_request(lambda p: "&op=game" in p, "the game", count)
        self.assertTrue(line.endswith("&level=1\tpieces=4"), line)
        d.wait_for_captions(PIECES)
        game = line.split("\t")[0]
        for level, caption in enumerate(PIECES, start=1):
            count = self.click_number(caption)
            line = d.wait_for_request(lambda p: p.startswith(game), f"level {level}", count)
            self.assertTrue(line.endswith(f"&level={level}\tpieces={(2 * level) ** 2}"), line)
            game = line.split("\t")[0]
            d.wait_for_captions(PIECES)
        self.assertEqual(game.count("&level="), 7)  # every level appended, none replaced


class ToolbarCommands(Journey):
    slow_pages = "awards:0.8,champday:0.8,puzzleguide:0.8,home:0.8"

    def press_and_watch(self, button, path):
        """Clicks a toolbar button and watches both bars while the (slow) page loads."""
        d = self.desktop
        count = len(d.requests())
        d.click(d.button(button))
        seen = []
        deadline = time.monotonic() + 15
        while time.monotonic() < deadline:
            seen.append(d.bars())
            if any(line.split("\t")[0] == path for line in d.requests()[count:]) and seen[-1] == [0.0, 0.0]:
                break
            time.sleep(0.05)
        else:
            raise JourneyError(f"{button}: no load of {path} that ended with empty bars: {seen[-3:]}")
        self.assertTrue(any(left > 0 for left, _ in seen), f"{button}: the left bar never moved")
        self.assertTrue(any(right > 0 for _, right in seen), f"{button}: the right bar never moved")

    def test_from_a_game_page_and_from_a_list_page(self):
        d = self.desktop
        self.open_list(4, "puzzle4")
        d.click(d.link("Puzzle 2"))
        d.wait_for_captions(PIECES)
        self.press_and_watch("Hall of Awards", "/index.php?name=awards")
        self.press_and_watch("Home", "/index.php")

        self.open_list(7, "puzzle6")
        self.press_and_watch("ChampionShip", "/index.php?name=champday")
        self.open_list(8, "puzzle7")
        self.press_and_watch("Puzzle Guide", "/index.php?name=puzzleguide")
        self.assertEqual(d.captions(), paging(1))  # the guide page leaves the mode as it was


class NewWindows(Journey):
    def test_a_new_window_link_and_a_scripted_pop_up_stay_in_the_window(self):
        d = self.desktop
        d.click(d.button("Home"))
        d.wait_for_request(lambda p: p == "/index.php", "the home page")
        count = len(d.requests())
        d.click(d.link("Open the guide in a new window"))
        d.wait_for_request(lambda p: p == "/index.php?name=puzzleguide", "the guide", count)
        wait_for("the guide shown", lambda: any(h.name == "Puzzle guide" for h in d.all("heading")))

        d.click(d.button("Home"))
        count = len(d.requests())
        d.click(d.link("Today's puzzle (pop-up)"))
        d.wait_for_request(lambda p: p == "/index.php?name=popup", "the pop-up page", count)
        wait_for("the pop-up page shown", lambda: any(h.name == "Today's puzzle" for h in d.all("heading")))
        self.assertEqual(d.top_level_windows(), 1)
        self.assertTrue(d.alive())


class AFrameFromAnotherAddress(Journey):
    def test_the_buttons_follow_the_frames_navigation(self):
        d = self.desktop
        self.open_list(1, "puzzle3")
        count = len(d.requests())
        d.click(d.button("Hall of Awards"))
        d.wait_for_request(lambda p: p == "/index.php?name=awards", "the hall of awards", count)
        d.wait_for_request(lambda p: "&op=game" in p, "the frame's game", count)
        # The page itself is neutral; its frame, filtered after it, is a game.
        d.wait_for_captions(PIECES)
        # A number button there acts on the page's own address: it opens the
        # library chosen in the drop-down, at its first page.
        count = self.click_number("4")
        d.wait_for_request(lambda p: p == library("puzzle3") + "&n=0", "the chosen library's list", count)
        d.wait_for_captions(paging(1))


class PlayingAsInABrowser(Journey):
    def test_page_keys_after_a_toolbar_click_then_history_reload_zoom_and_full_screen(self):
        d = self.desktop
        count = len(d.requests())
        d.click(d.link("Show the list (one column)"))  # a long page
        d.wait_for_request(lambda p: p == "/index.php?name=puzzle1&op=pz1d&n=0", "the list", count)
        d.wait_for_captions(paging(1))

        # After a click on the toolbar the keys reach the page.
        count = self.click_number(">")
        d.wait_for_request(lambda p: p.endswith("&n=0&n=40"), "page 2", count)
        d.wait_for_captions(paging(2))
        top = d.extents(d.link("Puzzle 41")).y
        d.keys("Next")
        wait_for("Page Down to scroll the page", lambda: d.extents(d.link("Puzzle 41")).y < top - 200)

        # Back and forward, by key and by the mouse's buttons over the page and
        # over the toolbar (a button, the drop-down's label, the drop-down); the
        # buttons follow, one page a press.
        def over(accessible):
            box = d.extents(accessible)
            return ["mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2)]
        guide, label, combo = d.button("Puzzle Guide"), d.all("label")[0], d.combo()
        for back, forward in ((["key", "alt+Left"], ["key", "alt+Right"]), (["click", "8"], ["click", "9"]),
                              (over(guide) + ["click", "8"], over(label) + ["click", "9"]),
                              (over(combo) + ["click", "8"], over(combo) + ["click", "9"])):
            d.mouse(*back)
            d.wait_for_heading("page 1 of 3")
            d.wait_for_captions(paging(1))
            d.mouse(*forward)
            d.wait_for_heading("page 2 of 3")
            d.wait_for_captions(paging(2))

        for key in ("F5", "ctrl+r"):
            count = len(d.requests())
            d.keys(key)
            d.wait_for_request(lambda p: p.endswith("&n=0&n=40"), "a reload by " + key, count)

        def width():
            return d.extents(d.link("Puzzle 41")).width
        normal = width()
        for zoom, bigger in (("ctrl+plus", True), ("ctrl+minus", False)):
            d.keys(zoom)
            wait_for(zoom, lambda: width() > normal * 1.05 if bigger else width() < normal * 0.95)
            d.keys("ctrl+0")
            wait_for("the zoom reset", lambda: abs(width() - normal) <= 2)
        d.mouse("keydown", "ctrl", "click", "4", "click", "4", "keyup", "ctrl")  # two notches of the wheel
        wait_for("the wheel's zoom", lambda: width() > normal * 1.2)
        count = self.click_number(">")  # the zoom holds for the next page
        d.wait_for_request(lambda p: p.endswith("&n=40&n=80"), "page 3", count)
        wait_for("the zoom on the next page", lambda: d.extents(d.link("Puzzle 81")).width > normal * 1.2)
        d.keys("ctrl+0")

        for leave in ("Escape", "F11"):
            d.keys("F11")
            wait_for("full screen", lambda: "FULLSCREEN" in d.window_states())
            wait_for("the toolbar at the top of the screen", lambda: d.extents(d.button("Home")).y <= 2)
            d.keys(leave)
            wait_for("full screen left by " + leave, lambda: "FULLSCREEN" not in d.window_states())

    def test_keys_typed_into_a_text_field_stay_with_the_page(self):
        d = self.desktop
        d.click(d.button("Home"))
        d.wait_for_heading("Welcome")
        d.click(wait_for("the search field", lambda: next(iter(d.all("entry")), None)))
        d.type("animal")
        count = len(d.requests())
        d.keys("alt+Left")  # the field's, not the history's
        d.keys("Return")
        line = d.wait_for_request(lambda p: "name=search" in p, "the search", count)
        self.assertIn("q=animal", line)
        d.wait_for_heading("animal")
        d.keys("alt+Left")  # outside a field it goes back
        d.wait_for_heading("Welcome")


class BackAndForward(Journey):
    """After every move through the history the window is as a new load of the
    page shown left it: captions, page number and bars, a page's frames included."""

    def test_every_kind_of_page_after_every_other_and_back(self):
        d = self.desktop

        def link(name):
            return lambda: d.click(d.link(name))

        def toolbar(name):
            return lambda: d.click(d.button(name))

        def library_list(index):
            return lambda: self.choose_with_mouse(d.combo_items()[index])

        # Each new load, what shows it is in place, and the window it leaves. Every
        # kind of page (a list with an offset, a game with a level, a plain page,
        # a page whose frame is a game) stands next to every other kind.
        walk = [
            (library_list(1), "Big animal puzzle library: page 1 of 13", paging(1)),
            (link("3"), "Big animal puzzle library: page 3 of 13", paging(3)),
            (link("Puzzle 81"), "Puzzle 81", PIECES),
            (toolbar("ChampionShip"), "Championship", SHORTCUT),
            (toolbar("Hall of Awards"), "Hall of Awards", PIECES),
            (library_list(3), "Big life puzzle library: page 3 of 8", paging(3)),
            (link("5"), "Big life puzzle library: page 5 of 8", paging(5)),
            (link("Puzzle 161"), "Puzzle 161", PIECES),
            (toolbar("Hall of Awards"), "Hall of Awards", PIECES),
            (toolbar("ChampionShip"), "Championship", SHORTCUT),
            (library_list(8), "Mountain puzzle library: page 5 of 11", paging(5)),
        ]

        def settled(heading, captions, how):
            d.wait_for_heading(heading)
            wait_for(f"{heading} loaded, by {how}", lambda: d.bars() == [0.0, 0.0])
            d.wait_for_captions(captions)
            time.sleep(0.3)  # a frame of the page may still be on its way
            self.assertEqual((d.captions(), d.bars()), (captions, [0.0, 0.0]), f"{heading}, by {how}")

        for open_page, heading, captions in walk:
            open_page()
            settled(heading, captions, "a new load")
        # Back to the first and forward to the last again, by key and by the
        # mouse's buttons by turns.
        moves = (("alt+Left", "8"), ("alt+Right", "9"))
        for step, (_, heading, captions) in enumerate(reversed(walk[:-1])):
            key, button = moves[0]
            d.mouse("key", key) if step % 2 == 0 else d.mouse("click", button)
            settled(heading, captions, "Back")
        for step, (_, heading, captions) in enumerate(walk[1:]):
            key, button = moves[1]
            d.mouse("key", key) if step % 2 == 0 else d.mouse("click", button)
            settled(heading, captions, "Forward")


class APortalThatIsAway(InAHomeOfItsOwn):
    """In a home of its own: Back must ask the portal again, not find the page in
    a cache that earlier journeys filled."""

    def test_in_the_middle_of_a_game_a_failure_page_then_the_page_by_itself_when_the_portal_is_back(self):
        d = self.desktop
        self.open_list(2, "pazzle")
        d.click(d.link("Puzzle 1"))
        d.wait_for_captions(PIECES)
        d.stop_portal()
        self.click_number("16")  # another level of the game, with the portal away
        d.wait_for_heading("The portal cannot be reached")
        d.click(d.button("ChampionShip"))  # the toolbar stays live
        d.wait_for_captions(SHORTCUT)
        count = len(d.requests())
        d.start_portal()
        d.wait_for_request(lambda p: p == "/index.php?name=champday", "the page, without any input", count)
        d.wait_for_heading("Championship")
        self.assertFalse(any(line.startswith("/index.php?name=awards") for line in d.requests()[count:]))
        # The failure pages stood in the pages' places: one press of Back goes
        # to the page asked for before, the game at its second level.
        count = len(d.requests())
        d.keys("alt+Left")
        line = d.wait_for_request(lambda p: "&op=game" in p, "the game again", count)
        self.assertTrue(line.endswith("&level=2\tpieces=16"), line)
        d.wait_for_heading("Puzzle 1")
        d.wait_for_captions(PIECES)
        # Started while the portal is away: its failure page and the built-in
        # list; the portal back, the page comes by itself, and the catalogue
        # with it, asked for once, the library chosen and the page left as they are.
        d.end_client()
        d.stop_portal()
        d.start_client(toolbar_only=True)
        d.wait_for_heading("The portal cannot be reached")
        self.assertEqual(len(d.combo_items()), BUILTIN_LIBRARIES)
        count = len(d.requests())
        d.start_portal()
        d.wait_for_heading("Puzzle 1")
        wait_for("the catalogue's libraries", lambda: len(d.combo_items()) == DEMO_CATALOGUE_LIBRARIES, 15)
        d.wait_for_heading("Puzzle 1")
        self.assertEqual(d.chosen(), d.combo_items()[0])
        after = self.click_number("36")  # the next page: the catalogue is not asked for again
        d.wait_for_request(lambda p: "&op=game" in p, "the game's next level", after)
        d.wait_for_heading("Puzzle 1")
        self.assertEqual([p.split("\t")[0] for p in d.requests()[count:] if "name=servstop" in p],
                         ["/index.php?name=servstop"])


class APageProcessThatDies(Journey):
    def test_the_page_says_so_then_comes_back(self):
        d = self.desktop
        self.open_list(1, "puzzle3")
        d.wait_for_heading("page 1 of 13")
        count = len(d.requests())
        pages = d.web_processes()
        self.assertTrue(pages)
        for pid in pages:
            os.kill(pid, signal.SIGKILL)
        d.wait_for_heading("The page stopped")
        d.wait_for_request(lambda p: p == library("puzzle3") + "&n=0", "the page again", count)
        d.wait_for_heading("page 1 of 13")
        self.assertTrue(d.alive())
        # The page that said so took no place in the history: Back once goes to
        # the page before the list, and Forward to the list.
        d.keys("alt+Left")
        d.wait_for_heading("Zededo zu Dozo Dozariv (free)")
        d.keys("alt+Right")
        d.wait_for_heading("page 1 of 13")
        d.wait_for_captions(paging(1))
        count = self.click_number(">")  # and the window goes on as before
        d.wait_for_request(lambda p: p.endswith("&n=0&n=40"), "page 2", count)

    def test_the_engines_network_process_killed_the_next_page_still_loads(self):
        d = self.desktop
        network = d.engine_processes("WebKitNetworkProcess")
        self.assertTrue(network)
        for pid in network:
            os.kill(pid, signal.SIGKILL)
        count = len(d.requests())
        d.click(d.button("Hall of Awards"))
        d.wait_for_request(lambda p: p == "/index.php?name=awards", "the hall of awards", count)
        d.wait_for_heading("Hall of Awards")
        self.assertTrue(d.alive())


class TheToolbarOnADarkThemeByKeyboard(Journey):
    """A dark theme: the menu's icon stands out of its button. Tab goes through
    the toolbar from left to right, then into the page."""

    def setUp(self):
        self.data = tempfile.mkdtemp(prefix="kwirl-journey-data-")
        self.desktop = Desktop(CLIENT, HOST, SOURCE,
                               env=dict(os.environ, XDG_DATA_HOME=self.data, GTK_THEME="Adwaita:dark"))

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.data, ignore_errors=True)

    def contrast(self, accessible):
        """The difference of the lightest and the darkest grey in the middle of a control, 0 to 1."""
        box = self.desktop.extents(accessible)
        with tempfile.NamedTemporaryFile(suffix=".png") as shot:
            self.desktop.screenshot(shot.name)
            middle = f"12x12+{box.x + box.width // 2 - 6}+{box.y + box.height // 2 - 6}"
            grey = subprocess.run(["convert", shot.name, "-crop", middle, "-colorspace", "Gray", "-format",
                                   "%[fx:maxima] %[fx:minima]", "info:"], capture_output=True, text=True,
                                  check=True).stdout.split()
        return float(grey[0]) - float(grey[1])

    def focused(self):
        """The name of the toolbar's button that has the keyboard, or None (the
        drop-down, whose own inner button has it then, says nothing of it)."""
        d = self.desktop
        has_it = lambda node: node.getState().contains(pyatspi.STATE_FOCUSED)
        return next((button.name for button in d.all("push button") if has_it(button)), None)

    def test_the_menus_icon_then_tab_through_the_toolbar_into_the_page(self):
        d = self.desktop
        d.mouse("mousemove", "0", "900")  # no tool tip over the toolbar
        self.assertGreater(self.contrast(d.button("Main Menu")), 0.5)

        d.focus_combo()
        d.keys("shift+Tab")
        wait_for("the keyboard on Home", lambda: self.focused() == "Home")
        # The drop-down between Home and the first page button: the only control there.
        expected = [None, "Hall of Awards", "ChampionShip"] + [b.name for b in d.number_buttons()] + [
            "Puzzle Guide", "Main Menu"]
        for name in expected:
            d.keys("Tab")
            wait_for(f"the keyboard on {name!r}", lambda: self.focused() == name, 5)
        # After the menu the page, past one stop of the window's that shows nothing.
        has_it = lambda node: node.getState().contains(pyatspi.STATE_FOCUSED)
        in_page = lambda: any(has_it(page) or pyatspi.findDescendant(page, has_it) for page in d.all("document web"))
        d.keys("Tab")
        wait_for("the keyboard off the toolbar", lambda: self.focused() is None, 5)
        if not in_page():
            d.keys("Tab")
        wait_for("the keyboard in the page", in_page, 5)
        self.assertIsNone(self.focused())


class InTheUsersLanguage(Journey):
    """A German desktop: the client's own words in German, the portal's as they are."""

    def setUp(self):
        locales = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
        if "de_DE.utf8" not in locales:
            self.fail("no German locale on this system (scripts/setup.sh makes it)")
        environment = {name: value for name, value in os.environ.items()
                       if not name.startswith("LC_") and name != "LANGUAGE"}
        self.desktop = Desktop(CLIENT, HOST, SOURCE, env={**environment, "LANG": "de_DE.UTF-8"})

    def test_the_tool_tips_and_the_failure_page_in_german_the_captions_as_they_are(self):
        d = self.desktop
        self.assertTrue(d.client_window(), "the window's title")
        d.wait_for_captions(SHORTCUT)
        for caption in ("Home", "Hall of Awards", "ChampionShip", "Puzzle Guide"):
            d.button(caption)
        self.assertIn("Library", d.texts())
        self.assertEqual(d.combo_items()[8], "8:Mountain puzzle library")

        # What a page button does, as screen readers read it: in German.
        german = gettext.translation("kwirl", os.environ["KWIRL_BUILD_LOCALE_DIR"], ["de"]).gettext
        for caption, does in (("Hall of Awards", "Opens the portal's hall of awards"),
                              ("ChampionShip", "Opens the portal's championship"),
                              ("Puzzle Guide", "Opens the portal's guide to its puzzles")):
            self.assertNotEqual(german(does), does, "not in German yet")
            self.assertEqual(d.button(caption).description, german(does))

        d.stop_portal()
        d.click(d.button("Hall of Awards"))
        d.wait_for_heading("Das Portal ist nicht erreichbar")
        d.wait_for_captions(SHORTCUT)
        # In German throughout: the engine's own English words are not on it.
        said = " ".join(p.queryText().getText(0, -1) for p in d.all("paragraph", in_page=True))
        self.assertIn(german("The connection to the server was refused or the network is down."), said)
        self.assertNotIn("onnect", said)


class SavingAPicture(InAHomeOfItsOwn):
    """A file a page offers is saved where the player says, after asking; an
    existing file is not replaced unasked, and a file that cannot be written is
    said so."""

    def prepare_home(self):
        self.folder = os.path.join(self.home, "Saved puzzles")
        os.makedirs(self.folder)
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "user-dirs.dirs"), "w") as dirs:
            dirs.write('XDG_DOWNLOAD_DIR="$HOME/Saved puzzles"\n')

    def dialog(self, role, text=None):
        """The open dialog of the role, showing `text` if given."""
        d = self.desktop
        def find():
            for found in d.all(role):
                if text is None or any(text in label for label in d.texts(found)):
                    return found
            return None
        return wait_for(f"a {role} dialog" + (f" saying {text!r}" if text else ""), find)

    def test_save_a_solved_picture_then_keep_it_then_fail_to_write(self):
        d = self.desktop
        self.open_list(2, "pazzle")
        d.click(d.link("Puzzle 1"))
        d.wait_for_captions(PIECES)
        picture = "/index.php?name=pazzle&op=picture&id=0"
        trust = ssl.create_default_context(cafile=d.certificate) if d.certificate else None
        with urllib.request.urlopen(f"{PORTAL}{picture}", context=trust) as reply:
            expected = reply.read()
        saved = os.path.join(self.folder, "pazzle-puzzle-1-solved.png")

        # Asked where, in the downloads folder under the page's name for it.
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.keys("Return")
        wait_for("the picture saved", lambda: os.path.exists(saved) and os.path.getsize(saved) == len(expected))
        with open(saved, "rb") as file:
            self.assertEqual(file.read(), expected)
        wait_for("the bars empty after the transfer", lambda: d.bars() == [0.0, 0.0])

        # The same name again: asked before replacing, and kept when the answer is no.
        os.utime(saved, (1, 1))
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.keys("Return")
        self.dialog("alert", "already exists")
        d.keys("Escape")  # do not replace
        wait_for("the question closed", lambda: not d.all("alert"))
        d.keys("Escape")  # and save nothing
        wait_for("the dialog closed", lambda: not d.all("file chooser"))
        self.assertEqual(os.path.getmtime(saved), 1)
        self.assertEqual(os.listdir(self.folder), [os.path.basename(saved)])

        # A place that cannot be written: the player is told.
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.keys("ctrl+a")
        d.type("/proc/kwirl-picture.png")
        d.keys("Return")
        self.dialog("alert", "The file was not saved.")
        d.keys("Return")
        wait_for("the message closed", lambda: not d.all("alert"))
        self.assertTrue(d.alive())

        # The session ends while the player is asked where to save: the client
        # ends as it does otherwise, and saves nothing.
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.end_client()
        self.assertEqual(os.listdir(self.folder), [os.path.basename(saved)])

        # The window's close button while the player is asked where to save:
        # the question is answered as Cancel, and the client ends as it does otherwise.
        d.start_client(page=None)
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.click_close_button()
        self.assertEqual(d.client.wait(30), 0)
        self.assertEqual(os.listdir(self.folder), [os.path.basename(saved)])
        # No list of recent files of the client's making, listing what was saved and what was not.
        self.assertFalse(os.path.exists(os.path.join(self.home, ".local", "share", "recently-used.xbel")))


    def leftovers(self):
        """The transfers' own files left anywhere in the home folder."""
        return [name for _, _, names in os.walk(self.home) for name in names if name.startswith(".kwirl-download-")]

    def test_the_engines_network_process_dies_while_the_player_is_asked(self):
        """Killed as an out-of-memory kill would, with the dialog open: Esc, and
        then Save, leave the client running; Save says the file was not saved and
        why, at once and with no file of the transfer left; the next page and the
        next file come as before."""
        d = self.desktop
        self.open_list(2, "pazzle")
        d.click(d.link("Puzzle 1"))
        d.wait_for_captions(PIECES)
        for answer in ("Escape", "Return"):
            d.click(d.link("Download the picture, solved"))
            self.dialog("file chooser")
            network = d.engine_processes("WebKitNetworkProcess")
            self.assertTrue(network)
            for pid in network:
                os.kill(pid, signal.SIGKILL)
            wait_for("the network process gone",
                     lambda: not set(network) & set(d.engine_processes("WebKitNetworkProcess")))
            d.keys(answer)
            wait_for("the dialog closed", lambda: not d.all("file chooser"))
            if answer == "Return":
                told = d.texts(self.dialog("alert", "The file was not saved."))
                self.assertTrue(any("network process ended" in text for text in told), told)
                self.assertEqual(self.leftovers(), [])
                d.keys("Return")
                wait_for("the message closed", lambda: not d.all("alert"))
            self.assertTrue(d.alive())
            self.assertEqual(os.listdir(self.folder), [])
            self.assertEqual(self.leftovers(), [])

        count = len(d.requests())
        d.click(d.button("Hall of Awards"))
        d.wait_for_request(lambda p: p == "/index.php?name=awards", "the hall of awards", count)
        d.wait_for_heading("Hall of Awards")
        d.keys("alt+Left")
        d.wait_for_captions(PIECES)
        d.click(d.link("Download the picture, solved"))
        self.dialog("file chooser")
        d.keys("Return")
        saved = os.path.join(self.folder, "pazzle-puzzle-1-solved.png")
        wait_for("the picture saved", lambda: os.path.exists(saved) and os.path.getsize(saved) > 0)
        self.assertTrue(d.alive())

class AWindowThatRestores(InAHomeOfItsOwn):
    """The window returns from maximised to a real size, never gets narrower
    than its toolbar, and comes back as the player left it."""

    def geometry(self):
        """The window's place on the screen and its size, without the window manager's frame."""
        info = subprocess.run(["xwininfo", "-id", self.desktop.client_window()], capture_output=True, text=True,
                              check=True).stdout
        value = lambda name: int(re.search(name + r":\s*(-?\d+)", info).group(1))
        return value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"), value("Height")

    def toggle_maximised(self, maximised):
        """A double click on the title bar, as a person maximises and restores a window."""
        x, y, width, _ = self.geometry()
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y - 8), "click", "--repeat", "2",
                        "--delay", "120", "1"], check=True)
        wait_for("maximised" if maximised else "restored",
                 lambda: ("MAXIMIZED_HORZ" in self.desktop.window_states()) == maximised)

    def resize(self, width, height):
        subprocess.run(["xdotool", "windowsize", self.desktop.client_window(), str(width), str(height)], check=True)
        wait_for(f"the window sized to {width}x{height} or its least size",
                 lambda: self.geometry()[2:] == (width, height) or self.geometry()[2] > width)

    def test_restore_then_shrink_then_come_back_as_left(self):
        d = self.desktop
        # The first run: maximised, and a real size to return to.
        wait_for("maximised at first", lambda: "MAXIMIZED_HORZ" in d.window_states())
        self.toggle_maximised(False)
        self.assertEqual(self.geometry()[2:], (664, 613))

        # Never narrower than the toolbar: the menu button stays after Puzzle Guide, inside the window.
        self.resize(300, 300)
        x, _, width, height = self.geometry()
        self.assertGreater(width, 300)
        guide, menu = d.extents(d.button("Puzzle Guide")), d.extents(d.button("Main Menu"))
        self.assertLessEqual(guide.x + guide.width, menu.x)
        self.assertLessEqual(menu.x + menu.width, x + width)
        # That size, the least the window manager allows, comes back as it is.
        smallest = self.geometry()[2:]
        d.restart_client()
        wait_for("the window shown", d.client_window)
        self.assertNotIn("MAXIMIZED_HORZ", d.window_states())
        self.assertEqual(self.geometry()[2:], smallest)

        # The next run comes as this one was left, though the session ended
        # with the menu open: this size, not maximised ...
        self.resize(900, 700)
        d.click(d.button("Main Menu"))
        wait_for("the menu open", lambda: d.all("menu item"))
        d.restart_client()
        wait_for("the window shown", d.client_window)
        self.assertNotIn("MAXIMIZED_HORZ", d.window_states())
        self.assertEqual(self.geometry()[2:], (900, 700))
        # ... or maximised, with the same size to return to (the drop-down's list open at the end).
        self.toggle_maximised(True)
        d.click(d.combo())
        wait_for("the list open", lambda: any(i.queryComponent().getExtents(0).height > 0
                                              for i in d.all("menu item", d.combo())))
        d.restart_client()
        wait_for("maximised again", lambda: "MAXIMIZED_HORZ" in d.window_states())
        # Full screen from there, left so: full screen again, and Esc goes back to maximised.
        d.keys("F11")
        wait_for("full screen", lambda: "FULLSCREEN" in d.window_states())
        d.restart_client()
        wait_for("full screen again", lambda: "FULLSCREEN" in d.window_states())
        d.mouse("click", "1")  # on the page, so that the window has the keyboard
        d.keys("Escape")
        wait_for("maximised after full screen",
                 lambda: "FULLSCREEN" not in d.window_states() and "MAXIMIZED_HORZ" in d.window_states())
        self.toggle_maximised(False)
        self.assertEqual(self.geometry()[2:], (900, 700))

        # A state file that is damaged or absurd is not obeyed.
        d.end_client()
        state = os.path.join(self.home, ".local", "state", "kwirl", "window")
        with open(state) as kept:
            self.assertIn("width=900", kept.read())
        for absurd in ("[Window]\nwidth=0\nheight=0\nmaximised=false\nfull-screen=false\n",
                       "[Window]\nwidth=99999\nheight=99999\nmaximised=false\nfull-screen=false\n",
                       "\x00garbage"):
            with open(state, "w") as kept:
                kept.write(absurd)
            d.start_client()
            wait_for("maximised as at first", lambda: "MAXIMIZED_HORZ" in d.window_states())
            self.toggle_maximised(False)
            self.assertEqual(self.geometry()[2:], (664, 613))
            d.end_client()


class BackWhereThePlayerLeftOff(InAHomeOfItsOwn):
    """A restart comes back where the player left off: the portal's last page,
    its history and the zoom; never a failure page; the start page when the
    player chose it in the menu, or forgot the login."""

    def width_of(self, link):
        return self.desktop.extents(self.desktop.link(link)).width

    def start_page_choice(self):
        d = self.desktop
        d.click(d.button("Main Menu"))
        return d.control("check menu item", "Start at the portal's start page")

    def test_page_three_at_150_per_cent_then_a_failure_page_then_the_start_page_by_choice_and_after_a_forget(self):
        d = self.desktop
        base = self.open_page_two()
        count = self.click_number(">")
        page3, page2 = base + "&n=40&n=80", base + "&n=40"
        d.wait_for_request(lambda p: p == page3, "page 3", count)
        d.wait_for_captions(paging(3))
        normal = self.width_of("Puzzle 81")
        for _ in range(3):
            d.keys("ctrl+plus")  # 110, 125, 150 per cent
        wait_for("150 per cent", lambda: self.width_of("Puzzle 81") > normal * 1.4)

        # The page comes back at that zoom, and Back goes to the page before it.
        d.restart_client(page3)
        d.wait_for_heading("page 3 of")
        d.wait_for_captions(paging(3))
        wait_for("the zoom kept", lambda: self.width_of("Puzzle 81") > normal * 1.4)
        count = len(d.requests())
        d.keys("alt+Left")
        d.wait_for_request(lambda p: p == page2, "page 2 by Back", count)
        d.wait_for_captions(paging(2))

        # Left on a failure page: the portal's last page comes back, not the page that failed.
        d.stop_portal()
        self.click_number(">")
        d.wait_for_heading("The portal cannot be reached")
        d.end_client()
        d.start_portal()
        d.start_client(page2)
        d.wait_for_captions(paging(2))

        # The player's choice of the start page holds, at once and at the next start.
        d.click(self.start_page_choice())
        d.restart_client("/index.php?name=puzzle1")
        d.wait_for_captions(SHORTCUT)
        choice = self.start_page_choice()
        self.assertTrue(choice.getState().contains(pyatspi.STATE_CHECKED))
        d.click(choice)  # and taken back

        # Forgotten with the login: the start page.
        self.open_list(2, "pazzle")
        d.end_client()
        forget = subprocess.run([CLIENT, "--forget"], env=self.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(forget.returncode, 0, forget.stderr)
        d.start_client("/index.php?name=puzzle1")
        d.wait_for_captions(SHORTCUT)


class LinksFromOutside(InAHomeOfItsOwn):
    """A link to one of the portal's pages, given to kwirl on its command line
    (a terminal, the desktop's handler for a mail's link): the running window
    shows it; without one, a window opens at it. Another site's is refused."""

    def test_a_link_to_the_running_client_then_a_start_at_one(self):
        d = self.desktop
        awards = f"{PORTAL}/index.php?name=awards"
        count = len(d.requests())
        handed = subprocess.run([CLIENT, awards], env=self.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(handed.returncode, 0, handed.stderr)
        d.wait_for_request(lambda p: p == "/index.php?name=awards", "the page handed over", count)
        d.wait_for_heading("Hall of Awards")
        self.assertEqual(d.top_level_windows(), 1)

        count = len(d.requests())
        refused = subprocess.run([CLIENT, "https://example.org/index.php?name=awards"], env=self.env,
                                 capture_output=True, text=True, timeout=30)
        self.assertEqual((refused.returncode, refused.stdout), (2, ""))
        self.assertIn("no page of the portal", refused.stderr)

        d.end_client()
        d.start_client("/index.php?name=champday", [f"{PORTAL}/index.php?name=champday"])
        d.wait_for_heading("Championship")
        self.assertFalse(any(line.startswith("/index.php?name=awards") for line in d.requests()[count:]))


class AnOddCatalogue(unittest.TestCase):
    """Whatever the catalogue page holds, the window comes up and offers libraries."""

    def start_with(self, catalogue):
        with tempfile.NamedTemporaryFile(prefix="kwirl-catalogue-", delete=False) as page:
            page.write(catalogue)
        try:
            desktop = Desktop(CLIENT, HOST, SOURCE, catalogue=page.name)
            try:
                return desktop.combo_items()
            finally:
                desktop.close()
        finally:
            os.unlink(page.name)

    def test_random_bytes_a_single_huge_line_and_ten_thousand_entries(self):
        self.assertEqual(len(self.start_with(random.Random(7).randbytes(200_000))), BUILTIN_LIBRARIES)
        self.assertEqual(len(self.start_with(b"<kk ref=" + b"x" * (64 << 20))), BUILTIN_LIBRARIES)
        entries = b"".join(b'<kk ref="Xtp://%s/index.php?name=puzzle1&op=pz6m&src=z3z">Library %d</kk>\r\n'
                           % (HOST.encode(), i) for i in range(10_000))
        items = self.start_with(b"<html><body>\r\n" + entries + b"</body></html>\r\n")
        self.assertEqual(len(items), 100)  # the catalogue holds a hundred
        self.assertEqual(items[99], "99:Library 99")


class ASlowPortal(Journey):
    """A portal that answers every page after 20 s: the window answers at once throughout."""

    def setUp(self):
        self.desktop = Desktop(CLIENT, HOST, SOURCE, slow_pages="*:20", start_page_timeout=60)

    def test_the_window_answers_within_100_ms_while_pages_take_20_s(self):
        d = self.desktop
        self.assertEqual(len(d.combo_items()), BUILTIN_LIBRARIES)  # the catalogue did not come in time
        d.click(d.button("Hall of Awards"))
        latencies = []
        while not d.requested("/index.php?name=awards"):  # answered after 20 s
            latencies.append(d.round_trip())
            self.assertLess(len(latencies), 2000, "the page never came")
        self.assertGreater(len(latencies), 50)
        # Each sample also crosses the accessibility bus and this script, which a
        # busy machine may hold up on their own now and then: one sample in a
        # hundred may be late, none may show the window hanging.
        ranked = sorted(latencies)
        figures = (f"median {ranked[len(ranked) // 2] * 1000:.0f} ms, 99th percentile "
                   f"{ranked[len(ranked) * 99 // 100] * 1000:.0f} ms, slowest {ranked[-1] * 1000:.0f} ms "
                   f"(sample {latencies.index(ranked[-1])} of {len(latencies)})")
        print(f"the window's answers while the page loads: {figures}", flush=True)
        self.assertLess(ranked[len(ranked) * 99 // 100], 0.100 * TIME_SCALE, f"the window was slow to answer: {figures}")
        self.assertLess(ranked[-1], 1.0 * TIME_SCALE, f"the window hung: {figures}")
        d.wait_for_heading("Hall of Awards", 30)


class NothingLost(InAHomeOfItsOwn):
    """A player's login is kept across runs, a store broken by a crash does not
    stop the client, and a second start brings the running window forward."""

    def prepare_home(self):
        os.makedirs(self.data)
        with open(os.path.join(self.data, "cookies.sqlite"), "wb") as store:
            store.write(b"SQLite format 3\0" + bytes(range(256)) * 3)  # cut short while it was written

    def test_a_login_across_a_restart_a_broken_store_and_a_second_start(self):
        d = self.desktop
        self.assertIn("set aside", d.client_output())
        self.assertTrue(any(".set-aside-" in name for name in os.listdir(self.data)))

        self.sign_in("Ada")
        d.restart_client()
        self.open_sign_in()
        d.wait_for_heading("Signed in as Ada")

        subprocess.run(["xdotool", "windowminimize", wait_for("the window", d.client_window)], check=True)
        wait_for("the window minimised", lambda: "HIDDEN" in d.window_states())
        second = subprocess.run([CLIENT], env=self.env, capture_output=True, timeout=30)
        self.assertEqual(second.returncode, 0)
        wait_for("the running window brought forward", lambda: "HIDDEN" not in d.window_states())
        self.assertTrue(d.alive())

        # A data folder that cannot be written: the window says that a login
        # will not be kept, and why; the client runs all the same.
        d.end_client()
        d.wrapper = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                     'mount --bind -o ro "$0" "$0" && exec "$@"', self.data]
        d.start_client(page=None)
        notice = wait_for("the notice", lambda: next((t for t in d.texts() if "will not be kept" in t), None))
        self.assertIn(self.data, notice)
        self.assertIn("Read-only file system", notice)
        count = len(d.requests())
        d.click(d.button("Hall of Awards"))
        d.wait_for_request(lambda p: p == "/index.php?name=awards", "the hall of awards", count)
        d.wait_for_heading("Hall of Awards")
        d.end_client()
        d.wrapper = ()


class ReadingTheToolbar(Journey):
    """What a screen reader says of the toolbar: each control's name and what it
    does now, read again after each change of the number buttons' job."""

    def assert_number_buttons(self, names, descriptions):
        d = self.desktop
        wait_for("the number buttons named " + ", ".join(names), lambda: [b.name for b in d.number_buttons()] == names)
        self.assertEqual([b.description for b in d.number_buttons()], descriptions)

    def assert_shortcuts(self):
        library = self.desktop.chosen().split(":", 1)[1]
        self.assert_number_buttons([f"Library {n}: {library}" for n in range(1, 7)],
                                   ["Opens this library's list of puzzles"] * 6)

    def assert_paging(self, page):
        self.assert_number_buttons(
            ["First page", "Ten pages back", "Previous page", f"Page {page}", "Next page", "Ten pages on"],
            ["Shows the first page of this list", "Goes back ten pages in this list", "Goes back one page in this list",
             "Shows this page of the list again", "Goes on to the next page of this list",
             "Goes on ten pages in this list"])

    def test_names_and_descriptions_after_each_change_of_page(self):
        d = self.desktop
        fixed = {name: d.button(name).description for name in
                 ("Home", "Hall of Awards", "ChampionShip", "Puzzle Guide", "Main Menu")}
        self.assertEqual(fixed, {
            "Home": "Opens the portal's home page", "Hall of Awards": "Opens the portal's hall of awards",
            "ChampionShip": "Opens the portal's championship", "Puzzle Guide": "Opens the portal's guide to its puzzles",
            "Main Menu": "Keyboard shortcuts, and the About window with the version and a way to forget the login"})
        self.assertEqual((d.combo().name, d.combo().description),
                         ("Library", "Opens the list of the library chosen here"))
        for bar in d.all("progress bar"):  # a bar's value is read as a value, between its ends
            value = bar.queryValue()
            self.assertEqual(bar.name, "Loading")
            self.assertTrue(value.minimumValue <= value.currentValue <= value.maximumValue, bar.description)
            self.assertLess(value.minimumValue, value.maximumValue)
        # The start page is none the buttons act on: their names say so.
        self.assert_number_buttons(SHORTCUT, ["Does nothing on this page"] * 6)

        self.open_list(2, "pazzle")
        self.assert_paging(1)
        count = self.click_number(">")
        d.wait_for_request(lambda p: p.endswith("&n=0&n=40"), "page 2", count)
        self.assert_paging(2)

        count = len(d.requests())
        d.click(d.link("Puzzle 41"))
        d.wait_for_request(lambda p: "&op=game" in p, "the game", count)
        self.assert_number_buttons([f"{n} pieces" for n in PIECES],
                                   [f"Plays this puzzle cut into {n} pieces" for n in PIECES])

        count = len(d.requests())
        self.choose_with_mouse(d.combo_items()[4])  # another library: the shortcuts now open it
        d.wait_for_request(lambda p: p.startswith(library("puzzle4")), "the puzzle4 list", count)
        self.assert_paging(2)  # at the page shown last
        d.click(d.button("Home"))
        d.wait_for_heading("Welcome")
        self.assertEqual(d.chosen(), d.combo_items()[4])
        self.assert_shortcuts()

        # A game in a frame of the hall of awards sets the pieces' captions; a
        # click opens a library all the same, and the names say that.
        d.click(d.button("Hall of Awards"))
        d.wait_for_captions(PIECES)
        chosen = d.chosen().split(":", 1)[1]
        self.assert_number_buttons([f"{pieces}: Library {n}: {chosen}" for n, pieces in enumerate(PIECES, start=1)],
                                   ["Opens this library's list of puzzles"] * 6)


class HelpAndAbout(Journey):
    """The command line's answers, the list of keys (F1, wherever the keyboard
    is) and the About window from the window's menu."""

    def run_alone(self, *arguments):
        """The client started from a terminal without a display."""
        env = {name: value for name, value in os.environ.items() if name not in ("DISPLAY", "WAYLAND_DISPLAY")}
        return subprocess.run([CLIENT, *arguments], env=env, capture_output=True, text=True, timeout=30)

    def test_help_version_and_a_mistake_without_a_display(self):
        answer = self.run_alone("--help")
        self.assertEqual((answer.returncode, answer.stderr), (0, ""))
        for option in ("--forget", "--help", "--version"):
            self.assertIn("\n  " + option, answer.stdout)
        answer = self.run_alone("--version")
        self.assertEqual((answer.returncode, answer.stderr), (0, ""))
        self.assertRegex(answer.stdout, rf"^kwirl \d+\.\d+\.\d+\nBuilt for the portal {re.escape(PORTAL)}; "
                                        r"web engine WebKitGTK \d+\.\d+\.\d+ \(webkit2gtk-4\.1\)\.\n")
        # A client runs in this session: a mistake is told all the same, not handed to it.
        # Nor an address that is not one of the portal's pages.
        for mistake in (["--bogus"], ["--help", "--version"], ["http://example.org/"], [f"ftp://{HOST}/"],
                        ["file:///etc/hostname"], ["javascript:alert(1)"], [f"http://{HOST}.example.org/"],
                        [f"http://example.org/?{HOST}"], [f"http://example.org\\@{HOST}/"],
                        [f"http://{HOST}/\r\nX: y"]):
            answer = self.run_alone(*mistake)
            self.assertEqual((answer.returncode, answer.stdout), (2, ""), mistake)
            self.assertIn("Try 'kwirl --help'", answer.stderr)
        self.assertEqual(self.desktop.top_level_windows(), 1)

    def test_f1_wherever_the_keyboard_is_then_about_from_the_menu(self):
        d = self.desktop
        count = len(d.requests())
        d.click(d.link("Show the list (one column)"))
        d.wait_for_request(lambda p: p == "/index.php?name=puzzle1&op=pz1d&n=0", "the list", count)
        top = d.extents(d.link("Puzzle 1")).y
        d.keys("Next")  # the page has the keyboard
        wait_for("Page Down to scroll the page", lambda: d.extents(d.link("Puzzle 1")).y < top - 200)
        keys = readme_keys()
        self.assertGreaterEqual(len(keys), 8)
        for place in ("the page", "the drop-down"):
            d.keys("F1")
            shortcuts = d.window("frame", "Keyboard Shortcuts")
            listed = d.texts(shortcuts)
            self.assertEqual([key for key in keys if key not in listed], [], "keys not listed, F1 in " + place)
            wait_for("the list to have the keyboard", lambda: shortcuts.getState().contains(pyatspi.STATE_ACTIVE))
            d.keys("Escape")
            d.window_gone("frame", "Keyboard Shortcuts")
            d.focus_combo()

        d.click(d.button("Main Menu"))
        d.click(d.control("menu item", "About Kwirl Game Client"))
        about = d.window("frame", "About Kwirl Game Client")
        texts = d.texts(about)
        for text in ("Kwirl Game Client", f"Built for the puzzle portal {PORTAL}", "Free software under the MIT licence:"):
            self.assertIn(text, texts)
        self.assertTrue(any(re.fullmatch(r"Version \d+\.\d+\.\d+", text) for text in texts), texts)
        self.assertTrue(any(re.fullmatch(r"Web engine: WebKitGTK \d+\.\d+\.\d+ \(webkit2gtk-4\.1\)", text) for text in texts), texts)
        licence = d.all("text", about)[0].queryText()
        self.assertIn("Permission is hereby granted, free of charge", licence.getText(0, licence.characterCount))
        d.click(d.control("push button", "Close", about))
        d.window_gone("frame", "About Kwirl Game Client")


class ForgettingTheLogin(InAHomeOfItsOwn):
    """A player forgets the login and everything the portal stored, from the
    About window and from the command line, and the next start is a first one."""

    def prepare_home(self):
        self.neighbour = os.path.join(self.home, ".local", "share", "neighbour", "keep")
        os.makedirs(os.path.dirname(self.neighbour))
        open(self.neighbour, "w").close()

    def forget_from_the_command_line(self):
        return subprocess.run([CLIENT, "--forget"], env=self.env, capture_output=True, text=True, timeout=30)

    def assert_signed_out(self):
        wait_for("the sign-in form", lambda: "Sign in" in self.desktop.headings())

    def test_from_the_about_window_and_from_the_command_line(self):
        d = self.desktop
        self.sign_in("Ada")
        answer = self.forget_from_the_command_line()  # not under a running client
        self.assertEqual(answer.returncode, 1, answer.stdout)
        self.assertIn("running", answer.stderr)
        self.assertTrue(os.path.isdir(self.data))

        d.click(d.button("Main Menu"))
        d.click(d.control("menu item", "About Kwirl Game Client"))
        about = d.window("frame", "About Kwirl Game Client")
        d.click(d.control("push button", "Forget the login and site data…", about))
        count = len(d.requests())
        d.click(d.control("push button", "Forget", about))  # the confirmation
        wait_for("the data forgotten", lambda: "The login and site data are forgotten." in d.texts(about))
        d.wait_for_request(lambda p: p == "/index.php?name=puzzle1", "the start page", count)
        d.click(d.control("push button", "Close", about))
        self.open_sign_in()
        self.assert_signed_out()
        d.restart_client()
        self.open_sign_in()
        self.assert_signed_out()

        self.sign_in("Bob")
        d.end_client()
        # What the engine's sandbox left of a client that ended without cleaning up (killed).
        leftover = os.path.join(self.home, ".cache", ".flatpak", "webkit-4194305-1")
        os.makedirs(leftover)
        open(os.path.join(leftover, "bwrapinfo.json"), "w").close()
        answer = self.forget_from_the_command_line()
        self.assertEqual((answer.returncode, answer.stderr), (0, ""))
        self.assertEqual(answer.stdout.split(), ["removed", self.data, "removed", self.cache])
        self.assertFalse(os.path.exists(self.data) or os.path.exists(self.cache) or os.path.exists(leftover))
        self.assertTrue(os.path.exists(self.neighbour))  # nothing but the client's own folders
        d.start_client()
        self.open_sign_in()
        self.assert_signed_out()


class AForgetThatHolds(InAHomeOfItsOwn):
    """After "Forget the login and site data" nothing of before comes back:
    neither Back nor Forward shows a page of the signed-in player or sends the
    sign-in again, and the cookie stays gone from the store."""

    def test_sign_in_forget_then_back_and_forward(self):
        d = self.desktop
        self.sign_in("Ada")
        count = len(d.requests())
        d.click(d.button("Home"))
        d.wait_for_request(lambda p: p == "/index.php", "the home page", count)
        d.click(d.button("Main Menu"))
        d.click(d.control("menu item", "About Kwirl Game Client"))
        about = d.window("frame", "About Kwirl Game Client")
        d.click(d.control("push button", "Forget the login and site data…", about))
        forgotten = len(d.requests())
        d.click(d.control("push button", "Forget", about))
        wait_for("the data forgotten", lambda: "The login and site data are forgotten." in d.texts(about))
        d.wait_for_request(lambda p: p == "/index.php?name=puzzle1", "the start page", forgotten)
        d.click(d.control("push button", "Close", about))
        d.window_gone("frame", "About Kwirl Game Client")
        d.wait_for_heading("Zededo")

        for key in ["alt+Left"] * 5 + ["alt+Right"] * 3:
            d.mouse("key", key)
            d.round_trip()  # the window has taken the key
            self.assertFalse([h for h in d.headings() if "Signed in" in h], key)
        # The keys reach the history: a page opened now is the one Back leaves.
        count = len(d.requests())
        d.click(d.button("Hall of Awards"))
        d.wait_for_heading("Hall of Awards")
        d.mouse("key", "alt+Left")
        d.wait_for_heading("Zededo")
        self.assertEqual([line for line in d.requests()[forgotten:] if "player=" in line], [])

        d.end_client()  # the engine writes its cookie store as it ends
        store = sqlite3.connect(os.path.join(self.data, "cookies.sqlite"))
        self.assertEqual(store.execute("SELECT name FROM moz_cookies").fetchall(), [])
        store.close()

class OneClientPerDataFolder(InAHomeOfItsOwn):
    """Whether a client runs is a fact of its data folder, not of a session: a
    shell without the client's bus (cron, su, another login) can neither forget
    under it nor open a second window on its stores, and a client started while
    a forget holds the folder does not start."""

    def another_shell(self):
        """The player's environment, without the session's bus and runtime folder."""
        env = {name: value for name, value in self.env.items() if name != "DBUS_SESSION_BUS_ADDRESS"}
        env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="kwirl-runtime-", dir=self.home)
        return env

    def test_forget_and_a_second_start_from_another_shell_then_a_start_during_a_forget(self):
        d = self.desktop
        self.sign_in("Ada")
        forget = subprocess.run([CLIENT, "--forget"], env=self.another_shell(), capture_output=True, text=True,
                                timeout=30)
        self.assertEqual((forget.returncode, forget.stdout), (1, ""), forget.stderr)
        self.assertIn("running", forget.stderr)
        self.assertTrue(os.path.exists(os.path.join(self.data, "cookies.sqlite")))

        second = subprocess.run([CLIENT], env=self.another_shell(), capture_output=True, text=True, timeout=30)
        self.assertEqual(second.returncode, 1, second.stderr)
        self.assertIn(self.data, second.stderr)
        self.assertTrue(d.alive())

        # A forget holds the data folder's lock while it removes: a start then gives up.
        d.end_client()
        with open(os.path.join(self.data, "running.lock"), "a") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            during = subprocess.run([CLIENT], env=self.env, capture_output=True, text=True, timeout=30)
        self.assertEqual(during.returncode, 1, during.stderr)
        self.assertIn(self.data, during.stderr)
        d.start_client(page=None)  # where the player left off: the answer to the sign-in
        self.open_sign_in()
        d.wait_for_heading("Signed in as Ada")

        # A forget that cannot do everything says what it did: the login is gone.
        d.end_client()
        forget = subprocess.run([CLIENT, "--forget"], env=dict(self.env, XDG_CACHE_HOME="relative/cache"),
                                capture_output=True, text=True, timeout=30)
        self.assertEqual((forget.returncode, forget.stdout), (1, f"removed {self.data}\n"), forget.stderr)
        self.assertIn("cache directory is not an absolute path", forget.stderr)
        self.assertFalse(os.path.exists(self.data))


if __name__ == "__main__":
    unittest.main()
