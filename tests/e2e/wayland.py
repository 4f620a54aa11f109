"""A Wayland compositor inside the private desktop: Debian's weston, drawing
with its software renderer into a window of the suite's X server, so that
the pointer and the keys reach its clients through the X server (xdotool),
and its pictures come from its own screenshot protocol (weston-screenshooter,
which weston offers when started with --debug). Weston's headless backend
would need no X server but has no seat: no pointer, no keyboard, so nothing
could be clicked.

The player runs as a Wayland client (QT_QPA_PLATFORM=wayland). Weston places
its window where it likes; the window is found in the screenshot by its skin.
"""

import glob
import os
import re
import subprocess
import tempfile
import time

import numpy

from desktop import wait_until
from player import read_ppm

# The desktop's colour behind every window; no pixel of the skin has it.
BACKDROP = (0, 255, 0)
WIDTH, HEIGHT = 1024, 768

_CONFIG = f"""[core]
shell=desktop-shell.so
idle-time=0

[shell]
background-color=0xff{BACKDROP[0]:02x}{BACKDROP[1]:02x}{BACKDROP[2]:02x}
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
"""


class Compositor:
    """weston on the desktop's X server; `env()` is a Wayland client's."""

    socket = "corvan-e2e-wayland"

    def __init__(self, desktop, screen):
        self.desktop = desktop
        self.screen = screen
        self.place = None
        config = os.path.join(desktop.work, "weston.ini")
        with open(config, "w") as f:
            f.write(_CONFIG)
        self.child = desktop.procs.start(
            ["weston", "--backend=x11-backend.so", "--use-pixman", "--debug", "--idle-time=0",
             f"--socket={self.socket}", f"--config={config}", f"--width={WIDTH}", f"--height={HEIGHT}"],
            env=desktop.env(), log_path=os.path.join(desktop.logs, "weston.log"))
        runtime = desktop.env()["XDG_RUNTIME_DIR"]
        wait_until(lambda: os.path.exists(os.path.join(runtime, self.socket)), 10, what="weston's socket")
        window = wait_until(lambda: self._window(os.path.join(desktop.logs, "weston.log")), 10,
                            what="weston's window")
        # Placed by the window manager a moment after it maps.
        time.sleep(0.3)
        x, y, _w, _h = screen.geometry(window)
        self.place = (x, y)
        # The desktop is drawn once the shell has started.
        wait_until(lambda: self._backdrop_shown(), 10, what="weston's desktop")
        self._align_pointer()

    @staticmethod
    def _window(log):
        """The X window weston draws into, as its log names it."""
        with open(log, errors="replace") as f:
            match = re.search(r"x11 output \d+x\d+, window id (\d+)", f.read())
        return int(match.group(1)) if match else None

    def env(self):
        return dict(self.desktop.env(), WAYLAND_DISPLAY=self.socket, QT_QPA_PLATFORM="wayland")

    def running(self):
        return self.child.poll() is None

    def _backdrop_shown(self):
        try:
            image = self.screenshot()
        except (RuntimeError, subprocess.SubprocessError):
            return False
        return bool((image == numpy.array(BACKDROP, dtype=numpy.uint8)).all(axis=2).mean() > 0.5)

    def screenshot(self):
        """What weston shows, from its screenshot protocol."""
        with tempfile.TemporaryDirectory(prefix="corvan-e2e-shot-") as folder:
            done = subprocess.run(["weston-screenshooter"], env=self.env(), cwd=folder,
                                  capture_output=True, text=True, timeout=20)
            shots = glob.glob(os.path.join(folder, "*.png"))
            if done.returncode != 0 or not shots:
                raise RuntimeError(f"weston-screenshooter failed: {done.stderr.strip()}")
            data = subprocess.run(["convert", shots[0], "-depth", "8", "ppm:-"], capture_output=True,
                                  check=True, timeout=20).stdout
        return read_ppm(data)

    # --- input, in the compositor's pixels -----------------------------------
    def _align_pointer(self):
        """Weston's X11 backend moves its pointer by the X pointer's steps
        inside its window, from wherever its own pointer was: pushed into
        one corner, the two pointers meet there and move together after."""
        self.move(WIDTH - 1, HEIGHT - 1)
        time.sleep(0.1)
        for step in (WIDTH // 2, 0):
            self.move(step, step * HEIGHT // WIDTH)
            time.sleep(0.1)

    def at(self, x, y):
        """The X screen's point for the compositor's (x, y)."""
        return self.place[0] + x, self.place[1] + y

    def click(self, x, y, button=1):
        self.move(x, y)
        self.screen.click(*self.at(x, y), button)

    def double_click(self, x, y):
        self.move(x, y)
        self.screen.double_click(*self.at(x, y))

    def move(self, x, y):
        """Moves the pointer, inside the compositor's window only (see
        _align_pointer)."""
        x, y = min(max(x, 0), WIDTH - 1), min(max(y, 0), HEIGHT - 1)
        self.screen.move(*self.at(x, y))


def window_outline(image, least=40):
    """The bounding box (x, y, width, height) of the large shape on the
    backdrop: rows and columns with at least `least` pixels off the backdrop
    (the pointer's arrow has fewer)."""
    shown = numpy.any(image != numpy.array(BACKDROP, dtype=numpy.uint8), axis=2)
    return box(shown, least), shown


def box(mask, least=40):
    rows = numpy.nonzero(mask.sum(axis=1) >= least)[0]
    cols = numpy.nonzero(mask.sum(axis=0) >= least)[0]
    if rows.size == 0 or cols.size == 0:
        return None
    return int(cols[0]), int(rows[0]), int(cols[-1] - cols[0] + 1), int(rows[-1] - rows[0] + 1)

