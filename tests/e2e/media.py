"""Scratch folders of media for the scenarios. Tones are made with sox (a
file a second of work for all of them); the formats that need GStreamer's
encoders are copied from the generated test media (tools/make_test_media.sh).
Each queue file sounds a tone of its own, so the recording tells them apart.
"""

import os
import shutil
import subprocess


def tone(path, hz, seconds, volume=0.5):
    """A stereo 16-bit WAV sine of `hz`, at `volume` of full scale."""
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path,
                    "synth", str(seconds), "sine", str(hz), "vol", str(volume)],
                   check=True, capture_output=True)


def mp3(path, hz, seconds):
    """The same tone as MP3, through GStreamer's encoder."""
    wav = path + ".wav"
    tone(wav, hz, seconds)
    subprocess.run(["gst-launch-1.0", "-q", "filesrc", f"location={wav}", "!", "wavparse", "!",
                    "audioconvert", "!", "lamemp3enc", "!", "filesink", f"location={path}"],
                   check=True, capture_output=True)
    os.remove(wav)


def fresh(folder):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    return folder


def queue(folder, names_and_tones, seconds):
    """Files named as given, each `seconds` long with its own tone; returns
    {name: Hz}."""
    fresh(folder)
    for name, hz in names_and_tones.items():
        tone(os.path.join(folder, name), hz, seconds)
    return dict(names_and_tones)


def copy(source, folder, name=None):
    target = os.path.join(folder, name or os.path.basename(source))
    shutil.copyfile(source, target)
    return target
