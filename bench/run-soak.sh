#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds and runs the soak on a virtual desktop. Arguments go to bench/soak.py
# (e.g. --minutes 30).
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh
exec tests/support/with-desktop.sh /usr/bin/python3 -W ignore::DeprecationWarning bench/soak.py "$@"
