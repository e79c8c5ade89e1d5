"""Shared helpers for the art generators.

Every picture is drawn with Cairo in the player's landscape orientation and then
turned into the device orientation the game stores (a device pixel (dx, dy) of a
picture h rows high shows at landscape (h - 1 - dy, dx)).  Colours are reduced to
RGB565 here, so the PNG written is exactly what the picture encoder will store:
each 5- or 6-bit channel is widened to 8 bits by bit replication.
"""
import math
import os
import re

import cairo
import numpy as np

FONT = "DejaVu Sans"
FONT_BOLD = "DejaVu Sans"
FONT_SERIF = "DejaVu Serif"

# The game's version as the about box shows it. The build passes the project's version
# (gen_art.py --version); run by hand, the tools read it from the project's CMakeLists.txt,
# the one place it is written.
VERSION = None


def game_version():
    global VERSION
    if VERSION is None:
        root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
        with open(os.path.join(root, "CMakeLists.txt")) as f:
            found = re.search(r"project\(tallreed\s+VERSION\s+([0-9.]+)", f.read())
        if found is None:
            raise RuntimeError("CMakeLists.txt names no project version")
        VERSION = found.group(1)
    return VERSION


# The key colour used for transparent areas unless a picture asks for another one.
# The game's keyed copy softens sprite edges by mixing the key colour half-and-half into
# the background at the pixel beside each opaque run, so the key is seen: a dark warm
# grey makes that pixel read as the soft outline the artwork draws anyway (a bright key
# such as magenta would fringe every sprite pink). `finish` nudges any opaque pixel
# that would clash with it.
DEFAULT_KEY = (44, 36, 30)


def landscape(width, height):
    """A fresh ARGB32 Cairo surface of the player's landscape size, fully transparent."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    return surf, cairo.Context(surf)


def surface_rgba(surf):
    """Return an (h, w, 4) uint8 array of straight (un-premultiplied) RGBA."""
    surf.flush()
    w, h = surf.get_width(), surf.get_height()
    stride = surf.get_stride()
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, stride)[:, : w * 4]
    bgra = buf.reshape(h, w, 4).astype(np.float64)
    a = bgra[:, :, 3]
    out = np.zeros((h, w, 4), dtype=np.float64)
    nz = a > 0
    for c_out, c_in in ((0, 2), (1, 1), (2, 0)):
        ch = np.zeros((h, w))
        ch[nz] = bgra[:, :, c_in][nz] * 255.0 / a[nz]
        out[:, :, c_out] = np.clip(ch, 0, 255)
    out[:, :, 3] = a
    return out


def to565(rgb):
    """Quantise an (..., 3) array of 0..255 floats to RGB565 integers."""
    r = (np.clip(np.rint(rgb[..., 0]), 0, 255).astype(np.int32) >> 3)
    g = (np.clip(np.rint(rgb[..., 1]), 0, 255).astype(np.int32) >> 2)
    b = (np.clip(np.rint(rgb[..., 2]), 0, 255).astype(np.int32) >> 3)
    return (r << 11) | (g << 5) | b


def widen565(p):
    """RGB565 integers -> (..., 3) uint8 by bit replication."""
    p = np.asarray(p, dtype=np.int32)
    r = (p >> 11) & 0x1F
    g = (p >> 5) & 0x3F
    b = p & 0x1F
    return np.stack([(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)], axis=-1).astype(np.uint8)


def rgb_to565(rgb):
    return int(to565(np.array(rgb, dtype=np.float64)))


def device_from_landscape(arr):
    """Turn a landscape array (rows = player y) into device orientation."""
    return np.rot90(arr, 1)


def finish(surf, keyed, key=DEFAULT_KEY, upright=False, background=None, alpha_cut=128):
    """Flatten a landscape surface into a device-orientation RGB565 array.

    keyed: pixels with alpha below alpha_cut become the key colour; opaque pixels that
    would equal the key after quantisation are nudged by one green step.  For keyed
    pictures the device top-left pixel (landscape top-right) is forced to the key, as the
    game takes its key from there.
    Not keyed: the picture is composited over `background` (default black).
    upright: store as drawn (only picture 350 is stored this way).
    """
    rgba = surface_rgba(surf)
    a = rgba[:, :, 3:4] / 255.0
    if keyed:
        p = to565(rgba[:, :, :3])
        k = rgb_to565(key)
        clash = (p == k)
        p = np.where(clash, p ^ (1 << 5), p)
        p = np.where(rgba[:, :, 3] < alpha_cut, k, p)
    else:
        bg = np.array(background if background is not None else (0, 0, 0), dtype=np.float64)
        rgb = rgba[:, :, :3] * a + bg * (1.0 - a)
        p = to565(rgb)
    dev = p if upright else device_from_landscape(p)
    dev = np.ascontiguousarray(dev)
    if keyed:
        dev[0, 0] = rgb_to565(key)
    return dev


def image_surface(rgb, alpha=None):
    """An (h, w, 3) uint8 array, with an optional (h, w) straight alpha, as a Cairo
    surface (which keeps its colours premultiplied)."""
    h, w, _ = rgb.shape
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24 if alpha is None else cairo.FORMAT_ARGB32, w, h)
    buf = np.frombuffer(surf.get_data(), dtype=np.uint8).reshape(h, surf.get_stride())
    px = buf[:, : w * 4].reshape(h, w, 4)
    a = np.full((h, w), 255, np.uint32) if alpha is None else alpha.astype(np.uint32)
    for c_out, c_in in ((0, 2), (1, 1), (2, 0)):
        px[:, :, c_out] = (rgb[:, :, c_in].astype(np.uint32) * a + 127) // 255
    px[:, :, 3] = a
    surf.mark_dirty()
    return surf


def save_png(dev565, path):
    """Write a device-orientation RGB565 array as an 8-bit RGB PNG (bit replication)."""
    surf = image_surface(widen565(dev565))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    tmp = path + ".tmp"
    surf.write_to_png(tmp)
    os.replace(tmp, path)


def text(ctx, s, x, y, size, rgb, bold=True, family=FONT, align="left", valign="baseline"):
    """Draw text with a DejaVu face; returns its advance width."""
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    if align == "center":
        x -= ext.x_advance / 2
    elif align == "right":
        x -= ext.x_advance
    if valign == "middle":
        y -= ext.y_bearing + ext.height / 2
    ctx.move_to(x, y)
    ctx.set_source_rgb(*[c / 255.0 for c in rgb])
    ctx.show_text(s)
    return ext.x_advance


def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2, h / 2)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()
