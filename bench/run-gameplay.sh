#!/bin/sh
# SPDX-License-Identifier: MIT
# Sets up what the comparison needs, builds, and runs bench/gameplay.py on a
# virtual desktop. Extra arguments go to gameplay.py (e.g. --runs 5).
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh --bench
sh scripts/build.sh
# The same desktop as the start-up comparison: a window manager, a session bus, the accessibility bus.
exec tests/support/with-desktop.sh /usr/bin/python3 bench/gameplay.py "$@"
