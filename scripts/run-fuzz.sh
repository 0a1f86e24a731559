#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every fuzz harness for the given number of seconds, each from its seeds
# and dictionary, keeping what it learns in BUILD/fuzz/corpus/ and what it
# finds in BUILD/fuzz/findings/. Prints executions, crashes and time-outs per
# harness, and how many of them are Tarvo's own; fails only on those: any
# finding of the harnesses of Tarvo's readers, and an engine crash whose
# first frame outside the sanitizers, the C and C++ libraries and the harness
# is in Tarvo's sources. Crashes inside the music libraries are contained by
# the emulator's process in the program, so they are kept and counted.
# Usage: run-fuzz.sh BUILD_FOLDER [SECONDS [HARNESS...]] (all harnesses by default)
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
  [loudness]="$seeds/loudness"
  [vgm]="$seeds/vgm $seeds/hostile"
  [archive]="$seeds/archive $seeds/hostile"
  [load_render]="$seeds/load_render"
  [sid]="$seeds/sid"
  [module]="$seeds/module"
  [adplug]="$seeds/adplug"
  [arcade]="$seeds/arcade"
)

# The engines run inside the libraries they wrap, in this process: a library
# that crashes or spins on a damaged file is the emulator process's business
# in the program (the load_render harness goes through it), so these
# harnesses run in fork mode and go on past crashes and time-outs.
engine_mode="-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -timeout=5"
declare -A modes=([sid]=$engine_mode [module]=$engine_mode [adplug]=$engine_mode)

# True when a crash input, run again, stops in Tarvo's own code: the first
# stack frame (or undefined-behaviour report) that is not the sanitizers',
# the C or C++ library's, libFuzzer's or the harness's own names a source
# file of Tarvo's.
crash_is_tarvos() {
  local harness=$1 input=$2
  ASAN_OPTIONS=detect_leaks=0:symbolize=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$harness" "$input" 2>&1 | awk -v top="$top" '
      / runtime error: / { split($1, where, ":"); print (index(where[1], top "/src/") == 1 || index(where[1], top "/soundcore/") == 1) ? "own" : "library"; exit }
      /^ *#[0-9]+ 0x/ {
        if ($0 ~ /compiler-rt|libclang_rt|sanitizer|__asan|__ubsan|__interceptor|libc\.so|libstdc\+\+|\/usr\/include\/|libFuzzer|fuzzer::|\/fuzz\/[A-Za-z]*Fuzz\.cpp/) next
        print (index($0, top "/src/") || index($0, top "/soundcore/")) ? "own" : "library"; exit
      }' | grep -q own
}

own=0
printf '%-12s %12s %10s %8s %9s %5s\n' harness executions per-second crashes time-outs own
harnesses=("${@:3}")
[ ${#harnesses[@]} -gt 0 ] ||
  harnesses=(settings clipinfo playlist catalogue loudness vgm archive load_render sid module adplug arcade)
for name in "${harnesses[@]}"; do
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
  crashes=$(find "$findings" -type f ! -name 'timeout-*' | wc -l)
  timeouts=$(find "$findings" -type f -name 'timeout-*' | wc -l)
  mine=0
  if [ -z "${modes[$name]:-}" ]; then
    mine=$((crashes + timeouts)) # a reader of Tarvo's own: every finding is its own
  else
    while IFS= read -r input; do
      crash_is_tarvos "$build/fuzz/fuzz_$name" "$input" && mine=$((mine + 1))
    done < <(find "$findings" -type f ! -name 'timeout-*')
  fi
  own=$((own + mine))
  printf '%-12s %12s %10s %8s %9s %5s\n' "$name" "${runs:-?}" "${rate:-?}" "$crashes" "$timeouts" "$mine"
done
echo "Findings are kept in $build/fuzz/findings/ (the harness logs beside them)."
if [ "$own" -gt 0 ]; then
  echo "$own of them are in Tarvo's own code."
  exit 1
fi
