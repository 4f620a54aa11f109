#!/usr/bin/env python3
"""The player among the desktop's own tools, in a private desktop (desktop.py)
on the private session bus this script is run on (dbus-run-session):

  playerctl           the real program driven by playerctl and dbus-send, the
                      way media keys and sound menus drive it, judged by what
                      it answers and by what reaches the sound sink;
  installed_launcher  an install into a scratch prefix, started by the
                      command line of its desktop launcher.

    dbus-run-session -- desktop_bus.py --player BIN --build DIR --work DIR SCENARIO

Every wait is bounded; a scenario that fails says what it last saw.
"""

import argparse
import array
import configparser
import math
import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from desktop import Desktop, wait_until  # noqa: E402

TITLE = "Corvan Media Player"
BUS_NAME = "org.mpris.MediaPlayer2.corvan"
PATH = "/org/mpris/MediaPlayer2"
PLAYER = "org.mpris.MediaPlayer2.Player"
SILENCE_DB = -70.0


class CheckFailed(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


class World:
    """The desktop, the bus and the tools that talk to the player."""

    def __init__(self, work):
        self.work = work
        self.desktop = Desktop(work).__enter__()
        self.env = self.desktop.env()
        bus = os.environ.get("DBUS_SESSION_BUS_ADDRESS")
        if not bus:
            raise CheckFailed("no session bus: run this under dbus-run-session")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus
        self.player = None

    def close(self):
        self.desktop.close()

    def log(self, text):
        print(f"[{time.monotonic() - T0:6.1f} s] {text}", flush=True)

    def run(self, *args, check_status=True, timeout=15):
        result = subprocess.run(list(args), env=self.env, capture_output=True, text=True,
                                timeout=timeout)
        if check_status and result.returncode != 0:
            raise CheckFailed(f"{' '.join(args)} failed ({result.returncode}): "
                              f"{result.stderr.strip() or result.stdout.strip()}")
        return result.stdout.strip()

    # --- the program --------------------------------------------------------
    def start(self, args, folder, env=None):
        self.log(f"start {' '.join(args)} in {folder}")
        self.player = self.desktop.procs.start(
            args, env=env or self.env, cwd=folder,
            log_path=os.path.join(self.desktop.logs, "player.log"))

        def on_bus():
            if self.player.poll() is not None:
                raise CheckFailed(f"the player ended at start with status {self.player.returncode}")
            return self.playerctl("-l", check_status=False).splitlines().count("corvan") == 1
        wait_until(on_bus, 20, interval=0.1, what="the player on the session bus")
        self.window = wait_until(self._window, 10, interval=0.1, what="the player's window")
        time.sleep(0.4)

    def _window(self):
        out = self.run("xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$",
                       check_status=False)
        return int(out.split()[0]) if out else None

    def window_size(self):
        out = self.run("xwininfo", "-id", str(self.window))
        return (int(re.search(r"Width:\s+(\d+)", out).group(1)),
                int(re.search(r"Height:\s+(\d+)", out).group(1)))

    def expect_exit(self, timeout=5.0):
        try:
            status = self.player.wait(timeout)
        except subprocess.TimeoutExpired:
            raise CheckFailed(f"the program still runs {timeout} s later")
        check(status == 0, f"the program ended with status {status}")

    # --- the bus --------------------------------------------------------------
    def playerctl(self, *args, check_status=True):
        return self.run("playerctl", "-p", "corvan", *args, check_status=check_status)

    def dbus(self, interface_member, *args):
        return self.run("dbus-send", "--session", "--print-reply", "--reply-timeout=5000",
                        f"--dest={BUS_NAME}", PATH, interface_member, *args)

    def get(self, prop):
        return self.dbus("org.freedesktop.DBus.Properties.Get", f"string:{PLAYER}",
                         f"string:{prop}")

    def set(self, prop, value):
        self.dbus("org.freedesktop.DBus.Properties.Set", f"string:{PLAYER}",
                  f"string:{prop}", f"variant:{value}")

    def expect_status(self, status, timeout=4.0):
        self.log(f"expect status {status}")
        last = [None]

        def reads():
            last[0] = self.playerctl("status", check_status=False)
            return last[0] == status
        try:
            wait_until(reads, timeout, interval=0.1, what=f"status {status}")
        except TimeoutError:
            raise CheckFailed(f"status is {last[0]!r}, not {status!r}")

    def metadata(self):
        # playerctl fails on the empty metadata of a player with nothing open.
        return self.playerctl("metadata", "--format",
                              "{{title}}|{{artist}}|{{mpris:length}}|{{xesam:url}}|{{mpris:trackid}}",
                              check_status=False)

    def expect_title(self, title, timeout=4.0):
        self.log(f"expect the title {title}")
        last = [None]

        def reads():
            last[0] = self.metadata()
            return last[0].split("|")[0] == title
        try:
            wait_until(reads, timeout, interval=0.1, what=f"title {title}")
        except TimeoutError:
            raise CheckFailed(f"metadata reads {last[0]!r}, not the title {title!r}")
        return last[0].split("|")

    def position(self):
        return float(self.playerctl("position"))

    # --- the sound ------------------------------------------------------------
    def level(self, seconds=0.4):
        """The loudness at the sink over `seconds`, in dB of full scale."""
        rec = subprocess.Popen(
            ["parec", "-d", f"{self.desktop.sink}.monitor", "--raw", "--format=s16le",
             "--rate=44100", "--channels=2", "--latency-msec=20"],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        try:
            # The recorder needs about half a second to connect.
            time.sleep(0.6 + seconds)
        finally:
            rec.send_signal(signal.SIGINT)
            data, _ = rec.communicate(timeout=5)
        samples = array.array("h")
        frames = int(44100 * seconds) * 4
        samples.frombytes(data[-frames:][: len(data[-frames:]) // 2 * 2])
        if not samples:
            return -200.0
        rms = math.sqrt(sum(s * s for s in samples) / len(samples)) / 32768.0
        return 20 * math.log10(rms) if rms > 0 else -200.0

    def expect_sound(self, timeout=4.0):
        self.log("expect sound at the sink")
        last = [None]

        def loud():
            last[0] = self.level()
            return last[0] > SILENCE_DB
        try:
            wait_until(loud, timeout, interval=0, what="sound")
        except TimeoutError:
            raise CheckFailed(f"no sound at the sink (level {last[0]:.1f} dBFS)")
        return last[0]

    def expect_silence(self, timeout=4.0):
        self.log("expect silence at the sink")
        last = [None]

        def silent():
            last[0] = self.level()
            return last[0] < SILENCE_DB
        try:
            wait_until(silent, timeout, interval=0, what="silence")
        except TimeoutError:
            raise CheckFailed(f"the sink is not silent (level {last[0]:.1f} dBFS)")


def make_songs(folder):
    """Three 20-second MP3 tones with title and artist tags."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    songs = {"a.mp3": ("Song A", "Band A", 330), "b.mp3": ("Song B", "Band B", 440),
             "c.mp3": ("Song C", "Band C", 550)}
    for name, (title, artist, hz) in songs.items():
        tags = (f'title=(string)"{title.replace(" ", chr(92) + " ")}",'
                f'artist=(string)"{artist.replace(" ", chr(92) + " ")}"')
        subprocess.run(["gst-launch-1.0", "-q", "audiotestsrc", "wave=sine", f"freq={hz}",
                        "volume=0.5", "num-buffers=862", "!", "audio/x-raw,rate=44100,channels=2",
                        "!", "audioconvert", "!", "lamemp3enc", "!", "taginject", f"tags={tags}",
                        "!", "id3v2mux", "!", "filesink", f"location={os.path.join(folder, name)}"],
                       check=True, capture_output=True, timeout=60)
    return folder


# --- scenarios ----------------------------------------------------------------

def scenario_playerctl(args, w):
    folder = make_songs(os.path.join(w.work, "songs"))
    w.start([args.player], folder)
    w.expect_status("Stopped")
    check(w.metadata() == "", f"metadata with nothing open: {w.metadata()!r}")
    check(re.search(r"variant\s+array \[\s*\]", w.get("Metadata")),
          f"metadata with nothing open: {w.get('Metadata')}")

    # Nothing is selected at start: play has nothing to start; next starts
    # the first entry of the queue.
    w.playerctl("play")
    time.sleep(0.6)
    w.expect_status("Stopped")
    w.playerctl("next")
    w.expect_status("Playing")
    title, artist, length, url, trackid = w.expect_title("Song A")
    check(artist == "Band A", f"artist {artist!r}")
    # The engine's length of an MP3 without a frame index is an estimate.
    check(17_000_000 < int(length) < 21_000_000, f"length {length} us, not about 20 s")
    check(url == "file://" + os.path.join(folder, "a.mp3"), f"url {url!r}")
    check(trackid.strip("'").startswith("/org/corvan/player/track/"), f"track id {trackid!r}")
    w.expect_sound()

    w.playerctl("next")
    w.expect_title("Song B")
    w.playerctl("previous")
    w.expect_title("Song A")

    w.log("pause")
    w.playerctl("pause")
    w.expect_status("Paused")
    w.expect_silence()
    at = w.position()
    time.sleep(1.0)
    check(abs(w.position() - at) < 0.05, "the position moves while paused")
    w.log("play (resume)")
    w.playerctl("play")
    w.expect_status("Playing")
    w.expect_sound()
    check(w.position() > at, "the position does not move on after resuming")

    w.log("play-pause twice")
    w.playerctl("play-pause")
    w.expect_status("Paused")
    w.playerctl("play-pause")
    w.expect_status("Playing")

    # Volume: the start volume is -25 dB, a factor of 0.056.
    check(abs(float(w.playerctl("volume")) - 0.0562) < 0.001, "the start volume does not read 0.056")
    w.log("volume 0.5")
    w.playerctl("volume", "0.5")
    check(abs(float(w.playerctl("volume")) - 0.5) < 0.001, "the volume does not read 0.5")
    w.expect_sound()

    # Position: set, and moved by an offset.
    w.log("position 5, then 3 seconds on")
    w.playerctl("position", "5")
    check(abs(w.position() - 5) < 0.6, f"the position reads {w.position()} after setting 5")
    w.playerctl("position", "3+")
    check(abs(w.position() - 8) < 0.8, f"the position reads {w.position()} after 3 s on")

    # Speed: the rate property marks the speed item; the clip runs twice as fast.
    w.log("rate 2")
    w.set("Rate", "double:2.0")
    check("double 2" in w.get("Rate"), "the rate does not read 2")
    time.sleep(0.5)
    start, t0 = w.position(), time.monotonic()
    time.sleep(2.0)
    speed = (w.position() - start) / (time.monotonic() - t0)
    check(1.6 < speed < 2.4, f"the clip runs at {speed:.2f} times its speed at rate 2")
    w.set("Rate", "double:1.0")

    w.log("loop and shuffle")
    w.playerctl("loop", "Track")
    check(w.playerctl("loop") == "Track", "loop does not read Track")
    w.playerctl("loop", "None")
    check(w.playerctl("loop") == "None", "loop does not read None")
    w.playerctl("shuffle", "On")
    check(w.playerctl("shuffle") == "On", "shuffle does not read On")
    w.playerctl("shuffle", "Off")

    # While it simply plays on, the bus carries nothing from it.
    w.log("listen to the bus for 2 s of playing")
    monitor = subprocess.Popen(["dbus-monitor", "--session", f"type='signal',path='{PATH}'"],
                               env=w.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               text=True)
    time.sleep(2.5)
    monitor.terminate()
    heard = monitor.communicate(timeout=5)[0]
    check("PropertiesChanged" not in heard and "Seeked" not in heard,
          f"signals while nothing changed:\n{heard}")

    w.log("stop")
    w.playerctl("stop")
    w.expect_status("Stopped")
    w.expect_silence()

    w.log("minimize, then raise")
    w.run("xdotool", "windowminimize", "--sync", str(w.window), timeout=10)
    wait_until(lambda: w._window() is None, 5, what="the window to be minimized")
    w.dbus("org.mpris.MediaPlayer2.Raise")
    wait_until(w._window, 5, what="the window to come back")

    w.log("quit")
    w.dbus("org.mpris.MediaPlayer2.Quit")
    w.expect_exit()


def scenario_installed_launcher(args, w):
    prefix = os.path.join(w.work, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    w.log(f"install into {prefix}")
    w.run("cmake", "--install", args.build, "--prefix", prefix, timeout=120)
    share = os.path.join(prefix, "share")
    for path in ("bin/corvan-player", "share/corvan-player/new2.gif", "share/corvan-player/help.htm",
                 "share/corvan-player/buttons/Command13.gif",
                 "share/applications/corvan-player.desktop",
                 "share/icons/hicolor/scalable/apps/corvan-player.svg"):
        check(os.path.isfile(os.path.join(prefix, path)), f"{path} is not installed")

    entry = configparser.ConfigParser(interpolation=None)
    entry.optionxform = str
    entry.read(os.path.join(share, "applications", "corvan-player.desktop"))
    launcher = entry["Desktop Entry"]
    check(launcher.get("Type") == "Application", "the launcher is no application")
    check(launcher.get("Name") == TITLE, f"the launcher is named {launcher.get('Name')!r}")
    check(launcher.get("Icon") == "corvan-player", "the launcher's icon is not corvan-player")
    check({"AudioVideo", "Audio", "Player"} <= set(launcher.get("Categories", "").split(";")),
          f"categories {launcher.get('Categories')!r}")

    # The launcher's command line, as a desktop runs it: field codes dropped,
    # the program found on the PATH.
    command = [a for a in shlex.split(launcher["Exec"]) if not re.fullmatch(r"%[a-zA-Z]", a)]
    env = dict(w.env, PATH=os.path.join(prefix, "bin") + os.pathsep + w.env["PATH"])
    folder = make_songs(os.path.join(w.work, "songs"))
    w.start(command, folder, env=env)
    size = w.window_size()
    check(size == (439, 482), f"the window is {size[0]} x {size[1]}: not dressed in the skin")
    w.playerctl("next")
    w.expect_title("Song A")
    w.dbus("org.mpris.MediaPlayer2.Quit")
    w.expect_exit()


SCENARIOS = {"playerctl": scenario_playerctl, "installed_launcher": scenario_installed_launcher}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--player", required=True)
    parser.add_argument("--build", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--limit", type=float, default=120.0)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    args.player = os.path.abspath(args.player)
    args.build = os.path.abspath(args.build)
    work = os.path.join(os.path.abspath(args.work), args.scenario)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    def out_of_time(*_):
        raise TimeoutError(f"out of time after {args.limit:.0f} s")
    signal.signal(signal.SIGALRM, out_of_time)
    signal.signal(signal.SIGTERM, out_of_time)
    signal.setitimer(signal.ITIMER_REAL, args.limit)
    world = None
    try:
        world = World(work)
        SCENARIOS[args.scenario](args, world)
    except (CheckFailed, TimeoutError) as failure:
        print(f"FAILED: {failure} (logs in {work}/logs)", flush=True)
        return 1
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        if world:
            world.close()
    print(f"passed in {time.monotonic() - T0:.1f} s", flush=True)
    return 0


T0 = time.monotonic()

if __name__ == "__main__":
    sys.exit(main())
