"""The desktop build in a real X window (under Xvfb) shows what the simulator shows.

Starts the game on a private Xvfb display, lets the splash run out, taps the title
screen like a player, waits for the main menu to slide in, takes a screenshot of the
window and compares it, scaled back down, with the simulator's picture of the same
moment. Then checks that a second copy exits at once with status 0 and that the menu's
Exit button ends the game normally with its settings saved.
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

import e2e_lib as e2e

SCALE = 3  # the window starts at three times the landscape picture on a large screen


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
    return subprocess.run([need("xdotool")] + list(args), env=env, capture_output=True,
                          text=True, timeout=30)


def window_id(env, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        r = xdotool(env, "search", "--name", "^Tallreed$")
        ids = r.stdout.split()
        if ids:
            return ids[0]
        time.sleep(0.2)
    return None


def grab_window(env, wid):
    """The window's pixels as rows of (r, g, b), read from an xwd dump (ZPixmap)."""
    raw = subprocess.run([need("xwd"), "-silent", "-id", wid], env=env, capture_output=True,
                         timeout=30).stdout
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


def click_device(env, wid, dx, dy):
    """A stylus tap at device (dx, dy): the landscape pixel, scaled, in the window."""
    lx, ly = e2e.device_to_landscape(dx, dy)
    xdotool(env, "mousemove", "--window", wid, str(lx * SCALE + 1), str(ly * SCALE + 1))
    xdotool(env, "click", "1")


def main():
    t = e2e.Test()
    base = tempfile.mkdtemp(prefix="desktop-", dir=t.out_dir)
    xvfb, display = start_xvfb()
    env = dict(os.environ, DISPLAY=display, XDG_DATA_HOME=os.path.join(base, "data"),
               XDG_RUNTIME_DIR=os.path.join(base, "run"), SDL_AUDIODRIVER="dummy")
    os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
    game = None
    try:
        game = subprocess.Popen([t.game], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        wid = window_id(env)
        if not t.check(wid is not None, "the game opens a window named Tallreed"):
            return t.finish()

        # The splash runs out by itself (about four seconds); then a tap on the title.
        time.sleep(7.0)
        click_device(env, wid, 120, 160)
        time.sleep(3.0)
        width, height, rows = grab_window(env, wid)
        t.equal((width, height), (320 * SCALE, 240 * SCALE), "window size at three times")

        second = subprocess.run([t.game], env=env, capture_output=True, timeout=30)
        t.equal(second.returncode, 0, "a second copy exits with status 0")
        t.check(game.poll() is None, "the first copy keeps running")

        # The same moment in the simulator, then every pixel compared. The display may
        # widen the 16-bit pixels to 24 bits slightly differently from the simulator's
        # bit replication, so both are compared as the game's own 16-bit values.
        sim = t.run("wait 7000\ntap 120 160\nwait 3000\nshot menu\nquit\n", name="sim")
        shot = sim.shot("menu")
        mismatches = 0
        for y in range(240):
            for x in range(320):
                if to565(rows[y * SCALE + 1][x * SCALE + 1]) != to565(shot.pixel(x, y)):
                    mismatches += 1
        t.equal(mismatches, 0, "the window shows the simulator's main menu pixel for pixel")
        scaled_ok = all(rows[y][x] == rows[y - y % SCALE][x - x % SCALE]
                        for y in range(0, height, 7) for x in range(0, width, 5))
        t.check(scaled_ok, "each game pixel is a crisp 3 x 3 block")

        # Exit on the main menu: device (195..235, 0..82).
        click_device(env, wid, 215, 40)
        try:
            status = game.wait(timeout=20)
        except subprocess.TimeoutExpired:
            status = None
        t.equal(status, 0, "the menu's Exit button ends the game with status 0")
        t.check(os.path.exists(os.path.join(env["XDG_DATA_HOME"], "tallreed", "tallreed.db")),
                "settings and scores were saved on the way out")
    finally:
        if game is not None and game.poll() is None:
            game.kill()
        xvfb.kill()
        xvfb.wait()
    t.finish()


if __name__ == "__main__":
    main()
