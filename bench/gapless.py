#!/usr/bin/python3
"""Gapless: two files cut from one continuous 440 Hz tone, played one after
the other by the player's queue, recorded at the sound server; the join
should be inaudible. Printed beside gst-play-1.0 --gapless playing the same
files in the same run.

    gapless.py --build BUILD [--runs 2]

BUILD is a build tree with the tests (the player and the test oracle). The
pairs: WAV, and MP3 encoded by LAME (whose header records the encoder's
delay and padding). lame is installed for this benchmark only when missing.

For each join: the longest run of silence (samples within 1 % of the tone's
peak of zero, longer than a sine's own zero crossing) and the deepest dip of the
level (RMS over 2 ms against the tone's steady level), within half a second
of where the first file ends.

Budget: WAV join at most 1 ms of silence, MP3 join at most 2 ms, and no dip
deeper than 6 dB.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, "..", "tests", "e2e"))
import joins  # noqa: E402
import sound  # noqa: E402
from session import BuildArgs, Session  # noqa: E402

HZ = 440
FIRST_S = 3.0
SECOND_S = 3.0
BUDGET_SILENCE_MS = {"wav": 1.0, "mp3": 2.0}
BUDGET_DIP_DB = 6.0


def ensure_lame():
    if not shutil.which("lame"):
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends", "lame"], check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"), stdout=subprocess.DEVNULL)


def make_pair(folder, kind):
    """a.KIND and b.KIND, cut from one tone at FIRST_S."""
    return joins.tone_pair(folder, ["a", "b"], FIRST_S, HZ, kind)


def join_in(recording, rate, first_seconds):
    """The mono recording from its first sound, and where the join lies in
    it (the first file's length after the first sound)."""
    start = joins.first_sound(recording)
    if start is None:
        raise RuntimeError("nothing was heard")
    return recording[start:], int(first_seconds * rate)


def play_with_player(s, folder, files):
    s.start(folder)
    mark = s.rec.mark()
    s.double_click_entry(os.path.basename(files[0]))
    end = s.rec.wait(FIRST_S + SECOND_S + 1.0)
    s.player.stop()
    return s.rec.stretch(mark, end)


def play_with_gst_play(s, files):
    mark = s.rec.mark()
    child = subprocess.Popen(["gst-play-1.0", "--gapless", "--no-interactive", "-q", *files], env=s.desktop.env(),
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    child.wait(timeout=FIRST_S + SECOND_S + 15)
    end = s.rec.wait(0.5)
    return s.rec.stretch(mark, end)


def mono(stretch):
    return (stretch.left + stretch.right) / 2


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", required=True)
    parser.add_argument("--runs", type=int, default=2)
    opts = parser.parse_args()
    ensure_lame()
    build = os.path.abspath(opts.build)
    results = {}
    with tempfile.TemporaryDirectory(prefix="corvan-gapless-") as work:
        for run in range(opts.runs):
            for kind in ("wav", "mp3"):
                args = BuildArgs(build, os.path.join(work, f"{kind}-{run}"))
                with Session(args, f"gapless-{kind}") as s:
                    folder = s.short_folder(kind)
                    files = make_pair(folder, kind)
                    for who, play in (("corvan-player", lambda: play_with_player(s, folder, files)),
                                      ("gst-play-1.0 --gapless", lambda: play_with_gst_play(s, files))):
                        recording, join = join_in(mono(play()), sound.RATE, FIRST_S)
                        silence, dip = joins.join_quality(recording, sound.RATE, join)
                        results.setdefault((kind, who), []).append((silence, dip))
    kept = True
    for (kind, who), values in results.items():
        silence = max(v[0] for v in values)
        dip = max(v[1] for v in values)
        ours = who == "corvan-player"
        ok = silence <= BUDGET_SILENCE_MS[kind] and dip <= BUDGET_DIP_DB
        if ours:
            kept &= ok
        print(f"{kind} join, {who:<24} longest silence {silence:6.2f} ms, deepest dip {dip:5.1f} dB"
              + ("" if not ours else f"  (budget {BUDGET_SILENCE_MS[kind]} ms, {BUDGET_DIP_DB} dB: "
                                     f"{'kept' if ok else 'MISSED'})"))
    print("budget kept" if kept else "budget MISSED")
    return 0 if kept else 1


if __name__ == "__main__":
    sys.exit(main())
