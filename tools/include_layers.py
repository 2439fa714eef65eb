#!/usr/bin/env python3
"""The drawing of the game's includes, folder by folder, and its check.

    python3 tools/include_layers.py [--dot]

Reads every #include "folder/..." of the product's sources (every top folder
below but tests/ and tools/) and prints one arrow per pair of top folders with
the headers it goes through. Each top folder is one layer; from the ground
up: engine (the rules, which include nothing outside themselves: their effects
are declared in engine/effects.h and carried out above), seam (the contracts
between the game and the machine), scores, render, shell, resources, and
frontends on top, which carry out the seam and drive the game through it.
An arrow may only point down.

Exits 1, naming the arrow, when an arrow points up or sideways, or when the
folders form a cycle. With --dot it prints the drawing in Graphviz's language
instead.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

LAYERS = ["engine", "seam", "scores", "render", "shell", "resources", "frontends"]  # ground floor first

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def node_of(path):
    """The drawing's node of a file path relative to the root: its top folder."""
    top = path.split("/")[0]
    return top if top in LAYERS else None


def includes():
    """(from node, to node, header, including file) for every include."""
    found = []
    for top in LAYERS:
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp", ".rc")):
                    continue
                path = os.path.relpath(os.path.join(folder, name), ROOT)
                source = node_of(path)
                with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as f:
                    for line in f:
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = node_of(m.group(1))
                        if target is not None and target != source:
                            found.append((source, target, m.group(1), path))
    return found


def allowed(source, target):
    return LAYERS.index(target) < LAYERS.index(source)


def cycle(edges):
    """One cycle among the folders as a list of nodes, or None."""
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
    state = {}

    def visit(node, path):
        state[node] = 1
        for nxt in sorted(graph.get(node, ())):
            if state.get(nxt) == 1:
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt, path + [nxt])
                if found:
                    return found
        state[node] = 2
        return None

    for node in sorted(graph):
        if node not in state:
            found = visit(node, [node])
            if found:
                return found
    return None


def main():
    found = includes()
    arrows = {}
    for source, target, header, path in found:
        arrows.setdefault((source, target), {}).setdefault(header, []).append(path)

    if "--dot" in sys.argv:
        print("digraph includes {")
        print("  rankdir=TB; node [shape=box];")
        for (source, target), headers in sorted(arrows.items()):
            print(f'  "{source}" -> "{target}";')
        print("}")
        return 0

    faults = []
    for (source, target), headers in sorted(arrows.items()):
        kinds = []
        for header, paths in sorted(headers.items()):
            ok = allowed(source, target)
            kinds.append(f"    {header} ({len(paths)} file{'s' if len(paths) > 1 else ''})"
                         + ("" if ok else "  [NOT ALLOWED]"))
            if not ok:
                faults.append(f"{source} -> {target} through {header}, in {', '.join(paths)}")
        print(f"{source} -> {target}")
        print("\n".join(kinds))

    loop = cycle({(s, t) for s, t, _, _ in found})
    if loop:
        faults.append("cycle between folders: " + " -> ".join(loop))
    if faults:
        print()
        for fault in faults:
            print("FAULT: " + fault)
        return 1
    print()
    print("every arrow points down, and the folders form no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
