#!/usr/bin/env python3
"""The Linux program on a Wayland desktop: weston's x11 backend inside the
test's own Xvfb (weston's headless backend has no seat, which SDL's Wayland
driver needs), its shell with no panel, pixman drawing, a fresh 0700
XDG_RUNTIME_DIR, no animations. xdotool's hands reach the program through weston; the
screen is read back from the Xvfb that shows weston's output.

Cases (one per run):
  picture PROGRAM   a valid VORN.DAT shows the same picture as on X11; Go and
                    the keys play; Quit ends with 0
  scale2 PROGRAM    weston at scale 2: 700 by 840 device pixels, each 2 by 2
                    block one colour, equal to the picture at scale 1
  drag PROGRAM      the caption drag moves the window (weston moves it)
  errorbox PROGRAM  a first start with zenity out of reach shows the Error box
                    in the game's window; Return ends with 0, the default file
                    written
  sigterm PROGRAM [wayland|twm|playing|paused]
                    SIGTERM ends the program promptly with what Quit leaves,
                    and nothing of it left running: with the Error box open on
                    Wayland (the in-window box) and on X11 under twm (the
                    system box, zenity installed), and during a game, running
                    or paused
  xwayland PROGRAM  through XWayland, SDL's default there: the picture as on
                    X11, and it plays
With QUARVELLE_SHOTS=<folder> the cases keep their screenshots there.

Every wait polls with a generous limit; nothing sleeps a fixed time before it
reads the screen."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, HERE)
from x_session import (WINDOW_HEIGHT as WIN_H, WINDOW_WIDTH as WIN_W, Failure, XSession,  # noqa: E402
                       centred_origin, check, die_with_parent, scratch_dir, verdict, viewable_window, wait_for)
from window_test import DEFAULT_RECORDS, GUARD, check_game_screen, checksum, filled_cells  # noqa: E402

OUTPUT = (1100, 1000)  # weston's output, in points
BACKGROUND = (0x40, 0x40, 0x40)
WESTON_INI = """[core]
shell=desktop-shell.so
idle-time=0
xwayland={xwayland}

[shell]
panel-position=none
background-color=0xff404040
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
"""
GO, PAUSE, QUIT = (73, 73), (73, 107), (73, 175)


def write_valid_scores(directory):
    with open(os.path.join(directory, "VORN.DAT"), "w", newline="") as f:
        f.write(GUARD + "\n" + "".join(r + "\n" for r in DEFAULT_RECORDS) + "%d\n" % checksum(DEFAULT_RECORDS))


def keep_shot(picture, name):
    folder = os.environ.get("QUARVELLE_SHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        picture.save(os.path.join(folder, name + ".ppm"))


def path_without(program):
    """A folder of links to every program on PATH but `program`: the machine
    as it is, with that one program out of reach."""
    folder = tempfile.mkdtemp(prefix="quarvelle-path-")
    for directory in os.environ.get("PATH", "/usr/bin:/bin").split(":"):
        if not os.path.isdir(directory):
            continue
        for name in os.listdir(directory):
            target = os.path.join(directory, name)
            link = os.path.join(folder, name)
            if name != program and not os.path.lexists(link) and os.access(target, os.X_OK):
                os.symlink(target, link)
    return folder


class Weston:
    """Weston on its own Xvfb, with the program's environment for Wayland."""

    def __init__(self, scale=1, xwayland=False):
        self.scale = scale
        self.x = XSession((OUTPUT[0] * scale, OUTPUT[1] * scale))
        self.runtime = tempfile.mkdtemp(prefix="quarvelle-xdg-")
        os.chmod(self.runtime, 0o700)
        ini = os.path.join(self.runtime, "weston.ini")
        with open(ini, "w") as f:
            f.write(WESTON_INI.format(xwayland="true" if xwayland else "false"))
        self.log = os.path.join(self.runtime, "weston.log")
        env = dict(self.x.env, XDG_RUNTIME_DIR=self.runtime)
        env.pop("WAYLAND_DISPLAY", None)
        self.weston = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", "--debug", "--config=" + ini,
             "--width=%d" % OUTPUT[0], "--height=%d" % OUTPUT[1], "--scale=%d" % scale, "--socket=quarvelle-wl",
             "--log=" + self.log],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=die_with_parent)
        self.x.programs.append(self.weston)
        wait_for("weston's socket", lambda: os.path.exists(os.path.join(self.runtime, "quarvelle-wl")), 30)
        wait_for("weston's output", lambda: "Weston Compositor" in self.x.run("xwininfo", "-root", "-tree"), 30)
        # Ready once the shell has drawn its background; a window found before
        # would be found on whatever weston showed until then.
        wait_for("weston's background", lambda: self.x.screenshot((1, 1, 10, 10)).at(0, 0) == BACKGROUND, 30)
        # The pointer out of the way, in the output's far corner.
        self.x.xdotool("mousemove", OUTPUT[0] * scale - 1, OUTPUT[1] * scale - 1)
        self.env = dict(env, WAYLAND_DISPLAY="quarvelle-wl", SDL_VIDEODRIVER="wayland", SDL_AUDIODRIVER="dummy",
                        LC_ALL="C.UTF-8")
        self.env.pop("DISPLAY", None)

    def close(self):
        self.x.close()
        shutil.rmtree(self.runtime, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self, program, directory, env=None):
        return subprocess.Popen([program], cwd=directory, env=env or self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE, preexec_fn=die_with_parent, start_new_session=True)

    def window_place(self, size):
        """Where weston shows a window of `size` device pixels: the top-left
        corner of the one area that is neither the background nor the shadow
        weston casts around an X window (greys darker than the background),
        or None."""
        shot = self.x.screenshot()
        corner = (shot.width - 40, shot.height - 40)  # the pointer's

        def window(x, y):
            p = shot.at(x, y)
            return not (p[0] == p[1] == p[2] and p[0] <= BACKGROUND[0]) and not (x >= corner[0] and y >= corner[1])
        xs, ys = [], []
        for y in range(0, shot.height, 4):
            for x in range(0, shot.width, 4):
                if window(x, y):
                    xs.append(x)
                    ys.append(y)
        if not xs:
            return None
        left, top = min(xs), min(ys)
        # Down to the exact pixel: the scan steps by 4.
        while left > 0 and any(window(left - 1, top + i) for i in range(8)):
            left -= 1
        while top > 0 and any(window(left + i, top - 1) for i in range(8)):
            top -= 1
        return (left, top) if max(xs) - left < size[0] + 4 and max(ys) - top < size[1] + 4 else None

    def window_picture(self, place, size):
        return self.x.screenshot((size[0], size[1], place[0], place[1]))

    def click(self, place, point, k=1):
        self.x.click_at(place[0] + point[0] * k + k // 2, place[1] + point[1] * k + k // 2)

    def key(self, *keys):
        self.x.xdotool("key", *keys)


def settled_picture(grab, checker=check_game_screen):
    """The picture once it has settled and passes `checker`."""
    def settled():
        first = grab()
        try:
            checker(first)
        except Failure:
            return None
        return first if grab().pixels == first.pixels else None
    return wait_for("the start screen", settled, 30)


def x11_reference(program):
    """The start screen of a valid start on a plain X server, as the X11 tests see it."""
    screen = (1280, 1024)
    origin = centred_origin(screen)
    directory = scratch_dir("quarvelle-x11-")
    with XSession(screen) as x:
        try:
            write_valid_scores(directory)
            game = x.start([program], cwd=directory, env=dict(x.env, SDL_AUDIODRIVER="dummy"), quiet=True)
            wait_for("the X11 window", lambda: viewable_window(x, "Quarvelle"))
            picture = settled_picture(lambda: x.screenshot((WIN_W, WIN_H, origin[0], origin[1])))
            game.terminate()
            game.wait(timeout=20)
            return picture
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def wayland_start_screen(weston, program, directory, k=1):
    size = (WIN_W * k, WIN_H * k)
    game = weston.start(program, directory)
    place = wait_for("the game window on weston", lambda: weston.window_place(size), 30)
    picture = settled_picture(lambda: shrink(weston.window_picture(place, size), k))
    return game, place, picture


def shrink(picture, k):
    """A picture of k by k blocks as one pixel a block; None-free only when every
    block is one colour (else the block's first pixel, and `blocks_uniform` says so)."""
    if k == 1:
        return picture
    out = bytearray()
    for y in range(0, picture.height, k):
        for x in range(0, picture.width, k):
            out += bytes(picture.at(x, y))
    small = type(picture)(b"P6\n%d %d\n255\n" % (picture.width // k, picture.height // k) + bytes(out))
    return small


def blocks_off(picture, k):
    """How many device pixels differ from the first of their k by k block."""
    off = 0
    for y in range(picture.height):
        for x in range(picture.width):
            if picture.at(x, y) != picture.at(x - x % k, y - y % k):
                off += 1
    return off


def differing(a, b):
    return sum(1 for i in range(0, len(a.pixels), 3) if a.pixels[i:i + 3] != b.pixels[i:i + 3])


def end_with_quit(weston, game, place, k=1):
    weston.click(place, QUIT, k)
    try:
        status = game.wait(timeout=20)
    except subprocess.TimeoutExpired:
        raise Failure("Quit did not end the program")
    check(status == 0, "Quit ended the program with %d" % status)


def play_a_little(weston, game, place, k=1):
    """Go starts a game: a piece appears and falls; Left moves it."""
    size = (WIN_W * k, WIN_H * k)
    weston.click(place, GO, k)
    first = wait_for("a falling piece", lambda: filled_cells(shrink(weston.window_picture(place, size), k)), 20)
    weston.key("Left")
    weston.key("Left")

    def moved():
        cells = filled_cells(shrink(weston.window_picture(place, size), k))
        return cells and min(c for _, c in cells) < min(c for _, c in first)
    wait_for("the piece moved left", moved, 20)


def case_picture(program):
    reference = x11_reference(program)
    directory = scratch_dir("quarvelle-wl-")
    with Weston() as weston:
        try:
            write_valid_scores(directory)
            game, place, picture = wayland_start_screen(weston, program, directory)
            keep_shot(picture, "wayland-k1")
            off = differing(picture, reference)
            check(off == 0, "the Wayland picture differs from X11's in %d pixels" % off)
            play_a_little(weston, game, place)
            end_with_quit(weston, game, place)
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def case_scale2(program):
    reference = x11_reference(program)
    directory = scratch_dir("quarvelle-wl2-")
    with Weston(scale=2) as weston:
        try:
            write_valid_scores(directory)
            game, place, _ = wayland_start_screen(weston, program, directory, k=2)
            big = weston.window_picture(place, (2 * WIN_W, 2 * WIN_H))
            keep_shot(big, "wayland-k2")
            check(weston.window_place((2 * WIN_W, 2 * WIN_H)) == place, "the window is not 700 by 840 device pixels")
            off = blocks_off(big, 2)
            check(off == 0, "%d device pixels are off their 2 by 2 block" % off)
            off = differing(shrink(big, 2), reference)
            check(off == 0, "the 2 by 2 blocks differ from the picture at scale 1 in %d pixels" % off)
            play_a_little(weston, game, place, k=2)
            end_with_quit(weston, game, place, k=2)
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def case_drag(program):
    """A Wayland client cannot place itself: the caption drag asks weston to
    move the window, and the window follows the pointer; the game goes on."""
    directory = scratch_dir("quarvelle-wldrag-")
    with Weston() as weston:
        try:
            write_valid_scores(directory)
            game, place, _ = wayland_start_screen(weston, program, directory)
            grab = (place[0] + 150, place[1] + 10)
            step = (-40 if place[0] > 100 else 40, -30 if place[1] > 100 else 30)
            weston.x.xdotool("mousemove", grab[0], grab[1])
            around = (32, 32, grab[0] - 8, grab[1] - 8)
            pointer = wait_for("the pointer on the caption", lambda: (lambda a, b: a if a == b else None)(
                weston.x.screenshot(around).pixels, weston.x.screenshot(around).pixels))
            weston.x.xdotool("mousedown", "1")
            # Weston's move has begun once it shows its own pointer for it;
            # motion before that would be lost.
            wait_for("weston's move", lambda: weston.x.screenshot(around).pixels != pointer, 10)
            weston.x.xdotool("mousemove", grab[0] + step[0] // 2, grab[1] + step[1] // 2)
            weston.x.xdotool("mousemove", grab[0] + step[0], grab[1] + step[1], "mouseup", "1")
            weston.x.xdotool("mousemove", OUTPUT[0] - 1, OUTPUT[1] - 1)
            target = (place[0] + step[0], place[1] + step[1])
            try:
                wait_for("the dragged window", lambda: weston.window_place((WIN_W, WIN_H)) == target, 10)
            except Failure:
                raise Failure("the window is at %s, not %s" % (weston.window_place((WIN_W, WIN_H)), target))
            play_a_little(weston, game, target)
            end_with_quit(weston, game, target)
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def box_in_window(picture):
    """The in-window box's grey face across the middle of the field, which is black without it."""
    middle = picture.region(180, 200, 120, 4)
    check(sum(1 for p in middle if p == (192, 192, 192)) > len(middle) // 2, "no box in the game's window")


def start_error_box(weston, program, directory, env=None):
    game = weston.start(program, directory, env)
    place = wait_for("the game window on weston", lambda: weston.window_place((WIN_W, WIN_H)), 30)

    last = []

    def boxed():
        picture = weston.window_picture(place, (WIN_W, WIN_H))
        last[:] = [picture]
        try:
            box_in_window(picture)
        except Failure:
            return None
        return picture
    try:
        return game, place, wait_for("the in-window Error box", boxed, 30)
    except Failure:
        if last:
            keep_shot(last[0], "no-error-box")
            keep_shot(weston.x.screenshot(), "no-error-box-screen")
        raise


def case_errorbox(program):
    directory = scratch_dir("quarvelle-wlbox-")
    links = path_without("zenity")
    with Weston() as weston:
        try:
            game, place, picture = start_error_box(weston, program, directory, dict(weston.env, PATH=links))
            keep_shot(picture, "wayland-error-box")
            weston.key("Return")
            try:
                status = game.wait(timeout=20)
            except subprocess.TimeoutExpired:
                raise Failure("Return did not answer the in-window box")
            stderr = game.stderr.read().decode(errors="replace")
            check(status == 0, "the answered box ended the start with %d" % status)
            check("High score file corrupted or missing" in stderr, "the message is not on stderr: %r" % stderr)
            with open(os.path.join(directory, "VORN.DAT"), "rb") as f:
                check(f.read().startswith(GUARD.encode()), "the default VORN.DAT was not written")
        finally:
            shutil.rmtree(directory, ignore_errors=True)
            shutil.rmtree(links, ignore_errors=True)


def left_of(session_id):
    """The processes still in the program's session (zenity would be one)."""
    left = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.getsid(int(entry)) == session_id:
                    left.append(int(entry))
            except OSError:
                pass
    return left


def end_by_sigterm(game, directory):
    with open(os.path.join(directory, "VORN.DAT"), "rb") as f:
        before = f.read()
    begun = time.monotonic()
    game.send_signal(signal.SIGTERM)
    try:
        # A hang is the fault; the time it takes is printed, not judged.
        status = game.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise Failure("SIGTERM did not end the program with its Error box open")
    print("ended %.3f s after SIGTERM" % (time.monotonic() - begun))
    check(status == 0, "SIGTERM ended the program with %d, not Quit's 0" % status)
    check(not wait_for_none(lambda: left_of(game.pid)), "left running: %s" % left_of(game.pid))
    with open(os.path.join(directory, "VORN.DAT"), "rb") as f:
        check(f.read() == before, "SIGTERM changed VORN.DAT")
    check(sorted(os.listdir(directory)) == ["VORN.DAT"], "the folder holds %s" % os.listdir(directory))


def wait_for_none(probe, limit=5.0):
    """Polls until `probe` returns nothing; returns what it last returned."""
    end = time.monotonic() + limit
    while True:
        value = probe()
        if not value or time.monotonic() > end:
            return value
        time.sleep(0.05)


def case_sigterm(program, where):
    directory = scratch_dir("quarvelle-term-")
    try:
        if where in ("playing", "paused"):
            with Weston() as weston:
                write_valid_scores(directory)
                game, place, _ = wayland_start_screen(weston, program, directory)
                weston.click(place, GO)
                size = (WIN_W, WIN_H)
                wait_for("a falling piece", lambda: filled_cells(weston.window_picture(place, size)), 20)
                if where == "paused":
                    weston.click(place, PAUSE)
                end_by_sigterm(game, directory)
        elif where == "wayland":
            with Weston() as weston:
                game, _, _ = start_error_box(weston, program, directory)
                end_by_sigterm(game, directory)
        else:
            with XSession((1280, 1024)) as x:
                x.start(["twm"], cwd=HERE, quiet=True)
                wait_for("twm", lambda: "SubstructureRedirect" in x.run("xwininfo", "-root", "-all") or
                         x.run("xprop", "-root", "-notype", "WM_ICON_SIZE").find("WM_ICON_SIZE") >= 0)
                check(shutil.which("zenity"), "zenity is not installed: the case needs it within reach")
                game = subprocess.Popen([program], cwd=directory, env=dict(x.env, SDL_AUDIODRIVER="dummy"),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                        preexec_fn=die_with_parent, start_new_session=True)
                wait_for("the Error box", lambda: viewable_window(x, "Error"), 30)
                end_by_sigterm(game, directory)
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def case_xwayland(program):
    reference = x11_reference(program)
    directory = scratch_dir("quarvelle-xwl-")
    with Weston(xwayland=True) as weston:
        try:
            number = wait_for("XWayland's display", lambda: xwayland_display(weston.log), 30)
            # Only X in reach, as for an X program on a Wayland desktop; weston
            # starts XWayland at the first client, so one is let in first.
            env = dict(weston.env, DISPLAY=number)
            for name in ("SDL_VIDEODRIVER", "WAYLAND_DISPLAY"):
                env.pop(name)
            wait_for("XWayland", lambda: subprocess.run(["xprop", "-root", "-notype", "_NET_SUPPORTED"], env=env,
                                                         capture_output=True, timeout=20).returncode == 0, 60)
            write_valid_scores(directory)
            game = weston.start(program, directory, env)

            def shown():
                if game.poll() is not None:
                    raise Failure("the program ended with %s: %r" % (game.poll(), game.stderr.read()))
                return weston.window_place((WIN_W, WIN_H))
            place = wait_for("the game window on weston", shown, 60)
            picture = settled_picture(lambda: weston.window_picture(place, (WIN_W, WIN_H)))
            off = differing(picture, reference)
            check(off == 0, "the XWayland picture differs from X11's in %d pixels" % off)
            play_a_little(weston, game, place)
            end_with_quit(weston, game, place)
        finally:
            shutil.rmtree(directory, ignore_errors=True)


def xwayland_display(log):
    with open(log, errors="replace") as f:
        for line in f:
            if "xserver listening on display" in line:
                return line.split()[-1]
    return None


CASES = {"picture": case_picture, "drag": case_drag, "scale2": case_scale2, "errorbox": case_errorbox, "sigterm": case_sigterm,
         "xwayland": case_xwayland}


def main(argv):
    if len(argv) < 3 or argv[1] not in CASES:
        sys.exit("usage: wayland_test.py %s PROGRAM [wayland|twm|playing|paused]" % "|".join(CASES))
    case, program = argv[1], os.path.abspath(argv[2])
    if case == "sigterm":
        return verdict(lambda: case_sigterm(program, argv[3] if len(argv) > 3 else "wayland"))
    return verdict(lambda: CASES[case](program))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
