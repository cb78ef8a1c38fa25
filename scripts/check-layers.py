#!/usr/bin/env python3
"""Fails when a file of src/ includes a header of a layer above its own.

The layers are read from the picture under "## Layers" in
docs/architecture.md, top to bottom: each line that starts with `src/<folder>`
names one layer; folders named on one line (`src/a, src/b`) are siblings, which
may include the layers below them but not each other. A folder of src/ that the
picture does not name fails too, so the picture cannot drift from the tree.
`.ci/run` runs it beside the format check.
"""
import os
import re
import sys

here = os.path.dirname(os.path.abspath(__file__))
src = os.path.normpath(os.path.join(here, "..", "src"))
doc = os.path.normpath(os.path.join(here, "..", "docs", "architecture.md"))


def layers_of(text):
    """{folder: level}, level 0 at the bottom."""
    section = text.split("## Layers", 1)[1]
    block = section.split("```", 2)[1]
    rows = []
    for line in block.splitlines():
        m = re.match(r"^\s*((?:src/[\w/]+)(?:\s*,\s*src/[\w/]+)*)", line)
        if m:
            rows.append([f.strip()[len("src/"):] for f in m.group(1).split(",")])
    levels = {}
    for level, folders in enumerate(reversed(rows)):
        for folder in folders:
            levels[folder] = level
    return levels


def main():
    with open(doc, encoding="utf-8") as f:
        levels = layers_of(f.read())
    if not levels:
        print("docs/architecture.md: no layer picture found")
        return 1

    def layer(parts):
        # The longest folder prefix the picture names.
        for n in range(len(parts) - 1, 0, -1):
            name = "/".join(parts[:n])
            if name in levels:
                return name
        return None

    include = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)
    problems = []
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.relpath(os.path.join(folder, name), src)
            parts = path.replace(os.sep, "/").split("/")
            if len(parts) < 2:
                continue  # main.cpp stands above every layer
            own = layer(parts)
            if own is None:
                problems.append(f"src/{path}: its folder is not in the layer picture of docs/architecture.md")
                continue
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                text = f.read()
            for m in include.finditer(text):
                target = m.group(1).split("/")
                if len(target) < 2 or not os.path.exists(os.path.join(src, *target)):
                    continue  # a header of Qt, the office or the build
                other = layer(target)
                if other is None or other == own:
                    continue
                if levels[other] >= levels[own]:
                    how = "a sibling" if levels[other] == levels[own] else "a layer above"
                    problems.append(f"src/{path}: includes {m.group(1)}, {how} (src/{own} → src/{other})")
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
