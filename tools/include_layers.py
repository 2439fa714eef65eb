#!/usr/bin/env python3
"""The drawing of the game's includes, folder by folder, and its check.

    python3 tools/include_layers.py [--dot]

Reads every #include "folder/..." of the product's sources (engine, render,
scores, shell, the seam's headers in platform/, the two front-ends and
resources/; not tests/ or tools/) and prints one arrow per pair of folders
with the headers it goes through. The layers, top first, are shell, render,
scores, engine, and below them the seam; an arrow may only point down. The
engine's own effects (drawing the field and the boxes, the sound cues) are
declared in engine/effects.h and carried out above it, so that no arrow
needs to point up. The front-ends sit
below the seam and drive the game from outside it: they may include what
they call (the window procedure, the name entry, the window messages).

Exits 1, naming the arrow, when an arrow points up or sideways, or when the
folders form a cycle.
With --dot it prints the drawing in Graphviz's language instead.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Folder names as the drawing shows them; the seam's own headers are
# "platform", each front-end its own node.
NODES = ["shell", "render", "scores", "engine", "platform", "platform/sdl", "platform/win32", "resources"]
GAME_LAYERS = ["shell", "render", "scores", "engine"]  # top first

# What a front-end may include above the seam: what it hands its events to.
FRONT_END_CALLS = {"shell/window_proc.h", "shell/messages.h", "scores/name_entry.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def node_of(path):
    """The drawing's node of a file path relative to the root, or None."""
    parts = path.split("/")
    if parts[0] == "platform":
        if len(parts) > 2 and parts[1] in ("sdl", "win32"):
            return "platform/" + parts[1]
        return "platform"
    return parts[0] if parts[0] in NODES else None


def includes():
    """(from node, to node, header, including file) for every include."""
    found = []
    for top in ("engine", "render", "scores", "shell", "platform", "resources"):
        for folder, _, files in os.walk(os.path.join(ROOT, top)):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
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


def allowed(source, target, header):
    if target == "platform":
        return True  # the seam is below every layer
    if source in GAME_LAYERS and target in GAME_LAYERS:
        return GAME_LAYERS.index(source) < GAME_LAYERS.index(target)
    if source.startswith("platform/"):
        return target == "platform" or target == "resources" or header in FRONT_END_CALLS
    if source == "resources":
        return False
    return False  # the game above the seam includes no front-end


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
            ok = allowed(source, target, header)
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
