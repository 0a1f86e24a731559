#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tarvo builds against, only those missing.
# Needs apt-get (Debian 12), and root or sudo to install.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3 clang-format git
  qt6-base-dev qt6-svg-dev
  libgme-dev libsidplayfp-dev libopenmpt-dev libadplug-dev libarchive-dev libsndfile1-dev libsdl2-dev libsoxr-dev libebur128-dev libflac-dev libogg-dev libvorbis-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libarchive-tools
  dbus-daemon dbus-bin desktop-file-utils appstream shared-mime-info
)
# The benchmarks also measure what Tarvo costs a desktop: a virtual X display,
# a window manager, and a peer player to set beside it.
case "${1:-}" in
  --bench) packages+=(xvfb openbox audacious audacious-plugins) ;;
  # Fuzzing needs clang's libFuzzer.
  --fuzz) packages+=(clang libfuzzer-14-dev) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them as root (apt-get install ...), or install sudo, then run make again." >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
