#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz harness for the given number of seconds, each from its seeds
# and dictionary, keeping what it learns in BUILD/fuzz/corpus/ and what it
# finds in BUILD/fuzz/findings/. Prints executions and findings per harness;
# fails when anything was found.
# Usage: run-fuzz.sh BUILD_FOLDER [SECONDS]
set -uo pipefail
build=$(cd "${1:?build folder}" && pwd)
seconds=${2:-60}
top=$(cd "$(dirname "$0")/.." && pwd)
seeds=$build/fuzz/seeds

declare -A inputs=(
  [settings]="$seeds/settings"
  [clipinfo]="$seeds/clipinfo"
  [playlist]="$seeds/playlist"
  [catalogue]="$seeds/catalogue"
  [vgm]="$seeds/vgm $seeds/hostile"
  [archive]="$seeds/archive $seeds/hostile"
  [load_render]="$seeds/load_render"
  [sid]="$seeds/sid"
  [module]="$seeds/module"
  [adplug]="$seeds/adplug"
)

# The engines run inside the libraries they wrap, in this process: a library
# that spins for minutes on a damaged file is the emulator process's time
# limits' business (the load_render harness goes through them), so these
# harnesses run in fork mode and count crashes, not hangs.
declare -A modes=(
  [sid]="-fork=1 -ignore_timeouts=1 -timeout=5"
  [module]="-fork=1 -ignore_timeouts=1 -timeout=5"
  [adplug]="-fork=1 -ignore_timeouts=1 -timeout=5"
)

found=0
printf '%-12s %12s %10s %9s\n' harness executions per-second findings
for name in settings clipinfo playlist catalogue vgm archive load_render sid module adplug; do
  corpus=$build/fuzz/corpus/$name
  findings=$build/fuzz/findings/$name
  mkdir -p "$corpus" "$findings"
  log=$build/fuzz/$name.log
  # shellcheck disable=SC2086
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 ${modes[$name]:-} -rss_limit_mb=2048 \
    -dict="$top/fuzz/dict/$name.dict" -artifact_prefix="$findings/" \
    "$corpus" ${inputs[$name]} >"$log" 2>&1
  # libFuzzer's last progress line, "#47576 DONE ... exec/s: 1534" (in fork
  # mode "#3849: ... exec/s 172"), gives the runs and their rate.
  runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
  rate=$(grep -oE 'exec/s:? [0-9]+' "$log" | tail -1 | awk '{print $2}')
  if [ -n "${modes[$name]:-}" ]; then find "$findings" -name 'timeout-*' -delete; fi
  count=$(find "$findings" -type f | wc -l)
  found=$((found + count))
  printf '%-12s %12s %10s %9s\n' "$name" "${runs:-?}" "${rate:-?}" "$count"
done
if [ "$found" -gt 0 ]; then
  echo "Findings are in $build/fuzz/findings/ (the harness logs beside them)."
  exit 1
fi
