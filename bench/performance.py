#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What users feel, measured side by side: the client against `chromium --app`
on the same demo portal, on one virtual desktop with a session bus (run it through
bench/run-performance.sh, which sets that up).

  start-up   process start -> the portal receives the start page request,
             -> the window is mapped, -> the start page is shown (the first
             frame after its load event, reported by the page probe)
  memory     proportional set size (PSS) of all the program's processes with
             the start page loaded
  idle       CPU time of the program's own process over a quiet period
  network    the start-up again through a loopback proxy that adds a round
             trip to every exchange (--rtts, in ms)
  catalogue  the catalogue request through kwirl-fetch against curl --http1.0

Medians of --runs runs; ratios are the client's figure over the other's.
"""

import argparse
import concurrent.futures
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from delay_proxy import DelayProxy
from portal_shim import PortalShim
from programs import (ROOT, WindowWatch, add_comparison_options, cpu_seconds, print_output_of, process_tree, pss_mib,
                      quiet_down, stop)

START_PAGE = "/index.php?name=puzzle1"


def chromium_command(address, profile, *extra):
    return ["chromium", f"--app={address}", "--no-sandbox", f"--user-data-dir={profile}",
            "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--disable-quic", "--disable-gpu",
            "--password-store=basic", "--disable-features=Translate,MediaRouter", *extra]


def run_program(name, command, env, shim, watch, settle, idle_seconds, measure_memory=True):
    output = tempfile.TemporaryFile()
    start = time.time()
    process = subprocess.Popen(command, env=env, stdout=output, stderr=subprocess.STDOUT)
    try:
        # Both are watched at once: the window may appear before the request or after it.
        with concurrent.futures.ThreadPoolExecutor(max_workers=1) as pool:
            window = pool.submit(watch.wait_for_window, process.pid)
            requested = shim.request_time(START_PAGE, start)
            shown = shim.report("shown", start)["at"] / 1000
            mapped = window.result()
        result = {"request": requested - start, "mapped": mapped - start, "shown": shown - start}
        if measure_memory:
            time.sleep(settle)  # the page finishes loading and settles
            result["memory"] = pss_mib(process_tree(process.pid))
        if idle_seconds:
            before = cpu_seconds(process.pid)
            time.sleep(idle_seconds)
            result["idle"] = (cpu_seconds(process.pid) - before) / idle_seconds * 100
        return result
    except RuntimeError:
        print_output_of(name, output)
        raise
    finally:
        stop(process)


def compare(args, shim, watch, runs, label, idle=0, memory=True):
    """The two programs started once for each run number, taking turns to go first; runs
    numbered below 0 warm up and are not counted."""
    results = {"client": [], "chromium": []}
    for run in runs:
        home = tempfile.mkdtemp(prefix="kwirl-bench-home-")
        profile = tempfile.mkdtemp(prefix="kwirl-bench-chromium-")
        env = dict(os.environ, HOME=home)
        programs = [("client", [args.client]), ("chromium", chromium_command(f"http://{args.host}{START_PAGE}", profile))]
        # Each goes first every other run, so neither always starts in the wake of the other.
        for name, command in programs if run % 2 == 0 else reversed(programs):
            quiet_down(most_wait=args.most_wait)
            results[name].append(run_program(name, command, env, shim, watch, args.settle,
                                             idle if run >= 0 else 0, memory))
        shutil.rmtree(home, ignore_errors=True)
        shutil.rmtree(profile, ignore_errors=True)
        if run < 0:  # a warm-up run is not counted
            results["client"].pop()
            results["chromium"].pop()
            continue
        print(f"{label} run {run + 1}: client {results['client'][-1]}, chromium {results['chromium'][-1]}",
              file=sys.stderr)
    return results


def median(results, program, key):
    values = [r[key] for r in results[program] if r.get(key) is not None]
    return statistics.median(values) if values else float("nan")


def row(label, ours, theirs):
    print(f"{label:<52} {ours:>10.3f} {theirs:>10.3f} {ours / theirs if theirs else float('nan'):>7.2f}")


def fetch_times(commands, count):
    start = time.perf_counter()
    for _ in range(count):
        for command in commands:
            subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    add_comparison_options(parser)
    parser.add_argument("--fetch", default=os.path.join(ROOT, "build/tools/kwirl-fetch"))
    parser.add_argument("--idle-seconds", type=float, default=30)
    parser.add_argument("--settle", type=float, default=3)
    parser.add_argument("--warm-up", type=int, default=1, help="uncounted runs first, so files are in the page cache")
    parser.add_argument("--rtts", default="0,50,150", help="round trips (ms) of the network runs; empty for none")
    parser.add_argument("--only", choices=("loopback", "network"), help="one part of the comparison")
    args = parser.parse_args()
    rtts = [float(v) for v in args.rtts.split(",") if v.strip()]
    watch = WindowWatch()

    if args.only != "network":
        shim = PortalShim(args.host)
        try:
            local = compare(args, shim, watch, range(-args.warm_up, args.runs), "loopback", idle=args.idle_seconds)
            catalogue = "http://%s:%d/index.php?name=servstop" % shim.upstream
            fetch = {"kwirl-fetch": [], "curl": []}
            for _ in range(args.runs):
                fetch["kwirl-fetch"].append(fetch_times([[args.fetch, catalogue]], 100))
                fetch["curl"].append(fetch_times([["curl", "--http1.0", "-s", catalogue]], 100))
        finally:
            shim.close()
        print(f"{'measure':<52} {'client':>10} {'chromium':>10} {'ratio':>7}   (medians of {args.runs} runs)")
        for key, label, unit in (("request", "start-up: start page requested", "s"),
                                 ("mapped", "start-up: window mapped", "s"),
                                 ("shown", "start-up: start page shown", "s"),
                                 ("memory", "memory: PSS of all processes", "MiB"),
                                 ("idle", f"idle: own process CPU over {args.idle_seconds:g} s", "%")):
            row(f"{label} ({unit})", median(local, "client", key), median(local, "chromium", key))
        row("catalogue: 100 fetches, kwirl-fetch vs curl (s)",
            statistics.median(fetch["kwirl-fetch"]), statistics.median(fetch["curl"]))

    if args.only != "loopback" and rtts:
        # The proxy listens where the programs connect; the shim and the portal sit behind it.
        shim = PortalShim(args.host, listen="127.0.0.1:0")
        network = {rtt: {"client": [], "chromium": []} for rtt in rtts}
        try:
            for run in range(args.runs):
                for rtt in rtts:
                    proxy = DelayProxy(args.host, shim.address, rtt)
                    try:
                        runs = range(-args.warm_up, 1) if run == 0 else [run]
                        once = compare(args, shim, watch, runs, f"round trip {rtt:g} ms", memory=False)
                    finally:
                        proxy.close()
                    for name in once:
                        network[rtt][name] += once[name]
        finally:
            shim.close()
        print(f"\n{'start-up through a delay proxy (s)':<52} {'client':>10} {'chromium':>10} {'ratio':>7}"
              f"   (medians of {args.runs} runs)")
        for rtt in rtts:
            for key, label in (("request", "start page requested"), ("mapped", "window mapped"),
                               ("shown", "start page shown")):
                row(f"round trip {rtt:g} ms: {label}", median(network[rtt], "client", key),
                    median(network[rtt], "chromium", key))


if __name__ == "__main__":
    main()
