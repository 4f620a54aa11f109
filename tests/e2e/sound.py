"""What a person would hear: everything the player sends to the private
sound server's null sink is recorded from the sink's monitor with parec, into
one file for the whole scenario. A point in time is a byte offset into that
file (mark()); a stretch of sound between two marks is measured with sox
(levels per channel) and numpy (which tone sounds when).

The test media are sine tones, each file of a queue with a frequency of its
own, so the recording tells which file played, in what order and for how
long.
"""

import os
import re
import subprocess
import time

import numpy

RATE = 44100
CHANNELS = 2

# Below this a channel counts as silent: the tones are recorded at -40 dBFS
# or louder, and a muted or stopped output gives digital silence.
SILENCE_DB = -70.0


class Recorder:
    """Records the sink at `rate` samples a second in `channels` channels
    (the soak records long, so it asks for less)."""

    def __init__(self, desktop, path, rate=RATE, channels=CHANNELS):
        self.path = path
        self.rate = rate
        self.channels = channels
        self.frame = 2 * channels
        self._desktop = desktop
        self._child = desktop.procs.start(
            ["parec", "-d", f"{desktop.sink}.monitor", "--raw", "--format=s16le",
             f"--rate={rate}", f"--channels={channels}", "--latency-msec=20",
             "--process-time-msec=10", path],
            env=desktop.env(), log_path=os.path.join(desktop.logs, "parec.log"))
        # parec needs about half a second to connect; it writes nothing before.
        deadline = time.monotonic() + 10
        while self._size() < rate * self.frame // 10:
            if self._child.poll() is not None:
                raise RuntimeError("parec ended; see logs/parec.log")
            if time.monotonic() > deadline:
                raise RuntimeError("parec recorded nothing within 10 s")
            time.sleep(0.05)

    def _size(self):
        try:
            return os.path.getsize(self.path)
        except FileNotFoundError:
            return 0

    def mark(self):
        """The current point of the recording, as a byte offset."""
        return self._size() // self.frame * self.frame

    def wait(self, seconds):
        """Waits until `seconds` more of sound are recorded; returns the mark."""
        target = self.mark() + int(seconds * self.rate) * self.frame
        deadline = time.monotonic() + seconds + 5
        while self._size() < target:
            if time.monotonic() > deadline:
                raise RuntimeError("the recording stalled")
            time.sleep(0.02)
        return target

    def record(self, seconds):
        """Records `seconds` from now; returns the stretch."""
        start = self.mark()
        end = self.wait(seconds)
        return self.stretch(start, end)

    def stretch(self, start, end):
        with open(self.path, "rb") as f:
            f.seek(start)
            data = f.read(max(0, end - start))
        return Stretch(data, self.rate, self.channels)

    def running(self):
        return self._child.poll() is None

    def stop(self):
        self._desktop.procs.stop(self._child)


class Stretch:
    """A stretch of the recording."""

    def __init__(self, data, rate=RATE, channels=CHANNELS):
        self.rate = rate
        self.channels = channels
        frame = 2 * channels
        self.data = data[: len(data) // frame * frame]
        samples = numpy.frombuffer(self.data, dtype="<i2").astype(numpy.float64) / 32768.0
        self.left = samples[0::channels]
        self.right = samples[channels - 1::channels]

    @property
    def seconds(self):
        return len(self.left) / self.rate

    def levels(self):
        """RMS level of the left and the right channel in dBFS, by sox; -inf
        for digital silence."""
        out = subprocess.run(
            ["sox", "-t", "raw", "-r", str(self.rate), "-e", "signed", "-b", "16",
             "-c", str(self.channels), "-", "-n", "stats"],
            input=self.data, capture_output=True, check=True).stderr.decode()
        for line in out.splitlines():
            if line.startswith("RMS lev dB"):
                values = [float(v) if re.match(r"^-?[\d.]+$", v) else float("-inf")
                          for v in line.split()[3:]]
                # One channel: one column; two: overall, left, right.
                return (values[0], values[0]) if self.channels == 1 else (values[1], values[2])
        raise RuntimeError("sox gave no RMS level:\n" + out)

    def level(self):
        """The louder channel's RMS level in dBFS."""
        return max(self.levels())

    def is_silent(self):
        return self.level() < SILENCE_DB

    def tones(self, window=0.05):
        """The dominant frequency of each window of `window` seconds, or None
        where the window is silent: a list of (start second, Hz or None)."""
        rate = self.rate
        n = int(window * rate)
        mono = (self.left + self.right) / 2
        result = []
        spectrum_window = numpy.hanning(n)
        for i in range(0, len(mono) - n + 1, n):
            chunk = mono[i:i + n]
            rms = numpy.sqrt(numpy.mean(chunk * chunk))
            if rms <= 0 or 20 * numpy.log10(rms) < SILENCE_DB:
                result.append((i / rate, None))
                continue
            # A zero-padded spectrum, refined by the peak's neighbours.
            spectrum = numpy.abs(numpy.fft.rfft(chunk * spectrum_window, n * 8))
            k = int(numpy.argmax(spectrum[1:])) + 1
            if 0 < k < len(spectrum) - 1:
                a, b, c = spectrum[k - 1], spectrum[k], spectrum[k + 1]
                denominator = a - 2 * b + c
                k = k + (0.5 * (a - c) / denominator if denominator else 0)
            result.append((i / rate, k * rate / (n * 8)))
        return result

    def sequence(self, frequencies, window=0.05, tolerance=0.04, min_windows=3):
        """Which of the known tones sound, in order: a list of
        (name, start second, seconds) runs. `frequencies` maps a name to its
        tone in Hz; a window matches a tone within `tolerance` (relative).
        Runs shorter than `min_windows` windows (the clicks between files)
        are dropped, and equal neighbours are then joined."""
        runs = []
        for start, hz in self.tones(window):
            name = None
            if hz is not None:
                for candidate, f in frequencies.items():
                    if abs(hz - f) <= tolerance * f:
                        name = candidate
                        break
            if runs and runs[-1][0] == name:
                runs[-1][2] += window
            else:
                runs.append([name, start, window])
        kept = [r for r in runs if r[0] is not None and r[2] >= min_windows * window - 1e-9]
        joined = []
        for r in kept:
            if joined and joined[-1][0] == r[0] and r[1] - (joined[-1][1] + joined[-1][2]) < 0.3:
                joined[-1][2] = r[1] + r[2] - joined[-1][1]
            else:
                joined.append(list(r))
        return [tuple(r) for r in joined]
