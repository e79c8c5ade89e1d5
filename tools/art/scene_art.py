"""The lake: the 960 x 240 panorama behind a round and the scenery pieces placed on it.

The panorama is drawn once in the player's view (x 0 at the left end, where a round
starts) and cut into three device pictures.  The scenery pieces are drawn on a
separate transparent layer of the same size, at the places the round puts them, and
cut out of it: so a reed bed or the boat hut fits the lake behind it exactly, and the
background itself never contains a piece (the hidden target must vanish when shot).
"""
import functools
import math

import cairo
import numpy as np

import common

W, H = 960, 240
WATER_Y = 150            # the far shore line; the lake lies below

# (id, device w, device h, scene x, scene y): where the round places each piece.
PROPS = [
    (261, 56, 36, 141, 530), (262, 38, 28, 164, 566), (263, 38, 28, 126, 566),
    (264, 36, 38, 124, 594), (265, 42, 44, 160, 594), (266, 40, 34, 139, 638),
    (267, 32, 16, 202, 590),
    (301, 42, 50, 198, 92),
    (284, 34, 30, 57, 9), (285, 28, 30, 91, 9), (286, 38, 24, 56, 39),
    (287, 38, 24, 94, 39), (289, 34, 32, 66, 63), (290, 28, 32, 100, 63),
    (291, 44, 12, 132, 48),
    (292, 50, 34, 128, 830), (293, 20, 16, 108, 848), (294, 70, 52, 108, 864),
    (295, 70, 44, 108, 916), (296, 18, 38, 90, 922),
    (297, 40, 32, 200, 237), (298, 24, 10, 213, 336), (299, 32, 20, 201, 359),
    (300, 14, 14, 216, 400),
    (302, 12, 10, 165, 914),
]
GROUPS = {
    "reedbed": (261, 262, 263, 264, 265, 266, 267),
    "bank": (301,),
    "tree": (284, 285, 286, 287, 289, 290, 291),
    "hut": (292, 293, 294, 295, 296),
    "stones": (297, 298, 299, 300),
    "frog": (302,),
}


def player_rect(dw, dh, sx, sy):
    """Scene placement -> (x, y, w, h) in the panorama as the player sees it."""
    return (W - sy - dh, sx, dh, dw)


RECTS = {pid: player_rect(dw, dh, sx, sy) for pid, dw, dh, sx, sy in PROPS}

INK = (58, 36, 22)


def rgb(c, a=None):
    return tuple(v / 255.0 for v in c) + (() if a is None else (a,))


def src(ctx, c, a=1.0):
    ctx.set_source_rgba(*rgb(c, a))


def outline_fill(ctx, fill, ink=INK, width=1.0):
    src(ctx, fill)
    ctx.fill_preserve()
    src(ctx, ink)
    ctx.set_line_width(width)
    ctx.stroke()


def blob(ctx, cx, cy, r, lumps, rng, squash=1.0):
    """A lumpy round crown outline."""
    n = lumps * 3
    pts = []
    for i in range(n):
        a = 2 * math.pi * i / n
        rr = r * (1.0 + (0.13 if i % 3 == 0 else 0.0) + rng.uniform(-0.05, 0.05))
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a) * squash))
    ctx.move_to(*pts[0])
    for i in range(1, n + 1):
        p0 = pts[i - 1]
        p1 = pts[i % n]
        mx, my = (p0[0] + p1[0]) / 2, (p0[1] + p1[1]) / 2
        ctx.curve_to(p0[0], p0[1], mx, my, p1[0], p1[1]) if i % 3 else ctx.line_to(p1[0], p1[1])
    ctx.close_path()


def reed(ctx, x, y0, height, lean, width=1.4, colour=(120, 104, 46), head=True):
    """One reed stem from the water (y0) upward, optionally with a cattail head."""
    tx, ty = x + lean, y0 - height
    ctx.move_to(x, y0)
    ctx.curve_to(x, y0 - height * 0.4, tx - lean * 0.2, ty + height * 0.3, tx, ty)
    src(ctx, colour)
    ctx.set_line_width(width)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()
    if head:
        hx, hy = x + lean * 0.78, y0 - height * 0.78
        common.rounded_rect(ctx, hx - 2.0, hy - 5.5, 4.0, 11.0, 2.0)
        outline_fill(ctx, (120, 68, 34), (62, 36, 20), 0.8)


def blade(ctx, x, y0, height, lean, colour, width=3.0):
    """A leaf blade of grass or reed: a thin curved wedge."""
    tx, ty = x + lean, y0 - height
    ctx.move_to(x - width / 2, y0)
    ctx.curve_to(x - width / 2, y0 - height * 0.5, tx - lean * 0.3, ty + height * 0.2, tx, ty)
    ctx.curve_to(tx - lean * 0.3 + 0.5, ty + height * 0.25, x + width / 2, y0 - height * 0.5,
                 x + width / 2, y0)
    ctx.close_path()
    outline_fill(ctx, colour, tuple(int(c * 0.55) for c in colour), 0.7)


# ----------------------------------------------------------------------------------
# The panorama
# ----------------------------------------------------------------------------------

TREE_COLOURS = [(222, 120, 40), (196, 78, 36), (236, 172, 58), (168, 58, 38),
                (204, 150, 52), (142, 120, 48), (226, 98, 44)]


def _sky(ctx):
    g = cairo.LinearGradient(0, 0, 0, WATER_Y)
    g.add_color_stop_rgb(0.0, *rgb((92, 146, 206)))
    g.add_color_stop_rgb(0.45, *rgb((160, 190, 222)))
    g.add_color_stop_rgb(0.8, *rgb((246, 208, 166)))
    g.add_color_stop_rgb(1.0, *rgb((255, 196, 140)))
    ctx.rectangle(0, 0, W, WATER_Y + 2)
    ctx.set_source(g)
    ctx.fill()
    # Low sun with a wide warm glow.
    sx, sy = 596, 74
    glow = cairo.RadialGradient(sx, sy, 4, sx, sy, 150)
    glow.add_color_stop_rgba(0, *rgb((255, 244, 200), 0.9))
    glow.add_color_stop_rgba(0.25, *rgb((255, 214, 150), 0.45))
    glow.add_color_stop_rgba(1, *rgb((255, 200, 140), 0.0))
    ctx.rectangle(0, 0, W, WATER_Y + 2)
    ctx.set_source(glow)
    ctx.fill()
    ctx.arc(sx, sy, 15, 0, 2 * math.pi)
    src(ctx, (255, 248, 222))
    ctx.fill()
    # A few soft clouds lit from below.
    for cx, cy, s in ((90, 34, 1.0), (300, 22, 1.3), (470, 48, 0.8), (760, 30, 1.2),
                      (905, 52, 0.7)):
        for dx, dy, r in ((-22, 4, 11), (-8, -3, 14), (10, -1, 13), (26, 5, 10), (0, 7, 12)):
            ctx.arc(cx + dx * s, cy + dy * s, r * s, 0, 2 * math.pi)
            ctx.close_path()
        g = cairo.LinearGradient(0, cy - 18 * s, 0, cy + 18 * s)
        g.add_color_stop_rgba(0, *rgb((255, 252, 244), 0.92))
        g.add_color_stop_rgba(1, *rgb((250, 200, 170), 0.92))
        ctx.set_source(g)
        ctx.fill()


def _hills(ctx, rng):
    for base, amp, colour, seed_shift in ((104, 22, (150, 146, 186), 0.0),
                                          (118, 16, (124, 128, 160), 1.7)):
        ctx.move_to(0, WATER_Y)
        for x in range(0, W + 8, 8):
            y = base - amp * (0.55 + 0.45 * math.sin(x / 97.0 + seed_shift)
                              * math.sin(x / 41.0 + 2 * seed_shift))
            ctx.line_to(x, y)
        ctx.line_to(W, WATER_Y)
        ctx.close_path()
        src(ctx, colour)
        ctx.fill()


def _treeline(ctx, rng):
    """The far shore: a band of autumn crowns and a few dark firs."""
    x = -10.0
    crowns = []
    while x < W + 10:
        r = rng.uniform(8, 15)
        cy = WATER_Y - 10 - rng.uniform(0, 14) - (10 if rng.random() < 0.2 else 0)
        crowns.append((x, cy, r, rng.integers(len(TREE_COLOURS)), rng.random() < 0.16))
        x += rng.uniform(9, 17)
    # Back row first, a little darker, then the front row.
    for row in (0, 1):
        for i, (cx, cy, r, ci, fir) in enumerate(crowns):
            if i % 2 != row:
                continue
            if fir:
                hgt = r * 3.0
                ctx.move_to(cx, cy - hgt * 0.6)
                for k in range(4):
                    ctx.line_to(cx + r * (0.35 + 0.17 * k), cy - hgt * 0.6 + hgt * (k + 1) * 0.2)
                    ctx.line_to(cx + r * 0.18, cy - hgt * 0.6 + hgt * (k + 1) * 0.2 - 2)
                ctx.line_to(cx + r * 1.0, WATER_Y)
                ctx.line_to(cx - r * 1.0, WATER_Y)
                for k in range(3, -1, -1):
                    ctx.line_to(cx - r * 0.18, cy - hgt * 0.6 + hgt * (k + 1) * 0.2 - 2)
                    ctx.line_to(cx - r * (0.35 + 0.17 * k), cy - hgt * 0.6 + hgt * (k + 1) * 0.2)
                ctx.close_path()
                outline_fill(ctx, (58, 88, 62) if row else (48, 74, 58), (30, 44, 34))
                continue
            col = TREE_COLOURS[ci]
            if row == 0:
                col = tuple(int(c * 0.82) for c in col)
            ctx.rectangle(cx - 1.2, cy, 2.4, WATER_Y - cy)
            src(ctx, (84, 56, 40))
            ctx.fill()
            blob(ctx, cx, cy, r, 5, rng, 0.9)
            outline_fill(ctx, col, tuple(int(c * 0.5) for c in col), 1.0)
            # Sunlit side (the sun stands above the middle of the lake).
            blob(ctx, cx + 2.5, cy - 2.5, r * 0.55, 4, rng, 0.9)
            src(ctx, tuple(min(255, int(c * 1.18 + 20)) for c in col), 0.8)
            ctx.fill()
    # The grassy bank along the water.
    ctx.move_to(0, WATER_Y + 1)
    for x in range(0, W + 6, 6):
        ctx.line_to(x, WATER_Y - 4 - 2 * math.sin(x / 23.0) - (x % 18 == 0) * 2)
    ctx.line_to(W, WATER_Y + 1)
    ctx.close_path()
    outline_fill(ctx, (116, 112, 48), (66, 62, 30))
    # The grassy point at the right end where the maple stands.
    ctx.move_to(842, WATER_Y - 3)
    ctx.curve_to(870, WATER_Y + 4, 880, 176, 906, 178)
    ctx.curve_to(930, 180, 950, 172, W + 2, 170)
    ctx.line_to(W + 2, WATER_Y - 3)
    ctx.close_path()
    outline_fill(ctx, (124, 118, 50), (66, 62, 30))
    ctx.move_to(872, 168)
    ctx.curve_to(886, 178, 930, 182, W + 2, 174)
    src(ctx, (150, 120, 74))
    ctx.set_line_width(2.0)
    ctx.stroke()


def _far_reeds(ctx, rng):
    for x0 in np.arange(6, W, 3.0):
        if math.sin(x0 / 37.0) + 0.4 * math.sin(x0 / 11.0) < 0.35:
            continue
        h = rng.uniform(5, 11)
        ctx.move_to(x0, WATER_Y + 2)
        ctx.line_to(x0 + rng.uniform(-1.5, 1.5), WATER_Y + 2 - h)
        src(ctx, (150, 128, 60) if rng.random() < 0.6 else (104, 96, 44))
        ctx.set_line_width(1.0)
        ctx.stroke()


def _water(ctx):
    g = cairo.LinearGradient(0, WATER_Y, 0, H)
    g.add_color_stop_rgb(0.0, *rgb((214, 196, 170)))
    g.add_color_stop_rgb(0.25, *rgb((112, 158, 184)))
    g.add_color_stop_rgb(1.0, *rgb((44, 98, 128)))
    ctx.rectangle(0, WATER_Y, W, H - WATER_Y)
    ctx.set_source(g)
    ctx.fill()


def _reflect(arr):
    """Mirror everything above the shore into the lake, broken up by ripples."""
    out = arr.copy()
    for y in range(WATER_Y, H):
        d = y - WATER_Y
        sy = WATER_Y - 1 - int(d * 1.15)
        if sy < 0:
            break
        shift = int(round(2.5 * math.sin(y * 1.7) * min(1.0, d / 12.0 + 0.2)))
        row = np.roll(arr[sy], shift, axis=0)
        a = 0.5 * (1.0 - d / (H - WATER_Y)) + 0.12
        if y % 3 == 0:
            a *= 0.6          # bright ripple bands where the sky shows instead
        out[y, :, :3] = out[y, :, :3] * (1 - a) + row[:, :3] * a * np.array([0.8, 0.86, 0.95])
    return out


def _water_light(ctx, rng):
    # The sun's path on the water.
    for _ in range(70):
        y = rng.uniform(WATER_Y + 3, H - 4)
        spread = 8 + (y - WATER_Y) * 0.6
        x = 596 + rng.normal(0, spread)
        ln = rng.uniform(4, 12)
        ctx.move_to(x - ln / 2, y)
        ctx.line_to(x + ln / 2, y)
        src(ctx, (255, 236, 184), 0.85)
        ctx.set_line_width(1.2)
        ctx.stroke()
    # Pale ripple lines over the whole lake.
    for _ in range(150):
        y = rng.uniform(WATER_Y + 6, H)
        x = rng.uniform(0, W)
        ln = rng.uniform(6, 22) * (0.5 + (y - WATER_Y) / 90)
        ctx.move_to(x, y)
        ctx.curve_to(x + ln * 0.3, y - 1, x + ln * 0.7, y - 1, x + ln, y)
        src(ctx, (214, 232, 240), 0.55)
        ctx.set_line_width(1.0)
        ctx.stroke()


def _jetty(ctx):
    """A plank jetty reaching out from the far shore at the right of the lake."""
    # Posts first, with their short reflections.
    for (x, y, h) in ((748, 152, 8), (770, 151, 8), (744, 166, 12), (778, 166, 12),
                      (738, 184, 16), (786, 184, 16)):
        ctx.rectangle(x - 2, y - 2, 4, h + 2)
        outline_fill(ctx, (92, 60, 36))
        ctx.rectangle(x - 2, y + h + 1, 4, h * 0.6)
        src(ctx, (40, 60, 74), 0.6)
        ctx.fill()
    # Deck: narrow far end, wide near end.
    ctx.move_to(750, WATER_Y - 2)
    ctx.line_to(772, WATER_Y - 2)
    ctx.line_to(792, 184)
    ctx.line_to(732, 184)
    ctx.close_path()
    outline_fill(ctx, (170, 120, 72))
    for k in range(1, 12):
        t = k / 12.0
        y = WATER_Y - 2 + (184 - WATER_Y + 2) * t ** 0.9
        xl = 750 + (732 - 750) * t ** 0.9
        xr = 772 + (792 - 772) * t ** 0.9
        ctx.move_to(xl, y)
        ctx.line_to(xr, y)
        src(ctx, (112, 74, 44))
        ctx.set_line_width(0.8)
        ctx.stroke()
    ctx.rectangle(732, 184, 60, 3)
    outline_fill(ctx, (128, 86, 50))
    # A mooring ring and a coil of rope on the deck.
    ctx.arc(776, 176, 2.5, 0, 2 * math.pi)
    src(ctx, (210, 190, 140))
    ctx.set_line_width(1.2)
    ctx.stroke()


def _near_reeds(ctx, rng):
    """Reeds at the bottom edge, where the lake comes up to the player's bank."""
    for x0, x1 in ((120, 200), (440, 520), (622, 680), (890, 960), (0, 40)):
        x = x0
        while x < x1:
            h = rng.uniform(18, 44)
            if rng.random() < 0.35:
                reed(ctx, x, H + 2, h + 10, rng.uniform(-6, 6), 1.6)
            else:
                blade(ctx, x, H + 2, h, rng.uniform(-10, 10),
                      [(170, 150, 64), (134, 128, 54), (196, 160, 72)][rng.integers(3)], 3.2)
            x += rng.uniform(3, 8)
    # Lily pads on the open water.
    for x, y, r in ((236, 222, 7), (252, 230, 5), (560, 206, 6), (540, 214, 5), (86, 210, 6)):
        ctx.save()
        ctx.translate(x, y)
        ctx.scale(1.0, 0.45)
        ctx.move_to(0, 0)
        ctx.arc(0, 0, r, 0.35, 2 * math.pi - 0.1)
        ctx.close_path()
        ctx.restore()
        outline_fill(ctx, (92, 132, 60), (44, 70, 34))


@functools.lru_cache(maxsize=1)
def panorama():
    """The panorama as an (H, W, 4) float RGBA array, fully opaque."""
    rng = np.random.default_rng(4021)
    surf, ctx = common.landscape(W, H)
    _sky(ctx)
    _hills(ctx, rng)
    _treeline(ctx, rng)
    _water(ctx)
    arr = common.surface_rgba(surf)
    arr = _reflect(arr)
    # Back into Cairo for everything that lies on the water.
    surf2, ctx2 = common.landscape(W, H)
    _paint_array(ctx2, arr)
    _far_reeds(ctx2, rng)
    _water_light(ctx2, rng)
    _jetty(ctx2)
    _near_reeds(ctx2, rng)
    return surf2


def _paint_array(ctx, arr):
    h, w = arr.shape[:2]
    img = cairo.ImageSurface(cairo.FORMAT_RGB24, w, h)
    stride = img.get_stride()
    buf = np.frombuffer(img.get_data(), dtype=np.uint8).reshape(h, stride)[:, : w * 4]
    px = buf.reshape(h, w, 4)
    c = np.clip(np.rint(arr[:, :, :3]), 0, 255).astype(np.uint8)
    px[:, :, 0] = c[:, :, 2]
    px[:, :, 1] = c[:, :, 1]
    px[:, :, 2] = c[:, :, 0]
    px[:, :, 3] = 255
    img.mark_dirty()
    ctx.set_source_surface(img, 0, 0)
    ctx.paint()


_BAYER4 = np.array([[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]) / 16.0


def tile(k):
    """Third k (0 = the player's left end) of the panorama, as a device picture.

    The sky and the water are broad gradients, which 16-bit colour would turn into
    visible rings; a fixed ordered dither spreads each step over a few pixels.
    """
    pan = panorama()
    surf, ctx = common.landscape(320, H)
    ctx.set_source_surface(pan, -320 * k, 0)
    ctx.paint()
    rgba = common.surface_rgba(surf)
    d = np.tile(_BAYER4, (H // 4, 320 // 4)) - 0.5
    steps = np.array([8.0, 4.0, 8.0])
    rgb = rgba[:, :, :3] + d[:, :, None] * steps
    return np.ascontiguousarray(common.device_from_landscape(common.to565(rgb)))


# ----------------------------------------------------------------------------------
# Scenery pieces
# ----------------------------------------------------------------------------------

def _clip_to(ctx, ids):
    for pid in ids:
        x, y, w, h = RECTS[pid]
        ctx.rectangle(x, y, w, h)
    ctx.clip()


def _reedbed(ctx, rng):
    """A reed island in the middle of the lake: the fisherman hides behind it."""
    # Mud and grass tussock at the waterline.
    ctx.save()
    ctx.translate(377, 193)
    ctx.scale(1.0, 0.16)
    ctx.arc(0, 0, 50, 0, 2 * math.pi)
    ctx.restore()
    outline_fill(ctx, (104, 92, 46), (54, 44, 24))

    def top_limit(x):
        # Highest point the pieces reach at this x, kept a few pixels clear.
        if x < 322:
            return 143
        if x < 328:
            return 200
        if x < 366:
            return 128
        if x < 394:
            return 130
        return 145

    stems = []
    x = 292.0
    while x < 427:
        if not 321 <= x <= 329:
            stems.append(x)
        x += rng.uniform(2.5, 5.0)
    for i, x in enumerate(stems):
        base = 177.0 if x < 322 else (194.0 if x < 394 else 195.0)
        lean = rng.uniform(-3, 3)
        top = max(top_limit(x), top_limit(x + lean)) + rng.uniform(0, 12)
        if i % 3 == 0:
            reed(ctx, x, base, base - top, lean, 1.8, (142, 120, 52), head=True)
        else:
            col = [(188, 158, 70), (150, 138, 58), (206, 170, 84), (120, 118, 50)][i % 4]
            blade(ctx, x, base, (base - top) * rng.uniform(0.6, 0.95), lean * 1.4, col, 3.4)
    ctx.move_to(288, 177)
    ctx.line_to(322, 177)
    src(ctx, (200, 226, 236), 0.9)
    ctx.set_line_width(1.0)
    ctx.stroke()
    # A weathered mooring post standing in front of the reeds.
    ctx.rectangle(357, 204, 10, 29)
    outline_fill(ctx, (126, 88, 54))
    ctx.rectangle(357, 204, 10, 3)
    outline_fill(ctx, (160, 118, 72))
    ctx.move_to(356, 226)
    ctx.line_to(368, 226)
    src(ctx, (200, 226, 236), 0.9)
    ctx.set_line_width(1.2)
    ctx.stroke()


def _bank(ctx, rng):
    """A boulder and reeds in the near water at the right."""
    ctx.move_to(822, 240)
    ctx.curve_to(820, 222, 832, 210, 846, 212)
    ctx.curve_to(858, 212, 866, 224, 866, 240)
    ctx.close_path()
    outline_fill(ctx, (128, 120, 112), (52, 46, 42))
    ctx.move_to(832, 222)
    ctx.curve_to(836, 215, 846, 214, 852, 216)
    src(ctx, (190, 182, 168))
    ctx.set_line_width(2.0)
    ctx.stroke()
    for x in np.arange(823, 866, 3.2):
        h = rng.uniform(20, 40)
        if rng.random() < 0.3:
            reed(ctx, x, 241, h, rng.uniform(-5, 5), 1.6, (140, 118, 52))
        else:
            blade(ctx, x, 241, h * 0.8, rng.uniform(-8, 8),
                  [(186, 150, 62), (150, 140, 58), (212, 178, 88)][rng.integers(3)], 3.0)


def _tree(ctx, rng):
    """An autumn maple on the point at the right end of the lake."""
    ctx.move_to(902, 176)
    ctx.curve_to(904, 160, 903, 145, 905, 126)
    ctx.line_to(909, 126)
    ctx.curve_to(909, 146, 910, 162, 912, 176)
    ctx.close_path()
    outline_fill(ctx, (96, 64, 42))
    for (bx, by, ex, ey) in ((906, 132, 884, 108), (907, 128, 934, 100), (906, 120, 908, 80)):
        ctx.move_to(bx, by)
        ctx.line_to(ex, ey)
        src(ctx, (96, 64, 42))
        ctx.set_line_width(2.4)
        ctx.stroke()
    crowns = [(878, 104, 14), (894, 84, 17), (916, 72, 17), (936, 86, 15), (936, 108, 13),
              (912, 104, 16), (888, 118, 10), (922, 122, 9)]
    cols = [(206, 76, 34), (228, 118, 40), (238, 164, 56), (190, 60, 36)]
    for i, (cx, cy, r) in enumerate(crowns):
        blob(ctx, cx, cy, r, 5, rng, 0.95)
        outline_fill(ctx, cols[i % 4], (96, 36, 20), 1.1)
    for i, (cx, cy, r) in enumerate(crowns):
        blob(ctx, cx + 3, cy - 3, r * 0.5, 4, rng)
        src(ctx, (250, 196, 96), 0.7)
        ctx.fill()


def _hut(ctx, rng):
    """The boat hut on stilts at the left end, with its landing stage."""
    # Stilts into the water.
    for x in (6, 30, 54, 78, 100, 124):
        ctx.rectangle(x, 166, 4, 12)
        outline_fill(ctx, (84, 56, 36))
    # Walls of vertical boards.
    ctx.rectangle(-2, 124, 98, 44)
    outline_fill(ctx, (150, 84, 52))
    for x in range(4, 96, 7):
        ctx.move_to(x, 125)
        ctx.line_to(x, 167)
        src(ctx, (108, 58, 38))
        ctx.set_line_width(1.0)
        ctx.stroke()
    # Window with a warm light inside and a shutter.
    ctx.rectangle(58, 134, 18, 14)
    outline_fill(ctx, (255, 214, 120))
    ctx.move_to(67, 134)
    ctx.line_to(67, 148)
    ctx.move_to(58, 141)
    ctx.line_to(76, 141)
    src(ctx, INK)
    ctx.stroke()
    ctx.rectangle(77, 133, 6, 16)
    outline_fill(ctx, (86, 116, 80))
    # Boat door, open to the water.
    ctx.move_to(10, 168)
    ctx.line_to(10, 142)
    ctx.curve_to(10, 134, 40, 134, 40, 142)
    ctx.line_to(40, 168)
    ctx.close_path()
    outline_fill(ctx, (46, 34, 30))
    # Roof sloping down to the right, with shingles.
    ctx.move_to(-2, 92)
    ctx.line_to(114, 128)
    ctx.line_to(100, 130)
    ctx.line_to(-2, 130)
    ctx.close_path()
    outline_fill(ctx, (120, 64, 46))
    for k in range(1, 7):
        y0 = 92 + k * 5.5
        ctx.move_to(-2, y0)
        ctx.line_to((y0 - 92) / 0.31 - 2, y0 + 0.0)
        src(ctx, (86, 44, 34))
        ctx.set_line_width(0.9)
        ctx.stroke()
    # Deck in front of the hut and the landing stage on the right.
    ctx.rectangle(-2, 166, 128, 6)
    outline_fill(ctx, (178, 128, 78))
    for x in range(6, 126, 9):
        ctx.move_to(x, 166)
        ctx.line_to(x, 172)
        src(ctx, (120, 82, 50))
        ctx.set_line_width(0.8)
        ctx.stroke()
    # A rowing boat tied at the landing stage.
    ctx.move_to(98, 170)
    ctx.curve_to(104, 178, 122, 178, 129, 170)
    ctx.line_to(98, 170)
    ctx.close_path()
    outline_fill(ctx, (62, 110, 150))
    # A lantern hanging under the eaves and a life ring on the wall.
    ctx.move_to(104, 128)
    ctx.line_to(104, 136)
    src(ctx, INK)
    ctx.set_line_width(1.0)
    ctx.stroke()
    common.rounded_rect(ctx, 100.5, 136, 7, 9, 2)
    outline_fill(ctx, (255, 206, 96))
    ctx.arc(26, 152, 6, 0, 2 * math.pi)
    ctx.arc_negative(26, 152, 3, 2 * math.pi, 0)
    outline_fill(ctx, (236, 90, 70))


def _stones(ctx, rng):
    """Stones and reeds along the near bank, middle right."""
    # 297: a reed clump with a stone.
    ctx.move_to(694, 240)
    ctx.curve_to(694, 230, 704, 226, 710, 228)
    ctx.curve_to(718, 228, 722, 234, 722, 240)
    ctx.close_path()
    outline_fill(ctx, (140, 132, 120), (60, 54, 48))
    for x in np.arange(694, 722, 3.0):
        h = rng.uniform(14, 34)
        if rng.random() < 0.3:
            reed(ctx, x, 241, h + 4, rng.uniform(-4, 4), 1.5, (140, 118, 52))
        else:
            blade(ctx, x, 241, h, rng.uniform(-6, 6), [(186, 150, 62), (150, 140, 58)][int(x) % 2], 2.8)
    # 298: a single cattail.
    reed(ctx, 619, 238, 23, 1.5, 1.6, (140, 118, 52))
    # 299: a tuft of grass.
    for x in np.arange(583, 600, 2.5):
        blade(ctx, x, 234, rng.uniform(12, 30), rng.uniform(-7, 7),
              [(196, 164, 70), (162, 146, 60)][int(x * 2) % 2], 2.6)
    # 300: a pebble.
    ctx.move_to(547, 229)
    ctx.curve_to(547, 220, 558, 219, 559, 226)
    ctx.curve_to(559, 230, 549, 231, 547, 229)
    ctx.close_path()
    outline_fill(ctx, (150, 144, 132), (60, 54, 48))


def _frog(ctx):
    """The hidden target: a small green frog sitting on the hut's deck."""
    ctx.save()
    ctx.translate(36, 165)
    ctx.move_to(1, 11)
    ctx.curve_to(0, 6, 3, 4, 5, 4)
    ctx.curve_to(8, 4, 10, 6, 9.5, 11)
    ctx.close_path()
    outline_fill(ctx, (96, 170, 70), (30, 60, 24), 0.9)
    for ex in (3.2, 7.2):
        ctx.arc(ex, 4.2, 1.8, 0, 2 * math.pi)
        outline_fill(ctx, (228, 236, 150), (30, 60, 24), 0.6)
        ctx.arc(ex, 4.2, 0.7, 0, 2 * math.pi)
        src(ctx, (20, 20, 20))
        ctx.fill()
    ctx.restore()


_DRAWERS = {"reedbed": _reedbed, "bank": _bank, "tree": _tree, "hut": _hut,
            "stones": _stones, "frog": _frog}


@functools.lru_cache(maxsize=None)
def prop_layer(group):
    rng = np.random.default_rng(77 + sorted(_DRAWERS).index(group))
    surf, ctx = common.landscape(W, H)
    ctx.save()
    _clip_to(ctx, GROUPS[group])
    if group == "frog":
        _frog(ctx)
    else:
        _DRAWERS[group](ctx, rng)
    ctx.restore()
    return surf


def prop(pid):
    group = next(g for g, ids in GROUPS.items() if pid in ids)
    x, y, w, h = RECTS[pid]
    surf, ctx = common.landscape(w, h)
    ctx.set_source_surface(prop_layer(group), -x, -y)
    ctx.paint()
    return common.finish(surf, keyed=True)


def pictures():
    out = {146: lambda: tile(0), 147: lambda: tile(1), 148: lambda: tile(2)}
    for pid in RECTS:
        out[pid] = (lambda p: (lambda: prop(p)))(pid)
    return out
