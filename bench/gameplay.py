#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Playing, measured side by side: the level-6 game of the demo portal (144
pieces) in the client, in the client with the engine's GPU path left on, in
the engine alone (bench/bare_engine.py, a bare window around the engine's web
view) and in `chromium --app`, on one virtual desktop (run it through
bench/run-gameplay.sh, which sets that up). The pointer drags the piece on
top with real input (XTest): --drags drags of --moves moves at --rate moves a
second, each an ellipse run twice, that ends where it began.

  frames     frames that show a new position of the piece, per second of
             dragging (the page's requestAnimationFrame, recorded by the
             page probe the portal shim puts into the page)
  delay      from a move sent to the X server to the end of the page's
             drawing of the frame that shows it (or a later move):
             median and 95th percentile of every move of the run
  CPU        CPU seconds of all the program's processes from the first press
             to the last release; the X server's beside it
  memory     PSS of all the program's processes after the drags

Each start waits for a quiet machine, and a run in which other processes
used more than --most-others of a core is repeated. Medians of --runs runs,
the programs taking turns to go first; ratios are each program's figure over
chromium's.
"""

import argparse
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
from Xlib.ext import xtest

from drag_figures import ellipse, event_delays, frames_and_delays, percentile
from performance import START_PAGE, chromium_command
from portal_shim import PortalShim
from programs import (WindowWatch, add_comparison_options, cpu_seconds, machine_cpu_seconds, print_output_of,
                      process_tree, pss_mib, quiet_down, stop)

HERE = os.path.dirname(os.path.abspath(__file__))
GAME = "/index.php?name=puzzle1&op=game&id=0&level=6"
# The engine's GPU path, which the client leaves off on a machine without a render node.
GPU_PATH = {"WEBKIT_DISABLE_COMPOSITING_MODE": "0", "WEBKIT_DISABLE_DMABUF_RENDERER": "0"}
# The client drawing in the other ways its engine offers without a GPU: each its environment.
CLIENT_PATHS = {
    "client-gpu": GPU_PATH,
    # Composited, the layers painted on the CPU (with and without the DMA-BUF renderer).
    "client-composited-cpu": dict(GPU_PATH, WEBKIT_SKIA_ENABLE_CPU_RENDERING="1"),
    "client-composited-cpu-shm": dict(GPU_PATH, WEBKIT_SKIA_ENABLE_CPU_RENDERING="1",
                                      WEBKIT_DISABLE_DMABUF_RENDERER="1"),
    # Not composited, painted on the main thread of the page rather than on painting threads.
    "client-one-painter": {"WEBKIT_SKIA_CPU_PAINTING_THREADS": "0"},
}
# The engine alone (bench/bare_engine.py): its options and environment. "engine" is the
# build the client embeds (4.0 on Debian 12, 4.1 on 13), drawing as the client draws; 4.1 is
# the GTK 3 build on libsoup 3;
# 6.0 the GTK 4 build, through each of GTK 4's renderers (GL on llvmpipe and Vulkan on
# lavapipe where there is no GPU).
ENGINES = {
    "engine": ([], {}),
    "engine-4.1": (["--api", "4.1"], {}),
    "engine-4.1-gpu": (["--api", "4.1", "--gpu-path"], {}),
    "engine-6.0-cairo": (["--api", "6.0"], {"GSK_RENDERER": "cairo"}),
    "engine-6.0-gl": (["--api", "6.0"], {"GSK_RENDERER": "gl"}),
    "engine-6.0-vulkan": (["--api", "6.0"], {"GSK_RENDERER": "vulkan"}),
    "engine-6.0-gl-gpu": (["--api", "6.0", "--gpu-path"], {"GSK_RENDERER": "gl"}),
}


class Pointer:
    """The X server's pointer, moved and pressed through XTest on a steady clock."""

    def __init__(self):
        self.display = display.Display()
        screen = self.display.screen()
        self.centre = (screen.width_in_pixels // 2, screen.height_in_pixels // 2)

    def wait_until(self, due):
        # Blocks on the X connection until the moment comes; nothing is spun.
        while (left := due - time.time()) > 0:
            select.select([self.display], [], [], left)
            while self.display.pending_events():
                self.display.next_event()

    def move(self, x, y):
        """Moves the pointer; the time the move was sent to the X server (a busy
        server takes it later, and that counts: the server is part of the path)."""
        sent = time.time()
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self.display.sync()
        return sent

    def button(self, pressed):
        xtest.fake_input(self.display, X.ButtonPress if pressed else X.ButtonRelease, 1)
        self.display.sync()

    def drag(self, points, rate):
        """Presses at the first point, moves through the others at `rate` a
        second, releases; the times at which each move was sent."""
        self.move(*points[0])
        self.wait_until(time.time() + 0.2)
        self.button(True)
        start = time.time() + 0.05
        taken = []
        for k, point in enumerate(points[1:], 1):
            self.wait_until(start + k / rate)
            taken.append(self.move(*point))
        self.wait_until(start + len(points) / rate)
        self.button(False)
        return taken


def x_server_pid():
    """The X server of this display (not one of the programs' processes)."""
    number = os.environ.get("DISPLAY", ":0").split(":")[-1].split(".")[0]
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as cmdline:
                    words = cmdline.read().split(b"\0")
            except OSError:
                continue
            if words and os.path.basename(words[0]) in (b"Xvfb", b"Xorg") and f":{number}".encode() in words:
                return int(entry)
    return None


def locate_page(shim, pointer, near):
    """The offset from the page's coordinates to the screen's, from two moves
    without a button and what the page saw of them."""
    first = (near[0] - 25, near[1] - 15)  # not where the pointer rests when the display starts
    second = (first[0] + 37, first[1] + 23)
    since = pointer.move(*first)
    seen = shim.report("hover", since - 0.001)
    since = pointer.move(*second)
    then = shim.report("hover", since - 0.001, where=lambda d: (d["x"] - seen["x"], d["y"] - seen["y"]) == (37, 23))
    return second[0] - then["x"], second[1] - then["y"]


def play(name, command, env, shim, pointer, watch, args, x_server):
    output = tempfile.TemporaryFile()
    start = time.time()
    process = subprocess.Popen(command, env=env, stdout=output, stderr=subprocess.STDOUT)
    try:
        game = shim.report("game", start, timeout=60, where=lambda d: d.get("grab") is not None)
        watch.wait_for_window(process.pid)
        pointer.wait_until(time.time() + args.settle)  # the start-up's work ends
        dx, dy = locate_page(shim, pointer, pointer.centre)  # inside the page in every program's window
        left, top, width, height = game["canvas"]
        path = ellipse(game["grab"], top, top + height, args.moves)
        screen = [(x + dx, y + dy) for x, y in path]

        tree = process_tree(process.pid)
        profiler = None
        if args.perf:
            # A profile of the program's processes (and the X server's) over the drags.
            watched = tree + ([x_server] if x_server else [])
            profiler = subprocess.Popen(["perf", "record", "--call-graph", args.perf_call_graph, "-F", "999",
                                         "-o", f"{args.perf}-{name}.data", "-p", ",".join(map(str, watched))],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            pointer.wait_until(time.time() + 1)  # perf attaches
        cpu_before = sum(cpu_seconds(pid) for pid in tree)
        x_before = cpu_seconds(x_server) if x_server else 0
        machine_before, own_before = machine_cpu_seconds(), cpu_seconds(os.getpid())
        began = time.time()
        shown, delays, seen_moves, to_event = [], [], 0, []
        for _ in range(args.drags):
            since = time.time()
            taken = pointer.drag(screen, args.rate)
            report = shim.report("drag", since, timeout=30)
            frames, waits = frames_and_delays(taken, path[1:], report["frames"])
            shown.append(len(frames) / (taken[-1] - taken[0]))
            delays += waits
            seen_moves += len(report["moves"])
            to_event += event_delays(taken, path[1:], report["moves"])
        ended = time.time()
        if profiler:
            profiler.send_signal(signal.SIGINT)
            profiler.wait()
        cpu = sum(cpu_seconds(pid) for pid in tree if os.path.exists(f"/proc/{pid}")) - cpu_before
        x_cpu = (cpu_seconds(x_server) - x_before) if x_server else float("nan")
        # What the rest of the machine did meanwhile: a run beside someone's build is not counted.
        others = (machine_cpu_seconds() - machine_before) - cpu - (x_cpu if x_server else 0) \
            - (cpu_seconds(os.getpid()) - own_before)
        memory = pss_mib(process_tree(process.pid))
        return {"frames": statistics.median(shown), "delay": statistics.median(delays),
                "delay95": percentile(delays, 95),
                "cpu": cpu, "x": x_cpu, "memory": memory, "seconds": ended - began,
                "moves seen": seen_moves / args.drags, "to event": statistics.median(to_event),
                "others": others / (ended - began)}
    except RuntimeError:
        print_output_of(name, output)
        raise
    finally:
        stop(process)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    add_comparison_options(parser)
    parser.add_argument("--warm-up", type=int, default=1)
    parser.add_argument("--drags", type=int, default=4)
    parser.add_argument("--moves", type=int, default=300)
    parser.add_argument("--rate", type=float, default=120, help="pointer moves a second")
    parser.add_argument("--settle", type=float, default=2, help="seconds between the game shown and the first drag")
    parser.add_argument("--programs", default="client,client-gpu,engine,chromium",
                        help="of client, " + ", ".join(CLIENT_PATHS) + ", chromium, and the engine alone"
                        " (bench/bare_engine.py): " + ", ".join(ENGINES))
    parser.add_argument("--most-others", type=float, default=0.1,
                        help="a run in which other processes used more of a core than this is repeated")
    parser.add_argument("--attempts", type=int, default=8, help="runs of a program at the most, for one counted")
    parser.add_argument("--perf", metavar="PREFIX", help="profile each program's drags with perf into PREFIX-NAME.data")
    parser.add_argument("--perf-call-graph", default="fp", help="perf's way to the callers: fp, or dwarf where"
                        " libraries are built without frame pointers")
    args = parser.parse_args()

    # The start page leads straight to the game, in both programs alike.
    shim = PortalShim(args.host, redirects={START_PAGE: GAME})
    pointer = Pointer()
    watch = WindowWatch()
    x_server = x_server_pid()
    names = args.programs.split(",")
    results = {name: [] for name in names}
    try:
        for run in range(-args.warm_up, args.runs):
            home = tempfile.mkdtemp(prefix="kwirl-bench-home-")
            profile = tempfile.mkdtemp(prefix="kwirl-bench-chromium-")
            env = dict(os.environ, HOME=home)
            programs = {
                "client": ([args.client], env),
                "chromium": (chromium_command(f"http://{args.host}{START_PAGE}", profile, "--start-maximized"), env),
            }
            for path, settings in CLIENT_PATHS.items():
                programs[path] = ([args.client], dict(env, **settings))
            # The engine alone, in each build Debian ships and each way it can draw without a GPU.
            bare = [sys.executable, os.path.join(HERE, "bare_engine.py"), f"http://{args.host}{START_PAGE}"]
            for engine, (options, settings) in ENGINES.items():
                programs[engine] = (bare + options, dict(env, **settings))
            # Each goes first in turn.
            order = names[run % len(names):] + names[:run % len(names)]
            for name in order:
                command, environment = programs[name]
                for attempt in range(args.attempts):
                    quiet_down(most_wait=args.most_wait)
                    result = play(name, command, environment, shim, pointer, watch, args, x_server)
                    if result["others"] <= args.most_others or args.perf:  # perf itself runs beside
                        break
                    print(f"{name}: the rest of the machine used {result['others']:.2f} of a core meanwhile;"
                          " the run is repeated", file=sys.stderr)
                results[name].append(result)
            shutil.rmtree(home, ignore_errors=True)
            shutil.rmtree(profile, ignore_errors=True)
            if run < 0:
                for name in names:
                    results[name].pop()
                continue
            print(f"run {run + 1}: " + "; ".join(f"{n} {results[n][-1]}" for n in names), file=sys.stderr)
    finally:
        shim.close()

    def median(name, key):
        return statistics.median(r[key] for r in results[name])

    reference = "chromium" if "chromium" in names else names[-1]
    print(f"{'while dragging (medians of %d runs)' % args.runs:<48}" + "".join(f"{n:>12}" for n in names)
          + "".join(f"{n + ' ratio':>18}" for n in names if n != reference))
    for key, label in (("frames", "frames with a new position, per second"),
                       ("delay", "move to frame drawn, median (ms)"),
                       ("delay95", "move to frame drawn, 95th percentile (ms)"),
                       ("cpu", "CPU of all processes (s)"),
                       ("x", "CPU of the X server (s)"),
                       ("memory", "PSS of all processes after (MiB)"),
                       ("seconds", "dragging time, first press to last release (s)"),
                       ("moves seen", "pointer moves the page saw, per drag"),
                       ("to event", "move to the page's pointer event, median (ms)"),
                       ("others", "other processes meanwhile (share of a core)")):
        values = {n: median(n, key) for n in names}
        ratios = key not in ("seconds", "others")  # the setting, not a figure of the program
        print(f"{label:<48}" + "".join(f"{values[n]:>12.2f}" for n in names)
              + "".join(f"{values[n] / values[reference]:>18.2f}" if ratios else f"{'':>18}"
                        for n in names if n != reference))


if __name__ == "__main__":
    main()
