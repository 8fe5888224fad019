# SPDX-License-Identifier: MIT
"""The client writes no files of its own: across a start-up, a few
navigations and a file offered for saving but not saved, every file written
is the browser engine's cache, cookie and storage, or the system's, never one
of the client's nor the toolkit's record of it; and once it has ended, the
player's home holds nothing of it but its own two folders."""

import os
import re
import shutil
import tempfile
import unittest

from desktop import Desktop, wait_for
from test_journeys import CLIENT, HOST, SOURCE

# Where the engine keeps its cache, cookies and storage, and where the session
# bus and the graphics driver keep theirs (under the home folder). The engine's
# sandbox keeps what it tells its page processes in the runtime folder (the
# cache folder without one) while they run; the toolkit's file chooser makes
# a folder to read its lists of places from, and writes the player's list of
# recent files: each of these is gone again once the client has ended.
ALLOWED_IN_HOME = (".cache/kwirl/", ".local/share/kwirl/", ".local/state/kwirl/", ".cache/webkitgtk/", ".cache/.flatpak/",
                   ".cache/dconf/", ".cache/mesa_shader_cache/", ".cache/fontconfig/", ".dbus/",
                   ".config/gtk-3.0/", ".local/share/recently-used.xbel")
# What may be left in the home folder once the client has ended: its own
# folders, the system's caches, and the socket through which the engine's
# sandboxed pages reach the accessibility bus (in the runtime folder, shared by
# every program on the engine).
KEPT_IN_HOME = {".cache/kwirl", ".local/share/kwirl", ".local/state/kwirl", ".cache/mesa_shader_cache", ".cache/fontconfig",
                ".cache/dconf", ".dbus", ".cache/webkitgtk/at-spi-bus"}
# Outside it: devices, kernel files, runtime sockets, and what the sandbox sets up
# in its own new root (mount points, bind files, its namespace's id maps; the
# bubblewrap of Debian 13 makes the root's "proc" by a name relative to it).
ALLOWED_ELSEWHERE = ("/dev/", "/proc/", "/sys/", "/run/", "/tmp/", "/newroot/", "/oldroot/", "newroot", "oldroot",
                     "proc", "pts/", "/root/.cache/mesa_shader_cache/", "/bindfile", "uid_map", "gid_map", "setgroups")
WRITING = re.compile(r'(open|openat|creat)\(.*"(?P<path>[^"]*)".*(O_WRONLY|O_RDWR|O_CREAT)|'
                     r'(mkdir|mkdirat|rename|renameat2?|link|symlink|truncate)\(.*"(?P<other>[^"]*)"')
# A name relative to a folder's descriptor (the sandbox sets up its root so), told
# with that folder's path (strace -y).
FOLDER_OF_AT_CALL = re.compile(r'\w+\(\d+<(?P<folder>[^>]*)>, "')


class NoFilesOfItsOwn(unittest.TestCase):
    def test_start_up_and_navigations(self):
        home = tempfile.mkdtemp(prefix="kwirl-home-")
        work = tempfile.mkdtemp(prefix="kwirl-cwd-")
        trace = os.path.join(tempfile.mkdtemp(prefix="kwirl-trace-"), "strace.log")
        env = dict(os.environ, HOME=home)
        for variable in ("XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"):
            env.pop(variable, None)
        wrapper = ("strace", "-f", "-qq", "-y", "-o", trace, "-e",
                   "trace=open,openat,creat,mkdir,mkdirat,rename,renameat,renameat2,link,symlink,truncate")
        desktop = Desktop(CLIENT, HOST, SOURCE, wrapper=wrapper, cwd=work, env=env)
        try:
            desktop.click(desktop.button("Hall of Awards"))
            desktop.wait_for_request(lambda p: p == "/index.php?name=awards", "the hall of awards")
            desktop.click(desktop.button("Home"))
            desktop.wait_for_request(lambda p: p == "/index.php", "the home page")
            desktop.click(desktop.link("Big life puzzle library"))
            desktop.wait_for_request(lambda p: p == "/index.php?name=puzzle2", "a library page")
            # A file offered, the place to save it asked for, and nothing saved.
            desktop.click(desktop.link("Show the list (one column)"))
            desktop.click(desktop.link("Puzzle 1"))
            desktop.click(desktop.link("Download the picture, solved"))
            wait_for("the file chooser", lambda: desktop.all("file chooser"))
            desktop.keys("Escape")
            wait_for("the file chooser closed", lambda: not desktop.all("file chooser"))
        finally:
            desktop.close()

        written = set()
        with open(trace) as log:
            for line in log:
                if "ENOENT" in line or "EEXIST" in line:
                    continue
                match = WRITING.search(line)
                if match:
                    path = match.group("path") or match.group("other")
                    folder = FOLDER_OF_AT_CALL.search(line)
                    if not os.path.isabs(path) and folder:
                        path = os.path.join(folder.group("folder"), path)
                    written.add(path)
        own = []
        for path in sorted(written):
            inside = os.path.normpath(path).startswith(home)
            # A folder is named with its slash, whether it is still there or not.
            relative = os.path.relpath(path, home) + "/" if inside else path
            if inside and (relative in ("./", ".cache/", ".local/", ".local/share/", ".local/state/", ".config/") or
                           relative.startswith(ALLOWED_IN_HOME)):
                continue
            if not inside and path.startswith(ALLOWED_ELSEWHERE):
                continue
            own.append(path)
        self.assertEqual(own, [], "files written that are neither the engine's nor the system's")
        self.assertEqual(os.listdir(work), [], "files left in the working folder")
        left = set()
        for folder, subfolders, files in os.walk(home):
            for name in subfolders + files:
                relative = os.path.relpath(os.path.join(folder, name), home)
                if not any(relative == kept or relative.startswith(kept + "/") or kept.startswith(relative + "/")
                           for kept in KEPT_IN_HOME):
                    left.add(relative)
        self.assertEqual(sorted(left), [], "left in the home folder once the client ended")
        for folder in (home, work, os.path.dirname(trace)):
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    unittest.main()
