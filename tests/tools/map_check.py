#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The map stays true: every file, folder and code name that
docs/architecture.md writes in backticks is in the tree.

A path (it has a "/" or a file's extension) must name a file or folder of the
tree, or match one (a pattern with "*"); a bare file name, one anywhere in it.
A code name (Foo, Foo::bar, foo(), CBW->Focus()) must be a word of some
source file. Commands (with a blank), options, quoted texts, the system's
paths and the build's own outputs are not names and are passed over.

usage: map_check.py SOURCE_DIR"""

import os
import re
import sys

SOURCE_SUFFIXES = (".cpp", ".h", ".js", ".py", ".sh", ".cmake", ".txt", ".in", ".html", ".css", ".po")
NOT_NAMES = {"code"}  # words the map uses in backticks for what they are
FILE_NAME = re.compile(r"^[\w.*+-]+\.(cpp|h|js|py|sh|md|cmake|html|css|in|po|txt|json|xml|svg|png)$")
# What the build writes: named in the map, never in the tree.
BUILD_OUTPUTS = re.compile(r"\.pot$")
SKIPPED_FOLDERS = {".git", "build", "node_modules"}


def tree_files(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = [s for s in subfolders if s not in SKIPPED_FOLDERS and not s.startswith("build")]
        for name in files:
            yield os.path.relpath(os.path.join(folder, name), root)


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    map_file = os.path.join(root, "docs", "architecture.md")
    with open(map_file, encoding="utf-8") as text:
        names = sorted(set(re.findall(r"`([^`\n]+)`", text.read())))
    files = list(tree_files(root))
    paths = set(files)
    for f in files:  # and every folder of the tree
        folder = os.path.dirname(f)
        while folder:
            paths.add(folder)
            folder = os.path.dirname(folder)
    words = set()
    for f in files:
        if f.endswith(SOURCE_SUFFIXES) or os.path.basename(f) == "CMakeLists.txt":
            if f == os.path.join("docs", "architecture.md"):
                continue
            with open(os.path.join(root, f), encoding="utf-8", errors="replace") as source:
                words.update(re.findall(r"[A-Za-z_][A-Za-z0-9_]*", source.read()))
    missing = []
    for name in names:
        if (" " in name or name.startswith("-") or name.startswith("/") or '"' in name or "…" in name or name.startswith("build/")
                or name in NOT_NAMES or ":" in name and "::" not in name or BUILD_OUTPUTS.search(name)):
            continue
        if "/" in name or FILE_NAME.match(name):
            # From the top folder, or from the folder the map is speaking of.
            pattern = re.escape(name.rstrip("/")).replace(r"\*", "[^/]*")
            found = any(re.fullmatch(f"(.*/)?{pattern}", p) for p in paths)
            if not found:
                missing.append(f"`{name}`: no such file or folder")
            continue
        parts = [p for p in re.findall(r"[A-Za-z_][A-Za-z0-9_]*", re.sub(r"\(.*\)", "", name)) if p]
        absent = [p for p in parts if p not in words]
        if absent:
            missing.append(f"`{name}`: no source has {', '.join(absent)}")
    for line in missing:
        print(f"docs/architecture.md names {line}", file=sys.stderr)
    print(f"{len(names)} names in backticks, {len(missing)} not in the tree")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
