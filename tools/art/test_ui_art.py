"""Checks for the screen and button pictures and the contact sheet.

Run: /usr/bin/python3 tools/art/test_ui_art.py   (exit status 1 on any failure)
"""
import os
import subprocess
import sys
import tempfile
import traceback

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import catalogue  # noqa: E402
import common  # noqa: E402
import contact_sheet  # noqa: E402
import screen_art  # noqa: E402
import ui_art  # noqa: E402


def _r(a, b):
    return list(range(a, b + 1))


# What these two modules promise to deliver, independent of how they build it.
UI_IDS = set([352, 353, 364, 365, 375, 376, 377, 378, 379, 380, 506, 518, 532, 533, 534,
              399, 400, 504, 505]
             + _r(358, 363) + _r(366, 369) + _r(371, 374) + _r(384, 397)
             + _r(422, 501) + _r(519, 528))
SCREEN_IDS = set([350, 351, 355, 370, 383, 398, 421, 502, 509, 583, 584]
                 + _r(401, 406) + _r(407, 413) + _r(415, 420))

PAIRS = ([(366, 367), (358, 359), (368, 369), (362, 363), (360, 361), (364, 365),
          (352, 353), (377, 378), (371, 372), (373, 374), (390, 391), (386, 387),
          (388, 389), (384, 385), (399, 400), (392, 393), (394, 395), (396, 397),
          (504, 505), (422, 423), (424, 425)]
         + [(p, p + 1) for p in range(426, 502, 2)]
         + [(p, p + 1) for p in range(519, 529, 2)])

_cache = {}
_failures = []


def pic(pid):
    if pid not in _cache:
        table = UI if pid in UI else SCREENS
        _cache[pid] = table[pid]()
    return _cache[pid]


def land(dev):
    """Device orientation -> the player's view."""
    return np.rot90(dev, -1)


def luminance(dev):
    rgb = common.widen565(dev).astype(float)
    return float((0.3 * rgb[..., 0] + 0.59 * rgb[..., 1] + 0.11 * rgb[..., 2]).mean())


def check(name):
    def deco(fn):
        try:
            fn()
            print("ok   %s" % name)
        except Exception:
            _failures.append(name)
            print("FAIL %s" % name)
            traceback.print_exc()
        return fn
    return deco


UI = ui_art.pictures()
SCREENS = screen_art.pictures()


@check("each module delivers exactly its pictures, none twice")
def _():
    assert set(UI) == UI_IDS, (sorted(UI_IDS - set(UI)), sorted(set(UI) - UI_IDS))
    assert set(SCREENS) == SCREEN_IDS, (sorted(SCREEN_IDS - set(SCREENS)),
                                        sorted(set(SCREENS) - SCREEN_IDS))
    assert not set(UI) & set(SCREENS)


@check("every picture has its catalogue size and 16-bit pixels")
def _():
    for pid in sorted(UI_IDS | SCREEN_IDS):
        a = pic(pid)
        w, h = catalogue.size(pid)
        assert a.shape == (h, w), (pid, a.shape, (h, w))
        assert a.min() >= 0 and a.max() <= 0xFFFF, pid


@check("keyed pictures: key at the device top-left, but not everywhere")
def _():
    for pid in sorted(UI_IDS | SCREEN_IDS):
        if catalogue.mode(pid) != "keyed":
            continue
        a = pic(pid)
        key = a[0, 0]
        share = float((a == key).mean())
        assert 0.0 < share < 0.9, (pid, share)
    # the ordinary key is magenta; the credit lines use black, their background
    for pid in (518, 532, 377, 379, 506):
        assert pic(pid)[0, 0] == common.rgb_to565(common.DEFAULT_KEY), pid
    for pid in list(range(407, 414)) + list(range(415, 422)):
        assert pic(pid)[0, 0] == 0, pid


@check("opaque pictures are drawn, not flat fills")
def _():
    for pid in sorted(UI_IDS | SCREEN_IDS):
        if catalogue.mode(pid) == "opaque":
            assert len(np.unique(pic(pid))) > 8, pid


@check("pressed twins differ from their normal pictures and are darker")
def _():
    for normal, pressed in PAIRS:
        a, b = pic(normal), pic(pressed)
        assert a.shape == b.shape, (normal, pressed)
        assert (a != b).mean() > 0.2, (normal, pressed)
        assert luminance(b) < luminance(a) - 10, (normal, pressed)


@check("the ticked box differs from the empty one only inside the box")
def _():
    ticked, empty = land(pic(375)), land(pic(376))
    diff = ticked != empty
    assert diff.sum() > 20
    ys, xs = np.where(diff)
    h, w = ticked.shape
    assert ys.min() >= (h - 16) // 2 and ys.max() < (h + 16) // 2 + 1
    assert xs.min() >= (w - 16) // 2 and xs.max() < (w + 16) // 2 + 1


@check("the name plank's key pixel looks like the menu background under it")
def _():
    # The menu leaves the plank's opaque slide-in copy under the live button, so any key
    # pixel of the plank stays on screen: it must be the background colour it covers.
    import screen_art
    under = screen_art.main_menu()[162, 195]
    for pid in (364, 365):
        a = pic(pid)
        assert a[0, 0] == under, (pid, hex(int(a[0, 0])), hex(int(under)))
        assert (a == a[0, 0]).sum() == 1, pid
        # the middle where the name is stamped is plain: few colours in a row there
        lv = land(a)
        band = lv[12:26, 20:-20]
        assert len(np.unique(band)) <= 6, (pid, len(np.unique(band)))


@check("the pause panel shows each button's normal face where the button sits")
def _():
    panel = land(pic(518))
    for label, pid, (x, y) in ui_art.PAUSE_BUTTONS:
        face = land(pic(pid))
        h, w = face.shape
        assert np.array_equal(panel[y:y + h, x:x + w], face), label
        assert catalogue.size(pid) == (h, w)


@check("the confirmation box: answer areas opaque, pressed areas fit them")
def _():
    box = land(pic(532))
    key = pic(532)[0, 0]
    for area, pid in ((ui_art.CONFIRM_OK, 533), (ui_art.CONFIRM_CANCEL, 534)):
        x, y, w, h = area
        region = box[y:y + h, x:x + w]
        assert not (region == key).any(), pid
        pressed = land(pic(pid))
        assert pressed.shape == region.shape, pid
        assert luminance(np.rot90(pressed, 1)) < luminance(np.rot90(region, 1)), pid
    # the box's rim matches its place on the scores screen: 168 x 100 for the player
    assert box.shape == (100, 168)


@check("the emblem is stored upright with a black surround and no black inside")
def _():
    a = pic(350)
    assert a.shape == (180, 180)
    assert a[0, 0] == 0 and a[-1, -1] == 0 and a[0, -1] == 0 and a[-1, 0] == 0
    yy, xx = np.mgrid[0:180, 0:180]
    inside = (xx - 89.5) ** 2 + (yy - 89.5) ** 2 < 80 ** 2
    assert not (a[inside] == 0).any()
    # stored upright: the name ribbon lies across the lower half as stored
    lower, upper = a[120:150, 40:140], a[30:60, 40:140]
    assert luminance(lower) != luminance(upper)


@check("credit lines: text on black, drawn from the left")
def _():
    for pid in list(range(407, 414)) + list(range(415, 421)):
        lv = land(pic(pid))
        lit = lv != 0
        assert lit.sum() > 30, pid
        cols = np.where(lit.any(axis=0))[0]
        assert cols[0] <= 3, (pid, cols[0])


@check("the scores board leaves the text rows plain")
def _():
    lv = land(pic(398))
    area = lv[58:182, 12:305]
    assert len(np.unique(area)) == 1, len(np.unique(area))


@check("drawing is deterministic")
def _():
    for pid in (355, 366, 532, 401, 350, 518):
        table = UI if pid in UI else SCREENS
        assert np.array_equal(table[pid](), table[pid]()), pid


@check("contact sheet: runs, turns pictures landscape-up, keeps 350 as stored")
def _():
    with tempfile.TemporaryDirectory() as d:
        src = os.path.join(d, "png")
        os.makedirs(src)
        red = common.rgb_to565((255, 0, 0))
        # id 1: device 4 x 6 with its device top-left red -> landscape top-right
        a = np.full((6, 4), common.rgb_to565((0, 0, 255)), dtype=np.int32)
        a[0, 0] = red
        common.save_png(a, os.path.join(src, "1.png"))
        # id 350 is shown as stored: its top-left stays top-left
        b = np.full((6, 4), common.rgb_to565((0, 0, 255)), dtype=np.int32)
        b[0, 0] = red
        common.save_png(b, os.path.join(src, "350.png"))
        common.save_png(pic(366), os.path.join(src, "366.png"))
        out = os.path.join(d, "sheet.png")
        r = subprocess.run([sys.executable, os.path.join(HERE, "contact_sheet.py"), src, out],
                           capture_output=True, text=True)
        assert r.returncode == 0, r.stderr
        sheet = contact_sheet.read_png(out)
        placed, _ = contact_sheet.layout(contact_sheet.load(src), contact_sheet.SHEET_WIDTH)
        where = {t[0]: (x, y, t[1]) for x, y, t in placed}
        x, y, s = where[1]
        assert s == 2
        # landscape tile is 6 wide, 4 high; the red pixel sits at (5, 0), doubled
        assert tuple(sheet[y, x + 5 * s]) == (255, 0, 0), tuple(sheet[y, x + 5 * s])
        assert tuple(sheet[y, x]) != (255, 0, 0)
        x, y, s = where[350]
        assert tuple(sheet[y, x]) == (255, 0, 0)
        x, y, s = where[366]
        assert s == 1
        assert tuple(sheet[y + 5, x + 5]) == tuple(common.widen565(land(pic(366))[5, 5]))
        bad = subprocess.run([sys.executable, os.path.join(HERE, "contact_sheet.py")],
                             capture_output=True, text=True)
        assert bad.returncode != 0


if __name__ == "__main__":
    if _failures:
        print("%d check(s) failed" % len(_failures))
        sys.exit(1)
    print("all checks passed")
