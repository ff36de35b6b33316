#!/usr/bin/python3
"""heliogeo driven as a pupil drives it: the built program in real windows.

The program runs on its own Xvfb screen of 1024 x 768 pixels, either with no
window manager (--wm none) or under openbox (--wm openbox). It is steered only
with real X input through xdotool: keys and mouse clicks, menus opened with the
mouse and with the keyboard. Where the windows stand is read with xwininfo,
what they show from screenshots of the whole screen (ImageMagick `import`).

With --browser the same scenario, with the same checks, drives the web
edition (--program build-web/heliogeo.html) in Debian's headless Chromium over
the DevTools protocol: the page is the screen, the program's windows are read
from the page, what they show from screenshots, and keys and clicks are the
browser's own input events. The few steps only one of the two knows (stacking
of windows, memory, how the program ends) are the drivers' methods. After
the session the browser opens the page again as other screens show it
(PAGES): several sizes and pixel ratios, by mouse and by taps, good and bad
addresses, and a tablet worked by taps alone. Coordinates are device pixels
throughout, as screenshots have them.

With --engine firefox or --engine webkit, instead of that session, the
lesson a class runs (run_lesson: title screen, both views, Mars alone with
its path, PageDown to its opposition, the sky strip, the letters legible, no
page error) in Debian's Firefox ESR over WebDriver BiDi, or in WebKit, the
engine of Safari and of every browser on an iPad (WebKitGTK's MiniBrowser
on an Xvfb screen, over classic WebDriver); the page-side helpers are
Chromium's, keys and clicks WebDriver's input actions.

It prints three figures for the README, and writes them to figures.txt in the
--out folder: the time from launching the program to its title screen on the
screen (in the browser: from opening the page to the program's first wait for
input), the peak resident memory (VmHWM; in the browser the WebAssembly memory)
just before "&Quit", and the time from the click on "&Quit" to the end of the
process (in the browser: to the line that says the program has ended).

With --placement it runs, instead of that session, short ones on several
screens: the title screen at 320 x 200, 800 x 600 and 1024 x 768 without a
window manager and under openbox (its texts must stand whole inside window 0's
client area), and at 1024 x 768 with a 40-pixel panel at the bottom, then at
the top (windows 2, 3 and 1 must stand in the work area, where the layout
computed from its 4:3 rectangle puts them), and on a screen 320 pixels
wide every menu opened by mouse.

The README's screenshots of both views come from this test:
    tests/end_to_end.py --program build/heliogeo --wm none --out /tmp/heliogeo-e2e \
        --screenshot docs/screenshot.png
    tests/end_to_end.py --browser --program build-web/heliogeo.html --out /tmp/heliogeo-e2e-web \
        --screenshot docs/screenshot-web.png --screenshot-wide docs/screenshot-web-1920x1080.png
and the sky strip's, Mars's loop at its opposition, paths and lines of sight:
    tests/end_to_end.py --program build/heliogeo --wm none --out /tmp/heliogeo-e2e \
        --screenshot-sky-strip docs/screenshot-sky-strip.png
The construction's picture comes from the real sky's run:
    tests/end_to_end.py --program build/heliogeo --wm none --out /tmp/heliogeo-e2e --real-sky \
        --screenshot-real-sky docs/screenshot-real-sky.png --screenshot-construction docs/screenshot-construction.png
The teachers' guide's picture of a worksheet, saved at Mars's opposition and
shown by headless Chromium, comes from the same run with
        --screenshot-worksheet docs/screenshot-worksheet.png

Exit status: 0 passed, 1 failed, 77 skipped (a tool is missing; the reason is
printed). Every wait has a time limit; nothing waits for a person.
"""

import argparse
import base64
import html.parser
import io
import json
import math
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.parse
import urllib.request

SKIP = 77

SCREEN_W, SCREEN_H = 1024, 768
CAPTION = "Helio- und geozentrisches Planetensystem"
INPUT_CAPTION = "Eingabe des Zeitschritts"

# Colours as the program draws them (R, G, B).
AZURE = (0, 128, 255)
MAGENTA = (255, 0, 255)
BLUE = (0, 0, 255)
WHITE = (255, 255, 255)
YELLOW = (255, 255, 0)
GREEN = (0, 255, 0)
CYAN = (0, 255, 255)
RED = (255, 0, 0)
NIGHT_BLUE = (8, 20, 60)  # the sky strip's sky
STRIP_NOW_ROW = 5  # the strip's row of the discs, at a pixel ratio of 1

# The layout at 1024 x 768: view windows' client areas, the centre of both
# views, and the orbits' radii in pixels (RadiusX, RadiusY) with their periods.
VIEW_SIZE = (492, 691)
HELIO_POS = (16, 65)
GEO_POS = (515, 65)
CENTRE = (256, 334)
ORBITS = {  # name: (RadiusX, RadiusY, period in days)
    "Erde": (192, 188.6, 365),
    "Merkur": (73, 72.16, 89),
    "Venus": (134, 132.02, 223),
    "Mars": (256, 251.74, 667),
    "Jupiter": (352, 346.04, 700),
}
ORBIT_TOLERANCE = 3.0  # pixels
FULL_TURN = 6.28312  # the program's full turn, radians
OMEGA_EARTH = FULL_TURN / 365  # radians per day
# Mars's oppositions fall where the Earth has gained whole turns (2π) on it.
MARS_SYNODIC = 2 * math.pi / (OMEGA_EARTH - FULL_TURN / 667)
STEPS_PER_SECOND = 60

# Window 1 at 1024 x 768: left 10, top ScaleY(15), width ScaleX(158) - 10,
# height ScaleY(30).
INPUT_GEOMETRY = (10, 57, 495, 115)

# Items of each menu, top to bottom, and the titles' order on the bar.
MENUS = {
    "DESK": ["&Quit", "-------------", "&Info", "&Autor"],
    "SYSTEM": ["&Heliozentrisch", "&Geozentrisch", "&Beide"],
    "DARSTELLUNG": ["nur &Planeten", "nur &Bahnen", "Planten &und Bahnen", "&Vieleck ein/aus"],
    "PLANETEN": ["&nur Erde-Sonne", "&Merkur ein/aus", "&Venus ein/aus", "M&ars ein/aus", "&Jupiter aus/ein"],
    "SERVICE": ["Bildschirm &löschen", "&Hardcopy", "&Zeitschritt", "&Test"],
    "EXTRAS": ["&Anhalten / Weiter", "Schritt &vor", "Schritt &zurück", "&Sichtlinien ein/aus", "&Konstruktion ein/aus",
               "&Bild speichern",
               "&Arbeitsblatt speichern"],
    "EREIGNISSE": ["&Nächstes Ereignis", "&Voriges Ereignis", "&Himmelsstreifen ein/aus", "&Ereignisliste",
                   "Ereignisliste &speichern"],
    "HIMMEL": ["&Modell", "&Echter Himmel", "&Jetzt", "&Datum \u2026"],
}
TITLES = list(MENUS)


class Skipped(Exception):
    pass


class Failed(Exception):
    pass


def log(text):
    print(text, flush=True)


def check(condition, text):
    if not condition:
        raise Failed(text)
    log("ok: " + text)


try:
    from PIL import Image, ImageChops
except ImportError:  # checked in main(), where it becomes a skip
    Image = None

try:
    from Xlib import X, Xatom
    from Xlib import display as xdisplay
except ImportError:  # only the placement scenario needs it; checked in main()
    xdisplay = None

try:
    import websocket  # the browser is driven over the DevTools protocol
except ImportError:  # only the browser needs it; checked in main()
    websocket = None


# ---------------------------------------------------------------- processes

class Session:
    """What both drivers share: the output folder, the logs and the last
    screenshot. A driver provides, besides: start, launch, alive, close;
    windows (the program's viewable windows: id, name, x, y, w, h, override);
    shot; focus, key (xdotool's key names), click, park_mouse; stacked_above;
    memory; quit_by_click; start_to_title."""

    exact = True  # windows stand exactly where the program puts them
    last_shot = None

    def save_shot(self, name):
        path = os.path.join(self.out, name)
        if self.last_shot is not None:
            self.last_shot.save(path)
        return path

    def window_note(self, wid):
        """Something that explains a window's stacking, for a failure."""
        return ""

    def window_report(self):
        """The program's windows, shown or not, for a failure."""
        return ""

    def start_to_title(self, measured_ms):
        """The time from the launch to the title screen: as measured by
        polling screenshots, unless the program knows it better."""
        return measured_ms

    def own_checks(self, p):
        """While the animation runs: what only this window system has."""

    def start_again(self, p):
        """After "&Quit": what the pupil can do then."""

    def status_text(self):
        """The status line's text, where the window system lets it be read."""

    def box_text(self):
        """The open box's text, where the window system lets it be read."""


class XSession(Session):
    """The X server, the window manager and the program, and the tools that
    speak to them. Everything started here is ended by close()."""

    def __init__(self, program, wm, out, size=(SCREEN_W, SCREEN_H)):
        self.program = program
        self.wm = wm
        self.out = out
        self.size = size
        self.panel = None
        self.xvfb = None
        self.wm_proc = None
        self.proc = None
        self.env = None
        self.logs = []

    @property
    def exact(self):
        return self.wm == "none"

    @property
    def label(self):
        return "no window manager" if self.wm == "none" else self.wm

    # -- starting and ending

    def start(self):
        self.start_xvfb()
        self.start_wm()

    def can_shoot(self):
        return self.xvfb is not None and self.xvfb.poll() is None

    def start_xvfb(self):
        read_fd, write_fd = os.pipe()
        err = open(os.path.join(self.out, "xvfb.log"), "wb")
        self.logs.append(err.name)
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "%dx%dx24" % self.size,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdin=subprocess.DEVNULL, stdout=err, stderr=err)
        os.close(write_fd)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            ready, _, _ = select.select([read_fd], [], [], max(left, 0))
            if not ready:
                break
            chunk = os.read(read_fd, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_fd)
        if not number.strip().isdigit():
            raise Skipped("Xvfb did not start (see %s)" % err.name)
        display = ":" + number.decode().strip()
        env = {k: v for k, v in os.environ.items() if not k.startswith("QT_")}
        for k in ("WAYLAND_DISPLAY", "XAUTHORITY", "DESKTOP_SESSION", "XDG_SESSION_TYPE"):
            env.pop(k, None)
        env["DISPLAY"] = display
        runtime = os.path.join(self.out, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env["XDG_RUNTIME_DIR"] = runtime
        env["QT_QPA_PLATFORM"] = "xcb"
        # The picture folder the program saves into, as the desktop names it.
        config = os.path.join(self.out, "config")
        os.makedirs(config, exist_ok=True)
        shutil.rmtree(self.pictures, ignore_errors=True)  # no picture from an earlier run
        with open(os.path.join(config, "user-dirs.dirs"), "w") as f:
            f.write('XDG_PICTURES_DIR="%s"\n' % self.pictures)
        env["XDG_CONFIG_HOME"] = config
        self.env = env
        log("Xvfb on display %s, %dx%dx24" % ((display,) + self.size))

    def start_wm(self):
        if self.wm != "openbox":
            return
        err = open(os.path.join(self.out, "openbox.log"), "wb")
        self.logs.append(err.name)
        self.wm_proc = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
                                        stdout=err, stderr=err)
        # The window manager has taken the screen once its check window is on
        # the root window, and is nearly through its start once it has
        # published the work area (the program copes with one still starting).
        poll(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
             and "= " in self.run(["xprop", "-root", "_NET_WORKAREA"], check=False),
             10, "openbox to manage the screen")
        log("openbox manages the screen")

    def launch(self, args=()):
        err = open(os.path.join(self.out, "heliogeo.log"), "wb")
        self.logs.append(err.name)
        started = time.monotonic()
        self.proc = subprocess.Popen([self.program, *args], env=self.env, stdin=subprocess.DEVNULL,
                                     stdout=err, stderr=err)
        return started

    def end_program(self):
        self.proc.terminate()
        self.proc.wait(5)

    @property
    def pictures(self):
        return os.path.join(self.out, "pictures")

    def saved_picture(self):
        return newest_file(self.pictures, ".png", lambda f: Image.open(f).convert("RGB"))

    def saved_text(self):
        return newest_file(self.pictures, ".csv", lambda f: (f, open(f, encoding="utf-8").read()))

    def saved_sheets(self):
        """The newest worksheet and solution sheet beside the pictures (put in place whole)."""
        return [newest_file(self.pictures, ".html", lambda f: f, "heliogeo-%s-" % kind)
                for kind in ("arbeitsblatt", "loesungsblatt")]

    def start_panel(self, edge, height):
        """A desktop panel along the top or bottom edge, as a taskbar is: a
        dock window that reserves `height` pixels there (_NET_WM_STRUT_PARTIAL).
        Its position is given as the user's, or openbox would put it in the
        middle of its own dock area; the reservation counts either way."""
        d = xdisplay.Display(self.env["DISPLAY"])
        screen = d.screen()
        width, full = self.size
        y = 0 if edge == "top" else full - height
        win = screen.root.create_window(0, y, width, height, 0, screen.root_depth,
                                        background_pixel=screen.black_pixel)
        atom = d.intern_atom
        win.change_property(atom("_NET_WM_WINDOW_TYPE"), Xatom.ATOM, 32, [atom("_NET_WM_WINDOW_TYPE_DOCK")])
        win.set_wm_normal_hints(flags=1 | 4, x=0, y=y)  # USPosition, PPosition
        # left, right, top, bottom, then where along each edge (first, last).
        strut = [0, 0, height, 0] if edge == "top" else [0, 0, 0, height]
        strut += [0, 0, 0, 0] + ([0, width - 1, 0, 0] if edge == "top" else [0, 0, 0, width - 1])
        win.change_property(atom("_NET_WM_STRUT_PARTIAL"), Xatom.CARDINAL, 32, strut)
        win.change_property(atom("_NET_WM_STRUT"), Xatom.CARDINAL, 32, strut[:4])
        win.map()
        d.sync()
        self.panel = d

    def stop_panel(self):
        if self.panel is not None:
            try:
                self.panel.close()
            except Exception:  # the X server may have gone first
                pass
            self.panel = None

    def work_area(self):
        """The work area the window manager publishes: x, y, w, h."""
        found = re.findall(r"\d+", self.run(["xprop", "-root", "_NET_WORKAREA"], check=False).partition("=")[2])
        return tuple(int(v) for v in found[:4]) if len(found) >= 4 else None

    def close(self):
        self.stop_panel()
        for p in (self.proc, self.wm_proc, self.xvfb):
            if p is None or p.poll() is not None:
                continue
            p.send_signal(signal.SIGTERM)
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)

    def run(self, args, check=True, timeout=10):
        try:
            r = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                               timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failed("%s did not return within %d s" % (" ".join(args), timeout))
        if check and r.returncode != 0:
            raise Failed("%s failed: %s" % (" ".join(args), r.stderr.decode(errors="replace").strip()))
        return r.stdout.decode(errors="replace")

    def alive(self):
        if self.proc.poll() is not None:
            raise Failed("heliogeo ended unexpectedly with status %s" % self.proc.returncode)

    # -- the screen

    def shot(self, crop=None):
        """The screen (or a part: x, y, w, h) as an RGB image."""
        args = ["import", "-window", "root"]
        if crop is not None:
            args += ["-crop", "%dx%d+%d+%d" % (crop[2], crop[3], crop[0], crop[1]), "+repage"]
        args += ["-depth", "8", "ppm:-"]
        r = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        if r.returncode != 0 or not r.stdout:
            raise Failed("import failed: " + r.stderr.decode(errors="replace").strip())
        img = Image.open(io.BytesIO(r.stdout)).convert("RGB")
        if crop is None:
            self.last_shot = img
        return img

    # -- windows

    def windows(self):
        """The program's viewable windows: id, name, x, y, w, h, override."""
        self.alive()
        out = self.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)], check=False)
        found = []
        for wid in out.split():
            info = self.run(["xwininfo", "-id", wid], check=False)
            w = parse_xwininfo(info)
            if w is None or not w["viewable"]:
                continue
            w["id"] = wid
            found.append(w)
        return found

    def window_report(self):
        if self.proc is None or self.proc.poll() is not None or not self.can_shoot():
            return ""
        lines = []
        for wid in self.run(["xdotool", "search", "--pid", str(self.proc.pid)], check=False).split():
            w = parse_xwininfo(self.run(["xwininfo", "-id", wid], check=False))
            if w is not None and w["w"] > 1:
                lines.append("  %s %r %s %dx%d at %d,%d" % (wid, w["name"], "shown" if w["viewable"] else "not shown",
                                                            w["w"], w["h"], w["x"], w["y"]))
        return "the program's windows:\n" + "\n".join(lines) if lines else "the program has no window"

    def geometry(self, wid):
        w = parse_xwininfo(self.run(["xwininfo", "-id", wid]))
        if w is None:
            raise Failed("no geometry for window %s" % wid)
        return w

    # -- input

    def focus(self, wid):
        self.run(["xdotool", "windowfocus", "--sync", wid])

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "40"] + list(keys))

    def click(self, x, y):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])
        self.run(["xdotool", "click", "1"])

    def park_mouse(self):
        # Over window 0's own background, away from the menu bar and views.
        # (A --sync move to where the pointer already is would never return.)
        x, y = self.size[0] - 6, self.size[1] - 5
        if "X=%d\nY=%d\n" % (x, y) not in self.run(["xdotool", "getmouselocation", "--shell"]):
            self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])

    # -- what only the window system knows

    def stacked_above(self, wids, others):
        """For each window of wids, those of the windows `others` that the
        window manager stacks above it; none without a window manager."""
        if self.wm == "none":
            return {}
        # What the window manager does with a click or an activation may come
        # a moment after the menu has closed.
        time.sleep(0.3)
        out = self.run(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], check=False)
        order = {int(w, 16): i for i, w in enumerate(re.findall(r"0x[0-9a-f]+", out))}  # bottom to top
        return {wid: [a for a in others if int(wid) in order and int(a) in order and order[int(wid)] < order[int(a)]]
                for wid in wids}

    def window_note(self, wid):
        prop = self.run(["xprop", "-id", wid, "WM_TRANSIENT_FOR"], check=False)
        m = re.search(r"window id # (0x[0-9a-f]+)", prop)
        return "transient for " + m.group(1) if m else "no WM_TRANSIENT_FOR"

    def memory(self):
        """The program's peak memory: what it is, and MB."""
        with open("/proc/%d/status" % self.proc.pid) as f:
            hwm = next(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))
        return "peak resident memory", hwm / 1024

    def quit_by_click(self, x, y):
        """Clicks "&Quit" at (x, y); the program must end at once with status
        0. Returns the milliseconds from the click to its end."""
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y)])
        clicked = time.monotonic()
        self.run(["xdotool", "click", "1"])
        try:
            status = self.proc.wait(5)
        except subprocess.TimeoutExpired:
            raise Failed("heliogeo still runs 5 s after &Quit")
        quit_ms = (time.monotonic() - clicked) * 1000
        check(status == 0, "&Quit ends heliogeo with status 0 (got %d)" % status)
        return quit_ms


def parse_xwininfo(text):
    def field(name):
        m = re.search(r"^\s*%s:\s*(-?\d+)" % re.escape(name), text, re.M)
        return int(m.group(1)) if m else None

    head = re.search(r'Window id: \S+ (?:"(.*)"|\(has no name\))', text)
    x, y = field("Absolute upper-left X"), field("Absolute upper-left Y")
    w, h = field("Width"), field("Height")
    if None in (x, y, w, h):
        return None
    return {
        "name": head.group(1) if head and head.group(1) is not None else "",
        "x": x, "y": y, "w": w, "h": h,
        "viewable": "IsViewable" in text,
        "override": re.search(r"Override Redirect State:\s*yes", text) is not None,
    }


class BrowserSession(Session):
    """The web edition: the page in headless Chromium (Debian's), the page
    being a screen of 1024 x 768, steered over the DevTools protocol with the
    browser's own input events. The windows are read from the page
    (HG.windowList), what they show from screenshots of the page."""

    label = "Chromium"
    # xdotool's key names as the browser names them: key, code, key code, text.
    KEYS = {"Return": ("Enter", "Enter", 13, "\r"), "space": (" ", "Space", 32, " "),
            "Alt_L": ("Alt", "AltLeft", 18, ""), "F10": ("F10", "F10", 121, ""),
            "Escape": ("Escape", "Escape", 27, ""), "BackSpace": ("Backspace", "Backspace", 8, ""),
            "Left": ("ArrowLeft", "ArrowLeft", 37, ""), "Page_Down": ("PageDown", "PageDown", 34, ""),
            "Up": ("ArrowUp", "ArrowUp", 38, ""), "Right": ("ArrowRight", "ArrowRight", 39, ""),
            "Down": ("ArrowDown", "ArrowDown", 40, ""), "period": (".", "Period", 190, ".")}

    def __init__(self, page, out, size=(SCREEN_W, SCREEN_H)):
        self.page = page
        self.out = out
        self.size = size
        self.ratio = 1  # device pixels per CSS pixel
        self.touch = False  # a touch screen: taps only
        self.proc = None
        self.ws = None
        self.last_id = 0
        self.errors = []  # what the page threw
        self.dialogs = []  # dialogs the page opened (a question on closing, say)
        self.problems = []  # console messages, warnings and failed requests since the page was opened
        self.downloaded = []  # downloads that ended: completed (with their file) or canceled
        self.files = []  # the files downloaded, in order
        self.logs = [os.path.join(out, "chromium.log"), os.path.join(out, "console.log")]
        self.console = None

    # -- starting and ending

    def start(self):
        profile = os.path.join(self.out, "profile")
        shutil.rmtree(profile, ignore_errors=True)
        err = open(self.logs[0], "wb")
        self.console = open(self.logs[1], "w")
        self.proc = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--remote-debugging-port=0",
             "--user-data-dir=" + profile, "--no-first-run", "--no-default-browser-check", "--disable-extensions",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--force-color-profile=srgb", "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
             "--disable-backgrounding-occluded-windows", "--hide-scrollbars", "--window-size=%d,%d" % self.size,
             "about:blank"],
            stdin=subprocess.DEVNULL, stdout=err, stderr=err, start_new_session=True)

        def port():
            try:
                with open(os.path.join(profile, "DevToolsActivePort")) as f:
                    return int(f.readline())
            except (OSError, ValueError):
                return None
        found = poll(port, 20, "Chromium's DevTools port")
        targets = json.load(urllib.request.urlopen("http://127.0.0.1:%d/json/list" % found, timeout=10))
        target = next(t for t in targets if t["type"] == "page")
        self.ws = websocket.create_connection(target["webSocketDebuggerUrl"], timeout=30, suppress_origin=True)
        self.cmd("Runtime.enable")
        self.cmd("Page.enable")
        self.cmd("Log.enable")
        self.cmd("Network.enable")
        self.emulate(self.size)
        self.cmd("Emulation.setFocusEmulationEnabled", enabled=True)
        self.downloads = os.path.join(self.out, "downloads")
        shutil.rmtree(self.downloads, ignore_errors=True)  # no picture from an earlier run
        os.makedirs(self.downloads)
        self.cmd("Browser.setDownloadBehavior", behavior="allow", downloadPath=self.downloads, eventsEnabled=True)
        log("Chromium %s, a page of %dx%d" % ((self.eval("navigator.userAgent").split("Chrome/")[-1].split()[0],)
                                               + self.size))

    def emulate(self, size, ratio=1, touch=False):
        """A page of `size` CSS pixels at `ratio` device pixels a pixel, on a
        screen worked by mouse or, with touch, by taps alone (a tablet or
        phone: its pointer is coarse). A page that is open turns or resizes."""
        self.size, self.ratio, self.touch = size, ratio, touch
        upright = size[1] >= size[0]
        self.cmd("Emulation.setDeviceMetricsOverride", width=size[0], height=size[1], deviceScaleFactor=ratio,
                 mobile=touch, screenOrientation={"type": "portraitPrimary" if upright else "landscapePrimary",
                                                  "angle": 0 if upright else 90})
        self.cmd("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=5 if touch else 1)

    def launch(self, query=""):
        started = time.monotonic()
        self.problems = []
        self.cmd("Page.navigate", url="file://" + urllib.parse.quote(self.page) + query)
        return started

    def start_to_title(self, measured_ms):
        # The page notes when the program first waits for input.
        return poll(lambda: self.eval("HG.firstKeyWait"), 5, "HG.firstKeyWait")

    def alive(self):
        if self.proc.poll() is not None:
            raise Failed("heliogeo ended unexpectedly: Chromium is gone (status %s)" % self.proc.returncode)
        if self.errors:
            raise Failed("heliogeo ended unexpectedly: the page threw %s" % self.errors[0])

    def can_shoot(self):
        return self.ws is not None and self.proc.poll() is None

    def close(self):
        if self.ws is not None:
            self.ws.close()
            self.ws = None
        end_process_group(self.proc)
        if self.console is not None:
            self.console.close()
            self.console = None

    # -- the DevTools protocol

    def cmd(self, method, **params):
        self.last_id += 1
        self.ws.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while True:
            msg = self.receive()
            if msg.get("id") == self.last_id:
                if "error" in msg:
                    raise Failed("%s: %s" % (method, msg["error"].get("message")))
                return msg["result"]

    def receive(self):
        msg = json.loads(self.ws.recv())
        event, params = msg.get("method"), msg.get("params", {})
        if event == "Runtime.exceptionThrown":
            d = params["exceptionDetails"]
            self.errors.append(d.get("exception", {}).get("description") or d.get("text"))
            self.console.write("exception: %s\n" % self.errors[-1])
        elif event == "Runtime.consoleAPICalled":
            self.problems.append("%s: %s" % (params["type"], " ".join(str(a.get("value", a.get("description")))
                                                                     for a in params["args"])))
            self.console.write(self.problems[-1] + "\n")
        elif (event == "Log.entryAdded" and params["entry"]["level"] in ("warning", "error") or
              event == "Network.loadingFailed" and not params.get("canceled")):
            self.problems.append(json.dumps(params)[:300])
        elif event == "Browser.downloadProgress" and params["state"] != "inProgress":
            self.downloaded.append(params)
        elif event == "Page.javascriptDialogOpening":
            self.dialogs.append(params["type"])
            self.ws.send(json.dumps({"id": 0, "method": "Page.handleJavaScriptDialog", "params": {"accept": True}}))
        return msg

    def eval(self, expression):
        r = self.cmd("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in r:
            raise Failed("%s: %s" % (expression, r["exceptionDetails"].get("text")))
        return r["result"].get("value")

    # -- windows and the screen

    def windows(self):
        self.alive()
        ended, found = self.eval("[HG.ended, typeof HG.windowList == 'function' ? HG.windowList() : []]")
        if ended:
            raise Failed("heliogeo ended unexpectedly: the page says the program has ended")
        return found

    def shot(self, crop=None):
        """The page, or a part of it (x, y, w, h), in device pixels."""
        img = Image.open(io.BytesIO(base64.b64decode(self.cmd("Page.captureScreenshot", format="png")["data"])))
        self.last_shot = img.convert("RGB")
        return self.last_shot if crop is None else self.last_shot.crop((crop[0], crop[1], crop[0] + crop[2],
                                                                         crop[1] + crop[3]))

    def rects(self, selector):
        """Where the page's elements of a selector stand: x, y, w, h in device pixels."""
        return [tuple(round(v * self.ratio) for v in r) for r in self.eval(
            "Array.from(document.querySelectorAll(%s), (e) => { const r = e.getBoundingClientRect();"
            " return [r.left, r.top, r.width, r.height]; })" % json.dumps(selector))]

    def page_rect(self):
        return (0, 0, round(self.size[0] * self.ratio), round(self.size[1] * self.ratio))

    def press(self, selector):
        """A click on an element, or a tap on a touch screen."""
        x, y, w, h = self.rects(selector)[0]
        self.click(x + w // 2, y + h // 2)

    # -- input

    def focus(self, wid):
        pass  # the page has the keyboard; a box gives its button the focus itself

    def downloaded_file(self):
        """The file next offered for download, once Chromium has it whole."""
        ended = poll(lambda: (self.eval("1"), self.downloaded)[1], 15, "a download to end").pop(0)
        if ended["state"] != "completed":
            raise Failed("the download ended %s" % ended["state"])
        self.files.append(ended["filePath"])
        return ended["filePath"]

    def saved_picture(self):
        return Image.open(self.downloaded_file()).convert("RGB")

    def saved_text(self):
        path = self.downloaded_file()
        return path, open(path, encoding="utf-8").read()

    def saved_sheets(self):
        """The worksheet and the solution sheet, two downloads in either order."""
        return sorted((self.downloaded_file() for _ in range(2)), key=lambda path: "loesungsblatt" in path)

    def status_text(self):
        return self.eval("HG.statusText")

    def box_text(self):
        return self.eval("document.querySelector('#hg-modal .hg-lines').innerText")

    def key(self, *keys):
        for name in keys:
            ctrl = name.startswith("ctrl+")
            name = name[5:] if ctrl else name
            if name in self.KEYS:
                key, code, number, text = self.KEYS[name]
            elif len(name) == 1 and name.isalnum():
                key, text, number = name, name, ord(name.upper())
                code = ("Digit" if name.isdigit() else "Key") + name.upper()
            else:
                raise Failed("no browser key for xdotool's %r" % name)
            down = {"key": key, "code": code, "windowsVirtualKeyCode": number, "nativeVirtualKeyCode": number}
            modifiers = 1 if key == "Alt" else 2 if ctrl else 0
            if ctrl:
                text = ""  # Ctrl with a letter types nothing
            self.cmd("Input.dispatchKeyEvent", type="keyDown" if text else "rawKeyDown", text=text,
                     unmodifiedText=text, modifiers=modifiers, **down)
            self.cmd("Input.dispatchKeyEvent", type="keyUp", modifiers=modifiers, **down)
            time.sleep(0.04)

    def mouse(self, kind, x, y, buttons=0):
        """A mouse event at (x, y) in device pixels."""
        self.cmd("Input.dispatchMouseEvent", type=kind, x=x / self.ratio, y=y / self.ratio,
                 button="left" if kind != "mouseMoved" else "none", buttons=buttons,
                 clickCount=1 if kind != "mouseMoved" else 0)

    def click(self, x, y):
        """A click at (x, y) in device pixels; on a touch screen a tap."""
        if self.touch:
            self.tap(x, y)
            return
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, 1)
        self.mouse("mouseReleased", x, y)

    def park_mouse(self):
        if not self.touch:
            self.mouse("mouseMoved", (self.size[0] - 6) * self.ratio, (self.size[1] - 5) * self.ratio)

    # -- what only the page knows

    def stacked_above(self, wids, others):
        """For each window of wids, the window of `others` whose pixels are
        on top at its centre, unless it is itself."""
        tops = self.eval("""(() => {
            const tops = {};
            for (const w of HG.windowList()) {
              const e = document.elementFromPoint((w.x + w.w / 2) / HG.area.ratio, (w.y + w.h / 2) / HG.area.ratio);
              const frame = e && e.closest(".hg-window");
              tops[w.id] = frame ? frame.dataset.window : e && e.closest("#hg-dropdown") ? "menu" : "box";
            }
            return tops; })()""")
        return {wid: [tops[wid]] for wid in wids if tops.get(wid) != wid and tops.get(wid) in others}

    def memory(self):
        return "WebAssembly memory", self.eval("HEAP8.length") / 2 ** 20

    def quit_by_click(self, x, y):
        """Clicks "&Quit" at (x, y): the program must end at once and leave
        one line that says so, with a button that starts it again. Returns
        the milliseconds from the click to that line."""
        ended = ("HG.ended && getComputedStyle(document.getElementById('hg-ended')).display != 'none'"
                 " && getComputedStyle(document.getElementById('hg-screen')).display == 'none'")
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, 1)
        clicked = time.monotonic()
        self.mouse("mouseReleased", x, y)
        poll(lambda: self.eval(ended), 5, "the page to say that heliogeo has ended", interval=0.002)
        quit_ms = (time.monotonic() - clicked) * 1000
        self.shot()
        self.save_shot("ended.png")
        # What is seen: the screen reader's region, which nobody sees, left out.
        text = self.eval("document.body.innerText.replace(document.getElementById('hg-announce').innerText, '').trim()")
        check(re.fullmatch(r"Das Programm ist beendet\.\s*Neu starten", text) is not None,
              "after &Quit the page shows one line, that heliogeo has ended, and a button to start again (%r)" % text)
        return quit_ms

    # Colours the views may show; anything else is a blend of two.
    DRAWN = {AZURE, MAGENTA, BLUE, WHITE, YELLOW, GREEN, CYAN, RED, (0, 0, 0)}

    def own_checks(self, p):
        """Nothing on the console and no failed request since the page was
        opened; F10 reaches the menu bar too; Ctrl+S is never the browser's;
        the letters of the pictures legible."""
        check(not self.problems, "since the page was opened: no console message, no warning, no failed request (%s)"
              % self.problems[:3])
        self.key("F10", "Right", "Down")
        p.wait_popup("SYSTEM")
        self.key("Escape", "Escape")
        p.wait_popup_closed()
        check(not self.eval("HG.menuActive"), "F10, Right and Down open SYSTEM's menu; Escape twice leaves the bar")
        # Ctrl+S is never the browser's "save page": in EXTRAS's open menu it is no "&S" for "&Sichtlinien",
        # with a box open it saves nothing.
        self.eval("addEventListener('keydown', (e) => { window.kept = e.defaultPrevented; })")
        p.open_by_keyboard("EXTRAS")
        self.key("ctrl+s")
        kept_in_menu = self.eval("window.kept && HG.menuOpen === %d" % TITLES.index("EXTRAS"))
        roles = self.eval("""[Array.from(document.querySelectorAll('#hg-menubar[role=menubar] >'
            + ' .hg-title[role=menuitem][aria-haspopup=menu]'), (t) => t.getAttribute('aria-expanded')).join(),
            document.querySelectorAll('#hg-dropdown[role=menu] > .hg-item[role=menuitem]').length]""")
        check(roles == [",".join(str(t == "EXTRAS").lower() for t in TITLES), len(MENUS["EXTRAS"])],
              "a screen reader's roles: a menu bar of titles, EXTRAS expanded to a menu of items (%s)" % roles)
        self.key("Escape", "Escape")
        p.choose_by_letter("DESK", "&Info")
        saved = self.eval("HG.savedPictures")
        self.key("ctrl+s")
        check(kept_in_menu and self.eval("window.kept && HG.savedPictures === %d" % saved),
              "Ctrl+S kept from the browser, choosing nothing, in EXTRAS's open menu and with a box open")
        p.close_box_with_return("the information box")
        # A box with more lines than the page has room for scrolls them, and stays on the page.
        self.eval("HG.messageBox(%s, Array.from({length: 100}, (_, k) => 'Tag ' + (806 + k) + ',15  Mars  Opposition')),"
                  " 0" % json.dumps(CAPTION))
        scrolls = self.eval("(() => { const l = document.querySelector('#hg-modal .hg-lines');"
                            " return l.scrollHeight > l.clientHeight; })()")
        check(scrolls and inside(self.rects("#hg-modal .hg-box")[0], self.page_rect()),
              "a box of 100 lines scrolls them and stays on the page")
        p.close_box_with_return("the long box")
        check_letters(self)

    def tap(self, x, y):
        """A finger's tap at (x, y) in device pixels."""
        point = {"x": x / self.ratio, "y": y / self.ratio, "radiusX": 3, "radiusY": 3, "force": 1}
        self.cmd("Input.dispatchTouchEvent", type="touchStart", touchPoints=[point])
        self.cmd("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def start_again(self, p):
        """The button starts heliogeo again; a pupil at a touch screen gets
        through the title, the box and a menu with taps. Then the tab is
        closed: nothing may ask whether to leave."""
        self.click(*self.eval("""(() => { const r = document.getElementById('hg-restart').getBoundingClientRect();
                                           return [r.x + r.width / 2, r.y + r.height / 2]; })()"""))
        poll(lambda: self.eval("HG.firstKeyWait > 0") and title_patch_blue(self), 10, "the title screen again")
        log("ok: the button starts heliogeo again: the title screen")
        self.emulate(self.size, 1, True)
        # A finger still down as the second prompt appears passes it too.
        self.tap(500, 400)
        poll(lambda: p.boxes() or share(self.shot((20, 250, 60, 60)), MAGENTA) >= 0.98, 5, "the title to end")
        if not p.boxes():
            self.tap(500, 400)
        poll(p.boxes, 5, "the start-up box after taps")
        self.tap(*self.eval("""(() => { const r = document.querySelector('#hg-modal button').getBoundingClientRect();
                                        return [r.x + r.width / 2, r.y + r.height / 2]; })()"""))
        poll(lambda: not p.boxes() and p.find_views(), 5, "the box to close after a tap on OK, and the views")
        PagePupil.find_titles(p)
        tx, ty, _ = p.titles["SYSTEM"]
        self.tap(tx, ty)
        popup = p.wait_popup("SYSTEM")
        self.tap(popup["x"] + popup["w"] // 2, p.item_rows(popup, "SYSTEM")[MENUS["SYSTEM"].index("&Beide")])
        p.wait_popup_closed()
        def drawn():  # the touch buttons may take a row of the bar: the layout follows
            r, p.views = self.eval("HG.screenRect"), p.find_views()
            centre = (80 * r["width"] // 320, 87 * r["height"] // 200)
            return p.views and all(disc_at(img, rgb, centre) for img, rgb in zip(p.view_images(self.shot()),
                                                                                  (YELLOW, BLUE)))
        poll(drawn, 10, "both views after taps on SYSTEM and &Beide")
        log("ok: taps pass the title screen and the box and choose SYSTEM | &Beide")
        # A picture in the second of the first, which the page saved before it was loaded anew, as another tab
        # of the file would: under the page's own mark, not the first page's.
        first = next(f for f in self.files if f.endswith(".png"))
        stamp, mark = re.fullmatch(r"(heliogeo-[-\d]{17})-([a-z2-9]{5})\.png", os.path.basename(first)).groups()
        self.eval("Date.now = () => %d" % (time.mktime(time.strptime(stamp, "heliogeo-%Y-%m-%d-%H%M%S")) * 1000))
        self.key("ctrl+s")
        path = self.downloaded_file()
        check(os.path.isfile(first) and re.fullmatch(r"%s-(?!%s)[a-z2-9]{5}\.png" % (stamp, mark),
                                                     os.path.basename(path)),
              "a picture in the same second as one another page saved has its own mark (%s)" % os.path.basename(path))
        self.cmd("Page.close")
        deadline = time.monotonic() + 3
        try:
            while time.monotonic() < deadline and not self.dialogs:
                self.receive()
        except (websocket.WebSocketException, OSError):
            pass  # the tab is gone
        self.ws = None
        check(not self.dialogs, "closing the tab while heliogeo runs asks nothing (%s)" % self.dialogs)


# xdotool's key names as WebDriver's input actions name them.
WEBDRIVER_KEYS = {"Return": "\ue007", "space": " ", "Alt_L": "\ue00a", "F10": "\ue03a", "Escape": "\ue00c",
                  "BackSpace": "\ue003", "Left": "\ue012", "Up": "\ue013", "Right": "\ue014", "Down": "\ue015",
                  "Page_Down": "\ue00f", "ctrl": "\ue009"}


class WebDriverSession(BrowserSession):
    """A browser steered over WebDriver, BiDi or classic: keys and the mouse
    as WebDriver's input actions, the page read by scripts whose values cross
    as JSON text; the page-side helpers (windows, rects, the status line …)
    are BrowserSession's. A subclass starts and ends the browser and provides
    perform(actions), script(expression) and screenshot() (a PNG file in
    base64)."""

    def eval(self, expression):
        text = self.script("JSON.stringify((%s))" % expression)
        return None if text is None else json.loads(text)

    def emulate(self, size, ratio=1, touch=False):
        if (size, ratio, touch) != (self.size, 1, False):
            raise Failed("%s shows a page of %dx%d at a pixel ratio of 1, worked by mouse"
                         % ((self.label,) + self.size))

    def key(self, *keys):
        for name in keys:
            held = [WEBDRIVER_KEYS["ctrl"]] if name.startswith("ctrl+") else []
            name = name[5:] if held else name
            value = WEBDRIVER_KEYS.get(name) or (name if len(name) == 1 and name.isalnum() else None)
            if value is None:
                raise Failed("no WebDriver key for xdotool's %r" % name)
            pressed = held + [value]
            self.perform([{"type": "key", "id": "keyboard",
                           "actions": [{"type": "keyDown", "value": v} for v in pressed]
                           + [{"type": "keyUp", "value": v} for v in reversed(pressed)]}])
            time.sleep(0.04)

    def pointer(self, x, y, *steps):
        """The mouse moved to (x, y), device pixels, then the steps."""
        self.perform([{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                       "actions": [{"type": "pointerMove", "x": round(x / self.ratio), "y": round(y / self.ratio)}]
                       + [{"type": step, "button": 0} for step in steps]}])

    def click(self, x, y):
        self.pointer(x, y, "pointerDown", "pointerUp")

    def park_mouse(self):
        self.pointer((self.size[0] - 6) * self.ratio, (self.size[1] - 5) * self.ratio)

    def shot(self, crop=None):
        """The page, or a part of it (x, y, w, h)."""
        self.last_shot = Image.open(io.BytesIO(base64.b64decode(self.screenshot()))).convert("RGB")
        return self.last_shot if crop is None else self.last_shot.crop((crop[0], crop[1], crop[0] + crop[2],
                                                                         crop[1] + crop[3]))


class FirefoxSession(WebDriverSession):
    """The web edition in Debian's Firefox ESR, headless, steered over
    WebDriver BiDi, which Firefox speaks itself (no driver between): a page
    of 1024 x 768; what the page throws and writes on its console comes as
    log events from the start."""

    label = "Firefox"

    def __init__(self, page, out, size=(SCREEN_W, SCREEN_H)):
        super().__init__(page, out, size)
        self.logs = [os.path.join(out, "firefox.log"), os.path.join(out, "console.log")]
        self.context = None

    def start(self):
        profile = os.path.join(self.out, "profile")
        shutil.rmtree(profile, ignore_errors=True)
        os.makedirs(profile)
        err = open(self.logs[0], "wb")
        self.console = open(self.logs[1], "w")
        env = dict(os.environ, MOZ_CRASHREPORTER_DISABLE="1")
        self.proc = subprocess.Popen(
            ["firefox-esr", "--headless", "--no-remote", "--profile", profile, "--remote-debugging-port=0",
             "about:blank"], env=env, stdin=subprocess.DEVNULL, stdout=err, stderr=err, start_new_session=True)
        found = poll(lambda: re.search(r"WebDriver BiDi listening on (ws://\S+)", open(self.logs[0]).read()), 30,
                     "Firefox's WebDriver BiDi address")
        # Firefox refuses a connection that names an origin.
        self.ws = websocket.create_connection(found.group(1) + "/session", timeout=30, suppress_origin=True)
        version = self.cmd("session.new", capabilities={})["capabilities"]["browserVersion"]
        self.cmd("session.subscribe", events=["log.entryAdded", "browsingContext.userPromptOpened"])
        self.context = self.cmd("browsingContext.getTree")["contexts"][0]["context"]
        self.cmd("browsingContext.setViewport", context=self.context,
                 viewport={"width": self.size[0], "height": self.size[1]}, devicePixelRatio=1)
        log("Firefox %s, a page of %dx%d" % ((version,) + self.size))

    def launch(self, query=""):
        started = time.monotonic()
        self.cmd("browsingContext.navigate", context=self.context,
                 url="file://" + urllib.parse.quote(self.page) + query, wait="none")
        return started

    def cmd(self, method, **params):
        self.last_id += 1
        self.ws.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while True:
            msg = self.receive()
            if msg.get("id") == self.last_id:
                if msg.get("type") == "error":
                    raise Failed("%s: %s: %s" % (method, msg.get("error"), msg.get("message")))
                return msg["result"]

    def receive(self):
        msg = json.loads(self.ws.recv())
        event, params = msg.get("method"), msg.get("params", {})
        if event == "log.entryAdded":
            text = "%s: %s" % (params.get("level"), params.get("text"))
            (self.errors if params.get("type") == "javascript" else self.problems).append(text)
            self.console.write(text + "\n")
        elif event == "browsingContext.userPromptOpened":
            self.dialogs.append(params.get("type"))
            self.ws.send(json.dumps({"id": 0, "method": "browsingContext.handleUserPrompt",
                                     "params": {"context": params["context"], "accept": True}}))
        return msg

    def script(self, expression):
        r = self.cmd("script.evaluate", expression=expression, target={"context": self.context}, awaitPromise=False)
        if r["type"] != "success":
            raise Failed("%s: %s" % (expression, r.get("exceptionDetails", {}).get("text")))
        return r["result"].get("value")

    def perform(self, actions):
        self.cmd("input.performActions", context=self.context, actions=actions)

    def screenshot(self):
        return self.cmd("browsingContext.captureScreenshot", context=self.context, origin="viewport")["data"]


class WebKitSession(WebDriverSession):
    """The web edition in WebKit, the engine of Safari and of every browser
    on an iPad: Debian's WebKitGTK MiniBrowser on an Xvfb screen, steered
    over classic WebDriver (WebKitWebDriver, HTTP and JSON), its window sized
    so that the page is 1024 x 768. Classic WebDriver hands over nothing the
    page throws: the page records that itself from the moment it has loaded
    (a start that failed shows no title screen)."""

    label = "WebKit"
    MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
    RECORD = """(() => { if (window.hgRecorded) return 0; window.hgRecorded = { errors: [], problems: [] };
        addEventListener("error", (e) => hgRecorded.errors.push(String(e.message)));
        addEventListener("unhandledrejection", (e) => hgRecorded.errors.push(String(e.reason)));
        for (const k of ["error", "warn", "log", "info"]) {
          const write = console[k];
          console[k] = (...a) => { hgRecorded.problems.push(k + ": " + a.join(" ")); write.apply(console, a); };
        }
        return 0; })()"""

    def __init__(self, page, out, size=(SCREEN_W, SCREEN_H)):
        super().__init__(page, out, size)
        self.logs = [os.path.join(out, "webkit.log")]
        self.x = XSession(None, "none", out, (1280, 1024))
        self.base = None

    def start(self):
        self.x.start_xvfb()
        with socket.socket() as free:  # a port for the driver
            free.bind(("127.0.0.1", 0))
            port = free.getsockname()[1]
        err = open(self.logs[0], "wb")
        self.proc = subprocess.Popen(["WebKitWebDriver", "--port=%d" % port], env=self.x.env, stdin=subprocess.DEVNULL,
                                     stdout=err, stderr=err, start_new_session=True)
        self.base = "http://127.0.0.1:%d" % port
        caps = {"webkitgtk:browserOptions": {"binary": self.MINIBROWSER, "args": ["--automation"]}}
        made = poll(lambda: self.cmd("POST", "/session", {"capabilities": {"alwaysMatch": caps}}, quiet=True), 30,
                    "WebKitWebDriver to start MiniBrowser")
        self.base += "/session/" + made["sessionId"]
        # The window as much larger than the page as its frame and bars take.
        for _ in range(3):
            inner = self.eval("[innerWidth, innerHeight]")
            if inner == list(self.size):
                break
            rect = self.cmd("GET", "/window/rect")
            self.cmd("POST", "/window/rect", {"width": rect["width"] + self.size[0] - inner[0],
                                               "height": rect["height"] + self.size[1] - inner[1]})
        check(self.eval("[innerWidth, innerHeight, devicePixelRatio]") == list(self.size) + [1],
              "WebKit's page is %dx%d at a pixel ratio of 1" % self.size)
        log("WebKit %s (MiniBrowser), a page of %dx%d" % ((made["capabilities"]["browserVersion"],) + self.size))

    def launch(self, query=""):
        started = time.monotonic()
        self.cmd("POST", "/url", {"url": "file://" + urllib.parse.quote(self.page) + query})
        self.script(self.RECORD)
        return started

    def close(self):
        if self.base is not None and "/session/" in self.base:
            try:
                self.cmd("DELETE", "")
            except (Failed, OSError):
                pass
        end_process_group(self.proc)
        self.x.close()

    def can_shoot(self):
        return self.base is not None and self.proc.poll() is None

    def alive(self):
        recorded = self.eval("window.hgRecorded || null")
        if recorded:
            self.errors, self.problems = recorded["errors"], recorded["problems"]
        super().alive()

    def cmd(self, method, path, body=None, quiet=False):
        """One WebDriver command: its value, or Failed (None if quiet)."""
        request = urllib.request.Request(self.base + path, method=method, headers={"Content-Type": "application/json"},
                                         data=None if body is None else json.dumps(body).encode())
        try:
            with urllib.request.urlopen(request, timeout=60) as r:
                return json.load(r)["value"]
        except urllib.error.HTTPError as e:
            if quiet:
                return None
            raise Failed("WebDriver %s %s: %s" % (method, path, e.read().decode(errors="replace")[:300]))
        except OSError:
            if quiet:
                return None
            raise

    def script(self, expression):
        return self.cmd("POST", "/execute/sync", {"script": "return " + expression + ";", "args": []})

    def perform(self, actions):
        self.cmd("POST", "/actions", {"actions": actions})

    def screenshot(self):
        return self.cmd("GET", "/screenshot")


# The other engines a school has, by --engine.
ENGINES = {"firefox": FirefoxSession, "webkit": WebKitSession}


def end_process_group(proc):
    """Ends a browser or driver started in a process group of its own:
    politely, then after 5 s for good."""
    if proc is not None and proc.poll() is None:
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait(5)


def poll(condition, timeout, what, interval=0.05):
    """Calls condition until it returns something true; returns that."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            result = condition()
            if result:
                return result
        except Failed as e:
            if "ended unexpectedly" in str(e):
                raise
            last_error = e
        if time.monotonic() >= deadline:
            more = " (last: %s)" % last_error if last_error else ""
            raise Failed("timed out after %g s waiting for %s%s" % (timeout, what, more))
        time.sleep(interval)


# ---------------------------------------------------------------- pixels

def newest_file(folder, ending, read, start=""):
    """The newest file of a kind in a folder, by time (names do not sort by
    time: a second file in the same second takes "-2"), once it is one not
    read before, read once it is whole."""
    def newest():
        paths = [os.path.join(folder, n) for n in (os.listdir(folder) if os.path.isdir(folder) else [])
                 if n.startswith(start) and n.endswith(ending)]
        try:
            path = max(paths, key=os.path.getmtime, default=None)
            seen = path and (path, os.stat(path).st_mtime_ns)
            value = seen and seen not in READ_FILES and read(path)
        except OSError:
            return None
        if value:
            READ_FILES.add(seen)
        return value
    return poll(newest, 5, "a new saved %s file in %s" % (ending, folder))


READ_FILES = set()  # (path, time) of the saved files read, so that none is read twice


def colour_mask(img, rgb):
    """An 'L' image, 255 where img has exactly the colour rgb."""
    mask = None
    for band, value in zip(img.split(), rgb):
        m = band.point(lambda v, value=value: 255 if v == value else 0)
        mask = m if mask is None else ImageChops.multiply(mask, m)
    return mask


def points(img, rgb):
    """Every pixel of colour rgb, as (x, y)."""
    mask = colour_mask(img, rgb)
    width = mask.width
    return [(i % width, i // width) for i in (m.start() for m in re.finditer(rb"[^\x00]", mask.tobytes()))]


def count(img, rgb):
    colours = img.getcolors(img.width * img.height)
    return next((n for n, c in colours if c == rgb), 0)


def share(img, rgb):
    return count(img, rgb) / (img.width * img.height)


def centroid(pts):
    if not pts:
        return None
    return (sum(p[0] for p in pts) / len(pts), sum(p[1] for p in pts) / len(pts))


def disc_at(img, rgb, centre, least=400, tolerance=2.5):
    """Is there a disc of colour rgb (at least `least` pixels of it within 30
    pixels) centred within `tolerance` of centre? Returns the centroid."""
    cx, cy = centre
    box = img.crop((cx - 30, cy - 30, cx + 31, cy + 31))
    pts = points(box, rgb)
    c = centroid(pts)
    if c is None or len(pts) < least:
        return None
    c = (c[0] + cx - 30, c[1] + cy - 30)
    return c if math.hypot(c[0] - cx, c[1] - cy) <= tolerance else None


def orbit_distance(p, orbit):
    """Approximate distance in pixels from p to an orbit ellipse around CENTRE
    (the orbits are nearly circles)."""
    a, b = orbit[0], orbit[1]
    dx, dy = p[0] - CENTRE[0], p[1] - CENTRE[1]
    return abs(math.hypot(dx / a, dy / b) - 1) * math.hypot(dx, dy) / max(math.hypot(dx / a, dy / b), 1e-9)


def near_orbits(pts):
    """Per orbit, the angular bins (of 2 degrees) its nearby pixels cover, and
    the pixels near no orbit."""
    covered = {name: set() for name in ORBITS}
    stray = []
    for p in pts:
        hit = False
        for name, orbit in ORBITS.items():
            if orbit_distance(p, orbit) <= ORBIT_TOLERANCE:
                hit = True
                angle = math.atan2((p[1] - CENTRE[1]) / orbit[1], (p[0] - CENTRE[0]) / orbit[0])
                covered[name].add(int(math.degrees(angle) % 360) // 2)
        if not hit:
            stray.append(p)
    return covered, stray


def white_along(img, p, q, margin=24):
    """The share of points on the segment p-q (leaving out `margin` pixels at
    each end, where discs lie) that have a white pixel within 2 pixels."""
    length = math.hypot(q[0] - p[0], q[1] - p[1])
    if length < 2 * margin + 10:
        return None
    px = img.load()
    hits = samples = 0
    d = margin
    while d <= length - margin:
        t = d / length
        x, y = p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])
        samples += 1
        found = False
        for ox in range(-2, 3):
            for oy in range(-2, 3):
                xi, yi = int(round(x)) + ox, int(round(y)) + oy
                if 0 <= xi < img.width and 0 <= yi < img.height and px[xi, yi] == WHITE:
                    found = True
        hits += found
        d += 4
    return hits / samples


# ---------------------------------------------------------------- the pupil

class Pupil:
    """Drives the program: title screen, box, menus by mouse and keyboard."""

    def __init__(self, s):
        self.s = s
        self.main = None  # window 0's id
        self.client = None  # window 0's client area (x, y, w, h)
        self.titles = None  # x of each menu title's centre, and the bar's middle y
        self.views = None

    # -- finding windows

    def boxes(self):
        """Viewable windows with the program's caption other than window 0."""
        return [w for w in self.s.windows() if w["name"] == CAPTION and w["id"] != self.main and not w["override"]]

    def popups(self):
        return [w for w in self.s.windows() if w["override"] and w["w"] > 20 and w["h"] > 20]

    def find_views(self):
        found = [w for w in self.s.windows()
                 if w["id"] != self.main and not w["override"] and w["name"] not in (CAPTION, INPUT_CAPTION)]
        if len(found) != 2:
            return None
        found.sort(key=lambda w: w["x"])
        return found

    def view_images(self, shot):
        return [shot.crop((v["x"], v["y"], v["x"] + v["w"], v["y"] + v["h"])) for v in self.views]

    def check_in_sight(self, after, wins=None, above=None):
        """The program's windows must stay in sight whatever the pupil does:
        by default the views above window 0, which fills the screen."""
        if self.views is None:
            return
        if wins is None:
            wins = [("window 2", self.views[0]["id"]), ("window 3", self.views[1]["id"])]
            above = [("window 0", self.main)]
        stacked = self.s.stacked_above([wid for _, wid in wins], [a for _, a in above])
        parts = []
        for label, wid in wins:
            over = stacked.get(wid)
            if over:
                names = " and ".join(a_label for a_label, a in above if a in over)
                note = self.s.window_note(wid)
                parts.append("%s below %s%s" % (label, names, " (%s)" % note if note else ""))
        if parts:
            raise Failed("after %s %s stacks %s, out of the pupil's sight" % (after, self.s.label, "; ".join(parts)))

    # -- the menu bar

    def find_titles(self):
        """Where the six titles stand: clusters of dark text columns in the
        menu bar strip at the top of window 0's client area. The status line
        stands apart at the bar's right end."""
        x0, y0, w, _ = self.client
        self.s.park_mouse()
        strip = self.s.shot((x0, y0, w, 60))
        px = strip.load()
        # The bar ends where window 0's own background begins.
        bar_h = next((y for y in range(strip.height) if px[w // 2, y] == MAGENTA), None)
        check(bar_h is not None and 10 <= bar_h <= 50, "the menu bar is a strip %s px high at the top of window 0"
              % bar_h)
        dark = [any(sum(px[x, y]) < 300 for y in range(bar_h)) for x in range(w)]
        clusters = []
        for x, d in enumerate(dark):
            if not d:
                continue
            if clusters and x - clusters[-1][1] <= 8:
                clusters[-1][1] = x
            else:
                clusters.append([x, x])
        status = clusters[len(TITLES):]
        check(len(clusters) >= len(TITLES) and all(a > clusters[len(TITLES) - 1][1] + 40 for a, _ in status),
              "the menu bar shows %d titles, and the status line apart from them (found text clusters: %s)"
              % (len(TITLES), clusters))
        # Their row: where the titles' letters are (a status line on a row
        # of its own lies below it).
        rows = [y for y in range(bar_h) if any(sum(px[x, y]) < 300 for a, b in clusters[:len(TITLES)]
                                                for x in range(a, b + 1))]
        middle = (rows[0] + rows[-1]) // 2
        self.titles = {name: (x0 + (a + b) // 2, y0 + middle, x0 + a) for name, (a, b) in zip(TITLES, clusters)}

    def wait_popup(self, title):
        popup = poll(lambda: self.popups() and self.popups()[0], 5, "the %s menu to open" % title)
        left = self.titles[title][2]
        # The drop-down opens under its title.
        if not (left - 20 <= popup["x"] <= left + 5):
            raise Failed("the open drop-down stands at x %d, not under %s (text at x %d)" % (popup["x"], title, left))
        return popup

    def wait_popup_closed(self):
        poll(lambda: not self.popups(), 5, "the menu to close")

    def item_rows(self, popup, title):
        """The y (screen) of each item's text row in an open drop-down."""
        img = self.s.shot((popup["x"], popup["y"], popup["w"], popup["h"]))
        colours = img.getcolors(img.width * img.height)
        ground = max(colours)[1]
        px = img.load()

        def ink(y):
            return any(sum(abs(a - b) for a, b in zip(px[x, y], ground)) > 150 for x in range(4, img.width - 4))

        rows = []
        for y in range(3, img.height - 3):
            if not ink(y):
                continue
            if rows and y - rows[-1][1] <= 3:
                rows[-1][1] = y
            else:
                rows.append([y, y])
        if len(rows) != len(MENUS[title]):
            path = os.path.join(self.s.out, "menu-%s.png" % title)
            img.save(path)
            raise Failed("the %s menu shows %d rows of text, expected %d (%s)" % (title, len(rows), len(MENUS[title]),
                                                                                 path))
        return [popup["y"] + (a + b) // 2 for a, b in rows]

    def choose_by_mouse(self, title, item):
        index = MENUS[title].index(item)
        tx, ty, _ = self.titles[title]
        self.s.click(tx, ty)
        popup = self.wait_popup(title)
        rows = self.item_rows(popup, title)
        x = popup["x"] + popup["w"] // 2
        log("mouse: %s at (%d,%d), then %s at (%d,%d)" % (title, tx, ty, item, x, rows[index]))
        self.s.click(x, rows[index])
        self.wait_popup_closed()
        self.s.park_mouse()
        self.check_in_sight("choosing %s with the mouse" % item)

    def open_by_keyboard(self, title):
        """Alt, Right arrows to the title, Down opens its menu."""
        self.s.focus(self.main)
        self.s.key("Alt_L")
        rights = ["Right"] * TITLES.index(title)
        self.s.key(*(rights + ["Down"]))
        return self.wait_popup(title)

    def choose_by_letter(self, title, item):
        self.open_by_keyboard(title)
        letter = item[item.index("&") + 1].lower()
        log("keyboard: Alt, %d x Right, Down, '%s' for %s" % (TITLES.index(title), letter, item))
        self.s.key(letter)
        self.wait_popup_closed()
        self.check_in_sight("choosing %s with the keyboard" % item)

    def choose_by_arrows(self, title, item):
        self.open_by_keyboard(title)
        downs = MENUS[title].index(item)
        log("keyboard: Alt, %d x Right, Down, %d x Down, Return for %s" % (TITLES.index(title), downs, item))
        self.s.key(*(["Down"] * downs + ["Return"]))
        self.wait_popup_closed()
        self.check_in_sight("choosing %s with the keyboard" % item)

    def close_box_with_return(self, what):
        box = poll(lambda: self.boxes() and self.boxes()[0], 10, what)
        check(box["w"] < SCREEN_W and box["h"] < SCREEN_H, "%s appears (%dx%d at %d,%d)"
              % (what, box["w"], box["h"], box["x"], box["y"]))
        self.s.focus(box["id"])
        self.s.key("Return")
        poll(lambda: not self.boxes(), 5, what + " to close after Return")
        log("ok: Return closes " + what)
        self.check_in_sight("closing " + what)


# ---------------------------------------------------------------- the run

def main_window(s):
    mains = poll(lambda: [w for w in s.windows() if w["name"] == CAPTION], 10, "window 0")
    return max(mains, key=lambda w: w["w"] * w["h"])


def title_patch_blue(s):
    # A patch of the title screen's left panel that no text crosses.
    patch = s.shot((20, 250, 60, 60))
    return share(patch, BLUE) >= 0.98


def run(s, screenshot_copy, strip_copy=None):
    p = Pupil(s)
    s.start()

    # Start-up: the title screen.
    started = s.launch()
    poll(lambda: (s.alive(), title_patch_blue(s))[1], 15, "the title screen's blue left panel", interval=0.005)
    to_title = s.start_to_title((time.monotonic() - started) * 1000)
    log("start to title screen: %d ms" % round(to_title))

    main = main_window(s)
    p.main = main["id"]
    p.client = (main["x"], main["y"], main["w"], main["h"])
    log("window 0: client area %dx%d at %d,%d" % (main["w"], main["h"], main["x"], main["y"]))
    if s.exact:
        check(p.client == (0, 0, SCREEN_W, SCREEN_H), "window 0 fills the screen")
    else:
        check(main["w"] == SCREEN_W and main["y"] < 60, "window 0 is maximised (full width, at the top)")

    shot = s.shot()
    left = shot.crop((p.client[0] + 10, p.client[1] + 10, p.client[0] + 500, p.client[1] + min(700, p.client[3] - 10)))
    right = shot.crop((p.client[0] + 530, p.client[1] + 10, p.client[0] + 1010, p.client[1] + min(700, p.client[3] - 10)))
    check(share(left, BLUE) > 0.8, "title screen: the left panel is blue")
    check(share(right, WHITE) > 0.1 and share(right, BLUE) > 0.1,
          "title screen: the right panel is white and blue")

    # Two key presses pass the title screen.
    s.focus(p.main)
    s.key("space")
    poll(lambda: share(s.shot((20, 250, 60, 60)), MAGENTA) >= 0.98, 10,
         "the second key wait on the cleared window 0")
    log("ok: the first key press clears the title screen")
    check(not p.boxes() and p.find_views() is None, "one key press is not enough: no box, no views yet")
    s.key("Return")

    # The warning; Return closes it and the views open.
    p.close_box_with_return("the start-up warning box")
    views = poll(p.find_views, 10, "the two view windows")
    p.views = views
    for name, v in zip(("window 2", "window 3"), views):
        log("%s: client area %dx%d at %d,%d" % (name, v["w"], v["h"], v["x"], v["y"]))
    check_layout(s, p, views)

    # Nothing is drawn in the views before a system is chosen.
    def empty_views():
        shot = s.shot()
        return all(share(img, AZURE) == 1.0 for img in p.view_images(shot))
    poll(empty_views, 10, "both views in plain azure")
    time.sleep(0.5)
    check(empty_views(), "before a system is chosen both views are plain azure")
    px = s.last_shot.load()
    check(px[p.client[0] + 5, p.client[1] + 300] == MAGENTA, "window 0 is magenta around the views")

    p.find_titles()

    # SYSTEM | &Beide, by keyboard (mnemonic).
    p.choose_by_letter("SYSTEM", "&Beide")
    both = poll(lambda: both_views_drawn(s, p), 10, "both views with the Sun, the Earth and the planets")
    log("ok: after &Beide both views are azure with the planets drawn; the Sun's yellow disc is centred at %s in"
        " window 2, the Earth's blue disc at %s in window 3" % (fmt(both["sun"]), fmt(both["earth"])))
    log("ok: the Earth seen from the Sun, %s in window 2, and the Sun seen from the Earth, %s in window 3, are"
        " opposite and on the Earth's orbit" % (fmt(both["earth_helio"]), fmt(both["sun_geo"])))

    # DARSTELLUNG | nur &Bahnen, by mouse: white paths on the orbits.
    p.choose_by_mouse("DARSTELLUNG", "nur &Bahnen")
    check_paths(s, p)

    # DARSTELLUNG | Planten &und Bahnen, by keyboard (arrows and Return).
    p.choose_by_arrows("DARSTELLUNG", "Planten &und Bahnen")
    check_planets_and_paths(s, p, screenshot_copy)

    # DARSTELLUNG | &Vieleck ein/aus, by mouse: planets only, polygon on,
    # Jupiter hidden.
    p.choose_by_mouse("DARSTELLUNG", "&Vieleck ein/aus")
    check_polygon(s, p)

    # PLANETEN | M&ars ein/aus, by keyboard: Mars disappears from both views.
    # First Mars must be in sight (near the window's left and right edges its
    # disc is left out); at 0.2 days a step it comes back within seconds.
    poll(lambda: count(p.view_images(s.shot())[0], RED) >= 300, 30, "Mars's red disc in window 2")
    p.choose_by_letter("PLANETEN", "M&ars ein/aus")
    check_mars_hidden(s, p)

    # SERVICE | &Zeitschritt, by mouse: window 1, type 2 and Return.
    p.choose_by_mouse("SERVICE", "&Zeitschritt")
    check_time_step(s, p)

    # DESK | &Info, by keyboard; Return closes it.
    p.choose_by_letter("DESK", "&Info")
    p.close_box_with_return("the information box")
    poll(lambda: disc_at(p.view_images(s.shot())[0], YELLOW, CENTRE), 10, "the animation after the box")
    s.own_checks(p)

    check_classroom(s, p)
    check_events(s, p, strip_copy)

    # Memory, then DESK | &Quit by mouse.
    memory, mb = s.memory()
    log("%s: %.1f MB" % (memory, mb))
    check(1 < mb < 1024, "%s is plausible" % memory)
    tx, ty, _ = p.titles["DESK"]
    s.click(tx, ty)
    popup = p.wait_popup("DESK")
    rows = p.item_rows(popup, "DESK")
    quit_ms = s.quit_by_click(popup["x"] + popup["w"] // 2, rows[0])
    log("quit to exit: %d ms" % round(quit_ms))
    check(quit_ms < 1000, "&Quit ends heliogeo within a second")
    s.start_again(p)
    return {"title_ms": to_title, "memory": memory, "memory_mb": mb, "quit_ms": quit_ms}


def fmt(p):
    return "(%.1f,%.1f)" % p


def check_layout(s, p, views):
    w2, w3 = views
    size_ok = all((v["w"], v["h"]) == VIEW_SIZE for v in views)
    if s.exact:
        check((w2["x"], w2["y"]) == HELIO_POS and (w2["w"], w2["h"]) == VIEW_SIZE,
              "window 2 at %d,%d, %dx%d" % (HELIO_POS + VIEW_SIZE))
        check((w3["x"], w3["y"]) == GEO_POS and (w3["w"], w3["h"]) == VIEW_SIZE,
              "window 3 at %d,%d, %dx%d" % (GEO_POS + VIEW_SIZE))
    else:
        check(size_ok, "both views' client areas are %dx%d" % VIEW_SIZE)
        overlap = w2["x"] + w2["w"] > w3["x"] and w3["x"] + w3["w"] > w2["x"] and \
            w2["y"] + w2["h"] > w3["y"] and w3["y"] + w3["h"] > w2["y"]
        check(not overlap, "the views do not overlap")
        check(w2["x"] >= 0 and w2["x"] + w2["w"] <= SCREEN_W // 2, "window 2 stands in the left half")
        check(w3["x"] >= SCREEN_W // 2 and w3["x"] + w3["w"] <= SCREEN_W, "window 3 stands in the right half")
        log("openbox placed the client areas at %d,%d and %d,%d (asked: %d,%d and %d,%d)"
            % (w2["x"], w2["y"], w3["x"], w3["y"], HELIO_POS[0], HELIO_POS[1], GEO_POS[0], GEO_POS[1]))


def both_views_drawn(s, p):
    helio, geo = p.view_images(s.shot())
    if share(helio, AZURE) < 0.85 or share(geo, AZURE) < 0.7:
        return None
    sun = disc_at(helio, YELLOW, CENTRE)
    earth = disc_at(geo, BLUE, CENTRE)
    if sun is None or earth is None:
        return None
    # The inner planets always lie inside window 2.
    for colour in (GREEN, CYAN):
        if count(helio, colour) < 300:
            return None
    # The Earth seen from the Sun and the Sun seen from the Earth: one is the
    # other turned round.
    blue = [q for q in points(helio, BLUE)]
    yellow = [q for q in points(geo, YELLOW)]
    if len(blue) < 300 or len(yellow) < 300:
        return None
    e, y = centroid(blue), centroid(yellow)
    earth_helio = (e[0] - CENTRE[0], e[1] - CENTRE[1])
    sun_geo = (y[0] - CENTRE[0], y[1] - CENTRE[1])
    if math.hypot(earth_helio[0] + sun_geo[0], earth_helio[1] + sun_geo[1]) > 6:
        return None
    a, b, _ = ORBITS["Erde"]
    if abs(math.hypot(earth_helio[0] / a, earth_helio[1] / b) - 1) > 0.05:
        return None
    return {"sun": sun, "earth": earth, "earth_helio": earth_helio, "sun_geo": sun_geo}


def check_paths(s, p):
    state = {}

    def grown():
        helio, geo = p.view_images(s.shot())
        white = points(helio, WHITE)
        covered, stray = near_orbits(white)
        state.update(helio=helio, geo=geo, white=white, covered=covered, stray=stray)
        # Mercury goes round in 89 days: at 0.2 days a step a good part of
        # its orbit is drawn after a few seconds; the other inner planets
        # always lie inside the window too.
        return len(covered["Merkur"]) >= 0.4 * 180 and len(covered["Venus"]) >= 10 and len(covered["Erde"]) >= 5
    poll(grown, 30, "the paths of Mercury, Venus and the Earth in window 2", interval=0.3)
    helio, geo = state["helio"], state["geo"]
    cov = ", ".join("%s %d%%" % (n, round(100 * len(c) / 180)) for n, c in state["covered"].items())
    log("paths in window 2 after nur &Bahnen: %d white pixels; orbit covered: %s" % (len(state["white"]), cov))
    stray = state["stray"]
    if stray:
        path = s.save_shot("paths-stray.png")
        raise Failed("%d white pixels in window 2 lie farther than %g px from every orbit, e.g. %s (%s)"
                     % (len(stray), ORBIT_TOLERANCE, stray[:5], path))
    log("ok: every white pixel in window 2 lies within %g px of an orbit" % ORBIT_TOLERANCE)
    check(disc_at(helio, YELLOW, CENTRE) is not None, "the Sun's disc stays at the centre of window 2")
    check(all(count(helio, c) == 0 for c in (GREEN, CYAN, RED)) and count(helio, BLUE) == 0,
          "no planet's disc in window 2 while only paths are drawn")
    check(disc_at(geo, BLUE, CENTRE) is not None, "the Earth's disc stays at the centre of window 3")
    check(count(geo, WHITE) > 200, "window 3 shows paths too")
    check(share(helio, AZURE) > 0.9, "window 2 stays azure around the paths")


def check_planets_and_paths(s, p, screenshot_copy):
    def drawn():
        helio, geo = p.view_images(s.shot())
        if disc_at(helio, YELLOW, CENTRE) is None or disc_at(geo, BLUE, CENTRE) is None:
            return False
        if any(count(helio, c) < 300 for c in (GREEN, CYAN)) or count(helio, BLUE) < 300:
            return False
        covered, _ = near_orbits(points(helio, WHITE))
        return len(covered["Merkur"]) >= 0.4 * 180 and count(geo, WHITE) > 200
    poll(drawn, 30, "planets and paths in both views", interval=0.3)
    log("ok: after Planten &und Bahnen both views show planets and their paths")
    path = s.save_shot("screenshot.png")
    log("screenshot of both views: " + path)
    if screenshot_copy:
        shutil.copyfile(path, screenshot_copy)
        log("screenshot copied to " + screenshot_copy)


def check_polygon(s, p):
    state = {}

    def polygon():
        helio, geo = p.view_images(s.shot())
        if count(helio, MAGENTA) or count(geo, MAGENTA):
            return None  # Jupiter is hidden by this command
        # Planets only: no paths; the polygon joins the Sun and the Earth.
        blue = points(helio, BLUE)
        yellow = points(geo, YELLOW)
        if len(blue) < 300 or len(yellow) < 300 or disc_at(helio, YELLOW, CENTRE) is None:
            return None
        covered, _ = near_orbits(points(helio, WHITE))
        if len(covered["Merkur"]) > 0.3 * 180:
            return None  # the paths drawn before are gone
        helio_edge = white_along(helio, CENTRE, centroid(blue))
        geo_edge = white_along(geo, centroid(yellow), CENTRE)
        state.update(h=helio_edge, g=geo_edge)
        return helio_edge is not None and helio_edge > 0.9 and geo_edge is not None and geo_edge > 0.9
    poll(polygon, 15, "the polygon's Sun-Earth edge in both views, Jupiter hidden", interval=0.2)
    log("ok: after &Vieleck ein/aus the polygon joins the Sun and the Earth in both views (%.0f%%, %.0f%% of the"
        " edge white), Jupiter is hidden, the paths are gone" % (100 * state["h"], 100 * state["g"]))


def check_mars_hidden(s, p):
    def gone():
        return all(count(img, RED) == 0 for img in p.view_images(s.shot()))
    poll(gone, 5, "Mars's disc to vanish from both views")
    time.sleep(0.5)
    gone_still = gone()
    helio = p.view_images(s.last_shot)[0]
    check(gone_still and count(helio, GREEN) >= 300,
          "after M&ars ein/aus Mars stays hidden in both views while the others move on")


def sight_angle(img, rgb, earth, least_distance):
    """The direction (degrees) from the Earth's centre of the pixels of a
    planet's colour: its disc and its line of sight lie along one ray."""
    angles = sorted(math.degrees(math.atan2(y - earth[1], x - earth[0])) for x, y in points(img, rgb)
                    if math.hypot(x - earth[0], y - earth[1]) > least_distance)
    return angles[len(angles) // 2] if len(angles) > 50 else None


def check_classroom(s, p):
    """EXTRAS: lines of sight by mouse; Space pauses, Right and Left step,
    Space goes on."""
    p.choose_by_mouse("DARSTELLUNG", "nur &Planeten")
    p.choose_by_mouse("EXTRAS", "&Sichtlinien ein/aus")
    s.focus(p.main)
    s.key("space")

    def views():
        return [img.tobytes() for img in p.view_images(s.shot())]
    paused = poll(lambda: still_views(s, p), 10, "the views to stand still after Space")
    imgs = p.view_images(s.last_shot)
    log("ok: Space pauses: the views stand still")

    # The Earth: in window 2 its blue disc, in window 3 the centre.
    earth = centroid(points(imgs[0], BLUE))
    check(earth is not None and disc_at(imgs[1], BLUE, CENTRE), "the Earth's disc in both views")
    for name, rgb in (("Mercury", GREEN), ("Venus", CYAN)):
        helio = sight_angle(imgs[0], rgb, earth, 20)
        geo = sight_angle(imgs[1], rgb, CENTRE, 20)
        check(helio is not None and geo is not None and abs((helio - geo + 180) % 360 - 180) < 1.5,
              "%s's lines of sight leave the Earth in the same direction in both views (%s, %s degrees)"
              % (name, helio, geo))
    log("ok: the lines of sight of Mercury and Venus are parallel in the two views")

    # Ctrl+S: both views as shown, lines of sight included, side by side.
    s.key("ctrl+s")
    p.close_box_with_return("the box saying where the picture went")
    picture = s.saved_picture()
    left, right = p.views
    check(picture.size == (right["x"] + right["w"] - left["x"], left["h"]) and
          picture.crop((0, 0, left["w"], left["h"])).tobytes() == imgs[0].convert("RGB").tobytes() and
          picture.crop((right["x"] - left["x"], 0, right["x"] - left["x"] + right["w"], right["h"])).tobytes()
          == imgs[1].convert("RGB").tobytes(),
          "the saved picture (%dx%d) holds both views as they are on the screen" % picture.size)

    s.key("Right")
    ahead = poll(lambda: (lambda v: v if v != paused else None)(views()), 5, "a step after Right")
    s.key("Left")
    poll(lambda: views() == paused, 5, "the views exactly as before the step, after Left")
    s.key("Right")
    poll(lambda: views() == ahead, 5, "the views exactly as after the first step, after Right again")
    time.sleep(0.3)
    check(views() == ahead, "a single step leaves the views standing")
    log("ok: Right steps forward, Left back to the same pixels, Right again to the same pixels")

    s.key("space")
    poll(lambda: views() != ahead, 5, "the animation to go on after Space")
    s.key("s")
    log("ok: Space goes on; S takes the lines of sight away")


def still_views(s, p, unlike=None):
    """The views' pixels once two screenshots 0.3 s apart agree, and differ from `unlike`."""
    first = [img.tobytes() for img in p.view_images(s.shot())]
    time.sleep(0.3)
    return first != unlike and first == [img.tobytes() for img in p.view_images(s.shot())] and first


def elongation(geo):
    """Mars's angle from the Sun as seen from the Earth, the centre of window 3: degrees in [-180, 180)."""
    sun, mars = centroid(points(geo, YELLOW)), centroid(points(geo, RED))
    if sun is None or mars is None:
        return None
    a = math.atan2(mars[1] - CENTRE[1], mars[0] - CENTRE[0]) - math.atan2(sun[1] - CENTRE[1], sun[0] - CENTRE[0])
    return (math.degrees(a) + 180) % 360 - 180


def to_opposition(s, p):
    """PageDown until Mars's opposition: the status line names it where it can
    be read, else window 3 shows Mars opposite the Sun. Returns window 3."""
    s.focus(p.main)
    views = None
    for _ in range(7):  # six events a synodic period
        s.key("Page_Down")
        views = poll(lambda: still_views(s, p, views), 10, "the views to stand still on the next event")
        geo, text = p.view_images(s.last_shot)[1], s.status_text()
        if "Opposition" in text if text is not None else abs(elongation(geo) or 0) > 177:
            return geo
    raise Failed("seven times PageDown, and no opposition of Mars")


def sky_x(name, day, width):
    """Where the sky strip puts a body's disc across: its direction from the
    Earth in the views' pixels (the Sun at their centre), east to the left."""
    def place(body):
        a, b, period = ORBITS.get(body, (0, 0, 1))
        return a * math.cos(FULL_TURN / period * day), b * math.sin(FULL_TURN / period * day)
    (x, y), (ex, ey) = place(name), place("Erde")
    return width * (1 - math.atan2(y - ey, x - ex) % (2 * math.pi) / (2 * math.pi))


def mars_opposition(s, p):
    """Both views, Mars alone, PageDown to its opposition on the model's day,
    which the status line names where it can be read; then the sky strip
    (H). Returns that day (None where it cannot be read), the strip's window
    and what it shows."""
    p.choose_by_letter("SYSTEM", "&Beide")
    p.choose_by_mouse("PLANETEN", "&nur Erde-Sonne")
    p.choose_by_letter("PLANETEN", "M&ars ein/aus")
    e = elongation(to_opposition(s, p))
    check(e is not None and abs(e) > 177.5, "PageDown stops at Mars's opposition: window 3 shows Mars opposite the"
          " Sun (%s degrees apart)" % e)
    status, day = s.status_text(), None
    if status is not None:
        m = re.fullmatch(r"Tag (\d+)(?:,(\d\d?))?   Mars: Opposition", status)
        day = m and float("%s.%s" % (m[1], m[2] or 0))
        check(m and abs(day - round(day / MARS_SYNODIC) * MARS_SYNODIC) <= 0.01 and day > 1,
              "the status line %r names an opposition of the model's, every %.3f days" % (status, MARS_SYNODIC))
    s.key("h")
    known = [p.main] + [v["id"] for v in p.views]
    strip = poll(lambda: [w for w in s.windows() if w["id"] not in known and not w["override"]
                          and w["name"] not in (CAPTION, INPUT_CAPTION)], 5, "the sky strip's window")[0]
    sky = poll(lambda: (lambda img: share(img, NIGHT_BLUE) > 0.8 and img)(s.shot(tuple(strip[k] for k in "xywh"))),
               5, "the sky strip's night blue")
    return day, strip, sky


def check_sky_strip(s, strip, sky, day):
    """Mars's and the Sun's discs on the strip's top row where their
    directions put them on that day; the strip down to the screen's foot."""
    w = sky.width
    at = {rgb: round(sky_x(body, day, w)) for body, rgb in (("Mars", RED), ("Sonne", YELLOW))}
    check(all(sky.getpixel(((x + dx) % w, STRIP_NOW_ROW)) == rgb for rgb, x in at.items() for dx in range(-2, 3))
          and sky.getpixel((0, sky.height - 1)) == NIGHT_BLUE and (not s.exact or strip["y"] + strip["h"] == SCREEN_H),
          "H: the sky strip, night blue down to the screen's foot, Mars's and the Sun's discs on its top row at x %s"
          % sorted(at.values()))


def check_events(s, p, strip_copy):
    """EREIGNISSE with Mars alone: PageDown to its opposition on the model's
    day; the sky strip (H); the list in a box (L) and saved as a table."""
    day, strip, sky = mars_opposition(s, p)
    s.key("l")
    poll(p.boxes, 5, "the event list")
    listed = s.box_text()  # None where the window system keeps a box's text to itself
    if listed is not None:
        check("Tag %s  Mars  Opposition" % ("%.2f" % day).rstrip("0").rstrip(".").replace(".", ",") in listed, "L lists the opposition first")
    p.close_box_with_return("the event list")
    p.choose_by_mouse("EREIGNISSE", "Ereignisliste &speichern")
    poll(p.boxes, 5, "the box saying where the list went")
    said = s.box_text()
    p.close_box_with_return("the box saying where the list went")
    name, text = s.saved_text()
    rows = [line.split(",") for line in text.splitlines()]
    events = [r for r in rows[1:] if len(r) == 8 and not r[3]]  # a loop's row has its last day
    day = day or (float(events[0][0]) if events else 0)
    n = round(day / MARS_SYNODIC)
    if said is not None:
        check(os.path.basename(name) in said, "the box names the file %s (%r)" % (name, said))
    check(rows[0][:6] == "Tag,Planet,Ereignis,bis Tag,Tage,Grad".split(",") and {len(r) for r in rows} == {8} and n >= 1
          and events and events[0][1:3] == ["Mars", "Opposition"] and abs(float(events[0][0]) - day) <= 0.01
          and abs(day - n * MARS_SYNODIC) <= 0.01 and {r[1] for r in rows[1:]} == {"Mars"}
          and all(float(a[0]) < float(b[0]) for a, b in zip(events, events[1:])) and len(rows) == len(events) + 2,
          "the saved list: its header, 8 fields a row, %d events of Mars in order from the opposition on day %s (the"
          " model's: day %.3f), then its next loop" % (len(events), events and events[0][0], n * MARS_SYNODIC))
    check_sky_strip(s, strip, sky, day)
    check_worksheet(s, p, day, events, [r for r in rows[1:] if r[3]][0])
    # With Mercury too, the list is longer than the screen: a box that scrolls.
    p.choose_by_letter("PLANETEN", "&Merkur ein/aus")
    s.key("l")
    check(poll(p.boxes, 5, "the long list")[0]["h"] > SCREEN_H // 2, "the list of Mercury and Mars fills a tall box")
    p.close_box_with_return("the long event list")
    if strip_copy:  # one synodic period on and to the standstill after it, paths and lines of sight drawn; the strip, off meanwhile, at the end
        p.choose_by_letter("PLANETEN", "&Merkur ein/aus")
        p.choose_by_mouse("DARSTELLUNG", "nur &Bahnen")  # its time step, 0.2 days
        p.choose_by_mouse("DARSTELLUNG", "Planten &und Bahnen")
        s.key("s", "h")
        to_opposition(s, p)
        s.key("Next")  # on to the standstill that ends the loop: both standstills' days in the strip
        time.sleep(1)
        s.key("h")
        poll(lambda: s.shot().getpixel((strip["x"], SCREEN_H - 1)) == NIGHT_BLUE, 5, "the sky strip")
        s.last_shot.save(strip_copy)
        log("the sky strip's screenshot: " + strip_copy)


class Sheet(html.parser.HTMLParser):
    """A saved worksheet or solution sheet: its declared charset, heading,
    pictures, and the rows of each table and list by class (cells, <p>s),
    each answer row's value by its id."""
    def __init__(self, path):
        super().__init__()
        self.charset, self.h1, self.images, self.rows, self.answers = None, "", [], {}, {}
        self.where = self.row = self.cell = self.id = None
        with open(path, encoding="utf-8") as f:
            self.text = f.read()
        self.feed(self.text)

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "meta" and "charset" in a:
            self.charset = a["charset"]
        elif tag == "img":
            self.images.append(Image.open(io.BytesIO(base64.b64decode(a["src"].split(",", 1)[1]))).convert("RGB"))
        elif tag in ("table", "ol"):
            self.where = self.rows.setdefault(a.get("class"), [])
        elif tag in ("tr", "li"):
            self.row, self.id = [], a.get("id")
        elif tag in ("td", "th", "p", "h1"):
            self.cell = ""

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data

    def handle_endtag(self, tag):
        if tag in ("td", "th", "p", "h1") and self.cell is not None:
            self.h1 = self.cell if tag == "h1" else self.h1
            if self.row is not None and tag != "th":
                self.row.append(self.cell)
            self.cell = None
        elif tag in ("tr", "li") and self.row:
            self.where.append(self.row)
            self.answers[self.id] = self.row[-1]
            self.row = None


def printed_pages(path, out):
    """The pages Chromium prints an HTML file on, headers and footers off."""
    pdf = os.path.join(out, os.path.basename(path) + ".pdf")
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile,
                        "--no-pdf-header-footer", "--print-to-pdf=" + pdf, "file://" + urllib.parse.quote(
                            os.path.abspath(path))], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=True)
    with open(pdf, "rb") as f:
        return len(re.findall(rb"/Type\s*/Page\b", f.read()))


def check_worksheet(s, p, day, events, loop):
    """A (EXTRAS, &Arbeitsblatt speichern) at Mars's opposition, beside a picture saved there: the worksheet
    in UTF-8 with Mars and the day in its heading, the saved picture's pixels and a grey one for printing, the
    saved list's events from the opposition to the conjunction after its loop, tasks in the curricula's words
    without the answers, printed by Chromium on at most two pages; the solution sheet with the loop of the
    moment (the list's next one, a synodic period earlier) and the synodic period of the model."""
    german = lambda v: ("%.2f" % v).replace(".", ",")
    p.choose_by_mouse("EXTRAS", "&Bild speichern")
    p.close_box_with_return("the box saying where the picture went")
    picture = s.saved_picture()
    p.choose_by_mouse("EXTRAS", "&Arbeitsblatt speichern")
    poll(p.boxes, 5, "the box saying where the sheets went")
    said = s.box_text()
    p.close_box_with_return("the box saying where the sheets went")
    paths = s.saved_sheets()
    sheet, solution = Sheet(paths[0]), Sheet(paths[1])
    colour, grey = sheet.images
    check(said is None or all(os.path.basename(path) in said for path in paths),
          "one box names both files (%r)" % said)
    tasks = [r[0] for r in sheet.rows["tasks"] + sheet.rows["questions"]]
    rows = sheet.rows["events"]
    now = rows.index(["Tag " + german(day), "Opposition (Moment des Bildes)"]) if [
        "Tag " + german(day), "Opposition (Moment des Bildes)"] in rows else -1
    listed = [["Tag " + german(float(e[0])), e[2]] for e in events]
    check(sheet.charset == "utf-8" and sheet.h1 == "Arbeitsblatt: Mars \u2013 Tag %s (im Modell)" % german(day)
          and ImageChops.difference(colour, picture).getbbox() is None
          and all(r == g == b for r, g, b in grey.getdata()) and grey.getpixel((10, 10)) == WHITE
          and now > 0 and rows[0][1] == rows[-1][1] == "Konjunktion" and rows[now + 1:] == listed[1:len(rows) - now]
          and len(sheet.rows["questions"]) == 2 and len(solution.answers) == len(tasks)
          and all(re.match(r"(Beschreiben|Messen|Geben|Berechnen|Erklären|Erläutern|Beurteilen) Sie\b", t)
                  for t in tasks),
          "the worksheet %s: UTF-8, heading %r, the saved picture's %s pixels and a grey print version, the saved"
          " list's events from the opposition to the conjunction, %d tasks with the curricula's operators, as many"
          " answers" % (os.path.basename(paths[0]), sheet.h1, picture.size, len(tasks)))
    answers = " ".join(solution.answers.values())
    back = re.search(r"Tag (\d+),(\d\d) rückläufig", answers)
    figures = ["%s Tage" % german(float(loop[4])), "%s Tage" % german(MARS_SYNODIC)]
    check(back and abs(float("%s.%s" % back.groups()) - (float(loop[0]) - MARS_SYNODIC)) < 0.011
          and all(f + " im Modell" in answers and f not in sheet.text for f in figures),
          "the solution sheet: the loop of the moment (back from %s, %s) and the synodic period (%s), none of them"
          " on the worksheet" % (back and back[0], figures[0], figures[1]))
    if shutil.which("chromium"):
        pages = printed_pages(paths[0], s.out)
        check(pages <= 2, "Chromium prints the worksheet on %d pages, both sides of one sheet" % pages)
    if getattr(s, "worksheet_copy", None):  # the worksheet's top as a browser shows it, for the guide
        with tempfile.TemporaryDirectory() as profile:
            subprocess.run(["chromium", "--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                            "--user-data-dir=" + profile, "--force-color-profile=srgb", "--window-size=800,1000",
                            "--screenshot=" + os.path.abspath(s.worksheet_copy), "file://" + urllib.parse.quote(
                                os.path.abspath(paths[0]))], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60, check=True)
        log("the worksheet's screenshot: " + s.worksheet_copy)


def check_time_step(s, p):
    def input_window():
        ws = [w for w in s.windows() if w["name"] == INPUT_CAPTION]
        return ws and ws[0]
    w1 = poll(input_window, 10, "window 1 \"%s\"" % INPUT_CAPTION)
    log("window 1: client area %dx%d at %d,%d" % (w1["w"], w1["h"], w1["x"], w1["y"]))
    if s.exact:
        check((w1["x"], w1["y"], w1["w"], w1["h"]) == INPUT_GEOMETRY,
              "window 1 at %d,%d, %dx%d" % INPUT_GEOMETRY)
    p.check_in_sight("choosing &Zeitschritt", [("window 1", w1["id"])],
                     [("window 0", p.main), ("window 2", p.views[0]["id"]), ("window 3", p.views[1]["id"])])

    def question():
        img = s.shot((w1["x"], w1["y"], w1["w"], w1["h"]))
        return share(img, MAGENTA) > 0.5 and count(img, WHITE) > 50 and count(img, (0, 0, 0)) > 20
    poll(question, 5, "the question in window 1 (black on white on magenta)")
    log("ok: window 1 asks for the time step")
    # Keys typed anywhere reach the program; window 0 has the focus. A time
    # step of 20 days or more is rejected: the question is asked again on a
    # clean window, which stays open.
    rect = (w1["x"], w1["y"], w1["w"], w1["h"])
    asked = s.shot(rect)
    s.focus(p.main)
    s.key("2", "5")
    typed = steady_shot(s, rect, lambda img: ImageChops.difference(img, asked).getbbox() is not None,
                        "the echo of 25 in window 1")
    s.key("Return")
    poll(lambda: question() and ImageChops.difference(s.shot(rect), typed).getbbox() is not None, 5,
         "window 1 to ask again after 25")
    time.sleep(0.5)
    check(input_window() and question(), "25 is rejected: window 1 stays open and asks again")
    # S, a key of EXTRAS, is typed into the line like any other key: it is echoed.
    asked = s.shot(rect)
    s.key("s")
    steady_shot(s, rect, lambda img: ImageChops.difference(img, asked).getbbox() is not None,
                "the echo of S in window 1")
    s.key("BackSpace", "2", "Return")
    poll(lambda: not input_window(), 5, "window 1 to close after Return")
    views = poll(p.find_views, 10, "the view windows after the dialog")
    check([(v["x"], v["y"], v["w"], v["h"]) for v in views] == [(v["x"], v["y"], v["w"], v["h"]) for v in p.views],
          "after the dialog the views stand where they stood")
    log("ok: Return closes window 1")
    p.check_in_sight("the time-step dialog")

    # A time step of 2 days: the Earth moves ten times as far per step as
    # with the 0.2 days that &Vieleck set. Passes are paced at 60 a second,
    # so with 0.2 days it could not cover more than 0.2 x (60 t + 2) days in
    # t seconds.
    def earth_angle(img):
        blue = points(img, BLUE)
        if len(blue) < 300:
            return None
        c = centroid(blue)
        a, b, _ = ORBITS["Erde"]
        return math.atan2((c[1] - CENTRE[1]) / b, (c[0] - CENTRE[0]) / a)

    state = {}

    def fast():
        t0 = time.monotonic()
        first = earth_angle(p.view_images(s.shot())[0])
        time.sleep(0.2)
        second = earth_angle(p.view_images(s.shot())[0])
        t = time.monotonic() - t0
        # The Earth only ever goes forward, and within 2.9 s it turns less
        # than a whole revolution even at 2 days a step, so the forward angle
        # between the two pictures is unambiguous; on a very busy machine,
        # where a screenshot takes longer, it tries again.
        if first is None or second is None or t > 2.9:
            return False
        turn = (second - first) % (2 * math.pi)
        days = turn / OMEGA_EARTH
        bound = 0.2 * (STEPS_PER_SECOND * t + 2)
        state.update(days=days, t=t, bound=bound)
        return days > 3 * bound
    poll(fast, 30, "the Earth to move at the new time step", interval=0.1)
    log("ok: with the time step 2 the Earth moved %.0f days in %.2f s (0.2 days a step: at most %.1f)"
        % (state["days"], state["t"], state["bound"]))


# ---------------------------------------------------------------- the lesson, in every engine

# Texts the pictures show, as the page draws them: the sky strip's (its font
# on a page of 1024 x 768, and on a smaller one) and a disc's label (bold).
LETTERS = [("courier", 10, False, "Tag 844 Westen"), ("courier", 8, False, "Tag 1574 Osten"),
           ("courier", 9, True, "MA ER JU")]


def check_letters(s):
    """The browser's letters turned into the program's two colours keep
    every stroke: where two neighbouring pixels are covered 5/8 of a pixel
    together, a letter pixel lies on one of them or next to it; and none
    lies where the browser covers less than a quarter of the pixel."""
    for face, size, bold, text in LETTERS:
        width, height, cover, mask = s.eval(
            "(() => { const l = HG.letters(%s, %d, %s, %s); return [l.width, l.height, Array.from(l.cover),"
            " Array.from(l.mask)]; })()" % (json.dumps(face), size, json.dumps(bold), json.dumps(text)))

        def near(x, y):  # a letter pixel at (x, y) or next to it
            return any(mask[(y + b) * width + x + a] for a in (-1, 0, 1) for b in (-1, 0, 1)
                       if 0 <= x + a < width and 0 <= y + b < height)
        lost = [(x, y) for dx, dy in ((1, 0), (0, 1)) for y in range(height - dy) for x in range(width - dx)
                if cover[y * width + x] + cover[(y + dy) * width + x + dx] >= 160
                and not near(x, y) and not near(x + dx, y + dy)]
        stray = [(i % width, i // width) for i in range(width * height) if mask[i] and cover[i] < 64]
        check(not lost and not stray, "%s: %r in %s %dpx%s keeps every stroke, and adds no pixel (lost at %s, added"
              " at %s)" % (s.label, text, face, size, " bold" if bold else "", lost[:4], stray[:4]))


def run_lesson(s):
    """The lesson a class runs, in a browser of any engine: the page opened,
    the title screen passed, both views, Mars alone with its path, PageDown
    to its opposition (its day in the status line) and the sky strip; the
    letters of the pictures legible, and nothing thrown or written on the
    page's console."""
    s.start()
    p = open_page(s, s.size, 1, False, "")
    to_title = s.start_to_title(None)
    log("start to title screen: %d ms" % round(to_title))
    check_layout(s, p, p.views)
    p.choose_by_letter("SYSTEM", "&Beide")
    poll(lambda: both_views_drawn(s, p), 10, "both views with the Sun, the Earth and the planets")
    log("ok: after &Beide both views show the Sun, the Earth and the planets")
    p.choose_by_arrows("DARSTELLUNG", "Planten &und Bahnen")
    day, strip, sky = mars_opposition(s, p)
    check(count(p.view_images(s.last_shot)[0], WHITE) > 200, "paths in window 2 up to the opposition")
    check_sky_strip(s, strip, sky, day)
    log("the views and the strip at the opposition: " + s.save_shot("lesson.png"))
    check_letters(s)
    s.alive()
    check(not s.problems and not s.dialogs, "%s: nothing thrown, nothing on the console, no dialog (%s)"
          % (s.label, (s.problems + s.dialogs)[:3]))
    return to_title


# ---------------------------------------------------------------- the real sky

# Both editions started at a date (--date, ?date=), slowly enough that the
# clock is still before Mars's opposition of February 2027 when the list is
# saved: its day, 19 February 2027, as almanacs give it (Astronomical
# Almanac 2027, "Phenomena"; the hour is the model's tests' business).
REAL_SKY_START = "2027-01-10"
REAL_SKY_ARGS = ["--date", REAL_SKY_START, "--steps-per-second", "2"]
REAL_SKY_QUERY = "?date=%s&steps-per-second=2" % REAL_SKY_START
MARS_OPPOSITION_2027 = "2027-02-19"
DATE_CAPTION = "Eingabe des Datums"


def open_program(s, args):
    """The desktop program started with arguments, past the title screen
    and the box by keys."""
    p = Pupil(s)
    s.launch(args)
    poll(lambda: (s.alive(), title_patch_blue(s))[1], 15, "the title screen")
    main = main_window(s)
    p.main, p.client = main["id"], (main["x"], main["y"], main["w"], main["h"])
    s.focus(p.main)
    s.key("space")
    poll(lambda: share(s.shot((20, 250, 60, 60)), MAGENTA) >= 0.98, 10, "the second key wait")
    s.key("Return")
    p.close_box_with_return("the start-up warning box")
    p.views = poll(p.find_views, 10, "the two view windows")
    p.find_titles()
    return p


def saved_list(s, p):
    """The event list saved from the menu: its rows, split at the commas."""
    p.choose_by_mouse("EREIGNISSE", "Ereignisliste &speichern")
    p.close_box_with_return("the box saying where the list went")
    return [line.split(",") for line in s.saved_text()[1].splitlines()]


CONSTRUCTION_INK = (32, 32, 32)  # the construction's lines and numbers


def check_construction(s, p):
    """K with Mars alone: the construction's dark lines over both views; →
    to its next number changes the status line's date; K again takes it
    away."""
    def inked(n):
        return lambda: (lambda views: all((count(v, CONSTRUCTION_INK) > 20) == (n > 0) for v in views) and views)(
            p.view_images(s.shot()))
    s.focus(p.main)
    status = s.status_text()
    s.key("k")
    poll(inked(1), 5, "the construction's lines in both views")
    s.key("Right")
    poll(lambda: status is None or s.status_text() != status, 10, "→ to the construction's next number")
    s.key("k")
    poll(inked(0), 5, "K again to take the construction away")
    log("ok: the construction of Mars's loop on and off, → to its next number")


def run_real_sky(s, screenshot_copy):
    """The real sky in either edition: started at a date, the status line
    names it and HIMMEL marks the real sky; the list saved, Mars's
    opposition on its almanac day in the file's ISO column; the date
    dialog left with Escape; "&Jetzt" with today's date in the status line
    and the list from today. With a copy asked for, the screenshot at
    Mars's opposition of February 2027 with paths, lines of sight and the
    strip."""
    s.start()
    browser = isinstance(s, BrowserSession)
    p = open_page(s, s.size, 1, False, REAL_SKY_QUERY) if browser else open_program(s, REAL_SKY_ARGS)
    s.focus(p.main)
    s.key("space")
    status = s.status_text()
    check(status is None or re.match(r"(\w\w )?\d\d\.01\.2027", status),
          "started at %s: the status line gives a day of January 2027 (%r)" % (REAL_SKY_START, status))
    if browser:  # the mark where the page lets it be read
        p.open_by_keyboard("HIMMEL")
        marked = s.eval("Array.from(document.querySelectorAll('#hg-dropdown .hg-item[role=menuitemradio]'),"
                        " (e) => e.firstChild.textContent + ':' + e.getAttribute('aria-checked')).join()")
        s.key("Escape", "Escape")
        check(marked == "Modell:false,Echter Himmel:true", "HIMMEL marks the real sky (%s)" % marked)
    p.choose_by_letter("SYSTEM", "&Beide")
    p.choose_by_mouse("PLANETEN", "&nur Erde-Sonne")
    p.choose_by_letter("PLANETEN", "M&ars ein/aus")
    rows = saved_list(s, p)
    oppositions = [r[0] for r in rows[1:] if r[1:3] == ["Mars", "Opposition"]]
    iso = r"\d{4}-\d\d-\d\dT\d\d:\d\dZ"
    check(rows[0][0] == "Zeitpunkt (UTC)" and all(re.fullmatch(iso, r[0]) for r in rows[1:]) and oppositions
          and oppositions[0].startswith(MARS_OPPOSITION_2027 + "T"),
          "the saved list: moments in UTC as ISO 8601, Mars's first opposition on %s (%s)"
          % (MARS_OPPOSITION_2027, oppositions[:1]))

    # The date asked for, and left with Escape: nothing changes.
    status = s.status_text()
    def date_window():
        return [w for w in s.windows() if w["name"] == DATE_CAPTION]
    s.focus(p.main)
    s.key("d")
    poll(date_window, 5, 'the window "%s"' % DATE_CAPTION)
    s.key("Escape")
    poll(lambda: not date_window(), 5, "the date's window to close on Escape")
    check(s.status_text() == status, "Escape leaves the date as it was (%r)" % s.status_text())

    # Now: today's date in the status line, the list from today.
    p.choose_by_mouse("HIMMEL", "&Jetzt")
    today, status = time.strftime("%d.%m.%Y"), s.status_text()
    check(status is None or today in status, "&Jetzt: the status line gives today's date %s (%r)" % (today, status))
    rows = saved_list(s, p)[1:]
    made, moments = {r[-2][:10] for r in rows}, [r[0][:10] for r in rows]
    today, ahead = (time.strftime("%Y-%m-%d", time.gmtime(time.time() + days * 86400)) for days in (0, 1000))
    check(made == {today} and moments and today <= min(moments) and max(moments) <= ahead,
          "&Jetzt: the list made from today, %s, its events up to %s (%s, %s to %s)"
          % (today, ahead, made, moments and min(moments), moments and max(moments)))
    log("ok: the real sky from %s and now, in %s" % (REAL_SKY_START, s.label))
    check_construction(s, p)
    if screenshot_copy:  # from 1 October 2026 to the opposition, Mars's path and line of sight, the strip
        p.choose_by_mouse("DARSTELLUNG", "Planten &und Bahnen")
        s.focus(p.main)
        s.key("d")
        poll(date_window, 5, "the date's window")
        s.key(*["period" if c == "." else c for c in "01.10.2026"], "Return")
        to_opposition(s, p)
        s.key("s", "h")
        time.sleep(1.5)
        s.shot().save(screenshot_copy)
        log("the real sky's screenshot: " + screenshot_copy)
        if getattr(s, "construction_copy", None):  # the construction of the same loop, all nine numbers
            s.key("s", "k")
            for _ in range(5):  # from number 4 (20.01.2027) to 9
                s.key("Right")
                time.sleep(1.5)
            s.shot().save(s.construction_copy)
            log("the construction's screenshot: " + s.construction_copy)


# ---------------------------------------------------------------- the browser's pages

# After the session the page is opened as other screens show it: CSS size,
# device pixels per CSS pixel, taps alone or a mouse, and the address: unknown
# parameters are ignored, 1000 steps a second grow Mercury's path at once, a
# bad value is named at the page's foot.
FAST, BAD = "?steps-per-second=1000&help&fbclid=IwAR0xyz", "?steps-per-second=abc&date=2027-01-10%00junk"
PAGES = [((1024, 768), 1.25, False, FAST), ((1366, 768), 1.5, False, FAST), ((1920, 1080), 1, False, FAST),
         ((390, 844), 3, False, FAST), ((320, 568), 2, True, BAD), ((768, 1024), 2, True, FAST)]
FINGER, MERCURY = 40, 23  # CSS pixels a finger's target is high; Mercury's orbit in grid units


class PagePupil(Pupil):
    """Finds titles and items where the page has them; near the page's right
    edge a menu moves left to be seen whole."""

    def find_titles(self):
        self.titles = {t: (x + w // 2, y + h // 2, x) for t, (x, y, w, h) in zip(TITLES, self.s.rects(".hg-title"))}

    def item_rows(self, popup, title):
        return [y + h // 2 for _, y, _, h in self.s.rects("#hg-dropdown .hg-item")]

    def wait_popup(self, title):
        popup = poll(lambda: self.popups() and self.popups()[0], 5, "the %s menu to open" % title)
        if popup["x"] > self.titles[title][2] + 5 or not inside(tuple(popup[k] for k in "xywh"), self.s.page_rect()):
            raise Failed("%s's menu stands at %s, not under its title or not on the page" % (title, popup))
        return popup


def open_page(s, size, ratio, touch, query):
    """The page, past the title screen and the box by clicks (or taps)."""
    s.emulate(size, ratio, touch)
    p = PagePupil(s)
    p.main = "0"
    s.launch(query)
    poll(lambda: (s.alive(), s.eval("HG.firstKeyWait > 0"))[1], 10, "the title screen")
    r = s.eval("HG.screenRect")
    # A click on the title, one on the second prompt (one too early for it is repeated), OK in the box.
    poll(lambda: p.boxes() or s.click(r["x"] + r["width"] // 2, r["y"] + r["height"] // 2), 5, "the box", 0.3)
    s.press("#hg-modal button")
    p.views = poll(lambda: not p.boxes() and p.find_views(), 5, "the views after OK")
    p.find_titles()
    return p


def check_page(s, p, what, query):
    """The largest 4:3 rectangle below the menu bar, centred across, the
    views where the formulas put them in it; the bar holds every title and
    the status line; a bad address named; nothing on the console; every
    menu opens whole on the page."""
    r, bar = s.eval("HG.screenRect"), s.eval("HG.menuBarBottom()")
    x, y, w, h = r["x"], r["y"], r["width"], r["height"]
    page = s.page_rect()
    views = [tuple(v[k] for k in "xywh") for v in p.views]
    formulas = [layout(w, h)[n] for n in ("window 2", "window 3")]
    notice = s.rects("#hg-notice")[0]
    check(abs(3 * w - 4 * h) <= 4 and abs(2 * x + w - page[2]) <= 1 and (w == page[2] or h >= page[3] - bar)
          and views == [(x + a, y + b, c, d) for a, b, c, d in formulas] and not s.problems
          and all(t[1] + t[3] <= bar + 1 for t in s.rects(".hg-title, #hg-status"))
          and (notice[3] > 0 and inside(notice, page)) == (query == BAD)
          and (query != BAD or "date=2027-01-10\\x00junk in" in s.eval("HG.noticeText")),
          "%s: on %dx%d at %d,%d below the menu bar's %d px, which hold the titles and the status line (%s); the"
          " views at %s; %s line about the address" % (what, w, h, x, y, bar, s.eval("HG.statusMode"), views,
                                                        "a" if notice[3] else "no"))
    for title in TITLES:
        s.click(*p.titles[title][:2])
        p.wait_popup(title)
        s.click(*p.titles[title][:2])
        p.wait_popup_closed()


def check_round(s, p, what):
    """The Sun's disc round within a pixel, its outline one device pixel
    wide, no colour blended by scaling; Mercury's path as its orbit's formula."""
    r = s.eval("HG.screenRect")
    sx, sy = (lambda n: n * r["width"] // 320), (lambda n: n * r["height"] // 200)
    cx, cy, rx, ry = sx(80), sy(87), sx(6) + 3, round(sy(6) * 0.82) + 3

    def disc():  # in its box in window 2: yellow, below it at the centre the outline, then azure
        helio, geo = p.view_images(s.shot())
        box = helio.crop((cx - rx, cy - ry, cx + rx + 1, cy + ry + 1))
        yellow = colour_mask(box, YELLOW).getbbox()
        below = [box.getpixel((rx, y)) for y in range(yellow[3], box.height)] if yellow else []
        outline = below.index(AZURE) if AZURE in below else 0
        blends = {c for img in (helio, geo) for _, c in img.getcolors(img.width * img.height)} - BrowserSession.DRAWN
        return outline and set(below[:outline]) == {(0, 0, 0)} and (yellow[2] - yellow[0], yellow[3] - yellow[1],
                                                                      outline, blends)
    across, down, outline, blends = poll(disc, 10, "the Sun's disc with no planet over it")
    check(abs(across - down) <= 2 and outline == 1 and not blends, "%s: the Sun's disc %dx%d in an outline %d device"
          " pixel wide; no blended colour %s" % (what, across, down, outline, sorted(blends)[:3]))
    p.choose_by_mouse("DARSTELLUNG", "nur &Bahnen")
    mx, my = sx(MERCURY), sy(MERCURY) * 0.82

    def path():
        near = [(abs(x - cx), abs(y - cy)) for x, y in points(p.view_images(s.shot())[0], WHITE)
                if 0.85 <= math.hypot((x - cx) / mx, (y - cy) / my) <= 1.15]
        return near and abs(max(near)[0] - mx) <= 1.5 and abs(max(b for _, b in near) - my) <= 1.5
    poll(path, 20, "%s: Mercury's path to reach %d x %.1f pixels from the Sun" % (what, mx, my), interval=0.2)
    log("ok: %s: Mercury's path reaches %d x %.1f pixels from the Sun" % (what, mx, my))


def check_tablet(s, p):
    """Taps alone: a tap on another title opens its menu; the time step typed
    into the input a tap on window 1 focuses; pause, forward and back by
    their buttons; the picture at the device's pixels; turned with a box
    open, laid out anew once it is closed, settings kept."""
    for title in ("SYSTEM", "DARSTELLUNG"):
        s.click(*p.titles[title][:2])
    popup = p.wait_popup("DARSTELLUNG")
    check(s.eval("HG.menuOpen") == 2 and min(h for _, _, _, h in s.rects(".hg-title, .hg-item, .hg-touch"))
          >= FINGER * s.ratio, "a tap on DARSTELLUNG with SYSTEM open opens it; every target %d px high" % FINGER)
    s.click(popup["x"] + popup["w"] // 2, p.item_rows(popup, "DARSTELLUNG")[0])  # nur &Planeten
    time.sleep(0.3)  # a touch button under the item, tapped too, would stop the animation
    check("läuft" in s.eval("HG.statusText"), "a tap on nur &Planeten presses no touch button under it (%s)"
          % s.eval("HG.statusText"))
    p.choose_by_mouse("SERVICE", "&Zeitschritt")
    w1 = poll(lambda: [tuple(w[k] for k in "xywh") for w in s.windows() if w["name"] == INPUT_CAPTION], 5, "window 1")
    s.click(w1[0][0] + 20, w1[0][1] + 20)
    typed = None
    for text, keys in (("25", []), ("2,55", ["BackSpace"])):  # 25 is asked again
        if typed:
            steady_shot(s, w1[0], lambda img: ImageChops.difference(img, typed).getbbox(), "window 1 to ask again")
        before = s.shot(w1[0])
        s.cmd("Input.insertText", text=text)  # as a touch screen's keyboard types
        s.key(*keys)
        typed = steady_shot(s, w1[0], lambda img: ImageChops.difference(img, before).getbbox(), "the echo")
        check(s.eval("document.activeElement.matches('.hg-line[inputmode=decimal]')"), text + " typed into the input")
        s.press(".hg-line-ok")
    poll(lambda: "Zeitschritt 2,5 d" in s.eval("HG.statusText"), 5, "the time step 2,5 after ↵")

    def still():
        first = [img.tobytes() for img in p.view_images(s.shot())]
        time.sleep(0.3)
        return first == [img.tobytes() for img in p.view_images(s.shot())] and first
    def touch(label):
        s.press('.hg-touch[aria-label="%s"]' % label)
    touch("Anhalten / Weiter")
    paused = poll(still, 10, "the views to stand still")
    touch("Schritt vor")
    poll(lambda: still() not in (False, paused), 5, "a step forward")
    touch("Schritt zurück")
    poll(lambda: still() == paused, 5, "a step back to the same pixels")
    touch("Nächstes Ereignis")
    jumped = poll(lambda: re.fullmatch(r"Tag \d+(,\d\d?)?   (Merkur|Venus|Mars|Jupiter): .*(Konjunktion|Elongation|"
                                       r"Opposition|Quadratur|Stillstand).*", s.eval("HG.statusText")), 5, "an event")
    p.choose_by_mouse("EXTRAS", "&Sichtlinien ein/aus")
    p.choose_by_mouse("EXTRAS", "&Bild speichern")
    picture, (left, right), rect, status = s.saved_picture(), p.views, s.eval("HG.screenRect"), s.eval("HG.statusText")
    s.emulate(s.size[::-1], s.ratio, True)
    time.sleep(1)
    check(picture.size == (right["x"] + right["w"] - left["x"], left["h"]) and s.eval("HG.screenRect") == rect,
          "pause, forward, back by taps, %r after ▶▶; the picture at the device's pixels %s; turned with the box"
          " open, the layout waits" % (jumped.group(0), picture.size))
    s.press("#hg-modal button")
    p.views = poll(lambda: s.eval("HG.screenRect") != rect and p.find_views(), 10, "the layout of the turned page")
    p.find_titles()
    check_page(s, p, "turned", "")
    green = poll(lambda: colour_mask(p.view_images(s.shot())[1], GREEN).getbbox(), 5, "Mercury in window 3")
    check(s.eval("HG.statusText") == status and max(green[2] - green[0], green[3] - green[1]) > 200,
          "turned: the status line as before (%r), Mercury's line of sight still shown" % status)


def check_phone(s, p):
    """A phone by taps: after ▶▶ the status line, seen whole under the touch buttons, gives the event's day and name; they
    show on one line each, 9 CSS px at least; the time-step dialog's caption is seen whole, ↵ not over it; turned
    across with the on-screen keyboard up, typing scrolls nothing."""
    # Whether an element is seen on the page: itself at its centre, its text whole.
    seen = "((e) => { const r = e.getBoundingClientRect(); return r.x >= 0 && r.y >= 0 && r.right <= innerWidth &&" \
           " r.bottom <= innerHeight && document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2) === e" \
           " && e.scrollWidth <= e.clientWidth; })"
    s.press('.hg-touch[aria-label="Nächstes Ereignis"]')
    day, event = poll(lambda: re.fullmatch(r"(Tag [\d.,]+)   \w+: (.+)", s.eval("HG.statusText")), 5, "an event").groups()
    text, shown, least = s.eval("""[(e => [e.textContent, %s(e)])(document.getElementById('hg-status')), Math.min(
        ...Array.from(document.querySelectorAll('#hg-status, .hg-touch'),
                      (t) => t.scrollHeight > t.clientHeight ? 0 : parseFloat(getComputedStyle(t).fontSize)))].flat()"""
                                % seen)
    status = s.rects("#hg-status")[0]
    check(day in text and event in text and shown and least >= 9 and all(status[1] >= b[1] + b[3] for b in s.rects(".hg-touch")),
          "after ▶▶ the status line %r under the touch buttons, in letters of %g CSS px at least" % (text, least))
    p.choose_by_mouse("SERVICE", "&Zeitschritt")
    poll(lambda: s.eval("!!HG.line"), 5, "the time step asked")
    check(s.eval("((c, ok) => %s(c) && ok.top >= c.getBoundingClientRect().bottom)(document.querySelector('.hg-window"
                 "[data-window=\"1\"] > .hg-caption'), document.querySelector('.hg-line-ok').getBoundingClientRect())"
                 % seen), "the time-step dialog's caption seen whole, ↵ not over it")
    s.emulate(s.size[::-1], s.ratio, True)
    s.emulate((s.size[0], 150), s.ratio, True)  # the on-screen keyboard up
    s.cmd("Input.insertText", text="2")
    time.sleep(0.3)
    scrolled = s.eval("[HG.screen.scrollTop, document.scrollingElement.scrollTop]")
    check(scrolled == [0, 0], "turned across, typing with the keyboard up scrolls nothing (%s)" % scrolled)


def run_pages(s, wide_copy):
    for size, ratio, touch, query in PAGES:
        what = "%dx%d at %g%s" % (size + (ratio, " by taps" if touch else ""))
        p = open_page(s, size, ratio, touch, query)
        check_page(s, p, what, query)
        if query == FAST:
            p.choose_by_mouse("SYSTEM", "&Beide")
            check_round(s, p, what)
        if size == (1920, 1080) and wide_copy:
            p.choose_by_mouse("DARSTELLUNG", "Planten &und Bahnen")
            time.sleep(2)
            s.shot().save(wide_copy)
        if query == BAD:
            p.choose_by_mouse("DESK", "&Info")
            box = poll(p.boxes, 5, "the information box")[0]
            check(inside(tuple(box[k] for k in "xywh"), s.page_rect()), what + ": the information box on the page")
            s.press("#hg-modal button")
        if size == (768, 1024):
            check_tablet(s, p)
        if size == (320, 568):
            check_phone(s, p)


# ---------------------------------------------------------------- placement

# The title screen at these screen sizes, with and without a window manager;
# the views on a desktop whose panel takes this many pixels.
TITLE_SIZES = [(320, 200), (800, 600), (1024, 768)]
PANEL_HEIGHT = 40
NARROW_SCREEN = (320, 480)  # every menu by mouse


def layout(width, height):
    """Where the program puts windows 2, 3 and 1 for a screen (or work area)
    of this size, from the area's corner: (x, y, w, h) each."""
    def sx(n):
        return n * width // 320

    def sy(n):
        return n * height // 200
    view_h = sy(175) + 19
    top = max(0, min(sy(sy(2) + 5) + 19, height - view_h))  # the views end at the foot at the latest
    return {"window 2": (sx(5), top, sx(154), view_h), "window 3": (sx(161), top, sx(154), view_h),
            "window 1": (10, sy(15), max(sx(158), 314) - 10, sy(30))}


def inside(rect, area):
    x, y, w, h = rect
    return x >= area[0] and y >= area[1] and x + w <= area[0] + area[2] and y + h <= area[1] + area[3]


def steady_shot(s, rect, ready, what):
    """A screenshot of rect once two in a row agree and ready(shot) holds."""
    last = [None]

    def look():
        img = s.shot(rect)
        same = last[0] is not None and ImageChops.difference(img, last[0]).getbbox() is None
        last[0] = img
        return img if same and ready(img) else None
    return poll(look, 10, what)


def title_waits(s):
    """Starts the program and returns window 0's client area and what it
    shows at the title screen's two key waits; then ends the program."""
    s.launch()
    found = pass_title(s, main_window(s))
    s.end_program()
    return found


def four_by_three(width, height):
    """Where the program lays itself out in an area: the largest 4:3
    rectangle in it, centred (x, y, w, h)."""
    w, h = min(width, height * 4 // 3), min(height, width * 3 // 4)
    return (width - w) // 2, (height - h) // 2, w, h


def pass_title(s, main, area=None):
    """Window 0's client area and what it shows at the title screen's two
    key waits, passing the first with a key (the second waits). The title
    screen stands on the 4:3 rectangle of the work area (x, y, w, h; the
    whole screen by default), from the client area's corner."""
    client = (main["x"], main["y"], main["w"], main["h"])
    x, y, w, h = four_by_three(*(area or (0, 0) + s.size)[2:])
    # A patch of the left panel that no text crosses, then of the cleared window.
    patch = (x + int(0.02 * w), y + int(0.3 * h), int(0.06 * w), int(0.1 * h))

    def patch_is(img, rgb):
        return share(img.crop((patch[0], patch[1], patch[0] + patch[2], patch[1] + patch[3])), rgb) >= 0.98
    first = steady_shot(s, client, lambda img: patch_is(img, BLUE), "the title screen")
    s.focus(main["id"])
    s.key("space")
    second = steady_shot(s, client, lambda img: patch_is(img, MAGENTA), "the second key wait")
    return client, first, second


def text_lines(img, right):
    """Lines of white text in img left of column `right`, top to bottom, as
    boxes (x0, y0, x1, y1); rows of ink at most two blank rows apart are one."""
    mask = colour_mask(img.crop((0, 0, right, img.height)), WHITE)
    rows = [y for y in range(img.height) if mask.crop((0, y, right, y + 1)).getbbox()]
    lines = []
    for y in rows:
        if lines and y - lines[-1][1] <= 3:
            lines[-1][1] = y
        else:
            lines.append([y, y])
    boxes = []
    for y0, y1 in lines:
        x0, _, x1, _ = mask.crop((0, y0, right, y1 + 1)).getbbox()
        boxes.append((x0, y0, x1, y1 + 1))
    return boxes


def found_at(img, piece, x, y, up):
    """The row at which piece stands in img at column x, from y up to `up`
    rows higher (text is moved up to stay inside its window); None if nowhere."""
    for yy in range(y, y - up - 1, -1):
        if yy < 0 or yy + piece.height > img.height:
            continue
        if ImageChops.difference(img.crop((x, yy, x + piece.width, yy + piece.height)), piece).getbbox() is None:
            return yy
    return None


def check_title_inside(size, bare, managed):
    """Every text of the title screen's left panel and the second prompt, as
    they stand on the whole screen without a window manager, must stand
    whole in window 0's client area under openbox."""
    (_, first, second), (client, m_first, m_second) = bare, managed
    up = first.height - client[3]
    x, _, w, _ = four_by_three(*size)
    lines = text_lines(first, x + 159 * w // 320 + 1)
    check(len(lines) == 6, "%dx%d: the title screen's left panel shows 6 lines of text (found %d)"
          % (size + (len(lines),)))
    pieces = [("the line at y %d" % b[1], first.crop(b), b) for b in lines]
    pieces[-1] = ("the prompt", pieces[-1][1], pieces[-1][2])
    cell = ImageChops.invert(colour_mask(second, MAGENTA)).getbbox()
    pieces.append(("the second prompt", second.crop(cell), cell))
    for name, piece, box in pieces:
        y = found_at(m_first if name != "the second prompt" else m_second, piece, box[0], box[1], up)
        if y is None:
            raise Failed("%dx%d under openbox: %s of the title screen (%dx%d at %d,%d without a window manager) is"
                         " not whole inside window 0's client area of %dx%d"
                         % (size + (name, piece.width, piece.height, box[0], box[1]) + client[2:]))
    log("ok: %dx%d: window 0's client area under openbox is %dx%d at %d,%d; the prompts and every text of the left"
        " panel stand whole inside it" % (size + client[2:] + client[:2]))


def check_views_in_work_area(s, edge):
    """With a panel along one edge the program lays its windows out in the
    work area and places them from its corner."""
    width, height = s.size
    s.start_panel(edge, PANEL_HEIGHT)
    area = (0, PANEL_HEIGHT if edge == "top" else 0, width, height - PANEL_HEIGHT)
    poll(lambda: s.work_area() == area, 10, "openbox to publish the work area %s" % (area,))
    log("a %d-px panel at the %s: openbox publishes the work area %d,%d %dx%d" % ((PANEL_HEIGHT, edge) + area))
    x, y, w, h = four_by_three(*area[2:])
    expected = {name: (r[0] + area[0] + x, r[1] + area[1] + y, r[2], r[3]) for name, r in layout(w, h).items()}

    def placed(name, w):
        rect = (w["x"], w["y"], w["w"], w["h"])
        log("%s: client area %dx%d at %d,%d" % ((name,) + rect[2:] + rect[:2]))
        check(rect == expected[name] and inside(rect, area), "%s stands where the layout of the work area puts it,"
              " %dx%d at %d,%d, wholly inside the work area" % ((name,) + expected[name][2:] + expected[name][:2]))

    s.launch()
    p = Pupil(s)
    main = main_window(s)
    p.main = main["id"]
    pass_title(s, main, area)
    s.key("Return")
    p.close_box_with_return("the start-up warning box")
    main = s.geometry(p.main)
    p.client = (main["x"], main["y"], main["w"], main["h"])
    check(inside(p.client, area), "window 0 (%dx%d at %d,%d) is maximised inside the work area"
          % (p.client[2:] + p.client[:2]))
    p.views = poll(p.find_views, 10, "the two view windows")
    for name, v in zip(("window 2", "window 3"), p.views):
        placed(name, v)
    p.find_titles()
    p.choose_by_mouse("SERVICE", "&Zeitschritt")
    placed("window 1", poll(lambda: [w for w in s.windows() if w["name"] == INPUT_CAPTION], 10, "window 1")[0])
    s.focus(p.main)
    s.key("Return")
    poll(lambda: not [w for w in s.windows() if w["name"] == INPUT_CAPTION], 5, "window 1 to close after Return")
    views = poll(p.find_views, 10, "the view windows after the dialog")
    check([(v["x"], v["y"]) for v in views] == [(v["x"], v["y"]) for v in p.views],
          "after the dialog the views stand where they stood")
    s.end_program()
    s.stop_panel()


def check_lost_map_request(s):
    """A window manager that loses the program's first request to show a
    window, as openbox does while it is still starting: the program asks again
    and the title screen appears all the same. Other requests are carried out
    as they come."""
    d = xdisplay.Display(s.env["DISPLAY"])
    d.screen().root.change_attributes(event_mask=X.SubstructureRedirectMask)
    d.sync()
    s.launch()
    lost = []

    def serve():
        while d.pending_events():
            e = d.next_event()
            if e.type == X.MapRequest and not lost:
                lost.append(e.window.id)
            elif e.type == X.MapRequest:
                e.window.map()
            elif e.type == X.ConfigureRequest:
                fields = ("x", "y", "width", "height", "border_width", "sibling", "stack_mode")
                e.window.configure(**{f: getattr(e, f) for i, f in enumerate(fields) if e.value_mask & (1 << i)})
        d.flush()
        return lost and title_patch_blue(s)
    poll(serve, 10, "the title screen after its first request to be shown was lost", interval=0.02)
    log("ok: the first request to show window 0 was lost, and the program asked again")
    s.end_program()
    d.close()


def check_narrow_menus(s):
    """On a screen 320 pixels wide the titles stand on the bar's rows, and
    every menu opens whole on the screen by mouse. A title is a cluster of
    dark text columns in a row of text, in reading order."""
    s.launch()
    p = Pupil(s)
    main = main_window(s)
    p.main = main["id"]
    pass_title(s, main)
    s.key("Return")
    p.close_box_with_return("the start-up warning box")
    s.park_mouse()
    strip = s.shot((0, 0, s.size[0], 200))
    bar = next(y for y in range(200) if strip.getpixel((s.size[0] // 2, y)) == MAGENTA)  # window 0 begins
    dark = [[sum(strip.getpixel((x, y))) < 300 for x in range(s.size[0])] for y in range(bar + 1)]
    ends = [y for y in range(1, bar + 1) if any(dark[y - 1]) and not any(dark[y])]
    places = []
    for top, bottom in zip([0] + ends, ends):
        columns = [x for x in range(s.size[0]) if any(dark[y][x] for y in range(top, bottom))]
        starts = [x for i, x in enumerate(columns) if i == 0 or x - columns[i - 1] > 8]
        places += [(x + 5, (top + bottom) // 2) for x in starts]
    if len(places) < len(TITLES):
        raise Failed("%dx%d: the menu bar shows %d titles, not %d" % (s.size + (len(places), len(TITLES))))
    for title, (x, y) in zip(TITLES, places):
        s.click(x, y)
        popup = poll(lambda: p.popups() and p.popups()[0], 5, "the %s menu to open" % title)
        check(inside(tuple(popup[k] for k in "xywh"), (0, 0) + s.size) and popup["x"] <= x,
              "%dx%d: %s's menu opens by mouse, whole on the screen" % (s.size + (title,)))
        s.key("Escape")
        p.wait_popup_closed()
    s.end_program()


def run_placement(program, out, sessions):
    """The title screen's texts inside window 0 at each size with and without
    openbox; then the windows inside the work area with a panel at the bottom
    and at the top; then every menu on a narrow screen. Screenshots of the
    title screen land in out/WxH/."""
    for size in TITLE_SIZES:
        s = XSession(program, "none", os.path.join(out, "%dx%d" % size), size)
        sessions.append(s)
        os.makedirs(s.out, exist_ok=True)
        s.start_xvfb()
        if size == (SCREEN_W, SCREEN_H):
            check_lost_map_request(s)
        shots = {}
        for wm in ("none", "openbox"):
            s.wm = wm
            s.start_wm()
            shots[wm] = title_waits(s)
            for i, img in enumerate(shots[wm][1:]):
                img.save(os.path.join(s.out, "title-%s-%d.png" % (wm, i + 1)))
        check_title_inside(size, shots["none"], shots["openbox"])
        if size == (SCREEN_W, SCREEN_H):
            for edge in ("bottom", "top"):
                check_views_in_work_area(s, edge)
        s.close()
    s = XSession(program, "none", os.path.join(out, "%dx%d" % NARROW_SCREEN), NARROW_SCREEN)
    sessions.append(s)
    os.makedirs(s.out, exist_ok=True)
    s.start_xvfb()
    check_narrow_menus(s)
    s.close()


def missing_tools(args):
    """What this run needs and cannot find, and the Debian packages to install."""
    if getattr(args, "engine", None):
        tools = {"firefox": ["firefox-esr"], "webkit": ["WebKitWebDriver", "Xvfb"]}[args.engine]
        missing = [t for t in tools if shutil.which(t) is None]
        if args.engine == "webkit" and not os.access(WebKitSession.MINIBROWSER, os.X_OK):
            missing.append(WebKitSession.MINIBROWSER)
        if websocket is None and args.engine == "firefox":
            missing.append("the Python module websocket (python3-websocket)")
        packages = {"firefox": "firefox-esr python3-websocket", "webkit": "webkit2gtk-driver xvfb"}[args.engine]
        packages += " python3-pil"
    elif args.browser:
        missing = [] if shutil.which("chromium") else ["Chromium"]
        if websocket is None:
            missing.append("the Python module websocket (python3-websocket)")
        if not os.path.exists(args.program) and shutil.which("em++") is None:
            missing.append("emscripten (to build %s)" % args.program)
        packages = "chromium python3-websocket python3-pil emscripten node-acorn"
    else:
        managed = args.wm == "openbox" or args.placement
        tools = ["Xvfb", "xdotool", "xwininfo", "xprop", "import"] + (["openbox"] if managed else [])
        missing = [t for t in tools if shutil.which(t) is None]
        if args.placement and xdisplay is None:
            missing.append("the Python module Xlib (python3-xlib)")
        packages = "xvfb xauth xdotool x11-utils imagemagick openbox python3-pil python3-xlib"
    if Image is None:
        missing.append("the Python module PIL (python3-pil)")
    return missing, packages


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--program", required=True, help="the built heliogeo (with --browser: heliogeo.html)")
    ap.add_argument("--wm", choices=("none", "openbox"), default="none")
    ap.add_argument("--browser", action="store_true", help="the web edition in headless Chromium (--wm is not used)")
    ap.add_argument("--out", required=True, help="folder for logs and screenshots")
    ap.add_argument("--screenshot", help="also copy the screenshot of both views here")
    ap.add_argument("--screenshot-sky-strip", help="also save a screenshot of Mars's loop with the sky strip here")
    ap.add_argument("--screenshot-wide", help="with --browser: also copy the picture of a page of 1920 x 1080 here")
    ap.add_argument("--screenshot-real-sky", help="also save a screenshot of the real sky at Mars's opposition of"
                                                   " February 2027 with the sky strip here")
    ap.add_argument("--screenshot-construction", help="with --real-sky and --screenshot-real-sky: also save a"
                    " screenshot of the construction of that loop here")
    ap.add_argument("--screenshot-worksheet", help="also save the worksheet saved at Mars's opposition, as headless"
                                                    " Chromium shows its top, here")
    ap.add_argument("--engine", choices=sorted(ENGINES),
                    help="instead of the session: the lesson a class runs, in the web edition (--program"
                         " heliogeo.html) in Firefox or in WebKit (--wm is not used)")
    ap.add_argument("--real-sky", action="store_true",
                    help="instead of the whole session: the real sky's part alone, in the edition --browser says")
    ap.add_argument("--placement", action="store_true",
                    help="instead of the session: the title screen at several screen sizes with and without"
                         " openbox, and the windows on a desktop with a panel (--wm is not used)")
    args = ap.parse_args()

    os.makedirs(args.out, exist_ok=True)
    missing, packages = missing_tools(args)
    if missing:
        log("SKIPPED: the end-to-end test needs %s, which cannot be found here (Debian: apt-get install %s)"
            % (", ".join(missing), packages))
        return SKIP
    if (args.browser or args.engine) and not os.path.isfile(args.program):
        log("FAILED: %s is not built (./setup.sh web builds it)" % args.program)
        return 1
    if not (args.browser or args.engine) and not os.access(args.program, os.X_OK):
        log("FAILED: %s is not an executable program" % args.program)
        return 1

    # Ended from outside (a time limit): still end what was started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("FAILED: ended from outside"))
    program = os.path.abspath(args.program)
    sessions = []
    try:
        if args.placement:
            run_placement(program, args.out, sessions)
            log("passed: the title screen inside window 0 at %s, with and without openbox; the windows inside the"
                " work area with a panel at the bottom and at the top; every menu at %dx%d"
                % (", ".join("%dx%d" % size for size in TITLE_SIZES), *NARROW_SCREEN))
            return 0
        if args.engine:
            sessions.append(ENGINES[args.engine](program, args.out))
            to_title = run_lesson(sessions[-1])
            log("passed (%s): the lesson to Mars's opposition with the sky strip; start to title screen %d ms"
                % (sessions[-1].label, to_title))
            return 0
        if args.real_sky:
            sessions.append(BrowserSession(program, args.out) if args.browser else XSession(program, args.wm, args.out))
            sessions[-1].construction_copy = args.screenshot_construction
            run_real_sky(sessions[-1], args.screenshot_real_sky)
            log("passed (%s): the real sky" % sessions[-1].label)
            return 0
        s = BrowserSession(program, args.out) if args.browser else XSession(program, args.wm, args.out)
        sessions.append(s)
        s.worksheet_copy = args.screenshot_worksheet
        figures = run(s, args.screenshot, args.screenshot_sky_strip)
        if args.browser:  # then the browser's pages, in a browser of their own
            sessions.append(BrowserSession(program, os.path.join(args.out, "pages")))
            os.makedirs(sessions[-1].out, exist_ok=True)
            sessions[-1].start()
            run_pages(sessions[-1], args.screenshot_wide)
        # The real sky, in a session of its own.
        out = os.path.join(args.out, "real-sky")
        os.makedirs(out, exist_ok=True)
        sessions.append(BrowserSession(program, out) if args.browser else XSession(program, args.wm, out))
        run_real_sky(sessions[-1], args.screenshot_real_sky)
    except Skipped as e:
        log("SKIPPED: %s" % e)
        return SKIP
    except Failed as e:
        s = sessions[-1]
        if s.last_shot is None and s.can_shoot():
            try:
                s.shot()
            except Failed:
                pass
        path = s.save_shot("failure.png")
        log("FAILED: %s" % e)
        log("the last screenshot: %s" % path)
        report = s.window_report()
        if report:
            log(report)
        for name in s.logs:
            try:
                text = open(name, errors="replace").read().strip()
            except OSError:
                continue
            if text:
                log("--- %s\n%s" % (name, text[-3000:]))
        return 1
    finally:
        for s in sessions:
            s.close()
    log("passed (%s): start to title screen %d ms, %s %.1f MB, quit to exit %d ms"
        % (s.label, figures["title_ms"], figures["memory"], figures["memory_mb"], figures["quit_ms"]))
    with open(os.path.join(args.out, "figures.txt"), "w") as f:
        f.write("start to title screen: %d ms\n%s: %.1f MB\nquit to exit: %d ms\n"
                % (round(figures["title_ms"]), figures["memory"], figures["memory_mb"], round(figures["quit_ms"])))
    return 0


if __name__ == "__main__":
    sys.exit(main())
