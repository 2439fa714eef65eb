#!/usr/bin/env python3
"""Prints the Linux program's figures on Wayland beside X11's, measured the
same way: start-up to the first picture and one key move handled and shown
(quarvelle_sdl_bench, 5 runs, median), and the peak resident memory of the
program after Go and a few seconds of a game. X11 on a plain Xvfb (the
window-surface path); Wayland on weston's x11 backend with pixman (the
renderer path, Mesa's software GL), at scale 1 and 2. Figures only: nothing
here passes or fails.
  tests/sdl/bench_wayland.py BUILD_DIR   (BUILD_DIR holds quarvelle and quarvelle_sdl_bench)"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
from x_session import XSession, centred_origin, scratch_dir, viewable_window, wait_for  # noqa: E402
from wayland_test import GO, WIN_H, WIN_W, Weston, write_valid_scores  # noqa: E402

RUNS = 5


def first_pictures(bench, directory, env):
    shown, moves = [], []
    for _ in range(RUNS):
        out = subprocess.run([bench], cwd=directory, env=env, capture_output=True, text=True, timeout=120).stdout
        shown.append(float(re.search(r"first picture shown: ([\d.]+) ms after main", out).group(1)))
        moves.append(float(re.search(r"key move.*?median ([\d.]+) us", out).group(1)) if "median" in out else 0.0)
    return statistics.median(shown), min(shown), statistics.median(moves)


def peak_memory(program, directory, env, click):
    game = subprocess.Popen([program], cwd=directory, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        click()
        time.sleep(3)  # a few seconds of the game, for the figure; nothing is judged by it
        with open("/proc/%d/status" % game.pid) as f:
            return int(re.search(r"VmHWM:\s+(\d+)", f.read()).group(1)) / 1024.0
    finally:
        game.terminate()
        game.wait(timeout=20)


def report(name, figures, memory):
    median, fastest, move = figures
    print("%-22s first picture %6.1f ms after main() (median; fastest %.1f)  key move %6.1f us  "
          "peak memory %5.1f MB" % (name, median, fastest, move, memory))


def main(build):
    build = os.path.abspath(build)
    program, bench = os.path.join(build, "quarvelle"), os.path.join(build, "quarvelle_sdl_bench")
    directory = scratch_dir("quarvelle-bench-")
    try:
        write_valid_scores(directory)
        screen = (1280, 1024)
        with XSession(screen) as x:
            env = dict(x.env, SDL_AUDIODRIVER="dummy")
            origin = centred_origin(screen)

            def click_go():
                wait_for("the X11 window", lambda: viewable_window(x, "Quarvelle"))
                x.click_at(origin[0] + GO[0], origin[1] + GO[1])
            report("X11 (window surface)", first_pictures(bench, directory, env),
                   peak_memory(program, directory, env, click_go))
        for k in (1, 2):
            with Weston(scale=k) as weston:
                def click_go_wayland():
                    place = wait_for("the window", lambda: weston.window_place((WIN_W * k, WIN_H * k)), 30)
                    weston.click(place, GO, k)
                report("Wayland k=%d (renderer)" % k, first_pictures(bench, directory, weston.env),
                       peak_memory(program, directory, weston.env, click_go_wayland))
    finally:
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
