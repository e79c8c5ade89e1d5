"""Full screens and the large pictures around them: menu, options, help, scores and
name entry backgrounds, the help pages, the credit lines, the about box, the title
screen with its prompt, the maker's logo and the game emblem.

The screens share one backdrop, a bright morning over the lake, and the same wooden
boards as the buttons; areas where the game paints text or places controls are left
plain so that what it draws there stays readable.  Coordinates are the player's
(320 x 240 landscape).
"""
import math
import random

import cairo

import common
import ui_art as ui
from ui_art import rgb, centred_text, fit_font, plank, wood_fill

W, H = 320, 240


# --- building blocks ---------------------------------------------------------------
def duck_silhouette(ctx, x, y, s, colour, facing=1, wings_up=True):
    """A flying duck seen from the side, centred on (x, y), about 20*s wide."""
    ctx.save()
    ctx.translate(x, y)
    ctx.scale(s * facing, s)
    ctx.save()
    ctx.scale(1.0, 0.45)
    ctx.arc(0, 0, 8, 0, 2 * math.pi)
    ctx.restore()
    ctx.new_sub_path()
    ctx.arc(8.5, -3, 3, 0, 2 * math.pi)
    ctx.move_to(11, -3.5)
    ctx.line_to(15, -2.2)
    ctx.line_to(11, -1.5)
    ctx.close_path()
    # tail
    ctx.move_to(-7, -1)
    ctx.line_to(-11, -3)
    ctx.line_to(-8, 1.5)
    ctx.close_path()
    # wing
    if wings_up:
        ctx.move_to(-3, -1.5)
        ctx.curve_to(-5, -8, -9, -11, -12, -12)
        ctx.curve_to(-6, -11, 0, -8, 3, -1.5)
    else:
        ctx.move_to(-3, 1)
        ctx.curve_to(-5, 6, -8, 9, -11, 10)
        ctx.curve_to(-5, 9, 0, 6, 3, 1)
    ctx.close_path()
    ctx.restore()
    ctx.set_source_rgb(*rgb(colour))
    ctx.fill()


def mallard(ctx, x, y, s):
    """A drake mallard in flight, facing right, centred on (x, y), about 60*s wide.
    Outlined in dark brown rather than black."""
    ink = (50, 38, 28)

    def shape(colour, width=1.2):
        ctx.set_source_rgb(*rgb(colour))
        ctx.fill_preserve()
        ctx.set_line_width(width)
        ctx.set_source_rgb(*rgb(ink))
        ctx.stroke()

    ctx.save()
    ctx.translate(x, y)
    ctx.scale(s, s)
    # far wing, raised behind the body
    ctx.move_to(-4, -2)
    ctx.curve_to(-10, -16, -22, -26, -34, -30)
    ctx.curve_to(-24, -20, -16, -10, -14, 0)
    ctx.close_path()
    shape((120, 112, 100))
    # tail
    ctx.move_to(-20, 0)
    ctx.line_to(-32, -4)
    ctx.line_to(-31, 3)
    ctx.close_path()
    shape((96, 88, 80))
    # body
    ctx.save()
    ctx.scale(1.0, 0.42)
    ctx.arc(0, 6, 22, 0, 2 * math.pi)
    ctx.restore()
    shape((178, 176, 166))
    # chestnut breast
    ctx.move_to(10, -8)
    ctx.curve_to(20, -8, 24, 0, 20, 8)
    ctx.curve_to(16, 11, 10, 10, 8, 6)
    ctx.close_path()
    shape((150, 82, 48), 0.8)
    # neck and green head with its white collar
    ctx.move_to(14, -6)
    ctx.curve_to(18, -12, 22, -16, 26, -16)
    ctx.line_to(28, -8)
    ctx.curve_to(24, -7, 21, -4, 20, -2)
    ctx.close_path()
    shape((36, 118, 72), 0.8)
    ctx.arc(28, -15, 6, 0, 2 * math.pi)
    shape((36, 118, 72), 1.0)
    ctx.move_to(19, -5)
    ctx.line_to(23, -9.5)
    ctx.set_line_width(1.6)
    ctx.set_source_rgb(*rgb((250, 248, 236)))
    ctx.stroke()
    # bill and eye
    ctx.move_to(33, -17)
    ctx.curve_to(38, -17, 41, -15, 42, -13)
    ctx.curve_to(39, -12, 36, -12, 33, -12)
    ctx.close_path()
    shape((240, 198, 62), 0.8)
    ctx.arc(29.5, -16.5, 1.1, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb(ink))
    ctx.fill()
    # near wing, raised, with the blue band
    ctx.move_to(6, -4)
    ctx.curve_to(0, -20, -6, -34, -16, -44)
    ctx.curve_to(-14, -30, -16, -14, -10, -2)
    ctx.close_path()
    shape((152, 140, 124))
    ctx.move_to(2, -10)
    ctx.curve_to(-1, -16, -3, -20, -6, -24)
    ctx.line_to(-10, -22)
    ctx.curve_to(-8, -18, -6, -12, -4, -8)
    ctx.close_path()
    shape((62, 92, 204), 0.7)
    ctx.restore()


def reed_clump(ctx, x, base, height, n, seed, lean=0.0):
    """Golden autumn reeds and cattails rising from (x, base), outlined like the lake's
    own reeds."""
    r = random.Random(seed)
    for i in range(n):
        bx = x + r.uniform(-12, 12)
        h = height * r.uniform(0.6, 1.0)
        bend = r.uniform(-10, 10) + lean
        colour = r.choice((ui.REED, ui.REED_DARK, ui.REED_GOLD))
        dark = tuple(int(c * 0.55) for c in colour)
        if r.random() < 0.6:
            # a blade: a thin tapering leaf
            ctx.move_to(bx - 1.6, base)
            ctx.curve_to(bx - 1, base - h * 0.5, bx + bend * 0.6, base - h * 0.8,
                         bx + bend, base - h)
            ctx.curve_to(bx + bend * 0.6 + 1, base - h * 0.8, bx + 1, base - h * 0.5,
                         bx + 1.6, base)
            ctx.close_path()
            ctx.set_source_rgb(*rgb(colour))
            ctx.fill_preserve()
            ctx.set_line_width(0.7)
            ctx.set_source_rgb(*rgb(dark))
            ctx.stroke()
        else:
            # a cattail: stem with a brown head
            ctx.set_line_width(1.4)
            tx, ty = bx + bend * 0.5, base - h
            ctx.move_to(bx, base)
            ctx.curve_to(bx, base - h * 0.5, tx, base - h * 0.7, tx, ty)
            ctx.set_source_rgb(*rgb((120, 104, 46)))
            ctx.stroke()
            ctx.save()
            ctx.translate(tx, ty + 8)
            ctx.scale(2.4, 7)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            ctx.set_source_rgb(*rgb(ui.CATTAIL))
            ctx.fill_preserve()
            ctx.set_line_width(0.8)
            ctx.set_source_rgb(*rgb((62, 36, 20)))
            ctx.stroke()


def cloud(ctx, x, y, s, alpha=0.92):
    """A soft cloud lit warmly from below."""
    for dx, dy, rr in ((0, 0, 9), (10, -4, 11), (22, 0, 9), (11, 4, 9), (-8, 3, 6), (30, 4, 6)):
        ctx.new_sub_path()
        ctx.arc(x + dx * s, y + dy * s, rr * s, 0, 2 * math.pi)
    g = cairo.LinearGradient(0, y - 15 * s, 0, y + 13 * s)
    g.add_color_stop_rgba(0, 1, 0.99, 0.96, alpha)
    g.add_color_stop_rgba(1, 0.98, 0.8, 0.68, alpha)
    ctx.set_source(g)
    ctx.fill()


def blob(ctx, cx, cy, rad, r):
    """A lumpy round tree crown."""
    n = 15
    pts = []
    for i in range(n):
        a = 2 * math.pi * i / n
        rr = rad * (1.0 + (0.13 if i % 3 == 0 else 0.0) + r.uniform(-0.05, 0.05))
        pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a) * 0.9))
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()


def treeline(ctx, w, horizon, r):
    """Autumn crowns along the far shore and the grassy bank in front of them."""
    x = -8.0
    crowns = []
    while x < w + 8:
        rad = r.uniform(7, 12)
        cy = horizon - 8 - r.uniform(0, 10)
        crowns.append((x, cy, rad, r.choice(ui.TREE_COLOURS)))
        x += r.uniform(8, 14)
    for row in (0, 1):
        for i, (cx, cy, rad, col) in enumerate(crowns):
            if i % 2 != row:
                continue
            if row == 0:
                col = tuple(int(c * 0.82) for c in col)
            ctx.rectangle(cx - 1, cy, 2, horizon - cy)
            ctx.set_source_rgb(*rgb((84, 56, 40)))
            ctx.fill()
            blob(ctx, cx, cy, rad, r)
            ctx.set_source_rgb(*rgb(col))
            ctx.fill_preserve()
            ctx.set_line_width(1.0)
            ctx.set_source_rgb(*rgb(tuple(int(c * 0.5) for c in col)))
            ctx.stroke()
            blob(ctx, cx + 2, cy - 2, rad * 0.55, r)
            ctx.set_source_rgba(*rgb(tuple(min(255, int(c * 1.18 + 20)) for c in col)), 0.8)
            ctx.fill()
    ctx.move_to(0, horizon + 1)
    for x in range(0, w + 6, 6):
        ctx.line_to(x, horizon - 3 - 1.5 * math.sin(x / 23.0))
    ctx.line_to(w, horizon + 1)
    ctx.close_path()
    ctx.set_source_rgb(*rgb(ui.BANK))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*rgb((66, 62, 30)))
    ctx.stroke()


def lakeside(ctx, w=W, h=H, horizon=150, seed=7, morning=False, reeds=True, ducks=True):
    """The shared backdrop: the round's autumn lake seen from the shore - sky, low sun,
    lavender hills, a band of autumn trees, the water, reeds at the edges."""
    r = random.Random(seed)
    sky = cairo.LinearGradient(0, 0, 0, horizon)
    sky.add_color_stop_rgb(0, *rgb(ui.SKY_TOP))
    sky.add_color_stop_rgb(0.5 if morning else 0.6, *rgb(ui.SKY_MID))
    sky.add_color_stop_rgb(1, *rgb((255, 200, 146) if morning else ui.SKY_LOW))
    ctx.rectangle(0, 0, w, horizon)
    ctx.set_source(sky)
    ctx.fill()
    # sun with a soft halo
    sx, sy = (w * 0.68, horizon - 44) if morning else (w * 0.12, 34)
    halo = cairo.RadialGradient(sx, sy, 4, sx, sy, 60)
    halo.add_color_stop_rgba(0, 1, 0.96, 0.8, 0.9)
    halo.add_color_stop_rgba(0.3, 1, 0.84, 0.6, 0.4)
    halo.add_color_stop_rgba(1, 1, 0.8, 0.55, 0.0)
    ctx.set_source(halo)
    ctx.arc(sx, sy, 60, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgb(*rgb((255, 248, 222)))
    ctx.arc(sx, sy, 13, 0, 2 * math.pi)
    ctx.fill()
    for _ in range(4):
        cloud(ctx, r.uniform(0, w), r.uniform(14, horizon - 70), r.uniform(0.6, 1.0))
    # far hills
    for base, amp, colour, shift in ((horizon - 30, 14, ui.HILL_FAR, 0.0),
                                     (horizon - 18, 10, ui.HILL_NEAR, 1.7)):
        ctx.move_to(0, horizon + 1)
        for x in range(0, w + 9, 8):
            y = base - amp * (0.55 + 0.45 * math.sin(x / 67.0 + shift + seed)
                              * math.sin(x / 31.0 + 2 * shift))
            ctx.line_to(x, y)
        ctx.line_to(w, horizon + 1)
        ctx.close_path()
        ctx.set_source_rgb(*rgb(colour))
        ctx.fill()
    treeline(ctx, w, horizon, r)
    water = cairo.LinearGradient(0, horizon, 0, h)
    water.add_color_stop_rgb(0, *rgb((200, 190, 178)))
    water.add_color_stop_rgb(0.2, *rgb(ui.WATER_TOP))
    water.add_color_stop_rgb(1, *rgb(ui.WATER_LOW))
    ctx.rectangle(0, horizon + 1, w, h - horizon)
    ctx.set_source(water)
    ctx.fill()
    ctx.set_line_width(1.0)
    for _ in range(int((h - horizon) / 4)):
        yy = round(r.uniform(horizon + 3, h)) + 0.5
        xx = r.uniform(-20, w)
        ln = r.uniform(10, 40)
        ctx.move_to(xx, yy)
        ctx.line_to(xx + ln, yy)
        ctx.set_source_rgba(1, 1, 1, r.uniform(0.15, 0.35))
        ctx.stroke()
    if ducks:
        for i in range(3):
            duck_silhouette(ctx, r.uniform(w * 0.3, w * 0.9), r.uniform(20, horizon - 60),
                            r.uniform(0.5, 0.8), (58, 70, 96), 1 if i % 2 else -1, i != 1)
    if reeds:
        reed_clump(ctx, 10, h + 2, 70, 16, seed + 1, lean=4)
        reed_clump(ctx, w - 12, h + 2, 60, 14, seed + 2, lean=-4)


def board(ctx, x, y, w, h, radius=8, seed=5):
    """A wooden board with a cream inlay: holds texts and controls on the screens."""
    common.rounded_rect(ctx, x, y, w, h, radius)
    ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
    ctx.fill()
    ctx.save()
    common.rounded_rect(ctx, x + 1, y + 1, w - 2, h - 2, radius - 1)
    ctx.clip()
    wood_fill(ctx, x, y, w, h, seed=seed)
    ctx.restore()
    inlay(ctx, x + 5, y + 5, w - 10, h - 10, max(2, radius - 4))


def inlay(ctx, x, y, w, h, radius=4):
    common.rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgb(*rgb(ui.CREAM))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*rgb(ui.WOOD_SHADE))
    ctx.stroke()


def sign(ctx, s, cx, cy, size=20, pad=10, seed=9):
    """A plank sign with a caption, used for screen titles."""
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    w = round(ext.x_advance + 2 * pad)
    h = round(size * 1.6)
    x, y = round(cx - w / 2), round(cy - h / 2)
    plank(ctx, x, y, w, h, False, seed=seed, radius=4)
    ui.caption(ctx, s, x, y, w, h, False, size, pad=2)


def title_text(ctx, s, cx, baseline, size, outline=5.0):
    """The game's name: golden letters with a dark wooden rim and a soft shadow."""
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    x = cx - ext.x_bearing - ext.width / 2
    ctx.move_to(x + 2, baseline + 3)
    ctx.text_path(s)
    ctx.set_source_rgba(0.1, 0.15, 0.25, 0.35)
    ctx.fill()
    ctx.move_to(x, baseline)
    ctx.text_path(s)
    ctx.set_line_width(outline)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
    ctx.stroke_preserve()
    g = cairo.LinearGradient(0, baseline - size * 0.75, 0, baseline)
    g.add_color_stop_rgb(0, *rgb((255, 236, 150)))
    g.add_color_stop_rgb(1, *rgb((236, 160, 52)))
    ctx.set_source(g)
    ctx.fill()


def emblem(ctx, cx, cy, r, label=True):
    """The game's round emblem: a duck rising over the reeds inside a golden ring.
    No part of it is pure black, so it can be faded in over a black screen that
    treats black as see-through."""
    ctx.save()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
    ctx.fill()
    ring = cairo.LinearGradient(0, cy - r, 0, cy + r)
    ring.add_color_stop_rgb(0, *rgb((255, 226, 120)))
    ring.add_color_stop_rgb(1, *rgb((214, 146, 44)))
    ctx.arc(cx, cy, r - 2, 0, 2 * math.pi)
    ctx.set_source(ring)
    ctx.fill()
    inner = r * 0.84
    ctx.arc(cx, cy, inner + 1.5, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
    ctx.fill()
    ctx.arc(cx, cy, inner, 0, 2 * math.pi)
    ctx.clip()
    horizon = cy + inner * 0.28
    sky = cairo.LinearGradient(0, cy - inner, 0, horizon)
    sky.add_color_stop_rgb(0, *rgb((90, 160, 228)))
    sky.add_color_stop_rgb(1, *rgb((255, 224, 164)))
    ctx.rectangle(cx - inner, cy - inner, 2 * inner, horizon - cy + inner)
    ctx.set_source(sky)
    ctx.fill()
    ctx.set_source_rgb(*rgb((255, 240, 180)))
    ctx.arc(cx + inner * 0.35, horizon - inner * 0.12, inner * 0.22, 0, 2 * math.pi)
    ctx.fill()
    water = cairo.LinearGradient(0, horizon, 0, cy + inner)
    water.add_color_stop_rgb(0, *rgb(ui.WATER_TOP))
    water.add_color_stop_rgb(1, *rgb(ui.WATER_LOW))
    ctx.rectangle(cx - inner, horizon, 2 * inner, cy + inner - horizon)
    ctx.set_source(water)
    ctx.fill()
    ctx.set_line_width(max(1.0, r / 60))
    for i in range(5):
        yy = horizon + (i + 1) * inner * 0.1
        ctx.move_to(cx - inner * (0.5 - i * 0.05), yy)
        ctx.line_to(cx + inner * (0.2 + i * 0.08), yy)
        ctx.set_source_rgba(1, 1, 1, 0.35)
        ctx.stroke()
    s = r / 90.0
    ctx.save()
    ctx.translate(cx, cy)
    ctx.scale(s, s)
    reed_clump(ctx, -52, 95, 120, 14, 350, lean=6)
    reed_clump(ctx, 60, 95, 90, 10, 351, lean=-6)
    ctx.restore()
    if r >= 40:
        mallard(ctx, cx - inner * 0.04, cy - inner * 0.05, 1.35 * s)
    else:
        duck_silhouette(ctx, cx - inner * 0.05, cy - inner * 0.3, 2.6 * s, (40, 70, 92))
    ctx.restore()
    if label:
        # a ribbon across the lower ring carries the name
        bw, bh = r * 1.5, r * 0.34
        bx, by = cx - bw / 2, cy + r * 0.46
        plank(ctx, round(bx), round(by), round(bw), round(bh), False, seed=350, radius=3)
        size = fit_font(ctx, "TALLREED", bw - 10, bh - 6, bh * 0.7)
        centred_text(ctx, "TALLREED", cx, by + bh / 2, size, ui.INK)


def wrap(ctx, text, width, size, bold=False):
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    lines, cur = [], ""
    for word in text.split():
        trial = (cur + " " + word).strip()
        if ctx.text_extents(trial).x_advance <= width or not cur:
            cur = trial
        else:
            lines.append(cur)
            cur = word
    if cur:
        lines.append(cur)
    return lines


def left_text(ctx, s, x, baseline, size, colour, bold=False):
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ctx.move_to(round(x), round(baseline))
    ctx.set_source_rgb(*rgb(colour))
    ctx.show_text(s)
    return ctx.text_extents(s).x_advance


def right_text(ctx, s, x, baseline, size, colour, bold=True):
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    ctx.move_to(round(x - ext.x_advance), round(baseline))
    ctx.set_source_rgb(*rgb(colour))
    ctx.show_text(s)


def screen():
    return ui.canvas(W, H)


def opaque(surf):
    return common.finish(surf, keyed=False)


# --- full screens ----------------------------------------------------------------------
def main_menu():
    """The buttons slide in from the right and the name plank sits bottom left; the
    left part shows the title and the emblem."""
    surf, ctx = screen()
    lakeside(ctx, seed=355)
    title_text(ctx, "Tallreed", 84, 44, 34, outline=5)
    emblem(ctx, 84, 114, 54, label=False)
    # a small caption over the name plank says what it is for
    common.rounded_rect(ctx, 2, 174, 96, 18, 4)
    ctx.set_source_rgba(*rgb(ui.TEAL_DARK), 0.8)
    ctx.fill()
    left_text(ctx, "Your name:", 8, 187, 11, ui.CREAM, bold=True)
    return opaque(surf)


def options_screen():
    surf, ctx = screen()
    lakeside(ctx, seed=370, reeds=False, ducks=False)
    sign(ctx, "Options", 160, 24, 18)
    board(ctx, 4, 54, 312, 136, seed=371)
    # labels to the left of their controls
    right_text(ctx, "Music", 108, 85, 13, ui.INK)
    right_text(ctx, "Sound", 108, 124, 13, ui.INK)
    for x, first, second in ((136, "Special", "effects"), (259, "Menu", "animation")):
        right_text(ctx, first, x, 155, 12, ui.INK)
        right_text(ctx, second, x, 168, 12, ui.INK)
    return opaque(surf)


def help_screen():
    surf, ctx = screen()
    lakeside(ctx, seed=383, reeds=False)
    sign(ctx, "How to play", 150, 30, 17)
    # a frame around the page area (42, 62) 216 x 118
    board(ctx, 36, 56, 228, 130, radius=7, seed=384)
    return opaque(surf)


def scores_screen():
    """Place numbers at x 12-49, names from 50, scores from 190, in rows of 18 from
    y 58 down to 171; statistics rows down to 181.  All of that lies on one plain
    inlay so the game's text reads cleanly."""
    surf, ctx = screen()
    lakeside(ctx, seed=398, reeds=False, ducks=False)
    sign(ctx, "Scores", 160, 24, 18)
    board(ctx, 2, 48, 316, 142, seed=399)
    return opaque(surf)


def name_entry_screen():
    surf, ctx = screen()
    lakeside(ctx, seed=502, reeds=False, ducks=False)
    # the name field: the typed name is centred on x = 160, rows 18-35
    common.rounded_rect(ctx, 4, 10, 58, 32, 5)
    ctx.set_source_rgba(*rgb(ui.TEAL_DARK), 0.85)
    ctx.fill()
    centred_text(ctx, "Name", 33, 26, 13, ui.CREAM)
    board(ctx, 66, 8, 188, 38, radius=6, seed=503)
    # the keyboard tray holding all keys and both buttons
    common.rounded_rect(ctx, 4, 50, 312, 186, 8)
    ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
    ctx.fill()
    common.rounded_rect(ctx, 6, 52, 308, 182, 7)
    ctx.set_source_rgb(*rgb(ui.TEAL))
    ctx.fill()
    return opaque(surf)


def title_screen():
    surf, ctx = screen()
    lakeside(ctx, seed=583, morning=True, horizon=156, reeds=False, ducks=False)
    reed_clump(ctx, 14, 242, 110, 22, 584, lean=5)
    reed_clump(ctx, 70, 242, 60, 10, 585, lean=3)
    for x, y, s, f, up in ((150, 118, 0.9, 1, True), (176, 106, 0.7, 1, False),
                           (200, 124, 0.6, 1, True), (262, 88, 0.5, -1, True)):
        duck_silhouette(ctx, x, y, s, (70, 76, 98), f, up)
    title_text(ctx, "Tallreed", 160, 70, 54, outline=7)
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    centred_text(ctx, "a lakeside duck shoot", 160, 90, 13, ui.TEAL_DARK)
    return opaque(surf)


def title_prompt():
    pw, ph = ui.player_size(584)
    surf, ctx = ui.canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, False, seed=584)
    centred_text(ctx, "Tap the", pw / 2, 11, 12, ui.INK)
    centred_text(ctx, "screen", pw / 2, 25, 12, ui.INK)
    return opaque(surf)


def about_box():
    pw, ph = ui.player_size(509)
    surf, ctx = ui.canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, False, seed=509)
    inlay(ctx, 6, 6, pw - 12, ph - 12, 5)
    emblem(ctx, 38, 44, 28, label=False)
    left_text(ctx, "Tallreed", 72, 42, 22, ui.INK, bold=True)
    left_text(ctx, "Version " + common.game_version(), 74, 58, 11, ui.TEAL_DARK, bold=True)
    lines = ("A lakeside duck shoot", "made by Quenmoor.",
             "Built with our own code,", "pictures and sounds.")
    for i, s in enumerate(lines):
        left_text(ctx, s, 16, 86 + 13 * i, 11, ui.INK)
    centred_text(ctx, "Tap to close", pw / 2, ph - 13, 10, ui.WOOD_SHADE)
    return opaque(surf)


# --- help pages --------------------------------------------------------------------------
HELP_PAGES = (
    ("Shooting", "duck",
     "Ducks fly over the lake. Tap a duck to shoot it: a near duck is worth 10 points, "
     "a far one 25. A round lasts three minutes. The clock is at the top left, your "
     "score at the top right.",
     "Tip: a narrow miss makes a duck turn and flee."),
    ("Reloading", "shells",
     "Your gun holds seven shells, shown at the bottom right. Every tap fires one. When "
     "the gun is empty, tap the shells to reload, or press the right mouse button "
     "or the key 3.",
     "Tip: with shells left, a tap on them is just a shot."),
    ("Looking around", "arrows",
     "The lake is three screens wide and a round starts at its left end. Scroll along "
     "the shore with the Left and Right cursor keys. Far ducks fly behind the reeds, "
     "near ducks in front.",
     "Tip: the swimming duck only turns round when shot at."),
    ("Leaves", "leaf",
     "Autumn leaves drift by; a shot leaf gives 1 point. Some turn into a clock: "
     "+ gives you 30 more seconds, \u2212 takes 30 away. A lucky one sets free a whole "
     "flock of bonus ducks.",
     "Tip: a warning sounds four seconds before the end."),
    ("Friend or foe", "sign",
     "Leave the red birds and the fisherman in his boat alone: each hit costs 50 "
     "points. The duck holding up a sign brings 50 points. Sharp eyes may find "
     "something hidden on the shore.",
     "Tip: the sign duck rises from the bottom edge and soon sinks back."),
    ("Scores", "cup",
     "When time runs out your score enters the table of the ten best under your name. "
     "Tap the name plank on the main menu to change it. To pause, tap the menu sign "
     "at the bottom left.",
     "Tip: Stats on the scores screen shows your last round."),
)


def help_icon(ctx, kind, x, y):
    """A 28 x 28 picture, shown smaller in the page's top-right corner."""
    cx, cy = x + 14, y + 14
    if kind == "duck":
        duck_silhouette(ctx, cx, cy + 2, 1.0, (60, 90, 60), 1, True)
        ctx.set_line_width(1.5)
        ctx.set_source_rgb(*rgb(ui.ARROW_RED))
        ctx.arc(cx, cy, 11, 0, 2 * math.pi)
        ctx.stroke()
        for a in range(4):
            ang = a * math.pi / 2
            ctx.move_to(cx + 7 * math.cos(ang), cy + 7 * math.sin(ang))
            ctx.line_to(cx + 14 * math.cos(ang), cy + 14 * math.sin(ang))
        ctx.stroke()
    elif kind == "shells":
        for i in range(3):
            sx = x + 3 + i * 8
            ctx.rectangle(sx, y + 4, 6, 14)
            ctx.set_source_rgb(*rgb((204, 40, 36)))
            ctx.fill()
            ctx.rectangle(sx, y + 18, 6, 6)
            ctx.set_source_rgb(*rgb(ui.GOLD))
            ctx.fill()
            ctx.set_line_width(1.0)
            ctx.rectangle(sx + 0.5, y + 4.5, 5, 19)
            ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
            ctx.stroke()
    elif kind == "arrows":
        ctx.set_source_rgb(*rgb(ui.TEAL))
        for d in (-1, 1):
            ctx.move_to(cx + d * 3, cy - 7)
            ctx.line_to(cx + d * 13, cy)
            ctx.line_to(cx + d * 3, cy + 7)
            ctx.close_path()
            ctx.fill()
    elif kind == "leaf":
        ctx.save()
        ctx.translate(cx, cy)
        ctx.rotate(-0.6)
        ctx.move_to(-12, 0)
        ctx.curve_to(-6, -9, 6, -9, 12, 0)
        ctx.curve_to(6, 9, -6, 9, -12, 0)
        ctx.set_source_rgb(*rgb((222, 120, 36)))
        ctx.fill()
        ctx.move_to(-13, 0)
        ctx.line_to(10, 0)
        ctx.set_line_width(1.0)
        ctx.set_source_rgb(*rgb((140, 66, 20)))
        ctx.stroke()
        ctx.restore()
    elif kind == "sign":
        ctx.rectangle(x + 4, y + 3, 20, 14)
        ctx.set_source_rgb(*rgb(ui.CREAM))
        ctx.fill_preserve()
        ctx.set_line_width(1.0)
        ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
        ctx.stroke()
        centred_text(ctx, "50", cx, y + 10, 9, (30, 120, 40))
        ctx.rectangle(cx - 1, y + 17, 2, 9)
        ctx.set_source_rgb(*rgb(ui.WOOD_RIM))
        ctx.fill()
    elif kind == "cup":
        ctx.move_to(x + 6, y + 3)
        ctx.line_to(x + 22, y + 3)
        ctx.curve_to(x + 22, y + 14, x + 18, y + 17, cx, y + 17)
        ctx.curve_to(x + 10, y + 17, x + 6, y + 14, x + 6, y + 3)
        ctx.set_source_rgb(*rgb(ui.GOLD))
        ctx.fill()
        ctx.rectangle(cx - 2, y + 17, 4, 5)
        ctx.rectangle(x + 8, y + 22, 12, 3)
        ctx.fill()
        ctx.set_line_width(1.0)
        ctx.set_source_rgb(*rgb(ui.WOOD_SHADE))
        ctx.arc(x + 6, y + 8, 4, math.pi / 2, 3 * math.pi / 2)
        ctx.stroke()
        ctx.arc(x + 22, y + 8, 4, -math.pi / 2, math.pi / 2)
        ctx.stroke()


def help_page(pid, index):
    pw, ph = ui.player_size(pid)
    heading, icon, body, tip = HELP_PAGES[index]
    surf, ctx = ui.canvas(pw, ph)
    ctx.rectangle(0, 0, pw, ph)
    ctx.set_source_rgb(*rgb(ui.CREAM))
    ctx.fill()
    left_text(ctx, heading, 8, 17, 14, ui.TEAL_DARK, bold=True)
    right_text(ctx, "%d/6" % (index + 1), pw - 30, 16, 9, ui.WOOD_SHADE, bold=False)
    ctx.rectangle(8, 21, pw - 36, 1)
    ctx.set_source_rgb(*rgb(ui.CREAM_EDGE))
    ctx.fill()
    ctx.save()
    ctx.translate(pw - 26, 0)
    ctx.scale(0.72, 0.72)
    help_icon(ctx, icon, 0, 0)
    ctx.restore()
    size = 10.5
    while True:
        lines = wrap(ctx, body, pw - 16, size)
        tips = wrap(ctx, tip, pw - 16, size - 0.5, bold=True)
        lead = size + 3
        if 22 + lead * (len(lines) + len(tips)) + 6 <= ph or size <= 8:
            break
        size -= 0.5
    y = 22
    for s in lines:
        y += lead
        left_text(ctx, s, 8, y - 2, size, ui.INK)
    y += 4
    for s in tips:
        y += lead
        left_text(ctx, s, 8, y - 2, size - 0.5, ui.TEAL, bold=True)
    return opaque(surf)


# --- credits ----------------------------------------------------------------------------
CREDIT_LINES = (
    (407, "TALLREED", "head"),
    (408, "a lakeside duck shoot", "sub"),
    (409, "made by Quenmoor", "sub"),
    (410, "Design", "role"),
    (411, "The Tallreed team", "name"),
    (412, "Programming", "role"),
    (413, "The Tallreed team", "name"),
    (415, "Pictures", "role"),
    (416, "The Tallreed team", "name"),
    (417, "Sound and music", "role"),
    (418, "The Tallreed team", "name"),
    (419, "Testing", "role"),
    (420, "Tallreed testers", "name"),
)
CREDIT_STYLE = {
    "head": ((255, 212, 96), 17, True),
    "sub": ((206, 226, 240), 12, False),
    "role": ((132, 200, 240), 14, True),
    "name": ((250, 246, 232), 13, False),
}


def credit_line(pid, s, style):
    """Text on black, left-aligned: every line starts at the same place on screen.
    Black is the key here, so the line shows the same whether it is drawn keyed,
    blended or copied plainly."""
    pw, ph = ui.player_size(pid)
    surf, ctx = ui.canvas(pw, ph)
    colour, size, bold = CREDIT_STYLE[style]
    size = fit_font(ctx, s, pw - 3, ph - 2, size, bold)
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    base = round(ph / 2 - ext.y_bearing - ext.height / 2)
    left_text(ctx, s, 1, base, size, colour, bold)
    return on_black(surf)


def on_black(surf):
    dev = common.finish(surf, keyed=False, background=(0, 0, 0))
    dev[0, 0] = 0
    return dev


def credits_title():
    pw, ph = ui.player_size(421)
    surf, ctx = ui.canvas(pw, ph)
    title_text(ctx, "Credits", pw / 2, 21, 20, outline=3)
    return on_black(surf)


# --- intro ----------------------------------------------------------------------------
def maker_logo():
    """Quenmoor: a full moon over the heather of a moor, on black."""
    pw, ph = ui.player_size(351)
    surf, ctx = ui.canvas(pw, ph)
    ctx.rectangle(0, 0, pw, ph)
    ctx.set_source_rgb(0, 0, 0)
    ctx.fill()
    cx, cy, r = pw / 2, 92, 78
    ctx.arc(cx, cy, r + 3, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb((210, 170, 90)))
    ctx.fill()
    ctx.save()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.clip()
    night = cairo.LinearGradient(0, cy - r, 0, cy + r)
    night.add_color_stop_rgb(0, *rgb((30, 40, 104)))
    night.add_color_stop_rgb(1, *rgb((120, 88, 160)))
    ctx.paint()
    ctx.set_source(night)
    ctx.paint()
    rr = random.Random(351)
    for _ in range(26):
        ctx.arc(rr.uniform(cx - r, cx + r), rr.uniform(cy - r, cy), rr.uniform(0.5, 1.2),
                0, 2 * math.pi)
        ctx.set_source_rgba(1, 1, 0.9, rr.uniform(0.5, 0.9))
        ctx.fill()
    ctx.arc(cx + 18, cy - 22, 26, 0, 2 * math.pi)
    ctx.set_source_rgb(*rgb((255, 246, 206)))
    ctx.fill()
    for colour, base, amp, ph0 in (((96, 70, 130), cy + 22, 10, 0.3),
                                   ((126, 64, 112), cy + 40, 8, 2.0),
                                   ((64, 96, 70), cy + 58, 6, 4.0)):
        ctx.move_to(cx - r, cy + r)
        for x in range(int(cx - r), int(cx + r) + 6, 4):
            ctx.line_to(x, base - amp * math.sin(ph0 + (x - cx) / 30.0))
        ctx.line_to(cx + r, cy + r)
        ctx.close_path()
        ctx.set_source_rgb(*rgb(colour))
        ctx.fill()
    ctx.restore()
    ctx.select_font_face(common.FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    size = fit_font(ctx, "QUENMOOR", pw - 16, 40, 30)
    centred_text(ctx, "QUENMOOR", cx, 190, size, (236, 196, 110))
    centred_text(ctx, "presents", cx, 210, 11, (190, 180, 210))
    return opaque(surf)


def game_emblem():
    pw, ph = ui.player_size(350)
    surf, ctx = ui.canvas(pw, ph)
    emblem(ctx, pw / 2, ph / 2, pw / 2 - 2)
    dev = common.finish(surf, keyed=False, background=(0, 0, 0), upright=True)
    # anything inside the emblem that came out as pure black would turn see-through
    # in the fade; lift it to the darkest blue instead
    import numpy as np
    inside = np.zeros(dev.shape, dtype=bool)
    yy, xx = np.mgrid[0:ph, 0:pw]
    inside = (xx - pw / 2 + 0.5) ** 2 + (yy - ph / 2 + 0.5) ** 2 < (pw / 2 - 4) ** 2
    dev[(dev == 0) & inside] = 0x0001
    return dev


def pictures():
    p = {
        355: main_menu,
        370: options_screen,
        383: help_screen,
        398: scores_screen,
        502: name_entry_screen,
        583: title_screen,
        584: title_prompt,
        509: about_box,
        421: credits_title,
        351: maker_logo,
        350: game_emblem,
    }
    for i in range(6):
        p[401 + i] = (lambda i=i: help_page(401 + i, i))
    for pid, s, style in CREDIT_LINES:
        p[pid] = (lambda pid=pid, s=s, style=style: credit_line(pid, s, style))
    return p
