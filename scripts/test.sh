#!/bin/sh
# Sets up, builds and runs every test: the whole suite (windows on a virtual
# display), then the tests without a display again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh
(cd build && ctest --output-on-failure)

cmake -S . -B build-sanitize -DKWIRL_GUI=OFF -DKWIRL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-sanitize -j"$(nproc)"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure)

# A short fuzzing run of every fuzz target (libFuzzer, with the sanitizers).
sh fuzz/run.sh 20
