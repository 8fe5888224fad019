#!/bin/sh
# SPDX-License-Identifier: MIT
# Configures and builds the client and its tests into build/.
set -eu
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)"
