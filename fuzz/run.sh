#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the fuzz targets with clang and runs each for a while on its seed corpus.
#   usage: fuzz/run.sh [SECONDS_EACH [TARGET...]]         (default 20: the smoke run of CI)
#          fuzz/run.sh --long [SECONDS_EACH [TARGET...]]  (default 600), then merges what
#          the run found into the smallest corpus that covers as much, in fuzz/corpus/
# Findings are kept in build-fuzz/findings/<target>/ and make the run fail.
set -eu
cd "$(dirname "$0")/.."
long=""
if [ "${1:-}" = "--long" ]; then long=yes; shift; fi
seconds=${1:-${long:+600}}
seconds=${seconds:-20}
[ $# -gt 0 ] && shift
# Every target the build defines, unless some are named.
targets=${*:-$(sed -n 's/^foreach(target \(.*\))$/\1/p' fuzz/CMakeLists.txt)}
CXX=clang++ cmake -S . -B build-fuzz -DKWIRL_GUI=OFF -DKWIRL_TESTS=OFF -DKWIRL_FUZZ=ON \
  -DKWIRL_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" >/dev/null
status=0
for target in $targets; do
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
  coverage=$(sed -n 's/.*cov: \([0-9]*\) ft: \([0-9]*\).*/\1 edges, \2 features/p' "build-fuzz/$target.log" | tail -n 1)
  echo "$target: ${runs:-?} executions in ${seconds} s, ${coverage:-? coverage}"
  if [ -n "$long" ]; then
    # Keep the smallest set of inputs that reaches what the run reached, and the
    # hand-written seeds (named, where libFuzzer names its finds by their hash).
    minimised=build-fuzz/minimised/$target
    rm -rf "$minimised" && mkdir -p "$minimised"
    for seed in fuzz/corpus/$target/*; do
      case ${seed##*/} in *[!0-9a-f]*) cp "$seed" "$minimised"/ ;; esac
    done
    build-fuzz/fuzz/${target}_fuzz -merge=1 "$minimised" "$corpus" fuzz/corpus/$target >/dev/null 2>&1
    rm -f fuzz/corpus/$target/* && cp "$minimised"/* fuzz/corpus/$target/
  fi
done
exit $status
