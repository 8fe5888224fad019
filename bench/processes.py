# SPDX-License-Identifier: MIT
"""What /proc tells of a program and its processes: the tree, memory,
descriptors, threads, CPU time. Shared by the benchmarks and the soak."""

import os


def parent_of(pid):
    """The parent's pid, or None for a process that is gone."""
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return int(stat.read().rsplit(")", 1)[1].split()[1])
    except (OSError, IndexError, ValueError):
        return None


def process_tree(pid):
    """The process and every descendant."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            parent = parent_of(int(entry))
            if parent is not None:
                children.setdefault(parent, []).append(int(entry))
    tree, todo = [], [pid]
    while todo:
        current = todo.pop()
        tree.append(current)
        todo.extend(children.get(current, []))
    return tree


def pss_mib(pids):
    """The proportional set size of the processes together, in MiB."""
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/smaps_rollup") as rollup:
                for line in rollup:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total / 1024


def descriptors(pid):
    """How many files, sockets and pipes the process has open."""
    try:
        return len(os.listdir(f"/proc/{pid}/fd"))
    except OSError:
        return 0


def threads(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith("Threads:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0
