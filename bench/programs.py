# SPDX-License-Identifier: MIT
"""The programs a benchmark compares, seen from outside: their process trees,
what those cost, when their windows appear, and how they are stopped."""

import os
import select
import signal
import subprocess
import sys
import time


def parent_of(pid):
    """The parent's pid, or None for a process that is gone."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return int(stat.read().rsplit(")", 1)[1].split()[1])
    except (OSError, IndexError, ValueError):
        return None


def process_tree(pid):
    """The process and every descendant."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            parent = parent_of(int(entry))
            if parent is not None:
                children.setdefault(parent, []).append(int(entry))
    tree, todo = [], [pid]
    while todo:
        current = todo.pop()
        tree.append(current)
        todo.extend(children.get(current, []))
    return tree


def descends_from(pid, ancestor):
    """Whether pid is ancestor or one of its descendants (cheap: walks up, scans nothing)."""
    while pid is not None and pid > 1:
        if pid == ancestor:
            return True
        pid = parent_of(pid)
    return pid == ancestor


def pss_mib(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024


def descriptors(pid):
    """How many files, sockets and pipes the process has open."""
    try:
        return len(os.listdir(f"/proc/{pid}/fd"))
    except OSError:
        return 0


def threads(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("Threads:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class WindowWatch:
    """When a window of a process tree is mapped, from the window manager's client list."""

    def __init__(self):
        from Xlib import X, display  # only the benchmarks that watch windows need python3-xlib
        self.X = X
        self.display = display.Display()
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=self.X.PropertyChangeMask | self.X.SubstructureNotifyMask)
        self.client_list = self.display.intern_atom("_NET_CLIENT_LIST")
        self.wm_pid = self.display.intern_atom("_NET_WM_PID")

    def mapped_window_of(self, root_pid):
        value = self.root.get_full_property(self.client_list, self.X.AnyPropertyType)
        for window_id in (value.value if value else []):
            window = self.display.create_resource_object("window", window_id)
            try:
                pid = window.get_full_property(self.wm_pid, self.X.AnyPropertyType)
                if pid and descends_from(pid.value[0], root_pid) and window.get_attributes().map_state == self.X.IsViewable:
                    return True
            except Exception:  # a window that went away meanwhile
                pass
        return False

    def wait_for_window(self, root_pid, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.mapped_window_of(root_pid):
                return time.time()
            # Block until the window manager maps a window or changes its client list.
            select.select([self.display], [], [], 0.05)
            while self.display.pending_events():
                self.display.next_event()
        raise RuntimeError("no window was mapped")


def print_output_of(name, output):
    """After a program failed: the end of what it printed, into `output`."""
    output.seek(0)
    print(f"{name} failed; its output:\n" + output.read().decode(errors="replace")[-3000:], file=sys.stderr)


def stop(process):
    tree = process_tree(process.pid)
    for pid in reversed(tree):
        try:
            os.kill(pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        for pid in tree:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass


def machine_cpu_seconds():
    """CPU time every process on the machine has used since it booted, all cores together."""
    with open("/proc/stat") as stat:
        user, nice, system, idle, iowait, irq, softirq, steal = map(int, stat.readline().split()[1:9])
    return (user + nice + system + irq + softirq + steal) / os.sysconf("SC_CLK_TCK")


# A second in which the whole machine uses less than this share of one core is a quiet one.
QUIET_SHARE = 0.1


def quiet_down(seconds=2, most_wait=1800):
    """Lets the machine settle before a start: what the previous program wrote
    reaches the disk, and its processes are gone. A start measured while the
    kernel still writes back a browser profile of the previous run measures that.
    Then waits, for `most_wait` seconds at the most, for a quiet second: other
    people's builds skew every figure."""
    os.sync()
    time.sleep(seconds)
    deadline = time.time() + most_wait
    waited = False
    while True:
        before = machine_cpu_seconds()
        time.sleep(1)  # the second measured
        if machine_cpu_seconds() - before < QUIET_SHARE or time.time() > deadline:
            break
        if not waited:
            print("waiting for the machine to quieten down", file=sys.stderr)
            waited = True


ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def built_setting(name, default, build=os.path.join(ROOT, "build")):
    """A setting of the project's as build/ was configured with it."""
    try:
        with open(os.path.join(build, "CMakeCache.txt")) as cache:
            for line in cache:
                if line.startswith(name + ":"):
                    return line.split("=", 1)[1].strip()
    except OSError:
        pass
    return default


def built_portal_host(build=os.path.join(ROOT, "build")):
    """The portal host the client in build/ was built for."""
    return built_setting("KWIRL_PORTAL_HOST", "127.0.0.1:8642", build)


def built_portal_scheme(build=os.path.join(ROOT, "build")):
    """The scheme the client in build/ reaches its portal by."""
    return built_setting("KWIRL_PORTAL_SCHEME", "http", build)


def add_comparison_options(parser):
    """The options every side-by-side comparison takes: what runs, and how often."""
    parser.add_argument("--client", default=os.path.join(ROOT, "build/app/kwirl"))
    parser.add_argument("--host", default=built_portal_host(), help="the portal host the client was built for"
                        " (default: the one build/ was configured with)")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--most-wait", type=float, default=1800,
                        help="seconds to wait at the most for a quiet machine before each start")
