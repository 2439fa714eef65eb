#!/usr/bin/env python3
"""Puts the page together beside the built program.

    assemble_page.py <page sources> <icon folder> <program folder> <page folder> <version> <picture.bmp>...

Writes index.html with page.css, page.js and the built quarvelle.js inside
it, so that the first picture waits for two files (index.html and
quarvelle.wasm, which it preloads) rather than five; writes pictures.bin,
every picture as its name, a NUL, its size in four bytes (little-endian) and
its BMP bytes, in the catalogue's order; copies the manifest and
the game's icons as icon-<size>.png; and writes sw.js with the list of every
file the page loads and a cache name made from their bytes, so that a new
build replaces the cache of an older one. The program folder holds
quarvelle.js and quarvelle.wasm as emcc wrote them.
"""
import hashlib
import json
import os
import shutil
import sys

PAGE_FILES = ["index.html", "manifest.webmanifest"]
ICON_SIZES = [16, 32, 48, 64, 128, 256]
PROGRAM_FILES = ["quarvelle.wasm", "pictures.bin"]

# What index.html names by URL, and what takes its place inside the page.
INLINED = [
    ('<link rel="stylesheet" href="page.css">', "page.css", "<style>\n%s</style>"),
    ('<script src="page.js"></script>', "page.js", "<script>\n%s</script>"),
    ('<script src="quarvelle.js" async></script>', "quarvelle.js", "<script>\n%s</script>"),
]


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def inlined_page(sources, program):
    page = read(os.path.join(sources, "index.html"))
    for tag, name, wrapper in INLINED:
        if tag not in page:
            sys.exit("assemble_page.py: index.html has no %s" % tag)
        folder = program if name == "quarvelle.js" else sources
        text = read(os.path.join(folder, name))
        if "</script" in text or "</style" in text:
            sys.exit("assemble_page.py: %s would end its own element" % name)
        page = page.replace(tag, wrapper % text)
    return page


def main():
    sources, icons, program, out, version = sys.argv[1:6]
    bitmaps = sys.argv[6:]
    if os.path.exists(out):
        shutil.rmtree(out)
    os.makedirs(out)
    page = inlined_page(sources, program)
    with open(os.path.join(out, "index.html"), "w", encoding="utf-8") as f:
        f.write(page)
    shutil.copyfile(os.path.join(program, "quarvelle.wasm"), os.path.join(out, "quarvelle.wasm"))
    with open(os.path.join(out, "pictures.bin"), "wb") as bundle:
        for path in bitmaps:
            with open(path, "rb") as f:
                data = f.read()
            name = os.path.splitext(os.path.basename(path))[0]
            bundle.write(name.encode("ascii") + b"\0" + len(data).to_bytes(4, "little") + data)
    shutil.copyfile(os.path.join(sources, "manifest.webmanifest"), os.path.join(out, "manifest.webmanifest"))
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
