#!/usr/bin/python3
"""Control to ear: for each sound control of the window, the seconds from
the click (or key, or menu choice) to the change heard at the sound server,
beside the sound output's own latency in the same run.

    control_latency.py --build BUILD [--repeat 3]

BUILD is a build tree with the tests (the player and the test oracle, which
knows where each control and menu item shows). The player runs in a private
X server with a window manager and a private sound server whose null sink is
recorded from its monitor (tests/e2e). It plays test tones made for the
measurement (tests/e2e/latency.py tells how each change is recognised).
Clicks and keys are sent straight to the X server (XTEST) the moment the
recording is marked.

Budget: every control is heard within 0.25 s (the slowest of --repeat
tries counts).
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import latency  # noqa: E402
from session import BuildArgs, Session  # noqa: E402

BUDGET_S = 0.25


class Instant:
    """Input sent to the X server at once, with no helper process between."""

    def __init__(self, display):
        from Xlib import display as xdisplay
        self.display = xdisplay.Display(display)

    def click(self, button=1):
        from Xlib import X
        from Xlib.ext import xtest
        xtest.fake_input(self.display, X.ButtonPress, button)
        xtest.fake_input(self.display, X.ButtonRelease, button)
        self.display.sync()

    def key(self, keysym_name):
        from Xlib import X, XK
        from Xlib.ext import xtest
        code = self.display.keysym_to_keycode(XK.string_to_keysym(keysym_name))
        xtest.fake_input(self.display, X.KeyPress, code)
        xtest.fake_input(self.display, X.KeyRelease, code)
        self.display.sync()


def output_latency(s):
    """The sound output's own latency: what the sound server holds of the
    player's stream before the sink plays it, in seconds."""
    out = subprocess.run(["pactl", "list", "sink-inputs"], env=s.desktop.env(),
                         capture_output=True, text=True).stdout
    buffer = re.search(r"Buffer Latency: (\d+) usec", out)
    sink = re.search(r"Sink Latency: (\d+) usec", out)
    if not buffer:
        return None
    return (int(buffer.group(1)) + (int(sink.group(1)) if sink else 0)) / 1e6


def measure(s, send, recognise, settle=1.2):
    """Sends the input at a mark of the recording and returns the seconds
    until `recognise(before, after)` finds the change in what follows."""
    time.sleep(0.6)
    mark = s.rec.mark()
    send()
    end = s.rec.wait(settle)
    before = latency.Trace(s.rec.stretch(max(0, mark - int(1.0 * s.rec.rate) * s.rec.frame), mark))
    after = latency.Trace(s.rec.stretch(mark, end))
    return recognise(before, after)


def level_change(channel, change_db):
    def recognise(before, after):
        old = latency.level_before(before, channel)
        holds = latency.heard_level(old, channel, change_db)
        i = after.first(lambda k: holds(after, k))
        return None if i is None else after.seconds(i)
    return recognise


def both_levels(change_db):
    left, right = level_change("left", change_db), level_change("right", change_db)

    def recognise(before, after):
        a, b = left(before, after), right(before, after)
        return None if a is None or b is None else max(a, b)
    return recognise


def pitch_jump(seconds):
    def recognise(before, after):
        last = len(before) - 10
        start_hz = before.pitch(last)
        expected = start_hz + latency.CHIRP_HZ_PER_S * seconds
        # The sweep moves on by itself; a jump of the position stands out.
        i = after.first(lambda k: (hz := after.pitch(k)) is not None
                        and abs(hz - expected) < 60, hold=3)
        return None if i is None else after.seconds(i)
    return recognise


def speed_change(old_rate):
    return lambda before, after: latency.speed_heard(before, after, old_rate)


def run(s, instant, rounds):
    folder = s.short_folder("latency")
    latency.make_steady(os.path.join(folder, "steady.wav"))
    latency.make_chirp(os.path.join(folder, "chirp.wav"))
    latency.make_envelope(os.path.join(folder, "envelope.wav"))
    s.start(folder)
    results = {}

    def at(control, recognise, what, button=1):
        s.screen.move(*s.center(control))
        results.setdefault(what, []).append(measure(s, lambda: instant.click(button), recognise))

    def item(path, recognise, what):
        x, y = s.popup_to(*path)
        time.sleep(0.2)
        results.setdefault(what, []).append(measure(s, instant.click, recognise))

    def key(name, recognise, what):
        results.setdefault(what, []).append(measure(s, lambda: instant.key(name), recognise))

    s.double_click_entry("steady.wav")
    s.expect_sound(timeout=5)
    sink = output_latency(s)
    for _ in range(rounds):
        at("Option1", level_change("left", None), "balance R")
        at("Option3", level_change("right", None), "balance L")
        at("Option2", level_change("right", +30), "balance C")
        at("Command19", both_levels(+1), "volume up (button)")
        at("Command20", both_levels(-1), "volume down (button)")
        item(("mnupopupvolume", "mnupopupvolumeinc"), both_levels(+2), "volume up (menu)")
        item(("mnupopupvolume", "mnupopupvolumedec"), both_levels(-2), "volume down (menu)")
        s.select_entry("steady.wav")
        key("KP_Add", both_levels(+2), "volume up (key +)")
        key("minus", both_levels(-2), "volume down (key -)")
        at("Label11", level_change("left", None), "mute")
        at("Label11", level_change("left", +30), "unmute")
        at("Command14", level_change("left", None), "pause")
        item(("mnuplaystatus", "mnupopupresume"), level_change("left", +30), "resume")

    s.double_click_entry("chirp.wav")
    s.expect_sound(timeout=5)
    time.sleep(1.0)
    for _ in range(rounds):
        at("Command23", pitch_jump(+10), "seek forward 10 s")
        at("Command22", pitch_jump(-10), "seek back 10 s")

    s.double_click_entry("envelope.wav")
    s.expect_sound(timeout=5)
    speeds = [("mnupopup25", 0.3, "-25"), ("mnupopup50", 0.5, "-50"), ("mnupopup100", 1.0, "100"),
              ("mnupopup150", 1.2, "+150"), ("mnupopup200", 2.0, "+200"), ("mnupopup100", 1.0, "100")]
    rate = 1.0
    for _ in range(rounds):
        for name, new_rate, caption in speeds:
            item(("mnupopupspeed", name), speed_change(rate), f"speed {caption} (from {rate:g})")
            rate = new_rate
    return results, sink


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True, help="a build tree with the tests")
    parser.add_argument("--repeat", type=int, default=3)
    opts = parser.parse_args()
    build = os.path.abspath(opts.build)
    with tempfile.TemporaryDirectory(prefix="corvan-latency-") as work:
        args = BuildArgs(build, work)
        with Session(args, "control-latency") as s:
            instant = Instant(s.desktop.display)
            results, sink = run(s, instant, opts.repeat)
    print(f"sound output's own latency: {sink * 1e3:.0f} ms" if sink is not None
          else "sound output's own latency: not reported")
    kept = True
    for what, times in results.items():
        worst = None if any(t is None for t in times) else max(times)
        ok = worst is not None and worst <= BUDGET_S
        kept &= ok
        shown = "not heard" if worst is None else f"{worst:.3f} s"
        ratio = f"  ({worst / sink:.2f} x the output's latency)" if worst and sink else ""
        print(f"{what:<28} {shown:>10}{ratio}{'' if ok else '  MISSED'}")
    print(f"budget {BUDGET_S} s: {'kept' if kept else 'MISSED'}")
    return 0 if kept else 1


if __name__ == "__main__":
    sys.exit(main())
