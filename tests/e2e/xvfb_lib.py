"""Helpers for tests that run the real game window on a private Xvfb display."""

import os
import shutil
import struct
import subprocess
import sys
import time

LANDSCAPE_W, LANDSCAPE_H = 320, 240


def need(tool):
    path = shutil.which(tool)
    if path is None:
        print("FAILED: %s is not installed (tools/setup.sh installs it)" % tool)
        print("0 passed, 1 failed")
        sys.exit(1)
    return path


def start_xvfb():
    """A fresh Xvfb on a free display number; returns (process, ':N')."""
    read_end, write_end = os.pipe()
    proc = subprocess.Popen(
        [need("Xvfb"), "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
        pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    with os.fdopen(read_end, "rb") as f:
        number = f.readline().strip()
    if not number:
        proc.kill()
        raise RuntimeError("Xvfb did not start")
    return proc, ":" + number.decode()


def xdotool(env, *args):
    return subprocess.run([need("xdotool")] + [str(a) for a in args], env=env,
                          capture_output=True, text=True, timeout=30)


def window_id(env, timeout=20.0, name="^Tallreed$"):
    end = time.time() + timeout
    while time.time() < end:
        r = xdotool(env, "search", "--name", name)
        ids = r.stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
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


def desktop_env(base, display):
    """The environment for a game on DISPLAY with its own store, window memory and
    runtime folder under BASE, and no sound device."""
    env = dict(os.environ, DISPLAY=display, XDG_DATA_HOME=os.path.join(base, "data"),
               XDG_CONFIG_HOME=os.path.join(base, "config"),
               XDG_RUNTIME_DIR=os.path.join(base, "run"), SDL_AUDIODRIVER="dummy")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
    return env


def click_device(env, wid, dx, dy, scale):
    """A stylus tap at device (dx, dy): the landscape pixel, scaled, in the window."""
    lx, ly = LANDSCAPE_W - 1 - dy, dx
    xdotool(env, "mousemove", "--window", wid, str(lx * scale + 1), str(ly * scale + 1))
    xdotool(env, "click", "1")


# The main menu: the splash runs out by itself (about four seconds), then a tap on the
# title. MENU_SCRIPT is the same moment in the simulator.
MENU_SCRIPT = "wait 7000\ntap 120 160\nwait 3000\nshot menu\nquit\n"
EXIT_BUTTON = (215, 40)  # device position of the main menu's Exit button


def go_to_menu(env, wid, scale):
    time.sleep(7.0)
    click_device(env, wid, 120, 160, scale)
    time.sleep(3.0)


def mismatches(rows, shot, scale):
    """How many landscape pixels of the window (rows from grab_window, the picture at
    SCALE from the top-left) differ from the simulator's SHOT. The display may widen the
    16-bit pixels to 24 bits slightly differently from the simulator's bit replication,
    so both are compared as the game's own 16-bit values."""
    count = 0
    for y in range(LANDSCAPE_H):
        for x in range(LANDSCAPE_W):
            if to565(rows[y * scale + 1][x * scale + 1]) != to565(shot.pixel(x, y)):
                count += 1
    return count
