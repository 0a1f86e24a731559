#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What another program costs a desktop, measured as bench_program_load
measures Tarvo: the CPU time and the voluntary context switches (wake-ups) of
every thread of the process and of its children, over the same time, and the
CPU time of other processes (the X server, the window manager).

Usage: peer-cost.py LABEL PID SECONDS [NAME:PID ...]"""
import os
import sys
import time

TICKS = os.sysconf("SC_CLK_TCK")


def children_of(pid):
    found, parents = [], {pid}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
                if int(fields[1]) in parents and int(entry) != pid:
                    found.append(int(entry))
            except OSError:
                pass
    return found


def thread_costs(pids):
    """CPU ticks and wake-ups by thread, for every thread of these processes."""
    costs = {}
    for pid in pids:
        try:
            tasks = os.listdir(f"/proc/{pid}/task")
        except OSError:
            continue
        for task in tasks:
            base = f"/proc/{pid}/task/{task}"
            try:
                with open(base + "/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
                wakeups = 0
                with open(base + "/status") as status:
                    for line in status:
                        if line.startswith("voluntary_ctxt_switches"):
                            wakeups = int(line.split()[1])
                costs[base] = (int(fields[11]) + int(fields[12]), wakeups)
            except OSError:
                pass
    return costs


def since(before, after):
    ticks = sum(t - before.get(k, (0, 0))[0] for k, (t, _) in after.items())
    wakeups = sum(w - before.get(k, (0, 0))[1] for k, (_, w) in after.items())
    return ticks, wakeups


def main():
    label, pid, seconds = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    others = [(name, int(p)) for name, p in (a.split(":") for a in sys.argv[4:])]
    tree = [pid] + children_of(pid)
    before = thread_costs(tree)
    others_before = [thread_costs([p]) for _, p in others]
    # Threads that end meanwhile would take their time with them: sample often.
    seen = dict(before)
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        time.sleep(0.5)
        seen.update(thread_costs(tree))
    ticks, wakeups = since(before, seen)
    cpu = ticks / TICKS
    print(f"{label} for {seconds} s: CPU {cpu:.2f} s ({100 * cpu / seconds:.2f}% of one core, "
          f"its children included), {wakeups / seconds:.1f} wake-ups a second")
    for (name, p), was in zip(others, others_before):
        other = since(was, thread_costs([p]))[0] / TICKS
        print(f"{name}: CPU {other:.2f} s ({100 * other / seconds:.2f}% of one core)")


if __name__ == "__main__":
    main()
