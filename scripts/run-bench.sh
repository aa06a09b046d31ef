#!/usr/bin/env bash
# Runs every benchmark built in the given build directory, one after the
# other, each repeated (BENCH_REPETITIONS, 9 by default) and reported as the
# mean, median and spread of the repetitions. Further arguments go to every
# benchmark (--benchmark_filter=...). The exFAT benchmark of bench_rename
# needs root, /dev/fuse and a free loop device, and is skipped without them.
set -euo pipefail
build="${1:-build-bench}"
shift || true
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
found=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true \
    --benchmark_repetitions="${BENCH_REPETITIONS:-9}" \
    --benchmark_report_aggregates_only=true "$@"
done
[ "$found" = 1 ] || echo "no benchmarks built in $build/bench"
