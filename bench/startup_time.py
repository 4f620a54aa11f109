#!/usr/bin/python3
"""Start-up time: from the start of the process to its window shown on the
screen, for corvan-player beside two other desktop audio players started on
the same private desktop in the same run. Budget: at most half of the
faster reference, and under 300 ms.

    startup_time.py [--player BUILD/corvan-player] [--runs 11]

The reference players are installed for this benchmark only (apt-get), when
missing; the test command never installs them. Each program is started once
before it is measured, so caches (GStreamer's plugin registry, fonts) are
warm for all; then the programs take turns, one start each per round, so
that a slower or busier spell of the machine falls on all of them alike.

A window counts as shown when the X server reports the map of a top-level
window holding a window of the program's class: the moment is taken when
that event arrives, so no polling delay is added to any program, and the
thread that waits for it runs ahead of the programs (a higher priority) so
that it reads the event when it comes rather than when a busy program lets
it.

An empty frameless window on the same toolkit (bench/bare_window) is
measured beside them when it is built: the floor that no program on Qt
Widgets goes below, as a ratio to the fastest reference too.

corvan-player shows its window in its skin first and draws its controls a
moment later; for it the benchmark also reports when the folder list is
drawn (polled from the screen every few milliseconds, so a little late).
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
OURS_CLASS = "corvan-player"
FLOOR = "empty Qt window"
# A strip of the folder list (Dir1), in window pixels: the skin shows there
# until the controls are drawn.
CONTROLS_STRIP = (26, 92, 140, 36)


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


def find_class(window, wm_class):
    """`window` or the window inside it (the window manager's frame holds the
    program's window) whose class name is `wm_class`; None when there is none."""
    from Xlib.error import XError
    try:
        names = window.get_wm_class()
        if names and names[0] == wm_class:
            return window
        for child in window.query_tree().children:
            found = find_class(child, wm_class)
            if found is not None:
                return found
        return None
    except XError:
        return None  # the window went away meanwhile


def strip_pixels(window):
    from Xlib import X
    from Xlib.error import XError
    x, y, w, h = CONTROLS_STRIP
    try:
        return window.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
    except XError:
        return None


def controls_drawn(window, start, settle=1.5, interval=0.004):
    """When the controls strip last changed before settling, in seconds from
    `start`: polled from the screen until it stays as it is for `settle`."""
    samples = []
    last_change = time.monotonic()
    while time.monotonic() - last_change < settle:
        pixels = strip_pixels(window)
        now = time.monotonic()
        if not samples or pixels != samples[-1][1]:
            samples.append((now, pixels))
            last_change = now
        time.sleep(interval)
    return samples[-1][0] - start


def time_to_window(desk, args, wm_class, cwd, timeout=20.0, controls=False):
    """Seconds from the start to the window shown, and, when `controls`,
    to its controls drawn."""
    from Xlib import X, display
    screen = display.Display(desk.display)
    root = screen.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    screen.sync()
    log = os.path.join(desk.logs, os.path.basename(args[0]) + ".log")
    start = time.monotonic()
    child = desk.procs.start(args, env=desk.env(), cwd=cwd, log_path=log)
    # Niceness is per thread on Linux: only this thread runs ahead; the
    # program started with the default.
    os.setpriority(os.PRIO_PROCESS, 0, -10)
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
                # Timed as it arrives: finding whose window it is takes round
                # trips to the X server, which may still be busy with the
                # program's own first requests.
                arrived = time.monotonic()
                if event.type != X.MapNotify:
                    continue
                window = find_class(event.window, wm_class)
                if window is None:
                    continue
                shown = arrived - start
                drawn = controls_drawn(window, start) if controls else None
                return shown, drawn
    finally:
        os.setpriority(os.PRIO_PROCESS, 0, 0)
        screen.close()
        desk.procs.stop(child)
        # Let the window manager forget the window before the next start.
        time.sleep(0.3)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--player", default=os.path.join(here, "..", "build", "corvan-player"))
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--bare", help="an empty window on the same toolkit (BUILD/bench/bare_window), "
                        "measured beside the others as the floor; by default the one beside --player")
    opts = parser.parse_args()
    player = os.path.abspath(opts.player)
    bare = opts.bare or os.path.join(os.path.dirname(player), "bench", "bare_window")
    ensure_references()

    programs = {"corvan-player": ([player], OURS_CLASS)}
    programs.update({name: ([name], cls) for name, cls in REFERENCES.items()})
    if os.access(bare, os.X_OK):
        programs[FLOOR] = ([os.path.abspath(bare)], "bare_window")
    shown = {name: [] for name in programs}
    drawn = []
    with tempfile.TemporaryDirectory(prefix="corvan-startup-") as work, Desktop(work) as desk:
        music = os.path.join(work, "music")
        os.makedirs(music)
        for args, cls in programs.values():
            time_to_window(desk, args, cls, music)  # warm-up
        for _ in range(opts.runs):
            for name, (args, cls) in programs.items():
                ours = name == "corvan-player"
                try:
                    window, controls = time_to_window(desk, args, cls, music, controls=ours)
                except RuntimeError:
                    if ours:
                        raise
                    # A reference that keeps one instance may still be
                    # letting go of the last one: it gets a second start.
                    window, controls = time_to_window(desk, args, cls, music)
                shown[name].append(window)
                if ours:
                    drawn.append(controls)

    median = {name: statistics.median(times) for name, times in shown.items()}
    ours = median.pop("corvan-player")
    floor = median.pop(FLOOR, None)
    fastest = min(median.values())
    for name, seconds in median.items():
        print(f"reference {name:<12} {seconds * 1e3:8.1f} ms")
    ratio = ours / fastest
    kept = ours <= fastest / 2 and ours < BUDGET_S
    print(f"corvan-player          {ours * 1e3:8.1f} ms | fastest reference {fastest * 1e3:.1f} ms | "
          f"ratio {ratio:.2f} (budget 0.5) | under {BUDGET_S * 1e3:.0f} ms: {'kept' if kept else 'MISSED'}")
    if floor is not None:
        print(f"floor: empty Qt window  {floor * 1e3:8.1f} ms | ratio to the fastest reference {floor / fastest:.2f}")
    print(f"corvan-player controls drawn {statistics.median(drawn) * 1e3:8.1f} ms (median of {len(drawn)}, "
          f"window shown in its skin first)")
    return 0 if kept else 1


if __name__ == "__main__":
    sys.exit(main())
