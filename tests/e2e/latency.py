"""How long a control takes to be heard: a control is used at a known point
of the recording of the sound sink (its byte offset, taken the moment the
click or key is sent), and the recording after that point is searched for
the first stretch that sounds the change. What is measured includes
everything between the click and the speaker: the window's handling, the
engine, the sound output's own buffer and the sound server. The monitor that
records adds its own few milliseconds, so the figures err on the long side.

Three test tones, each telling one kind of change:
- steady: 1 kHz at half of full scale, the same in both channels; level
  changes per channel (balance, volume, mute, pause);
- chirp: a sine rising by 20 Hz a second from 300 Hz, so its pitch tells
  the position in the file (seeks);
- envelope: 1 kHz whose loudness swings four times a second, so the pace
  of the swing tells the playing speed (pitch is kept at every speed).
"""

import math
import wave

import numpy

RATE = 44100
WINDOW = 0.005           # seconds; levels are measured in windows this long
CHIRP_START_HZ = 300.0
CHIRP_HZ_PER_S = 20.0
ENVELOPE_HZ = 4.0


def _write(path, left, right=None):
    right = left if right is None else right
    frames = numpy.empty(2 * len(left), dtype="<i2")
    frames[0::2] = numpy.clip(left * 32767, -32768, 32767).astype("<i2")
    frames[1::2] = numpy.clip(right * 32767, -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as f:
        f.setnchannels(2)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(frames.tobytes())


def _time(seconds):
    return numpy.arange(int(seconds * RATE)) / RATE


def make_steady(path, seconds=60):
    _write(path, 0.5 * numpy.sin(2 * math.pi * 1000 * _time(seconds)))


def make_chirp(path, seconds=60):
    t = _time(seconds)
    phase = 2 * math.pi * (CHIRP_START_HZ * t + CHIRP_HZ_PER_S * t * t / 2)
    _write(path, 0.5 * numpy.sin(phase))


def envelope_at(file_seconds):
    return 0.5 + 0.35 * numpy.sin(2 * math.pi * ENVELOPE_HZ * file_seconds)


def make_envelope(path, seconds=60):
    t = _time(seconds)
    _write(path, envelope_at(t) * numpy.sin(2 * math.pi * 1000 * t))


class Trace:
    """A stretch of the recording as levels per window: peak amplitude of
    each channel (1 = full scale) and the dominant pitch."""

    def __init__(self, stretch):
        n = int(WINDOW * stretch.rate)
        count = len(stretch.left) // n
        left = stretch.left[: count * n].reshape(count, n)
        right = stretch.right[: count * n].reshape(count, n)
        # A sine's peak is √2 times its RMS.
        self.left = numpy.sqrt(2 * numpy.mean(left * left, axis=1))
        self.right = numpy.sqrt(2 * numpy.mean(right * right, axis=1))
        self.mono = (stretch.left + stretch.right) / 2
        self.rate = stretch.rate
        self.window = WINDOW

    def __len__(self):
        return len(self.left)

    def seconds(self, index):
        return index * self.window

    def first(self, predicate, hold=4):
        """The first window from which `predicate(index)` holds for `hold`
        windows in a row; None when it never does."""
        run = 0
        for i in range(len(self)):
            run = run + 1 if predicate(i) else 0
            if run == hold:
                return i - hold + 1
        return None

    def pitch(self, index, span=0.04):
        """The dominant frequency around window `index`, in Hz."""
        n = int(span * self.rate)
        start = int(index * self.window * self.rate)
        chunk = self.mono[start:start + n]
        if len(chunk) < n:
            return None
        spectrum = numpy.abs(numpy.fft.rfft(chunk * numpy.hanning(n), n * 8))
        k = int(numpy.argmax(spectrum[1:])) + 1
        return k * self.rate / (n * 8)


def db(ratio):
    return 20 * math.log10(max(ratio, 1e-9))


SILENT = 10 ** (-60 / 20)


def heard_level(before, channel, change_db):
    """Predicate: the channel's level moved from `before` by at least half of
    `change_db` towards it (a change to silence when change_db is None)."""
    def holds(trace, i):
        level = getattr(trace, channel)[i]
        if change_db is None:
            return level < SILENT
        if before < SILENT:
            return level > SILENT * 10
        moved = db(level / before) if level > 0 else -200
        return moved * math.copysign(1, change_db) >= abs(change_db) / 2
    return holds


def level_before(trace_before, channel):
    values = getattr(trace_before, channel)
    return float(numpy.median(values[-40:]))


def chirp_position(hz):
    return (hz - CHIRP_START_HZ) / CHIRP_HZ_PER_S


def speed_heard(trace_before, trace_after, old_rate):
    """The seconds after the mark at which the envelope stops following its
    course at `old_rate`: its swing, fitted over the last second before the
    mark, is carried on at the old pace and compared window by window."""
    n_fit = min(len(trace_before), int(1.0 / WINDOW))
    level = (trace_before.left[-n_fit:] + trace_before.right[-n_fit:]) / 2
    t = numpy.arange(-n_fit, 0) * WINDOW
    w = 2 * math.pi * ENVELOPE_HZ * old_rate
    # level = a + b sin(w t) + c cos(w t), least squares.
    basis = numpy.stack([numpy.ones_like(t), numpy.sin(w * t), numpy.cos(w * t)], axis=1)
    (a, b, c), *_ = numpy.linalg.lstsq(basis, level, rcond=None)
    after = (trace_after.left + trace_after.right) / 2
    t_after = numpy.arange(len(after)) * WINDOW
    predicted = a + b * numpy.sin(w * t_after) + c * numpy.cos(w * t_after)
    # Off course by a fifth of the swing: the volume scales the whole swing.
    off = numpy.abs(after - predicted) > 0.2 * math.hypot(b, c)
    run = 0
    for i, o in enumerate(off):
        run = run + 1 if o else 0
        if run == 3:
            return (i - 2) * WINDOW
    return None
