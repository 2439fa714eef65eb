"""What the page's tests and benchmark share: the built page served from
127.0.0.1, Debian's chromium started headless with a fresh profile and driven
over the DevTools protocol (python3-websocket), the player's keys and clicks,
the canvas and the screen read back as pixels. Nothing sleeps a fixed time:
every wait polls with a limit that guards against a hang."""

import base64
import functools
import http.server
import io
import json
import os
import shutil
import signal
import socketserver
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request

import websocket
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
WIDTH, HEIGHT = 350, 420


sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from x_session import Failure, check, wait_for  # noqa: E402,F401  (the page tests take them from here)


class QuietServer(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # a browser that hangs up early is no fault of the page


class Server:
    """A static server of one folder on 127.0.0.1, as any web host would be;
    it can be stopped and started again on the same port (going offline)."""

    class Handler(http.server.SimpleHTTPRequestHandler):
        extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                              **{".wasm": "application/wasm", ".webmanifest": "application/manifest+json",
                                 ".js": "text/javascript"})

        def log_message(self, *args):
            pass

    def __init__(self, folder, port=0):
        self.folder = folder
        handler = functools.partial(Server.Handler, directory=folder)
        socketserver.TCPServer.allow_reuse_address = True
        self.httpd = QuietServer(("127.0.0.1", port), handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    @property
    def url(self):
        return "http://127.0.0.1:%d/" % self.port

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()


class Browser:
    """Headless chromium with a fresh profile and its one page, over the
    DevTools protocol. `dpr` sets the device pixel ratio of the page."""

    def __init__(self, dpr=1, width=800, height=600):
        self.profile = tempfile.mkdtemp(prefix="quarvelle-chromium-")
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-default-apps", "--mute-audio", "--user-data-dir=" + self.profile,
             "--remote-debugging-port=0", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        wait_for("chromium's DevTools port", lambda: os.path.exists(port_file) and open(port_file).read().strip())
        port = int(open(port_file).read().split()[0])
        targets = json.loads(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % port, timeout=10).read())
        page = [t for t in targets if t["type"] == "page"][0]
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=30,
                                                  suppress_origin=True)
        self.next_id = 0
        self.events = []
        self.send("Page.enable")
        self.send("Runtime.enable")
        self.metrics(dpr, width, height)

    def close(self):
        try:
            self.socket.close()
        except Exception:
            pass
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def send(self, method, **params):
        self.next_id += 1
        asked = self.next_id
        self.socket.send(json.dumps({"id": asked, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == asked:
                if "error" in message:
                    raise Failure("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            if "method" in message:
                self.events.append(message)

    def metrics(self, dpr, width, height):
        self.dpr = dpr
        self.send("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=dpr,
                  mobile=False)

    def evaluate(self, expression, wait=False):
        """The value of a JavaScript expression in the page (awaited when `wait`);
        None when the page went away under it (a reload), for polls to ask again."""
        try:
            result = self.send("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=wait)
        except Failure as failure:
            if "navigated or closed" in str(failure) or "context was destroyed" in str(failure):
                return None
            raise
        if "exceptionDetails" in result:
            raise Failure("page: %s: %s" % (expression[:60], result["exceptionDetails"].get("exception", {})
                                            .get("description", result["exceptionDetails"].get("text"))))
        return result["result"].get("value")

    def go(self, url):
        self.send("Page.navigate", url=url)
        self.wait_shown()

    def reload(self):
        self.send("Page.reload", ignoreCache=False)
        self.wait_shown()

    def wait_shown(self):
        """Waits until the page runs and has handled its first message."""
        wait_for("the page to start", lambda: self.evaluate(
            "document.readyState === 'complete' && typeof QV === 'object' && QV.shownCount > 0"))

    def ping(self):
        """A round trip through the page's event loop, so that what the wasm
        queued before has run."""
        self.evaluate("new Promise((r) => setTimeout(r, 0))", wait=True)

    # The player's hands.
    def key(self, code, key=None, vk=0, text=None):
        """Presses and releases a key; `text` for a key that types (Return's "\r")."""
        params = dict(code=code, key=key or code, windowsVirtualKeyCode=vk)
        if text is None:
            self.send("Input.dispatchKeyEvent", type="rawKeyDown", **params)
        else:
            self.send("Input.dispatchKeyEvent", type="keyDown", text=text, **params)
        self.send("Input.dispatchKeyEvent", type="keyUp", **params)

    def type_text(self, text):
        self.send("Input.insertText", text=text)

    def mouse(self, kind, x, y):
        self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", buttons=1 if kind != "mouseReleased"
                  else 0, clickCount=1)

    def canvas_point(self, x, y):
        """The CSS point of a window point of the game's picture (its pixel's centre)."""
        rect = self.evaluate("(() => { const r = document.getElementById('quarvelle').getBoundingClientRect();"
                             " return [r.left, r.top, r.width]; })()")
        unit = rect[2] / WIDTH
        return rect[0] + (x + 0.5) * unit, rect[1] + (y + 0.5) * unit

    def click(self, x, y):
        """Presses and releases the left button at a window point of the game."""
        cx, cy = self.canvas_point(x, y)
        self.mouse("mouseMoved", cx, cy)
        self.mouse("mousePressed", cx, cy)
        self.mouse("mouseReleased", cx, cy)

    def click_button(self, text):
        """Clicks the page's <button> with this text among the open dialogs (or anywhere)."""
        found = self.evaluate(
            "(() => { const open = [...document.querySelectorAll('dialog[open]')];"
            " const scope = open.length ? open[open.length - 1] : document;"
            " const b = [...scope.querySelectorAll('button')].find((b) => b.textContent === %s);"
            " if (!b) return null; const r = b.getBoundingClientRect();"
            " return [r.left + r.width / 2, r.top + r.height / 2]; })()" % json.dumps(text))
        check(found, "no button %r" % text)
        self.mouse("mouseMoved", *found)
        self.mouse("mousePressed", *found)
        self.mouse("mouseReleased", *found)

    # What shows.
    def canvas_pixels(self):
        """The canvas's 350 by 420 picture as an RGB PIL image."""
        data = self.evaluate("document.getElementById('quarvelle').toDataURL('image/png')")
        return Image.open(io.BytesIO(base64.b64decode(data.split(",", 1)[1]))).convert("RGB")

    def screenshot(self, path=None):
        """The page's whole view in device pixels, as an RGB PIL image."""
        data = base64.b64decode(self.send("Page.captureScreenshot", format="png")["data"])
        if path:
            with open(path, "wb") as f:
                f.write(data)
        return Image.open(io.BytesIO(data)).convert("RGB")

    def open_dialogs(self):
        """What each open <dialog> says, topmost last: its text and button texts."""
        return self.evaluate(
            "[...document.querySelectorAll('dialog[open]')].map((d) => ({text: d.innerText,"
            " buttons: [...d.querySelectorAll('button')].map((b) => b.textContent)}))")

    def stored_table(self):
        """The bytes of localStorage['VORN.DAT'], or None."""
        text = self.evaluate("localStorage.getItem('VORN.DAT')")
        return None if text is None else base64.b64decode(text)

    def store_table(self, data):
        self.evaluate("localStorage.setItem('VORN.DAT', %s)" % json.dumps(base64.b64encode(data).decode()))


def built_page(build=None):
    """The folder of the built page: build-web/page unless given."""
    folder = build or os.environ.get("QUARVELLE_WEB_PAGE") or os.path.join(ROOT, "build-web", "page")
    check(os.path.exists(os.path.join(folder, "quarvelle.wasm")), "no built page in " + folder)
    return folder
