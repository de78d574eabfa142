#!/usr/bin/env bash
# SPDX-License-Identifier: BSL-1.0
# Runs every storm (tests/threading/storm.cpp) and the plug-in unload RUNS times
# beside a CPU-bound process on every core; fails on any crash, hang (two
# minutes), late call or wrong result.
#   tests/threading/storm.sh RUNS DIR [RUNNER...]
# DIR holds storm, timer_unload and timer_plugin (.exe and .dll for Windows,
# run by RUNNER, such as wine).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: tests/threading/storm.sh RUNS DIR [RUNNER...]" >&2; exit 2; }
runs=$1 dir=$2
shift 2
runner=("$@")
if [ -f "$dir/storm.exe" ]; then
  exe=.exe plugin=timer_plugin.dll  # found beside the program that loads it
else
  exe="" plugin=$dir/timer_plugin.so
fi
log=$(mktemp)
hogs=()
trap 'kill "${hogs[@]}" 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq "$(nproc)"); do
  sh -c 'while :; do :; done' &
  hogs+=($!)
done
failures=0
for pattern in switching many self threads library unload; do
  if [ $pattern = unload ]; then command=("$dir/timer_unload$exe" "$plugin"); else command=("$dir/storm$exe" $pattern); fi
  failed=0 start=$SECONDS
  for _ in $(seq "$runs"); do
    status=0
    timeout 120 "${runner[@]}" "${command[@]}" >"$log" 2>&1 || status=$?
    # Wine reports a crash in a thread and may still exit with 0.
    if [ $status -eq 0 ] && grep -qE 'Unhandled|page fault|terminate called' "$log"; then status=crash; fi
    if [ "$status" != 0 ]; then
      failed=$((failed + 1))
      echo "storm: $pattern: exit status $status$([ "$status" = 124 ] && echo ' (hung)')"
      tail -n 3 "$log"
    fi
  done
  echo "storm: $pattern: $failed of $runs runs failed ($((SECONDS - start)) s)"
  failures=$((failures + failed))
done
[ $failures -eq 0 ]
