#!/usr/bin/env python3
"""The Windows program under Wine in its own Xvfb, driven like a player would:
real X mouse clicks and key presses, the screen read back pixel by pixel.

    wine_session.py prefix        make a fresh Wine prefix (no sound device)
    wine_session.py first-start   no VORN.DAT: the error box, then exit code 0
    wine_session.py second-start  the window, its picture, no system menu,
                                  minimised and restored, a piece moved, closed
    wine_session.py linux-file    a VORN.DAT written on Linux loads here; the
                                  caption drags the window
    wine_session.py name-dialog   a game lost with a high score asks for a name
    wine_session.py high-dpi      at 192 dpi the window shows every pixel as 2 by 2
                                  and takes clicks in game pixels
    wine_session.py dpi-fit       at 192 dpi a screen too small for 700 by 840
                                  keeps the window at 350 by 420; Alt+F4 ends it
    wine_session.py read-only     started in a folder it cannot write, the game
                                  asks "Cannot write file...", then its notice
                                  names the folder and says what helps
    wine_session.py two-copies-a-then-b, two-copies-b-then-a, two-copies-together,
                    two-copies-killed
                                  two copies in one folder, each on an X display
                                  of its own, both enter the table: A saves
                                  "Anna", then B "Bert"; the other way round;
                                  both at once; B while a copy holding the lock
                                  is killed. Both results stay in VORN.DAT

Every case runs in its own scratch directory with its own X display, and
stops what it started (Xvfb, the program, the Wine server of the prefix).
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_session import (CAPTION_HEIGHT as CAPTION_Y, FRAME_SIDE as FRAME_X, WINDOW_HEIGHT as HEIGHT,  # noqa: E402
                       WINDOW_WIDTH as WIDTH, Failure, XSession, centred_origin, check, wait_for)
from score_tables import LOW_TABLE, expected_orders, merged, wait_for_names, write_table  # noqa: E402

SCREEN = (1024, 768)
FIELD_X, FIELD_Y, CELL, COLUMNS, ROWS = 130, 40, 20, 10, 18
GO_BUTTON = (60, 70)       # window point inside the Go button's hit box
PAUSE_BUTTON = (60, 105)   # and inside the Pause button's
GO_FACE, PAUSE_FACE = (40, 59), (40, 93)  # where the pressed faces are drawn
CLOSE_GLYPH = (333, 14)    # window point inside the painted close button
MINIMISE_GLYPH = (312, 14)  # and inside the painted minimise button
MESSAGE = "High score file corrupted or missing, please restart game."
DIALOG_CLASS = "#32770"     # the window class of dialogs and message boxes
START_TIMEOUT = 60.0       # a Wine server's first program takes some seconds
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"  # its LogPixels is the DPI Wine reports


class Session:
    """One X display, the prefix's Wine server and the programs started in it."""

    def __init__(self, args, scratch, screen=SCREEN):
        self.args = args
        self.scratch = scratch
        self.x = XSession(screen)
        self.env = self.x.env
        self.env.update({
            "WINEPREFIX": args.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",  # no first-run installers
        })

    def close(self):
        for program in self.x.programs:
            if program.poll() is None:
                program.kill()
                program.wait()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30)
        self.x.close()

    def run(self, command, cwd=None, timeout=60):
        return subprocess.run(command, env=self.env, cwd=cwd or self.scratch, timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)

    def start_game(self):
        return self.x.start(["wine", self.args.exe], cwd=self.scratch, quiet=True)

    def wait_exit(self, program, timeout=20):
        try:
            return program.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end")

    def probe(self, what, name):
        result = self.run(["wine", self.args.probe, what, name], timeout=60)
        return result.stdout if result.returncode == 0 else None

    def wait_for(self, what, name, timeout=START_TIMEOUT):
        try:
            return wait_for("window %r" % name, lambda: self.probe(what, name), timeout, pause=0.2)
        except Failure:
            raise Failure("no window %r appeared" % name)

    def xdotool(self, *arguments):
        self.run(["xdotool"] + [str(a) for a in arguments], timeout=20)

    def click(self, x, y):
        self.x.click_at(x, y)

    def screenshot(self):
        """The whole X screen."""
        return self.x.screenshot()

    def frame(self):
        """The game window's left, top, width, height, client x and y, and 1 if minimised."""
        return [int(v) for v in self.wait_for("frame", "Quarvelle").split()]


def drag_caption(session, grab, corner):
    """Drags the caption from the screen point `grab` by 60 right and 30 down
    in three steps, and returns the corner the window must reach: under the
    pointer, moved by screen pixels whatever the scale."""
    session.xdotool("mousemove", grab[0], grab[1], "mousedown", "1")
    for step in (1, 2, 3):
        time.sleep(0.15)  # the steps are the hand's pace; the end is polled
        session.xdotool("mousemove", grab[0] + 20 * step, grab[1] + 10 * step)
    session.xdotool("mouseup", "1")
    target = [corner[0] + 60, corner[1] + 30]
    try:
        wait_for("the dragged window", lambda: session.frame()[:2] == target, 5, pause=0.1)
    except Failure:
        raise Failure("the caption drag moved the window to %r, not %r" % (session.frame()[:2], target))
    return target


def occupied_cells(shot, origin):
    """Field cells whose centre differs from the blank cell's colour, taken as
    the colour most cells of the field show."""
    colours = {}
    for row in range(ROWS):
        for column in range(COLUMNS):
            x = origin[0] + FIELD_X + CELL * column + CELL // 2
            y = origin[1] + FIELD_Y + CELL * row + CELL // 2
            colours[(column, row)] = shot.at(x, y)
    values = list(colours.values())
    blank = max(set(values), key=values.count)
    return sorted(cell for cell, colour in colours.items() if colour != blank)


def settled_piece(session, origin, accept=lambda cells: True, limit=10.0):
    """The cells of the falling piece that `accept` takes, read until two
    screenshots agree (a tick may be drawing the field while one is taken)."""
    seen = [None]

    def agreed():
        cells = occupied_cells(session.screenshot(), origin)
        previous, seen[0] = seen[0], cells
        return cells if len(cells) == 4 and cells == previous and accept(cells) else None
    try:
        return wait_for("a falling piece", agreed, limit)
    except Failure:
        raise Failure("no falling piece of four cells on the screen, last seen %r" % seen[0])


def processor_seconds(program):
    """User and system time of the program so far (wine runs it in its own
    process, under the pid it was started with)."""
    with open("/proc/%d/stat" % program.pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def report_idle_processor_time(program, seconds=2.0):
    """A figure, not a verdict: the idle game waits for messages, so this
    stays near zero; a loop that polls shows tens of percent."""
    start = processor_seconds(program)
    time.sleep(seconds)
    used = processor_seconds(program) - start
    print("idle game: %.0f ms of processor time in %.1f s (%.1f %%)" % (1000 * used, seconds,
                                                                       100 * used / seconds))


def vorn_lines(path):
    with open(path, "rb") as data:
        return data.read().split(b"\r\n")


def answer_error_box(session, program):
    """The first start without a table: the box, its text, OK, exit code 0."""
    texts = session.wait_for("texts", "Error")
    check(MESSAGE in texts, "the error box says %r" % texts)
    session.xdotool("key", "Return")
    check(session.wait_exit(program) == 0, "the first start did not end with code 0")


def case_first_start(session):
    program = session.start_game()
    answer_error_box(session, program)
    path = os.path.join(session.scratch, "VORN.DAT")
    lines = vorn_lines(path)
    check(len(lines) == 8 and lines[7] == b"", "VORN.DAT is not seven lines ending in CR LF")
    check(all(b"\n" not in line and b"\r" not in line for line in lines), "a bare CR or LF in VORN.DAT")
    check(lines[0].startswith(b"[Do not cheat!]") and len(lines[0]) == 189 and lines[0].endswith(b"."),
          "the guard line is %r" % lines[0][:40])
    # The file written here loads in the Linux build.
    check(subprocess.run([session.args.tool, "load"], cwd=session.scratch).returncode == 0,
          "the Linux build does not load the Windows VORN.DAT")


def read_bitmap(path):
    """An uncompressed 8 or 24 bits per pixel BMP file as rows of (r, g, b)."""
    with open(path, "rb") as data:
        raw = data.read()
    offset = int.from_bytes(raw[10:14], "little")
    header = int.from_bytes(raw[14:18], "little")
    width = int.from_bytes(raw[18:22], "little", signed=True)
    height = int.from_bytes(raw[22:26], "little", signed=True)
    bits = int.from_bytes(raw[28:30], "little")
    check(int.from_bytes(raw[30:34], "little") == 0 and bits in (8, 24), "%s: unexpected format" % path)
    palette = raw[14 + header:offset]
    stride = (width * bits // 8 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + stride * (abs(height) - 1 - y if height > 0 else y)
        line = raw[start:start + stride]
        if bits == 8:
            rows.append([tuple(palette[4 * i:4 * i + 3][::-1]) for i in line[:width]])
        else:
            rows.append([tuple(line[3 * x:3 * x + 3][::-1]) for x in range(width)])
    return rows


def first_picture_problem(shot, left, top, console):
    """What is wrong with the window's first picture: the caption strip and the
    rim of "Console" must show unchanged at their places in the window, and the
    field of a new game blank."""
    rim = [(x, y) for y in range(30) for x in range(WIDTH)]
    rim += [(x, y) for y in range(30, HEIGHT) for x in (0, 1, 2, WIDTH - 3, WIDTH - 2, WIDTH - 1)]
    rim += [(x, y) for y in range(HEIGHT - 3, HEIGHT) for x in range(WIDTH)]
    wrong = [(x, y) for x, y in rim if shot.at(left + x, top + y) != console[y][x]]
    if wrong:
        return ("%d pixels of the caption strip and rim differ from Console, first at %r "
                "(or quarvelle.exe is older than resources/)" % (len(wrong), wrong[0]))
    if occupied_cells(shot, (left, top)):
        return "the field of a new game is not blank"
    return None


def wait_for_first_picture(session, left, top, console, name):
    seen = [None, None]

    def shown():
        seen[0] = session.screenshot()
        seen[1] = first_picture_problem(seen[0], left, top, console)
        return seen[1] is None
    try:
        wait_for("the first picture", shown, 10, pause=0.3)
    finally:
        if seen[0] is not None:
            seen[0].save(os.path.join(session.scratch, name))
    check(seen[1] is None, seen[1])


def case_second_start(session):
    answer_error_box(session, session.start_game())
    program = session.start_game()
    left, top, width, height, client_x, client_y, _ = session.frame()
    check((width, height) == (WIDTH, HEIGHT), "the window is %dx%d" % (width, height))
    check((left, top) == centred_origin(SCREEN),
          "the window is at %d,%d, not centred" % (left, top))
    check((client_x - left, client_y - top) == (FRAME_X, CAPTION_Y),
          "the client area starts at %d,%d of the window" % (client_x - left, client_y - top))

    # The first picture follows the window's appearance.
    console = read_bitmap(os.path.join(session.args.bitmaps, "Console.bmp"))
    wait_for_first_picture(session, left, top, console, "started.ppm")
    report_idle_processor_time(program)

    started = session.screenshot().region(left, top, WIDTH, HEIGHT)

    # The window has no system menu: Alt+Space opens nothing.
    shown = shown_windows(session)
    session.xdotool("key", "alt+space")
    check_nothing_opens(session, shown, "Alt+Space")
    check(session.frame()[6] == 0, "Alt+Space minimised the window")

    # The painted minimise button minimises and leaves nothing behind (no menu,
    # no other window); restored, the window shows the whole picture again,
    # frame and caption included, as it was before.
    session.click(left + MINIMISE_GLYPH[0], top + MINIMISE_GLYPH[1])
    try:
        wait_for("the window minimised", lambda: session.frame()[6] == 1, 10, pause=0.2)
    except Failure:
        raise Failure("the minimise button did not minimise the window")
    # Without a window manager, Wine leaves the X window of a minimised game
    # mapped with whatever it last showed, so the screen cannot tell; Windows
    # itself keeps a minimised window at -32000,-32000, off every screen.
    check(session.frame()[:2] == [-32000, -32000],
          "the minimised window is still placed at %r" % session.frame()[:2])
    check_nothing_opens(session, shown, "the painted minimise button")
    session.run(["wine", session.args.probe, "restore", "Quarvelle"])
    wait_for_first_picture(session, left, top, console, "restored.ppm")
    try:
        wait_for("the picture of before", lambda: session.screenshot().region(left, top, WIDTH, HEIGHT) == started,
                 5, pause=0.2)
    except Failure:
        raise Failure("the restored window does not show the picture it showed before it was minimised")
    check(shown_windows(session) == shown, "restoring the window left another window on the screen")

    session.click(left + GO_BUTTON[0], top + GO_BUTTON[1])
    # The first piece enters at the first tick.
    before = settled_piece(session, (left, top))
    for key in ("Left", "Left", "Right"):
        session.xdotool("key", "--delay", "150", key)
    # Two steps left and one right: one column left, whatever the ticks did.
    one_left = sorted(c - 1 for c, _ in before)
    try:
        after = settled_piece(session, (left, top), lambda cells: sorted(c for c, _ in cells) == one_left)
    except Failure as failure:
        raise Failure("the keys did not move the piece from %r one column left: %s" % (before, failure))
    check(min(r for _, r in after) >= min(r for _, r in before), "the piece rose")
    session.screenshot().save(os.path.join(session.scratch, "playing.ppm"))

    session.click(left + CLOSE_GLYPH[0], top + CLOSE_GLYPH[1])
    check(session.wait_exit(program) == 0, "the close button did not end the program with code 0")


def case_linux_file(session):
    check(subprocess.run([session.args.tool, "save", "Tux", "777"], cwd=session.scratch).returncode == 0,
          "the Linux build did not write VORN.DAT")
    path = os.path.join(session.scratch, "VORN.DAT")
    with open(path, "rb") as data:
        written = data.read()
    program = session.start_game()
    left, top = session.frame()[:2]
    # A file that fails to load is replaced and announced by the error box,
    # which follows the window's appearance.
    deadline = time.monotonic() + 2.0
    while time.monotonic() < deadline:
        check(session.probe("texts", "Error") is None, "the Linux VORN.DAT does not load here")
        time.sleep(0.2)
    with open(path, "rb") as data:
        check(data.read() == written, "the Linux VORN.DAT was replaced")

    # The caption strip drags the window; the painted close button is then
    # found at the window's new place.
    left, top = drag_caption(session, (left + 100, top + 10), (left, top))
    session.click(left + CLOSE_GLYPH[0], top + CLOSE_GLYPH[1])
    check(session.wait_exit(program) == 0, "the close button did not end the program with code 0")


def case_name_dialog(session):
    answer_error_box(session, session.start_game())
    program = session.start_game()
    left, top = session.frame()[:2]
    session.click(left + GO_BUTTON[0], top + GO_BUTTON[1])
    # Every piece dropped straight down, each step a point, until the stack
    # reaches the entry: the score beats the table's last 10.
    dialog = None
    deadline = time.monotonic() + 60
    while dialog is None and time.monotonic() < deadline:
        session.xdotool("key", "--delay", "15", "--repeat", "25", "Down")
        dialog = session.probe("texts", DIALOG_CLASS)
    check(dialog is not None, "no dialog at the end of the game")
    check("You made it to the HighScore list!" in dialog and "Give me your name" in dialog,
          "the dialog says %r" % dialog)
    session.screenshot().save(os.path.join(session.scratch, "name-dialog.ppm"))
    session.xdotool("key", "Escape")  # ignored: only the two buttons leave
    time.sleep(0.3)
    check(session.probe("texts", DIALOG_CLASS) is not None, "Escape closed the dialog")
    session.xdotool("type", "--delay", "20", "Wine Player 12345")
    session.xdotool("key", "Return")  # the default button, "Play again"
    try:
        wait_for("the dialog to close", lambda: session.probe("texts", DIALOG_CLASS) is None, 10, pause=0.2)
    except Failure:
        raise Failure("the dialog stayed open")
    records = [line.split(b";")[0] for line in vorn_lines(os.path.join(session.scratch, "VORN.DAT"))[1:6]]
    check(b"Wine Player 1" in records, "the table holds %r, not the first 13 characters typed" % records)
    session.click(left + CLOSE_GLYPH[0], top + CLOSE_GLYPH[1])
    check(session.wait_exit(program) == 0, "the close button did not end the program with code 0")


def shown_windows(session):
    """The top-level X windows on the screen (mapped and viewable), by id: a
    menu or a box of Wine's is one of them."""
    listing = session.x.run("xwininfo", "-root", "-children")
    ids = re.findall(r"^\s+(0x[0-9a-f]+)", listing, re.M)
    return {i for i in ids if "IsViewable" in session.x.run("xwininfo", "-id", i)}


def check_nothing_opens(session, shown, what, limit=1.5):
    """No other window comes to the screen after `what`; a menu or a box of
    the platform's own shows within a fraction of the limit."""
    end = time.monotonic() + limit
    while time.monotonic() < end:
        new = shown_windows(session) - shown
        check(not new, "%s opened a window (%s)" % (what, ", ".join(sorted(new))))
        time.sleep(0.1)


def wait_for_window(session, screen, k):
    """The game window at scale k: 350k by 420k, centred on the screen, its
    client area inside the painted frame. Returns its left and top."""
    left, top, width, height, client_x, client_y, _ = session.frame()
    check((width, height) == (WIDTH * k, HEIGHT * k),
          "the window is %dx%d, not %dx%d" % (width, height, WIDTH * k, HEIGHT * k))
    check((left, top) == (screen[0] // 2 - WIDTH * k // 2, screen[1] // 2 - HEIGHT * k // 2),
          "the window is at %d,%d, not centred" % (left, top))
    check((client_x - left, client_y - top) == (FRAME_X * k, CAPTION_Y * k),
          "the client area starts at %d,%d of the window" % (client_x - left, client_y - top))
    return left, top


def window_rows(shot, left, top):
    """The window's picture at scale 1, as one byte string a row."""
    return [shot.pixels[3 * ((top + y) * shot.width + left):][:3 * WIDTH] for y in range(HEIGHT)]


def scaled_picture_problem(shot, left, top, k, rows):
    """What keeps the window at scale k from showing `rows` (a picture at scale
    1) with every pixel as one k by k block of the same colour."""
    for y, row in enumerate(rows):
        expected = b"".join(row[i:i + 3] * k for i in range(0, len(row), 3))
        for j in range(k):
            start = 3 * ((top + k * y + j) * shot.width + left)
            seen = shot.pixels[start:start + len(expected)]
            if seen != expected:
                x = next(i for i in range(len(expected)) if seen[i:i + 1] != expected[i:i + 1]) // 3
                return ("the screen pixel %d,%d of the window is not the picture's pixel %d,%d at scale %d"
                        % (x, k * y + j, x // k, y, k))
    return None


def face_shows(shot, left, top, k, face, place):
    """Whether the image `face` (rows of colours) shows at window point
    `place`, each of its pixels as a block at scale k."""
    return all(shot.at(left + k * (place[0] + i), top + k * (place[1] + j)) == colour
               for j, line in enumerate(face) for i, colour in enumerate(line))


def desktop_dpi(session):
    """The LogPixels value of the prefix, or None when it is not set."""
    found = re.search(r"LogPixels\s+REG_DWORD\s+0x([0-9a-fA-F]+)",
                      session.run(["wine", "reg", "query", DESKTOP_KEY, "/v", "LogPixels"]).stdout)
    return int(found.group(1), 16) if found else None


def set_desktop_dpi(session, dpi):
    """Sets the DPI Wine reports to programs started from now on; None removes it."""
    if dpi is None:
        command = ["wine", "reg", "delete", DESKTOP_KEY, "/v", "LogPixels", "/f"]
    else:
        command = ["wine", "reg", "add", DESKTOP_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"]
    session.run(command)


def close_game(session, program, left, top, k=1):
    session.click(left + k * CLOSE_GLYPH[0], top + k * CLOSE_GLYPH[1])
    check(session.wait_exit(program) == 0, "the close button did not end the program with code 0")


def case_high_dpi(session):
    """The start screen at the default DPI, then at 192 dpi: twice the size,
    the same picture in 2 by 2 blocks, presses taken in game pixels."""
    screen = session.x.screen
    check(subprocess.run([session.args.tool, "save", "Tux", "777"], cwd=session.scratch).returncode == 0,
          "the Linux build did not write VORN.DAT")
    console = read_bitmap(os.path.join(session.args.bitmaps, "Console.bmp"))
    program = session.start_game()
    left, top = wait_for_window(session, screen, 1)
    wait_for_first_picture(session, left, top, console, "dpi-96.ppm")
    rows = window_rows(session.screenshot(), left, top)
    close_game(session, program, left, top)

    k = 2
    before = desktop_dpi(session)
    set_desktop_dpi(session, 96 * k)
    try:
        program = session.start_game()
        left, top = wait_for_window(session, screen, k)
        seen = [None, None]

        def shown():
            seen[0] = session.screenshot()
            seen[1] = scaled_picture_problem(seen[0], left, top, k, rows)
            return seen[1] is None
        try:
            wait_for("the picture at scale 2", shown, 10, pause=0.3)
        finally:
            if seen[0] is not None:
                seen[0].save(os.path.join(session.scratch, "dpi-192.ppm"))
        check(seen[1] is None, seen[1])

        # Go's hit box starts at window x 43: screen x 85 of the window is
        # still x 42 and misses, 86 is 43 and hits. The miss is seen once the
        # Pause press after it has been drawn: Go must still be raised.
        go_pressed = read_bitmap(os.path.join(session.args.bitmaps, "GoBD.bmp"))
        pause_pressed = read_bitmap(os.path.join(session.args.bitmaps, "PauseBD.bmp"))
        session.xdotool("mousemove", left + 85, top + 2 * 61, "mousedown", "1", "mouseup", "1")
        session.xdotool("mousemove", left + k * PAUSE_BUTTON[0], top + k * PAUSE_BUTTON[1], "mousedown", "1")
        wait_for("the Pause button pressed",
                 lambda: face_shows(session.screenshot(), left, top, k, pause_pressed, PAUSE_FACE), 10)
        check(not face_shows(session.screenshot(), left, top, k, go_pressed, GO_FACE),
              "a press at window x 42 hit Go")
        session.xdotool("mouseup", "1")
        session.xdotool("mousemove", left + 86, top + 2 * 61, "mousedown", "1")
        try:
            wait_for("the Go button pressed",
                     lambda: face_shows(session.screenshot(), left, top, k, go_pressed, GO_FACE), 10)
        except Failure:
            raise Failure("a press at window point 43,61 did not hit Go")
        session.xdotool("mouseup", "1")
        # The released Go starts a game: its first piece falls in the field.
        scaled_field = [(left + k * (FIELD_X + CELL * c + CELL // 2), top + k * (FIELD_Y + CELL * r + CELL // 2))
                        for r in range(ROWS) for c in range(COLUMNS)]

        def piece():
            shot = session.screenshot()
            colours = [shot.at(x, y) for x, y in scaled_field]
            blank = max(set(colours), key=colours.count)
            return sum(colour != blank for colour in colours) == 4
        try:
            wait_for("the first piece", piece, 10, pause=0.2)
        except Failure:
            raise Failure("Go released at scale 2 started no game")
        session.screenshot().save(os.path.join(session.scratch, "dpi-192-playing.ppm"))

        # The caption drag moves the window by screen pixels, under the pointer.
        target = drag_caption(session, (left + 200, top + 20), (left, top))
        close_game(session, program, target[0], target[1], k)
    finally:
        set_desktop_dpi(session, before)


def case_dpi_fit(session):
    """192 dpi asks for scale 2, but 700 by 840 does not fit a 1024 by 768
    screen: the window stays at scale 1, pixel for pixel."""
    check(subprocess.run([session.args.tool, "save", "Tux", "777"], cwd=session.scratch).returncode == 0,
          "the Linux build did not write VORN.DAT")
    before = desktop_dpi(session)
    set_desktop_dpi(session, 192)
    try:
        program = session.start_game()
        left, top = wait_for_window(session, session.x.screen, 1)
        console = read_bitmap(os.path.join(session.args.bitmaps, "Console.bmp"))
        wait_for_first_picture(session, left, top, console, "dpi-192-small-screen.ppm")
        # A close request from outside the game (Alt+F4 asks the platform to
        # close the window) ends it as the close button does.
        session.xdotool("key", "alt+F4")
        check(session.wait_exit(program) == 0, "Alt+F4 did not end the program with code 0")
    finally:
        set_desktop_dpi(session, before)


def case_read_only(session):
    """The game's folder is a read-only bind mount in a mount namespace of its
    own, which the Wine server the game starts shares, so that not even root
    can write there. After the question, Cancel; the notice then names the
    folder as Windows sees it (Z: is the root) and what helps."""
    folder = os.path.join(session.scratch, "Program Files", "Quarvelle")
    os.makedirs(folder)
    start = 'mount --bind -o ro "$0" "$0" && cd "$0" && exec wine "$1"'
    game = session.x.start(["unshare", "--map-root-user", "--mount", "sh", "-c", start, folder, session.args.exe],
                           cwd=session.scratch, env=session.env, quiet=True)
    # The probe asks only once the box is on the X screen: a probe run first
    # would start the Wine server outside the namespace, where it can write.
    wait_for("the Error box", lambda: "Error" in session.x.windows(), START_TIMEOUT, pause=0.2)
    texts = session.wait_for("texts", "Error")
    check("Cannot write file, is disk write protected?" in texts, "the first box says %r" % texts)
    session.xdotool("key", "Escape")  # Cancel: no retry
    windows_folder = "Z:" + folder.replace("/", "\\")
    notice = ("High score file could not be written:\nthe folder is read-only.\n"
              "Restarting will not help until it can be written.\n\nFolder: %s\n"
              "Move the game's folder to one you can write to, such as Documents." % windows_folder)

    def shown():
        found = session.probe("texts", "Error")
        return found if found and "could not be written" in found else None
    texts = wait_for("the notice", shown, 20, pause=0.2)
    check(notice.replace("\n", "") in texts.replace("\n", ""), "the notice says %r, not %r" % (texts, notice))
    session.xdotool("key", "Return")
    check(session.wait_exit(game) == 0, "the start did not end with code 0")
    check(os.listdir(folder) == [], "something was written into the read-only folder")


def play_until_name_dialog(session):
    """Drops every piece of a started copy until its game ends in the name
    dialog, which comes to this copy's screen as a window of its own."""
    left, top = session.frame()[:2]
    shown = shown_windows(session)
    session.click(left + GO_BUTTON[0], top + GO_BUTTON[1])
    deadline = time.monotonic() + 90
    while time.monotonic() < deadline:
        session.xdotool("key", "--delay", "15", "--repeat", "25", "Down")
        new = shown_windows(session) - shown
        if new:
            session.dialog = new.pop()
            return
    raise Failure("no dialog at the end of the game")


def start_two_copies(session):
    """A second copy in the same folder, on a display of its own; both copies
    start on the low table, then each is played until its name dialog.
    Returns the second copy's session; the first is `session`."""
    write_table(os.path.join(session.scratch, "VORN.DAT"), LOW_TABLE)
    other = Session(session.args, session.scratch)
    session.start_game()
    session.frame()
    other.start_game()
    other.frame()
    # One after the other: the Wine server has one active window for both
    # displays, and a copy that loses it pauses its game.
    try:
        play_until_name_dialog(session)
        play_until_name_dialog(other)
    except Failure:
        other.close()
        raise
    return other


def confirm_name(session, name):
    """Types the name into the open dialog; returns the command that presses
    Enter. A click on the dialog's face first makes it the active window
    again, which the other copy's dialog took."""
    left, top, width, height = dialog_rectangle(session)
    session.click(left + 4, top + 4)
    session.xdotool("type", "--delay", "20", name)
    return ["xdotool", "key", "Return"]


def dialog_rectangle(session):
    """The open name dialog's left, top, width and height on its screen."""
    info = session.x.run("xwininfo", "-id", session.dialog)
    return [int(re.search(r"%s:\s+(-?\d+)" % field, info).group(1))
            for field in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")]


def press(session, command):
    return subprocess.Popen(command, env=session.env)


def check_both_kept(path, first, second):
    rows = wait_for_names(path, first, second, limit=15)
    expected = expected_orders(rows, first, second)
    check(rows == expected, "VORN.DAT holds %r, not %r" % (rows, expected))
    print("VORN.DAT:", rows)


def two_copies_in_turn(session, first, second):
    other = start_two_copies(session)
    try:
        copies = {"Anna": session, "Bert": other}
        path = os.path.join(session.scratch, "VORN.DAT")
        press(copies[first], confirm_name(copies[first], first)).wait()
        wait_for_names(path, first, limit=15)
        press(copies[second], confirm_name(copies[second], second)).wait()
        check_both_kept(path, first, second)
    finally:
        other.close()


def case_two_copies_a_then_b(session):
    two_copies_in_turn(session, "Anna", "Bert")


def case_two_copies_b_then_a(session):
    two_copies_in_turn(session, "Bert", "Anna")


def hold_lock(session):
    """The probe, standing in for a copy of the game that takes the lock as
    the game does (LockFileEx on the lock file beside VORN.DAT); returns it
    once it holds the lock. Killing it ends the lock."""
    holder = subprocess.Popen(["wine", session.args.probe, "lock", "VORN.DAT.lock"], cwd=session.scratch,
                              env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    if holder.stdout.readline().strip() != b"locked":
        holder.kill()
        holder.wait()
        raise Failure("the stand-in copy did not take the lock")
    return holder


def case_two_copies_together(session):
    """Both saves at once. The Wine server has one active window for both
    displays, so two key presses cannot reach both dialogs within a few
    milliseconds; instead both names are confirmed while a stand-in holds
    the lock, so that both saves wait for it, and when it goes they take it
    within milliseconds of each other."""
    other = start_two_copies(session)
    path = os.path.join(session.scratch, "VORN.DAT")
    try:
        holder = hold_lock(session)
        try:
            press(session, confirm_name(session, "Anna")).wait()
            press(other, confirm_name(other, "Bert")).wait()
            time.sleep(0.3)
            check(b"Anna" not in open(path, "rb").read() and b"Bert" not in open(path, "rb").read(),
                  "a copy saved while another held the lock")
        finally:
            holder.kill()
            holder.wait()
        rows = wait_for_names(path, "Anna", "Bert", limit=15)
        orders = [expected_orders(rows, "Anna", "Bert"), expected_orders(rows, "Bert", "Anna")]
        check(rows in orders, "VORN.DAT holds %r, not one of %r" % (rows, orders))
        print("VORN.DAT:", rows)
    finally:
        other.close()


def case_two_copies_killed(session):
    """The probe stands in for a copy that takes the lock as the game does
    (LockFileEx on the lock file beside VORN.DAT); while it holds it and B
    waits to save, Anna is saved in its place, then it is killed holding the
    lock. B must have waited, and merge Bert into the table holding Anna."""
    write_table(os.path.join(session.scratch, "VORN.DAT"), LOW_TABLE)
    session.start_game()
    play_until_name_dialog(session)
    holder = hold_lock(session)
    path = os.path.join(session.scratch, "VORN.DAT")
    try:
        press(session, confirm_name(session, "Bert")).wait()
        time.sleep(0.5)  # B's save waits for the lock by now
        write_table(path + ".stand-in", merged(LOW_TABLE, ("Anna", 84)))
        os.replace(path + ".stand-in", path)
        time.sleep(0.5)
        check(b"Bert" not in open(path, "rb").read(), "B saved while another copy held the lock")
    finally:
        holder.kill()
        holder.wait()
    check_both_kept(path, "Anna", "Bert")


def make_prefix(args):
    shutil.rmtree(args.prefix, ignore_errors=True)
    session = Session(args, os.path.dirname(args.prefix))
    try:
        check(session.run(["wineboot", "-i"], timeout=180).returncode == 0, "wineboot failed")
        # No sound device: every sound returns at once, in either mode.
        session.run(["wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "", "/f"])
    finally:
        session.close()


CASES = {"first-start": case_first_start, "second-start": case_second_start, "linux-file": case_linux_file,
         "name-dialog": case_name_dialog, "high-dpi": case_high_dpi, "dpi-fit": case_dpi_fit,
         "read-only": case_read_only, "two-copies-a-then-b": case_two_copies_a_then_b, "two-copies-b-then-a": case_two_copies_b_then_a,
         "two-copies-together": case_two_copies_together, "two-copies-killed": case_two_copies_killed}
# The screen of each case, where it is not the usual one.
SCREENS = {"high-dpi": (1920, 1200)}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case", choices=["prefix"] + sorted(CASES))
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    parser.add_argument("--tool", required=True)
    parser.add_argument("--bitmaps", required=True)
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--scratch", required=True)
    args = parser.parse_args()
    args.prefix = os.path.abspath(args.prefix)
    for path in (args.exe, args.probe, args.tool):
        if not os.path.exists(path):
            print("FAIL: %s is missing (build every target of both builds)" % path)
            return 1
    try:
        if args.case == "prefix":
            make_prefix(args)
            return 0
        scratch = os.path.join(args.scratch, args.case)
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        session = Session(args, scratch, SCREENS.get(args.case, SCREEN))
        try:
            CASES[args.case](session)
        finally:
            session.close()
    except (Failure, subprocess.TimeoutExpired) as failure:
        print("FAIL:", failure)
        return 1
    print("ok")
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    sys.exit(main())
