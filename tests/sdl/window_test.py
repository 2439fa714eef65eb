#!/usr/bin/env python3
"""Drives the real Linux program under its own Xvfb: xdotool plays, ImageMagick
reads the screen. One case per run: window, first_start, play, game_over,
game_over_quit, close_button, sigterm_name_dialog. Checks the structure of
what is shown (a black field, a block that is not black, digits in the
boxes), never the exact art."""

import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_session import (WINDOW_HEIGHT as WIN_H, WINDOW_WIDTH as WIN_W, Failure, XSession,  # noqa: E402
                       centred_origin, check, scratch_dir, verdict, wait_for)

SCREEN_W, SCREEN_H = 1280, 1024
ORIGIN = centred_origin((SCREEN_W, SCREEN_H))

GUARD = "[Do not cheat!]" + " " * 173 + "."
DEFAULT_RECORDS = ["Unknown;%d;1;0" % s for s in (50, 40, 30, 20, 10)]

# Window points of the painted controls and places the checks read.
GO, PAUSE, ABOUT = (73, 73), (73, 107), (73, 141)
CLOSE_GLYPH = (333, 15)
FIELD_X, FIELD_Y, CELL = 130, 40, 20
BOXES = {"level": (39, 278), "score": (39, 320), "best": (39, 367)}
PREVIEW = (36, 200, 74, 56)
HIGH_SCORE_NAME_X, HIGH_SCORE_ROW_TOP, HIGH_SCORE_ROW_STEP = 50, 257, 15


class Session:
    """The program in a scratch directory on its own X server."""

    def __init__(self, program):
        self.program = program
        self.scratch = scratch_dir("quarvelle-sdl-")
        self.x = None
        self.game = None
        self.env = None

    def __enter__(self):
        self.x = XSession((SCREEN_W, SCREEN_H))
        # A UTF-8 locale whatever the machine's, so that xdotool types the non-ASCII letters.
        self.env = dict(self.x.env, SDL_AUDIODRIVER="dummy", LC_ALL="C.UTF-8")
        self.x.env = self.env
        return self

    def __exit__(self, *exc):
        self.x.close()
        shutil.rmtree(self.scratch, ignore_errors=True)

    def run(self, *command):
        return self.x.run(*command)

    def write_scores(self, records=DEFAULT_RECORDS):
        with open(self.vorn_path(), "w", newline="") as f:
            f.write(GUARD + "\n" + "".join(r + "\n" for r in records) + "%d\n" % checksum(records))

    def vorn_path(self):
        return os.path.join(self.scratch, "VORN.DAT")

    def start(self):
        self.game = self.x.start([self.program], cwd=self.scratch)

    def exit_code(self, limit=20.0):
        try:
            return self.game.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def windows(self):
        return self.x.windows()

    def game_window(self):
        return wait_for("the game window", lambda: self.windows().get("Quarvelle"))

    def screen(self):
        """The window's pixels as a Picture, read from the root window."""
        return self.x.screenshot((WIN_W, WIN_H, ORIGIN[0], ORIGIN[1]))

    def click(self, point):
        self.x.click_at(ORIGIN[0] + point[0], ORIGIN[1] + point[1])

    def focus(self):
        self.run("xdotool", "windowfocus", self.game_window()[0])

    def key(self, *keys):
        self.run("xdotool", "key", *keys)


def dark(pixel):
    return max(pixel) < 80


def cell_filled(picture, row, column):
    """A cell shows a block when most of it is clearly not black."""
    pixels = picture.region(FIELD_X + CELL * column + 2, FIELD_Y + CELL * row + 2, CELL - 4, CELL - 4)
    return sum(1 for p in pixels if max(p) > 60) > len(pixels) // 2


def filled_cells(picture):
    return {(r, c) for r in range(18) for c in range(10) if cell_filled(picture, r, c)}


def checksum(records):
    return sum(sum(b for b in (record + "\n").encode("cp1252")) for record in records)


def read_scores(path):
    with open(path, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    return lines


def check_score_file(lines):
    check(len(lines) >= 7 and lines[0][188:189] == b".", "the guard line is damaged")
    total = sum(sum(line) + 10 for line in lines[1:6])
    check(int(lines[6]) == total, "the checksum %s does not match the records (%d)" % (lines[6], total))


def check_game_screen(picture):
    check(not filled_cells(picture), "the field is not black")
    well = picture.region(PREVIEW[0] + 8, PREVIEW[1] + 8, PREVIEW[2] - 16, PREVIEW[3] - 16)
    check(max(max(p) for p in well) < 80, "the preview is not the empty well")
    for name, (x, y) in BOXES.items():
        digits = sum(1 for p in picture.region(x + 4, y + 3, 61, 16) if dark(p))
        check(digits > 5, "the %s box shows no digits" % name)


def case_window(session):
    session.write_scores()
    session.start()
    _, width, height, x, y = session.game_window()
    check((width, height) == (WIN_W, WIN_H), "window is %dx%d" % (width, height))
    check((x, y) == ORIGIN, "window is at %d,%d, not centred" % (x, y))
    icon = session.run("xprop", "-name", "Quarvelle", "_NET_WM_ICON")
    check("_NET_WM_ICON(CARDINAL)" in icon, "the window has no icon")
    picture = wait_for("the first picture", lambda: (lambda p: p if not dark(p.at(60, 60)) else None)(session.screen()))
    check_game_screen(picture)
    # Dragging the caption strip moves the window with the pointer.
    grab = (ORIGIN[0] + 150, ORIGIN[1] + 10)
    session.run("xdotool", "mousemove", str(grab[0]), str(grab[1]), "mousedown", "1")
    session.run("xdotool", "mousemove", str(grab[0] + 20), str(grab[1] + 10))
    session.run("xdotool", "mousemove", str(grab[0] + 40), str(grab[1] + 30), "mouseup", "1")
    # The window passes the pointer's first stop on its way; wait for the last.
    target = (ORIGIN[0] + 40, ORIGIN[1] + 30)
    try:
        wait_for("the dragged window", lambda: session.game_window()[3:] == target, 5)
    except Failure:
        check(False, "the window went to %d,%d" % session.game_window()[3:])


def case_first_start(session):
    session.start()
    box = wait_for("the error box", lambda: session.windows().get("Error"))
    session.run("xdotool", "windowfocus", box[0])
    session.key("Return")
    check(session.exit_code() == 0, "the first start did not end with code 0")
    lines = read_scores(session.vorn_path())
    check([l.decode() for l in lines[1:6]] == DEFAULT_RECORDS, "the default records are wrong")
    check_score_file(lines)


def case_play(session):
    session.write_scores()
    session.start()
    session.focus()
    wait_for("the first picture", lambda: not dark(session.screen().at(60, 60)))
    session.click(GO)
    cells = wait_for("a piece", lambda: filled_cells(session.screen()))
    rows = {r for r, _ in cells}
    # Every piece enters in rows 0 and 1; the row of four lies in row 0 alone.
    check(0 in rows and rows <= {0, 1} and len(cells) == 4,
          "the first piece is not in rows 0 and 1: %s" % sorted(cells))

    # A tick may come before the key: the piece is then one row lower too.
    session.key("Left")
    shifted = [{(r + down, c - 1) for r, c in cells} for down in (0, 1)]
    wait_for("the piece one cell to the left of %s" % sorted(cells),
             lambda: filled_cells(session.screen()) in shifted)

    # The Go face comes up once the Pause release has been handled.
    running_go = session.screen().region(GO[0] - 30, GO[1] - 10, 60, 20)
    session.click(PAUSE)
    paused = wait_for("the pause", lambda: (lambda p: p if p.region(GO[0] - 30, GO[1] - 10, 60, 20) != running_go
                                            else None)(session.screen()))
    session.key("Left", "Right", "Down")
    time.sleep(2.0)  # more than two ticks at level 1
    check(filled_cells(session.screen()) == filled_cells(paused), "the field moved while paused")

    session.click(ABOUT)
    def names_shown():
        picture = session.screen()
        return [picture.region(HIGH_SCORE_NAME_X, HIGH_SCORE_ROW_TOP + HIGH_SCORE_ROW_STEP * i, 100, 13)
                for i in range(5)]
    names = wait_for("the high-score page", lambda: (lambda n: n if all(any(dark(p) for p in r) for r in n) else None)(names_shown()))
    check(all(name == names[0] for name in names), "the five rows do not all show the same name")


def play_until_name_dialog(session):
    session.write_scores()
    session.start()
    session.focus()
    first = wait_for("the first picture", lambda: (lambda p: p if not dark(p.at(60, 60)) else None)(session.screen()))
    session.click(GO)
    wait_for("a piece", lambda: filled_cells(session.screen()))
    session.run("xdotool", "keydown", "Down")
    try:
        wait_for("the name dialog", lambda: dialog_shown(session.screen()), 90)
    finally:
        session.run("xdotool", "keyup", "Down")
    return first


def console_rim(picture):
    """The console's right rim, beside the info page, where the dialog lay too."""
    return picture.region(331, 110, 16, 150)


def dialog_shown(picture):
    # Points of the dialog's face over the field, which shows black or blocks otherwise.
    return all(picture.at(*p) == (192, 192, 192) for p in ((320, 125), (140, 240)))


def saved_entry(session, typed):
    """The record the dialog saved, once VORN.DAT holds it; the file must check out."""
    def saved():
        lines = read_scores(session.vorn_path())
        return lines if len(lines) >= 7 and any(line.startswith(typed[:2]) for line in lines[1:6]) else None
    lines = wait_for("the saved name", saved)
    check_score_file(lines)
    return next(line for line in lines[1:6] if line.startswith(typed[:2])).split(b";")


def case_game_over(session):
    first = play_until_name_dialog(session)
    session.run("xdotool", "type", "--delay", "20", "Zo\u00eb Tester-Longname")
    session.key("Return")
    entry = saved_entry(session, b"Zo")
    # Nothing of the closed dialog stays on screen beside the high-score page.
    wait_for("the rim repainted", lambda: console_rim(session.screen()) == console_rim(first))
    # The whole typed text reaches the game, which keeps 13 characters.
    check(entry[0] == "Zo\u00eb Tester-Lo".encode("cp1252"), "the name saved is %r" % entry[0])
    check(int(entry[1]) > 10, "the score saved is not the game's")
    session.click(CLOSE_GLYPH)
    check(session.exit_code() == 0, "the program did not end with code 0")


def case_game_over_quit(session):
    play_until_name_dialog(session)
    session.run("xdotool", "type", "--delay", "20", "Quitter")
    session.key("Escape")
    time.sleep(0.3)
    check(dialog_shown(session.screen()), "Escape closed the dialog")
    check(b"Quitter" not in open(session.vorn_path(), "rb").read(), "Escape saved the name")
    # Backwards from the edit box, the focus reaches "Quit game"; Enter presses it.
    session.key("shift+Tab", "Return")
    check(session.exit_code() == 0, "Quit game did not end the program with code 0")
    check(saved_entry(session, b"Quitter")[0] == b"Quitter", "Quit game did not save the name")


def case_sigterm_name_dialog(session):
    """SIGTERM with the name dialog open ends the program as Quit does: with
    0, soon, and no name saved."""
    play_until_name_dialog(session)
    with open(session.vorn_path(), "rb") as f:
        before = f.read()
    session.run("xdotool", "type", "--delay", "20", "Signalled")
    session.game.send_signal(signal.SIGTERM)
    check(session.exit_code(10) == 0, "SIGTERM did not end the program with code 0")
    with open(session.vorn_path(), "rb") as f:
        check(f.read() == before, "SIGTERM with the dialog open changed VORN.DAT")


def case_close_button(session):
    session.write_scores()
    session.start()
    wait_for("the first picture", lambda: not dark(session.screen().at(60, 60)))
    session.click(CLOSE_GLYPH)
    check(session.exit_code() == 0, "the close button did not end the program with code 0")


CASES = {
    "window": case_window,
    "first_start": case_first_start,
    "play": case_play,
    "game_over": case_game_over,
    "game_over_quit": case_game_over_quit,
    "close_button": case_close_button,
    "sigterm_name_dialog": case_sigterm_name_dialog,
}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in CASES:
        print("usage: window_test.py {%s} PROGRAM" % ",".join(CASES))
        return 2
    with Session(os.path.abspath(sys.argv[2])) as session:
        return verdict(lambda: CASES[sys.argv[1]](session))


if __name__ == "__main__":
    sys.exit(main())
