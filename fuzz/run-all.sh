#!/bin/sh
# Runs every libFuzzer target of a build for a set time each, one after the other:
#   sh fuzz/run-all.sh <build dir> <seconds> [target ...]
# Each target starts from its seeds and past findings; new inputs go to <build>/fuzz-work, and
# any input that breaks a target is kept there and fails the run. FUZZ_TIMEOUT (seconds, default
# 25) bounds one input; raise it where the machine is shared and the run niced.
set -u
build=${1:?usage: run-all.sh <build dir> <seconds> [target ...]}
seconds=${2:?usage: run-all.sh <build dir> <seconds> [target ...]}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=${*:-"fuzz_master_tree fuzz_dop fuzz_series fuzz_dates fuzz_ini fuzz_rewrite_roundtrip"}
status=0
for target in $targets; do
  binary="$build/fuzz/$target"
  if [ ! -x "$binary" ]; then
    echo "$target: not built, skipped"
    continue
  fi
  work="$build/fuzz-work/$target"
  rm -rf "$work/findings"
  mkdir -p "$work/corpus" "$work/findings"
  set -- "$work/corpus" "$here/corpus/$target"
  [ -d "$here/regressions/$target" ] && set -- "$@" "$here/regressions/$target"
  dict=""
  [ -f "$here/dict/$target.dict" ] && dict="-dict=$here/dict/$target.dict"
  "$binary" -max_total_time="$seconds" -timeout="${FUZZ_TIMEOUT:-25}" -rss_limit_mb=2048 -max_len=16384 \
    -print_final_stats=1 -artifact_prefix="$work/findings/" $dict "$@" >"$work/log" 2>&1
  result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  # Slow inputs are kept too (slow-unit-*) but are no finding.
  findings=$(find "$work/findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
    -o -name 'oom-*' \) | wc -l)
  echo "$target: ${runs:-0} executions in $seconds s, $findings findings (exit $result)"
  if [ "$result" -ne 0 ] || [ "$findings" -ne 0 ]; then
    status=1
    tail -n 40 "$work/log"
  fi
done
exit $status
