#!/usr/bin/env bash
# Runs every benchmark program of a benchmark build, then the whole-program scripts.
set -euo pipefail
build=${1:-build-bench}
for program in "$build"/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program" --benchmark_min_time=0.2
done
here=$(dirname "$0")
for script in "$here"/*_bench.sh; do
  [ -x "$script" ] || continue
  echo "== $(basename "$script")"
  "$script" "$build"
done
