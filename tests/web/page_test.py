#!/usr/bin/env python3
"""The page in a real headless Chromium, served from 127.0.0.1, driven over
the DevTools protocol; the Linux program beside it under its own Xvfb where a
case compares the two. One case per run (all of them without an argument):

  first_start  the Error box, the default bytes in localStorage, the ended
               page and "Start again", then a start that shows the console
  against_sdl  the start screen and a finished game equal the Linux
               program's pictures outside text; the name dialog takes a name
               (13 storable characters of what is typed); the stored bytes
               load in the Linux program without its Error box
  from_sdl     a table saved by the Linux program, loaded with "Load
               VORN.DAT...", shows on the high-score page and "Save VORN.DAT"
               gives its bytes back; a damaged one is refused and changes
               nothing
  scale        devicePixelRatio 2 and 3 show each game pixel as k by k device
               pixels of its colour; a viewport too small lowers k
  window       the first click starts the sound and all nine cues decode;
               focus loss pauses and Go resumes; minimise folds the picture to
               its caption and a click unfolds it; the caption drag moves it
  endings      the close button, Quit and No to "Play again?" all end in the
               ended page
  full_storage a save into a full storage asks Retry/Cancel and keeps the
               old bytes
  refused_storage  a browser that refuses storage: the write question, then
               the start-up says the table could not be written
  two_tabs     another tab holds the score lock and saves its own entry
               while this one saves: this tab waits, then both entries stay
  offline      the browser can install the page as an app; once loaded, a
               reload without the server starts the game

Usage: page_test.py --page <folder> --sdl <Linux program> [case]"""

import argparse
import os
import shutil
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
sys.path.insert(0, os.path.join(HERE, "..", "sdl"))
from devtools import Browser, Failure, Server, check, wait_for  # noqa: E402

GUARD = b"[Do not cheat!]" + b" " * 173 + b"."
DEFAULT_FILE = (GUARD + b"\r\n" + b"".join(b"Unknown;%d;1;0\r\n" % s for s in (50, 40, 30, 20, 10)) + b"5675\r\n")

# Window points of the painted controls.
GO, PAUSE, ABOUT, QUIT = (73, 73), (73, 107), (73, 141), (73, 175)
MINIMISE, CLOSE, CAPTION = (312, 15), (333, 15), (150, 10)
FIELD = (130, 40, 200, 360)  # the well: x, y, width, height
SCORE_BOX = (39, 320, 70, 22)
# The Linux program's name dialog, painted into its picture: its frame in
# window points (its dialog units at the font's 7 by 13 base units).
SDL_NAME_DIALOG = (57, 116, 286, 136)

# Held still for the dealer on both sides, so that both deal the same pieces.
STEADY_EPOCH_MS = 1767268800000  # 2026-01-01 12:00:00 UTC

# Run in the page before its own scripts: the clock the dealer is seeded from
# held still, and where each text was written, to leave text out of the
# comparison (glyph edges are the browser's).
PAGE_HOOKS = """
Date.now = () => %d;
window.__texts = [];
const fillText = CanvasRenderingContext2D.prototype.fillText;
CanvasRenderingContext2D.prototype.fillText = function (text, x, y) {
  window.__texts.push([text, x, y, this.measureText(text).width]);
  return fillText.apply(this, arguments);
};
""" % STEADY_EPOCH_MS


def table_file(records):
    """A VORN.DAT as the game writes it, from (name bytes, score, level, lines)."""
    lines = b"".join(b"%s;%d;%d;%d\n" % r for r in records)
    return GUARD + b"\r\n" + lines.replace(b"\n", b"\r\n") + b"%d\r\n" % sum(lines)


def records_of(data):
    lines = data.replace(b"\r\n", b"\n").split(b"\n")
    return [tuple(line.split(b";")) for line in lines[1:6]]


class Page:
    """The built page on its own server, in a fresh browser."""

    def __init__(self, folder, dpr=1, width=800, height=600, hooks=True):
        self.server = Server(folder)
        self.browser = Browser(dpr, width, height)
        if hooks:
            self.browser.send("Page.addScriptToEvaluateOnNewDocument", source=PAGE_HOOKS)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.browser.close()
        self.server.stop()

    def open(self, table=DEFAULT_FILE):
        """Opens the page with `table` in its storage (None: a first start)."""
        b = self.browser
        b.send("Page.navigate", url=self.server.url + "favicon-none")  # the origin, to reach its storage
        wait_for("the origin", lambda: b.evaluate("document.readyState") == "complete")
        b.evaluate("localStorage.clear()")
        if table is not None:
            b.store_table(table)
        b.go(self.server.url)
        if table is not None:
            self.wait_console()

    def wait_console(self):
        # The console's three boxes: level, score and the best score.
        wait_for("the console", lambda: self.browser.evaluate("window.__texts && window.__texts.length >= 3"))

    def play_until_dialog(self):
        """Go, then Down held (a key press every few milliseconds) until the
        game has ended in a box or the name dialog."""
        b = self.browser
        b.click(*GO)
        end = time.monotonic() + 180
        while not b.open_dialogs():
            check(time.monotonic() < end, "the game did not end")
            b.key("ArrowDown", vk=40)
        return b.open_dialogs()

    def text_boxes(self):
        """Where the page wrote text: (x, y, w, h) a few pixels wider than the
        glyphs, as the Linux program's text may stand a pixel or two apart."""
        return [(int(x) - 5, int(y) - 11 - 3, int(w) + 10, 13 + 6) for _, x, y, w in
                self.browser.evaluate("window.__texts")]


def inside(point, boxes):
    x, y = point
    return any(bx <= x < bx + bw and by <= y < by + bh for bx, by, bw, bh in boxes)


def differences(web, sdl, leave_out):
    """Points where the page's picture and the Linux program's differ, outside
    the boxes left out: at most 10."""
    found = []
    for y in range(420):
        for x in range(350):
            if inside((x, y), leave_out):
                continue
            if web.getpixel((x, y)) != sdl.at(x, y):
                found.append((x, y, web.getpixel((x, y)), sdl.at(x, y)))
                if len(found) == 10:
                    return found
    return found


def case_first_start(args):
    with Page(args.page) as page:
        b = page.browser
        page.open(table=None)
        boxes = wait_for("the Error box", b.open_dialogs)
        check(boxes == [{"text": "Error\n\nHigh score file corrupted or missing, please restart game.\n\nOK",
                         "buttons": ["OK"]}], "the first start shows %s" % boxes)
        check(b.stored_table() == DEFAULT_FILE, "the stored table is not the default file: %r" % b.stored_table())
        b.key("Enter", key="Enter", vk=13, text="\r")  # Return answers the box, as on the desktop
        wait_for("the ended page", lambda: b.evaluate(
            "!document.getElementById('ended').hidden && document.getElementById('ended').innerText"))
        ended = b.evaluate("document.getElementById('ended').innerText")
        check("Quarvelle has ended." in ended and "Start again" in ended, "the ended page says %r" % ended)
        check(b.evaluate("document.getElementById('picture').hidden"), "the picture still shows")
        b.click_button("Start again")
        page.wait_console()
        check(not b.open_dialogs(), "the second start shows a box: %s" % b.open_dialogs())
        check(b.stored_table() == DEFAULT_FILE, "the second start changed the table")
        picture = b.canvas_pixels()
        check(picture.getpixel((60, 60)) != (0, 0, 0), "the console is not drawn")


def case_against_sdl(args):
    from scale_test import ScaledSession
    from x_session import XSession
    with ScaledSession(args.sdl, (1920, 1200), None, steady_clock=True) as session:
        sdl_start = session.first_picture()
        sdl_end = session.play_until_name_dialog()

    with Page(args.page) as page:
        b = page.browser
        page.open()
        start = b.canvas_pixels()
        faults = differences(start, sdl_start, page.text_boxes())
        start.save(os.path.join(args.shots, "web-start.png"))
        check(not faults, "the start screen differs from the Linux program's at %s" % faults)

        dialogs = page.play_until_dialog()
        check(len(dialogs) == 1 and dialogs[0]["buttons"] == ["Play again", "Quit game"] and
              dialogs[0]["text"].split() == "You made it to the HighScore list! Give me your name Play again Quit "
              "game".split(),
              "the game ended in %s" % dialogs)
        finished = b.canvas_pixels()
        finished.save(os.path.join(args.shots, "web-finished.png"))
        b.screenshot(os.path.join(args.shots, "web-name-dialog.png"))
        faults = differences(finished, sdl_end, page.text_boxes() + [SDL_NAME_DIALOG, SCORE_BOX])
        check(not faults, "the finished game differs from the Linux program's at %s" % faults)

        # Only characters the code page stores are taken, and 13 of them.
        b.type_text("Zo\u00eb \u20ac\u2713\u4e2dabcdefghijklmn")
        typed = b.evaluate("document.getElementById('name-input').value")
        check(typed == "Zo\u00eb \u20acabcdefgh", "the name input holds %r" % typed)
        b.key("Enter", key="Enter", vk=13, text="\r")  # Return is "Play again"
        wait_for("the dialog to close", lambda: not b.open_dialogs())
        stored = wait_for("the saved table", lambda: (lambda t: t if t != DEFAULT_FILE else None)(b.stored_table()))
        names = [r[0] for r in records_of(stored)]
        check("Zo\u00eb \u20acabcdefgh".encode("cp1252") in names, "the table holds %s" % names)

    # The bytes the page stored start the Linux program without its Error box.
    scratch = os.path.join(args.shots, "sdl-reads-web")
    shutil.rmtree(scratch, ignore_errors=True)
    os.makedirs(scratch)
    with open(os.path.join(scratch, "VORN.DAT"), "wb") as f:
        f.write(stored)
    with XSession((1280, 1024)) as x:
        x.env = dict(x.env, SDL_AUDIODRIVER="dummy")
        game = x.start([args.sdl], cwd=scratch)
        wait_for("the Linux program's window", lambda: "Quarvelle" in x.windows() or game.poll() is not None)
        window = wait_for("the game window", lambda: x.windows().get("Quarvelle"))
        wait_for("its console", lambda: max(x.screenshot((350, 420, window[3], window[4])).at(60, 60)) > 80)
        check("Error" not in x.windows(), "the Linux program showed its Error box")
        check(game.poll() is None, "the Linux program ended")
    with open(os.path.join(scratch, "VORN.DAT"), "rb") as f:
        check(f.read() == stored, "the Linux program rewrote the table")


def case_from_sdl(args):
    from scale_test import ScaledSession
    with ScaledSession(args.sdl, (1920, 1200), None) as session:
        session.play_until_name_dialog()
        session.x.xdotool("type", "--delay", "30", "Desk")
        session.x.xdotool("key", "Return")
        path = os.path.join(session.scratch, "VORN.DAT")
        saved = wait_for("the Linux program's save", lambda: (lambda d: d if b"Desk;" in d else None)(
            open(path, "rb").read()))
        offered = os.path.join(args.shots, "sdl-VORN.DAT")
        with open(offered, "wb") as f:
            f.write(saved)
        damaged = os.path.join(args.shots, "damaged-VORN.DAT")
        with open(damaged, "wb") as f:
            f.write(saved.replace(b"Desk;", b"Dusk;"))

    with Page(args.page) as page:
        b = page.browser
        page.open()
        b.send("DOM.enable")

        def offer(path):
            document = b.send("DOM.getDocument")["root"]["nodeId"]
            node = b.send("DOM.querySelector", nodeId=document, selector="#table-file")["nodeId"]
            b.send("DOM.setFileInputFiles", nodeId=node, files=[path])

        offer(damaged)
        refusal = wait_for("the refusal", b.open_dialogs)
        check("not loaded" in refusal[0]["text"] and "damaged" in refusal[0]["text"],
              "a damaged table is answered with %s" % refusal)
        check(b.stored_table() == DEFAULT_FILE, "a damaged table changed the stored one")
        b.click_button("OK")

        offer(offered)
        wait_for("the page to start anew with the table", lambda: b.stored_table() == saved)
        page.wait_console()
        b.click(*ABOUT)
        wait_for("the high-score page with the Linux program's entry", lambda: b.evaluate(
            "window.__texts.some((t) => t[0] === 'Desk')"))
        b.screenshot(os.path.join(args.shots, "web-high-scores.png"))

        # "Save VORN.DAT" hands back the very bytes, for the desktop.
        downloads = os.path.join(args.shots, "downloads")
        shutil.rmtree(downloads, ignore_errors=True)
        os.makedirs(downloads)
        b.send("Browser.setDownloadBehavior", behavior="allow", downloadPath=downloads)
        b.click_button("Save VORN.DAT")
        path = os.path.join(downloads, "VORN.DAT")
        wait_for("the download", lambda: os.path.exists(path) and open(path, "rb").read() == saved)


def case_scale(args):
    small = None
    # (ratio, viewport in CSS pixels, k)
    for ratio, viewport, k in ((1, (800, 600), 1), (2, (800, 600), 2), (3, (800, 600), 3), (2.5, (800, 600), 3),
                               (1.4, (800, 600), 1), (2, (400, 400), 1)):
        with Page(args.page, dpr=ratio, width=viewport[0], height=viewport[1]) as page:
            b = page.browser
            page.open()
            picture = b.canvas_pixels()
            if small is None:
                small = picture
            check(list(picture.getdata()) == list(small.getdata()), "at ratio %s the picture drawn differs" % ratio)
            size = b.evaluate("(() => { const r = document.getElementById('quarvelle').getBoundingClientRect();"
                              " return [r.left, r.top, r.width, r.height]; })()")
            check(abs(size[2] - 350 * k / ratio) < 0.01 and abs(size[3] - 420 * k / ratio) < 0.01,
                  "at ratio %s the canvas takes %s CSS pixels, not k = %d" % (ratio, size, k))
            shot = b.screenshot(os.path.join(args.shots, "web-dpr%s.png" % ratio))
            left, top = round(size[0] * ratio), round(size[1] * ratio)
            faults = []
            for y in range(420):
                for x in range(350):
                    want = picture.getpixel((x, y))
                    for j in range(k):
                        for i in range(k):
                            if shot.getpixel((left + x * k + i, top + y * k + j)) != want:
                                faults.append((x, y))
                                break
                        else:
                            continue
                        break
                    if len(faults) == 10:
                        break
                if len(faults) == 10:
                    break
            check(not faults, "at ratio %s these pixels are no %d by %d blocks: %s" % (ratio, k, k, faults))


def field(page):
    picture = page.browser.canvas_pixels()
    x, y, w, h = FIELD
    return picture.crop((x, y, x + w, y + h)).tobytes()


def case_window(args):
    with Page(args.page) as page:
        b = page.browser
        page.open()
        b.click(*GO)
        # The first click starts the sound: all nine cues decode, the level-up
        # cue's Microsoft ADPCM included, which the page unpacks itself.
        wait_for("the nine sounds", lambda: b.evaluate("QV.decodedSounds()") == list(range(801, 810)))
        wait_for("a piece", lambda: any(field(page)))
        b.evaluate("window.dispatchEvent(new FocusEvent('blur'))")
        # Paused: ticks go on arriving and move nothing.
        b.ping()
        still = field(page)
        count = b.evaluate("QV.shownCount")
        wait_for("three more ticks", lambda: b.evaluate("QV.shownCount") >= count + 3, limit=10)
        check(field(page) == still, "the piece moved while the page had lost the focus")
        b.evaluate("window.dispatchEvent(new FocusEvent('focus'))")
        wait_for("a tick after the focus came back", lambda: b.evaluate("QV.shownCount") >= count + 5, limit=10)
        check(field(page) == still, "the focus coming back resumed the game")
        b.click(*GO)
        wait_for("the piece to fall on after Go", lambda: field(page) != still, limit=10)

        # Minimise folds to the caption and pauses; a click there unfolds.
        b.click(*MINIMISE)
        wait_for("the fold", lambda: abs(b.evaluate("document.getElementById('picture').getBoundingClientRect()"
                                                    ".height") - 22) < 0.01)
        b.screenshot(os.path.join(args.shots, "web-folded.png"))
        folded = field(page)
        count = b.evaluate("QV.shownCount")
        wait_for("ticks while folded", lambda: b.evaluate("QV.shownCount") >= count + 3, limit=10)
        check(field(page) == folded, "the game ran on while folded")
        b.click(*CAPTION)
        wait_for("the unfolding", lambda: abs(b.evaluate(
            "document.getElementById('picture').getBoundingClientRect().height") - 420) < 0.01)

        # The caption drag moves the picture by whole pixels; the game goes on paused.
        before = b.evaluate("document.getElementById('picture').getBoundingClientRect().left")
        cx, cy = b.canvas_point(*CAPTION)
        b.mouse("mousePressed", cx, cy)
        b.mouse("mouseMoved", cx + 40, cy + 30)
        b.mouse("mouseReleased", cx + 40, cy + 30)
        after = b.evaluate("document.getElementById('picture').getBoundingClientRect().left")
        check(after == before + 40, "the drag moved the picture from %s to %s" % (before, after))



def ended(b):
    return b.evaluate("!document.getElementById('ended').hidden && document.getElementById('picture').hidden")


def case_endings(args):
    """Every way the game ends shows the same ended page."""
    def close(page):
        page.browser.click(*CLOSE)

    def quit_button(page):
        page.browser.click(*QUIT)

    def no_more(page):
        boxes = page.play_until_dialog()
        check(boxes == [{"text": "Game Over\n\nPlay again?\n\nYes\nNo", "buttons": ["Yes", "No"]}],
              "a game below the table ends in %s" % boxes)
        page.browser.key("Escape", key="Escape", vk=27)  # a Yes/No question cannot be escaped
        page.browser.ping()
        check(page.browser.open_dialogs() == boxes, "Escape closed the question")
        page.browser.click_button("No")

    best = table_file([(b"Best", 99999, 9, 90)] * 5)
    for name, end in (("the close button", close), ("Quit", quit_button), ("No to another game", no_more)):
        with Page(args.page) as page:
            page.open(best)
            end(page)
            wait_for("the ended page after %s" % name, lambda: ended(page.browser))
            check(page.browser.stored_table() == best, "%s changed the table" % name)


def case_full_storage(args):
    with Page(args.page) as page:
        b = page.browser
        page.open(table_file([(b"Unknown", 0, 1, 0)] * 5))
        old = b.stored_table()
        # Fills the origin's storage to the last character it takes.
        b.evaluate("""(() => {
          let size = 1 << 20, n = 0;
          while (size >= 1) {
            try { localStorage.setItem('filler' + n, 'x'.repeat(size)); n += 1; } catch (e) { size >>= 1; }
          }
        })()""")
        dialogs = page.play_until_dialog()
        check(dialogs[0]["buttons"] == ["Play again", "Quit game"], "the game ended in %s" % dialogs)
        b.type_text("Full")
        b.click_button("Play again")
        box = wait_for("the full-storage question", lambda: [d for d in b.open_dialogs() if "Retry" in d["buttons"]])
        check(box[0] == {"text": "Error\n\nCannot write file, the disk is full.\n\nRetry\nCancel",
                         "buttons": ["Retry", "Cancel"]}, "a full storage asks %s" % box)
        b.screenshot(os.path.join(args.shots, "web-full-storage-box.png"))
        b.click_button("Retry")
        wait_for("the retry to give up quietly", lambda: not b.open_dialogs())
        check(b.stored_table() == old, "a failed save changed the stored bytes")
        check(not b.evaluate("Object.keys(localStorage).some((k) => k.endsWith('.tmp'))"),
              "a failed save left its temporary item")
        b.click(*ABOUT)  # the table in memory holds the entry all the same
        wait_for("the entry on the high-score page", lambda: b.evaluate(
            "window.__texts.some((t) => t[0] === 'Full')"))


def case_two_tabs(args):
    low = [(b"Unknown", 0, 1, 0)] * 5
    with Page(args.page) as page:
        b = page.browser
        page.open(table_file(low))
        # The other tab's save holds the lock, as a tab of the same page at
        # the same origin would: this tab's save must wait for it.
        check(b.evaluate("navigator.locks.request('VORN.DAT.lock', () => new Promise((release) => "
                         "{ window.__release = release; })) && 1") == 1, "the page has no locks")
        dialogs = page.play_until_dialog()
        check(dialogs[0]["buttons"] == ["Play again", "Quit game"], "the game ended in %s" % dialogs)
        b.type_text("Anna")
        b.click_button("Play again")
        # What the other tab saves while it holds the lock.
        theirs = table_file([(b"Bert", 9999, 4, 30)] + low[:4])
        b.store_table(theirs)
        check(b.stored_table() == theirs, "this tab saved while the other held the lock")
        b.evaluate("window.__release()")
        stored = wait_for("this tab's save", lambda: (lambda t: t if b"Anna" in t else None)(b.stored_table()))
        names = [r[0] for r in records_of(stored)]
        check(names[0] == b"Bert" and b"Anna" in names, "the stored table holds %s" % names)


def case_refused_storage(args):
    """A browser that refuses the page its storage: the write is asked about,
    then the start-up says the table could not be written, and the game ends."""
    with Page(args.page) as page:
        b = page.browser
        b.send("Page.addScriptToEvaluateOnNewDocument", source=(
            "Object.defineProperty(window, 'localStorage', {get() {"
            " throw new DOMException('The page may not store anything.', 'SecurityError'); }});"))
        b.send("Page.navigate", url=page.server.url)
        question = wait_for("the write question", b.open_dialogs)
        check(question == [{"text": "Error\n\nCannot write file, is disk write protected?\n\nRetry\nCancel",
                            "buttons": ["Retry", "Cancel"]}], "refused storage asks %s" % question)
        b.click_button("Cancel")
        told = wait_for("the start-up's message", lambda: [d for d in b.open_dialogs() if d["buttons"] == ["OK"]])
        check(told[0]["text"].startswith("Error\n\nHigh score file could not be written:"),
              "refused storage is told as %r" % told[0]["text"])
        b.click_button("OK")
        wait_for("the ended page", lambda: ended(b))


def case_offline(args):
    with Page(args.page) as page:
        b = page.browser
        page.open()
        wait_for("the service worker", lambda: b.evaluate(
            "navigator.serviceWorker.ready.then((r) => !!r.active)", wait=True))
        errors = b.send("Page.getInstallabilityErrors")["installabilityErrors"]
        check(errors == [], "the browser cannot install the page as an app: %s" % errors)
        port = page.server.port
        page.server.stop()
        b.send("Network.enable")
        b.send("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
               uploadThroughput=-1)
        b.evaluate("window.__texts = []")
        b.reload()
        page.wait_console()
        check(not b.open_dialogs(), "the offline start shows %s" % b.open_dialogs())
        check(b.canvas_pixels().getpixel((60, 60)) != (0, 0, 0), "the offline start drew no console")
        page.server = Server(args.page, port)  # for the closing step


CASES = {name[5:]: case for name, case in globals().items() if name.startswith("case_")}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--sdl", required=True)
    parser.add_argument("--shots", default=None, help="where pictures are kept (a scratch folder if not given)")
    parser.add_argument("case", nargs="*", help="one of: " + ", ".join(CASES))
    args = parser.parse_args()
    unknown = [name for name in args.case if name not in CASES]
    if unknown:
        parser.error("no case %s" % ", ".join(unknown))
    args.page, args.sdl = os.path.abspath(args.page), os.path.abspath(args.sdl)
    if args.shots is None:
        import tempfile
        args.shots = tempfile.mkdtemp(prefix="quarvelle-web-")
    os.makedirs(args.shots, exist_ok=True)
    failed = 0
    for name in args.case or list(CASES):
        try:
            CASES[name](args)
            print("%s: ok" % name)
        except Failure as failure:
            print("%s: FAIL: %s" % (name, failure))
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
