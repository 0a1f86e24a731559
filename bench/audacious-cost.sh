#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Audacious, a player people use for game music, measured as desktop-cost.sh
# measures Tarvo and on the same display: its Qt interface with the console
# plug-in, idle and then playing the same demo tune, through SDL's output
# (the same dummy driver as Tarvo's). Run inside a session bus of its own.
# Usage: audacious-cost.sh SECONDS TUNE X_SERVER_PID WINDOW_MANAGER_PID
set -euo pipefail
seconds=$1 tune=$2 xserver=$3 manager=$4
here=$(cd "$(dirname "$0")" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
export QT_QPA_PLATFORM=xcb
registry=$XDG_CONFIG_HOME/audacious/plugin-registry

start() { audacious --qt "$@" >/dev/null 2>&1 & peer=$!; sleep 5; }
stop() { audtool shutdown 2>/dev/null || kill "$peer"; wait "$peer" 2>/dev/null || true; }

# A first start writes the plug-in registry; then SDL is made the only output.
start
stop
[ -f "$registry" ] || { echo "audacious-cost: Audacious wrote no plug-in registry"; exit 0; }
awk '/^output / { sdl = ($2 ~ /sdlout/) } /^enabled / && sdl != "" { $0 = "enabled " (sdl ? 1 : 0) }
     /^[a-z]+ \// && !/^output / { sdl = "" } { print }' "$registry" > "$registry.new"
mv "$registry.new" "$registry"

for mode in idle playing; do
  if [ "$mode" = idle ]; then start; else start "$tune"; fi
  label="Audacious idle, the window shown"
  [ "$mode" = playing ] && label="Audacious playing \"$(basename "$tune")\" ($(audtool playback-status))"
  "$here/peer-cost.py" "$label" "$peer" "$seconds" "X-server:$xserver" "window-manager:$manager"
  stop
done
