"""Helpers for end-to-end tests that drive the game through tallreed-sim.

CTest runs each tests/e2e/NAME.py as:  python3 NAME.py SIM_PATH GAME_PATH OUT_DIR
(working directory tests/e2e). A test typically does:

    import e2e_lib as e2e
    t = e2e.Test()                       # reads argv
    r = t.run("wait 3000\\ndump after\\nquit\\n")
    t.check(r.status == 0, "normal exit")
    t.check(r.dumps["after"]["view"] == 14, "title screen after the splash")
    t.check(r.pixel("s", 10, 20) == (0, 0, 0), "...")   # landscape pixel of shot s
    t.finish()                           # prints "N passed, N failed", exits 1 on failure

Only the standard library is used (a small PNG reader with zlib is included).
"""

import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

DEVICE_W, DEVICE_H = 240, 320
LANDSCAPE_W, LANDSCAPE_H = 320, 240


def device_to_landscape(dx, dy):
    """Where device pixel (dx, dy) appears in a shot (the window as the player sees it)."""
    return LANDSCAPE_W - 1 - dy, dx


def read_png(path):
    """Returns (width, height, channels, rows) with rows a list of bytes objects, one per
    row, channels bytes per pixel. Supports 8-bit grey, RGB, grey+alpha and RGBA,
    non-interlaced."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s: not a PNG file" % path)
    pos, idat, header = 8, [], None
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
    if header is None:
        raise ValueError("%s: no header" % path)
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 4: 2, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace != 0:
        raise ValueError("%s: unsupported PNG layout" % path)
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        ftype = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 0xFF
            elif ftype == 2:
                line[i] = (line[i] + b) & 0xFF
            elif ftype == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 0xFF
            elif ftype == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
            elif ftype != 0:
                raise ValueError("%s: bad filter %d" % (path, ftype))
        rows.append(bytes(line))
        prev = line
    return width, height, channels, rows


class Image:
    """A decoded PNG with pixel access by landscape (x, y) or device (dx, dy)."""

    def __init__(self, path):
        self.path = path
        self.width, self.height, self.channels, self.rows = read_png(path)

    def pixel(self, x, y):
        row = self.rows[y]
        i = x * self.channels
        if self.channels < 3:
            return (row[i], row[i], row[i])
        return tuple(row[i:i + 3])

    def device_pixel(self, dx, dy):
        return self.pixel(*device_to_landscape(dx, dy))

    def colours(self):
        """The set of distinct RGB colours in the picture."""
        seen = set()
        for y in range(self.height):
            for x in range(self.width):
                seen.add(self.pixel(x, y))
        return seen


def read_wav(path):
    """Returns (rate, channels, bits, data bytes) of a PCM RIFF wave file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError("%s: not a wave file" % path)
    pos, fmt, samples = 12, None, None
    while pos + 8 <= len(data):
        kind, length = struct.unpack("<4sI", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"fmt ":
            fmt = struct.unpack("<HHIIHH", body[:16])
        elif kind == b"data":
            samples = body
        pos += 8 + length + (length & 1)
    if fmt is None or samples is None:
        raise ValueError("%s: incomplete wave file" % path)
    return fmt[2], fmt[1], fmt[5], samples


class Result:
    """What one simulator run left behind."""

    def __init__(self, status, stdout, stderr, out_dir, audio_path):
        self.status = status
        self.stdout = stdout
        self.stderr = stderr
        self.out_dir = out_dir
        self.audio_path = audio_path
        self.dumps = {}
        for name in sorted(os.listdir(out_dir)):
            if name.endswith(".json"):
                with open(os.path.join(out_dir, name), encoding="utf-8") as f:
                    self.dumps[name[:-5]] = json.load(f)
        self._images = {}

    def shot_path(self, name):
        return os.path.join(self.out_dir, name + ".png")

    def shot(self, name):
        if name not in self._images:
            self._images[name] = Image(self.shot_path(name))
        return self._images[name]

    def pixel(self, name, x, y):
        """Landscape pixel (x, y) of shot NAME, as the player sees it."""
        return self.shot(name).pixel(x, y)

    def device_pixel(self, name, dx, dy):
        """The pixel of shot NAME that shows device pixel (dx, dy)."""
        return self.shot(name).device_pixel(dx, dy)

    def shot_bytes(self, name):
        with open(self.shot_path(name), "rb") as f:
            return f.read()

    def audio(self):
        """(rate, channels, bits, samples) of the captured sound; None without --audio."""
        return read_wav(self.audio_path) if self.audio_path else None


class Test:
    """One e2e test program: runs the simulator and counts checks."""

    def __init__(self, argv=None):
        argv = sys.argv if argv is None else argv
        if len(argv) < 4:
            sys.stderr.write("usage: %s SIM GAME OUT_DIR\n" % argv[0])
            sys.exit(2)
        self.sim, self.game, self.out_dir = argv[1], argv[2], argv[3]
        os.makedirs(self.out_dir, exist_ok=True)
        self.passed = 0
        self.failed = 0
        self.runs = 0

    def run(self, script, store=None, clock_start=None, audio=False, timeout=600, name=None):
        """Runs the simulator on SCRIPT (the script text, or the path of a script file)
        with a fresh empty store unless STORE (a folder) is given, so that several runs
        may share one store. Returns a Result."""
        self.runs += 1
        name = name or "run%d" % self.runs
        run_dir = os.path.join(self.out_dir, name)
        shutil.rmtree(run_dir, ignore_errors=True)
        out = os.path.join(run_dir, "out")
        os.makedirs(out)
        if store is None:
            store = tempfile.mkdtemp(prefix="store-", dir=run_dir)
        if "\n" not in script and os.path.isfile(script):
            script_path = script
        else:
            script_path = os.path.join(run_dir, "script.sim")
            with open(script_path, "w", encoding="utf-8") as f:
                f.write(script)
        cmd = [self.sim, "--store", store, "--out", out]
        if clock_start is not None:
            cmd += ["--clock-start", str(clock_start)]
        audio_path = os.path.join(run_dir, "audio.wav") if audio else None
        if audio_path:
            cmd += ["--audio", audio_path]
        cmd.append(script_path)
        proc = subprocess.run(cmd, capture_output=True, text=True, timeout=timeout)
        return Result(proc.returncode, proc.stdout, proc.stderr, out, audio_path)

    def new_store(self, name):
        """An empty store folder to share between runs (settings that survive restarts)."""
        path = os.path.join(self.out_dir, "store-" + name)
        shutil.rmtree(path, ignore_errors=True)
        os.makedirs(path)
        return path

    def check(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failed += 1
            print("FAILED: %s" % what)
        return condition

    def equal(self, got, expected, what):
        ok = got == expected
        if not ok:
            what = "%s: got %r, expected %r" % (what, got, expected)
        return self.check(ok, what)

    def finish(self):
        print("%d passed, %d failed" % (self.passed, self.failed))
        sys.exit(1 if self.failed or self.passed == 0 else 0)
