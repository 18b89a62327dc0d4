#!/usr/bin/env python3
"""Tells whether a captured WAV file holds the music: its loudness envelope must follow the
envelope of the music file (decoded by ffmpeg) closely at some small offset.
Usage: windows_audio_check.py CAPTURE.wav MUSIC.ogg"""
import math
import struct
import subprocess
import sys

WINDOW_SECONDS = 0.02
COMPARED_SECONDS = 8.0
MAX_SHIFT_SECONDS = 1.5


def read_wav(path):
    """Mono samples in -1..1 and the rate, from 16-bit, 32-bit integer or 32-bit float PCM."""
    data = open(path, "rb").read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("not a WAV file")
    at, fmt, payload = 12, None, None
    while at + 8 <= len(data):
        tag, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if tag == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif tag == b"data":
            payload = body  # a capture cut short may claim more than it has
        at += 8 + size + (size & 1)
    if fmt is None or payload is None:
        raise ValueError("no format or no data")
    kind, channels, rate, _, _, bits = fmt
    if kind == 0xFFFE:
        kind = 3 if bits == 32 and b"\x03\x00\x00\x00\x00\x00\x10\x00" in data[:80] else 1
    code = {(1, 16): "h", (1, 32): "i", (3, 32): "f"}.get((kind, bits))
    if code is None:
        raise ValueError("unsupported sample format %d/%d" % (kind, bits))
    width = bits // 8
    count = len(payload) // (width * channels) * channels
    samples = struct.unpack("<%d%s" % (count, code), payload[:count * width])
    scale = 1.0 if code == "f" else float(1 << (bits - 1))
    mono = [sum(samples[i:i + channels]) / (channels * scale) for i in range(0, count, channels)]
    return mono, rate


def decode_music(path, rate):
    pcm = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-t", str(COMPARED_SECONDS + 4), "-ac", "1",
                          "-ar", str(rate), "-f", "s16le", "-"], check=True, capture_output=True).stdout
    count = len(pcm) // 2
    return [s / 32768.0 for s in struct.unpack("<%dh" % count, pcm[:count * 2])]


def envelope(samples, rate):
    step = max(1, int(rate * WINDOW_SECONDS))
    return [math.sqrt(sum(x * x for x in samples[i:i + step]) / step) for i in range(0, len(samples) - step, step)]


def correlation(a, b):
    n = min(len(a), len(b))
    a, b = a[:n], b[:n]
    ma, mb = sum(a) / n, sum(b) / n
    cov = sum((x - ma) * (y - mb) for x, y in zip(a, b))
    va = sum((x - ma) ** 2 for x in a)
    vb = sum((y - mb) ** 2 for y in b)
    return cov / math.sqrt(va * vb) if va > 0 and vb > 0 else 0.0


def main():
    capture, rate = read_wav(sys.argv[1])
    seconds = len(capture) / rate
    # Where the music begins: the device may have played silence before the stream started.
    start = next((i for i, x in enumerate(capture) if abs(x) > 0.01), None)
    if start is None:
        print("the capture (%.1f s) is silent" % seconds)
        return 1
    heard = envelope(capture[start:start + int(rate * COMPARED_SECONDS)], rate)
    music = envelope(decode_music(sys.argv[2], rate), rate)
    if len(heard) < int(2.0 / WINDOW_SECONDS):
        print("only %.1f s of sound were captured" % (len(heard) * WINDOW_SECONDS))
        return 1
    shifts = range(0, int(MAX_SHIFT_SECONDS / WINDOW_SECONDS))
    best = max(correlation(heard, music[shift:]) for shift in shifts)
    level = math.sqrt(sum(x * x for x in capture[start:]) / max(1, len(capture) - start))
    print("captured %.1f s at %d Hz, level %.3f, envelope correlation with the music %.3f" % (seconds, rate, level, best))
    return 0 if best > 0.8 else 1


if __name__ == "__main__":
    sys.exit(main())
