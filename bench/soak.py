#!/usr/bin/env python3
"""Soak: the real player plays a queue of one-second files by itself, with
the end-of-track advance, for a long time, in a private desktop (the
end-to-end suite's: Xvfb, openbox, a PulseAudio null sink).

    soak.py --player BIN --work DIR [--minutes 30] [--files 200]

Each file sounds a tone of its own, and the whole run is recorded from the
sink, so the recording tells whether every file played, in queue order, with
none skipped and no stall. The player's resident memory is read once a minute
(and every ten seconds for the figures in between). It passes when the
player is still running at the end and ends cleanly from its menu, no file
was skipped, no stall was heard, and the memory grew by less than the budget
after the warm-up.

The warm-up is the first sixth of the run, at least one minute: by then the
decoders, the sound server connection and the window are all in use.
"""

import argparse
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))

import media  # noqa: E402
from session import Session  # noqa: E402

BUDGET_MB = 5.0
# Tones far enough apart for a tenth of a second to tell them apart, and all
# below half the recording's rate.
RECORD_RATE = 8000
BASE_HZ = 250.0
STEP_HZ = 17.0


def tone_of(index):
    return BASE_HZ + STEP_HZ * index


def make_queue(folder, files):
    media.fresh(folder)
    names = []
    for i in range(files):
        name = f"t{i:03d}.wav"
        media.tone(os.path.join(folder, name), tone_of(i), 1)
        names.append(name)
    return names


def played_indexes(stretch, files, window=0.1):
    """The queue indexes heard, in order, one per file played, and the
    longest silence between two of them in seconds."""
    indexes = []
    longest_gap = 0.0
    silent_since = None
    current, length = None, 0
    for start, hz in stretch.tones(window):
        index = None
        if hz is not None:
            i = int(round((hz - BASE_HZ) / STEP_HZ))
            if 0 <= i < files and abs(hz - tone_of(i)) <= STEP_HZ / 3:
                index = i
        if hz is None:
            if silent_since is None:
                silent_since = start
        else:
            if silent_since is not None and indexes:
                longest_gap = max(longest_gap, start - silent_since)
            silent_since = None
        if index == current:
            length += 1
            continue
        if current is not None and length >= 3 and (not indexes or indexes[-1] != current):
            indexes.append(current)
        current, length = index, 1
    if current is not None and length >= 3 and (not indexes or indexes[-1] != current):
        indexes.append(current)
    return indexes, longest_gap


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--player", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--minutes", type=float, default=30.0)
    parser.add_argument("--files", type=int, default=200)
    args = parser.parse_args()
    work = os.path.abspath(args.work)
    os.makedirs(work, exist_ok=True)
    minutes = args.minutes
    warmup = max(1.0, minutes / 6)

    folder = os.path.join(work, "soak", "queue")
    print(f"making {args.files} one-second files ...", flush=True)
    names = make_queue(folder, args.files)

    # The end-to-end suite's session: its desktop, its recorder, its way of
    # finding and double-clicking an entry (with the oracle for the places).
    session_args = argparse.Namespace(
        work=work, player=os.path.abspath(args.player), media=work, t0=time.monotonic(),
        oracle=os.path.join(os.path.dirname(os.path.abspath(args.player)), "corvan_e2e_oracle"))
    with Session(session_args, "soak", record_rate=RECORD_RATE, record_channels=1) as session:
        recorder = session.rec
        player = session.start(folder)
        start_mark = recorder.mark()
        session.double_click_entry(names[0])
        t0 = time.monotonic()

        samples = []           # (minutes, resident MB)
        failure = None
        next_sample = 0.0
        while True:
            elapsed = time.monotonic() - t0
            if not player.running():
                failure = f"the player ended after {elapsed / 60:.1f} minutes " \
                          f"with status {player.child.returncode}"
                break
            if elapsed >= next_sample:
                samples.append((elapsed / 60, player.memory_kb() / 1024))
                print(f"{elapsed / 60:6.2f} min  resident {samples[-1][1]:7.2f} MB", flush=True)
                next_sample += 10.0
            if elapsed >= minutes * 60:
                break
            time.sleep(0.5)

        end_mark = recorder.mark()
        if failure is None:
            session.popup("mnupopupexit")
            status = player.wait_exit(10)
            if status != 0:
                failure = f"the player did not end cleanly from its menu (status {status})"
        recorder.stop()

    stretch = recorder.stretch(start_mark, end_mark)
    indexes, longest_gap = played_indexes(stretch, args.files)
    skips = [(a, b) for a, b in zip(indexes, indexes[1:]) if b != (a + 1) % args.files]
    expected_files = (stretch.seconds - 0.5) / 1.0

    after = [mb for m, mb in samples if m >= warmup - 1e-6]
    base = after[0] if after else float("nan")
    growth = (max(after) - base) if after else float("nan")
    minute_rows = [(m, mb) for m, mb in samples if abs(m - round(m)) < 0.09]
    print()
    print("minute  resident MB")
    for m, mb in minute_rows:
        print(f"{round(m):6d}  {mb:11.2f}")
    print(f"files played: {len(indexes)} in {stretch.seconds / 60:.1f} min "
          f"(about {expected_files:.0f} fit), skipped: {len(skips)}, "
          f"longest silence between files: {longest_gap:.2f} s")
    print(f"resident memory at the end of the warm-up ({warmup:.1f} min): {base:.2f} MB; "
          f"growth after it: {growth:.2f} MB; budget {BUDGET_MB:.1f} MB; "
          f"ratio {growth / BUDGET_MB:.2f}")

    problems = []
    if failure:
        problems.append(failure)
    if skips:
        problems.append(f"{len(skips)} skips, first {skips[:5]}")
    if indexes and indexes[0] != 0:
        problems.append(f"the first file heard was t{indexes[0]:03d}, not t000")
    if len(indexes) < 0.9 * expected_files:
        problems.append(f"only {len(indexes)} files were heard")
    if longest_gap > 1.0:
        problems.append(f"a silence of {longest_gap:.2f} s between two files")
    if not growth < BUDGET_MB:
        problems.append(f"memory grew by {growth:.2f} MB after the warm-up")
    if problems:
        print("soak FAILED: " + "; ".join(problems))
        return 1
    print("soak passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
