#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What Tarvo costs a desktop, idle and while it plays: the real window on a
# virtual X display with a window manager, shown with nothing playing, then
# playing a demo tune. Prints, over the same time, the CPU time and wake-ups a
# second of Tarvo (its emulator process included, with its peak memory), and
# the CPU time of the X server and of the window manager; then, when it is
# installed, Audacious measured the same way on the same display, and the
# ratio of the two desktops' costs while playing.
# Usage: desktop-cost.sh BUILD_FOLDER [SECONDS]
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

# The sum of the "% of one core" figures of the lines given.
desktop_total() { grep -o '[0-9.]*% of one core' | awk '{ total += $1 } END { printf "%.2f", total }'; }

for mode in idle playing; do
  DISPLAY=":$number" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} \
    TARVO_BENCH_ALSO="X-server:$xserver window-manager:$manager" \
    "$build/bench/bench_program_load" "$seconds" "$mode" | grep -v '^  after' | tee "$build/bench/tarvo-$mode.txt"
done

command -v audacious >/dev/null && command -v dbus-run-session >/dev/null ||
  { echo "desktop-cost: Audacious is not installed (make bench installs it) to compare with"; exit 0; }
tunes=$(mktemp -d)
trap 'kill $xserver ${manager:-} 2>/dev/null || true; rm -rf "$tunes"' EXIT
bsdtar -xf "$build/bin/roms/tarvoquest.zip" -C "$tunes" "01 Overture.vgm"
DISPLAY=":$number" dbus-run-session -- "$(dirname "$0")/audacious-cost.sh" "$seconds" \
  "$tunes/01 Overture.vgm" "$xserver" "$manager" 2>/dev/null | tee "$build/bench/peer.txt" || true
tarvo=$(desktop_total < "$build/bench/tarvo-playing.txt")
peer=$(sed -n '/playing/,$p' "$build/bench/peer.txt" | desktop_total)
awk -v t="$tarvo" -v p="$peer" 'BEGIN { printf "Playing, the program + X server + window manager: " \
  "Tarvo %.2f%%, Audacious %.2f%% of one core: %.2fx\n", t, p, (p > 0 ? t / p : 0) }'
