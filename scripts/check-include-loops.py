#!/usr/bin/env python3
"""Fails when two files of src/ include each other in a loop.

A file pair X.h/X.cpp counts as one unit; a unit depends on every unit whose
header it includes with quotes. Any strongly connected group of more than one
unit is printed and makes the script exit with 1. `.ci/run` runs it beside the
format check.
"""
import collections
import os
import re
import sys

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
os.chdir(root)
include = re.compile(r'^\s*#\s*include\s+"([^"]+)\.h"', re.MULTILINE)

depends = collections.defaultdict(set)
for folder, _, names in os.walk("."):
    for name in names:
        if not name.endswith((".cpp", ".h")):
            continue
        path = os.path.join(folder, name)
        unit = os.path.normpath(os.path.splitext(path)[0])
        with open(path, encoding="utf-8") as f:
            text = f.read()
        for m in include.finditer(text):
            target = m.group(1)
            if not os.path.exists(target + ".h"):
                target = os.path.join(os.path.dirname(unit), target)
            target = os.path.normpath(target)
            if target != unit and os.path.exists(target + ".h"):
                depends[unit].add(target)

# Tarjan's strongly connected components, iteratively.
index, low, on_stack, stack, loops = {}, {}, set(), [], []
counter = 0
for start in sorted(depends):
    if start in index:
        continue
    work = [(start, iter(sorted(depends[start])))]
    index[start] = low[start] = counter
    counter += 1
    stack.append(start)
    on_stack.add(start)
    while work:
        node, successors = work[-1]
        advanced = False
        for nxt in successors:
            if nxt not in index:
                index[nxt] = low[nxt] = counter
                counter += 1
                stack.append(nxt)
                on_stack.add(nxt)
                work.append((nxt, iter(sorted(depends.get(nxt, ())))))
                advanced = True
                break
            if nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if advanced:
            continue
        work.pop()
        if work:
            parent = work[-1][0]
            low[parent] = min(low[parent], low[node])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                loops.append(sorted(group))

for group in loops:
    print("include loop in src/: " + " → ".join(group), file=sys.stderr)
sys.exit(1 if loops else 0)
