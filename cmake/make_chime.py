#!/usr/bin/env python3
"""Writes res/finished.wav, the download-finished sound: a soft two-note chime (E6 then C6).

Each note is a sine with a quieter octave partial, a 5 ms attack and an exponential decay; the
second note starts while the first still rings. 44.1 kHz, 16-bit mono, about 0.9 s.
Usage: make_chime.py [output.wav]
"""
import math
import struct
import sys
import wave

RATE = 44100
LENGTH = 0.9  # seconds
NOTES = [  # (start in seconds, frequency in Hz, peak level)
    (0.00, 1318.51, 0.42),  # E6
    (0.16, 1046.50, 0.48),  # C6
]


def sample(t):
    value = 0.0
    for start, frequency, level in NOTES:
        age = t - start
        if age < 0:
            continue
        attack = min(1.0, age / 0.005)
        decay = math.exp(-age * 5.5)
        tone = math.sin(2 * math.pi * frequency * age) + 0.25 * math.sin(4 * math.pi * frequency * age)
        value += level * attack * decay * tone / 1.25
    # Fade the last 50 ms to silence so the file ends without a click.
    tail = LENGTH - t
    if tail < 0.05:
        value *= max(0.0, tail / 0.05)
    return value


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "res/finished.wav"
    frames = bytearray()
    for i in range(int(RATE * LENGTH)):
        value = max(-1.0, min(1.0, sample(i / RATE)))
        frames += struct.pack("<h", int(value * 32000))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


if __name__ == "__main__":
    main()
