#!/usr/bin/python3
"""Draw the program's icon, the game's duck emblem, at every size a desktop asks for.

    gen_icons.py --out DIR --id APP_ID

writes DIR/hicolor/NxN/apps/APP_ID.png for every size in SIZES (RGBA) and
DIR/window_icon.rgba, the WINDOW_SIZE icon as raw R, G, B, A bytes for the window.
Each size is drawn for its own pixel grid rather than scaled down from a big one: the
large icons carry the emblem as the about box shows it, the middle ones lose the
mallard's detail for a bold silhouette, and the smallest keep only ring, sky, water
and duck on whole-pixel rings. A file is only rewritten when its bytes change.
"""
import argparse
import io
import math
import os
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
if HERE not in sys.path:
    sys.path.insert(0, HERE)

import cairo  # noqa: E402
import numpy as np  # noqa: E402

import common  # noqa: E402
import screen_art  # noqa: E402
import ui_art as ui  # noqa: E402

SIZES = (16, 24, 32, 48, 64, 128, 256)
WINDOW_SIZE = 64
SMALL = 32  # this size and below get the simplified emblem
DUCK = (40, 52, 60)


def small_emblem(ctx, size):
    """Ring, sky, water and a bold duck, with the rings on whole pixels so that the
    edges stay sharp at 16, 24 and 32 pixels."""
    c = size / 2
    rim = 1
    gold = 1 if size < 24 else 2
    r = c - 0.5  # half a pixel of air keeps the outline from touching the edge
    ctx.arc(c, c, r, 0, 2 * math.pi)
    ctx.set_source_rgb(*ui.rgb(ui.WOOD_RIM))
    ctx.fill()
    ctx.arc(c, c, r - rim, 0, 2 * math.pi)
    ctx.set_source_rgb(*ui.rgb((236, 182, 76)))
    ctx.fill()
    inner = r - rim - gold
    ctx.arc(c, c, inner, 0, 2 * math.pi)
    ctx.set_source_rgb(*ui.rgb(ui.WOOD_RIM))
    ctx.fill()
    inner -= 1 if size >= 24 else 0.6
    ctx.save()
    ctx.arc(c, c, inner, 0, 2 * math.pi)
    ctx.clip()
    horizon = round(c + inner * 0.3)
    ctx.rectangle(0, 0, size, horizon)
    ctx.set_source_rgb(*ui.rgb((150, 196, 236)))
    ctx.fill()
    ctx.rectangle(0, horizon, size, size - horizon)
    ctx.set_source_rgb(*ui.rgb(ui.WATER_LOW))
    ctx.fill()
    if size >= 24:
        ctx.arc(c + inner * 0.45, horizon - inner * 0.2, inner * 0.2, 0, 2 * math.pi)
        ctx.set_source_rgb(*ui.rgb((255, 236, 160)))
        ctx.fill()
    ctx.restore()
    # The duck spans most of the disc: at this size it is the icon. Its outline runs
    # from x -12 to 15 and y -12 to 4 around the point it is drawn at; centre that box a
    # little above the middle, in the sky, where it stands out best.
    s = 1.6 * inner / 27
    screen_art.duck_silhouette(ctx, c - 1.5 * s, c + 4 * s - inner * 0.12, s, DUCK)


def draw(size):
    """One icon as an (size, size, 4) uint8 array of straight RGBA."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(surf)
    ui.crisp(ctx)
    if size <= SMALL:
        small_emblem(ctx, size)
    else:
        margin = max(1.0, size / 64)
        screen_art.emblem(ctx, size / 2, size / 2, size / 2 - margin, label=False)
    rgba = common.surface_rgba(surf)
    return np.clip(np.rint(rgba), 0, 255).astype(np.uint8)


def png_bytes(rgba):
    """RGBA array -> PNG file bytes."""
    out = io.BytesIO()
    common.image_surface(rgba[:, :, :3], rgba[:, :, 3]).write_to_png(out)
    return out.getvalue()


def write_if_changed(data, path):
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def icon_path(out, size, app_id):
    return os.path.join(out, "hicolor", "%dx%d" % (size, size), "apps", app_id + ".png")


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True)
    ap.add_argument("--id", required=True, help="the application id the icons are named after")
    args = ap.parse_args(argv)
    written = 0
    for size in SIZES:
        rgba = draw(size)
        written += write_if_changed(png_bytes(rgba), icon_path(args.out, size, args.id))
        if size == WINDOW_SIZE:
            # Straight alpha: what SDL expects of a window icon.
            written += write_if_changed(rgba.tobytes(), os.path.join(args.out, "window_icon.rgba"))
    print("gen_icons: %d sizes, %d files rewritten" % (len(SIZES), written))
    return 0


if __name__ == "__main__":
    sys.exit(main())
