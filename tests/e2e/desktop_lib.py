"""Helpers for driving the real desktop window on a private Xvfb display: starting the
display, finding and clicking windows with xdotool, and reading a window's pixels with
xwd. Used by the desktop window tests and by bench/window_cpu.py."""

import os
import shutil
import struct
import subprocess
import sys
import time


def need(tool):
    path = shutil.which(tool)
    if path is None:
        print("FAILED: %s is not installed (tools/setup.sh installs it)" % tool)
        print("0 passed, 1 failed")
        sys.exit(1)
    return path


def start_xvfb(screen="1280x1024x24"):
    """A fresh Xvfb on a free display number; returns (process, ':N')."""
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(
        [need("Xvfb"), "-displayfd", str(write_end), "-screen", "0", screen, "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as f:
        number = f.readline().strip()
    if not number:
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    return proc, ":" + number.decode()


def xdotool(env, *args):
    return subprocess.run([need("xdotool")] + [str(a) for a in args], env=env,
                          capture_output=True, text=True, timeout=30)


def window_id(env, name="^Tallreed$", timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        ids = xdotool(env, "search", "--name", name).stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.05)
    return None


def window_bytes(env, wid):
    """The window's picture as xwd's raw dump, for comparing two moments."""
    return subprocess.run([need("xwd"), "-silent", "-id", wid], env=env, capture_output=True,
                          timeout=30).stdout


def grab_window(env, wid):
    """The window's pixels as rows of (r, g, b), read from an xwd dump (ZPixmap)."""
    raw = window_bytes(env, wid)
    fields = struct.unpack(">25I", raw[:100])
    header_size, _, fmt, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14], fields[15], fields[16]
    ncolors = fields[19]
    if fmt != 2 or bits_per_pixel not in (24, 32):
        raise RuntimeError("unexpected xwd layout: format %d, %d bits" % (fmt, bits_per_pixel))
    data = raw[header_size + 12 * ncolors:]
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        return (value & mask) >> shift

    rows = []
    for y in range(height):
        line = data[y * bytes_per_line:(y + 1) * bytes_per_line]
        row = []
        for x in range(width):
            v = int.from_bytes(line[x * step:(x + 1) * step], order)
            row.append((channel(v, red_mask), channel(v, green_mask), channel(v, blue_mask)))
        rows.append(row)
    return width, height, rows


def to565(rgb):
    r, g, b = rgb
    return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)


def click_landscape(env, wid, lx, ly, scale=3, button=1):
    """A click on landscape pixel (lx, ly) of a window showing the picture at `scale`
    without bars."""
    xdotool(env, "mousemove", "--window", wid, lx * scale + scale // 2, ly * scale + scale // 2)
    xdotool(env, "click", button)
