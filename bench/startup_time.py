#!/usr/bin/python3
"""Start-up time: from the start of the process to its window shown on the
screen, for corvan-player beside two other desktop audio players started on
the same private desktop in the same run. Budget: at most half of the
faster reference, and under 300 ms.

    startup_time.py [--player BUILD/corvan-player] [--runs 7]

The reference players are installed for this benchmark only (apt-get), when
missing; the test command never installs them. Each program is started once
before it is measured, so caches (GStreamer's plugin registry, fonts) are
warm for all. A window counts as shown when the X server reports the map of
a top-level window holding a window of the program's class: the moment is
taken from the X event itself, so no polling delay is added to any program.
"""

import argparse
import os
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from desktop import Desktop  # noqa: E402

BUDGET_S = 0.300
# Program and the class name (WM_CLASS instance) of its main window.
REFERENCES = {"audacious": "audacious", "qmmp": "player"}


def ensure_references():
    missing = [p for p in REFERENCES if not shutil.which(p)]
    try:
        import Xlib  # noqa: F401
    except ImportError:
        missing.append("python3-xlib")
    if missing:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", *missing],
                       check=True, env=env, stdout=subprocess.DEVNULL)


def holds_class(window, wm_class):
    """Whether `window` or a window inside it (the window manager's frame
    holds the program's window) has the class name `wm_class`."""
    from Xlib.error import XError
    try:
        names = window.get_wm_class()
        if names and names[0] == wm_class:
            return True
        return any(holds_class(w, wm_class) for w in window.query_tree().children)
    except XError:
        return False  # the window went away meanwhile


def time_to_window(desk, args, wm_class, cwd, timeout=20.0):
    from Xlib import X, display
    screen = display.Display(desk.display)
    root = screen.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    log = os.path.join(desk.logs, os.path.basename(args[0]) + ".log")
    start = time.monotonic()
    child = desk.procs.start(args, env=desk.env(), cwd=cwd, log_path=log)
    try:
        while True:
            if child.poll() is not None or time.monotonic() - start > timeout:
                with open(log, errors="replace") as f:
                    sys.stderr.write(f.read()[-2000:])
                raise RuntimeError(f"{args[0]} showed no window within {timeout} s")
            ready, _, _ = select.select([screen.fileno()], [], [], 0.05)
            while screen.pending_events() or ready:
                ready = None
                event = screen.next_event()
                if event.type == X.MapNotify and holds_class(event.window, wm_class):
                    return time.monotonic() - start
    finally:
        screen.close()
        desk.procs.stop(child)
        # Let the window manager forget the window before the next start.
        time.sleep(0.3)


def measure(desk, args, wm_class, cwd, runs):
    time_to_window(desk, args, wm_class, cwd)  # warm-up
    return statistics.median(time_to_window(desk, args, wm_class, cwd) for _ in range(runs))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--player", default=os.path.join(here, "..", "build", "corvan-player"))
    parser.add_argument("--runs", type=int, default=7)
    opts = parser.parse_args()
    player = os.path.abspath(opts.player)
    ensure_references()

    with tempfile.TemporaryDirectory(prefix="corvan-startup-") as work, Desktop(work) as desk:
        music = os.path.join(work, "music")
        os.makedirs(music)
        ours = measure(desk, [player], "corvan-player", music, opts.runs)
        refs = {name: measure(desk, [name], cls, music, opts.runs) for name, cls in REFERENCES.items()}

    fastest = min(refs.values())
    for name, seconds in refs.items():
        print(f"reference {name:<12} {seconds * 1e3:8.1f} ms")
    ratio = ours / fastest
    kept = ours <= fastest / 2 and ours < BUDGET_S
    print(f"corvan-player          {ours * 1e3:8.1f} ms | fastest reference {fastest * 1e3:.1f} ms | "
          f"ratio {ratio:.2f} (budget 0.5) | under {BUDGET_S * 1e3:.0f} ms: {'kept' if kept else 'MISSED'}")
    return 0 if kept else 1


if __name__ == "__main__":
    sys.exit(main())
