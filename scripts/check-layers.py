#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the folders of src/ and soundcore/ stand in floors: a file
includes only headers of its own folder or of folders on a lower floor, and
no folders include each other in a circle. docs/ARCHITECTURE.md explains the
floors; this table is the one the build keeps to.

Run from the project's root: scripts/check-layers.py. Prints every include
that breaks the floors and exits with 1, else prints the floors.
"""
import os
import re
import subprocess
import sys

# folder: floor. A folder may include its own headers and those of lower floors.
FLOORS = {
    "src/core": 0,
    "src/resources": 0,
    "src/widgets": 0,
    "src/library": 1,
    "src/playlist": 2,
    "src/settings": 3,
    "src/player": 4,
    "src/kit": 5,
    "src/addtool": 5,
    "src/dialogs": 6,
    "src/ui": 7,
    "src/services": 8,
    "src/app": 9,
    # The shipped core stands beside the player, on its contract alone: a
    # floor a folder, one library target each.
    "soundcore/common": 1,     # what both processes use
    "soundcore/archive": 2,    # game archives read, zips written
    "soundcore/chips": 2,      # Tarvo's own chip emulators
    "soundcore/ipc": 2,        # the program's side of the emulator process
    "soundcore/engines": 3,    # the emulators behind one interface
    "soundcore/game": 3,       # catalogue, a game's clips and checks, its load
    "soundcore/playback": 3,   # a clip's sound and the device
    "soundcore/emulator": 4,   # the emulator process, its server and sandbox
    "soundcore/export": 4,     # sound files written
    "soundcore/session": 5,    # CSoundCore and its jobs
    "soundcore/api": 6,        # the C entry points
    # The tools: the demo composer, and two that stand on the core and on the
    # player's own files (tarvo-add writes the clip data file).
    "soundcore/tools/compose": 4,
    "soundcore/tools/render": 7,
    "soundcore/tools/add": 7,
}
ROOTS = ("src", "soundcore")
# The program's process never runs emulator code: nothing of it, the player
# or the core library, includes what only the emulator process runs.
EMULATOR_SIDE = {"soundcore/chips", "soundcore/engines", "soundcore/emulator"}
BUILD_TOOLS = {"soundcore/tools/compose"}  # composes the demo games at build time
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def tracked_sources():
    out = subprocess.run(["git", "ls-files", *ROOTS], capture_output=True, text=True,
                         check=True).stdout.split()
    return [f for f in out if f.endswith((".cpp", ".h"))]


def resolve(name, files):
    """The tracked header an include names: each tree's root is an include root."""
    for root in ROOTS:
        candidate = os.path.normpath(os.path.join(root, name))
        if candidate in files:
            return candidate
    return None


def main():
    files = set(tracked_sources())
    problems, edges = [], {}
    for path in sorted(files):
        folder = os.path.dirname(path)
        if folder not in FLOORS:
            problems.append(f"{path}: its folder {folder} has no floor in {sys.argv[0]}")
            continue
        text = open(path, encoding="utf-8", errors="replace").read()
        for number, line in enumerate(text.split("\n"), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            header = resolve(match.group(1), files)
            if header is None:
                if "/" not in match.group(1):
                    continue  # generated files (.moc) live in the build folder
                problems.append(f"{path}:{number}: {match.group(1)} is not a tracked header")
                continue
            target = os.path.dirname(header)
            if target == folder:
                continue
            edges.setdefault(folder, set()).add(target)
            if target in EMULATOR_SIDE and folder not in EMULATOR_SIDE | BUILD_TOOLS:
                problems.append(f"{path}:{number}: {folder} is on the program's side and "
                                f"includes {header}, which only the emulator process runs")
            if FLOORS.get(target, 99) >= FLOORS[folder]:
                problems.append(f"{path}:{number}: {folder} (floor {FLOORS[folder]}) includes "
                                f"{header} (floor {FLOORS.get(target)})")
    problems += circles(edges)
    if problems:
        print("\n".join(problems))
        return 1
    for floor in sorted(set(FLOORS.values())):
        print(f"floor {floor}: " + ", ".join(f for f, n in FLOORS.items() if n == floor))
    return 0


def circles(edges):
    found, state = [], {}

    def visit(node, trail):
        state[node] = 1
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == 1:
                found.append("circle: " + " -> ".join(trail[trail.index(nxt):] + [nxt]))
            elif nxt not in state:
                visit(nxt, trail + [nxt])
        state[node] = 2

    for node in sorted(edges):
        if node not in state:
            visit(node, [node])
    return found


if __name__ == "__main__":
    sys.exit(main())
