"""The two glyph strips: the round's game font (255) and the menu font (503).

A strip is drawn as one long landscape line of text, glyph 0 at the left end, and then
turned into device orientation.  The font loader walks the strip from its end: strip
position p is device row N - 1 - p, which is landscape column p.  Device column 0 is the
landscape top row; it is kept free of ink and carries the loader's bookkeeping:

  position 0            the background colour (also the text's transparent key, since
                        device pixel (0, 0) is background too)
  position 1            a sample of the marker colour
  a marker at p >= 2    closes the current glyph and opens the next one at p

So a glyph of width w in the landscape line is exactly w strip rows long.  Glyph k is
character 48 + k, except that slots 12..16 hold . , ' ( ) (the loader sends those
characters there).
"""
import math

import cairo
import numpy as np

import common

# Characters in strip order.  Slots 12..16 carry punctuation in place of <=>?@.
ORDER = "0123456789:;.,'()" + "ABCDEFGHIJKLMNOPQRSTUVWXYZ"

# --- game font: light figures with a dark rim, readable over the sunny lake ---------
GAME_ID, GAME_W, GAME_N = 255, 22, 700
GAME_BG = (58, 36, 18)         # transparent key of every text drawn with it; close to
                               # the rim, since the soft edge mixes it into the scene
GAME_MARK = (0, 255, 0)
GAME_FILL_TOP = (255, 251, 228)
GAME_FILL_BOTTOM = (255, 206, 92)
GAME_RIM = (52, 30, 14)
GAME_GLYPHS = 42               # '0' .. 'Y': the strip has no space glyph
GAME_FIXED = {"1": 10, "2": 20}

# --- menu font: plain dark letters for the name button, score board and name field --
MENU_ID, MENU_W, MENU_N = 503, 18, 554
MENU_BG = (40, 50, 84)         # close to the ink: the soft edge then reads as anti-aliasing
MENU_MARK = (0, 255, 0)
MENU_INK = (34, 44, 78)
MENU_GLYPHS = 43               # '0' .. 'Z', followed by the blank space glyph
MENU_SPACE = 10
MENU_FIXED = {"0": 13}


def scan_strip(dev565):
    """The loader's walk over a device-orientation strip.

    Returns (found, glyphs) where glyphs is the list of (start, length) pairs that got a
    length, in order.  Mirrors the game's loader: samples at positions 0 and 1, markers
    looked for from position 2 up to row 1, at most 100 glyphs.
    """
    n = dev565.shape[0]
    col = dev565[:, 0].astype(np.int64).copy()
    marker = col[n - 2]
    background = col[n - 1]
    col[n - 2] = background
    starts = [0]
    glyphs = []
    i = 0
    for p in range(2, n - 1):
        row = n - 1 - p
        if col[row] == marker:
            glyphs.append((starts[i], p - starts[i]))
            i = (i + 1) & 0xFF
            if i == 100:
                break
            starts.append(p)
            col[row] = background
    return i, glyphs


def _face(ctx, condensed, bold, size):
    family = "DejaVu Sans Condensed" if condensed else "DejaVu Sans"
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)


def _ink_box(ctx, ch):
    """Ink extents (x0, y0, x1, y1) of a character drawn with its origin at (0, 0)."""
    ctx.new_path()
    ctx.move_to(0, 0)
    ctx.text_path(ch)
    box = ctx.fill_extents()
    ctx.new_path()
    return box


def _one_path(ctx, x0, baseline, cell_w, rim):
    """A '1' without a foot, narrow enough for the game font's ten-row slot."""
    stem_w = 3.6
    top = baseline - 15.5
    sx1 = x0 + cell_w - rim - 1.0
    sx0 = sx1 - stem_w
    ctx.move_to(sx0, baseline)
    ctx.line_to(sx1, baseline)
    ctx.line_to(sx1, top)
    ctx.line_to(sx0 + 0.2, top)
    ctx.line_to(x0 + rim + 0.6, top + 4.2)
    ctx.line_to(x0 + rim + 0.6, top + 7.4)
    ctx.line_to(sx0, top + 4.6)
    ctx.close_path()


class _Layout:
    def __init__(self, chars, widths):
        self.chars = chars
        self.widths = widths
        self.starts = []
        p = 0
        for w in widths:
            self.starts.append(p)
            p += w
        self.end = p


def _glyph_path(ctx, ch, x0, cell_w, baseline, top_limit, bottom_limit, rim, pad,
                condensed, bold, size):
    """Lay the character's outline into its cell, squeezed to fit if it must be."""
    _face(ctx, condensed, bold, size)
    kept = ctx.copy_path()
    bx0, by0, bx1, by1 = _ink_box(ctx, ch)
    ctx.append_path(kept)
    ink_w = max(bx1 - bx0, 0.5)
    avail_w = cell_w - 2 * rim - pad
    sx = min(1.0, avail_w / ink_w)
    sy = 1.0
    if by0 < top_limit - baseline + rim:
        sy = min(sy, (baseline - top_limit - rim) / -by0)
    # Tails below the baseline (Q, J, the comma) may lose a little of their rim at
    # the strip's edge rather than shrink the whole letter.
    if by1 > bottom_limit - baseline + 1.0 and by1 > 0:
        sy = min(sy, (bottom_limit - baseline + 1.0) / by1)
    sx = min(sx, 1.0)
    s = min(sy, 1.0)
    # Centre the ink in the cell, leaving the pad split on both sides.
    ink_left = x0 + (cell_w - ink_w * sx * s) / 2.0
    ctx.save()
    ctx.translate(ink_left - bx0 * sx * s, baseline)
    ctx.scale(sx * s, s)
    ctx.move_to(0, 0)
    ctx.text_path(ch)
    ctx.restore()


def _natural_width(ctx, ch, condensed, bold, size, rim, pad):
    _face(ctx, condensed, bold, size)
    bx0, _, bx1, _ = _ink_box(ctx, ch)
    return int(math.ceil(bx1 - bx0 + 2 * rim)) + pad


def _finish_strip(surf, n, w, bg, mark, layout, found_marks):
    """Quantise the drawn line, clear the marker row and place the markers."""
    rgba = common.surface_rgba(surf)
    p = common.to565(rgba[:, :, :3])
    kbg, kmark = common.rgb_to565(bg), common.rgb_to565(mark)
    # Ink may never read as background or marker: nudge one green step.
    for k in (kbg, kmark):
        p = np.where(p == k, p ^ (1 << 5), p)
    p = np.where(rgba[:, :, 3] < 128, kbg, p)
    p[:, layout.end:] = kbg
    p[0, :] = kbg
    p[0, 1] = kmark
    for m in found_marks:
        p[0, m] = kmark
    dev = np.ascontiguousarray(common.device_from_landscape(p)).astype(np.int64)
    assert dev.shape == (n, w)
    return dev


def game_font():
    n, w = GAME_N, GAME_W
    surf, ctx = common.landscape(n, w)
    rim = 1.6
    baseline, size = 19.0, 22
    chars = ORDER[:GAME_GLYPHS]
    widths = []
    for ch in chars:
        if ch in GAME_FIXED:
            widths.append(GAME_FIXED[ch])
        elif ch.isdigit():
            widths.append(20)
        elif ch.isalpha():
            widths.append(_natural_width(ctx, ch, True, True, size - 2, rim, 2))
        else:
            widths.append(_natural_width(ctx, ch, False, True, size, rim, 2))
    # The loader reads markers up to position N - 2; keep clear of the end.
    budget = n - 2
    while sum(widths) > budget:
        j = max(range(len(widths)), key=lambda k: (chars[k].isalpha(), widths[k]))
        widths[j] -= 1
    layout = _Layout(chars, widths)

    ctx.new_path()
    for ch, x0, cw in zip(chars, layout.starts, layout.widths):
        if ch == "1":
            _one_path(ctx, x0, baseline, cw, rim)
        elif ch.isalpha():
            _glyph_path(ctx, ch, x0, cw, baseline, 1.0, w, rim, 2, True, True, size - 2)
        else:
            _glyph_path(ctx, ch, x0, cw, baseline, 1.0, w, rim, 2, False, True, size)
    path = ctx.copy_path()
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_width(2 * rim + 0.4)
    ctx.set_source_rgb(*[c / 255.0 for c in GAME_RIM])
    ctx.stroke()
    ctx.append_path(path)
    grad = cairo.LinearGradient(0, 3, 0, baseline)
    grad.add_color_stop_rgb(0, *[c / 255.0 for c in GAME_FILL_TOP])
    grad.add_color_stop_rgb(1, *[c / 255.0 for c in GAME_FILL_BOTTOM])
    ctx.set_source(grad)
    ctx.fill()
    marks = layout.starts[1:] + [layout.end]
    return _finish_strip(surf, n, w, GAME_BG, GAME_MARK, layout, marks), layout


def menu_font():
    n, w = MENU_N, MENU_W
    surf, ctx = common.landscape(n, w)
    baseline, size = 14.0, 14
    chars = ORDER[:MENU_GLYPHS]
    widths = []
    for ch in chars:
        if ch in MENU_FIXED:
            widths.append(MENU_FIXED[ch])
        elif ch.isdigit():
            widths.append(13)
        else:
            widths.append(_natural_width(ctx, ch, False, True, size, 0.0, 2))
    widths.append(MENU_SPACE)
    assert sum(widths) <= n - 2, "menu font does not fit its strip"
    layout = _Layout(chars + " ", widths)

    ctx.new_path()
    for ch, x0, cw in zip(chars, layout.starts, layout.widths):
        _glyph_path(ctx, ch, x0, cw, baseline, 1.0, w, 0.0, 2, False, True, size)
    ctx.set_source_rgb(*[c / 255.0 for c in MENU_INK])
    ctx.fill()
    marks = layout.starts[1:] + [layout.end]
    return _finish_strip(surf, n, w, MENU_BG, MENU_MARK, layout, marks), layout


def check_game_font(dev):
    found, glyphs = scan_strip(dev)
    assert found == 42, "game font: %d markers found, want 42" % found
    assert glyphs[1][1] == 10, "game font: digit 1 is %d rows" % glyphs[1][1]
    assert glyphs[2][1] == 20, "game font: digit 2 is %d rows" % glyphs[2][1]
    _check_common(dev, glyphs, found)


def check_menu_font(dev):
    n = dev.shape[0]
    found, glyphs = scan_strip(dev)
    assert found == 44, "menu font: %d markers found, want 44" % found
    start, length = glyphs[0]
    assert (n - start - length, n - start - 1) == (541, 553), "menu font: digit 0 rows"
    s, l = glyphs[43]
    assert l == 10, "menu font: space glyph is %d rows" % l
    bg = dev[0, 0]
    assert np.all(dev[n - s - l:n - s, 1:] == bg), "menu font: space glyph is not blank"
    _check_common(dev, glyphs, found)


def _check_common(dev, glyphs, found):
    n = dev.shape[0]
    bg, mark = dev[0, 0], dev[n - 2, 0]
    assert dev[n - 1, 0] == bg, "background sample differs from the key pixel"
    assert mark != bg
    col = dev[:, 0]
    marks = [p for p in range(2, n) if col[n - 1 - p] == mark]
    assert len(marks) == found, "stray marker-coloured pixels in column 0"
    assert np.all((col == bg) | (col == mark)), "ink in the marker column"
    last = marks[-1]
    assert np.all(dev[: n - 1 - last, :] == bg), "ink after the last marker"
    ink = dev[:, 1:]
    assert not np.any(ink == mark), "ink uses the marker colour"
    for k, (s, l) in enumerate(glyphs):
        rows = dev[n - s - l:n - s, 1:]
        if k < len(glyphs) - 1 or found == 42:
            assert np.any(rows != bg), "glyph %d is empty" % k


def pictures():
    def game():
        dev, _ = game_font()
        check_game_font(dev)
        return dev

    def menu():
        dev, _ = menu_font()
        check_menu_font(dev)
        return dev

    return {GAME_ID: game, MENU_ID: menu}


if __name__ == "__main__":
    g, _ = game_font()
    check_game_font(g)
    m, _ = menu_font()
    check_menu_font(m)
    print("fonts ok")
