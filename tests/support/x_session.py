"""What the window tests of both programs share: a private X server, polling
for what a case waits for, the screen read back as pixels, xdotool for the
player's hands and the list of top-level windows. A case never sleeps a fixed
time before it reads the screen; it polls, with a limit that guards against a
hang and is never a timing test."""

import ctypes
import os
import signal
import subprocess
import tempfile
import time

# The window's fixed geometry, as seam/window_geometry.h has it.
WINDOW_WIDTH, WINDOW_HEIGHT = 350, 420
FRAME_SIDE, CAPTION_HEIGHT, FRAME_BOTTOM = 3, 22, 3


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def verdict(case):
    """Runs a case and prints its verdict: "ok" and 0, or "FAIL: why" and 1."""
    try:
        case()
    except Failure as failure:
        print("FAIL:", failure)
        return 1
    print("ok")
    return 0


def wait_for(what, probe, limit=20.0, pause=0.05):
    """Polls `probe` until it returns something true and returns that."""
    end = time.monotonic() + limit
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > end:
            raise Failure("gave up waiting for " + what)
        time.sleep(pause)


def die_with_parent():
    """Run in each child before it starts: a test killed by ctest's time limit
    takes its X server and its programs with it."""
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def centred_origin(screen):
    """Where a centred window's outer top-left corner lies on a screen."""
    return (screen[0] // 2 - WINDOW_WIDTH // 2, screen[1] // 2 - WINDOW_HEIGHT // 2)


class Picture:
    """A binary PPM (P6) as read from ImageMagick: pixels by position."""

    def __init__(self, ppm):
        check(ppm.startswith(b"P6"), "no screenshot")
        fields, at = [], 2
        while len(fields) < 3:
            while ppm[at:at + 1].isspace():
                at += 1
            if ppm[at:at + 1] == b"#":
                at = ppm.index(b"\n", at)
                continue
            start = at
            while not ppm[at:at + 1].isspace():
                at += 1
            fields.append(int(ppm[start:at]))
        self.width, self.height, _ = fields
        self.pixels = ppm[at + 1:]

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def region(self, x, y, w, h):
        return [self.at(x + i, y + j) for j in range(h) for i in range(w)]

    def save(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels)


class XSession:
    """One Xvfb of the given screen size, optionally with X resources merged
    (as a desktop sets Xft.dpi), and the programs started on it. With
    `resets`, the server starts afresh whenever its last client leaves, as
    Xvfb does by default and a desktop's server never does mid-session."""

    def __init__(self, screen=(1280, 1024), resources=None, env=None, resets=False):
        self.screen = screen
        self.programs = []
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % screen, "-nolisten", "tcp"] +
            # Without it the server resets when its last client leaves, and the
            # resources merged by xrdb go with it.
            ([] if resets else ["-noreset"]),
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=die_with_parent)
        os.close(write_end)
        with os.fdopen(read_end) as display:
            number = display.readline().strip()
        check(number, "Xvfb did not start")
        self.env = dict(os.environ if env is None else env, DISPLAY=":" + number)
        self.env.pop("XAUTHORITY", None)
        if resources:
            self.merge_resources(resources)

    def merge_resources(self, text):
        """Adds lines such as "Xft.dpi: 192" to the server's resource database."""
        subprocess.run(["xrdb", "-nocpp", "-merge"], input=text, text=True, env=self.env, check=True, timeout=20)

    def close(self):
        """Ends what the session started, cleanly first, so that the X server
        takes its lock file and socket along."""
        for process in self.programs + [self.xvfb]:
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def start(self, command, cwd, env=None, quiet=False):
        output = subprocess.DEVNULL if quiet else None
        program = subprocess.Popen(command, cwd=cwd, env=env or self.env, stdout=output, stderr=output,
                                   preexec_fn=die_with_parent)
        self.programs.append(program)
        return program

    def run(self, *command, timeout=60, cwd=None):
        """Runs a command on this display and returns what it printed."""
        return subprocess.run([str(c) for c in command], env=self.env, cwd=cwd, capture_output=True, text=True,
                              check=False, timeout=timeout).stdout

    def xdotool(self, *arguments):
        return self.run("xdotool", *arguments, timeout=20)

    def click_at(self, x, y):
        """Moves the pointer to a screen point, then clicks there."""
        self.xdotool("mousemove", x, y)
        self.xdotool("click", "1")

    def screenshot(self, crop=None):
        """The screen, or the part (width, height, x, y) of it, as a Picture."""
        command = ["import", "-window", "root"]
        if crop is not None:
            command += ["-crop", "%dx%d+%d+%d" % crop]
        data = subprocess.run(command + ["-depth", "8", "ppm:-"], env=self.env, capture_output=True, check=True,
                              timeout=30).stdout
        return Picture(data)

    def windows(self):
        """The mapped top-level windows by name: {name: (id, width, height, x, y)}."""
        found = {}
        for line in self.run("xwininfo", "-root", "-tree").splitlines():
            parts = line.split('"')
            if len(parts) < 3 or not parts[0].strip().startswith("0x"):
                continue
            geometry = parts[-1].split()
            size, _, place = geometry[-2].partition("+")
            width, height = size.split("x")
            x, y = place.split("+")
            found[parts[1]] = (parts[0].strip(), int(width), int(height), int(x), int(y))
        return found


def scratch_dir(prefix):
    return tempfile.mkdtemp(prefix=prefix)


def viewable_window(session, name):
    """The viewable window called exactly `name`, anywhere in the tree (a
    window manager's frame may hold it): (id, width, height, x, y), with x and
    y on the screen; None while there is none."""
    found = [line.split()[0] for line in session.run("xwininfo", "-root", "-tree", timeout=20).splitlines()
             if line.strip().startswith("0x") and line.split('"')[1:2] == [name]]
    if not found:
        return None
    info = session.run("xwininfo", "-id", found[0], timeout=20)
    fields = {}
    for line in info.splitlines():
        key, _, value = line.strip().partition(":")
        fields[key] = value.strip()
    try:
        if fields.get("Map State") != "IsViewable":
            return None
        return ("0x%x" % int(found[0], 16), int(fields["Width"]), int(fields["Height"]),
                int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]))
    except (KeyError, ValueError):
        return None  # the window went away between the two questions


def window_property(session, window, name):
    """What xprop says of one property of a window, e.g. WM_TRANSIENT_FOR."""
    return session.run("xprop", "-id", str(window), name, timeout=20).strip()
