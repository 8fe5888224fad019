#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What users feel, measured side by side: the client against `chromium --app`
on the same demo portal, on one virtual desktop with a session bus (run it through
bench/run-performance.sh, which sets that up).

  start-up   process start -> the portal receives the start page request, and
             -> the window is mapped
  memory     proportional set size (PSS) of all the program's processes with
             the start page loaded
  idle       CPU time of the program's own process over a quiet period
  catalogue  the catalogue request through kwirl-fetch against curl --http1.0

Medians of --runs runs; ratios are the client's figure over the other's.
"""

import argparse
import concurrent.futures
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)


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


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class Portal:
    def __init__(self, host):
        self.log = tempfile.NamedTemporaryFile(prefix="kwirl-bench-", suffix=".log", delete=False).name
        self.process = subprocess.Popen(["python3", os.path.join(ROOT, "demo-portal", "server.py"),
                                         "--listen", host, "--log", self.log, "--log-times"])
        self.host = host
        time.sleep(0.5)  # binding a socket; the first request below would wait anyway

    def first_request_after(self, path, since, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            with open(self.log) as log:
                for line in log:
                    fields = line.rstrip("\n").split("\t")
                    at = float(fields[-1][3:])
                    if fields[0] == path and at >= since:
                        return at
            time.sleep(0.01)  # the portal writes from another process
        raise RuntimeError(f"no request for {path}")

    def close(self):
        self.process.terminate()
        self.process.wait()
        os.unlink(self.log)


class WindowWatch:
    """When a window of a process tree is mapped, from the window manager's client list."""

    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        self.root.change_attributes(event_mask=X.PropertyChangeMask | X.SubstructureNotifyMask)
        self.client_list = self.display.intern_atom("_NET_CLIENT_LIST")
        self.wm_pid = self.display.intern_atom("_NET_WM_PID")

    def mapped_window_of(self, root_pid):
        value = self.root.get_full_property(self.client_list, X.AnyPropertyType)
        for window_id in (value.value if value else []):
            window = self.display.create_resource_object("window", window_id)
            try:
                pid = window.get_full_property(self.wm_pid, X.AnyPropertyType)
                if pid and descends_from(pid.value[0], root_pid) and window.get_attributes().map_state == X.IsViewable:
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


def run_program(name, command, env, portal, watch, settle, idle_seconds):
    output = tempfile.TemporaryFile()
    start = time.time()
    process = subprocess.Popen(command, env=env, stdout=output, stderr=subprocess.STDOUT)
    try:
        # Both are watched at once: the window may appear before the request or after it.
        with concurrent.futures.ThreadPoolExecutor(max_workers=1) as pool:
            window = pool.submit(watch.wait_for_window, process.pid)
            requested = portal.first_request_after("/index.php?name=puzzle1", start)
            mapped = window.result()
        time.sleep(settle)  # the page finishes loading and settles
        memory = pss_mib(process_tree(process.pid))
        idle = None
        if idle_seconds:
            before = cpu_seconds(process.pid)
            time.sleep(idle_seconds)
            idle = (cpu_seconds(process.pid) - before) / idle_seconds * 100
        return {"request": requested - start, "mapped": mapped - start, "memory": memory, "idle": idle}
    except RuntimeError:
        output.seek(0)
        print(f"{name} failed; its output:\n" + output.read().decode(errors="replace")[-3000:], file=sys.stderr)
        raise
    finally:
        stop(process)


def quiet_down(seconds=2):
    """Lets the machine settle before a start: what the previous program wrote
    reaches the disk, and its processes are gone. A start measured while the
    kernel still writes back a browser profile of the previous run measures that."""
    os.sync()
    time.sleep(seconds)


def fetch_times(commands, count):
    start = time.perf_counter()
    for _ in range(count):
        for command in commands:
            subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--client", default=os.path.join(ROOT, "build/app/kwirl"))
    parser.add_argument("--fetch", default=os.path.join(ROOT, "build/tools/kwirl-fetch"))
    parser.add_argument("--host", default="127.0.0.1:8642")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--idle-seconds", type=float, default=30)
    parser.add_argument("--settle", type=float, default=3)
    parser.add_argument("--warm-up", type=int, default=1, help="uncounted runs first, so files are in the page cache")
    args = parser.parse_args()

    portal = Portal(args.host)
    watch = WindowWatch()
    start_page = f"http://{args.host}/index.php?name=puzzle1"
    results = {"client": [], "chromium": []}
    try:
        for run in range(-args.warm_up, args.runs):
            home = tempfile.mkdtemp(prefix="kwirl-bench-home-")
            profile = tempfile.mkdtemp(prefix="kwirl-bench-chromium-")
            env = dict(os.environ, HOME=home)
            idle = args.idle_seconds if run >= 0 else 0
            chromium = ["chromium", f"--app={start_page}", "--no-sandbox", f"--user-data-dir={profile}",
                        "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
                        "--disable-component-update", "--disable-sync", "--disable-quic", "--disable-gpu",
                        "--password-store=basic", "--disable-features=Translate,MediaRouter"]
            programs = [("client", [args.client]), ("chromium", chromium)]
            # Each goes first every other run, so neither always starts in the wake of the other.
            for name, command in programs if run % 2 == 0 else reversed(programs):
                quiet_down()
                results[name].append(run_program(name, command, env, portal, watch, args.settle, idle))
            shutil.rmtree(home, ignore_errors=True)
            shutil.rmtree(profile, ignore_errors=True)
            if run < 0:  # a warm-up run is not counted
                results["client"].pop()
                results["chromium"].pop()
                continue
            print(f"run {run + 1}: client {results['client'][-1]}, chromium {results['chromium'][-1]}",
                  file=sys.stderr)

        catalogue = f"http://{args.host}/index.php?name=servstop"
        fetch = {"kwirl-fetch": [], "curl": []}
        for _ in range(args.runs):
            fetch["kwirl-fetch"].append(fetch_times([[args.fetch, catalogue]], 100))
            fetch["curl"].append(fetch_times([["curl", "--http1.0", "-s", catalogue]], 100))
    finally:
        portal.close()

    def median(program, key):
        values = [r[key] for r in results[program] if r[key] is not None]
        return statistics.median(values) if values else float("nan")

    print(f"{'measure':<44} {'client':>10} {'chromium':>10} {'ratio':>7}   (medians of {args.runs} runs)")
    for key, label, unit in (("request", "start-up: start page requested", "s"),
                             ("mapped", "start-up: window mapped", "s"),
                             ("memory", "memory: PSS of all processes", "MiB"),
                             ("idle", f"idle: own process CPU over {args.idle_seconds:g} s", "%")):
        ours, theirs = median("client", key), median("chromium", key)
        print(f"{label + ' (' + unit + ')':<44} {ours:>10.3f} {theirs:>10.3f} {ours / theirs if theirs else float('nan'):>7.2f}")
    ours, theirs = statistics.median(fetch["kwirl-fetch"]), statistics.median(fetch["curl"])
    print(f"{'catalogue: 100 fetches, kwirl-fetch vs curl (s)':<44} {ours:>10.3f} {theirs:>10.3f} {ours / theirs:>7.2f}")


if __name__ == "__main__":
    main()
