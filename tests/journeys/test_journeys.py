# SPDX-License-Identifier: MIT
"""The journeys of a person using the client, end to end."""

import os
import random
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
import urllib.request

from desktop import DEMO_CATALOGUE_LIBRARIES, TIME_SCALE, Desktop, JourneyError, wait_for

CLIENT = os.environ.get("KWIRL_CLIENT", "build/app/kwirl")
HOST = os.environ.get("KWIRL_PORTAL_HOST", "127.0.0.1:8642")
SOURCE = os.environ.get("KWIRL_SOURCE_DIR", ".")
ARTIFACTS = os.environ.get("KWIRL_ARTIFACTS", "")

SHORTCUT = ["1", "2", "3", "4", "5", "6"]
PIECES = ["4", "16", "36", "64", "100", "144"]
# The libraries of the client's built-in list, offered when the catalogue fails.
BUILTIN_LIBRARIES = 7


def paging(page):
    return ["|<", "<<", "<", str(page), ">", ">>"]


def library(name):
    """A library's address as the catalogue gives it."""
    return f"/index.php?name={name}&op=pz6m&src=zZz"


class Journey(unittest.TestCase):
    slow_pages = ""

    def setUp(self):
        self.desktop = Desktop(CLIENT, HOST, SOURCE, self.slow_pages)

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

    def click_number(self, caption):
        d = self.desktop
        count = len(d.requests())
        d.click(d.number_buttons()[d.captions().index(caption)])
        return count


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
        self.assertEqual(d.combo().name, items[0])
        self.assertEqual(d.captions(), SHORTCUT)


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
        self.assertEqual(d.combo().name, "6:Super Crazy Fantasy Art library")

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


class APortalThatIsAway(Journey):
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
        self.assertIn("Library", d.labels())
        self.assertEqual(d.combo_items()[8], "8:Mountain puzzle library")

        # The toolkit gives a button's tool tip to screen readers as its
        # description; the tool tip windows themselves are not on the bus.
        for caption, tip in (("Hall of Awards", "Ruhmeshalle"), ("ChampionShip", "Meisterschaft"),
                             ("Puzzle Guide", "Puzzle-Anleitung")):
            self.assertEqual(d.button(caption).description, tip)

        d.stop_portal()
        d.click(d.button("Hall of Awards"))
        d.wait_for_heading("Das Portal ist nicht erreichbar")
        d.wait_for_captions(SHORTCUT)


class SavingAPicture(Journey):
    """A file a page offers is saved where the player says, after asking; an
    existing file is not replaced unasked, and a file that cannot be written is
    said so."""

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="kwirl-home-")
        self.folder = os.path.join(self.home, "Saved puzzles")
        os.makedirs(self.folder)
        os.makedirs(os.path.join(self.home, ".config"))
        with open(os.path.join(self.home, ".config", "user-dirs.dirs"), "w") as dirs:
            dirs.write('XDG_DOWNLOAD_DIR="$HOME/Saved puzzles"\n')
        env = {name: value for name, value in os.environ.items()
               if name not in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME")}
        env["HOME"] = self.home
        self.desktop = Desktop(CLIENT, HOST, SOURCE, env=env)

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.home, ignore_errors=True)

    def dialog(self, role, text=None):
        """The open dialog of the role, showing `text` if given."""
        d = self.desktop
        def find():
            for found in d.all(role):
                if text is None or any(text in label.name for label in d.all("label", found)):
                    return found
            return None
        return wait_for(f"a {role} dialog" + (f" saying {text!r}" if text else ""), find)

    def test_save_a_solved_picture_then_keep_it_then_fail_to_write(self):
        d = self.desktop
        self.open_list(2, "pazzle")
        d.click(d.link("Puzzle 1"))
        d.wait_for_captions(PIECES)
        picture = "/index.php?name=pazzle&op=picture&id=0"
        with urllib.request.urlopen(f"http://{HOST}{picture}") as reply:
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
        time.sleep(0.5)  # the question closes
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


class NothingLost(Journey):
    """A player's login is kept across runs, a store broken by a crash does not
    stop the client, and a second start brings the running window forward."""

    def setUp(self):
        self.home = tempfile.mkdtemp(prefix="kwirl-home-")
        self.data = os.path.join(self.home, ".local", "share", "kwirl")
        os.makedirs(self.data)
        with open(os.path.join(self.data, "cookies.sqlite"), "wb") as store:
            store.write(b"SQLite format 3\0" + bytes(range(256)) * 3)  # cut short while it was written
        self.env = {name: value for name, value in os.environ.items() if not name.startswith("XDG_")}
        self.env["HOME"] = self.home
        self.desktop = Desktop(CLIENT, HOST, SOURCE, env=self.env)

    def tearDown(self):
        super().tearDown()
        shutil.rmtree(self.home, ignore_errors=True)

    def sign_in_page(self):
        d = self.desktop
        count = len(d.requests())  # the portal's record outlives a restart of the client
        d.click(d.link("Sign in"))
        d.wait_for_request(lambda p: p == "/index.php?name=signin", "the sign-in page", count)

    def test_a_login_across_a_restart_a_broken_store_and_a_second_start(self):
        d = self.desktop
        self.assertIn("set aside", d.client_output())
        self.assertTrue(any(".set-aside-" in name for name in os.listdir(self.data)))

        self.sign_in_page()
        d.click(wait_for("the name field", lambda: next(iter(d.all("entry")), None)))
        d.type("Ada")
        d.keys("Return")
        d.wait_for_heading("Signed in as Ada")

        d.restart_client()
        self.sign_in_page()
        d.wait_for_heading("Signed in as Ada")

        subprocess.run(["xdotool", "windowminimize", wait_for("the window", d.client_window)], check=True)
        wait_for("the window minimised", lambda: "HIDDEN" in d.window_states())
        second = subprocess.run([CLIENT], env=self.env, capture_output=True, timeout=30)
        self.assertEqual(second.returncode, 0)
        wait_for("the running window brought forward", lambda: "HIDDEN" not in d.window_states())
        self.assertTrue(d.alive())


if __name__ == "__main__":
    unittest.main()
