"""Synthesises explode.wav and applause.wav: 8-bit unsigned PCM in complete
RIFF WAVE files of fixed formats and lengths.

All randomness comes from a small xorshift generator with fixed seeds, and
all arithmetic is plain Python floats, so the bytes are the same on every run."""

import math
import os
import struct
import sys
import wave

EXPLODE = dict(channels=2, rate=11025, frames=30774)  # 61548 data bytes
APPLAUSE = dict(channels=1, rate=22050, frames=77825)  # 77825 data bytes, odd


class XorShift:
    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF or 1

    def next(self):
        x = self.state
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        self.state = x
        return x

    def uniform(self, lo=0.0, hi=1.0):
        return lo + (hi - lo) * (self.next() / 4294967296.0)

    def noise(self):
        return self.uniform(-1.0, 1.0)


def one_pole(cutoff, rate):
    """Coefficient of a one-pole low-pass: y += a * (x - y)."""
    return 1.0 - math.exp(-2.0 * math.pi * cutoff / rate)


def to_unsigned8(samples, peak):
    # 8-bit PCM is unsigned with 128 as silence.
    out = bytearray()
    for s in samples:
        v = 128 + int(round(127.0 * s / peak))
        out.append(min(255, max(0, v)))
    return bytes(out)


def explosion_samples():
    rate, frames = EXPLODE["rate"], EXPLODE["frames"]
    rng = XorShift(0x5EED0001)
    left, right = [], []
    lp = [[0.0, 0.0], [0.0, 0.0]]  # two cascaded low-passes per channel
    boom = [0.0, 0.0]
    for n in range(frames):
        t = n / rate
        attack = min(1.0, t / 0.006)
        # A sharp crack on top of a long rumble that dies away.
        crack = math.exp(-t / 0.07)
        rumble = math.exp(-t / 0.85)
        fade = 1.0 if t < 2.4 else 0.5 + 0.5 * math.cos(math.pi * min(1.0, (t - 2.4) / 0.39))
        # The rumble darkens as it fades: its cut-off falls from 1800 to 120 Hz.
        a = one_pole(120.0 + 1680.0 * math.exp(-t / 0.5), rate)
        ab = one_pole(60.0, rate)
        common = rng.noise()
        out = []
        for c in range(2):
            x = 0.65 * common + 0.35 * rng.noise()  # partly shared: a wide, not split, sound
            lp[c][0] += a * (x - lp[c][0])
            lp[c][1] += a * (lp[c][0] - lp[c][1])
            boom[c] += ab * (x - boom[c])
            s = attack * (0.55 * crack * x + rumble * (1.6 * lp[c][1] + 5.0 * boom[c]))
            out.append(s * fade)
        left.append(out[0])
        right.append(out[1])
    return left, right


def biquad_bandpass(samples, centre, q, rate):
    w = 2.0 * math.pi * centre / rate
    alpha = math.sin(w) / (2.0 * q)
    b0, b2 = alpha, -alpha
    a0, a1, a2 = 1.0 + alpha, -2.0 * math.cos(w), 1.0 - alpha
    x1 = x2 = y1 = y2 = 0.0
    out = []
    for x in samples:
        y = (b0 * x + b2 * x2 - a1 * y1 - a2 * y2) / a0
        x2, x1 = x1, x
        y2, y1 = y1, y
        out.append(y)
    return out


def applause_samples():
    rate, frames = APPLAUSE["rate"], APPLAUSE["frames"]
    rng = XorShift(0x5EED0002)

    # A set of different claps: short noise bursts, each with its own colour.
    claps = []
    for _ in range(32):
        length = int(rate * rng.uniform(0.025, 0.045))
        decay = rng.uniform(0.004, 0.009)
        burst = [rng.noise() * min(1.0, n / (0.0012 * rate)) * math.exp(-n / (decay * rate)) for n in range(length)]
        shaped = biquad_bandpass(burst, rng.uniform(700.0, 2600.0), rng.uniform(1.0, 2.2), rate)
        peak = max(abs(s) for s in shaped)
        claps.append([s / peak for s in shaped])

    duration = frames / rate

    def swell(t):
        # Rises over the first 0.7 s, holds, and dies away towards the end.
        if t < 0.7:
            u = t / 0.7
            return u * u * (3 - 2 * u)
        if t < 2.1:
            return 1.0
        u = min(1.0, (t - 2.1) / (duration - 2.15))
        return (1 - u) ** 2

    mix = [0.0] * frames
    peak_rate = 90.0  # claps per second at full applause: a small crowd
    t = 0.0
    while True:
        # Poisson arrivals thinned by the swell.
        t += -math.log(1.0 - rng.uniform()) / peak_rate
        if t >= duration:
            break
        level = swell(t)
        if rng.uniform() >= level:
            continue
        clap = claps[rng.next() % len(claps)]
        gain = rng.uniform(0.25, 1.0) * (0.4 + 0.6 * level)
        start = int(t * rate)
        for i, s in enumerate(clap[: frames - start]):
            mix[start + i] += gain * s

    # A faint hiss of the room under the claps.
    hiss = 0.0
    a = one_pole(3000.0, rate)
    for n in range(frames):
        hiss += a * (rng.noise() - hiss)
        mix[n] += 0.35 * swell(n / rate) * hiss
    for n in range(frames - int(0.03 * rate), frames):
        mix[n] *= (frames - n) / (0.03 * rate)
    return mix


def wave_bytes(fmt, data):
    channels, rate = fmt["channels"], fmt["rate"]
    block_align = channels  # one byte per sample
    fmt_chunk = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, channels, rate, rate * block_align, block_align, 8)
    # A chunk of odd length is followed by a pad byte that its size leaves out.
    data_chunk = struct.pack("<4sI", b"data", len(data)) + data + (b"\0" if len(data) % 2 else b"")
    body = b"WAVE" + fmt_chunk + data_chunk
    return struct.pack("<4sI", b"RIFF", len(body)) + body


def check_wave(path, fmt, data_bytes):
    with open(path, "rb") as f:
        raw = f.read()
    riff, size, kind = struct.unpack_from("<4sI4s", raw, 0)
    assert riff == b"RIFF" and kind == b"WAVE" and size == len(raw) - 8 and size % 2 == 0
    fields = struct.unpack_from("<4sIHHIIHH", raw, 12)
    assert fields == (b"fmt ", 16, 1, fmt["channels"], fmt["rate"], 22050, fmt["channels"], 8), fields
    assert struct.unpack_from("<4sI", raw, 36) == (b"data", data_bytes)
    with wave.open(path, "rb") as w:
        assert w.getnchannels() == fmt["channels"]
        assert w.getframerate() == fmt["rate"]
        assert w.getsampwidth() == 1
        assert w.getnframes() == fmt["frames"]
        assert w.getcomptype() == "NONE"
        assert len(w.readframes(fmt["frames"] + 10)) == data_bytes


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..")

    left, right = explosion_samples()
    peak = max(max(abs(s) for s in left), max(abs(s) for s in right)) / 0.97
    l8, r8 = to_unsigned8(left, peak), to_unsigned8(right, peak)
    data = bytes(b for pair in zip(l8, r8) for b in pair)  # interleaved left, right
    assert len(data) == 61548
    path = os.path.join(out_dir, "explode.wav")
    with open(path, "wb") as f:
        f.write(wave_bytes(EXPLODE, data))
    check_wave(path, EXPLODE, 61548)

    mix = applause_samples()
    peak = max(abs(s) for s in mix) / 0.95
    data = to_unsigned8(mix, peak)
    assert len(data) == 77825
    path = os.path.join(out_dir, "applause.wav")
    with open(path, "wb") as f:
        f.write(wave_bytes(APPLAUSE, data))
    check_wave(path, APPLAUSE, 77825)


if __name__ == "__main__":
    main()
