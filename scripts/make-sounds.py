#!/usr/bin/env python3
"""Writes the program's event sounds into data/Hangok/ (or the folder given
as the first argument): short mono 16-bit WAV chimes made of soft bell-like
tones. Run it again after changing a sound; the output is deterministic."""
import math
import os
import struct
import sys
import wave

RATE = 22050


def note(freq, start, length, volume=0.5, decay=6.0):
    """A bell-like tone: a sine with two quiet overtones, a 5 ms attack and
    an exponential decay. Returns (start, samples)."""
    n = int(length * RATE)
    attack = int(0.005 * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        env = math.exp(-decay * t) * min(1.0, i / attack if attack else 1.0)
        # fade the very end so the tone never clicks
        tail = min(1.0, (n - i) / (0.01 * RATE))
        s = (math.sin(2 * math.pi * freq * t)
             + 0.3 * math.sin(2 * math.pi * 2 * freq * t)
             + 0.1 * math.sin(2 * math.pi * 3 * freq * t)) / 1.4
        out.append(volume * env * tail * s)
    return int(start * RATE), out


def mix(notes, length):
    buf = [0.0] * int(length * RATE)
    for start, samples in notes:
        for i, s in enumerate(samples):
            if start + i < len(buf):
                buf[start + i] += s
    peak = max(1e-9, max(abs(s) for s in buf))
    scale = 0.7 / peak  # every sound equally loud
    return [s * scale for s in buf]


C5, D5, E5, F5, G5, A5, B5, C6, E6, G6 = (523.25, 587.33, 659.26, 698.46, 783.99,
                                          880.00, 987.77, 1046.50, 1318.51, 1567.98)
A4, G4, E4, C4 = 440.0, 392.0, 329.63, 261.63

SOUNDS = {
    # the window appears: a rising major chord
    "onLoad": mix([note(C5, 0.00, 0.6), note(E5, 0.08, 0.55), note(G5, 0.16, 0.5),
                   note(C6, 0.24, 0.5, 0.4)], 0.75),
    # the window closes: the same chord falling
    "onClose": mix([note(C6, 0.00, 0.55, 0.4), note(G5, 0.08, 0.5), note(E5, 0.16, 0.5),
                    note(C5, 0.24, 0.55)], 0.8),
    # off to the tray: two soft falling notes
    "onSysTray": mix([note(G5, 0.0, 0.35, 0.45, 9), note(D5, 0.1, 0.4, 0.45, 8)], 0.5),
    # a question: two notes rising
    "onQuery": mix([note(E5, 0.0, 0.3, 0.5, 8), note(A5, 0.14, 0.4, 0.5, 7)], 0.55),
    # gone: a low falling pluck
    "onDelete": mix([note(A4, 0.0, 0.3, 0.55, 10), note(E4, 0.09, 0.35, 0.55, 9),
                     note(C4, 0.18, 0.4, 0.5, 8)], 0.6),
    # a menu choice: a short bright tick
    "onMenuClick": mix([note(E6, 0.0, 0.12, 0.4, 30)], 0.14),
    # a menu opens: a quick soft blip upwards
    "onPopup": mix([note(C6, 0.0, 0.08, 0.3, 35), note(G6, 0.04, 0.1, 0.3, 35)], 0.15),
    # sounds switched on: a clear ding
    "onSound": mix([note(A5, 0.0, 0.5, 0.5, 7), note(E6, 0.0, 0.4, 0.15, 9)], 0.5),
}


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "data", "Hangok")
    os.makedirs(folder, exist_ok=True)
    for name, samples in SOUNDS.items():
        with wave.open(os.path.join(folder, name + ".wav"), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples))


if __name__ == "__main__":
    main()
