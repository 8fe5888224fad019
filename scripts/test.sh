#!/bin/sh
# SPDX-License-Identifier: MIT
# Sets up, builds and runs every test: the whole suite (windows on a virtual
# display), then again under the sanitizers, then a short run of each fuzz target.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
sh scripts/build.sh
(cd build && ctest --output-on-failure)

# The whole client again under AddressSanitizer, UndefinedBehaviorSanitizer and,
# at each exit, LeakSanitizer: the windows, the engine tests and the journeys
# included. Leaks of libraries that are not ours are suppressed, each with its
# reason, in tests/support/sanitizer-suppressions.txt. Left out: the package
# checks (of the main build) and the no-files trace (LeakSanitizer cannot run
# under strace). The journeys' waits and time budgets stretch five times: the
# full unwinding at each allocation makes this build that much slower.
sh scripts/build.sh build-sanitize -DKWIRL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
(cd build-sanitize &&
  LSAN_OPTIONS="suppressions=$(pwd)/../tests/support/sanitizer-suppressions.txt:print_suppressions=0" \
  ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1 \
  KWIRL_TIME_SCALE=5 \
  ctest --output-on-failure -E '^package_|^no_files_of_its_own$')

# A short fuzzing run of every fuzz target (libFuzzer, with the sanitizers).
sh fuzz/run.sh 20
