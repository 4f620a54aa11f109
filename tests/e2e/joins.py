"""Joins between files heard at the sink: pairs of files cut from one
continuous tone, and how much of a gap or a dip the join leaves."""

import math
import os
import subprocess

import numpy


def tone_pair(folder, names, seconds, hz=440, kind="wav"):
    """Files `names` in `folder`, `seconds` long each, cut one after the
    other from one continuous tone of `hz`; MP3 through LAME."""
    whole = os.path.join(folder, "whole.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", whole, "synth",
                    str(seconds * len(names)), "sine", str(hz), "vol", "0.5"], check=True)
    paths = []
    for i, name in enumerate(names):
        wav = os.path.join(folder, name + ".wav")
        subprocess.run(["sox", whole, wav, "trim", str(seconds * i), str(seconds)], check=True)
        if kind == "mp3":
            mp3 = os.path.join(folder, name + ".mp3")
            subprocess.run(["lame", "--quiet", "-b", "192", wav, mp3], check=True)
            os.remove(wav)
            paths.append(mp3)
        else:
            paths.append(wav)
    os.remove(whole)
    return paths


def join_quality(samples, rate, join_at, span=0.5):
    """The longest silence (ms) and the deepest dip of the level (dB) within
    `span` seconds of the sample index `join_at` of a mono recording. A sine
    passes within 1 % of its peak of zero for one sample at most; anything
    that quiet for longer is silence."""
    lo, hi = max(0, join_at - int(span * rate)), min(len(samples), join_at + int(span * rate))
    part = samples[lo:hi]
    peak = math.sqrt(2) * float(numpy.sqrt(numpy.median(part * part))) if len(part) else 0.0
    runs = [ms for _at, ms in silences(part, rate, threshold=max(0.01 * peak, 1e-4), shortest_ms=0)]
    longest_ms = max(runs, default=0.0)
    silence_ms = 0.0 if longest_ms <= 1000.0 / rate else longest_ms
    n = int(0.002 * rate)
    windows = part[: len(part) // n * n].reshape(-1, n)
    if len(windows) == 0:
        return silence_ms, 0.0
    rms = numpy.sqrt(numpy.mean(windows * windows, axis=1))
    steady = numpy.median(rms)
    dip = 20 * math.log10(steady / max(rms.min(), 1e-9)) if steady > 0 else 0.0
    return silence_ms, dip


def silences(samples, rate, threshold=0.01, shortest_ms=2.0):
    """Where a mono recording falls silent for `shortest_ms` or longer: a
    list of (start second, milliseconds)."""
    quiet = numpy.concatenate(([False], numpy.abs(samples) < threshold, [False]))
    edges = numpy.flatnonzero(quiet[1:] != quiet[:-1])
    found = []
    for start, end in zip(edges[0::2], edges[1::2]):
        ms = (end - start) * 1000.0 / rate
        if ms >= shortest_ms:
            found.append((start / rate, ms))
    return found


def first_sound(samples, threshold=0.01):
    loud = numpy.nonzero(numpy.abs(samples) > threshold)[0]
    return int(loud[0]) if len(loud) else None
