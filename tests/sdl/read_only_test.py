#!/usr/bin/env python3
"""The Linux program started in a folder it cannot write (a read-only bind
mount, made in a mount and user namespace of its own, so that even root
cannot write there): after the "Cannot write file" question, the start-up's
notice names the folder by its full path and says what helps. The boxes are
read from standard error: the X server is left only its built-in fonts, so
that SDL's own box cannot draw; the game then shows each box in its own
window, answered here by key, and writes each one's text to stderr too.

    read_only_test.py PROGRAM
"""

import os
import shutil
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from startup_test import SCREEN, program_env  # noqa: E402
from x_session import Failure, XSession, check, scratch_dir, verdict, wait_for  # noqa: E402

QUESTION = "Cannot write file, is disk write protected?"
ADVICE = "Make the folder writable, or start the game from one you can write to, such as your home folder."
# Mounts the folder read-only over itself and starts the game in it, with no
# PATH, so that no helper program can show a box for it either.
READ_ONLY_START = 'mount --bind -o ro "$0" "$0" && cd "$0" && PATH=/nonexistent exec "$1"'


def start_read_only(x, program, folder):
    return subprocess.Popen(["unshare", "--map-root-user", "--mount", "sh", "-c", READ_ONLY_START, folder, program],
                            env=program_env(x), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


class Collected:
    """What a process writes to stderr, gathered as it comes."""

    def __init__(self, process):
        self.parts = []
        self.reader = threading.Thread(target=self.read, args=(process.stderr,), daemon=True)
        self.reader.start()

    def read(self, stream):
        for line in iter(stream.readline, b""):
            self.parts.append(line.decode(errors="replace"))

    def text(self):
        return "".join(self.parts)


def case(program):
    folder = os.path.realpath(scratch_dir("quarvelle-read-only-"))
    try:
        with XSession(SCREEN) as x:
            x.run("xset", "fp", "built-ins")
            game = start_read_only(x, program, folder)
            stderr = Collected(game)
            try:
                wait_for("the question on stderr", lambda: QUESTION in stderr.text() or game.poll() is not None)
                check(QUESTION in stderr.text(), "the question is not on stderr: %r" % stderr.text())
                x.xdotool("key", "Escape")  # Cancel
                wait_for("the notice on stderr", lambda: "Folder:" in stderr.text() or game.poll() is not None)
                x.xdotool("key", "Return")  # OK
                try:
                    game.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    raise Failure("the game did not end after its notice")
            finally:
                if game.poll() is None:
                    game.kill()
                    game.wait()
            stderr.reader.join(timeout=5)
        text = stderr.text()
        check("Read-only file system" not in text and "mount:" not in text,
              "the folder could not be made read-only: %r" % text)
        notice = "the folder is read-only.\nRestarting will not help until it can be written.\n\n" \
                 "Folder: %s\n%s" % (folder, ADVICE)
        check(notice in text, "the notice does not name the folder and what helps: %r" % text)
        check(game.returncode == 0, "the start ended with %d after its notice" % game.returncode)
        check(os.listdir(folder) == [], "something was written into the read-only folder")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    if len(sys.argv) != 2:
        print("usage: read_only_test.py PROGRAM")
        return 2
    return verdict(lambda: case(os.path.abspath(sys.argv[1])))


if __name__ == "__main__":
    sys.exit(main())
