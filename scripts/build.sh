#!/bin/sh
# SPDX-License-Identifier: MIT
# Configures and builds the client and its tests.
#   usage: build.sh [DIR] [CMAKE_OPTION...]
# The build goes into build/, or into DIR when the first argument names one.
# Each run starts from the project's defaults: what an earlier run or configure
# chose for the project's options (a release build's portal host, say) is
# forgotten, so a plain run builds for the demo portal, and the demo and the
# tests run on it. Options given here hold for this run:
#   sh scripts/build.sh -DKWIRL_PORTAL_HOST=www.example.org
set -eu
cd "$(dirname "$0")/.."
dir=build
case "${1:-}" in
  '' | -*) ;;
  *) dir=$1; shift ;;
esac
cmake -S . -B "$dir" -U 'KWIRL_*' -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
