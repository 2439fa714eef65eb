#!/usr/bin/env python3
"""The Linux program on a high-density desktop: Xft.dpi in the X resource
database picks a whole-number scale k, and every game pixel shows as k by k
screen pixels. One case per run:
  blocks  the start screen and the name dialog over a finished game at 192 dpi
          are the 96 dpi pictures with every pixel doubled, exactly;
  input   at 192 dpi the clicks, the hit box edges and the caption drag act as
          at 96 dpi;
  fit     a screen too small for k keeps a smaller k; 288 dpi gives 3.
Both runs of "blocks" deal the same pieces: the clock the dealer is seeded
from is held still (faketime), the timers' clock runs."""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from x_session import (WINDOW_HEIGHT, WINDOW_WIDTH, Failure, XSession, check, scratch_dir, verdict,  # noqa: E402
                       wait_for)
from window_test import DEFAULT_RECORDS, GO, GUARD, PREVIEW, checksum, dark, dialog_shown  # noqa: E402

FAKETIME = "/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1"

# Go's button in window points: its box runs from 43,61 to 108,86.
GO_LEFT, GO_TOP = 43, 61
# Where a game's score stands: the only place of the finished game that
# depends on how the key repeat and the fall timer met, and so is left out.
SCORE_BOX = (39, 320, 70, 22)


class ScaledSession:
    """The program on its own X server of the given size, with the desktop's
    Xft.dpi set (or not), in a scratch directory holding a valid VORN.DAT."""

    def __init__(self, program, screen, dpi=None, steady_clock=False):
        self.program, self.screen, self.dpi, self.steady_clock = program, screen, dpi, steady_clock
        self.scratch = scratch_dir("quarvelle-scale-")
        self.x = None
        self.game = None

    def __enter__(self):
        self.x = XSession(self.screen, resources="Xft.dpi: %d\n" % self.dpi if self.dpi else None)
        self.x.env = dict(self.x.env, SDL_AUDIODRIVER="dummy")
        if self.steady_clock:
            self.x.env.update(LD_PRELOAD=FAKETIME, FAKETIME="2026-01-01 12:00:00", FAKETIME_DONT_FAKE_MONOTONIC="1",
                              FAKETIME_DONT_RESET="1")
        with open(os.path.join(self.scratch, "VORN.DAT"), "w", newline="") as f:
            f.write(GUARD + "\n" + "".join(r + "\n" for r in DEFAULT_RECORDS) + "%d\n" % checksum(DEFAULT_RECORDS))
        self.game = self.x.start([self.program], cwd=self.scratch)
        return self

    def __exit__(self, *exc):
        self.x.close()
        shutil.rmtree(self.scratch, ignore_errors=True)

    def window(self):
        """(id, width, height, x, y) of the game window, once it is mapped."""
        return wait_for("the game window", lambda: self.x.windows().get("Quarvelle"))

    def scale(self):
        _, width, height, _, _ = self.window()
        check(width % WINDOW_WIDTH == 0 and height == WINDOW_HEIGHT * (width // WINDOW_WIDTH),
              "the window is %dx%d, not a whole multiple of %dx%d" % (width, height, WINDOW_WIDTH, WINDOW_HEIGHT))
        return width // WINDOW_WIDTH

    def picture(self):
        _, width, height, x, y = self.window()
        return self.x.screenshot((width, height, x, y))

    def first_picture(self):
        k = self.scale()
        return wait_for("the first picture", lambda: (lambda p: p if not dark(p.at(60 * k, 60 * k)) else None)(
            self.picture()))

    def screen_point(self, x, y):
        """The screen point of a window pixel."""
        _, _, _, left, top = self.window()
        return left + x, top + y

    def press(self, x, y):
        self.x.xdotool("mousemove", *self.screen_point(x, y))
        self.x.xdotool("mousedown", "1")

    def release(self):
        self.x.xdotool("mouseup", "1")

    def play_until_name_dialog(self):
        k = self.scale()
        self.first_picture()
        self.x.xdotool("windowfocus", self.window()[0])
        self.x.click_at(*self.screen_point(GO[0] * k, GO[1] * k))
        self.x.xdotool("keydown", "Down")
        try:
            return wait_for("the name dialog", lambda: (lambda p: p if dialog_shown(shrunk(p, k)) else None)(
                self.picture()), 120)
        finally:
            self.x.xdotool("keyup", "Down")


class Shrunk:
    """A k-times picture read at k=1 points: the top-left pixel of each block."""

    def __init__(self, picture, k):
        self.picture, self.k = picture, k

    def at(self, x, y):
        return self.picture.at(x * self.k, y * self.k)


def shrunk(picture, k):
    return Shrunk(picture, k)


def block_faults(big, small, k, leave_out=()):
    """Where the k-times picture is not the small one with each pixel made a
    k by k block of one colour: a list of (x, y) in small points, at most 10."""
    check((big.width, big.height) == (small.width * k, small.height * k),
          "the pictures are %dx%d and %dx%d" % (big.width, big.height, small.width, small.height))
    faults = []
    for y in range(small.height):
        for x in range(small.width):
            if any(lx <= x < lx + lw and ly <= y < ly + lh for lx, ly, lw, lh in leave_out):
                continue
            want = small.at(x, y)
            block = {big.at(x * k + i, y * k + j) for j in range(k) for i in range(k)}
            if block != {want}:
                faults.append((x, y))
                if len(faults) == 10:
                    return faults
    return faults


def case_blocks(program):
    pictures = {}
    for k, dpi in ((1, None), (2, 192)):
        with ScaledSession(program, (1920, 1200), dpi, steady_clock=True) as session:
            check(session.scale() == k, "at %s dpi the scale is %d, not %d" % (dpi, session.scale(), k))
            start = session.first_picture()
            finished = session.play_until_name_dialog()
            pictures[k] = (start, finished)
    faults = block_faults(pictures[2][0], pictures[1][0], 2)
    check(not faults, "the start screen at 2x differs from 1x at %s" % faults)
    faults = block_faults(pictures[2][1], pictures[1][1], 2, leave_out=[SCORE_BOX])
    check(not faults, "the name dialog over the finished game at 2x differs from 1x at %s" % faults)


def case_input(program):
    with ScaledSession(program, (1920, 1200), 192) as session:
        _, width, height, x, y = session.window()
        check((width, height) == (700, 840), "at 192 dpi the window is %dx%d, not 700x840" % (width, height))
        check((x, y) == (1920 // 2 - 350, 1200 // 2 - 420), "the window at %d,%d is not centred" % (x, y))
        up = session.first_picture()

        def go_face(picture):
            return picture.region(2 * GO_LEFT, 2 * GO_TOP, 2 * 65, 2 * 25)

        def preview_empty(picture):
            well = [picture.at(2 * (PREVIEW[0] + 8) + i, 2 * (PREVIEW[1] + 8) + j)
                    for j in range(0, 2 * (PREVIEW[3] - 16), 3) for i in range(0, 2 * (PREVIEW[2] - 16), 3)]
            return max(max(p) for p in well) < 80

        # A click on the last screen pixel of game pixel 42, and one just above
        # game row 61, miss Go: neither starts a game.
        for point in ((2 * GO_LEFT - 1, 2 * GO_TOP + 10), (2 * GO_LEFT + 10, 2 * GO_TOP - 1)):
            session.press(*point)
            session.release()
        # The first screen pixel of 43,61 is on Go. The face it shows comes
        # after the misses were handled, so the preview tells whether they
        # started a game (a new game deals its next piece there at once).
        session.press(2 * GO_LEFT, 2 * GO_TOP)
        pressed = wait_for("Go pressed at its top-left pixel",
                           lambda: (lambda p: p if go_face(p) != go_face(up) else None)(session.picture()))
        check(preview_empty(pressed), "a click beside Go started a game")
        session.release()
        wait_for("a game started by the release on Go", lambda: not preview_empty(session.picture()))

        # The caption drag moves the window by screen pixels, under the pointer.
        grab = session.screen_point(300, 20)
        session.x.xdotool("mousemove", *grab)
        session.x.xdotool("mousedown", "1")
        session.x.xdotool("mousemove", grab[0] - 101, grab[1] - 53)
        session.x.xdotool("mousemove", grab[0] - 201, grab[1] - 103)
        session.x.xdotool("mouseup", "1")
        target = (x - 201, y - 103)
        try:
            wait_for("the dragged window", lambda: session.window()[3:] == target, 5)
        except Failure:
            check(False, "the window went to %d,%d, not %d,%d" % (session.window()[3:] + target))


def case_fit(program):
    for screen, dpi, k in (((1366, 768), 192, 1), ((2560, 1600), 288, 3), ((1920, 1080), 288, 2),
                           ((1920, 1200), 144, 2), ((1366, 768), 144, 1), ((1920, 1200), 120, 1),
                           ((1920, 1200), 168, 2)):
        with ScaledSession(program, screen, dpi) as session:
            got = session.scale()
            check(got == k, "%d dpi on %dx%d gives %d, not %d" % (dpi, screen[0], screen[1], got, k))
            _, width, height, x, y = session.window()
            check((x, y) == (screen[0] // 2 - width // 2, screen[1] // 2 - height // 2),
                  "the %dx window on %dx%d is not centred" % (k, screen[0], screen[1]))
            session.first_picture()


CASES = {"blocks": case_blocks, "input": case_input, "fit": case_fit}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in CASES:
        print("usage: scale_test.py {%s} PROGRAM" % ",".join(CASES))
        return 2
    return verdict(lambda: CASES[sys.argv[1]](os.path.abspath(sys.argv[2])))


if __name__ == "__main__":
    sys.exit(main())
