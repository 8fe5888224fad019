#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang and runs each for a while on its seed corpus.
#   usage: fuzz/run.sh [SECONDS_EACH]   (default 20: the smoke run of CI)
# Findings are kept in build-fuzz/findings/<target>/ and make the run fail.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-20}
CXX=clang++ cmake -S . -B build-fuzz -DKWIRL_GUI=OFF -DKWIRL_TESTS=OFF -DKWIRL_FUZZ=ON \
  -DKWIRL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
status=0
for target in catalogue_page url_parts offset encoders response_header; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  cp fuzz/corpus/$target/* "$corpus"/ 2>/dev/null || true
  if ! build-fuzz/fuzz/${target}_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"build-fuzz/$target.log" 2>&1; then
    echo "$target: FINDING (see build-fuzz/$target.log and $findings)"
    status=1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build-fuzz/$target.log")
  echo "$target: ${runs:-?} executions in ${seconds} s"
done
exit $status
