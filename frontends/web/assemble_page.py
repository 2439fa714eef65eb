#!/usr/bin/env python3
"""Puts the page together beside the built program.

    assemble_page.py <page sources> <icon folder> <page folder> <version>

Copies index.html, page.js, page.css and the manifest, the game's icons as
icon-<size>.png, and writes sw.js with the list of every file the page loads
and a cache name made from their bytes, so that a new build replaces the
cache of an older one. The page folder already holds quarvelle.js and
quarvelle.wasm.
"""
import hashlib
import json
import os
import shutil
import sys

PAGE_FILES = ["index.html", "page.js", "page.css", "manifest.webmanifest"]
ICON_SIZES = [16, 32, 48, 64, 128, 256]
PROGRAM_FILES = ["quarvelle.js", "quarvelle.wasm"]


def main():
    sources, icons, out, version = sys.argv[1:5]
    for name in PAGE_FILES:
        shutil.copyfile(os.path.join(sources, name), os.path.join(out, name))
    for size in ICON_SIZES:
        icon = "quarvelle.png" if size == 64 else f"quarvelle-{size}.png"
        shutil.copyfile(os.path.join(icons, icon), os.path.join(out, f"icon-{size}.png"))
    files = PAGE_FILES + PROGRAM_FILES + [f"icon-{size}.png" for size in ICON_SIZES]
    digest = hashlib.sha256()
    for name in files:
        with open(os.path.join(out, name), "rb") as f:
            digest.update(name.encode() + b"\0" + f.read())
    with open(os.path.join(sources, "sw.js"), encoding="utf-8") as f:
        worker = f.read()
    worker = worker.replace("@CACHE@", f"{version}-{digest.hexdigest()[:16]}")
    worker = worker.replace("@FILES@", json.dumps(["./"] + files))
    with open(os.path.join(out, "sw.js"), "w", encoding="utf-8") as f:
        f.write(worker)


if __name__ == "__main__":
    main()
