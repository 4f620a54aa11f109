"""Driving the real program as a person would, and seeing what they would see.

Input goes through the X server only (xdotool: pointer moves, clicks,
double-clicks, drags, keys with their modifiers). What the window shows is
read from screenshots of the X screen (ImageMagick's import), cropped at a
control's place and compared with the oracle's rendering of that control with
the expected text (oracle.cpp); text boxes of the tag window are read the way
a person copies them, through the clipboard.
"""

import json
import os
import re
import subprocess
import time

import numpy

from desktop import wait_until

TITLE = "Corvan Media Player"


class CheckFailed(AssertionError):
    pass


def read_ppm(data):
    """A binary PPM (P6) as an array of rows x columns x RGB."""
    match = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(255)\s", data)
    if not match:
        raise ValueError("not a binary PPM")
    width, height = int(match.group(1)), int(match.group(2))
    pixels = numpy.frombuffer(data, dtype=numpy.uint8, count=width * height * 3,
                              offset=match.end())
    return pixels.reshape(height, width, 3)


def write_ppm(path, image):
    height, width = image.shape[:2]
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(numpy.ascontiguousarray(image, dtype=numpy.uint8).tobytes())


class Screen:
    """The X display: pointer, keyboard, clipboard and screenshots."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.env = desktop.env()

    def run(self, *args, check=True, timeout=20):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                                timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def xdotool(self, *args, check=True):
        return self.run("xdotool", *[str(a) for a in args], check=check)

    # --- pointer -------------------------------------------------------------
    def pointer(self):
        out = self.xdotool("getmouselocation", "--shell")
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values.get("WINDOW", "0"))

    def move(self, x, y):
        # --sync waits for the pointer to arrive, and waits long when it is
        # already there.
        if self.pointer()[:2] != (x, y):
            self.xdotool("mousemove", "--sync", x, y)

    def click(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("click", button)

    def instant_click(self, x, y, button=1, count=1):
        """Clicks at once, straight through the X server's test extension:
        no helper process stands between the call and the click."""
        from Xlib import X, display
        from Xlib.ext import xtest
        d = display.Display(self.desktop.display)
        try:
            xtest.fake_input(d, X.MotionNotify, x=x, y=y)
            for _ in range(count):
                xtest.fake_input(d, X.ButtonPress, button)
                xtest.fake_input(d, X.ButtonRelease, button)
            d.sync()
        finally:
            d.close()

    def double_click(self, x, y):
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("click", "--repeat", 2, "--delay", 80, 1)

    def drag(self, x, y, dx, dy, steps=8):
        self.move(x, y)
        time.sleep(0.05)
        self.xdotool("mousedown", 1)
        time.sleep(0.15)
        for i in range(1, steps + 1):
            self.move(x + dx * i // steps, y + dy * i // steps)
            time.sleep(0.03)
        time.sleep(0.15)
        self.xdotool("mouseup", 1)

    def park_pointer(self):
        """Moves the pointer off every window, so no tooltip or hover look
        stands over what is read next."""
        self.move(self.desktop.width - 2, self.desktop.height - 2)

    # --- keyboard ------------------------------------------------------------
    def key(self, *keys):
        self.xdotool("key", "--delay", 60, *keys)

    def type(self, text):
        self.xdotool("type", "--delay", 15, text)

    def clipboard(self):
        return self.run("xclip", "-o", "-selection", "clipboard", check=False, timeout=5)

    # --- what shows ----------------------------------------------------------
    def grab(self, x, y, width, height):
        data = subprocess.run(
            ["import", "-silent", "-window", "root", "-depth", "8", "-crop", f"{width}x{height}+{x}+{y}",
             "+repage", "ppm:-"], env=self.env, capture_output=True, check=True,
            timeout=20).stdout
        return read_ppm(data)

    def paint_desktop(self, rgb):
        """Gives the desktop behind every window one plain colour."""
        from Xlib import display
        d = display.Display(self.desktop.display)
        try:
            root = d.screen().root
            root.change_attributes(background_pixel=(rgb[0] << 16) | (rgb[1] << 8) | rgb[2])
            root.clear_area()
            d.sync()
        finally:
            d.close()

    def settled(self, x, y, width, height, timeout=5.0):
        """A picture of the area once two pictures in a row agree."""
        last = [None]

        def still():
            image = self.grab(x, y, width, height)
            same = last[0] is not None and numpy.array_equal(image, last[0])
            last[0] = image
            return same
        wait_until(still, timeout, interval=0.2, what="the screen to settle")
        return last[0]

    def windows(self, name):
        """X windows whose title matches the regular expression `name`."""
        out = self.xdotool("search", "--onlyvisible", "--name", name, check=False)
        return [int(w) for w in out.split()]

    def geometry(self, window):
        """Absolute place of a window's inside: x, y, width, height."""
        out = self.run("xwininfo", "-id", str(window))
        value = {}
        for key, pattern in (("x", r"Absolute upper-left X:\s+(-?\d+)"),
                             ("y", r"Absolute upper-left Y:\s+(-?\d+)"),
                             ("w", r"Width:\s+(\d+)"), ("h", r"Height:\s+(\d+)")):
            value[key] = int(re.search(pattern, out).group(1))
        return value["x"], value["y"], value["w"], value["h"]


class Oracle:
    """The window as expected (oracle.cpp), on the same display."""

    def __init__(self, desktop, program, folder, scratch):
        self.scratch = scratch
        self._count = 0
        self._child = desktop.procs.start(
            [program], env=desktop.env(), cwd=folder, stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, log_path=os.path.join(desktop.logs, "oracle.log"))
        self._layout = self.ask({"cmd": "layout"})
        self._menus = None

    def ask(self, request):
        self._child.stdin.write((json.dumps(request) + "\n").encode())
        self._child.stdin.flush()
        line = self._child.stdout.readline()
        if not line:
            raise RuntimeError("the oracle ended; see logs/oracle.log")
        answer = json.loads(line)
        if "error" in answer:
            raise RuntimeError(f"oracle: {answer['error']}")
        return answer

    def place(self, control):
        """x, y, width, height of a control in window coordinates."""
        x, y, w, h, _visible = self._layout["controls"][control]
        return x, y, w, h

    def size(self):
        return tuple(self._layout["size"])

    def controls(self):
        """Every control: name -> [x, y, width, height, visible at start]."""
        return self._layout["controls"]

    def menus(self):
        if self._menus is None:
            self._menus = self.ask({"cmd": "menus"})["menus"]
        return self._menus

    def rows(self, list_name, **request):
        return self.ask(dict({"cmd": "rows", "list": list_name}, **request))

    def render(self, **request):
        self._count += 1
        out = os.path.join(self.scratch, f"expected-{self._count}.ppm")
        self.ask(dict({"cmd": "render", "out": out}, **request))
        with open(out, "rb") as f:
            return read_ppm(f.read())

    def skin(self):
        out = os.path.join(self.scratch, "skin.ppm")
        answer = self.ask({"cmd": "skin", "out": out})
        with open(out, "rb") as f:
            return read_ppm(f.read()), tuple(answer["key"])


class Player:
    """One run of the program under test, in a folder of media."""

    def __init__(self, desktop, screen, program, folder, wait=True, args=(), env=None):
        self.desktop = desktop
        self.screen = screen
        self.folder = folder
        self.window = None
        self.child = desktop.procs.start([program, *args], env=dict(desktop.env(), **(env or {})), cwd=folder,
                                         log_path=os.path.join(desktop.logs, "player.log"))
        if wait:
            self.find_window()

    def find_window(self):
        self.window = wait_until(self._find_window, 20, interval=0.1,
                                 what="the player's window")
        # The first paint follows the map.
        time.sleep(0.4)

    def _find_window(self):
        if self.child.poll() is not None:
            raise CheckFailed(f"the player ended at start with status {self.child.returncode}")
        found = self.screen.windows(f"^{TITLE}$")
        return found[0] if found else None

    def origin(self):
        x, y, _w, _h = self.screen.geometry(self.window)
        return x, y

    def running(self):
        return self.child.poll() is None

    def wait_exit(self, timeout):
        try:
            return self.child.wait(timeout)
        except Exception:
            return None

    def stop(self):
        self.desktop.procs.stop(self.child)

    def memory_kb(self):
        with open(f"/proc/{self.child.pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmRSS")
