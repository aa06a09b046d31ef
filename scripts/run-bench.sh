#!/usr/bin/env bash
# Runs every benchmark built in the given build directory, one after the other.
set -euo pipefail
build="${1:-build-bench}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
found=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe" --benchmark_counters_tabular=true
done
[ "$found" = 1 ] || echo "no benchmarks built in $build/bench"
