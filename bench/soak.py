#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The real client on the demo portal, played by random real input for a
chosen time: toolbar buttons, number buttons, drop-down choices, links, back
and forward, dragging pieces in games. Every 30 s it samples the PSS of the
whole process tree and the descriptors and threads of the client's own
process, then prints the curve's figures: at the start, after the warm-up, at
the end, and the growth per hour after the warm-up.

Run it on a virtual desktop (bench/run-soak.sh sets one up):
    bench/soak.py --minutes 30
With --check (the short run of the test suite) it fails unless the client
stayed alive, still answers, and its descriptors came back to where they were.
"""

import argparse
import os
import random
import statistics
import subprocess
import sys
import time

from programs import ROOT, built_portal_host, built_portal_scheme, descriptors, process_tree, pss_mib, threads

sys.path.insert(0, os.path.join(ROOT, "tests", "journeys"))

from desktop import TIME_SCALE, Desktop, JourneyError, wait_for  # noqa: E402

TOOLBAR = ("Home", "Hall of Awards", "ChampionShip", "Puzzle Guide")


class Player:
    """Random real input, the way a person plays: a click, a look, the next click."""

    def __init__(self, desktop, seed):
        self.d = desktop
        self.random = random.Random(seed)
        self.moves = 0
        self.last = None
        self.actions = [self.toolbar, self.number_button, self.library, self.link, self.link,
                        self.history, self.play, self.play]

    def act(self):
        action = self.random.choice(self.actions)
        self.moves += 1
        self.last = action.__name__
        try:
            action()
        except (JourneyError, IndexError, ValueError, subprocess.CalledProcessError):
            pass  # a control that went away under the hand, a page without links: the next action
        time.sleep(self.random.uniform(0.5, 1.5))  # the player looks at the page (pacing, not a wait)

    def toolbar(self):
        self.d.click(self.d.button(self.random.choice(TOOLBAR)))

    def number_button(self):
        self.d.click(self.random.choice(self.d.number_buttons()))

    def library(self):
        d = self.d
        d.click(d.combo())
        try:
            items = wait_for("the drop-down's list", lambda: [i for i in d.all("menu item", d.combo())
                                                              if on_screen(d.extents(i))], 5)
            time.sleep(0.2)  # the list finishes opening
            d.click(self.random.choice(items))
        except BaseException:
            d.keys("Escape")  # the list must not stay open over the window
            raise

    def link(self):
        visible = [link for link in self.d.all("link") if on_screen(self.d.extents(link))]
        self.d.click(self.random.choice(visible))

    def history(self):
        self.d.keys(self.random.choice(("alt+Left", "alt+Right")))

    def play(self):
        """Drags across the board where a game shows its pieces (elsewhere it selects text)."""
        r = self.random
        x, y = r.randint(700, 1100), r.randint(250, 450)
        steps = ["mousemove", str(x), str(y), "mousedown", "1"]
        for _ in range(10):
            x, y = x - r.randint(10, 40), y + r.randint(-10, 10)
            steps += ["mousemove", str(x), str(y), "sleep", "0.02"]
        subprocess.run(["xdotool", *steps, "mouseup", "1"], check=True)


def on_screen(extents):
    """Whether a control stands on the screen where a hand can click it."""
    return extents.width > 0 and extents.height > 0 and 0 <= extents.x < 1280 and 20 < extents.y < 1000


def sample(desktop, started):
    pid = desktop.client.pid
    return {"minute": (time.monotonic() - started) / 60, "pss": pss_mib(process_tree(pid)),
            "fds": descriptors(pid), "threads": threads(pid)}


def growth_per_hour(samples, key):
    """The least-squares slope of `key` over the samples, per hour."""
    if len(samples) < 2:
        return 0.0
    xs = [s["minute"] for s in samples]
    ys = [s[key] for s in samples]
    mx, my = statistics.fmean(xs), statistics.fmean(ys)
    spread = sum((x - mx) ** 2 for x in xs)
    return 60 * sum((x - mx) * (y - my) for x, y in zip(xs, ys)) / spread if spread else 0.0


def settled_descriptors(desktop):
    """The client's descriptors on its home page once loading is over."""
    d = desktop
    for attempt in range(3):
        # Whatever the last move left open (a list, full screen) goes first.
        d.keys("Escape")
        count = len(d.requests())
        d.click(d.button("Home"))
        try:
            d.wait_for_request(lambda p: p == "/index.php", "the home page", count, 10)
            break
        except JourneyError:
            if attempt == 2:
                raise
    d.wait_for_heading("Welcome")
    return wait_for("the descriptors to settle", lambda: _steady(lambda: descriptors(d.client.pid)), 30)


def _steady(measure):
    """The value when two readings a second apart agree, else nothing yet."""
    first = measure()
    time.sleep(1)  # two readings apart in time
    return first if measure() == first else None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--minutes", type=float, default=30)
    parser.add_argument("--warm-up", type=float, default=None, help="minutes (default: a sixth of the run)")
    parser.add_argument("--every", type=float, default=30, help="seconds between samples")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--check", action="store_true", help="fail unless the client stays healthy")
    parser.add_argument("--client", default=os.path.join(ROOT, "build", "app", "kwirl"))
    parser.add_argument("--portal-host", default=built_portal_host(), help="the portal host the client was built for"
                        " (default: the one build/ was configured with)")
    parser.add_argument("--portal-scheme", default=built_portal_scheme(), choices=("http", "https"),
                        help="the scheme the client reaches its portal by (default: build/'s); over https the demo"
                        " portal serves TLS, and --client must be a test copy that can trust its certificate")
    args = parser.parse_args()
    warm_up = args.warm_up if args.warm_up is not None else args.minutes / 6

    desktop = Desktop(args.client, args.portal_host, ROOT, scheme=args.portal_scheme)
    problems = []
    try:
        player = Player(desktop, args.seed)
        started = time.monotonic()
        samples = [sample(desktop, started)]
        print(f"{'minute':>7} {'PSS MiB':>8} {'fds':>5} {'threads':>7}", flush=True)
        next_sample = started + args.every
        fds_before = None  # the engine opens some files for good in its first minutes
        while time.monotonic() - started < args.minutes * 60:
            if not desktop.alive():
                problems.append("the client ended during the soak")
                break
            if fds_before is None and time.monotonic() - started >= warm_up * 60:
                fds_before = settled_descriptors(desktop)
            player.act()
            if time.monotonic() >= next_sample:
                samples.append(sample(desktop, started))
                next_sample += args.every
                s = samples[-1]
                print(f"{s['minute']:7.1f} {s['pss']:8.1f} {s['fds']:5d} {s['threads']:7d}", flush=True)
        if desktop.alive():
            round_trip = desktop.round_trip()
            if round_trip > 1.0 * TIME_SCALE:
                problems.append(f"the client took {round_trip:.1f} s to answer")
            try:
                fds_after = settled_descriptors(desktop)
            except JourneyError:
                shot = os.path.join(os.environ.get("TMPDIR", "/tmp"), "kwirl-soak-end.png")
                desktop.screenshot(shot)
                print(f"the last move was {player.last}; the screen is in {shot}", file=sys.stderr)
                raise
            print(f"descriptors on the home page: {fds_before} after the warm-up, {fds_after} at the end")
            if fds_before is not None and fds_after > fds_before:
                problems.append(f"descriptors grew from {fds_before} to {fds_after}")
        warm = [s for s in samples if s["minute"] >= warm_up] or samples[-1:]
        print(f"\nafter {args.minutes:g} min (warm-up {warm_up:g} min), {len(samples)} samples, "
              f"{player.moves} moves, {len(desktop.requests())} pages requested:")
        for key, unit in (("pss", "MiB"), ("fds", ""), ("threads", "")):
            start, settled, end = samples[0][key], warm[0][key], samples[-1][key]
            slope = growth_per_hour(warm, key)
            share = 100 * slope / settled if settled else 0.0
            print(f"  {key:8} start {start:8.1f} {unit:3} after warm-up {settled:8.1f}  end {end:8.1f}  "
                  f"growth {slope:+8.1f} {unit}/h ({share:+.1f} %/h)")
    finally:
        try:
            desktop.close()
        except JourneyError as error:
            problems.append(str(error))
    for problem in problems:
        print("PROBLEM:", problem)
    return 1 if args.check and problems else 0


if __name__ == "__main__":
    sys.exit(main())
