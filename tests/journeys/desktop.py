# SPDX-License-Identifier: MIT
"""Driving the real client as a person does: the demo portal on loopback, the
client binary on a virtual desktop, real clicks and key presses through
xdotool, and what happened read from outside the client: the portal's record
of requests, and the controls' captions through the accessibility bus."""

import math
import os
import shutil
import re
import signal
import subprocess
import tempfile
import time

import pyatspi
from gi.repository import GLib

TITLE = "Kwirl Mozalo Laboratory"
# The number buttons' accessible names say what each does; the caption it shows
# follows from the name.
PAGING_NAMES = {"First page": "|<", "Ten pages back": "<<", "Previous page": "<", "Next page": ">",
                "Ten pages on": ">>"}
NAME_WITH_CAPTION = re.compile(r"Library (\d+): .*|(\d+) pieces|Page (\d+)", re.S)
# What AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer write when they find something.
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:")
# How many times slower the client under test runs than the release build: the
# sanitizer build unwinds the stack at every allocation. Waits and time budgets
# stretch by this factor; nothing else changes.
TIME_SCALE = float(os.environ.get("KWIRL_TIME_SCALE", "1"))


class JourneyError(AssertionError):
    pass


# The journeys name roles as Debian 12's accessibility library does; Debian 13's
# names a push button's role "button".
ROLE_NAMES = {"button": "push button"}


def role_of(node):
    """The node's role, by the name the journeys use on every release."""
    name = node.getRoleName()
    return ROLE_NAMES.get(name, name)


# The libraries of the demo portal's catalogue.
DEMO_CATALOGUE_LIBRARIES = 9


def wait_for(what, condition, timeout=15.0):
    """Asks `condition` every 50 ms until it gives something true, for at most `timeout` s
    (times the build's TIME_SCALE)."""
    deadline = time.monotonic() + timeout * TIME_SCALE
    while True:
        try:
            result = condition()
        except GLib.GError:  # a control went away under the question: ask again
            result = None
        if result:
            return result
        if time.monotonic() > deadline:
            raise JourneyError("gave up waiting for " + what)
        time.sleep(0.05)  # the client runs in another process: look again shortly


def caption_of(name):
    """The caption a number button shows, from its accessible name; in another
    language, the first number the name holds (it comes first in every mode)."""
    match = NAME_WITH_CAPTION.fullmatch(name)
    if match:
        return next(group for group in match.groups() if group)
    number = re.search(r"\d+", name)
    return PAGING_NAMES.get(name, number.group() if number else name)


def parent_of(pid):
    """The parent's pid, read from /proc (OSError once the process is gone)."""
    with open(f"/proc/{pid}/stat") as stat:
        return int(stat.read().rsplit(")", 1)[1].split()[1])


# How the client under test reaches its portal: the scheme it was built for.
PORTAL_SCHEME = os.environ.get("KWIRL_PORTAL_SCHEME", "http")


class Desktop:
    def __init__(self, client, portal_host, source_dir, slow_pages="", wrapper=(), cwd=None, env=None,
                 catalogue=None, start_page_timeout=30, file_pages="", scheme=PORTAL_SCHEME):
        self.client_path = client
        self.portal_host = portal_host
        self.scheme = scheme
        self.log = tempfile.NamedTemporaryFile(prefix="kwirl-portal-", suffix=".log", delete=False).name
        self.client_log = self.log.replace(".log", "-client.log")
        # Over TLS the portal shows a certificate made when it starts, which the
        # test copy of the client is told to trust.
        self.certificate = self.log.replace(".log", "-certificate.pem") if scheme == "https" else None
        self.client = None
        self.source_dir = source_dir
        self.slow_pages = slow_pages
        self.file_pages = file_pages
        self.catalogue = catalogue
        self.start_page_timeout = start_page_timeout
        self.portal = None
        # A data folder of the journey's own unless it brings a home of its own:
        # the client starts again where the last run left off, and a journey
        # begins at the start page.
        own_home = env is not None and env.get("HOME") != os.environ.get("HOME")
        self.data_home = None if own_home else tempfile.mkdtemp(prefix="kwirl-journey-data-")
        if not own_home:
            env = dict(os.environ if env is None else env, XDG_DATA_HOME=self.data_home)
        self.wrapper, self.cwd, self.env = wrapper, cwd, env
        open(self.client_log, "w").close()
        try:
            self.start_portal()
            self.start_client()
        except BaseException:
            self.close()
            raise

    def start_client(self, page="/index.php?name=puzzle1", arguments=(), wait=True, toolbar_only=False):
        """Starts the client (with `arguments`) and waits until it asks for `page`
        (None: the page it left off at, whichever) and shows its toolbar; with
        `toolbar_only` (the portal away, a page still on its way), only until
        it shows its toolbar; without `wait`, until its window is there."""
        count = len(self.requests())
        with open(self.client_log, "a") as output:
            self.client = subprocess.Popen([*self.wrapper, self.client_path, *arguments], stdout=output,
                                           stderr=subprocess.STDOUT, cwd=self.cwd, env=self.client_env())
        self.app = wait_for("the client on the accessibility bus", self._find_app, 30)
        if not wait:
            return
        if toolbar_only:
            wait_for("the captions", lambda: len(self.number_buttons()) == 6, 10)
            return
        if page is None:
            self.wait_for_request(lambda p: p.startswith("/index.php") and not p.startswith("/index.php?name=servstop"),
                                  "the page left off at", count, self.start_page_timeout)
        else:
            self.wait_for_request(lambda p: p == page, "the page " + page, count, self.start_page_timeout)
        wait_for("the captions", lambda: len(self.number_buttons()) == 6, 10)
        if not self.catalogue and not self.slow_pages:
            # The catalogue comes beside the start page: the journeys begin once it is in.
            wait_for("the catalogue's libraries", lambda: len(self.combo_items()) == DEMO_CATALOGUE_LIBRARIES, 10)
        elif self.catalogue:
            # A catalogue of the test's making may leave the built-in list as it
            # was: the journey begins once the fetch has ended, whatever it gave.
            self.wait_for_request(lambda p: p == "/index.php?name=servstop", "the catalogue's request", count)
            wait_for("the catalogue fetch to end", lambda: self.catalogue_connections() == 0, 15)

    def client_env(self):
        """The client's environment: the journey's, and the portal's certificate to trust."""
        if not self.certificate:
            return self.env
        env = dict(os.environ if self.env is None else self.env)
        env["KWIRL_TEST_CA_FILE"] = self.certificate
        return env

    def restart_client(self, page=None):
        """Closes the client as a person's session does, and starts it again: at
        the page it left off at, or where `page` says."""
        self.end_client()
        self.start_client(page)

    def start_portal(self):
        self.portal = subprocess.Popen(
            ["python3", os.path.join(self.source_dir, "demo-portal", "server.py"), "--listen", self.portal_host,
             "--log", self.log, "--slow", self.slow_pages, "--as-file", self.file_pages] + (["--catalogue", self.catalogue] if self.catalogue else []) +
            (["--tls", "--certificate", self.certificate] if self.certificate else []))
        wait_for("the portal to listen", lambda: self._portal_listens() or self.portal.poll() is not None, 10)
        if self.portal.poll() is not None:
            raise JourneyError(f"the demo portal could not listen on {self.portal_host} (is another one running?)")

    def stop_portal(self):
        self.portal.terminate()
        self.portal.wait()

    def _portal_listens(self):
        import socket
        host, _, port = self.portal_host.rpartition(":")
        try:
            socket.create_connection((host, int(port)), timeout=1).close()
            return True
        except OSError:
            return False

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "kwirl" and app.get_process_id() == self._client_pid() \
                    and self._frames(app):
                return app
        return None

    @staticmethod
    def _frames(app):
        return [child for child in app if child is not None and role_of(child) == "frame"]

    # --- what the portal saw -------------------------------------------------

    def requests(self):
        with open(self.log) as log:
            return [line.rstrip("\n") for line in log]

    def requested(self, path):
        return any(line.split("\t")[0] == path for line in self.requests())

    def wait_for_request(self, predicate, what, after=0, timeout=15.0):
        """The first request past the first `after` ones that satisfies `predicate`."""
        def found():
            for line in self.requests()[after:]:
                if predicate(line.split("\t")[0]):
                    return line
            return None
        return wait_for(what, found, timeout)

    # --- the window's controls ---------------------------------------------

    WEB_ROLES = ("link", "heading", "entry")

    def all(self, role, root=None, in_page=False):
        """Every control of the role; the page's content is searched only for its
        own roles, or when `in_page` says so.

        The page changes under a search while it loads: a node that has gone is passed over."""
        found = []
        into_page = in_page or role in self.WEB_ROLES

        def walk(node, depth):
            if depth > 40:
                return
            try:
                children = [child for child in node if child is not None]
            except GLib.GError:
                return
            for child in children:
                try:
                    child_role = role_of(child)
                except GLib.GError:
                    continue
                if child_role == role:
                    found.append(child)
                if child_role != "document web" or into_page:
                    walk(child, depth + 1)
        walk(root or self.app, 0)
        return found

    def button(self, name):
        for button in self.all("push button"):
            if button.name == name:
                return button
        raise JourneyError("no button " + repr(name))

    def number_buttons(self):
        buttons = self.all("push button")
        names = [b.name for b in buttons]
        if "ChampionShip" not in names or "Puzzle Guide" not in names:
            return []
        return buttons[names.index("ChampionShip") + 1:names.index("Puzzle Guide")]

    def captions(self):
        return [caption_of(b.name) for b in self.number_buttons()]

    def wait_for_captions(self, expected, timeout=15.0):
        wait_for("the captions " + " ".join(expected), lambda: self.captions() == expected, timeout)

    def combo(self):
        return self.all("combo box")[0]

    def combo_items(self):
        return [item.name for item in self.all("menu item", self.combo())]

    def chosen(self):
        """The drop-down's chosen entry."""
        return self.combo().querySelection().getSelectedChild(0).name

    def _shown_window(self, role, name):
        """The client's window with the role and name (its windows beside the main
        one are frames too) while it shows, or None."""
        for child in self.app:
            if child is not None and role_of(child) == role and child.name == name \
                    and child.getState().contains(pyatspi.STATE_SHOWING):
                return child
        return None

    def window(self, role, name, timeout=15.0):
        """The client's window with the role and name, once it shows."""
        return wait_for(f"the {role} {name!r}", lambda: self._shown_window(role, name), timeout)

    def window_gone(self, role, name, timeout=15.0):
        wait_for(f"the {role} {name!r} closed", lambda: self._shown_window(role, name) is None, timeout)

    def texts(self, root=None):
        """The names of the labels in a window (the main one unless given), in order."""
        return [label.name for label in self.all("label", root)]

    def control(self, role, name, root=None, timeout=15.0):
        """A control of the role and name, once it is on the screen."""
        def find():
            for found in self.all(role, root):
                if found.name == name and self.extents(found).height > 0:
                    return found
            return None
        return wait_for(f"the {role} {name!r}", find, timeout)

    def bars(self):
        """Positions of the left and right bars as fractions of their range."""
        values = [bar.queryValue() for bar in self.all("progress bar")]
        return [v.currentValue / (v.maximumValue or 1) for v in values]

    def page_button(self, name, timeout=15.0):
        """A button of the page shown (not the toolbar's), once it is on the screen."""
        return wait_for("the page's button " + repr(name), lambda: next(
            (b for b in self.all("push button", in_page=True) if b.name == name and
             b.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).width > 0), None), timeout)

    def link(self, name, timeout=15.0):
        def find():
            for link in self.all("link"):
                if link.name == name:
                    extents = link.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    if extents.width > 0 and extents.height > 0:
                        return link
            return None
        return wait_for("the link " + repr(name), find, timeout)

    def catalogue_connections(self):
        """The client's own TCP connections to the portal: the catalogue fetch's (the
        engine's pages come through its network process)."""
        pid = self._client_pid()
        sockets = set()
        for fd in os.listdir(f"/proc/{pid}/fd"):
            try:
                link = os.readlink(f"/proc/{pid}/fd/{fd}")
            except OSError:  # closed meanwhile
                continue
            if link.startswith("socket:["):
                sockets.add(link[len("socket:["):-1])
        port = ":%04X" % int(self.portal_host.rpartition(":")[2])
        with open(f"/proc/{pid}/net/tcp") as table:
            rows = [row.split() for row in table.readlines()[1:]]
        return sum(1 for row in rows if row[2].endswith(port) and row[9] in sockets)

    def top_level_windows(self):
        return len(self._frames(self.app))

    def headings(self):
        return [heading.name for heading in self.all("heading")]

    def wait_for_heading(self, text, timeout=15.0):
        wait_for("the heading " + repr(text), lambda: any(text in name for name in self.headings()), timeout)

    def extents(self, accessible):
        return accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def client_window(self):
        """The X window of the client's main window, or None. Its process also
        owns an unmapped leader window; without --all, xdotool would list any
        window of the process or of that name."""
        windows = subprocess.run(["xdotool", "search", "--all", "--pid", str(self.client.pid), "--name", TITLE],
                                 capture_output=True, text=True).stdout.split()
        return windows[0] if len(windows) == 1 else None

    def window_states(self):
        """The window manager's states of the client's window (full screen, maximised ...)."""
        window = self.client_window()
        if not window:
            return ""
        return subprocess.run(["xprop", "-id", window, "_NET_WM_STATE"], capture_output=True, text=True).stdout

    def round_trip(self):
        """Seconds for the client to answer one question about its left bar: the
        question is answered in the client's main loop, so this is how long that
        loop makes a person wait. Paced at 20 questions a second."""
        if getattr(self, "_bar_of", None) != self.app:  # the bar of this run of the client
            self._bar, self._bar_of = self.all("progress bar")[0], self.app
        # The bus library gives up after 0.8 s and then answers for the client:
        # this one question waits as long as the client takes, up to a minute.
        pyatspi.setTimeout(60_000, 15_000)
        started = time.monotonic()
        try:
            self._bar.queryValue().currentValue
            taken = time.monotonic() - started
        except GLib.GError:
            return math.inf
        finally:
            pyatspi.setTimeout(800, 15_000)  # the library's own limits, for everything else
        time.sleep(max(0.0, 0.05 - taken))  # a sample every 50 ms, not a wait for anything
        return taken

    def web_processes(self):
        """The engine's page processes of the client (under its sandbox, if any)."""
        return self.engine_processes("WebKitWebProcess")

    def engine_processes(self, name):
        """The engine's processes of the client called `name`."""
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                    command = cmdline.read().split(b"\0")
                pid = int(entry)
                if not command or not command[0].endswith(name.encode()):
                    continue
                while pid > 1 and pid != self.client.pid:
                    pid = parent_of(pid)
                if pid == self.client.pid:
                    found.append(int(entry))
            except (OSError, ValueError, IndexError):
                continue
        return found

    # --- a person's hands ---------------------------------------------------

    def click(self, accessible):
        extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)

    def click_close_button(self):
        """The close button of the client window's title bar, at the right end
        of the frame the window manager draws above the window."""
        window = self.client_window()
        # xwininfo, not xdotool: under a reparenting window manager xdotool
        # counts the frame's offset twice.
        info = subprocess.run(["xwininfo", "-id", window], capture_output=True, text=True, check=True).stdout
        where = {key.strip(): value.strip() for key, _, value in
                 (line.partition(":") for line in info.splitlines())}
        extents = subprocess.run(["xprop", "-id", window, "_NET_FRAME_EXTENTS"], capture_output=True,
                                 text=True).stdout
        _, right, top, _ = (int(n) for n in extents.split("=")[1].split(","))
        x = int(where["Absolute upper-left X"]) + int(where["Width"]) + right - top // 2
        y = int(where["Absolute upper-left Y"]) - top // 2
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "80", *names], check=True)

    def mouse(self, *steps):
        """Mouse steps in xdotool's words, over the middle of the page."""
        subprocess.run(["xdotool", "mousemove", "640", "600", *steps], check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "80", text], check=True)

    def focus_combo(self):
        """Gives the drop-down the keyboard focus, closed, the way a person would: open it, then Escape."""
        self.click(self.combo())
        time.sleep(0.3)  # the list drops down
        self.keys("Escape")
        time.sleep(0.3)  # and closes again

    def alive(self):
        return self.client.poll() is None

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", path], check=False)

    def client_output(self):
        with open(self.client_log) as output:
            return output.read()

    def _client_pid(self):
        """The client's own process: the one started, or the one its wrapper started."""
        if not self.wrapper:
            return self.client.pid
        client = os.path.realpath(self.client_path)
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                if parent_of(entry) == self.client.pid and os.path.realpath(f"/proc/{entry}/exe") == client:
                    return int(entry)
            except (OSError, ValueError, IndexError):
                continue
        return self.client.pid

    def close(self):
        """Ends the client and the portal; raises if the client did not end cleanly."""
        problem = None
        try:
            self.end_client()
        except JourneyError as error:
            problem = str(error)
        if self.portal is not None:
            self.portal.terminate()
            self.portal.wait()
        tls_files = (self.certificate, self.certificate + ".key") if self.certificate else ()
        for path in (self.log, self.client_log, *tls_files):
            if os.path.exists(path):
                os.unlink(path)
        if self.data_home:
            shutil.rmtree(self.data_home, ignore_errors=True)
        if problem:
            raise JourneyError(problem)

    def end_client(self):
        """Ends the client as a session does, and checks that it ended cleanly:
        status 0, and nothing from a sanitizer (when built with one)."""
        problem = None
        if self.client is not None and self.client.poll() is None:
            os.kill(self._client_pid(), signal.SIGTERM)
            try:
                status = self.client.wait(30)
                output = self.client_output()
                if status != 0:
                    problem = f"the client ended with status {status}:\n{output[-3000:]}"
                elif any(word in output for word in SANITIZER_REPORTS):
                    problem = "the client's sanitizer report:\n" + output[-6000:]
            except subprocess.TimeoutExpired:
                self.client.kill()
                problem = "the client did not end within 30 s of SIGTERM"
        if problem:
            raise JourneyError(problem)
