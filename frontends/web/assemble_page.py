#!/usr/bin/env python3
"""Puts the page together beside the built program.

    assemble_page.py <page sources> <icon folder> <program folder> <page folder> <version> <picture.bmp>...

Writes index.html with page.css, page.js and the built quarvelle.js inside
it, so that the first picture waits for two files (index.html and
quarvelle.wasm, which it preloads) rather than five; writes pictures.bin,
gzip-compressed (a twentieth of the bytes, so that it arrives before the
wasm), every picture as its name, a NUL, its size in four bytes
(little-endian) and its BMP bytes, in the catalogue's order but with the big info pages after
the rest (the page decodes them one by one in this order, so the first
screen's pictures come first); copies the manifest and
the game's icons as icon-<size>.png; and writes sw.js with the list of every
file the page loads and a cache name made from their bytes, so that a new
build replaces the cache of an older one. The program folder holds
quarvelle.js and quarvelle.wasm as emcc wrote them. The name dialog's texts
and ids come from the one template the desktop programs use
(seam/name_dialog_template.h), standing in index.html as @SCOREDB_...@.
"""
import gzip
import hashlib
import json
import os
import re
import shutil
import sys

PAGE_FILES = ["index.html", "manifest.webmanifest"]
ICON_SIZES = [16, 32, 48, 64, 128, 256]
PROGRAM_FILES = ["quarvelle.wasm", "pictures.bin"]

# Pictures above this many bytes are the info pages, which the first screen never shows.
BIG_PICTURE = 100 * 1024

# What index.html names by URL, and what takes its place inside the page.
INLINED = [
    ('<link rel="stylesheet" href="page.css">', "page.css", "<style>\n%s</style>"),
    ('<script src="page.js"></script>', "page.js", "<script>\n%s</script>"),
    ('<script src="quarvelle.js" async></script>', "quarvelle.js", "<script>\n%s</script>"),
]


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


TEMPLATE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "seam", "name_dialog_template.h")


def with_dialog_template(page):
    """index.html with each @SCOREDB_...@ as the template's text or id."""
    values = dict(re.findall(r'^#define (SCOREDB_\w+) "?([^"\n]*?)"?$', read(TEMPLATE), re.M))

    def value(match):
        if match.group(1) not in values:
            sys.exit("assemble_page.py: the name dialog's template has no %s" % match.group(1))
        return values[match.group(1)]
    return re.sub(r"@(SCOREDB_\w+)@", value, page)


def inlined_page(sources, program):
    page = with_dialog_template(read(os.path.join(sources, "index.html")))
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
    # The first picture (the console every screen is drawn on) stays first.
    first, rest = bitmaps[:1], bitmaps[1:]
    ordered = first + [p for p in rest if os.path.getsize(p) <= BIG_PICTURE] + \
        [p for p in rest if os.path.getsize(p) > BIG_PICTURE]
    bundle = b""
    for path in ordered:
        with open(path, "rb") as f:
            data = f.read()
        name = os.path.splitext(os.path.basename(path))[0]
        bundle += name.encode("ascii") + b"\0" + len(data).to_bytes(4, "little") + data
    with open(os.path.join(out, "pictures.bin"), "wb") as f:
        f.write(gzip.compress(bundle, 9, mtime=0))
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
