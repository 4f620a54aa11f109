#!/usr/bin/env python3
"""The player's CPU while it plays an MP3, beside gst-play-1.0 playing the
same file at the same time, as a ratio. Budget: under 1.3 times gst-play.

Both run on a private desktop (Xvfb, openbox, PulseAudio with a null sink;
tests/e2e/desktop.py), so nothing of a developer's session is used. The
player starts in a folder that holds only the clip and is started the way a
person starts it, by a double-click on the clip in its file list; both of its
timers then run as they always do. CPU time is read from /proc for every
thread of each process (schedstat, in nanoseconds) over the same window of
seconds, once both are playing.

    player_cpu.py [--player BUILD/corvan-player] [--seconds 40]

The clip is made here: a stereo MP3 somewhat longer than the measurement.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
from desktop import Desktop, wait_until  # noqa: E402

TITLE = "Corvan Media Player"
BUDGET = 1.3
# Where the first entry of File1 lies inside the window, in pixels: the list's
# design place (2560, 960 twips) and half a row down.
FIRST_ENTRY = (2560 // 15 + 30, 960 // 15 + 8)


def make_clip(path, seconds):
    samples = 4410
    subprocess.run(
        ["gst-launch-1.0", "-q", "audiotestsrc", f"num-buffers={seconds * 10}",
         f"samplesperbuffer={samples}", "!", "audio/x-raw,rate=44100,channels=2", "!",
         "audioconvert", "!", "lamemp3enc", "!", "id3v2mux", "!", "filesink", f"location={path}"],
        check=True, capture_output=True, timeout=120)


def cpu_ns(pid):
    """On-CPU time of every live thread of `pid`, in nanoseconds."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended just now
    return total


def sink_inputs(env):
    """The sound streams of the sound server: {client process id: corked}."""
    out = subprocess.run(["pactl", "list", "sink-inputs"], env=env, capture_output=True,
                         text=True, timeout=10).stdout
    streams = {}
    for block in out.split("Sink Input #")[1:]:
        pid = re.search(r'application\.process\.id = "(\d+)"', block)
        corked = re.search(r"Corked: (\w+)", block)
        if pid and corked:
            streams[int(pid.group(1))] = corked.group(1) == "yes"
    return streams


def playing(env, pid):
    return sink_inputs(env).get(pid) is False


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--player", default=os.path.join(here, "..", "build", "corvan-player"))
    ap.add_argument("--seconds", type=float, default=40.0, help="length of the measurement")
    ap.add_argument("--keep", action="store_true", help="keep the work folder and its logs")
    args = ap.parse_args()
    player = os.path.abspath(args.player)
    if not os.access(player, os.X_OK):
        sys.exit(f"no player at {player}: build the target corvan-player first")
    if not shutil.which("gst-play-1.0"):
        sys.exit("gst-play-1.0 is missing (Debian: gstreamer1.0-plugins-base-apps)")

    work = tempfile.mkdtemp(prefix="corvan-cpu-")
    try:
        folder = os.path.join(work, "music")
        os.makedirs(folder)
        clip = os.path.join(folder, "clip.mp3")
        make_clip(clip, int(args.seconds) + 20)

        with Desktop(work) as desk:
            env = desk.env()
            # The first start builds GStreamer's plugin cache for this HOME.
            subprocess.run(["gst-inspect-1.0", "playbin"], env=env, capture_output=True,
                           timeout=120)

            corvan = desk.procs.start([player], env=env, cwd=folder,
                                      log_path=os.path.join(desk.logs, "player.log"))
            window = wait_until(
                lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                        f"^{TITLE}$"], env=env, capture_output=True,
                                       text=True).stdout.split(),
                20, what="the player's window")[0]
            time.sleep(0.5)
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                      env=env, capture_output=True, text=True,
                                      check=True).stdout
            origin = dict(line.split("=") for line in geometry.split())
            x = int(origin["X"]) + FIRST_ENTRY[0]
            y = int(origin["Y"]) + FIRST_ENTRY[1]
            subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], env=env,
                           check=True)
            subprocess.run(["xdotool", "click", "--repeat", "2", "--delay", "80", "1"],
                           env=env, check=True)
            # Parked away from the window, so no hover repaints are counted.
            subprocess.run(["xdotool", "mousemove", "0", "1000"], env=env, check=True)

            reference = desk.procs.start(["gst-play-1.0", "--no-interactive", "-q", clip],
                                         env=env, log_path=os.path.join(desk.logs, "gst-play.log"))
            wait_until(lambda: playing(env, corvan.pid), 15, interval=0.1,
                       what="the player to play the clip")
            wait_until(lambda: playing(env, reference.pid), 15, interval=0.1,
                       what="gst-play-1.0 to play the clip")
            time.sleep(2.0)  # past the start of both

            start = time.monotonic()
            before = (cpu_ns(corvan.pid), cpu_ns(reference.pid))
            time.sleep(args.seconds)
            after = (cpu_ns(corvan.pid), cpu_ns(reference.pid))
            elapsed = time.monotonic() - start
            if not (playing(env, corvan.pid) and playing(env, reference.pid)):
                sys.exit("a clip ended or stopped during the measurement")

        share = [(a - b) / 1e9 / elapsed * 100 for a, b in zip(after, before)]
        ratio = share[0] / share[1]
        kept = ratio < BUDGET
        print(f"over {elapsed:.1f} s of playback, both timers running:")
        print(f"{'corvan-player':30s} {share[0]:6.2f} % of a core")
        print(f"{'gst-play-1.0 (reference)':30s} {share[1]:6.2f} % of a core")
        print(f"{'ratio':30s} {ratio:6.2f} | budget {BUDGET}: {'kept' if kept else 'MISSED'}")
        return 0 if kept else 1
    finally:
        if args.keep:
            print(f"work folder kept: {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
