#!/usr/bin/env python3
"""Two copies of the Linux program in one folder, each on an X server of its
own, both started on the same table, both ending a game that enters it: no
copy's saved result may be lost. One case per run:

    a_then_b   A saves "Anna", then B saves "Bert"
    b_then_a   the other way round
    together   both names confirmed within a few milliseconds of each other
    killed     B saves while another copy holds the lock and is killed
               holding it: B's save goes through, merged with what that
               copy had saved

    two_copies_test.py CASE PROGRAM
"""

import fcntl
import os
import shutil
import signal
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from score_tables import LOW_TABLE, expected_orders, merged, wait_for_names, write_table  # noqa: E402
from window_test import GO, Session, dialog_shown, filled_cells  # noqa: E402
from x_session import Failure, check, verdict, wait_for  # noqa: E402


def play_until_name_dialog(session):
    """Drops every piece of a started copy until its game ends in the dialog."""
    session.focus()
    wait_for("the first picture", lambda: max(session.screen().at(60, 60)) >= 80)
    session.click(GO)
    wait_for("a piece", lambda: filled_cells(session.screen()))
    session.run("xdotool", "keydown", "Down")
    try:
        wait_for("the name dialog", lambda: dialog_shown(session.screen()), 120)
    finally:
        session.run("xdotool", "keyup", "Down")


def confirm(session, name):
    """Types the name into the open dialog; returns the command that presses Enter."""
    session.run("xdotool", "type", "--delay", "20", name)
    return ["xdotool", "key", "Return"]


def press(session, command):
    return subprocess.Popen(command, env=session.x.env)


def check_both_kept(path, first, second):
    """Both results are in the file, in the table's order, after the low
    table's best rows; the one saved first stays above a tie."""
    rows = wait_for_names(path, first, second, limit=10)
    expected = expected_orders(rows, first, second)
    check(rows == expected, "VORN.DAT holds %r, not %r" % (rows, expected))
    print("VORN.DAT:", rows)


def start_both(program):
    a, b = Session(program), Session(program)
    shutil.rmtree(b.scratch, ignore_errors=True)
    b.scratch = a.scratch  # the same folder, so the same VORN.DAT
    write_table(a.vorn_path(), LOW_TABLE)
    return a, b


def both_play(a, b):
    """Starts both copies, then plays their games at the same time. The copies
    start from this thread: a program dies with the thread that started it."""
    a.start()
    b.start()
    in_parallel(lambda: play_until_name_dialog(a), lambda: play_until_name_dialog(b))


def in_parallel(*calls):
    """Runs each call in a thread of its own; raises the first failure."""
    failures = []

    def run(call):
        try:
            call()
        except Failure as failure:
            failures.append(failure)
    threads = [threading.Thread(target=run, args=(call,)) for call in calls]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    if failures:
        raise failures[0]


def one_after_the_other(a, b, first, second):
    both_play(a, b)
    path = a.vorn_path()
    copies = {"Anna": a, "Bert": b}
    press(copies[first], confirm(copies[first], first)).wait()
    wait_for_names(path, first, limit=10)
    press(copies[second], confirm(copies[second], second)).wait()
    check_both_kept(path, first, second)


def case_a_then_b(a, b):
    one_after_the_other(a, b, "Anna", "Bert")


def case_b_then_a(a, b):
    one_after_the_other(a, b, "Bert", "Anna")


def case_together(a, b):
    both_play(a, b)
    commands = [confirm(a, "Anna"), confirm(b, "Bert")]
    # Both Enter keys leave within a millisecond or two of each other.
    started = time.monotonic()
    presses = [press(a, commands[0]), press(b, commands[1])]
    print("the two Enter keys were sent %.1f ms apart" % (1000 * (time.monotonic() - started)))
    for p in presses:
        p.wait()
    path = a.vorn_path()
    rows = wait_for_names(path, "Anna", "Bert", limit=10)
    # Either may have saved first; the table must be one of the two merges.
    orders = [expected_orders(rows, "Anna", "Bert"), expected_orders(rows, "Bert", "Anna")]
    check(rows in orders, "VORN.DAT holds %r, not one of %r" % (rows, orders))
    print("VORN.DAT:", rows)


def case_killed(a, b):
    """A stand-in copy takes the lock as the game does (flock on the lock
    file beside VORN.DAT), saves Anna under it and is killed still holding it
    while B waits to save: B must wait for the lock, get it when the holder
    dies, and merge Bert into the table holding Anna."""
    a.x.close()  # only B plays here
    b.start()
    play_until_name_dialog(b)
    path = b.vorn_path()
    ready_read, ready_write = os.pipe()
    go_read, go_write = os.pipe()
    holder = os.fork()
    if holder == 0:
        os.close(ready_read)
        os.close(go_write)
        lock = os.open(path + ".lock", os.O_RDWR | os.O_CREAT, 0o666)
        fcntl.flock(lock, fcntl.LOCK_EX)
        os.write(ready_write, b"x")
        os.read(go_read, 1)  # B has confirmed its name: its save waits for the lock
        time.sleep(0.5)
        write_table(path + ".stand-in", merged(LOW_TABLE, ("Anna", 84)))
        os.rename(path + ".stand-in", path)
        time.sleep(3600)  # killed here, the lock still held
        os._exit(0)
    os.close(ready_write)
    os.close(go_read)
    check(os.read(ready_read, 1) == b"x", "the stand-in copy did not take the lock")
    press(b, confirm(b, "Bert")).wait()
    os.write(go_write, b"x")
    time.sleep(1.0)
    check(b"Bert" not in open(path, "rb").read(), "B saved while another copy held the lock")
    os.kill(holder, signal.SIGKILL)
    os.waitpid(holder, 0)
    check_both_kept(path, "Anna", "Bert")


CASES = {"a_then_b": case_a_then_b, "b_then_a": case_b_then_a, "together": case_together, "killed": case_killed}


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in CASES:
        print("usage: two_copies_test.py {%s} PROGRAM" % ",".join(CASES))
        return 2
    a, b = start_both(os.path.abspath(sys.argv[2]))
    with a, b:
        return verdict(lambda: CASES[sys.argv[1]](a, b))


if __name__ == "__main__":
    sys.exit(main())
