#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What Tarvo costs a desktop while it plays: the real window on a virtual X
# display with a window manager, playing a demo tune for a minute. Prints the
# CPU time of Tarvo (with its peak memory), of the X server and of the window
# manager. Usage: desktop-cost.sh BUILD_FOLDER [SECONDS]
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
seconds=${2:-60}
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "desktop-cost: $tool is not installed (make bench installs it)"; exit 0; }
done

number=$((90 + $$ % 100))
Xvfb ":$number" -screen 0 1280x800x24 -nolisten tcp 2>/dev/null &
xserver=$!
trap 'kill $xserver ${manager:-} 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
DISPLAY=":$number" openbox >/dev/null 2>&1 &
manager=$!

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
x0=$(ticks $xserver); w0=$(ticks $manager)
DISPLAY=":$number" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
  "$build/bench/bench_program_load" "$seconds" | tail -n 1
x1=$(ticks $xserver); w1=$(ticks $manager)
hz=$(getconf CLK_TCK)
awk -v x=$((x1 - x0)) -v w=$((w1 - w0)) -v hz="$hz" -v s="$seconds" 'BEGIN {
  printf "X server: CPU %.2f s (%.2f%% of one core); window manager: CPU %.2f s (%.2f%%)\n",
         x / hz, 100 * x / hz / s, w / hz, 100 * w / hz / s }'
