"""One scenario's world: the private desktop, the recording of the sound
sink, the program under test and the oracle, and the actions and checks a
scenario is written in ("click Command11", "double-click entry b.wav",
"choose Play List > Save List", "expect the tone of b.wav", "expect Label1 to
read b.wav"). Every wait is bounded.
"""

import os
import shutil
import tempfile
import time

import numpy

import media
import sound
from desktop import Desktop, wait_until
from player import CheckFailed, Oracle, Player, Screen, TITLE, write_ppm

# Where File1 lies after a double-click has put it into the list layout.
LIST_LAYOUT = (25, 60, 355)
# Where the window opens on the screen.
DESIGN_ORIGIN = (554, 19)


def _holds_class(window, name):
    """Whether `window` or a window inside it (a window manager's frame)
    has the class `name`."""
    from Xlib.error import XError
    try:
        names = window.get_wm_class()
        if names and names[0] == name:
            return True
        return any(_holds_class(child, name) for child in window.query_tree().children)
    except XError:
        return False


class BuildArgs:
    """What a Session needs from a build tree with the tests, for programs
    that drive the player outside run.py (the benchmarks)."""

    def __init__(self, build, work):
        self.player = os.path.join(build, "corvan-player")
        self.oracle = os.path.join(build, "corvan_e2e_oracle")
        self.media = os.path.join(build, "test-media")
        self.work = work
        self.t0 = time.monotonic()


class Session:
    def __init__(self, args, name, record_rate=sound.RATE, record_channels=sound.CHANNELS):
        self.args = args
        self._record = (record_rate, record_channels)
        self.name = name
        self.work = os.path.join(args.work, name)
        os.makedirs(self.work, exist_ok=True)
        self.desktop = None
        self.screen = None
        self.rec = None
        self.player = None
        self.oracle = None
        self.tones = {}
        self._mask = None
        self._skin = None
        self._file1 = None
        self.steps = []
        self._short = None

    # --- the world ---------------------------------------------------------
    def __enter__(self):
        self.desktop = Desktop(self.work).__enter__()
        self.screen = Screen(self.desktop)
        self.rec = sound.Recorder(self.desktop, os.path.join(self.work, "sink.raw"), *self._record)
        return self

    def __exit__(self, kind, value, trace):
        if kind is not None and self.screen is not None:
            # What the screen showed when the scenario failed.
            try:
                write_ppm(os.path.join(self.work, "failure-screen.ppm"),
                          self.screen.grab(0, 0, self.desktop.width, self.desktop.height))
                # And which windows were there, with their places and names.
                with open(os.path.join(self.work, "failure-windows.txt"), "w") as out:
                    out.write(self.screen.run("xwininfo", "-root", "-tree", check=False))
            except Exception:
                pass
        if self.desktop:
            self.desktop.close()
        if self._short:
            shutil.rmtree(self._short, ignore_errors=True)

    def log(self, text):
        stamp = f"[{time.monotonic() - self.args.t0:6.1f} s] {text}"
        self.steps.append(stamp)
        print(stamp, flush=True)

    def media(self, sub):
        return os.path.join(self.work, "media", sub)

    def short_folder(self, name):
        """A fresh folder with a short path (under /tmp), removed at the end."""
        if self._short is None:
            self._short = tempfile.mkdtemp(prefix="cv")
        return media.fresh(os.path.join(self._short, name))

    def test_media(self, *parts):
        return os.path.join(self.args.media, *parts)

    def start(self, folder, args=(), label1="Corvan Media Player", shows=None, env=None):
        """Starts the program in `folder` with `args` (and `env` added to its
        environment), and the oracle beside it; the window is taken to be
        ready when Label1 reads `label1`, and its file list to show the
        folder `shows` (by default `folder`)."""
        self.log(f"start the player in {os.path.relpath(folder, self.work)}" +
                 (f" with {' '.join(args)}" if args else ""))
        if self.oracle is None:
            self.oracle = Oracle(self.desktop, self.args.oracle, folder, self.work)
        self.player = Player(self.desktop, self.screen, self.args.player, folder, args=args, env=env)
        if shows:
            self.player.folder = shows
        self._file1 = None
        x, y, w, h = self.oracle.place("File1")
        self.file1_place = (x, y, w, h)
        self.list1_place = self.oracle.place("List1")
        # The window shows in its skin first and gets its controls a moment
        # later: a scenario begins once they are drawn.
        self.expect_text("Label1", label1, timeout=10)
        return self.player

    def start_with_input_at_map(self, folder, send):
        """Starts the program in `folder` and, the moment the X server
        reports its window mapped, calls `send(origin)` with the window's
        designed place: the input goes out before the program has had a
        chance to draw anything. Returns when the window is drawn."""
        from Xlib import X, display
        self.log(f"start the player in {os.path.relpath(folder, self.work)}, input at the map")
        if self.oracle is None:
            self.oracle = Oracle(self.desktop, self.args.oracle, folder, self.work)
        watch = display.Display(self.desktop.display)
        watch.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        watch.sync()
        self.player = Player(self.desktop, self.screen, self.args.player, folder, wait=False)
        deadline = time.monotonic() + 20
        try:
            while True:
                if time.monotonic() > deadline:
                    raise CheckFailed("the player's window was never mapped")
                event = watch.next_event()
                if event.type == X.MapNotify and _holds_class(event.window, "corvan-player"):
                    break
            send(DESIGN_ORIGIN)
        finally:
            watch.close()
        self.player.find_window()
        self._file1 = None
        self.file1_place = self.oracle.place("File1")
        self.list1_place = self.oracle.place("List1")
        return self.player

    # --- where things are ----------------------------------------------------
    def origin(self):
        return self.player.origin()

    def center(self, control):
        x, y, w, h = self.oracle.place(control)
        ox, oy = self.origin()
        # The visible part only: a few controls reach past the window's edge.
        ww, wh = self.oracle.size()
        w = min(w, ww - x)
        h = min(h, wh - y)
        return ox + x + w // 2, oy + y + h // 2

    def skin(self):
        """The skin picture, and the window's outline as a mask of the
        window's size: the pixels not of the cut-away colour."""
        if self._skin is None:
            picture, key = self.oracle.skin()
            self._skin = picture
            width, height = self.oracle.size()
            self._mask = numpy.zeros((height, width), dtype=bool)
            kept = numpy.any(picture != numpy.array(key, dtype=numpy.uint8), axis=2)
            h, w = min(height, kept.shape[0]), min(width, kept.shape[1])
            self._mask[:h, :w] = kept[:h, :w]
        return self._skin, self._mask

    def file1_rows(self):
        if self._file1 is None:
            answer = self.oracle.rows("File1", folder=self.player.folder, place=list(self.file1_place))
            self._file1 = dict(zip(answer["names"], answer["rows"]))
        return self._file1

    # --- input -------------------------------------------------------------
    def click(self, control, button=1):
        self.log(f"click {control}" + (" (right button)" if button != 1 else ""))
        x, y = self.center(control)
        self.screen.click(x, y, button)
        time.sleep(0.15)

    def select_entry(self, name):
        self.log(f"click entry {name}")
        x, y, w, h = self._row(name)
        ox, oy = self.origin()
        self.screen.click(ox + x + min(w, 60) // 2, oy + y + h // 2)
        time.sleep(0.2)

    def double_click_entry(self, name):
        self.log(f"double-click entry {name}")
        x, y, w, h = self._row(name)
        ox, oy = self.origin()
        self.screen.double_click(ox + x + min(w, 60) // 2, oy + y + h // 2)
        # The double-click puts the file list into the list layout.
        self.file1_place = LIST_LAYOUT + (self.file1_place[3],)
        self._file1 = None
        time.sleep(0.2)

    def _row(self, name):
        rows = self.file1_rows()
        if name not in rows:
            raise CheckFailed(f"{name} is not among the visible entries {sorted(rows)}")
        return rows[name]

    def key(self, *keys):
        self.log("key " + " ".join(keys))
        self.screen.key(*keys)
        time.sleep(0.15)

    def popup(self, *path, at="Label1"):
        """Right-clicks `at` and chooses the menu path, for example
        ("mnupopupplaylist", "mnupopupsavelist"), clicking each item at the
        place where the menu shows it."""
        x, y = self.popup_to(*path, at=at)
        self.screen.click(x, y)
        time.sleep(0.3)

    def popup_to(self, *path, at="Label1"):
        """Opens the menus of `path` up to its last item and returns where
        that item shows, without choosing it."""
        self.log("popup " + " > ".join(path))
        menus = self.oracle.menus()
        x, y = self.center(at)
        before = set(self._popup_windows())
        self.screen.click(x, y, 3)
        menu = "mnupopup"
        for i, item in enumerate(path):
            size = menus[menu]["size"]
            where = wait_until(lambda: self._new_menu(before, size), 5,
                               what=f"the menu {menu} to open")
            before.add(where[0])
            rx, ry, rw, rh = menus[menu]["items"][item]
            spot = (where[1] + rx + min(rw, 40) // 2, where[2] + ry + rh // 2)
            if i + 1 == len(path):
                self.screen.move(*spot)
                return spot
            self.screen.click(*spot)
            menu = item

    def _popup_windows(self):
        """The top-level windows of the display, by id."""
        out = self.screen.run("xwininfo", "-root", "-children", check=False)
        return {int(line.split()[0], 16) for line in out.splitlines()
                if line.strip().startswith("0x")}

    def _new_menu(self, before, size):
        """The newly mapped top-level window of the menu's size, as (id, x, y)."""
        for wid in self._popup_windows():
            if wid in before:
                continue
            try:
                x, y, w, h = self.screen.geometry(wid)
            except Exception:
                continue
            out = self.screen.run("xwininfo", "-id", str(wid), check=False)
            if "IsViewable" not in out:
                continue
            if abs(w - size[0]) <= 2 and abs(h - size[1]) <= 2:
                return wid, x, y
        return None

    # --- what shows ----------------------------------------------------------
    def crop(self, image, control):
        """The visible part of a control from a picture of the whole window."""
        x, y, w, h = self.oracle.place(control)
        ww, wh = self.oracle.size()
        w, h = min(w, ww - x), min(h, wh - y)
        return image[y:y + h, x:x + w]

    def shown(self, control):
        """The control's visible part as the screen shows it, and the mask of
        the pixels compared there: those of the window's outline that no
        other control overlaps (neighbours share an edge here and there)."""
        x, y, w, h = self.oracle.place(control)
        ww, wh = self.oracle.size()
        w, h = min(w, ww - x), min(h, wh - y)
        ox, oy = self.origin()
        image = self.screen.grab(ox + x, oy + y, w, h)
        _skin, mask = self.skin()
        compared = mask[y:y + h, x:x + w].copy()
        # The outermost pixels belong to frames and neighbours as much as to
        # the control; what it shows lies inside them.
        compared[:1, :] = compared[-1:, :] = False
        compared[:, :1] = compared[:, -1:] = False
        for other, (cx, cy, cw, ch, _visible) in self.oracle.controls().items():
            left, top = max(cx, x), max(cy, y)
            right, bottom = min(cx + cw, x + w), min(cy + ch, y + h)
            if other == control or left >= right or top >= bottom:
                continue
            # A control that covers most of this one takes turns with it
            # (File1 and List1 share a place); the oracle shows the same one.
            if (right - left) * (bottom - top) * 2 > w * h:
                continue
            compared[top - y:bottom - y, left - x:right - x] = False
        return image, compared

    def expect_text(self, control, text, timeout=3.0):
        """Waits until the control shows `text` exactly as the oracle draws it."""
        self.expect_look(control, f"read {text!r}", {"set": {control: text}}, timeout)

    def expect_rows(self, control, rows, timeout=3.0):
        """Waits until the list `control` shows these rows, and only them,
        with nothing selected."""
        self.oracle.rows(control, items=rows)
        # The file list and the playlist share a place; one shows at a time.
        hide = [c for c in ("File1", "List1") if c != control]
        self.expect_look(control, f"list {len(rows)} rows", {"show": [control], "hide": hide}, timeout)

    def expect_look(self, control, what, render, timeout=3.0):
        """Waits until the control looks as the oracle draws it after the
        `render` request (texts to set, controls to show or hide)."""
        self.log(f"expect {control} to {what}")
        expected = self.crop(self.oracle.render(**render), control)
        self.screen.park_pointer()
        _image, compared = self.shown(control)
        if compared.mean() < 0.5:
            raise RuntimeError(f"{control} is mostly covered; it cannot be read")
        last = [None]

        def matches():
            actual, mask = self.shown(control)
            last[0] = actual
            diff = numpy.abs(actual.astype(int) - expected.astype(int)).max(axis=2)
            return bool(numpy.all(diff[mask] <= 2))
        try:
            wait_until(matches, timeout, interval=0.15, what=f"{control} to {what}")
        except TimeoutError:
            base = os.path.join(self.work, f"{control}-{len(self.steps)}")
            write_ppm(base + "-expected.ppm", expected)
            write_ppm(base + "-actual.ppm", last[0])
            write_ppm(base + "-screen.ppm",
                      self.screen.grab(0, 0, self.desktop.width, self.desktop.height))
            raise CheckFailed(f"{control} does not {what} within {timeout} s "
                              f"(see {base}-actual.ppm and -expected.ppm)")

    # --- what sounds -------------------------------------------------------
    def expect_tone(self, name, timeout=4.0, listen=0.3):
        """Waits until the sink plays the tone of file `name`."""
        self.log(f"expect to hear {name}")
        hz = self.tones[name]
        heard = [None]

        def sounding():
            stretch = self.rec.record(listen)
            found = [f for _s, f in stretch.tones() if f is not None]
            heard[0] = found
            return len(found) >= 3 and all(abs(f - hz) <= 0.04 * hz for f in found[-3:])
        try:
            wait_until(sounding, timeout, interval=0.0, what=f"the tone of {name}")
        except TimeoutError:
            raise CheckFailed(f"did not hear {name} ({hz} Hz) within {timeout} s; "
                              f"last heard {self._describe(heard[0])}")

    def expect_sound(self, timeout=4.0, listen=0.3, what="sound"):
        self.log(f"expect {what} at the sink")
        last = [None]

        def sounding():
            last[0] = self.rec.record(listen).level()
            return last[0] > sound.SILENCE_DB
        try:
            wait_until(sounding, timeout, interval=0.0, what=what)
        except TimeoutError:
            raise CheckFailed(f"no {what} reached the sink within {timeout} s "
                              f"(level {last[0]:.1f} dBFS)")

    def expect_silence(self, timeout=3.0, listen=0.4):
        self.log("expect silence")
        last = [None]

        def silent():
            last[0] = self.rec.record(listen).level()
            return last[0] < sound.SILENCE_DB
        try:
            wait_until(silent, timeout, interval=0.0, what="silence")
        except TimeoutError:
            raise CheckFailed(f"the sink did not fall silent within {timeout} s "
                              f"(level {last[0]:.1f} dBFS)")

    def hear(self, seconds):
        """Records `seconds` and returns which known tones sounded."""
        stretch = self.rec.record(seconds)
        return stretch.sequence(self.tones)

    @staticmethod
    def _describe(found):
        if not found:
            return "silence"
        return ", ".join(f"{f:.0f} Hz" for f in found[-4:])

    # --- ending ------------------------------------------------------------
    def expect_exit(self, timeout=5.0):
        self.log("expect the program to end")
        status = self.player.wait_exit(timeout)
        if status is None:
            raise CheckFailed(f"the program still runs {timeout} s later")
        if status != 0:
            raise CheckFailed(f"the program ended with status {status}")
        wait_until(lambda: not self.screen.windows(f"^{TITLE}$"), 3,
                   what="the window to go")
