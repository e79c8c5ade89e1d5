"""Buttons and the small pieces of the screens: menu planks, check boxes, slider parts,
keyboard keys, the confirmation box and the pause panel.

Every button is the same painted wooden plank: warm honey wood, a thin dark rim, a
light bevel, and a dark brown caption that stays readable at 1:1.  Its pressed twin is
the same plank darker, with the bevel turned inward and the caption pushed one pixel
down and right, so a tap visibly sinks the board.

All drawing happens in the player's landscape orientation; sizes below are player
sizes (width, height), derived from the device sizes the game loads.
"""
import math
import random

import cairo

import common

try:
    import catalogue
except ImportError:  # pragma: no cover - only while the catalogue is missing
    catalogue = None

# --- the one palette shared by every screen ----------------------------------------
WOOD_TOP = (238, 190, 118)
WOOD_BOTTOM = (208, 148, 76)
WOOD_RIM = (92, 52, 20)
WOOD_LIGHT = (255, 230, 176)
WOOD_SHADE = (152, 96, 44)
GRAIN = (150, 90, 40)
INK = (64, 32, 10)
INK_EMBOSS = (255, 236, 190)
CREAM = (252, 244, 222)
CREAM_EDGE = (214, 196, 160)
TEAL = (38, 104, 118)
TEAL_DARK = (22, 66, 78)
TEAL_LIGHT = (120, 186, 196)
TICK_GREEN = (44, 142, 52)
MUSIC_BLUE = (66, 138, 222)
SOUND_GREEN = (96, 176, 64)
ARROW_RED = (226, 72, 40)
# the lake in autumn, matching the round's panorama
SKY_TOP = (92, 146, 206)
SKY_MID = (160, 190, 222)
SKY_LOW = (246, 214, 178)
HILL_FAR = (150, 146, 186)
HILL_NEAR = (124, 128, 160)
BANK = (116, 112, 48)
WATER_TOP = (112, 158, 184)
WATER_LOW = (44, 98, 128)
REED = (170, 150, 64)
REED_DARK = (134, 128, 54)
REED_GOLD = (196, 160, 72)
CATTAIL = (120, 68, 34)
TREE_COLOURS = ((222, 120, 40), (196, 78, 36), (236, 172, 58), (168, 58, 38),
                (204, 150, 52), (142, 120, 48), (226, 98, 44))
GOLD = (246, 196, 70)

PRESSED_DARKEN = 0.74


def rgb(c, k=1.0):
    return tuple(min(1.0, max(0.0, v * k / 255.0)) for v in c)


def crisp(ctx):
    """Hinted grey anti-aliasing: small captions keep sharp stems at 1:1."""
    fo = cairo.FontOptions()
    fo.set_antialias(cairo.ANTIALIAS_GRAY)
    fo.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    fo.set_hint_metrics(cairo.HINT_METRICS_ON)
    ctx.set_font_options(fo)


def player_size(pid):
    """(player width, player height) of a catalogue picture."""
    w, h = catalogue.size(pid)
    return h, w


def canvas(pw, ph):
    surf, ctx = common.landscape(pw, ph)
    crisp(ctx)
    return surf, ctx


def fit_font(ctx, s, max_w, max_h, size, bold=True, family=common.FONT):
    """Largest size <= `size` at which `s` fits into max_w x max_h."""
    while size > 6:
        ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                             cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        ctx.set_font_size(size)
        ext = ctx.text_extents(s)
        if ext.x_advance <= max_w and ext.height <= max_h:
            break
        size -= 0.5
    return size


def centred_text(ctx, s, cx, cy, size, colour, bold=True, family=common.FONT):
    """Draw `s` centred on (cx, cy) with its ink box, snapped to whole pixels."""
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    ext = ctx.text_extents(s)
    x = round(cx - ext.x_bearing - ext.width / 2)
    y = round(cy - ext.y_bearing - ext.height / 2)
    ctx.move_to(x, y)
    ctx.set_source_rgb(*rgb(colour))
    ctx.show_text(s)


def wood_fill(ctx, x, y, w, h, k=1.0, seed=1, grain=True, top=WOOD_TOP, bottom=WOOD_BOTTOM):
    """Fill the current clip/rectangle area with a wood gradient and a few grain lines."""
    g = cairo.LinearGradient(0, y, 0, y + h)
    g.add_color_stop_rgb(0, *rgb(top, k))
    g.add_color_stop_rgb(1, *rgb(bottom, k))
    ctx.rectangle(x, y, w, h)
    ctx.set_source(g)
    ctx.fill()
    if not grain:
        return
    r = random.Random(seed)
    lines = max(2, int(h / 6))
    ctx.set_line_width(1.0)
    for i in range(lines):
        gy = y + (i + 0.5 + r.uniform(-0.3, 0.3)) * h / lines
        amp = r.uniform(0.4, 1.4)
        ph = r.uniform(0, 6.28)
        per = r.uniform(30, 70)
        ctx.move_to(x, gy)
        steps = max(2, int(w / 4))
        for s in range(1, steps + 1):
            px = x + w * s / steps
            ctx.line_to(px, gy + amp * math.sin(ph + (px - x) / per * 6.28))
        ctx.set_source_rgba(*rgb(GRAIN, k), r.uniform(0.16, 0.28))
        ctx.stroke()
    # one or two knots for a natural look on longer boards
    if w > 70:
        for _ in range(r.randint(0, 1) + (1 if w > 120 else 0)):
            kx = x + r.uniform(0.15, 0.85) * w
            ky = y + r.uniform(0.25, 0.75) * h
            ctx.save()
            ctx.translate(kx, ky)
            ctx.scale(3.5, 1.3)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            ctx.set_source_rgba(*rgb(GRAIN, k), 0.25)
            ctx.fill()


def plank(ctx, x, y, w, h, pressed=False, seed=1, grain=True, radius=0):
    """A wooden plank with rim and bevel; pressed = darker with the bevel turned inward."""
    k = PRESSED_DARKEN if pressed else 1.0
    ctx.save()
    if radius:
        common.rounded_rect(ctx, x, y, w, h, radius)
    else:
        ctx.rectangle(x, y, w, h)
    ctx.clip()
    wood_fill(ctx, x, y, w, h, k, seed, grain)
    ctx.set_line_width(1.0)
    if pressed:
        # a shadow along the top and left edges: the board sits lower than its frame
        ctx.set_source_rgba(*rgb(WOOD_RIM), 0.55)
        ctx.rectangle(x + 1, y + 1, w - 2, 2)
        ctx.fill()
        ctx.rectangle(x + 1, y + 1, 2, h - 2)
        ctx.fill()
    else:
        ctx.set_source_rgb(*rgb(WOOD_LIGHT))
        ctx.move_to(x + 1.5, y + h - 2)
        ctx.line_to(x + 1.5, y + 1.5)
        ctx.line_to(x + w - 2, y + 1.5)
        ctx.stroke()
        ctx.set_source_rgb(*rgb(WOOD_SHADE))
        ctx.move_to(x + 2, y + h - 1.5)
        ctx.line_to(x + w - 1.5, y + h - 1.5)
        ctx.line_to(x + w - 1.5, y + 2)
        ctx.stroke()
    ctx.restore()
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    if radius:
        common.rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    else:
        ctx.rectangle(x + 0.5, y + 0.5, w - 1, h - 1)
    ctx.stroke()


def caption(ctx, s, x, y, w, h, pressed=False, size=None, pad=5):
    """A caption centred on a plank; engraved look when up, sunk one pixel when pressed."""
    size = size or max(9.0, min(22.0, h * 0.56))
    size = fit_font(ctx, s, w - 2 * pad, h - 4, size)
    d = 1 if pressed else 0
    cx, cy = x + w / 2 + d, y + h / 2 + d
    if not pressed:
        centred_text(ctx, s, cx, cy + 1, size, INK_EMBOSS)
    centred_text(ctx, s, cx, cy, size, INK)


def seed_of(s):
    return sum((i + 1) * ord(c) for i, c in enumerate(s)) % 9973


def button(pw, ph, label, pressed=False, size=None, seed=None):
    """A whole opaque button picture (player size pw x ph) as a landscape surface."""
    surf, ctx = canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, pressed, seed if seed is not None else seed_of(label))
    caption(ctx, label, 0, 0, pw, ph, pressed, size)
    return surf


def button_pic(pid, label, pressed, size=None):
    pw, ph = player_size(pid)
    return common.finish(button(pw, ph, label, pressed, size), keyed=False)


def stacked_button_pic(pid, glyphs, pressed, size):
    """A tall narrow button whose caption is written one glyph per row, so that it
    reads upright in a column only twenty pixels wide."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    label = "".join(glyphs)
    plank(ctx, 0, 0, pw, ph, pressed, seed_of(label))
    d = 1 if pressed else 0
    n = len(glyphs)
    step = (ph - 4) / n
    for i, g in enumerate(glyphs):
        cy = 2 + step * (i + 0.5)
        if not pressed:
            centred_text(ctx, g, pw / 2, cy + 1, size, INK_EMBOSS)
        centred_text(ctx, g, pw / 2 + d, cy + d, size, INK)
    return common.finish(surf, keyed=False)


# --- pictures with more than a caption --------------------------------------------
def name_button_pic(pid, pressed):
    """The blank name plank, plain in the middle, where the game stamps the player's
    name at run time.

    The menu keeps the plank's slide-in copy, drawn without transparency, underneath
    the live button, so its key pixel would stay visible for as long as the menu is
    shown. The plank is therefore square, and its key is the colour of the menu
    background right under its key corner: the one key pixel then looks like the
    background it stands for."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, pressed, seed=364, grain=False, radius=0)
    # a faint inner frame marks the field without putting anything under the name
    k = PRESSED_DARKEN if pressed else 1.0
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(*rgb(WOOD_SHADE, k), 0.6)
    common.rounded_rect(ctx, 4.5, 4.5, pw - 9, ph - 9, 4)
    ctx.stroke()
    return common.finish(surf, keyed=True, key=menu_background_under_name_plank())


_menu_key = []


def menu_background_under_name_plank():
    """The menu background's colour at the name plank's key corner (device (195, 162))."""
    if not _menu_key:
        import screen_art  # drawn on demand: the menu background is only needed here
        p = int(screen_art.main_menu()[162, 195])
        _menu_key.append(tuple(int(c) for c in common.widen565(p)))
    return _menu_key[0]


def check_box_pic(pid, ticked):
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, False, seed=375)
    bx, by, bs = (pw - 16) / 2, (ph - 16) / 2, 16
    ctx.rectangle(bx, by, bs, bs)
    ctx.set_source_rgb(*rgb(CREAM))
    ctx.fill()
    ctx.set_line_width(1.0)
    ctx.rectangle(bx + 0.5, by + 0.5, bs - 1, bs - 1)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    ctx.stroke()
    ctx.rectangle(bx + 1, by + 1, bs - 2, 1)
    ctx.set_source_rgb(*rgb(CREAM_EDGE))
    ctx.fill()
    if ticked:
        ctx.set_line_width(3.0)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.move_to(bx + 3.5, by + 8.5)
        ctx.line_to(bx + 7, by + 12.5)
        ctx.line_to(bx + 14, by + 2.5)
        ctx.set_source_rgb(*rgb(TICK_GREEN))
        ctx.stroke()
    return common.finish(surf, keyed=False)


def slider_track_pic(pid, colour):
    """A groove with a wedge growing to the right: more to the right means louder."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    gy, gh = 4, ph - 8
    common.rounded_rect(ctx, 0.5, gy - 0.5, pw - 1, gh + 1, 4)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    ctx.fill()
    common.rounded_rect(ctx, 1.5, gy + 0.5, pw - 3, gh - 1, 3)
    ctx.set_source_rgb(*rgb(CREAM, 0.92))
    ctx.fill()
    # the volume wedge
    x0, x1 = 5, pw - 5
    ctx.move_to(x0, gy + gh - 2)
    ctx.line_to(x1, gy + gh - 2)
    ctx.line_to(x1, gy + 2)
    ctx.close_path()
    g = cairo.LinearGradient(x0, 0, x1, 0)
    g.add_color_stop_rgb(0, *rgb(colour, 0.8))
    g.add_color_stop_rgb(1, *rgb(colour, 1.05))
    ctx.set_source(g)
    ctx.fill()
    # tick marks along the top rim, one per ten steps of volume
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    for i in range(8):
        tx = round(x0 + (x1 - x0) * i / 7) + 0.5
        ctx.move_to(tx, 0)
        ctx.line_to(tx, 3)
        ctx.move_to(tx, ph - 3)
        ctx.line_to(tx, ph)
    ctx.stroke()
    return common.finish(surf, keyed=True)


def slider_knob_pic(pid, pressed):
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, pressed, seed=377, grain=False, radius=5)
    k = PRESSED_DARKEN if pressed else 1.0
    d = 1 if pressed else 0
    ctx.set_line_width(1.0)
    for i in (-5, 0, 5):
        x = round(pw / 2 + i) + 0.5 + d
        ctx.move_to(x, 4 + d)
        ctx.line_to(x, ph - 4 + d)
        ctx.set_source_rgb(*rgb(WOOD_RIM, k))
        ctx.stroke()
        ctx.move_to(x + 1, 4 + d)
        ctx.line_to(x + 1, ph - 4 + d)
        ctx.set_source_rgb(*rgb(WOOD_LIGHT, k))
        ctx.stroke()
    return common.finish(surf, keyed=True)


def arrow_mark_pic(pid):
    """Points right, at the name of the newest table entry."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    ctx.move_to(2, 7)
    ctx.line_to(10, 7)
    ctx.line_to(10, 2.5)
    ctx.line_to(18, 10)
    ctx.line_to(10, 17.5)
    ctx.line_to(10, 13)
    ctx.line_to(2, 13)
    ctx.close_path()
    ctx.set_source_rgb(*rgb(ARROW_RED))
    ctx.fill_preserve()
    ctx.set_line_width(1.2)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    ctx.stroke()
    return common.finish(surf, keyed=True)


def key_pic(pid, ch, pressed):
    """One key of the on-screen keyboard: a small square plank with its letter."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    plank(ctx, 0, 0, pw, ph, pressed, seed=pid, grain=False)
    d = 1 if pressed else 0
    k = 1.0
    if ch == " ":
        # the blank: an open bracket lying on its back, as printed on keyboards
        ctx.set_line_width(2.0)
        ctx.move_to(4 + d, 9 + d)
        ctx.line_to(4 + d, 14 + d)
        ctx.line_to(16 + d, 14 + d)
        ctx.line_to(16 + d, 9 + d)
        ctx.set_source_rgb(*rgb(INK, k))
        ctx.stroke()
    elif ch == "\b":
        # rub-out: an arrow pointing left
        ctx.set_line_width(2.0)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.move_to(16 + d, 10 + d)
        ctx.line_to(6 + d, 10 + d)
        ctx.set_source_rgb(*rgb(INK, k))
        ctx.stroke()
        ctx.move_to(3 + d, 10 + d)
        ctx.line_to(9 + d, 5 + d)
        ctx.line_to(9 + d, 15 + d)
        ctx.close_path()
        ctx.fill()
    else:
        if not pressed:
            centred_text(ctx, ch, pw / 2, ph / 2 + 1, 13, INK_EMBOSS)
        centred_text(ctx, ch, pw / 2 + d, ph / 2 + d, 13, INK)
    return common.finish(surf, keyed=False)


# The confirmation box and its two answer areas, in player pixels relative to the box.
CONFIRM_OK = (13, 68, 40, 24)
CONFIRM_CANCEL = (73, 68, 86, 24)


def confirm_box_pic(pid):
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    common.rounded_rect(ctx, 0, 0, pw, ph, 10)
    ctx.set_source_rgb(*rgb(WOOD_RIM))
    ctx.fill()
    ctx.save()
    common.rounded_rect(ctx, 1, 1, pw - 2, ph - 2, 9)
    ctx.clip()
    wood_fill(ctx, 0, 0, pw, ph, seed=532)
    ctx.restore()
    common.rounded_rect(ctx, 5.5, 5.5, pw - 11, ph - 11, 6)
    ctx.set_source_rgb(*rgb(CREAM))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*rgb(WOOD_SHADE))
    ctx.stroke()
    centred_text(ctx, "Delete all", pw / 2, 22, 14, INK)
    centred_text(ctx, "high scores?", pw / 2, 42, 14, INK)
    for (x, y, w, h), s in ((CONFIRM_OK, "ok"), (CONFIRM_CANCEL, "Cancel")):
        plank(ctx, x, y, w, h, False, seed_of(s))
        caption(ctx, s, x, y, w, h, False)
    return common.finish(surf, keyed=True)


def confirm_area_pic(pid, area, label):
    x, y, w, h = area
    assert (w, h) == player_size(pid)
    return common.finish(button(w, h, label, pressed=True), keyed=False)


# Pause panel: buttons in player pixels relative to the panel, in panel order.
PAUSE_BUTTONS = (
    ("Options", 523, (6, 16)),
    ("Score", 527, (6, 44)),
    ("Help", 521, (6, 76)),
    ("Exit", 519, (6, 104)),
    ("Resume", 525, (6, 133)),
)
PAUSE_SIZE = (88, 24)
PAUSE_CAPTION = 14


def pause_panel_pic(pid):
    """The pause panel carries the buttons' normal faces itself: the game only ever
    copies a pressed face over it."""
    pw, ph = player_size(pid)
    surf, ctx = canvas(pw, ph)
    # square where the panel meets the screen's left and bottom edges, rounded
    # at the top right where it stands free
    r = 12
    ctx.move_to(0, 0)
    ctx.line_to(pw - r, 0)
    ctx.arc(pw - r, r, r, -math.pi / 2, 0)
    ctx.line_to(pw, ph)
    ctx.line_to(0, ph)
    ctx.close_path()
    g = cairo.LinearGradient(0, 0, pw, 0)
    g.add_color_stop_rgb(0, *rgb(TEAL))
    g.add_color_stop_rgb(1, *rgb(TEAL, 0.86))
    ctx.set_source(g)
    ctx.fill()
    ctx.set_line_width(2.0)
    ctx.move_to(0, 1)
    ctx.line_to(pw - r, 1)
    ctx.arc(pw - r, r, r - 1, -math.pi / 2, 0)
    ctx.line_to(pw - 1, ph)
    ctx.set_source_rgb(*rgb(TEAL_LIGHT))
    ctx.stroke()
    centred_text(ctx, "Paused", pw / 2 - 4, 8.5, 10, CREAM)
    bw, bh = PAUSE_SIZE
    for label, _, (x, y) in PAUSE_BUTTONS:
        plank(ctx, x, y, bw, bh, False, seed_of(label))
        caption(ctx, label, x, y, bw, bh, False, PAUSE_CAPTION)
    return common.finish(surf, keyed=True)


# --- the table of every picture made here -------------------------------------------
# (normal id, caption, caption size or None for automatic)
CAPTIONED = (
    (366, "New Game", 20), (358, "Options", 20), (368, "Score", 20), (362, "Help", 20),
    (360, "Exit", 20),
    (371, "ok", 15), (373, "Cancel", 15),
    (390, "ok", 15), (386, "Credits", 15), (399, "About", 15),
    (392, "ok", 15), (394, "Reset", 15), (396, "Stats", 15), (504, "Score", 15),
    (422, "ok", 15), (424, "Cancel", 15),
)


def _keys():
    out = [(426, "0")]
    out += [(428 + 2 * i, str(i + 1)) for i in range(9)]
    out += [(446 + 2 * i, chr(65 + i)) for i in range(26)]
    out += [(498, " "), (500, "\b")]
    return out


def pictures():
    p = {}
    for pid, label, size in CAPTIONED:
        p[pid] = (lambda pid=pid, label=label, size=size: button_pic(pid, label, False, size))
        p[pid + 1] = (lambda pid=pid, label=label, size=size:
                      button_pic(pid + 1, label, True, size))
    for label, pid, _ in PAUSE_BUTTONS:
        p[pid] = (lambda pid=pid, label=label: button_pic(pid, label, False, PAUSE_CAPTION))
        p[pid + 1] = (lambda pid=pid, label=label:
                      button_pic(pid + 1, label, True, PAUSE_CAPTION))
    p[352] = lambda: stacked_button_pic(352, "Skip", False, 10)
    p[353] = lambda: stacked_button_pic(353, "Skip", True, 10)
    p[388] = lambda: stacked_button_pic(388, ">>>", False, 13)
    p[389] = lambda: stacked_button_pic(389, ">>>", True, 13)
    p[384] = lambda: stacked_button_pic(384, "<<<", False, 13)
    p[385] = lambda: stacked_button_pic(385, "<<<", True, 13)
    p[364] = lambda: name_button_pic(364, False)
    p[365] = lambda: name_button_pic(365, True)
    p[375] = lambda: check_box_pic(375, True)
    p[376] = lambda: check_box_pic(376, False)
    p[380] = lambda: slider_track_pic(380, MUSIC_BLUE)
    p[379] = lambda: slider_track_pic(379, SOUND_GREEN)
    p[377] = lambda: slider_knob_pic(377, False)
    p[378] = lambda: slider_knob_pic(378, True)
    p[506] = lambda: arrow_mark_pic(506)
    p[532] = lambda: confirm_box_pic(532)
    p[533] = lambda: confirm_area_pic(533, CONFIRM_OK, "ok")
    p[534] = lambda: confirm_area_pic(534, CONFIRM_CANCEL, "Cancel")
    p[518] = lambda: pause_panel_pic(518)
    for pid, ch in _keys():
        p[pid] = (lambda pid=pid, ch=ch: key_pic(pid, ch, False))
        p[pid + 1] = (lambda pid=pid, ch=ch: key_pic(pid + 1, ch, True))
    return p
