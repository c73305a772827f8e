#!/bin/sh
# Runs every benchmark binary of a build directory: sh bench/run-all.sh <build-dir>
set -u
build="${1:-build-bench}"
status=0
found=0
for exe in "$build"/bench/bench_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  found=1
  echo "== $(basename "$exe")"
  "$exe" || status=1
  echo
done
if [ "$found" -eq 0 ]; then
  echo "no benchmark binaries in $build/bench" >&2
  exit 1
fi
exit $status
