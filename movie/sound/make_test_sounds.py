#!/usr/bin/env python3
"""Writes the sine waves that the sound tests encode to MP3: OUTDIR/sine22k_mono.wav (440 Hz,
22050 Hz, mono) and OUTDIR/sine44k_stereo.wav (440 Hz left, 660 Hz right, 44100 Hz), one second
each at half of full scale."""
import math
import struct
import sys
import wave
from pathlib import Path


def write(path, rate, freqs):
    frames = bytearray()
    for i in range(rate):
        for f in freqs:
            frames += struct.pack('<h', round(16384 * math.sin(2 * math.pi * f * i / rate)))
    with wave.open(str(path), 'wb') as w:
        w.setnchannels(len(freqs))
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write(out / 'sine22k_mono.wav', 22050, [440])
    write(out / 'sine44k_stereo.wav', 44100, [440, 660])


if __name__ == '__main__':
    main()
