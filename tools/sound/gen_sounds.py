#!/usr/bin/python3
"""Synthesise every sound the game plays and write them as 8-bit mono WAVE files.

    /usr/bin/python3 tools/sound/gen_sounds.py --out DIR

writes DIR/<id>.wav for each sound in SOUNDS.  Every file holds a 16-byte PCM "fmt "
chunk right after the RIFF header and then a "data" chunk of exactly the length the
game's sound table expects, so the loader reads the same number of bytes as ever.
Nothing random is left to chance: noise is a seeded hash, so two runs give the same
bytes, and a file is only rewritten when its bytes change (the build cache keys on
timestamps).
"""
import argparse
import math
import os
import struct
import sys

import numpy as np

# Run from the build: keep the source tree free of bytecode caches.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import music  # noqa: E402
import synth as sy  # noqa: E402

# Peak deviation from 128 after normalising.  The mixer halves a voice at full
# volume, so effects can use most of the range; the music sits lower so effects
# played over it stay on top and the two together rarely clip.
EFFECT_PEAK = 100
MUSIC_PEAK = 70

# Bytes at the end of every sample that the engine never plays.
UNPLAYED_TAIL = 7


# ====================================================================== effects


def _shot_core(n, rate, seed, tail_tau):
    """The blast shared by the shot and, quieter, the last-shell sound.

    Small speakers barely move below 200 Hz, so the weight of the shot is carried by
    a loud, bright noise burst and a mid "boom"; the low thump only adds body.
    """
    nz = sy.noise(n, seed)
    crack = sy.highpass_diff(nz) * sy.exp_decay(n, rate, 0.0025)
    cutoff = sy.exp_ramp(n, rate, [(0.0, 9000.0), (0.03, 4000.0), (0.12, 1200.0), (0.5, 400.0)])
    blast = sy.svf(nz, rate, cutoff, 0.9) * sy.attack_decay(n, rate, 0.0008, 0.06)
    boom = sy.bandpass(sy.noise(n, seed + 2), rate, 650.0, 0.9) * sy.attack_decay(n, rate, 0.002, 0.09)
    f = sy.exp_ramp(n, rate, [(0.0, 120.0), (0.05, 62.0), (0.3, 48.0)])
    thump = sy.sine(f, rate) * sy.attack_decay(n, rate, 0.0015, 0.08)
    rumble = sy.svf(sy.noise(n, seed + 1), rate, 450.0, 0.8) * sy.attack_decay(n, rate, 0.015, tail_tau)
    x = 0.9 * crack + 2.2 * blast + 2.0 * boom + 0.45 * thump + 1.4 * rumble
    return sy.soft_clip(x, 2.5)


def make_shot(n, rate):
    """550: shotgun blast - crack, noisy body, low thump, and the far shore's echo."""
    x = _shot_core(n, rate, 5501, 0.14)
    # The report comes back off the trees across the lake, duller and later.
    d = sy.samples(0.19, rate)
    echo = np.zeros(n)
    echo[d:] = x[: n - d]
    echo = sy.svf(echo, rate, 900.0, 0.7)
    d2 = d
    echo2 = np.zeros(n)
    echo2[d2:] = echo[: n - d2]
    return x + 0.25 * echo + 0.1 * echo2


def make_last_shell(n, rate):
    """551: layered over the shot when the magazine runs dry - ring, clack, tinkle."""
    x = np.zeros(n)
    # The barrel rings after the last shot: a few inharmonic partials.
    x += 0.5 * sy.ringing_modes(
        n, rate, [(1320, 1.0, 0.16), (2870, 0.7, 0.12), (4510, 0.5, 0.08), (6380, 0.3, 0.05)]
    )
    x += 0.25 * _shot_core(n, rate, 5511, 0.06) * sy.exp_decay(n, rate, 0.05)
    # The action locks open: a hard metallic clack.
    t0 = 0.12
    clack_noise = sy.bandpass(sy.noise(n, 5512), rate, 3200.0, 2.5) * sy.attack_decay(n, rate, 0.0005, 0.008, t0)
    clack = sy.ringing_modes(n, rate, [(1850, 1.0, 0.03), (3120, 0.8, 0.02), (4470, 0.5, 0.015)], t0)
    x += 0.9 * clack + 0.9 * clack_noise
    # The empty hull bounces on the boards: brass pings getting smaller.
    for at, a in ((0.33, 0.55), (0.43, 0.38), (0.5, 0.25), (0.545, 0.15)):
        x += a * sy.ringing_modes(n, rate, [(4230, 1.0, 0.025), (6910, 0.6, 0.015), (2650, 0.4, 0.03)], at)
    return x


def make_empty_click(n, rate):
    """546: trigger on an empty chamber - two tiny dry clicks, nothing more."""
    x = np.zeros(n)
    for at, a, f1, f2 in ((0.0, 1.0, 1700.0, 3100.0), (0.021, 0.55, 2200.0, 3700.0)):
        burst = sy.bandpass(sy.noise(n, 5460 + int(at * 1000)), rate, 2500.0, 1.5)
        x += a * burst * sy.attack_decay(n, rate, 0.0003, 0.0015, at)
        x += a * 0.7 * sy.ringing_modes(n, rate, [(f1, 1.0, 0.006), (f2, 0.6, 0.004)], at)
    return x


def make_reload(n, rate):
    """543: two shells slide into the magazine, then the pump goes back and forward."""
    x = np.zeros(n)
    for i, at in enumerate((0.0, 0.13)):
        sweep = sy.exp_ramp(n, rate, [(at, 1400.0), (at + 0.06, 3800.0)])
        slide = sy.bandpass(sy.noise(n, 5430 + i), rate, sweep, 1.8)
        env = sy.adsr(n, rate, 0.012, 0.03, 0.02, delay=at)
        x += 0.7 * slide * env
        # The shell seats with a small click.
        x += 0.5 * sy.ringing_modes(n, rate, [(2600, 1.0, 0.008), (4100, 0.5, 0.005)], at + 0.062)
    # Pump back: a short rasp and a dull stop.
    back = 0.29
    rasp = sy.bandpass(sy.noise(n, 5435), rate, 1300.0, 1.2) * sy.adsr(n, rate, 0.008, 0.025, 0.015, delay=back)
    x += 0.8 * rasp
    x += 0.8 * sy.ringing_modes(n, rate, [(180, 1.0, 0.03), (1150, 0.6, 0.015), (2400, 0.4, 0.01)], back + 0.045)
    # Pump forward: the loud solid clack that says "ready".
    fwd = 0.41
    rasp2 = sy.bandpass(sy.noise(n, 5436), rate, 1600.0, 1.2) * sy.adsr(n, rate, 0.006, 0.02, 0.01, delay=fwd)
    x += 0.7 * rasp2
    x += 1.2 * sy.ringing_modes(
        n, rate, [(210, 0.8, 0.035), (900, 1.0, 0.025), (2350, 0.7, 0.015), (3900, 0.5, 0.01)], fwd + 0.035
    )
    x += 0.8 * sy.highpass_diff(sy.noise(n, 5437)) * sy.attack_decay(n, rate, 0.0003, 0.002, fwd + 0.035)
    return x


def make_duck_hit(n, rate):
    """544: a duck is hit - a thump, a puff of feathers and a cut-off squawk."""
    thump_f = sy.exp_ramp(n, rate, [(0.0, 210.0), (0.05, 95.0)])
    thump = sy.sine(thump_f, rate) * sy.attack_decay(n, rate, 0.002, 0.03)
    rustle = np.abs(sy.svf(sy.noise(n, 5441), rate, 70.0, 0.7))
    rustle /= max(rustle.max(), 1e-9)
    feathers = sy.bandpass(sy.noise(n, 5442), rate, 2600.0, 0.8) * (0.4 + rustle)
    feathers *= sy.attack_decay(n, rate, 0.004, 0.06)
    feathers /= max(np.abs(feathers).max(), 1e-9)
    squawk = _quack(rate, 0.13, 560.0, 5443, droop=0.6)
    squawk /= max(np.abs(squawk).max(), 1e-9)
    x = 0.55 * thump + 0.45 * feathers
    return sy.place(x, 0.8 * squawk, sy.samples(0.012, rate))


def _glass(n, rate, f, at, tau, bright=1.0):
    """A small glass bell: the fundamental plus the stretched partials of a thin shell."""
    return sy.ringing_modes(
        n, rate, [(f, 1.0, tau), (f * 2.32, 0.35 * bright, tau * 0.5), (f * 4.25, 0.15 * bright, tau * 0.3)], at
    )


def make_hidden_target(n, rate):
    """545: a bottle clink, then a rising sparkle of glass notes - something found."""
    x = np.zeros(n)
    x += 0.9 * sy.ringing_modes(n, rate, [(2637, 1.0, 0.22), (6118, 0.45, 0.1), (1563, 0.3, 0.25), (8890, 0.2, 0.04)])
    x += 0.3 * sy.highpass_diff(sy.noise(n, 5451)) * sy.exp_decay(n, rate, 0.001)
    notes = [84, 86, 88, 91, 93, 96, 100]
    for i, note in enumerate(notes):
        x += (0.5 - 0.03 * i) * _glass(n, rate, sy.midi_hz(note), 0.09 + 0.065 * i, 0.32)
    r = sy.rand_values(72, 5452)
    for j in range(24):
        at = 0.12 + 0.95 * r[3 * j] ** 1.4
        f = 3000.0 + 5000.0 * r[3 * j + 1]
        a = 0.16 * (1.0 - at / 1.2) * (0.5 + r[3 * j + 2])
        x += a * sy.ringing_modes(n, rate, [(f, 1.0, 0.03)], at)
    # A soft shimmer over the tail.
    t = sy.times(n, rate)
    x *= 1.0 - 0.25 * np.clip(t - 0.4, 0.0, 1.0) * (0.5 + 0.5 * np.sin(sy.TWO_PI * 11.0 * t))
    return x


def _chime(n, rate, f, at, tau, bend=0.0, bright=1.0):
    """A tuned chime bar; `bend` (in semitones) droops the pitch after the strike."""
    t = sy.times(n, rate) - at
    live = t >= 0
    out = np.zeros(n)
    tt = t[live]
    drift = 2.0 ** (bend * (1.0 - np.exp(-tt / 0.12)) / 12.0)
    for ratio, a, tr in ((1.0, 1.0, 1.0), (2.0, 0.28 * bright, 0.6), (3.01, 0.12 * bright, 0.4), (4.2, 0.06 * bright, 0.25)):
        if f * ratio > 0.45 * rate:
            continue
        ph = np.cumsum(f * ratio * drift) / rate
        out[live] += a * np.sin(sy.TWO_PI * ph) * np.exp(-tt / (tau * tr))
    out[live] *= np.clip(tt / 0.002, 0.0, 1.0)
    return out


def make_clock_plus(n, rate):
    """555: time gained - a bright major chime climbing up."""
    x = np.zeros(n)
    for i, note in enumerate((84, 88, 91, 96)):
        x += (0.8 + 0.1 * i) * _chime(n, rate, sy.midi_hz(note), 0.085 * i, 0.16 if i < 3 else 0.14)
    return x


def make_clock_minus(n, rate):
    """556: time lost - a duller minor chime falling, each note sagging a little."""
    x = np.zeros(n)
    for i, note in enumerate((91, 87, 84, 79)):
        x += (1.0 - 0.05 * i) * _chime(n, rate, sy.midi_hz(note), 0.095 * i, 0.15 if i < 3 else 0.13, bend=-0.35, bright=0.6)
    return x


def make_bonus(n, rate):
    """557: a quick happy chiptune arpeggio ending on a warbling major third."""
    x = np.zeros(n)
    step = 0.055
    for i, note in enumerate((72, 76, 79, 84, 88)):
        f = sy.midi_hz(note)
        m = sy.samples(0.12, rate)
        ph = sy.phase(np.full(m, f), rate)
        tone = sy.pulse(ph, f, rate, 0.25) * sy.attack_decay(m, rate, 0.002, 0.06)
        sy.place(x, tone, sy.samples(step * i, rate))
    at = step * 5
    m = n - sy.samples(at, rate)
    t = sy.times(m, rate)
    for note, a in ((84, 0.6), (88, 0.5)):
        f = sy.midi_hz(note) * (1.0 + 0.012 * np.sin(sy.TWO_PI * 7.0 * t) * np.clip(t / 0.1, 0, 1))
        ph = sy.phase(f, rate)
        tone = sy.pulse(ph, f, rate, 0.25)
        sy.place(x, a * tone * sy.attack_decay(m, rate, 0.004, 0.15), sy.samples(at, rate))
    return x


def make_red_bird(n, rate):
    """558: the red bird was shot - three shrill chirps and an indignant screech."""
    x = np.zeros(n)
    for i, at in enumerate((0.0, 0.085, 0.17)):
        m = sy.samples(0.06, rate)
        f = sy.exp_ramp(m, rate, [(0.0, 3400.0 + 200 * i), (0.045, 6200.0)])
        ph = sy.phase(f, rate)
        tone = np.sin(sy.TWO_PI * ph) + 0.25 * np.sin(2 * sy.TWO_PI * ph)
        tone *= sy.adsr(m, rate, 0.006, 0.025, 0.02)
        sy.place(x, 0.8 * tone, sy.samples(at, rate))
    at = 0.27
    m = n - sy.samples(at, rate)
    t = sy.times(m, rate)
    base = sy.exp_ramp(m, rate, [(0.0, 4800.0), (0.08, 5200.0), (0.55, 2300.0)])
    wobble = 1.0 + 0.07 * np.sin(sy.TWO_PI * 38.0 * t) + 0.01 * sy.wander(m, rate, 200.0, 5581)
    f = base * wobble
    ph = sy.phase(f, rate)
    harsh = sy.formant_voice(f, rate, [(4200.0, 1800.0, 1.0), (8000.0, 2500.0, 0.5)], tilt=0.6, max_k=6)
    harsh /= max(np.abs(harsh).max(), 1e-9)
    hiss = sy.bandpass(sy.noise(m, 5582), rate, base * 1.1, 2.0)
    screech = (harsh + 0.35 * hiss) * sy.adsr(m, rate, 0.015, 0.38, 0.18)
    # The screech breaks up like a bird scolding.
    screech *= 0.7 + 0.3 * np.sign(np.sin(sy.TWO_PI * 14.0 * t + 1.0)) * np.clip(t / 0.2, 0, 1)
    screech = sy.onepole_lp(screech, rate, 9000.0)
    sy.place(x, screech, sy.samples(at, rate))
    return x


def _male_voice(n, rate, f0, formants, seed, breath=0.04):
    """Voiced speech: formant harmonics plus a little breath noise through the same shape."""
    jitter = 1.0 + 0.012 * sy.wander(n, rate, 30.0, seed)
    f0 = f0 * np.clip(jitter, 0.9, 1.1)
    v = sy.formant_voice(f0, rate, formants, tilt=1.0)
    v /= max(np.abs(v).max(), 1e-9)
    nz = sy.noise(n, seed + 1)
    asp = np.zeros(n)
    for centre, bw, gain in formants:
        c = np.broadcast_to(centre, (n,))
        asp += gain * sy.bandpass(nz, rate, c, np.clip(c / np.broadcast_to(bw, (n,)), 0.5, 20.0))
    asp /= max(np.abs(asp).max(), 1e-9)
    return v, asp


def make_fisherman(n, rate):
    """562: the fisherman was hit - an angry shouted "HEY!" and a grumble after it."""
    x = np.zeros(n)
    # "Hey!": breathy h, a shouted e-i diphthong rising and falling in pitch.
    m = sy.samples(0.4, rate)
    f0 = sy.exp_ramp(m, rate, [(0.0, 150.0), (0.09, 215.0), (0.26, 175.0), (0.36, 120.0)])
    forms = [
        (sy.ramp(m, rate, [(0.05, 620.0), (0.3, 380.0)]), 90.0, 1.0),
        (sy.ramp(m, rate, [(0.05, 1750.0), (0.3, 2200.0)]), 120.0, 0.7),
        (sy.ramp(m, rate, [(0.05, 2550.0), (0.3, 2900.0)]), 170.0, 0.45),
        (3500.0, 250.0, 0.2),
    ]
    v, asp = _male_voice(m, rate, f0, forms, 5621)
    voiced = v * sy.adsr(m, rate, 0.03, 0.24, 0.08, delay=0.035)
    h = asp * sy.adsr(m, rate, 0.02, 0.02, 0.03)
    hey = voiced + 0.45 * h + 0.05 * asp * sy.adsr(m, rate, 0.03, 0.24, 0.08, delay=0.035)
    sy.place(x, hey, 0)
    # "Hrrmph": low, rough, closing to a hum - he is not happy.
    at = 0.46
    m2 = n - sy.samples(at, rate)
    t2 = sy.times(m2, rate)
    f0b = sy.exp_ramp(m2, rate, [(0.0, 105.0), (0.12, 112.0), (0.3, 88.0)])
    forms2 = [
        (sy.ramp(m2, rate, [(0.0, 560.0), (0.2, 300.0)]), 110.0, 1.0),
        (sy.ramp(m2, rate, [(0.0, 1150.0), (0.2, 950.0)]), 150.0, 0.5),
        (2450.0, 250.0, 0.2),
    ]
    v2, asp2 = _male_voice(m2, rate, f0b, forms2, 5623)
    roll = 0.6 + 0.4 * np.abs(np.sin(sy.TWO_PI * 13.0 * t2))
    grumble = (v2 * roll + 0.08 * asp2) * sy.adsr(m2, rate, 0.03, 0.16, 0.11)
    sy.place(x, 0.6 * grumble, sy.samples(at, rate))
    return x


def _quack(rate, dur, pitch, seed, droop=0.75):
    """One mallard quack: a nasal, buzzy vowel opening fast and closing with a drop."""
    m = sy.samples(dur, rate)
    f0 = sy.exp_ramp(m, rate, [(0.0, pitch * 0.92), (0.03, pitch * 1.05), (dur * 0.6, pitch), (dur, pitch * droop)])
    # Hoarse: a slow random wander in pitch.
    f0 = f0 * (1.0 + 0.015 * sy.wander(m, rate, 40.0, seed))
    f1 = sy.ramp(m, rate, [(0.0, 550.0), (0.035, 1050.0), (dur * 0.7, 950.0), (dur, 650.0)])
    f2 = sy.ramp(m, rate, [(0.0, 1300.0), (0.035, 1650.0), (dur, 1450.0)])
    forms = [(f1, 180.0, 1.0), (f2, 160.0, 1.1), (2900.0, 260.0, 0.5), (4200.0, 400.0, 0.2)]
    v = sy.formant_voice(f0, rate, forms, tilt=0.4)
    ph = sy.phase(f0, rate)
    # Period-doubling roughness and a puff of noise on every glottal pulse give a
    # quack its rasp; a clean harmonic tone sounds like a kazoo instead.
    v *= 1.0 + 0.3 * np.sin(sy.TWO_PI * 0.5 * ph)
    v /= max(np.abs(v).max(), 1e-9)
    puffs = sy.noise(m, seed + 100) * (0.5 + 0.5 * np.cos(sy.TWO_PI * ph)) ** 4
    rasp = sy.bandpass(puffs, rate, np.minimum(f2, 0.4 * rate), 1.5)
    v += 0.6 * rasp / max(np.abs(rasp).max(), 1e-9)
    env = sy.adsr(m, rate, 0.012, dur - 0.052, 0.04)
    env *= sy.ramp(m, rate, [(0.0, 1.0), (dur * 0.4, 1.0), (dur, 0.6)])
    return v * env


def _quacks(n, rate, calls, seed):
    x = np.zeros(n)
    for i, (at, dur, pitch, gain) in enumerate(calls):
        q = _quack(rate, dur, pitch, seed + i)
        q /= max(np.abs(q).max(), 1e-9)
        sy.place(x, gain * q, sy.samples(at, rate))
    return x


def make_quack2(n, rate):
    """563: "quack-quack"."""
    return _quacks(n, rate, [(0.0, 0.19, 330.0, 1.0), (0.27, 0.23, 300.0, 0.9)], 5630)


def make_quack3(n, rate):
    """564: a three-quack call falling away, the last one drawn out."""
    return _quacks(n, rate, [(0.0, 0.2, 350.0, 1.0), (0.29, 0.19, 325.0, 0.9), (0.55, 0.34, 290.0, 0.85)], 5640)


def make_end_round(n, rate):
    """578: end of round, and the page tap - a small gong, soft mallet, quick to fade."""
    x = 0.6 * sy.ringing_modes(
        n,
        rate,
        [
            (392.0, 1.0, 0.2),
            (394.5, 0.6, 0.2),
            (863.0, 0.55, 0.13),
            (1187.0, 0.4, 0.09),
            (1640.0, 0.25, 0.06),
            (2210.0, 0.15, 0.04),
        ],
    )
    mallet = sy.svf(sy.noise(n, 5781), rate, 700.0, 0.7) * sy.attack_decay(n, rate, 0.001, 0.01)
    return x + 0.8 * mallet


def make_countdown(n, rate):
    """579: four seconds left - tick and beep each second, higher, louder, then doubled."""
    x = np.zeros(n)
    for k in range(4):
        at = float(k)
        f = sy.midi_hz(81 + 2 * k + (1 if k == 3 else 0))
        level = 0.55 + 0.15 * k
        beeps = [(0.0, 0.11)] if k < 2 else [(0.0, 0.1), (0.16, 0.1 if k == 2 else 0.22)]
        for off, length in beeps:
            m = sy.samples(length + 0.03, rate)
            ph = sy.phase(np.full(m, f), rate)
            tone = sy.additive(ph, f, rate, lambda j: (1.0 / j) if j % 2 else 0.0, max_k=5)
            tone *= sy.adsr(m, rate, 0.004, length - 0.01, 0.025)
            sy.place(x, level * tone, sy.samples(at + off, rate))
        # A clock tick under every beep.
        x += 0.5 * level * sy.ringing_modes(n, rate, [(2200.0, 1.0, 0.006), (3300.0, 0.6, 0.004)], at)
    return x


def make_button(n, rate):
    """540: a short wooden click."""
    x = sy.ringing_modes(n, rate, [(1150.0, 1.0, 0.012), (2700.0, 0.55, 0.006), (430.0, 0.45, 0.02)])
    x += 0.4 * sy.highpass_diff(sy.noise(n, 5401)) * sy.exp_decay(n, rate, 0.0008)
    return x


def make_volume_blip(n, rate):
    """538: a plain, neutral blip so the effect volume can be judged."""
    t = sy.times(n, rate)
    x = np.sin(sy.TWO_PI * 880.0 * t) + 0.15 * np.sin(sy.TWO_PI * 1760.0 * t)
    return x * sy.adsr(n, rate, 0.005, 0.11, 0.08)


def make_menu_music(period, rate):
    return music.render_menu(period, rate)


def make_round_music(period, rate):
    return music.render_round(period, rate)


# ====================================================================== table

# (id, rate, data bytes, kind, purpose, builder)
SOUNDS = [
    (535, 22050, 84808, "music", "menu music loop", make_menu_music),
    (537, 22050, 211806, "music", "round music loop", make_round_music),
    (538, 22050, 5997, "effect", "effect volume sample blip", make_volume_blip),
    (540, 22050, 6434, "effect", "button press click", make_button),
    (543, 11025, 6207, "effect", "reload: shells in, pump", make_reload),
    (544, 11025, 2245, "effect", "a duck is hit", make_duck_hit),
    (545, 22050, 30208, "effect", "hidden target found", make_hidden_target),
    (546, 11025, 792, "effect", "tap with an empty gun", make_empty_click),
    (550, 22050, 17115, "effect", "shot", make_shot),
    (551, 22050, 14403, "effect", "last shell fired", make_last_shell),
    (555, 22050, 15404, "effect", "clock plus: rising chime", make_clock_plus),
    (556, 22050, 14254, "effect", "clock minus: falling chime", make_clock_minus),
    (557, 11025, 8384, "effect", "bonus arpeggio", make_bonus),
    (558, 44100, 41281, "effect", "red bird shot (penalty)", make_red_bird),
    (562, 22050, 17468, "effect", "fisherman hit: angry hey", make_fisherman),
    (563, 22050, 15670, "effect", "duck call: two quacks", make_quack2),
    (564, 22050, 25998, "effect", "duck call: three quacks", make_quack3),
    (578, 22050, 12671, "effect", "end of round / page tap gong", make_end_round),
    (579, 11025, 47037, "effect", "last seconds countdown", make_countdown),
]


def loop_period(nbytes):
    """Samples in one cycle of a looped sample.

    The voice plays bytes 0 .. n-8 and then goes on at byte 1, so byte n-8 is
    followed by byte 1: the cycle is bytes 1 .. n-8, n - 8 samples long.
    """
    return nbytes - UNPLAYED_TAIL - 1


# ====================================================================== output


def _dc_block(x, rate):
    return sy.onepole_hp(x, rate, 15.0)


def finish_effect(x, rate, nbytes):
    """Fit to length, remove DC, fade to silence before the unplayed tail, scale."""
    y = np.zeros(nbytes)
    m = min(len(x), nbytes)
    y[:m] = x[:m]
    y = _dc_block(y, rate)
    played = nbytes - UNPLAYED_TAIL
    y[played:] = 0.0
    # Whatever still rings near the end is faded out gently rather than cut.
    fade = min(sy.samples(0.04, rate), played // 4)
    y[played - fade : played] *= 0.5 + 0.5 * np.cos(math.pi * np.arange(fade) / fade)
    y = sy.fade_edges(y[:played], rate, fade_in=0.0003, fade_out=0.001)
    y = np.concatenate((y, np.zeros(UNPLAYED_TAIL)))
    return quantise(y, EFFECT_PEAK)


def finish_music(cycle, nbytes):
    """Centre one loop cycle and lay it out so the engine's wrap lands on sample 1."""
    cycle = cycle - cycle.mean()
    # Drum hits make the peaks; a gentle saturation lets the tune itself sit a little
    # louder under the same peak without audible distortion.
    cycle = np.tanh(1.2 * cycle / np.abs(cycle).max())
    cycle -= cycle.mean()
    idx = np.arange(nbytes) % len(cycle)
    return quantise(cycle[idx], MUSIC_PEAK)


def quantise(y, peak):
    top = np.abs(y).max()
    if top > 0:
        y = y * (peak / top)
    return np.clip(np.rint(y) + 128, 0, 255).astype(np.uint8)


def render(sound_id):
    for sid, rate, nbytes, kind, _purpose, build in SOUNDS:
        if sid == sound_id:
            if kind == "music":
                return rate, finish_music(build(loop_period(nbytes), rate), nbytes)
            return rate, finish_effect(build(nbytes, rate), rate, nbytes)
    raise KeyError(sound_id)


def wave_bytes(rate, data):
    """RIFF/WAVE: 'fmt ' first (PCM, mono, 8 bits), then 'data' (padded to even)."""
    data = bytes(data)
    pad = b"\x00" if len(data) % 2 else b""
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data + pad
    return b"RIFF" + struct.pack("<I", len(body)) + body


def write_if_changed(path, blob):
    """Write only when the bytes differ, so unchanged sounds keep their timestamps."""
    try:
        with open(path, "rb") as f:
            if f.read() == blob:
                return False
    except FileNotFoundError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(blob)
    os.replace(tmp, path)
    return True


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="directory for the <id>.wav files")
    ap.add_argument("--only", type=int, nargs="*", help="generate just these ids")
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    written = 0
    for sid, *_ in SOUNDS:
        if args.only and sid not in args.only:
            continue
        rate, data = render(sid)
        if write_if_changed(os.path.join(args.out, "%d.wav" % sid), wave_bytes(rate, data)):
            written += 1
    print("gen_sounds: %d of %d files updated in %s" % (written, len(SOUNDS), args.out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
