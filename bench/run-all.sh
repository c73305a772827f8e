#!/bin/sh
# Runs every benchmark binary of a build directory, passing on any further arguments:
#   sh bench/run-all.sh <build-dir> [--benchmark_min_time=0.05 ...]
# Each binary ends with its "ours / reference" lines; the status is 1 when any benchmark failed.
set -u
build="${1:-build-bench}"
[ "$#" -gt 0 ] && shift
status=0
found=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe" "$@" || status=1
  echo
done
if [ "$found" -eq 0 ]; then
  echo "no benchmark binaries in $build/bench" >&2
  exit 1
fi
exit $status
