"""Everything that moves in a round: ducks, birds, items, effects, the magazine, banners.

All drawing is done in the player's view.  A flying duck's frames are played back and
forth by the round, so the eight frames of a wing beat run from wings fully raised to
fully lowered rather than round a full cycle.
"""
import math

import cairo
import numpy as np

import common

INK = (40, 26, 18)


def rgb(c, a=None):
    return tuple(v / 255.0 for v in c) + (() if a is None else (a,))


def src(ctx, c, a=1.0):
    ctx.set_source_rgba(*rgb(c, a))


def fill_ink(ctx, fill, ink=INK, width=1.0):
    src(ctx, fill)
    ctx.fill_preserve()
    src(ctx, ink)
    ctx.set_line_width(width)
    ctx.stroke()


def ellipse(ctx, cx, cy, rx, ry, angle=0.0):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(rx, ry)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def keyed(w, h, draw, *args):
    """A keyed picture w x h (player view) drawn by draw(ctx, *args)."""
    surf, ctx = common.landscape(w, h)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    draw(ctx, *args)
    return common.finish(surf, keyed=True)


def outlined_text(ctx, s, x, y, size, fill, rim, rim_w=3.0, align="center"):
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    if align == "center":
        x -= ext.x_bearing + ext.width / 2
    y -= ext.y_bearing + ext.height / 2
    ctx.move_to(x, y)
    ctx.text_path(s)
    src(ctx, rim)
    ctx.set_line_width(rim_w)
    ctx.stroke_preserve()
    src(ctx, fill)
    ctx.fill()


# ----------------------------------------------------------------------------------
# Ducks
# ----------------------------------------------------------------------------------

DRAKE_HEAD = (34, 112, 62)
BODY = (176, 164, 150)
CHEST = (132, 66, 44)
WING = (128, 108, 88)
WING_FAR = (96, 80, 66)
SPECULUM = (56, 84, 196)
BILL = (236, 190, 44)
FEET = (236, 128, 40)


def _lerp(p, q, f):
    return (p[0] + (q[0] - p[0]) * f, p[1] + (q[1] - p[1]) * f)


def _wing(ctx, t, colour, speculum=True):
    """A wing hinged at the shoulder; t = 0 raised, t = 1 lowered.

    Seen from the side a level wing points at the viewer and looks short, so the tip
    simply travels from above the back to below the belly.
    """
    lw = ctx.get_line_width()
    dy = -0.58 * math.cos(math.pi * t)
    y0 = -0.06
    A = (0.16, y0)
    T = (-0.12, y0 + dy)
    B = (-0.30, y0 + dy * 0.5)
    C = (-0.22, y0 + 0.03)
    ctx.move_to(*A)
    ctx.curve_to(0.16, y0 + dy * 0.6, 0.0, y0 + dy * 0.95, *T)
    ctx.curve_to(-0.22, y0 + dy * 0.85, -0.30, y0 + dy * 0.7, *B)
    ctx.curve_to(-0.30, y0 + dy * 0.25, -0.26, y0 + dy * 0.1, *C)
    ctx.close_path()
    fill_ink(ctx, colour, INK, lw)
    # Darker flight feathers at the tip.
    P = _lerp(A, T, 0.55)
    Q = _lerp(B, T, 0.45)
    ctx.move_to(*P)
    ctx.curve_to(0.02, y0 + dy * 0.95, -0.02, y0 + dy, *T)
    ctx.line_to(*Q)
    ctx.close_path()
    src(ctx, tuple(int(c * 0.7) for c in colour))
    ctx.fill()
    if speculum and abs(dy) > 0.15:
        # The blue patch with white edges along the trailing edge near the body.
        p1 = _lerp(C, B, 0.25)
        p2 = _lerp(C, B, 0.85)
        for col, width in (((250, 250, 250), 0.10), (SPECULUM, 0.055)):
            ctx.move_to(p1[0] + 0.03, p1[1])
            ctx.line_to(p2[0] + 0.03, p2[1])
            src(ctx, col)
            ctx.set_line_width(width)
            ctx.stroke()
    ctx.set_line_width(lw)


def duck(ctx, cx, cy, size, facing, t):
    """A flying mallard drake, body length about `size` pixels."""
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(size * facing, size)
    lw = 1.1 / size
    ctx.set_line_width(lw)
    _wing(ctx, min(1.0, t * 0.9 + 0.05), WING_FAR, speculum=False)
    ctx.set_line_width(lw)
    # Tail and tucked feet.
    ctx.move_to(-0.34, -0.05)
    ctx.line_to(-0.56, -0.04)
    ctx.line_to(-0.52, 0.04)
    ctx.line_to(-0.34, 0.07)
    ctx.close_path()
    fill_ink(ctx, (236, 232, 222), INK, lw)
    ellipse(ctx, -0.34, 0.12, 0.09, 0.04, 0.3)
    fill_ink(ctx, FEET, INK, lw)
    # Body with a chestnut breast.
    ellipse(ctx, 0.0, 0.0, 0.40, 0.16, -0.05)
    fill_ink(ctx, BODY, INK, lw)
    ellipse(ctx, 0.25, 0.02, 0.17, 0.13, -0.2)
    src(ctx, CHEST)
    ctx.fill()
    ctx.move_to(-0.30, -0.04)
    ctx.line_to(-0.05, -0.10)
    src(ctx, (120, 110, 100))
    ctx.set_line_width(lw)
    ctx.stroke()
    # Neck, white collar and the green head.
    ctx.move_to(0.30, -0.06)
    ctx.curve_to(0.38, -0.14, 0.42, -0.18, 0.48, -0.20)
    ctx.line_to(0.52, -0.08)
    ctx.curve_to(0.46, -0.04, 0.42, 0.0, 0.36, 0.04)
    ctx.close_path()
    fill_ink(ctx, DRAKE_HEAD, INK, lw)
    ctx.move_to(0.39, -0.15)
    ctx.line_to(0.47, -0.05)
    src(ctx, (248, 248, 244))
    ctx.set_line_width(0.045)
    ctx.stroke()
    ellipse(ctx, 0.53, -0.19, 0.12, 0.10)
    fill_ink(ctx, DRAKE_HEAD, INK, lw)
    ellipse(ctx, 0.50, -0.23, 0.05, 0.025, -0.3)
    src(ctx, (90, 180, 110))
    ctx.fill()
    # Bill and eye.
    ctx.move_to(0.62, -0.22)
    ctx.curve_to(0.70, -0.21, 0.76, -0.18, 0.78, -0.15)
    ctx.curve_to(0.73, -0.13, 0.67, -0.14, 0.62, -0.14)
    ctx.close_path()
    ctx.set_line_width(lw)
    fill_ink(ctx, BILL, INK, lw)
    ctx.arc(0.56, -0.21, 0.028, 0, 2 * math.pi)
    src(ctx, (12, 12, 12))
    ctx.fill()
    # Near wing on top.
    ctx.set_line_width(lw)
    _wing(ctx, t, WING)
    ctx.restore()


def flying_duck(size_px, facing, k):
    t = k / 7.0
    body = size_px * 0.66
    return keyed(size_px, size_px, lambda ctx: duck(ctx, size_px / 2 - 0.05 * body * facing,
                                                  size_px / 2 + 0.06 * size_px, body, facing, t))


def swimming_duck(facing):
    def draw(ctx):
        # Ripples round the waterline.
        ellipse(ctx, 16, 31, 15, 3)
        src(ctx, (200, 226, 238))
        ctx.set_line_width(1.2)
        ctx.stroke()
        ctx.save()
        ctx.translate(15.5, 23.5)
        ctx.scale(0.8 * facing, 0.8)
        ctx.set_line_width(1.0)
        # Floating body, tail up.
        ctx.move_to(-13, 2)
        ctx.line_to(-15, -6)
        ctx.line_to(-9, -4)
        ctx.curve_to(-4, -8, 6, -8, 10, -2)
        ctx.curve_to(12, 2, 10, 7, 4, 7)
        ctx.line_to(-10, 7)
        ctx.close_path()
        fill_ink(ctx, BODY)
        ellipse(ctx, 7, 1, 5, 5)
        src(ctx, CHEST)
        ctx.fill()
        ctx.move_to(-10, -1)
        ctx.curve_to(-4, -5, 2, -4, 5, -1)
        ctx.curve_to(0, 2, -6, 2, -10, -1)
        fill_ink(ctx, WING)
        ctx.move_to(-5, 0.5)
        ctx.line_to(0, 0)
        src(ctx, SPECULUM)
        ctx.set_line_width(1.5)
        ctx.stroke()
        # Neck and head.
        ctx.move_to(6, -3)
        ctx.curve_to(6, -10, 7, -14, 9, -16)
        ctx.line_to(13, -14)
        ctx.curve_to(12, -10, 11, -6, 11, -2)
        ctx.close_path()
        fill_ink(ctx, DRAKE_HEAD)
        ctx.move_to(6.5, -6)
        ctx.line_to(11.5, -5)
        src(ctx, (248, 248, 244))
        ctx.set_line_width(1.3)
        ctx.stroke()
        ellipse(ctx, 10.5, -17, 4.5, 4)
        fill_ink(ctx, DRAKE_HEAD)
        ctx.move_to(14, -18)
        ctx.curve_to(17, -18, 19, -16.5, 19.5, -15.5)
        ctx.line_to(14, -15)
        ctx.close_path()
        fill_ink(ctx, BILL, INK, 0.8)
        ctx.arc(11.5, -18, 0.9, 0, 2 * math.pi)
        src(ctx, (10, 10, 10))
        ctx.fill()
        ctx.restore()
    return keyed(32, 36, draw)


# ----------------------------------------------------------------------------------
# Red birds
# ----------------------------------------------------------------------------------

RED = (214, 40, 36)


def red_bird_shape(ctx, cx, cy, facing, t, upside=False, s=1.0):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(facing * s, -s if upside else s)
    ctx.set_line_width(0.8)
    # Far wing, tail, body, crest, beak, mask, near wing.
    wy = -7 + 13 * t
    ctx.move_to(-1, -1)
    ctx.line_to(-5, wy * 0.8)
    ctx.line_to(2, -1)
    fill_ink(ctx, (150, 24, 24), INK, 0.8)
    ctx.move_to(-5, -1)
    ctx.line_to(-12, -3)
    ctx.line_to(-12, 2)
    ctx.line_to(-5, 2)
    ctx.close_path()
    fill_ink(ctx, (170, 30, 30), INK, 0.8)
    ellipse(ctx, 0, 0, 7, 4)
    fill_ink(ctx, RED, INK, 0.8)
    ctx.move_to(3, -3)
    ctx.line_to(5, -7)
    ctx.line_to(7, -3)
    fill_ink(ctx, RED, INK, 0.8)
    ctx.move_to(6.5, -1.5)
    ctx.line_to(10.5, 0)
    ctx.line_to(6.5, 1.5)
    ctx.close_path()
    fill_ink(ctx, (250, 176, 60), INK, 0.7)
    ellipse(ctx, 5, -0.5, 1.6, 1.3)
    src(ctx, (20, 14, 14))
    ctx.fill()
    ctx.move_to(-2, -1)
    ctx.line_to(-6, wy)
    ctx.line_to(3, -1)
    ctx.close_path()
    fill_ink(ctx, (236, 66, 52), INK, 0.8)
    ctx.restore()


def red_bird(facing, k):
    t = k / 4.0
    return keyed(26, 18, lambda ctx: red_bird_shape(ctx, 13, 9.5, facing, t))


def falling_red_bird():
    def draw(ctx):
        red_bird_shape(ctx, 19, 15, 1, 0.3, upside=True, s=1.25)
        # Crossed eyes and loose feathers.
        for (x, y, a) in ((6, 6, 0.6), (31, 5, -0.5), (33, 24, 0.9), (5, 24, -0.8)):
            ellipse(ctx, x, y, 3.2, 1.3, a)
            fill_ink(ctx, (226, 56, 44), INK, 0.7)
        for (x, y) in ((12, 3), (26, 27)):
            ctx.move_to(x - 2, y - 2)
            ctx.line_to(x + 2, y + 2)
            ctx.move_to(x + 2, y - 2)
            ctx.line_to(x - 2, y + 2)
            src(ctx, (255, 236, 120))
            ctx.set_line_width(1.4)
            ctx.stroke()
    return keyed(38, 30, draw)


# ----------------------------------------------------------------------------------
# Round furniture: magazine, badges, icon, banners
# ----------------------------------------------------------------------------------

def _shell(ctx, x, y, live):
    if live:
        common.rounded_rect(ctx, x, y, 9, 14, 2)
        fill_ink(ctx, (204, 44, 40))
        ctx.rectangle(x + 1.5, y + 2, 2, 10)
        src(ctx, (240, 120, 110))
        ctx.fill()
        ctx.rectangle(x - 0.5, y + 13, 10, 5)
        fill_ink(ctx, (226, 186, 84))
        ctx.rectangle(x + 1, y + 14, 3, 3)
        src(ctx, (252, 232, 160))
        ctx.fill()
    else:
        common.rounded_rect(ctx, x + 0.5, y + 0.5, 8, 17, 2)
        src(ctx, (40, 30, 22))
        ctx.fill()


def magazine(k, lit):
    def draw(ctx):
        common.rounded_rect(ctx, 1, 1, 94, 24, 6)
        g = cairo.LinearGradient(0, 1, 0, 25)
        g.add_color_stop_rgb(0, *rgb((150, 102, 62)))
        g.add_color_stop_rgb(1, *rgb((98, 62, 36)))
        ctx.set_source(g)
        ctx.fill_preserve()
        src(ctx, INK)
        ctx.set_line_width(1.4)
        ctx.stroke()
        shells = 7 - k
        for i in range(7):
            # Shells are used up from the left, so the full ones stay at the right.
            _shell(ctx, 8 + i * 12, 4, i >= 7 - shells)
        if k == 7:
            common.rounded_rect(ctx, 12, 5, 72, 16, 4)
            fill_ink(ctx, (236, 64, 40) if lit else (92, 40, 30), INK, 1.2)
            outlined_text(ctx, "RELOAD", 48, 13, 11,
                          (255, 244, 200) if lit else (170, 120, 100), INK, 2.0)
    return keyed(96, 26, draw)


def badge(w, h):
    def draw(ctx):
        cx, cy = w / 2, h / 2
        r1 = min(w, h) / 2 - 1.5
        r0 = r1 * 0.7
        n = 12
        ctx.move_to(cx + r1, cy)
        for i in range(1, 2 * n + 1):
            a = math.pi * i / n
            r = r1 if i % 2 == 0 else r0
            ctx.line_to(cx + r * math.cos(a), cy + r * math.sin(a) * h / w * w / h)
        ctx.close_path()
        fill_ink(ctx, (255, 196, 48), (150, 70, 20), max(1.0, w / 40))
        ctx.arc(cx, cy, r0 * 0.82, 0, 2 * math.pi)
        fill_ink(ctx, (255, 250, 230), (150, 70, 20), max(1.0, w / 50))
        # A little target: the mark of a good shot.
        for rr, col in ((0.6, (220, 50, 40)), (0.4, (255, 250, 230)), (0.2, (220, 50, 40))):
            ctx.arc(cx, cy, r0 * rr, 0, 2 * math.pi)
            src(ctx, col)
            ctx.fill()
    return keyed(w, h, draw)


def menu_icon():
    def draw(ctx):
        common.rounded_rect(ctx, 0.5, 0.5, 15, 15, 3.5)
        fill_ink(ctx, (250, 236, 200), INK, 1.0)
        for y in (4.5, 8, 11.5):
            ctx.move_to(4, y)
            ctx.line_to(12, y)
            src(ctx, (120, 60, 30))
            ctx.set_line_width(1.8)
            ctx.stroke()
    return keyed(16, 16, draw)


def _board(ctx, w, h, top=(62, 108, 122), bottom=(30, 62, 80)):
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgb(0, *rgb(top))
    g.add_color_stop_rgb(1, *rgb(bottom))
    ctx.rectangle(0, 0, w, h)
    ctx.set_source(g)
    ctx.fill()
    ctx.rectangle(1.5, 1.5, w - 3, h - 3)
    src(ctx, (226, 150, 60))
    ctx.set_line_width(3)
    ctx.stroke()
    ctx.rectangle(4.5, 4.5, w - 9, h - 9)
    src(ctx, (250, 226, 170))
    ctx.set_line_width(1)
    ctx.stroke()


def _reeds_deco(ctx, x, base, n, flip=1):
    for i in range(n):
        xx = x + flip * i * 4
        ctx.move_to(xx, base)
        ctx.line_to(xx + flip * (2 + i), base - 14 - 5 * (i % 2))
        src(ctx, (196, 164, 72))
        ctx.set_line_width(1.6)
        ctx.stroke()
        common.rounded_rect(ctx, xx + flip * (1.4 + i * 0.8) - 1.6, base - 14 - 5 * (i % 2) + 2, 3.2, 7, 1.5)
        src(ctx, (120, 68, 34))
        ctx.fill()


def game_over():
    surf, ctx = common.landscape(260, 68)
    _board(ctx, 260, 68)
    outlined_text(ctx, "GAME OVER", 130, 35, 34, (255, 236, 170), (60, 24, 12), 4.0)
    _reeds_deco(ctx, 10, 62, 3)
    _reeds_deco(ctx, 250, 62, 3, -1)
    return common.finish(surf, keyed=False)


def loading_banner():
    surf, ctx = common.landscape(184, 58)
    _board(ctx, 184, 58, (228, 160, 84), (170, 96, 48))
    outlined_text(ctx, "GET READY", 92, 24, 22, (255, 250, 226), (70, 30, 12), 3.5)
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    outlined_text(ctx, "loading the lake...", 92, 45, 11, (70, 30, 12), (250, 220, 160), 2.0)
    dev = common.finish(surf, keyed=False)
    # Whatever way the round paints it, the corner pixel is the only one of its
    # colour, so a keyed paint loses nothing but that pixel.
    c = int(dev[0, 0])
    rest = set(np.unique(dev).tolist())
    cand = c ^ 1
    while cand in rest:
        cand = (cand + 0x21) & 0xFFFF
    dev[0, 0] = cand
    return dev


# ----------------------------------------------------------------------------------
# Effects
# ----------------------------------------------------------------------------------

def puff(k):
    """Smoke and splinters where a shot went astray; grows and breaks up."""
    def draw(ctx):
        rng = np.random.default_rng(11)
        t = k / 4.0
        cx, cy = 20, 17
        n = 7
        for i in range(n):
            a = 2 * math.pi * i / n + rng.uniform(-0.3, 0.3)
            d = 3 + 11 * t
            r = (5.5 - 2.5 * t) * rng.uniform(0.8, 1.2)
            if k == 4 and i % 2:
                continue
            ctx.new_sub_path()
            ctx.arc(cx + d * math.cos(a), cy + d * math.sin(a) * 0.8, r, 0, 2 * math.pi)
            ctx.close_path()
        if k < 2:
            ctx.new_sub_path()
            ctx.arc(cx, cy, 7 - 2 * k, 0, 2 * math.pi)
        src(ctx, (236, 232, 222))
        ctx.fill_preserve()
        src(ctx, (120, 112, 104))
        ctx.set_line_width(1.0)
        ctx.stroke()
        if k < 2:
            ctx.arc(cx, cy, 3.5 - k, 0, 2 * math.pi)
            src(ctx, (255, 220, 90))
            ctx.fill()
    return keyed(40, 34, draw)


FEATHER_COLOURS = [(176, 164, 150), (128, 108, 88), (236, 232, 222), (34, 112, 62),
                   (132, 66, 44), (56, 84, 196)]


def feather(ctx, x, y, length, angle, colour):
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(angle)
    ctx.move_to(-length / 2, 0)
    ctx.curve_to(-length / 4, -length * 0.28, length / 4, -length * 0.22, length / 2, 0)
    ctx.curve_to(length / 4, length * 0.18, -length / 4, length * 0.2, -length / 2, 0)
    ctx.close_path()
    fill_ink(ctx, colour, INK, 0.8)
    ctx.move_to(-length / 2 - 1, 0)
    ctx.line_to(length / 2, 0)
    src(ctx, INK)
    ctx.set_line_width(0.6)
    ctx.stroke()
    ctx.restore()


def burst(w, h, k, seed):
    """Feathers blown apart by a hit: a flash, then feathers spreading and sinking."""
    def draw(ctx):
        rng = np.random.default_rng(seed)
        s = w / 120.0
        cx, cy = w * 0.5, h * 0.42
        t = k / 6.0
        if k <= 2:
            r1 = (26 + 10 * k) * s
            ctx.move_to(cx + r1, cy)
            for i in range(1, 21):
                a = math.pi * i / 10
                r = r1 if i % 2 == 0 else r1 * 0.45
                ctx.line_to(cx + r * math.cos(a), cy + r * math.sin(a) * 0.8)
            ctx.close_path()
            src(ctx, (255, 236, 140) if k < 2 else (255, 250, 220))
            ctx.fill()
        for i in range(14):
            a = rng.uniform(0, 2 * math.pi)
            v = rng.uniform(0.5, 1.0)
            d = (8 + 46 * v * (1 - (1 - t) ** 2)) * s
            fx = cx + d * math.cos(a) * 1.1
            fy = cy + d * math.sin(a) * 0.55 + (18 * t * t * s)
            ln = rng.uniform(9, 15) * s
            feather(ctx, fx, fy, ln, a + 2.5 * t * rng.uniform(-1, 1),
                    FEATHER_COLOURS[i % len(FEATHER_COLOURS)])
    return keyed(w, h, draw)


def maple_leaf(ctx, size, colour):
    """A five-lobed leaf centred on the origin, pointing up."""
    pts = []
    for i in range(10):
        a = -math.pi / 2 + 2 * math.pi * i / 10
        r = size if i % 2 == 0 else size * 0.45
        if i in (4, 6):
            r *= 0.8
        pts.append((r * math.cos(a), r * math.sin(a)))
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()
    fill_ink(ctx, colour, (96, 36, 16), 0.9)
    ctx.move_to(0, size * 0.9)
    ctx.line_to(0, -size * 0.6)
    src(ctx, (120, 50, 20))
    ctx.set_line_width(0.8)
    ctx.stroke()


def leaf(k):
    def draw(ctx):
        ctx.translate(11, 11)
        ctx.rotate(math.radians(15 * k))
        ctx.scale(max(0.35, abs(math.cos(math.pi * k / 12.0))), 1.0)
        col = (232, 118 - 3 * k, 36)
        maple_leaf(ctx, 9.5, col)
    return keyed(22, 22, draw)


def leaf_burst(k):
    def draw(ctx):
        rng = np.random.default_rng(5)
        t = (k + 1) / 6.0
        for i in range(6):
            a = 2 * math.pi * i / 6 + 0.4
            d = 2 + 8 * t
            ctx.save()
            ctx.translate(11 + d * math.cos(a), 11 + d * math.sin(a))
            ctx.rotate(a + 1.5 * t)
            sz = 4.5 * (1 - 0.5 * t) * rng.uniform(0.8, 1.2)
            ctx.move_to(0, -sz)
            ctx.line_to(sz * 0.7, sz * 0.5)
            ctx.line_to(-sz * 0.6, sz * 0.6)
            ctx.close_path()
            fill_ink(ctx, [(232, 118, 36), (246, 170, 50), (200, 70, 30)][i % 3], (96, 36, 16), 0.8)
            ctx.restore()
    return keyed(22, 22, draw)


# ----------------------------------------------------------------------------------
# The sign duck
# ----------------------------------------------------------------------------------

SIGNS = [("+50", (214, 58, 42)), ("BONUS", (46, 116, 170)), ("HELLO!", (70, 140, 70))]


def _sign(ctx, x, y, angle, text, colour):
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(angle)
    ctx.rectangle(-2, 18, 4, 34)
    fill_ink(ctx, (150, 104, 60))
    common.rounded_rect(ctx, -34, -22, 68, 42, 5)
    fill_ink(ctx, (244, 226, 184), INK, 1.6)
    common.rounded_rect(ctx, -30, -18, 60, 34, 3)
    src(ctx, colour)
    ctx.set_line_width(2)
    ctx.stroke()
    size = 20 if len(text) <= 3 else 13
    outlined_text(ctx, text, 0, -1, size, colour, (255, 250, 236), 2.0)
    for nx in (-28, 28):
        ctx.arc(nx, -16, 1.4, 0, 2 * math.pi)
        src(ctx, (90, 80, 70))
        ctx.fill()
    ctx.restore()


def sign_duck(i):
    text, colour = SIGNS[i]

    def draw(ctx):
        # The duck sits in the water and holds the sign's pole up with its bill.
        _sign(ctx, 40, 26, 0.0, text, colour)
        ctx.save()
        ctx.translate(40, 84)
        ctx.scale(1.8, 1.8)
        ctx.set_line_width(0.7)
        _sitting_duck(ctx)
        ctx.restore()
    return keyed(80, 108, draw)


def _sitting_duck(ctx):
    """A front-on duck of about 36 x 26 units centred near the origin."""
    ellipse(ctx, 0, 6, 15, 9)
    fill_ink(ctx, BODY)
    ellipse(ctx, 0, 3, 9, 6)
    src(ctx, CHEST)
    ctx.fill()
    for s in (-1, 1):
        ctx.move_to(s * 9, 0)
        ctx.curve_to(s * 18, -2, s * 20, 8, s * 13, 12)
        ctx.curve_to(s * 11, 8, s * 10, 4, s * 9, 0)
        fill_ink(ctx, WING)
    ctx.move_to(-5, -4)
    ctx.line_to(5, -4)
    src(ctx, (248, 248, 244))
    ctx.set_line_width(1.2)
    ctx.stroke()
    ellipse(ctx, 0, -11, 7.5, 7.5)
    fill_ink(ctx, DRAKE_HEAD)
    for s in (-1, 1):
        ctx.arc(s * 3, -13, 1.7, 0, 2 * math.pi)
        src(ctx, (250, 250, 250))
        ctx.fill()
        ctx.arc(s * 3, -12.7, 0.9, 0, 2 * math.pi)
        src(ctx, (10, 10, 10))
        ctx.fill()
    ellipse(ctx, 0, -7.5, 4.5, 2.2)
    fill_ink(ctx, BILL)
    ellipse(ctx, 0, 15, 18, 2.4)
    src(ctx, (200, 226, 238))
    ctx.set_line_width(1.0)
    ctx.stroke()


def sign_drop(k):
    text, colour = SIGNS[0]

    def draw(ctx):
        t = (k + 1) / 6.0
        # The sign tips over and drops; the duck takes off towards the top.
        _sign(ctx, 40 - 10 * t, 26 + 70 * t * t, -1.2 * t, text, colour)
        if k < 2:
            ctx.save()
            ctx.translate(40, 84 - 12 * k)
            ctx.scale(1.8, 1.8)
            ctx.set_line_width(0.7)
            _sitting_duck(ctx)
            ctx.restore()
        else:
            duck(ctx, 44 + 6 * (k - 2), 64 - 14 * (k - 2), 44, 1, (k % 2) * 0.9)
    return keyed(80, 108, draw)


# ----------------------------------------------------------------------------------
# The fisherman and the outcome pictures
# ----------------------------------------------------------------------------------

def fisherman():
    def draw(ctx):
        # Rod and line first, then the man, then the boat in front of his legs.
        ctx.move_to(22, 14)
        ctx.curve_to(27, 6, 32, 3, 37, 2)
        src(ctx, (90, 60, 36))
        ctx.set_line_width(1.2)
        ctx.stroke()
        ctx.move_to(37, 2)
        ctx.line_to(37, 22)
        src(ctx, (230, 230, 230))
        ctx.set_line_width(0.6)
        ctx.stroke()
        ctx.arc(37, 21, 1.4, 0, 2 * math.pi)
        src(ctx, (230, 40, 30))
        ctx.fill()
        common.rounded_rect(ctx, 13, 9, 9, 12, 2)
        fill_ink(ctx, (70, 120, 80), INK, 0.8)
        ctx.arc(17.5, 6.5, 3.3, 0, 2 * math.pi)
        fill_ink(ctx, (240, 196, 156), INK, 0.8)
        ctx.move_to(12, 5)
        ctx.line_to(23, 5)
        ctx.line_to(21, 2)
        ctx.line_to(14, 2)
        ctx.close_path()
        fill_ink(ctx, (226, 176, 56), INK, 0.8)
        ctx.move_to(20, 13)
        ctx.line_to(23, 14)
        src(ctx, (70, 120, 80))
        ctx.set_line_width(2)
        ctx.stroke()
        ctx.move_to(1, 18)
        ctx.line_to(35, 18)
        ctx.curve_to(33, 24, 28, 26, 20, 26)
        ctx.line_to(8, 26)
        ctx.curve_to(4, 26, 2, 22, 1, 18)
        ctx.close_path()
        fill_ink(ctx, (176, 92, 50), INK, 0.9)
        ctx.move_to(3, 20)
        ctx.line_to(33.5, 20)
        src(ctx, (236, 226, 200))
        ctx.set_line_width(1.2)
        ctx.stroke()
        ctx.move_to(0, 27.3)
        ctx.line_to(36, 27.3)
        src(ctx, (200, 226, 238))
        ctx.set_line_width(1.2)
        ctx.stroke()
    return keyed(38, 28, draw)


def clock_item(sign):
    def draw(ctx):
        ctx.rectangle(10, 0.8, 4, 3)
        fill_ink(ctx, (200, 170, 70), INK, 0.8)
        ctx.arc(12, 13, 9.6, 0, 2 * math.pi)
        fill_ink(ctx, (250, 246, 232), INK, 1.4)
        for i in range(12):
            a = 2 * math.pi * i / 12
            ctx.move_to(12 + 7.5 * math.cos(a), 13 + 7.5 * math.sin(a))
            ctx.line_to(12 + 8.5 * math.cos(a), 13 + 8.5 * math.sin(a))
        src(ctx, INK)
        ctx.set_line_width(0.8)
        ctx.stroke()
        ctx.move_to(12, 13)
        ctx.line_to(12, 7)
        ctx.move_to(12, 13)
        ctx.line_to(16, 13)
        ctx.set_line_width(1.3)
        ctx.stroke()
        col = (40, 170, 60) if sign > 0 else (220, 50, 40)
        ctx.arc(18.5, 18.5, 5.2, 0, 2 * math.pi)
        fill_ink(ctx, col, INK, 1.0)
        ctx.move_to(15.8, 18.5)
        ctx.line_to(21.2, 18.5)
        if sign > 0:
            ctx.move_to(18.5, 15.8)
            ctx.line_to(18.5, 21.2)
        src(ctx, (255, 255, 255))
        ctx.set_line_width(1.8)
        ctx.stroke()
    return keyed(24, 24, draw)


def bonus_item():
    def draw(ctx):
        for i in range(10):
            a = -math.pi / 2 + math.pi * i / 5
            r = 11.5 if i % 2 == 0 else 5.2
            ctx.line_to(12 + r * math.cos(a), 12.8 + r * math.sin(a))
        ctx.close_path()
        fill_ink(ctx, (255, 206, 50), (140, 80, 10), 1.2)
        # Three tiny ducks in a V: the formation it calls up.
        for (x, y) in ((12, 9.5), (8.5, 14), (15.5, 14)):
            ellipse(ctx, x, y, 2.2, 1.3)
            src(ctx, (34, 112, 62))
            ctx.fill()
    return keyed(24, 24, draw)


def text_pic(w, h, s, fill, size):
    return keyed(w, h, lambda ctx: outlined_text(ctx, s, w / 2, h / 2, size, fill, (50, 20, 10), 3.0))


def pictures():
    out = {}
    for k in range(8):
        out[163 + k] = (lambda k: lambda: flying_duck(68, -1, k))(k)
        out[192 + k] = (lambda k: lambda: flying_duck(68, 1, k))(k)
        out[208 + k] = (lambda k: lambda: flying_duck(48, -1, k))(k)
        out[200 + k] = (lambda k: lambda: flying_duck(48, 1, k))(k)
    out[329] = lambda: swimming_duck(1)
    out[328] = lambda: swimming_duck(-1)
    for k in range(8):
        out[244 + k] = (lambda k: lambda: magazine(k, True))(k)
    out[252] = lambda: magazine(7, False)
    out[253] = lambda: badge(68, 62)
    out[254] = lambda: badge(34, 32)
    for k in range(5):
        out[256 + k] = (lambda k: lambda: puff(k))(k)
    out[269] = menu_icon
    for k in range(7):
        out[270 + k] = (lambda k: lambda: burst(120, 70, k, 3))(k)
        out[277 + k] = (lambda k: lambda: burst(60, 36, k, 4))(k)
    for k in range(12):
        out[313 + k] = (lambda k: lambda: leaf(k))(k)
    for k in range(6):
        out[341 + k] = (lambda k: lambda: leaf_burst(k))(k)
    for i in range(3):
        out[304 + i] = (lambda i: lambda: sign_duck(i))(i)
    for k in range(6):
        out[307 + k] = (lambda k: lambda: sign_drop(k))(k)
    for k in range(5):
        out[330 + k] = (lambda k: lambda: red_bird(-1, k))(k)
        out[335 + k] = (lambda k: lambda: red_bird(1, k))(k)
    out[340] = falling_red_bird
    out[303] = fisherman
    out[325] = lambda: clock_item(1)
    out[326] = lambda: clock_item(-1)
    out[327] = bonus_item
    out[348] = lambda: text_pic(22, 20, "+1", (150, 240, 120), 15)
    out[349] = lambda: text_pic(48, 20, "+50", (255, 226, 90), 16)
    out[347] = lambda: text_pic(48, 20, "\u221250", (255, 96, 80), 16)
    out[581] = loading_banner
    out[510] = game_over
    return out
