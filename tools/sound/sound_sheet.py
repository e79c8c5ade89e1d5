#!/usr/bin/python3
"""Draw one review sheet of every generated sound.

    /usr/bin/python3 tools/sound/sound_sheet.py WAVDIR OUT.png

Each row shows a sound's label (id, rate, data length, duration, purpose), its
waveform (min/max per pixel column, with the +-100 effect target and the part the
engine never plays shaded) and a spectrogram, so levels, envelopes, pitch movement
and loop seams can be judged by eye.  Music rows also show the samples either side
of the loop seam, joined as the engine plays them.
"""
import math
import os
import struct
import sys

import cairo
import numpy as np

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from gen_sounds import SOUNDS, UNPLAYED_TAIL, loop_period  # noqa: E402

ROW_H = 96
LABEL_W = 250
WAVE_W = 720
SEAM_W = 120
SPEC_W = 360
PAD = 8
WIDTH = LABEL_W + WAVE_W + SEAM_W + SPEC_W + 5 * PAD
FONT = "DejaVu Sans"


def read_wave(path):
    """Return (rate, uint8 samples) from one of our files: 'fmt ' then 'data'."""
    with open(path, "rb") as f:
        blob = f.read()
    rate = struct.unpack_from("<I", blob, 24)[0]
    pos = 12
    while pos + 8 <= len(blob):
        cid = blob[pos : pos + 4]
        size = struct.unpack_from("<I", blob, pos + 4)[0]
        if cid == b"data":
            return rate, np.frombuffer(blob, dtype=np.uint8, count=size, offset=pos + 8)
        pos += 8 + size + (size & 1)
    raise ValueError("%s: no data chunk" % path)


def draw_wave(ctx, x0, y0, w, h, data, playable):
    mid = y0 + h / 2.0
    ctx.set_source_rgb(0.97, 0.97, 0.95)
    ctx.rectangle(x0, y0, w, h)
    ctx.fill()
    # The +-100 target band and the centre line.
    ctx.set_source_rgb(0.85, 0.88, 0.92)
    for lvl in (100, -100):
        y = mid - lvl / 128.0 * h / 2.0
        ctx.move_to(x0, y)
        ctx.line_to(x0 + w, y)
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.set_source_rgb(0.7, 0.7, 0.7)
    ctx.move_to(x0, mid)
    ctx.line_to(x0 + w, mid)
    ctx.stroke()
    s = data.astype(np.float64) - 128.0
    n = len(s)
    edges = np.linspace(0, n, w + 1).astype(int)
    ctx.set_source_rgb(0.15, 0.35, 0.6)
    for i in range(w):
        a, b = edges[i], max(edges[i + 1], edges[i] + 1)
        seg = s[a:b]
        lo, hi = seg.min(), seg.max()
        ctx.move_to(x0 + i + 0.5, mid - hi / 128.0 * h / 2.0)
        ctx.line_to(x0 + i + 0.5, mid - lo / 128.0 * h / 2.0 + 0.5)
    ctx.stroke()
    # Shade the bytes the engine never plays (too few to see on long sounds).
    xs = x0 + w * playable / n
    ctx.set_source_rgba(0.8, 0.2, 0.2, 0.35)
    ctx.rectangle(xs, y0, max(1.0, x0 + w - xs), h)
    ctx.fill()


def draw_seam(ctx, x0, y0, w, h, data, period):
    """The last samples before the wrap, then those after it, as the voice plays them."""
    ctx.set_source_rgb(0.97, 0.97, 0.95)
    ctx.rectangle(x0, y0, w, h)
    ctx.fill()
    k = w // 4
    end = period  # index of the last played byte, n - 8
    joined = np.concatenate((data[end - k + 1 : end + 1], data[1 : k + 1])).astype(np.float64) - 128.0
    mid = y0 + h / 2.0
    ctx.set_source_rgb(0.8, 0.3, 0.2)
    ctx.move_to(x0 + w / 2.0, y0)
    ctx.line_to(x0 + w / 2.0, y0 + h)
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.set_source_rgb(0.15, 0.35, 0.6)
    for i, v in enumerate(joined):
        px = x0 + (i + 0.5) * w / len(joined)
        py = mid - v / 128.0 * h / 2.0
        if i == 0:
            ctx.move_to(px, py)
        else:
            ctx.line_to(px, py)
    ctx.stroke()
    ctx.set_source_rgb(0.3, 0.3, 0.3)
    ctx.select_font_face(FONT)
    ctx.set_font_size(9)
    ctx.move_to(x0 + 2, y0 + h - 3)
    ctx.show_text("loop seam")


def draw_spectrogram(ctx, x0, y0, w, h, data, rate):
    s = data.astype(np.float64) - 128.0
    win = 256 if rate <= 11025 else (512 if rate <= 22050 else 1024)
    hop = max(1, (len(s) - win) // w) if len(s) > win else 1
    frames = []
    window = np.hanning(win)
    for i in range(w):
        a = i * hop
        seg = s[a : a + win]
        if len(seg) < win:
            seg = np.pad(seg, (0, win - len(seg)))
        frames.append(np.abs(np.fft.rfft(seg * window)))
    spectrum = np.array(frames).T  # bins x columns
    db = 20 * np.log10(spectrum + 1e-3)
    db = np.clip((db - 0.0) / 70.0, 0.0, 1.0)
    # Frequency axis: 0..Nyquist from bottom to top, resampled to h rows.
    rows = np.linspace(0, spectrum.shape[0] - 1, h).astype(int)[::-1]
    img = db[rows, :]
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    stride = surf.get_stride()
    buf = np.ndarray((h, stride // 4), dtype=np.uint32, buffer=surf.get_data())
    r = (255 * np.clip(img * 1.6, 0, 1)).astype(np.uint32)
    g = (255 * np.clip(img * 1.6 - 0.6, 0, 1)).astype(np.uint32)
    b = (255 * np.clip(0.35 + img - np.clip(img * 2 - 1, 0, 1), 0, 1)).astype(np.uint32)
    buf[:, :w] = (r << 16) | (g << 8) | b
    surf.mark_dirty()
    ctx.set_source_surface(surf, x0, y0)
    ctx.paint()
    ctx.set_source_rgb(1, 1, 1)
    ctx.select_font_face(FONT)
    ctx.set_font_size(9)
    ctx.move_to(x0 + 3, y0 + 10)
    ctx.show_text("%d Hz" % (rate // 2))


def main(argv):
    if len(argv) != 3:
        print("usage: sound_sheet.py WAVDIR OUT.png", file=sys.stderr)
        return 2
    wavdir, out = argv[1], argv[2]
    height = PAD + 28 + len(SOUNDS) * (ROW_H + PAD)
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, WIDTH, height)
    ctx = cairo.Context(surf)
    ctx.set_source_rgb(1, 1, 1)
    ctx.paint()
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(15)
    ctx.set_source_rgb(0.1, 0.1, 0.1)
    ctx.move_to(PAD, PAD + 15)
    ctx.show_text("Tallreed sounds - waveform (band = +-100, red = never played), loop seam, spectrogram")
    y = PAD + 28
    for sid, rate, nbytes, kind, purpose, _build in SOUNDS:
        path = os.path.join(wavdir, "%d.wav" % sid)
        r, data = read_wave(path)
        ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(20)
        ctx.set_source_rgb(0.1, 0.1, 0.1)
        ctx.move_to(PAD, y + 22)
        ctx.show_text(str(sid))
        ctx.select_font_face(FONT)
        ctx.set_font_size(11)
        lines = [
            purpose,
            "%d Hz, %d bytes%s" % (r, len(data), "" if len(data) == nbytes else " (expected %d)" % nbytes),
            "%.3f s, %s" % (len(data) / r, kind),
            "peak %+d / %+d" % (int(data.max()) - 128, int(data.min()) - 128),
        ]
        for i, line in enumerate(lines):
            ctx.move_to(PAD + 60 if i == 0 else PAD, y + 22 + (0 if i == 0 else 16 * i))
            ctx.show_text(line)
        x = PAD + LABEL_W + PAD
        draw_wave(ctx, x, y, WAVE_W, ROW_H, data, len(data) - UNPLAYED_TAIL)
        x += WAVE_W + PAD
        if kind == "music":
            draw_seam(ctx, x, y, SEAM_W, ROW_H, data, loop_period(nbytes))
        x += SEAM_W + PAD
        draw_spectrogram(ctx, x, y, SPEC_W, ROW_H, data, r)
        y += ROW_H + PAD
    surf.write_to_png(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
