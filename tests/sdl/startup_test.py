#!/usr/bin/env python3
"""The Linux program's start-up under Xvfb, many times over, and its Error box.

Cases (one per run):
  stress PROGRAM COUNT   COUNT starts of each kind (no VORN.DAT, a bad
                         checksum, a valid file); every start must show its
                         Error box, or its whole first picture, and end as
                         told. Prints the figures; fails on any lost start.
  owner PROGRAM [twm]    the Error box belongs to the game window (its
                         WM_TRANSIENT_FOR) and lies on screen over it, on a
                         bare X server or under twm.
  unshown PROGRAM [zenity|nozenity]
                         a box that cannot be shown is never an answer: the
                         message goes to stderr, the box is drawn in the game's
                         window instead, and only its answer ends the start
                         (with 0, the default file written); the same with
                         zenity within reach and out of reach.
  nodisplay PROGRAM      no X server answers: the program neither runs unseen
                         nor writes VORN.DAT; it says why on stderr, status 1.

Every wait polls with a generous limit; nothing sleeps a fixed time before it
reads the screen."""

import faulthandler
import os
import signal
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
from x_session import (WINDOW_HEIGHT as WIN_H, WINDOW_WIDTH as WIN_W, Failure, XSession,  # noqa: E402
                       centred_origin, check, scratch_dir, verdict, viewable_window, wait_for, window_property)
from window_test import DEFAULT_RECORDS, GUARD, check_game_screen, checksum  # noqa: E402

SCREEN = (1280, 1024)
ORIGIN = centred_origin(SCREEN)
# Far more than a start needs on a loaded machine; only a lost start waits this long.
SHOW_LIMIT = 15.0
KINDS = ("missing", "bad_checksum", "valid")


def write_scores(directory, kind):
    path = os.path.join(directory, "VORN.DAT")
    if kind == "missing":
        if os.path.exists(path):
            os.remove(path)
        return
    total = checksum(DEFAULT_RECORDS) + (1 if kind == "bad_checksum" else 0)
    with open(path, "w", newline="") as f:
        f.write(GUARD + "\n" + "".join(r + "\n" for r in DEFAULT_RECORDS) + "%d\n" % total)


def program_env(x):
    return dict(x.env, SDL_AUDIODRIVER="dummy", LC_ALL="C.UTF-8")


def window_picture(x):
    return x.screenshot((WIN_W, WIN_H, ORIGIN[0], ORIGIN[1]))


def shown_box(x, game):
    """The mapped Error box once its face is drawn (not one flat colour), else None."""
    box = viewable_window(x, "Error")
    if box is None:
        return None
    _, width, height, left, top = box
    if width < 20 or height < 20:
        return None
    picture = x.screenshot((width, height, left, top))
    return box if len(set(picture.region(0, 0, width, height))) > 1 else None


class Start:
    """One start of the program and what became of it."""

    def __init__(self, x, program, directory, kind):
        self.x, self.kind = x, kind
        write_scores(directory, kind)
        self.game = subprocess.Popen([program], cwd=directory, env=program_env(x), stdout=subprocess.DEVNULL,
                                     stderr=subprocess.PIPE)

    def record_hang(self):
        """With STARTUP_KEEP set, keeps where a start that shows nothing stands:
        its threads' stacks and the X server's windows."""
        keep = os.environ.get("STARTUP_KEEP")
        if not keep:
            return
        stacks = subprocess.run(["gdb", "-p", str(self.game.pid), "-batch", "-ex", "thread apply all bt"],
                                capture_output=True, text=True, timeout=120).stdout
        with open(os.path.join(keep, "hang-%d.txt" % self.game.pid), "w") as out:
            out.write(stacks + "\nDISPLAY=%s\n" % self.x.env["DISPLAY"] + self.x.run("xwininfo", "-root", "-tree"))
            out.write(subprocess.run(["ss", "-xp"], capture_output=True, text=True, timeout=60).stdout)

    def ended(self):
        return self.game.poll() is not None

    def finish(self, limit=SHOW_LIMIT):
        """Waits for the end; a program that hangs is killed and counted."""
        try:
            self.game.wait(timeout=limit)
        except subprocess.TimeoutExpired:
            self.game.kill()
            self.game.wait()
            return "hung"
        return None

    def box_outcome(self):
        """None when the box showed, could be answered and the program ended with 0."""
        end = time.monotonic() + SHOW_LIMIT
        box = None
        while box is None:
            box = shown_box(self.x, self.game)
            if box is None and self.ended():
                return "ended without a box (status %d)" % self.game.returncode
            if box is None and time.monotonic() > end:
                self.record_hang()
                self.game.kill()
                self.game.wait()
                return "no box"
        self.x.run("xdotool", "windowfocus", box[0], "key", "Return", timeout=20)
        if self.finish() == "hung":
            return "did not end after the box"
        return None if self.game.returncode == 0 else "ended with status %d" % self.game.returncode

    def picture_outcome(self, reference):
        """None when the window showed the whole start screen, like `reference`."""
        end = time.monotonic() + SHOW_LIMIT
        last = None
        while True:
            if self.ended():
                return "ended without a picture (status %d)" % self.game.returncode, last
            if viewable_window(self.x, "Quarvelle"):
                last = window_picture(self.x)
                if last.pixels == reference.pixels:
                    break
            if time.monotonic() > end:
                self.record_hang()
                self.game.kill()
                self.game.wait()
                return "picture never complete", last
            time.sleep(0.02)
        self.game.terminate()
        if self.finish() == "hung":
            return "did not end on SIGTERM", last
        return None, last


def reference_picture(x, program, directory):
    """The start screen of a valid start, once it has settled; the structure is
    checked so that a black or half-drawn window never becomes the reference."""
    start = Start(x, program, directory, "valid")
    try:
        wait_for("the game window", lambda: viewable_window(x, "Quarvelle"))

        def settled():
            first = window_picture(x)
            try:
                check_game_screen(first)
            except Failure:
                return None
            return first if window_picture(x).pixels == first.pixels else None
        return wait_for("the start screen", settled, 30)
    finally:
        start.game.terminate()
        start.finish()


def case_stress(program, count, keep=None, server_every=1, resets=False):
    """`count` starts of each kind, interleaved, on X servers made anew every
    `server_every` starts (and, with `resets`, reset whenever their last client
    leaves). Returns the lost starts."""
    directory = scratch_dir("quarvelle-start-")
    losses = {kind: [] for kind in KINDS}
    times = {kind: [] for kind in KINDS}
    x = None
    try:
        x = XSession(SCREEN, resets=resets)
        reference = reference_picture(x, program, directory)
        if keep:
            reference.save(os.path.join(keep, "reference.ppm"))
        started = time.monotonic()
        for i in range(count * len(KINDS)):
            if server_every and i and i % server_every == 0:
                x.close()
                x = XSession(SCREEN, resets=resets)
            kind = KINDS[i % len(KINDS)]
            begun = time.monotonic()
            start = Start(x, program, directory, kind)
            if kind == "valid":
                problem, last = start.picture_outcome(reference)
                if problem and keep and last is not None:
                    last.save(os.path.join(keep, "start-%04d.ppm" % i))
            else:
                problem = start.box_outcome()
            stderr = start.game.stderr.read().decode(errors="replace").strip()
            start.game.stderr.close()
            times[kind].append(time.monotonic() - begun)
            if problem:
                losses[kind].append((i, problem, stderr))
                print("start %d (%s): %s%s" % (i, kind, problem, (" [stderr: %s]" % stderr) if stderr else ""),
                      flush=True)
            if (i + 1) % 150 == 0:
                print("after %d starts: lost %s" % (i + 1, {k: len(v) for k, v in losses.items()}), flush=True)
        elapsed = time.monotonic() - started
    finally:
        if x is not None:
            x.close()
        shutil.rmtree(directory, ignore_errors=True)
    for kind in KINDS:
        spans = sorted(times[kind])
        print("%-12s starts %4d  lost %3d  median %.2f s  slowest %.2f s" %
              (kind, len(spans), len(losses[kind]), spans[len(spans) // 2], spans[-1]))
    print("all %d starts in %.0f s" % (count * len(KINDS), elapsed))
    return [loss for kind in KINDS for loss in losses[kind]]


def start_box(x):
    """A missing-file start on `x`, in its own directory, up to its Error box."""
    directory = scratch_dir("quarvelle-box-")
    game = subprocess.Popen([PROGRAM[0]], cwd=directory, env=program_env(x), stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    return game, directory


def case_owner(program, with_twm):
    with XSession(SCREEN) as x:
        if with_twm:
            x.start(["twm"], cwd=HERE, quiet=True)
            # twm has taken the root window once it selects its redirection.
            wait_for("twm", lambda: "SubstructureRedirect" in x.run("xwininfo", "-root", "-all") or
                     x.run("xprop", "-root", "-notype", "WM_ICON_SIZE").find("WM_ICON_SIZE") >= 0)
        PROGRAM[:] = [program]
        game, directory = start_box(x)
        try:
            box = wait_for("the Error box", lambda: shown_box(x, game), SHOW_LIMIT)
            window = wait_for("the game window", lambda: viewable_window(x, "Quarvelle"))
            _, width, height, left, top = box
            _, game_w, game_h, game_x, game_y = window
            owner = window_property(x, box[0], "WM_TRANSIENT_FOR")
            if with_twm:
                check(owner.endswith("# " + window[0]), "the box is not owned by the game window: %s" % owner)
            else:
                # Without a window manager SDL puts an owned box partly off the
                # screen; the program then gives it a never-shown owner that
                # covers the screen, which centres it.
                owner_id = owner.split("# ")[-1]
                check("not found" in owner or owner_id == window[0] or
                      "IsViewable" not in x.run("xwininfo", "-id", owner_id),
                      "the box's owner is %s" % owner)
            check(left >= 0 and top >= 0 and left + width <= SCREEN[0] and top + height <= SCREEN[1],
                  "the box at %d,%d %dx%d is not inside the screen" % (left, top, width, height))
            middle = (left + width // 2, top + height // 2)
            check(game_x <= middle[0] < game_x + game_w and game_y <= middle[1] < game_y + game_h,
                  "the box at %d,%d is not over the game window at %d,%d" % (left, top, game_x, game_y))
            # On top: the screen shows the box's face where it covers the game.
            face = x.screenshot((width, height, left, top))
            check(len(set(face.region(0, 0, width, height))) > 1, "the box's place shows no box")
            x.run("xdotool", "windowfocus", box[0], "key", "Return", timeout=20)
            check(game.wait(timeout=SHOW_LIMIT) == 0, "the answered box did not end the start with 0")
        finally:
            if game.poll() is None:
                game.kill()
            game.wait()
            shutil.rmtree(directory, ignore_errors=True)


PROGRAM = [""]


def hold_connections(display):
    """Opens connections to the X server until it refuses one; returns them."""
    import ctypes
    xlib = ctypes.CDLL("libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    held = []
    while len(held) < 2048:
        connection = xlib.XOpenDisplay(display.encode())
        if not connection:
            break
        held.append(connection)
    return xlib, held


def case_unshown(program, zenity):
    """The X server takes no client beyond those the game window needs, so the
    Error box, which SDL shows on a connection of its own, cannot be shown.
    SDL would try zenity next, and take its failure for a pressed button."""
    PROGRAM[:] = [program]
    links = None
    env = None
    if zenity:
        check(shutil.which("zenity"), "zenity is not installed: the case needs it within reach")
    else:
        from wayland_test import path_without
        links = path_without("zenity")
    try:
        for room in (1, 2, 3, 4):
            with XSession(SCREEN) as x:
                env = dict(program_env(x), PATH=links) if links else program_env(x)
                if unshown_with_room(x, env, room):
                    return
    finally:
        if links:
            shutil.rmtree(links, ignore_errors=True)
    raise Failure("the game never opened its window with the room given")


def unshown_with_room(x, env, room):
    """One start with room for `room` more connections; False when the game
    window itself could not open with so little."""
    xlib, held = hold_connections(x.env["DISPLAY"])
    check(held, "no connection to the X server")
    for connection in held[len(held) - room:]:
        xlib.XCloseDisplay(connection)
    held = held[:len(held) - room]
    directory = scratch_dir("quarvelle-box-")
    log = os.path.join(directory, "stderr.txt")
    try:
        with open(log, "wb") as errors:
            game = subprocess.Popen([PROGRAM[0]], cwd=directory, env=env, stdout=subprocess.DEVNULL, stderr=errors)

        def outcome():
            with open(log, errors="replace") as f:
                said = f.read()
            if "the message box could not be shown" in said:
                return "unshown"
            return "ended" if game.poll() is not None else None
        try:
            what = wait_for("the start's outcome", outcome, 30)
        finally:
            for connection in held:
                xlib.XCloseDisplay(connection)
        with open(log, errors="replace") as f:
            said = f.read()
        if what == "ended":
            if "window could not be opened" in said and room < 4:
                return False  # no window with this little room: give the game one more connection
            raise Failure("the start ended with status %d and no answer from the player: %r" % (game.returncode, said))
        check("High score file corrupted or missing" in said, "the message is not on stderr: %r" % said)
        check(game.poll() is None, "the unshown box ended the program with status %s" % game.poll())

        def boxed():
            picture = window_picture(x)
            middle = picture.region(180, 200, 120, 4)
            return sum(1 for p in middle if p == (192, 192, 192)) > len(middle) // 2
        wait_for("the Error box in the game's window", boxed, SHOW_LIMIT)
        window = wait_for("the game window", lambda: viewable_window(x, "Quarvelle"))
        x.run("xdotool", "windowfocus", window[0], "key", "Return", timeout=20)
        try:
            status = game.wait(timeout=SHOW_LIMIT)
        except subprocess.TimeoutExpired:
            raise Failure("Return did not answer the box in the game's window")
        check(status == 0, "the answered box ended the start with %d" % status)
        with open(os.path.join(directory, "VORN.DAT"), "rb") as f:
            check(f.read().startswith(GUARD.encode()), "the default VORN.DAT was not written")
        return True
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()
        shutil.rmtree(directory, ignore_errors=True)


def case_nodisplay(program):
    """SDL's own choice of driver, towards a display no server answers: with a
    valid VORN.DAT (where a game drawn off the screen would run unseen for
    ever) and with none (where it would make the file and end quietly)."""
    number = next(n for n in range(90, 1000) if not os.path.exists("/tmp/.X11-unix/X%d" % n))
    env = dict(os.environ, DISPLAY=":%d" % number, SDL_AUDIODRIVER="dummy")
    for name in ("WAYLAND_DISPLAY", "SDL_VIDEODRIVER"):
        env.pop(name, None)
    for kind in ("valid", "missing"):
        directory = scratch_dir("quarvelle-nodisplay-")
        try:
            write_scores(directory, kind)
            before = sorted(os.listdir(directory))
            try:
                ended = subprocess.run([program], cwd=directory, env=env, capture_output=True, text=True, timeout=30)
            except subprocess.TimeoutExpired:
                raise Failure("%s file, no display: the program ran on for 30 s with nothing on screen" % kind)
            check(ended.returncode == 1, "%s file, no display: status %d, not 1" % (kind, ended.returncode))
            check("window could not be opened" in ended.stderr, "nothing on stderr says why: %r" % ended.stderr)
            check(sorted(os.listdir(directory)) == before, "%s file, no display: the folder now holds %s" %
                  (kind, os.listdir(directory)))
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def main():
    faulthandler.register(signal.SIGUSR1)
    if len(sys.argv) < 3 or sys.argv[1] not in ("stress", "owner", "unshown", "nodisplay"):
        print(__doc__)
        return 2
    case, program = sys.argv[1], os.path.abspath(sys.argv[2])

    def run():
        if case == "stress":
            count = int(sys.argv[3]) if len(sys.argv) > 3 else 100
            keep = os.environ.get("STARTUP_KEEP")
            every = int(os.environ.get("STARTUP_SERVER_EVERY", "3"))
            resets = os.environ.get("STARTUP_XRESET") == "1"
            check(not case_stress(program, count, keep, every, resets), "some starts were lost")
        elif case == "owner":
            case_owner(program, len(sys.argv) > 3 and sys.argv[3] == "twm")
        elif case == "unshown":
            case_unshown(program, len(sys.argv) <= 3 or sys.argv[3] != "nozenity")
        else:
            case_nodisplay(program)
    return verdict(run)

if __name__ == "__main__":
    sys.exit(main())
