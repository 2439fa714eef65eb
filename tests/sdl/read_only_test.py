#!/usr/bin/env python3
"""The Linux program started in a folder it cannot write (a read-only bind
mount, made in a mount and user namespace of its own, so that even root
cannot write there): after the "Cannot write file" question, the start-up's notice names
the folder by its full path and says what helps. The boxes are read from
standard error: the X server is left room for the game window only, so that
neither box can be shown and the game writes each one's text there instead.

    read_only_test.py PROGRAM
"""

import os
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from startup_test import SCREEN, hold_connections, program_env  # noqa: E402
from x_session import Failure, XSession, check, scratch_dir, verdict  # noqa: E402

QUESTION = "Cannot write file, is disk write protected?"
ADVICE = "Make the folder writable, or start the game from one you can write to, such as your home folder."
# Mounts the folder read-only over itself and starts the game in it, with no
# PATH: SDL would otherwise hand the box to zenity, which answers for it when
# it cannot open the display either.
READ_ONLY_START = 'mount --bind -o ro "$0" "$0" && cd "$0" && PATH=/nonexistent exec "$1"'


def start_read_only(x, program, folder):
    return subprocess.Popen(["unshare", "--map-root-user", "--mount", "sh", "-c", READ_ONLY_START, folder, program],
                            env=program_env(x), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def case(program):
    folder = os.path.realpath(scratch_dir("quarvelle-read-only-"))
    try:
        for room in (1, 2, 3, 4):
            with XSession(SCREEN) as x:
                xlib, held = hold_connections(x.env["DISPLAY"])
                check(held, "no connection to the X server")
                for connection in held[len(held) - room:]:
                    xlib.XCloseDisplay(connection)
                game = start_read_only(x, program, folder)
                try:
                    game.wait(timeout=30)
                    stderr = game.stderr.read().decode(errors="replace")
                except subprocess.TimeoutExpired:
                    raise Failure("with room for %d connections a box shows, which this test cannot read" % room)
                finally:
                    if game.poll() is None:
                        game.kill()
                        game.wait()
                    for connection in held[:len(held) - room]:
                        xlib.XCloseDisplay(connection)
            check("Read-only file system" not in stderr and "mount:" not in stderr,
                  "the folder could not be made read-only: %r" % stderr)
            if "window could not be opened" in stderr and room < 4:
                continue  # no window with this little room: one more connection
            check(QUESTION in stderr, "the question is not on stderr: %r" % stderr)
            notice = "the folder is read-only.\nRestarting will not help until it can be written.\n\n" \
                     "Folder: %s\n%s" % (folder, ADVICE)
            check(notice in stderr, "the notice does not name the folder and what helps: %r" % stderr)
            check(os.listdir(folder) == [], "something was written into the read-only folder")
            return
        raise Failure("the game never opened its window with the room given")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    if len(sys.argv) != 2:
        print("usage: read_only_test.py PROGRAM")
        return 2
    return verdict(lambda: case(os.path.abspath(sys.argv[1])))


if __name__ == "__main__":
    sys.exit(main())
