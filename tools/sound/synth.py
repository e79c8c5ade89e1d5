"""Small synthesis toolkit for the sound generator.

Everything here is deterministic: noise comes from a counter-based hash rather than
a library random generator, so the same seed gives the same bytes on every machine
and numpy version.  Signals are float64 arrays nominally in -1..1; the generator
scales them to 8-bit only at the very end.
"""
import math

import numpy as np

TWO_PI = 2.0 * math.pi


# ---------------------------------------------------------------- time and noise


def times(n, rate):
    """Sample times in seconds for n samples."""
    return np.arange(n, dtype=np.float64) / rate


def samples(seconds, rate):
    return int(round(seconds * rate))


def noise(n, seed):
    """White noise in -1..1 from a splitmix64 hash of (seed, index)."""
    with np.errstate(over="ignore"):
        z = np.arange(n, dtype=np.uint64) + np.uint64((seed * 0x9E3779B97F4A7C15) & 0xFFFFFFFFFFFFFFFF)
        z = z * np.uint64(0x9E3779B97F4A7C15)
        z = (z ^ (z >> np.uint64(30))) * np.uint64(0xBF58476D1CE4E5B9)
        z = (z ^ (z >> np.uint64(27))) * np.uint64(0x94D049BB133111EB)
        z = z ^ (z >> np.uint64(31))
    # Top 53 bits give a uniform double in [0, 1).
    u = (z >> np.uint64(11)).astype(np.float64) / float(1 << 53)
    return u * 2.0 - 1.0


def wander(n, rate, cutoff, seed):
    """Slowly drifting noise with unit standard deviation, for jitter and hoarseness."""
    w = svf(noise(n, seed), rate, cutoff, 0.7)
    sd = float(np.std(w))
    return w / sd if sd > 0 else w


def rand_values(count, seed):
    """A few uniform values in [0, 1) for picking random timings and pitches."""
    return (noise(count, seed) + 1.0) * 0.5


# ---------------------------------------------------------------- envelopes


def exp_decay(n, rate, tau, delay=0.0):
    """exp(-(t - delay) / tau) after `delay`, zero before."""
    t = times(n, rate) - delay
    env = np.exp(-np.maximum(t, 0.0) / tau)
    env[t < 0] = 0.0
    return env


def attack_decay(n, rate, attack, tau, delay=0.0):
    """A raised-cosine attack of `attack` seconds followed by an exponential decay."""
    t = times(n, rate) - delay
    env = np.exp(-np.maximum(t - attack, 0.0) / tau)
    rising = (t >= 0) & (t < attack)
    if attack > 0:
        env[rising] = 0.5 - 0.5 * np.cos(math.pi * t[rising] / attack)
    env[t < 0] = 0.0
    return env


def adsr(n, rate, attack, hold, release, delay=0.0, sustain_curve=None):
    """Raised-cosine attack, flat hold, raised-cosine release; zero outside."""
    t = times(n, rate) - delay
    env = np.zeros(n)
    a = (t >= 0) & (t < attack)
    env[a] = 0.5 - 0.5 * np.cos(math.pi * t[a] / attack) if attack > 0 else 1.0
    h = (t >= attack) & (t < attack + hold)
    env[h] = 1.0
    r = (t >= attack + hold) & (t < attack + hold + release)
    env[r] = 0.5 + 0.5 * np.cos(math.pi * (t[r] - attack - hold) / release)
    if sustain_curve is not None:
        env *= sustain_curve
    return env


def ramp(n, rate, points):
    """Piecewise-linear curve through (time, value) points, held at both ends."""
    pts = sorted(points)
    return np.interp(times(n, rate), [p[0] for p in pts], [p[1] for p in pts])


def exp_ramp(n, rate, points):
    """Piecewise curve that is linear in log(value); for pitches and cut-offs."""
    pts = sorted(points)
    logv = np.interp(times(n, rate), [p[0] for p in pts], [math.log(p[1]) for p in pts])
    return np.exp(logv)


def fade_edges(x, rate, fade_in=0.0005, fade_out=0.005):
    """Short raised-cosine fades so a sound never starts or stops with a step."""
    x = x.copy()
    ni = max(1, samples(fade_in, rate))
    no = max(1, samples(fade_out, rate))
    x[:ni] *= 0.5 - 0.5 * np.cos(math.pi * np.arange(ni) / ni)
    x[-no:] *= 0.5 + 0.5 * np.cos(math.pi * np.arange(no) / no)
    return x


# ---------------------------------------------------------------- oscillators


def phase(freq, rate, start=0.0):
    """Running phase in cycles for a (possibly varying) frequency in Hz."""
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), np.shape(freq) or (1,))
    return start + np.concatenate(([0.0], np.cumsum(f[:-1]))) / rate


def sine(freq, rate, n=None, start=0.0):
    if np.ndim(freq) == 0:
        return np.sin(TWO_PI * (start + freq * times(n, rate)))
    return np.sin(TWO_PI * phase(freq, rate, start))


def additive(ph, freq, rate, amp_of_k, max_k=200):
    """Band-limited sum of harmonics k * ph with weights amp_of_k(k).

    Harmonics fade out smoothly as they approach 0.45 x rate so a gliding pitch
    never aliases or clicks when a partial crosses the limit.
    """
    f = np.broadcast_to(np.asarray(freq, dtype=np.float64), ph.shape)
    out = np.zeros(ph.shape)
    limit = 0.45 * rate
    fmin = max(float(np.min(f)), 1.0)
    kmax = min(max_k, int(limit / fmin) + 1)
    for k in range(1, kmax + 1):
        a = amp_of_k(k)
        if np.ndim(a) == 0 and a == 0.0:
            continue
        fk = k * f
        gate = np.clip((limit - fk) / (0.1 * rate), 0.0, 1.0)
        out += a * gate * np.sin(TWO_PI * k * ph)
    return out


def saw(ph, freq, rate):
    return additive(ph, freq, rate, lambda k: 1.0 / k) * (2.0 / math.pi)


def square(ph, freq, rate):
    return additive(ph, freq, rate, lambda k: (1.0 / k) if k % 2 else 0.0) * (4.0 / math.pi)


def pulse(ph, freq, rate, duty):
    return additive(ph, freq, rate, lambda k: math.sin(math.pi * k * duty) / k) * (2.0 / math.pi)


def triangle(ph, freq, rate):
    return additive(
        ph, freq, rate, lambda k: ((-1) ** ((k - 1) // 2)) / (k * k) if k % 2 else 0.0
    ) * (8.0 / math.pi**2)


def resonance_gain(f, centre, bandwidth):
    """Magnitude of a second-order resonance at frequency f (1 at the centre)."""
    r = f / centre
    return (bandwidth / centre) / np.sqrt((1.0 - r * r) ** 2 + (r * bandwidth / centre) ** 2)


def formant_voice(f0, rate, formants, tilt=1.0, breath=None, max_k=200):
    """Voiced sound built harmonic by harmonic.

    f0 is a per-sample pitch curve; formants is a list of (centre, bandwidth, gain)
    where each entry may be a scalar or a per-sample array.  Each harmonic's level is
    the sum of the resonances at its frequency, over a 1/k^tilt source slope, so
    moving formants and gliding pitch stay smooth and alias-free.
    """
    ph = phase(f0, rate)
    out = np.zeros(len(f0))
    limit = 0.45 * rate
    kmax = min(max_k, int(limit / max(float(np.min(f0)), 1.0)) + 1)
    for k in range(1, kmax + 1):
        fk = k * f0
        gate = np.clip((limit - fk) / (0.1 * rate), 0.0, 1.0)
        if not np.any(gate > 0):
            break
        level = np.zeros(len(f0))
        for centre, bw, gain in formants:
            level += gain * resonance_gain(fk, centre, bw)
        out += (level * gate / k**tilt) * np.sin(TWO_PI * k * ph)
    return out


# ---------------------------------------------------------------- filters


def onepole_lp(x, rate, cutoff):
    """One-pole low-pass; cutoff may vary per sample."""
    c = np.broadcast_to(np.asarray(cutoff, dtype=np.float64), x.shape)
    a = 1.0 - np.exp(-TWO_PI * c / rate)
    y = np.empty_like(x)
    s = 0.0
    xl = x.tolist()
    al = a.tolist()
    for i in range(len(xl)):
        s += al[i] * (xl[i] - s)
        y[i] = s
    return y


def onepole_hp(x, rate, cutoff):
    return x - onepole_lp(x, rate, cutoff)


def svf(x, rate, cutoff, q=0.7, mode="lp"):
    """State-variable filter (trapezoidal form, stable at any cutoff below Nyquist).

    cutoff and q may vary per sample; mode is "lp", "bp" or "hp".
    """
    n = len(x)
    c = np.broadcast_to(np.asarray(cutoff, dtype=np.float64), (n,))
    qq = np.broadcast_to(np.asarray(q, dtype=np.float64), (n,))
    g = np.tan(math.pi * np.minimum(c, 0.49 * rate) / rate)
    k = 1.0 / qq
    a1 = 1.0 / (1.0 + g * (g + k))
    a2 = g * a1
    a3 = g * a2
    xl, gl, kl, a1l, a2l, a3l = (v.tolist() for v in (x, g, k, a1, a2, a3))
    out = [0.0] * n
    ic1 = ic2 = 0.0
    sel = {"lp": 0, "bp": 1, "hp": 2}[mode]
    for i in range(n):
        v0 = xl[i]
        v3 = v0 - ic2
        v1 = a1l[i] * ic1 + a2l[i] * v3
        v2 = ic2 + a2l[i] * ic1 + a3l[i] * v3
        ic1 = 2.0 * v1 - ic1
        ic2 = 2.0 * v2 - ic2
        if sel == 0:
            out[i] = v2
        elif sel == 1:
            out[i] = v1
        else:
            out[i] = v0 - kl[i] * v1 - v2
    return np.array(out)


def bandpass(x, rate, centre, q):
    return svf(x, rate, centre, q, "bp")


def highpass_diff(x):
    """First difference: a cheap bright high-pass for hiss and rattles."""
    return np.diff(x, prepend=0.0)


def ringing_modes(n, rate, modes, delay=0.0):
    """A struck object: a sum of (freq, amplitude, decay) damped sines starting at delay."""
    t = times(n, rate) - delay
    out = np.zeros(n)
    live = t >= 0
    for f, a, tau in modes:
        if f >= 0.45 * rate:
            continue
        out[live] += a * np.sin(TWO_PI * f * t[live]) * np.exp(-t[live] / tau)
    return out


def place(dst, src, at):
    """Add src into dst starting at sample `at`, cutting what runs past the end."""
    if at >= len(dst):
        return dst
    m = min(len(src), len(dst) - at)
    dst[at : at + m] += src[:m]
    return dst


def place_wrapped(dst, src, at):
    """Add src into the loop buffer dst at `at`, wrapping any overhang to the start."""
    n = len(dst)
    at %= n
    pos = 0
    while pos < len(src):
        m = min(len(src) - pos, n - at)
        dst[at : at + m] += src[pos : pos + m]
        pos += m
        at = 0
    return dst


def soft_clip(x, drive):
    """tanh saturation normalised so small signals keep unit gain."""
    return np.tanh(x * drive) / drive


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)
