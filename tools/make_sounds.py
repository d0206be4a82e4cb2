#!/usr/bin/env python3
"""Synthesises the four boot sounds of morvo into source/resources/sounds.

beep.wav             the Apple II bell: a short square tone near 1 kHz
drive_startup_a.wav  a 5.25" drive spinning up while its head recalibrates,
                     rattling against the track 0 stop
pbbbt.wav            a short buzz of the head stepping
drive_startup_b.wav  the drive reading: the motor and soft stepping clicks

16-bit PCM, mono, 22050 Hz. Everything comes from a fixed random seed, so the
files are the same on every run.

Run: python3 tools/make_sounds.py [output directory]
"""

import math
import os
import random
import struct
import sys
import wave

RATE = 22050


def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def mix(into, sound, at):
    """Adds sound into the buffer from time at (seconds) on."""
    start = int(round(at * RATE))
    for i, v in enumerate(sound):
        if start + i < len(into):
            into[start + i] += v


def lowpass(samples, cutoff):
    a = 1.0 - math.exp(-2.0 * math.pi * cutoff / RATE)
    out, y = [], 0.0
    for x in samples:
        y += a * (x - y)
        out.append(y)
    return out


def highpass(samples, cutoff):
    low = lowpass(samples, cutoff)
    return [x - l for x, l in zip(samples, low)]


def square_tone(freq, seconds, top=10000.0):
    """A square wave built from its odd harmonics below top, so that it does
    not alias at this sample rate."""
    n = int(round(seconds * RATE))
    harmonics = [k for k in range(1, 64, 2) if k * freq < top]
    return [sum(math.sin(2 * math.pi * k * freq * i / RATE) / k for k in harmonics) * 4 / math.pi
            for i in range(n)]


def clack(rng, loudness=1.0, brightness=1.0):
    """The head carriage striking its stop: a few damped resonances of the
    drive's metal frame, started by a short burst of noise."""
    n = int(0.045 * RATE)
    modes = [(180, 0.010, 0.6), (1150, 0.007, 1.0), (2600, 0.004, 0.7), (4300, 0.0025, 0.45)]
    # No two strikes ring quite alike.
    modes = [(f * brightness * rng.uniform(0.9, 1.1), d * rng.uniform(0.75, 1.25), a * rng.uniform(0.7, 1.0))
             for f, d, a in modes]
    out = []
    for i in range(n):
        t = i / RATE
        v = sum(a * math.exp(-t / d) * math.sin(2 * math.pi * f * t) for f, d, a in modes)
        if i < 40:
            v += rng.uniform(-1.0, 1.0) * (1.0 - i / 40)
        out.append(v * loudness * rng.uniform(0.85, 1.0))
    return out


def motor(rng, seconds, spin_up=0.0):
    """The spindle motor and its belt: a low hum whose pitch and level rise
    while the disk comes up to 300 rpm, with a little rumble and the 5 Hz
    wobble of the disk turning."""
    n = int(round(seconds * RATE))
    noise = lowpass([rng.uniform(-1.0, 1.0) for _ in range(n)], 400)
    noise = highpass(noise, 60)
    out, phase = [], 0.0
    for i in range(n):
        t = i / RATE
        speed = 1.0 if spin_up <= 0 else min(1.0, t / spin_up) ** 0.6
        phase += 2 * math.pi * 120 * (0.35 + 0.65 * speed) / RATE
        hum = 0.55 * math.sin(phase) + 0.25 * math.sin(2 * phase) + 0.12 * math.sin(3 * phase)
        wobble = 1.0 + 0.15 * math.sin(2 * math.pi * 5 * t)
        out.append((0.5 * hum + 2.2 * noise[i]) * speed * wobble)
    return out


def finish(samples, peak, fade_in=0.006, fade_out=0.006):
    """Removes any DC offset, fades both ends so they do not click, and
    scales to the given peak (a fraction of full scale)."""
    mean = sum(samples) / len(samples)
    out = [v - mean for v in samples]
    n_in, n_out = int(fade_in * RATE), int(fade_out * RATE)
    for i in range(n_in):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / n_in)
    for i in range(n_out):
        out[-1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / n_out)
    top = max(abs(v) for v in out) or 1.0
    return [v * peak / top for v in out]


def beep():
    return finish(square_tone(1000.0, 0.1), 0.5, fade_in=0.003, fade_out=0.003)


def drive_startup_a(rng):
    out = motor(rng, 2.2, spin_up=0.35)
    out = [v * 0.35 for v in out]
    # The head runs back to track 0 and keeps hitting the stop: a fast
    # rattle, a little uneven, that dies away when the stepping stops.
    t = 0.28
    for k in range(46):
        mix(out, clack(rng, loudness=0.9 if k % 2 else 1.0), t)
        t += 1 / 62 + rng.uniform(-0.0012, 0.0012)
    # Then the head settles on the boot track with two seeks.
    mix(out, clack(rng, 0.5, brightness=1.2), t + 0.22)
    mix(out, clack(rng, 0.45, brightness=1.2), t + 0.27)
    return finish(out, 0.8, fade_out=0.15)


def pbbbt(rng):
    out = motor(rng, 0.45)
    out = [v * 0.12 for v in out]
    # Stepping the head at a hundred steps a second buzzes.
    t = 0.03
    for k in range(36):
        mix(out, clack(rng, loudness=0.55 + 0.45 * math.sin(math.pi * k / 35), brightness=0.9), t)
        t += 0.0105
    return finish(out, 0.7)


def drive_startup_b(rng):
    out = motor(rng, 2.6)
    out = [v * 0.22 for v in out]
    # Reading: a track at a time, with a soft click for each step and short
    # runs of steps where the file goes on further out on the disk.
    t = 0.15
    while t < 2.35:
        steps = rng.choice([1, 1, 1, 2, 3])
        for _ in range(steps):
            mix(out, clack(rng, loudness=rng.uniform(0.18, 0.28), brightness=1.35), t)
            t += 0.028
        t += rng.uniform(0.12, 0.3)
    return finish(out, 0.6, fade_in=0.05, fade_out=0.15)


def write_wav(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", max(-32767, min(32767, int(round(v * 32767)))))
                               for v in samples))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "source", "resources", "sounds")
    os.makedirs(out_dir, exist_ok=True)
    rng = random.Random(6502)
    write_wav(os.path.join(out_dir, "beep.wav"), beep())
    write_wav(os.path.join(out_dir, "drive_startup_a.wav"), drive_startup_a(rng))
    write_wav(os.path.join(out_dir, "pbbbt.wav"), pbbbt(rng))
    write_wav(os.path.join(out_dir, "drive_startup_b.wav"), drive_startup_b(rng))


if __name__ == "__main__":
    main()
