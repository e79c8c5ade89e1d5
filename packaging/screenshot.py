#!/usr/bin/python3
"""Take the store's screenshot with the simulator and scale it like the window does.

    screenshot.py SIM SCRIPT SCALE OUT.png

Runs SCRIPT in the simulator on a fresh, empty store (so the player's own settings never
show), takes the one shot it writes and enlarges it by SCALE with whole pixels.
"""
import os
import subprocess
import sys
import tempfile

import cairo


def main(sim, script, scale, out):
    scale = int(scale)
    with tempfile.TemporaryDirectory(prefix="screenshot-") as tmp:
        shots = os.path.join(tmp, "shots")
        run = subprocess.run([sim, "--store", os.path.join(tmp, "store"), "--out", shots, script],
                             capture_output=True, text=True, timeout=300)
        names = sorted(os.listdir(shots)) if os.path.isdir(shots) else []
        if run.returncode != 0 or len(names) != 1:
            sys.stderr.write(run.stdout + run.stderr)
            sys.stderr.write("screenshot: the simulator ended with %d and wrote %r\n"
                             % (run.returncode, names))
            return 1
        shot = cairo.ImageSurface.create_from_png(os.path.join(shots, names[0]))
        big = cairo.ImageSurface(cairo.FORMAT_RGB24, shot.get_width() * scale,
                                 shot.get_height() * scale)
        ctx = cairo.Context(big)
        ctx.scale(scale, scale)
        ctx.set_source_surface(shot, 0, 0)
        ctx.get_source().set_filter(cairo.FILTER_NEAREST)
        ctx.paint()
        os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
        big.write_to_png(out + ".tmp")
        os.replace(out + ".tmp", out)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
