#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The client's start-up on the demo portal in clear text beside over TLS: from
the process start to the portal's record of the start page's request, and of
the catalogue's (each over TLS has its own handshake first). A first start
each time (a home folder of the run's own), medians of --runs runs.

Needs a display: run it through tests/support/with-display.sh.

usage: bench/tls_start_up.py [--plain build/app/kwirl-test-client]
                             [--tls build-https/app/kwirl-test-client] [--runs N]
The two clients are builds for the demo portal, the second with
-DKWIRL_PORTAL_SCHEME=https; both on the same host (default 127.0.0.1:8642).
"""

import argparse
import os
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
START_PAGE = "/index.php?name=puzzle1"
CATALOGUE = "/index.php?name=servstop"


def logged_times(log):
    """The time of the first request of each path in the portal's log."""
    times = {}
    with open(log) as lines:
        for line in lines:
            fields = line.rstrip("\n").split("\t")
            at = next((f[3:] for f in fields if f.startswith("at=")), None)
            if at is not None:
                times.setdefault(fields[0], float(at))
    return times


def listening(host, seconds=10):
    """Once the portal accepts connections (over TLS: its certificate made)."""
    name, port = host.rsplit(":", 1)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            socket.create_connection((name, int(port)), timeout=1).close()
            return
        except OSError:
            time.sleep(0.02)  # the portal is starting: ask again shortly
    raise RuntimeError("the demo portal did not start")


def one_start(client, tls, host):
    folder = tempfile.mkdtemp(prefix="kwirl-bench-tls-")
    log = os.path.join(folder, "portal.log")
    certificate = os.path.join(folder, "portal.pem")
    open(log, "w").close()
    portal = subprocess.Popen(["python3", os.path.join(ROOT, "demo-portal", "server.py"), "--listen", host, "--log",
                               log, "--log-times"] + (["--tls", "--certificate", certificate] if tls else []),
                              stderr=subprocess.DEVNULL)
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env["HOME"] = folder
    if tls:
        env["KWIRL_TEST_CA_FILE"] = certificate
    try:
        listening(host)
        started = time.time()
        process = subprocess.Popen([client], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        times = {}
        while time.monotonic() < deadline:
            times = logged_times(log)
            if START_PAGE in times and CATALOGUE in times:
                break
            time.sleep(0.005)  # the portal writes as requests come: look again shortly
        process.send_signal(signal.SIGTERM)
        process.wait(timeout=30)
        if START_PAGE not in times or CATALOGUE not in times:
            raise RuntimeError(f"no start page or catalogue asked within 30 s ({'TLS' if tls else 'clear text'})")
        return times[START_PAGE] - started, times[CATALOGUE] - started
    finally:
        portal.terminate()
        portal.wait()
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plain", default=os.path.join(ROOT, "build/app/kwirl-test-client"))
    parser.add_argument("--tls", default=os.path.join(ROOT, "build-https/app/kwirl-test-client"))
    parser.add_argument("--host", default="127.0.0.1:8642")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    results = {"clear text": [], "TLS": []}
    for _ in range(args.runs):  # alternate, so both see the same machine
        results["clear text"].append(one_start(args.plain, False, args.host))
        results["TLS"].append(one_start(args.tls, True, args.host))
    print(f"{'':<12} {'start page s':>13} {'catalogue s':>12}   (medians of {args.runs} first starts)")
    medians = {}
    for name, runs in results.items():
        medians[name] = [statistics.median(r[i] for r in runs) for i in (0, 1)]
        print(f"{name:<12} {medians[name][0]:>13.3f} {medians[name][1]:>12.3f}")
    plain, secure = medians["clear text"], medians["TLS"]
    print(f"{'ratio':<12} {secure[0] / plain[0]:>13.2f} {secure[1] / plain[1]:>12.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
