"""The two music loops: a tiny sequencer and a handful of instruments.

A loop is rendered into a circular buffer exactly one musical period long; notes
that ring past the end wrap round to the start, so the buffer is truly periodic.
The engine repeats a looped sample from its second byte once it has played byte
n - 8, so the playable cycle is n - 8 bytes long; the period is chosen as exactly
that many samples and the file is that period followed by its own first 8 samples.
"""
import math

import numpy as np

import synth as sy


# ---------------------------------------------------------------- instruments


def pluck_lead(freq, dur, rate, duty=0.3, bright=1.0):
    """A plucked, slightly hollow pulse: harmonics dull faster than the body decays."""
    n = sy.samples(dur + 0.35, rate)
    t = sy.times(n, rate)
    ph = sy.phase(np.full(n, freq), rate)
    damp = 2.2 / bright

    def amp(k):
        return (math.sin(math.pi * k * duty) / k) * np.exp(-t * k * damp)

    tone = sy.additive(ph, freq, rate, amp, max_k=40)
    env = sy.attack_decay(n, rate, 0.003, 0.35)
    # The key is let go after `dur`: a short release instead of ringing on.
    rel = np.clip(1.0 - (t - dur) / 0.06, 0.0, 1.0)
    return tone * env * rel


def bass(freq, dur, rate):
    """A round plucked bass: triangle body with a little second harmonic for definition."""
    n = sy.samples(dur + 0.1, rate)
    t = sy.times(n, rate)
    ph = sy.phase(np.full(n, freq), rate)
    tone = sy.triangle(ph, freq, rate) + 0.35 * np.sin(2 * sy.TWO_PI * ph)
    env = sy.attack_decay(n, rate, 0.004, 0.45)
    rel = np.clip(1.0 - (t - dur) / 0.05, 0.0, 1.0)
    return tone * env * rel


def chord_stab(freqs, dur, rate):
    """The 'pah' of an oom-pah: a short soft square chord."""
    n = sy.samples(dur + 0.05, rate)
    t = sy.times(n, rate)
    out = np.zeros(n)
    for f in freqs:
        ph = sy.phase(np.full(n, f), rate)
        out += sy.additive(ph, f, rate, lambda k: ((1.0 / k) * 0.7 ** k) if k % 2 else 0.0, max_k=15)
    env = sy.attack_decay(n, rate, 0.004, 0.09)
    rel = np.clip(1.0 - (t - dur) / 0.04, 0.0, 1.0)
    return out * env * rel / len(freqs)


def kick(rate):
    n = sy.samples(0.22, rate)
    f = sy.exp_ramp(n, rate, [(0.0, 130.0), (0.04, 62.0), (0.2, 48.0)])
    return sy.sine(f, rate) * sy.attack_decay(n, rate, 0.002, 0.07)


def snare(rate, seed):
    n = sy.samples(0.2, rate)
    body = sy.bandpass(sy.noise(n, seed), rate, 1900.0, 0.6) * sy.attack_decay(n, rate, 0.001, 0.045)
    tone = sy.sine(190.0, rate, n) * sy.attack_decay(n, rate, 0.001, 0.03)
    return 1.3 * body + 0.5 * tone


def hat(rate, seed, tau=0.018):
    n = sy.samples(0.12, rate)
    x = sy.highpass_diff(sy.highpass_diff(sy.noise(n, seed)))
    return 0.35 * x * sy.attack_decay(n, rate, 0.0005, tau)


def shaker(rate, seed):
    n = sy.samples(0.1, rate)
    x = sy.bandpass(sy.noise(n, seed), rate, 6500.0, 1.2)
    return x * sy.attack_decay(n, rate, 0.008, 0.02)


# ---------------------------------------------------------------- sequencer


class Loop:
    """A circular mix buffer of `period` samples with a beat grid of `beats` beats."""

    def __init__(self, period, rate, beats):
        self.buf = np.zeros(period)
        self.rate = rate
        self.period = period
        self.beat = period / beats
        self.beat_seconds = self.beat / rate
        self._cache = {}

    def at(self, beat):
        return int(round(beat * self.beat)) % self.period

    def add(self, beat, sound, gain=1.0):
        sy.place_wrapped(self.buf, sound * gain, self.at(beat))

    def cached(self, key, make):
        if key not in self._cache:
            self._cache[key] = make()
        return self._cache[key]

    def melody(self, notes, voice, gain):
        for beat, dur, note in notes:
            snd = self.cached(
                ("m", voice.__name__, note, dur),
                lambda: voice(sy.midi_hz(note), dur * self.beat_seconds, self.rate),
            )
            self.add(beat, snd, gain)


def _chord_notes(root, quality):
    steps = {"M": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 10)}[quality]
    return [root + s for s in steps]


def render_menu(period, rate):
    """Menu loop: two bars of an easy-going C major tune (8 beats)."""
    lp = Loop(period, rate, 8)
    # Melody in eighth notes: (beat, length in beats, MIDI note).
    e = 0.5
    lead = [
        (0, e, 76), (0.5, e, 79), (1, 1, 84), (2, e, 81), (2.5, e, 77), (3, 1, 81),
        (4, e, 79), (4.5, e, 76), (5, e, 72), (5.5, e, 76), (6, e, 74), (6.5, e, 77),
        (7, e, 79), (7.5, e, 74),
    ]
    lp.melody(lead, pluck_lead, 0.55)
    # An echo of the lead an octave down and a beat and a half late, very quiet,
    # gives the little tune some air without another part to write.
    lp.melody([(b + 1.5, d, n - 12) for b, d, n in lead], pluck_lead, 0.12)
    chords = [(0, 48, "M"), (2, 53, "M"), (4, 48, "M"), (6, 43, "7")]
    for beat, root, q in chords:
        # Oom on the beat (root then fifth), pah off the beat.
        fifth = root + 7 if root + 7 <= 52 else root - 5
        lp.melody([(beat, 0.9, root), (beat + 1, 0.9, fifth)], bass, 0.5)
        freqs = [sy.midi_hz(n + 12) for n in _chord_notes(root, q)]
        stab = lp.cached(("stab", root, q), lambda: chord_stab(freqs, 0.35 * lp.beat_seconds, rate))
        lp.add(beat + 0.5, stab, 0.22)
        lp.add(beat + 1.5, stab, 0.22)
    k = kick(rate)
    hh = [hat(rate, 700 + i) for i in range(4)]
    sh = [shaker(rate, 800 + i) for i in range(4)]
    for b in range(8):
        lp.add(b, k, 0.45)
        lp.add(b + 0.5, hh[b % 4], 0.3)
        lp.add(b + 0.25, sh[b % 4], 0.12)
        lp.add(b + 0.75, sh[(b + 1) % 4], 0.12)
    return lp.buf


def render_round(period, rate):
    """Round loop: eight bars of a brisk G major gallop (32 beats)."""
    lp = Loop(period, rate, 32)
    h = 0.5
    lead = [
        # G
        (0, 1, 71), (1, 1, 74), (2, 1.5, 79), (3.5, h, 78),
        # C
        (4, 1, 76), (5, 1, 72), (6, 1, 76), (7, 1, 79),
        # G
        (8, 1, 79), (9, h, 78), (9.5, h, 76), (10, 1, 74), (11, 1, 71),
        # D
        (12, 1, 69), (13, 1, 74), (14, 1, 78), (15, 1, 74),
        # Em
        (16, 1, 76), (17, 1, 79), (18, 1, 83), (19, 1, 79),
        # C
        (20, 1, 81), (21, h, 79), (21.5, h, 76), (22, 1, 72), (23, 1, 76),
        # D
        (24, 1, 74), (25, 1, 78), (26, 1, 81), (27, 1, 78),
        # D7, walking back down to the top
        (28, 1, 78), (29, 1, 74), (30, 1, 72), (31, 1, 69),
    ]
    lp.melody(lead, pluck_lead, 0.55)
    bars = [(43, "M"), (48, "M"), (43, "M"), (50, "M"), (52, "m"), (48, "M"), (50, "M"), (50, "7")]
    # A second voice on each bar's downbeat: the nearest chord tone at least a minor
    # third under the tune, so it always agrees with the harmony.
    harmony = []
    for b, d, n in lead:
        if b % 4 == 0:
            root, q = bars[int(b) // 4]
            tones = [t + 12 * o for t in _chord_notes(root, q) for o in range(6)]
            harmony.append((b, d * 0.9, max(t for t in tones if t <= n - 3)))
    lp.melody(harmony, pluck_lead, 0.22)
    for i, (root, q) in enumerate(bars):
        b0 = 4 * i
        fifth = root + 7 if root + 7 <= 52 else root - 5
        lp.melody([(b0, 0.8, root), (b0 + 1, 0.8, fifth), (b0 + 2, 0.8, root), (b0 + 3, 0.8, fifth)], bass, 0.55)
        freqs = [sy.midi_hz(n + 12) for n in _chord_notes(root, q)]
        stab = lp.cached(("stab", root, q), lambda: chord_stab(freqs, 0.3 * lp.beat_seconds, rate))
        lp.add(b0 + 1, stab, 0.22)
        lp.add(b0 + 3, stab, 0.22)
    k = kick(rate)
    sn = [snare(rate, 900 + i) for i in range(2)]
    hh = [hat(rate, 950 + i) for i in range(4)]
    for b in range(32):
        if b % 2 == 0:
            lp.add(b, k, 0.5)
        else:
            lp.add(b, sn[(b // 2) % 2], 0.28)
        lp.add(b + 0.5, hh[b % 4], 0.3)
    # A little fill on the last beat so the turn-around is heard.
    lp.add(31.5, sn[0], 0.18)
    lp.add(31.75, sn[1], 0.22)
    return lp.buf
