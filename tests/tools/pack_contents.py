"""Every picture and sound the game loads is in the pack linked into it, intact.

For each picture of the catalogue (id, device size): `pctool extract` takes it out of
the game's own pack, `pctool decode` decodes it at the size the game loads it with,
and the result must equal the generated picture pixel for pixel; in keyed pictures the
key colour (top-left pixel) must appear somewhere but not everywhere. Both fonts'
glyph strips must scan to the marker counts and glyph lengths the text code relies on.
Every sound must be in the pack with its rate and exact data length.

usage: pack_contents.py PCTOOL ART_PNG_DIR SOURCE_DIR
"""

import os
import struct
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True

pctool, art_dir, source_dir = sys.argv[1:4]
sys.path.insert(0, os.path.join(source_dir, "tools", "art"))
sys.path.insert(0, os.path.join(source_dir, "tests", "e2e"))
import catalogue  # noqa: E402
import e2e_lib  # noqa: E402

SOUNDS = {535: (22050, 84808), 537: (22050, 211806), 538: (22050, 5997), 540: (22050, 6434),
          543: (11025, 6207), 544: (11025, 2245), 545: (22050, 30208), 546: (11025, 792),
          550: (22050, 17115), 551: (22050, 14403), 555: (22050, 15404), 556: (22050, 14254),
          557: (11025, 8384), 558: (44100, 41281), 562: (22050, 17468), 563: (22050, 15670),
          564: (22050, 25998), 578: (22050, 12671), 579: (11025, 47037)}

failures = []
checked = 0


def fail(what):
    failures.append(what)
    print("FAILED: " + what)


def device_rows(image):
    """Rows of RGB tuples in device orientation, as stored."""
    return [[image.pixel(x, y) for x in range(image.width)] for y in range(image.height)]


def marker_scan(rows):
    """The font loader's walk down column 0 of a strip: (markers found, glyph lengths)."""
    n = len(rows)
    background, marker = rows[n - 1][0], rows[n - 2][0]
    starts, lengths = [0], []
    for p in range(2, n - 1):
        if rows[n - 1 - p][0] == marker:
            lengths.append(p - starts[-1])
            starts.append(p)
            if len(lengths) == 100:
                break
    return len(lengths), lengths, background


with tempfile.TemporaryDirectory() as tmp:
    for pid in catalogue.ids():
        w, h = catalogue.size(pid)[:2]
        pct, png = os.path.join(tmp, "p.pct"), os.path.join(tmp, "p.png")
        if subprocess.run([pctool, "extract", "PCT", str(pid), pct], capture_output=True).returncode:
            fail("picture %d is not in the pack" % pid)
            continue
        subprocess.run([pctool, "decode", pct, str(w), str(h), png], check=True, capture_output=True)
        got = e2e_lib.Image(png)
        want = e2e_lib.Image(os.path.join(art_dir, "%d.png" % pid))
        if (got.width, got.height) != (w, h) or got.rows != want.rows:
            fail("picture %d does not decode to the generated %d x %d picture" % (pid, w, h))
            continue
        checked += 1
        mode = catalogue.mode(pid)
        if mode in ("keyed", "font"):
            rows = device_rows(got)
            key = rows[0][0]
            count = sum(row.count(key) for row in rows)
            if not 0 < count < w * h:
                fail("picture %d: key colour used by %d of %d pixels" % (pid, count, w * h))
        if pid in (255, 503):
            found, lengths, _ = marker_scan(device_rows(got))
            expected = {255: (42, {1: 10, 2: 20}), 503: (44, {0: 13, 43: 10})}[pid]
            if found != expected[0]:
                fail("font %d: %d markers, expected %d" % (pid, found, expected[0]))
            for glyph, length in expected[1].items():
                if glyph >= len(lengths) or lengths[glyph] != length:
                    fail("font %d: glyph %d is not %d rows long" % (pid, glyph, length))

    for sid, (rate, length) in sorted(SOUNDS.items()):
        wav = os.path.join(tmp, "s.wav")
        if subprocess.run([pctool, "extract", "WAVE", str(sid), wav], capture_output=True).returncode:
            fail("sound %d is not in the pack" % sid)
            continue
        got_rate, channels, bits, data = e2e_lib.read_wav(wav)
        if (got_rate, channels, bits, len(data)) != (rate, 1, 8, length):
            fail("sound %d: %d Hz, %d channel(s), %d bits, %d bytes; expected %d Hz mono 8-bit, %d bytes"
                 % (sid, got_rate, channels, bits, len(data), rate, length))
            continue
        checked += 1

print("%d passed, %d failed" % (checked, len(failures)))
sys.exit(1 if failures or checked == 0 else 0)
