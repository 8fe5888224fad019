#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""kwirl-fetch beside curl --http1.0 against nginx on loopback, in one run.

  1000 sequential fetches of a 1 KiB file, and one fetch of a 200 MiB file,
  each repeated (default 5 times); medians of wall and CPU time (CPU: user +
  system of the fetching processes), and the ratios kwirl-fetch / curl.

  With --tls, over https: nginx with a certificate made for the run, which
  both tools are told to trust.

usage: bench/fetch_vs_curl.py [build/tools/kwirl-fetch] [--runs N] [--small-count N] [--large-mib N] [--tls]
"""

import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from loopback_nginx import LoopbackNginx  # noqa: E402


def measure(commands):
    """Runs the commands one after another; (wall seconds, CPU seconds of the children)."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    for command in commands:
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return wall, (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("fetch", nargs="?", default="build/tools/kwirl-fetch")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--small-count", type=int, default=1000)
    parser.add_argument("--large-mib", type=int, default=200)
    parser.add_argument("--tls", action="store_true")
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="kwirl-bench-www-")
    with open(os.path.join(root, "small.bin"), "wb") as small:
        small.write(os.urandom(1024))
    with open(os.path.join(root, "large.bin"), "wb") as large:
        chunk = os.urandom(1 << 20)
        for _ in range(args.large_mib):
            large.write(chunk)
    server = LoopbackNginx(root, tls=args.tls)
    trust = {"kwirl-fetch": ["--cacert", server.certificate], "curl": ["--cacert", server.certificate]} if args.tls \
        else {"kwirl-fetch": [], "curl": []}
    tools = {
        "kwirl-fetch": lambda url: [args.fetch, *trust["kwirl-fetch"], "-o", "/dev/null", url],
        "curl": lambda url: ["curl", "--http1.0", *trust["curl"], "-s", "-o", "/dev/null", url],
    }
    cases = {
        f"{args.small_count} x 1 KiB": lambda tool: [tool(server.url("small.bin"))] * args.small_count,
        f"1 x {args.large_mib} MiB": lambda tool: [tool(server.url("large.bin"))],
    }
    try:
        results = {}
        for case, commands in cases.items():
            for run in range(args.runs):
                for name, tool in tools.items():  # alternate, so both see the same machine
                    results.setdefault((case, name), []).append(measure(commands(tool)))
        print(f"{'case':<16} {'tool':<12} {'wall s':>9} {'CPU s':>9}   (medians of {args.runs} runs)")
        for case in cases:
            medians = {}
            for name in tools:
                walls, cpus = zip(*results[(case, name)])
                medians[name] = (statistics.median(walls), statistics.median(cpus))
                print(f"{case:<16} {name:<12} {medians[name][0]:>9.3f} {medians[name][1]:>9.3f}")
            ours, theirs = medians["kwirl-fetch"], medians["curl"]
            print(f"{case:<16} {'ratio':<12} {ours[0] / theirs[0]:>9.2f} {ours[1] / max(theirs[1], 1e-9):>9.2f}")
    finally:
        server.stop()
        subprocess.run(["rm", "-rf", root], check=False)


if __name__ == "__main__":
    main()
