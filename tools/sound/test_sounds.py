#!/usr/bin/python3
"""Checks on the generated sounds; exits non-zero when any check fails.

    /usr/bin/python3 tools/sound/test_sounds.py

Runs the generator twice into temporary folders through its command line, then
checks each file the way the game's wave loader and mixer will use it: header
layout, rate, exact data length, levels, the edges the engine plays, loop seams
of the music, a few properties that make each sound what it is meant to be, and
that the output is reproducible and only rewritten when it changes.
"""
import os
import struct
import subprocess
import sys
import tempfile

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)

from gen_sounds import SOUNDS, UNPLAYED_TAIL, loop_period  # noqa: E402

GEN = os.path.join(HERE, "gen_sounds.py")
FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)
    return cond


def run_generator(out):
    subprocess.run([sys.executable, GEN, "--out", out], check=True, stdout=subprocess.DEVNULL)


def parse(blob):
    """Read the file strictly as laid out: RIFF header, 'fmt ' first, then 'data'."""
    riff, riff_size, wave = struct.unpack_from("<4sI4s", blob, 0)
    fid, fsize = struct.unpack_from("<4sI", blob, 12)
    fmt = struct.unpack_from("<HHIIHH", blob, 20)
    did, dsize = struct.unpack_from("<4sI", blob, 36)
    data = np.frombuffer(blob, dtype=np.uint8, count=dsize, offset=44) if did == b"data" else None
    return {
        "riff": riff,
        "riff_size": riff_size,
        "wave": wave,
        "fmt_id": fid,
        "fmt_size": fsize,
        "fmt": fmt,
        "data_id": did,
        "data_size": dsize,
        "data": data,
    }


def longest_run(mask):
    best = cur = 0
    for v in mask:
        cur = cur + 1 if v else 0
        best = max(best, cur)
    return best


def dominant_hz(seg, rate):
    seg = seg.astype(np.float64) - 128.0
    spectrum = np.abs(np.fft.rfft(seg * np.hanning(len(seg)), 1 << 15))
    freqs = np.fft.rfftfreq(1 << 15, 1.0 / rate)
    spectrum[freqs < 150] = 0
    return freqs[int(np.argmax(spectrum))]


def window_rms(s, rate, start, length):
    a, b = int(start * rate), int((start + length) * rate)
    seg = s[a:b]
    return float(np.sqrt(np.mean(seg * seg))) if len(seg) else 0.0


def check_file(sid, rate, nbytes, kind, blob):
    h = parse(blob)
    tag = "%d.wav" % sid
    check(h["riff"] == b"RIFF" and h["wave"] == b"WAVE", tag + ": RIFF/WAVE header")
    check(h["riff_size"] == len(blob) - 8, tag + ": RIFF size matches file")
    check(h["fmt_id"] == b"fmt " and h["fmt_size"] == 16, tag + ": 'fmt ' is the first chunk, 16 bytes")
    fmt_tag, channels, srate, byte_rate, align, bits = h["fmt"]
    check(fmt_tag == 1 and channels == 1 and bits == 8, tag + ": PCM mono 8-bit")
    check(srate == rate and byte_rate == rate and align == 1, tag + ": rate %d, byte rate, align" % rate)
    check(h["data_id"] == b"data", tag + ": 'data' follows 'fmt '")
    if not check(h["data_size"] == nbytes and h["data"] is not None and len(h["data"]) == nbytes,
                 tag + ": data holds exactly %d bytes" % nbytes):
        return
    d = h["data"]
    s = d.astype(np.float64) - 128.0
    played = s[: nbytes - UNPLAYED_TAIL]

    check(np.any(d != 128), tag + ": not silence")
    peak = np.abs(played).max()
    lo, hi = (60, 85) if kind == "music" else (85, 115)
    check(lo <= peak <= hi, tag + ": peak %d within %d..%d" % (peak, lo, hi))
    check(longest_run((d == 0) | (d == 255)) < 3, tag + ": no runs of clipped samples")
    mean = float(np.mean(played))
    check(abs(mean) < 1.5, tag + ": no DC offset (mean %+.2f)" % mean)

    if kind == "effect":
        # Feedback must be immediate: the sound is under way within 10 ms.
        first = int(np.argmax(np.abs(played) >= 8))
        check(first < rate * 0.010, tag + ": starts within 10 ms (at %.1f ms)" % (first * 1000.0 / rate))
        # The voice stops dead after byte n-8; whatever is there must be silence.
        end = played[-max(4, rate // 200):]
        check(np.abs(end).max() <= 2, tag + ": ends in silence before the unplayed tail")
    else:
        check_loop_seam(tag, d, nbytes)


def check_loop_seam(tag, d, nbytes):
    """Looping goes from byte n-8 straight to byte 1; that step must look like any other."""
    e = loop_period(nbytes)
    check(e == nbytes - 8, tag + ": loop end is byte n-8")
    x = d.astype(np.int64)
    before = np.abs(np.diff(x[e - 256 : e + 1]))
    after = np.abs(np.diff(x[1:258]))
    local = np.concatenate((before, after))
    # The samples as the voice plays them round the seam: ..., n-10, n-9, n-8, 1, 2, 3.
    # Rendering mistakes show up as a step right at the seam or just before it (where
    # one cycle of the buffer meets the next copy laid out after it).
    seam = np.array([x[e - 3], x[e - 2], x[e - 1], x[e], x[1], x[2], x[3]])
    jump = int(np.abs(np.diff(seam)).max())
    typical = max(2.0, float(np.percentile(local, 90)))
    check(jump <= typical, tag + ": loop seam step %d <= typical step %.1f" % (jump, typical))
    # The played cycle repeated twice must keep its character over the seam too:
    # the short-time level just across the seam matches the level either side.
    s = x.astype(np.float64) - 128.0
    joined = np.concatenate((s[e - 2205 : e + 1], s[1:2206]))
    across = np.sqrt(np.mean(joined[2000:2410] ** 2))
    around = np.sqrt(np.mean(joined ** 2))
    check(across <= 3.0 * around + 2.0, tag + ": no burst at the loop seam")


def check_character(files):
    """Properties that make particular sounds what they are."""

    def samples(sid):
        return files[sid]

    rates = {sid: rate for sid, rate, *_ in SOUNDS}

    # Clock plus climbs, clock minus falls.
    for sid, rising in ((555, True), (556, False)):
        d, r = samples(sid), rates[sid]
        first = dominant_hz(d[: int(0.07 * r)], r)
        last = dominant_hz(d[int(0.3 * r) : int(0.45 * r)], r)
        ok = last > first * 1.2 if rising else last < first / 1.2
        check(ok, "%d: pitch %s (%.0f Hz -> %.0f Hz)" % (sid, "rises" if rising else "falls", first, last))

    # Countdown: four events one second apart, each higher and no quieter than the last.
    d, r = samples(579), rates[579]
    s = d.astype(np.float64) - 128.0
    pitches, levels = [], []
    for k in range(4):
        on = window_rms(s, r, k, 0.09)
        off = window_rms(s, r, k + 0.55, 0.3)
        check(on > 10.0 and off < 2.0, "579: beep at %d s (rms %.1f) with quiet after (%.1f)" % (k, on, off))
        pitches.append(dominant_hz(d[int(k * r) + 50 : int((k + 0.09) * r)], r))
        levels.append(on)
    check(all(b > a for a, b in zip(pitches, pitches[1:])), "579: beeps rise in pitch %s" % pitches)
    check(all(b >= a * 0.95 for a, b in zip(levels, levels[1:])), "579: beeps do not get quieter %s" % levels)

    # Quacks: two and three separate calls, with gaps of silence between them.
    for sid, calls in ((563, 2), (564, 3)):
        d, r = samples(sid), rates[sid]
        s = np.abs(d.astype(np.float64) - 128.0)
        win = int(0.01 * r)
        env = np.array([s[i : i + win].max() for i in range(0, len(s) - win, win)])
        loud = env > 0.3 * env.max()
        bursts = int(np.sum(loud[1:] & ~loud[:-1]) + (1 if loud[0] else 0))
        check(bursts == calls, "%d: %d separate quacks (found %d)" % (sid, calls, bursts))

    # The shot must carry in the mid and high range, not only a low thump that small
    # speakers cannot reproduce.
    d, r = samples(550), rates[550]
    seg = d[: int(0.04 * r)].astype(np.float64) - 128.0
    spectrum = np.abs(np.fft.rfft(seg)) ** 2
    freqs = np.fft.rfftfreq(len(seg), 1.0 / r)
    share = spectrum[freqs >= 800].sum() / spectrum.sum()
    check(share > 0.4, "550: attack is mostly above 800 Hz (%.2f)" % share)


def check_write_if_changed(out):
    """Unchanged files keep their timestamps; a damaged file is rewritten."""
    paths = [os.path.join(out, "%d.wav" % sid) for sid, *_ in SOUNDS]
    past = 1_000_000_000
    for p in paths:
        os.utime(p, (past, past))
    with open(paths[0], "r+b") as f:
        f.seek(100)
        f.write(b"\x00")
    run_generator(out)
    check(os.stat(paths[0]).st_mtime != past, "a changed file is rewritten")
    unchanged = [p for p in paths[1:] if os.stat(p).st_mtime == past]
    check(len(unchanged) == len(paths) - 1, "unchanged files are not rewritten")
    leftovers = [f for f in os.listdir(out) if not f.endswith(".wav")]
    check(not leftovers, "no temporary files left behind %s" % leftovers)


def main():
    with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
        run_generator(a)
        run_generator(b)
        files = {}
        for sid, rate, nbytes, kind, _purpose, _build in SOUNDS:
            pa, pb = os.path.join(a, "%d.wav" % sid), os.path.join(b, "%d.wav" % sid)
            if not check(os.path.exists(pa), "%d.wav written" % sid):
                continue
            with open(pa, "rb") as f:
                blob = f.read()
            with open(pb, "rb") as f:
                check(f.read() == blob, "%d.wav: two runs give identical bytes" % sid)
            check_file(sid, rate, nbytes, kind, blob)
            files[sid] = parse(blob)["data"]
        check(len(files) == len(SOUNDS) == 19, "all 19 sounds present")
        check(sorted(os.listdir(a)) == sorted("%d.wav" % s for s, *_ in SOUNDS), "no stray files")
        if len(files) == len(SOUNDS):
            check_character(files)
        check_write_if_changed(a)
    if FAILURES:
        print("%d check(s) failed" % len(FAILURES))
        return 1
    print("all sound checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
