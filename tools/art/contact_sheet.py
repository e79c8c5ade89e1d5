"""Lay every picture of a folder out on one sheet, the way the player sees them.

usage: contact_sheet.py PNGDIR OUT.png

PNGDIR holds <id>.png files in device orientation.  Each is turned landscape-up (the
game holds the device sideways), except picture 350, which is already stored the way
the player sees it.  Small pictures are doubled (nearest neighbour) so their captions
can be checked; every tile is labelled with its id and, when doubled, "x2".
"""
import math
import os
import re
import sys

import cairo
import numpy as np

sys.dont_write_bytecode = True  # keep the source tree free of bytecode caches
import common  # noqa: E402

FONT = "DejaVu Sans"
SHEET_WIDTH = 1800
GAP = 12
LABEL_H = 16
UPRIGHT = {350}
SMALL = 100  # pictures whose longer side is below this are shown twice as large


def read_png(path):
    """(h, w, 3) uint8 array of an RGB PNG."""
    surf = cairo.ImageSurface.create_from_png(path)
    if surf.get_format() not in (cairo.FORMAT_RGB24, cairo.FORMAT_ARGB32):
        conv = cairo.ImageSurface(cairo.FORMAT_RGB24, surf.get_width(), surf.get_height())
        c = cairo.Context(conv)
        c.set_source_surface(surf)
        c.paint()
        surf = conv
    w, h, stride = surf.get_width(), surf.get_height(), surf.get_stride()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, stride)[:, : w * 4]
    px = buf.reshape(h, w, 4)
    return np.stack([px[:, :, 2], px[:, :, 1], px[:, :, 0]], axis=-1).copy()


def player_view(pid, dev):
    """Device orientation -> what the player sees (device (dx, dy) at (h-1-dy, dx))."""
    if pid in UPRIGHT:
        return dev
    return np.ascontiguousarray(np.rot90(dev, -1))


def load(pngdir):
    tiles = []
    for name in os.listdir(pngdir):
        m = re.fullmatch(r"(\d+)\.png", name)
        if not m:
            continue
        pid = int(m.group(1))
        img = player_view(pid, read_png(os.path.join(pngdir, name)))
        scale = 2 if max(img.shape[:2]) < SMALL else 1
        if scale > 1:
            img = img.repeat(scale, axis=0).repeat(scale, axis=1)
        tiles.append((pid, scale, img))
    tiles.sort(key=lambda t: t[0])
    return tiles


def layout(tiles, width):
    """Shelf packing in id order: returns [(x, y, tile)] and the sheet height."""
    x = y = GAP
    shelf = 0
    placed = []
    for t in tiles:
        h, w, _ = t[2].shape
        cell_w = max(w, 44)
        if x + cell_w + GAP > width and x > GAP:
            x = GAP
            y += shelf + LABEL_H + GAP
            shelf = 0
        placed.append((x, y, t))
        x += cell_w + GAP
        shelf = max(shelf, h)
    return placed, y + shelf + LABEL_H + GAP


def make_sheet(pngdir, out):
    tiles = load(pngdir)
    if not tiles:
        raise SystemExit("no <id>.png files in %s" % pngdir)
    width = max(SHEET_WIDTH, max(t[2].shape[1] for t in tiles) + 2 * GAP)
    placed, height = layout(tiles, width)
    sheet = cairo.ImageSurface(cairo.FORMAT_RGB24, width, int(math.ceil(height)))
    ctx = cairo.Context(sheet)
    # mid grey shows both black backgrounds and white edges
    ctx.set_source_rgb(0.55, 0.57, 0.6)
    ctx.paint()
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(12)
    for x, y, (pid, scale, img) in placed:
        h, w, _ = img.shape
        ctx.set_source_surface(common.image_surface(img), x, y)
        pat = ctx.get_source()
        pat.set_filter(cairo.FILTER_NEAREST)
        ctx.rectangle(x, y, w, h)
        ctx.fill()
        label = str(pid) + (" x2" if scale > 1 else "")
        ctx.set_source_rgb(0.05, 0.05, 0.1)
        ctx.move_to(x, y + h + 12)
        ctx.show_text(label)
    d = os.path.dirname(os.path.abspath(out))
    os.makedirs(d, exist_ok=True)
    sheet.write_to_png(out)
    return len(placed)


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: contact_sheet.py PNGDIR OUT.png\n")
        return 2
    n = make_sheet(argv[1], argv[2])
    print("%s: %d pictures" % (argv[2], n))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
