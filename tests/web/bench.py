#!/usr/bin/env python3
"""Prints the page's figures in headless Chromium; nothing here passes or
fails. The transfer size (gzip -9 of every file the page loads), the time
from navigation to the first whole picture (median of 7 warm loads), a key
press to its picture in the page (median of 40), and the renderer's CPU at
the start screen and with a game paused (10 s each). With --sdl-bench, the
Linux program's first picture in the same run (quarvelle_sdl_bench, median
of 5).

    tests/web/bench.py [--page build-web/page] [--sdl-bench build-sdl-full/quarvelle_sdl_bench]
"""

import argparse
import gzip
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
from devtools import Browser, Server, built_page, wait_for  # noqa: E402
from page_test import DEFAULT_FILE, GO, PAUSE  # noqa: E402


def transfer_size(folder):
    print("== transfer size, gzip -9 of every file the page loads")
    total = 0
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            data = f.read()
        packed = len(gzip.compress(data, 9))
        total += packed
        print("  %-22s %8d bytes, %7d gzipped" % (name, len(data), packed))
    print("transfer size: %.1f KB (target at most 250 KB)" % (total / 1024))


def renderer_cpu_ns(browser):
    """CPU time of every thread of chromium's renderer processes, in ns."""
    total = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                command = f.read()
            if b"--type=renderer" not in command or browser.profile.encode() not in command:
                continue
            for task in os.listdir("/proc/%s/task" % pid):
                with open("/proc/%s/task/%s/schedstat" % (pid, task)) as f:
                    total += int(f.read().split()[0])
        except OSError:
            continue
    return total


def cpu_percent(browser, seconds=10.0):
    before, start = renderer_cpu_ns(browser), time.monotonic()
    time.sleep(seconds)
    after, end = renderer_cpu_ns(browser), time.monotonic()
    return 100.0 * (after - before) / 1e9 / (end - start)


def blank_page_cpu():
    """The same browser's renderer on a page with one canvas and no script:
    what Chromium spends on its own, beside which the game's figures stand."""
    folder = tempfile.mkdtemp(prefix="quarvelle-blank-")
    with open(os.path.join(folder, "index.html"), "w") as f:
        f.write('<!DOCTYPE html><canvas width="350" height="420"></canvas>')
    server = Server(folder)
    with Browser() as b:
        b.send("Page.navigate", url=server.url)
        wait_for("the blank page", lambda: b.evaluate("document.readyState") == "complete")
        time.sleep(2)  # past the page's own start
        print("blank page (Chromium alone): %.2f %% of one core" % cpu_percent(b))
    server.stop()


def page_figures(folder):
    server = Server(folder)
    with Browser() as b:
        b.send("Page.navigate", url=server.url + "none")
        wait_for("the origin", lambda: b.evaluate("document.readyState") == "complete")
        b.store_table(DEFAULT_FILE)
        b.go(server.url)
        wait_for("the service worker", lambda: b.evaluate(
            "navigator.serviceWorker.ready.then((r) => !!r.active)", wait=True))
        pictures, frames, steps = [], [], []
        for _ in range(7):
            b.reload()
            wait_for("the first frame", lambda: b.evaluate("QV.firstFrame > 0"))
            pictures.append(b.evaluate("QV.firstPicture"))
            frames.append(b.evaluate("QV.firstFrame"))
            steps.append(b.evaluate(
                "(() => { const n = performance.getEntriesByType('navigation')[0];"
                " const w = performance.getEntriesByName(new URL('quarvelle.wasm', location).href)[0];"
                " const m = performance.getEntriesByName('quarvelle-main')[0];"
                " return [n.responseEnd, n.domInteractive, w ? w.responseEnd : 0, m ? m.startTime : 0]; })()"))
        print("== first whole picture, 7 warm loads (service worker and caches in place)")
        print("first whole picture: %.1f ms after navigation (median; fastest %.1f), shown in the frame at %.1f ms "
              "(median)" % (statistics.median(pictures), min(pictures), statistics.median(frames)))
        medians = [statistics.median(step[i] for step in steps) for i in range(4)]
        print("  medians: page answered %.1f ms, parsed %.1f ms, wasm answered %.1f ms, main() %.1f ms" % tuple(medians))

        print("== renderer CPU, 10 s each")
        blank_page_cpu()
        time.sleep(2)  # past the reloads
        print("start screen: %.2f %% of one core" % cpu_percent(b))
        b.click(*GO)
        wait_for("a game", lambda: b.evaluate("QV.shownCount") > 3)
        b.evaluate("window.__keyAt = 0; window.addEventListener('keydown',"
                   " () => { window.__keyAt = performance.now(); }, true)")
        latencies = []
        for i in range(40):
            count = b.evaluate("QV.shownCount")
            b.key("ArrowLeft" if i % 2 else "ArrowRight", vk=37 if i % 2 else 39)
            wait_for("the key's picture", lambda: b.evaluate("QV.shownCount") > count)
            latencies.append(b.evaluate("QV.shown - window.__keyAt"))
        print("key press to picture shown in the page: %.3f ms (median of 40; the slowest %.3f)" % (
            statistics.median(latencies), max(latencies)))
        b.click(*PAUSE)
        print("paused game: %.2f %% of one core" % cpu_percent(b))
    server.stop()


def sdl_first_picture(bench):
    """The Linux program's first picture, as tests/sdl/bench.sh measures it."""
    from x_session import XSession
    scratch = tempfile.mkdtemp(prefix="quarvelle-bench-")
    with open(os.path.join(scratch, "VORN.DAT"), "wb") as f:
        f.write(DEFAULT_FILE)
    figures = []
    with XSession((1280, 1024)) as x:
        env = dict(x.env, SDL_AUDIODRIVER="dummy")
        for _ in range(5):
            out = subprocess.run([bench], cwd=scratch, env=env, capture_output=True, text=True, timeout=60).stdout
            found = re.search(r"first picture shown: ([0-9.]+) ms after main", out)
            if found:
                figures.append(float(found.group(1)))
    if figures:
        print("== the Linux program in the same run")
        print("first picture shown: %.1f ms after main() (median of 5; fastest %.1f)" % (
            statistics.median(figures), min(figures)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", default=None)
    parser.add_argument("--sdl-bench", default=None)
    args = parser.parse_args()
    folder = built_page(args.page)
    transfer_size(folder)
    page_figures(folder)
    if args.sdl_bench:
        sdl_first_picture(os.path.abspath(args.sdl_bench))


if __name__ == "__main__":
    main()
