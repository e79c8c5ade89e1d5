#!/usr/bin/python3
"""Checks for the art generator: sizes, keys, font strips, panorama cut, driver behaviour.

Run: /usr/bin/python3 tools/art/test_art.py   (exit status 1 on any failure)
"""
import os
import subprocess
import sys
import tempfile
import time
import traceback

# Run from the build: keep the source tree free of bytecode caches.
sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import numpy as np  # noqa: E402

import catalogue  # noqa: E402
import common  # noqa: E402
import font_art  # noqa: E402
import gen_art  # noqa: E402
import scene_art  # noqa: E402
import sprite_art  # noqa: E402

TESTS = []


def test(fn):
    TESTS.append(fn)
    return fn


_cache = {}


def picture(pid):
    if pid not in _cache:
        table, _ = gen_art.load_providers()
        _cache[pid] = np.asarray(table[pid]())
    return _cache[pid]


def landscape_rgb(dev):
    return common.widen565(np.rot90(dev, -1)).astype(int)


@test
def every_catalogue_id_is_drawn_at_its_size():
    table, _ = gen_art.load_providers()
    missing = [p for p in catalogue.ids() if p not in table]
    assert not missing, "no provider for %s" % missing
    for pid in catalogue.ids():
        arr = picture(pid)
        w, h, _ = catalogue.CATALOGUE[pid]
        assert arr.shape == (h, w), "picture %d is %r, want %r" % (pid, arr.shape, (h, w))
        assert not gen_art.check_picture(pid, arr), gen_art.check_picture(pid, arr)


@test
def catalogue_counts_match_the_ranges():
    # Spot checks of transcribed ranges and single sizes.
    assert all(catalogue.size(p) == (68, 68) for p in range(163, 171))
    assert all(catalogue.size(p) == (20, 20) for p in range(428, 498))
    assert catalogue.size(291) == (44, 12) and catalogue.size(420) == (18, 126)
    assert catalogue.mode(350) == "upright-black"
    assert catalogue.mode(255) == catalogue.mode(503) == "font"
    assert 414 not in catalogue.CATALOGUE and 288 not in catalogue.CATALOGUE


@test
def keyed_pictures_have_the_key_only_in_part():
    for pid in catalogue.ids():
        if catalogue.mode(pid) != "keyed":
            continue
        arr = picture(pid)
        key = arr[0, 0]
        n = np.count_nonzero(arr == key)
        assert 0 < n < arr.size, "picture %d: %d key pixels of %d" % (pid, n, arr.size)


@test
def scenery_key_matches_the_drawn_layer():
    # Every key pixel of a piece must be transparent on the layer it was cut from, and
    # every opaque pixel of the layer must show.
    for pid, (x, y, w, h) in scene_art.RECTS.items():
        group = next(g for g, ids in scene_art.GROUPS.items() if pid in ids)
        alpha = common.surface_rgba(scene_art.prop_layer(group))[y:y + h, x:x + w, 3]
        dev = picture(pid)
        is_key = np.rot90(dev, -1) == dev[0, 0]
        want = alpha < 128
        # The game takes the key from the corner, so that one pixel is always key.
        want[0, w - 1] = True
        assert np.array_equal(is_key, want), "picture %d: key and drawing disagree" % pid


@test
def hidden_target_sits_inside_its_box_and_not_in_the_background():
    dev = picture(302)
    assert np.count_nonzero(dev != dev[0, 0]) > 30, "the frog is too small to hit"
    # The panorama has no frog: the background under it is the hut's deck or water,
    # not frog green.
    pan = np.concatenate([landscape_rgb(picture(p)) for p in (146, 147, 148)], axis=1)
    x, y, w, h = scene_art.RECTS[302]
    frog = landscape_rgb(dev)
    mask = np.rot90(dev, -1) != dev[0, 0]
    assert np.abs(pan[y:y + h, x:x + w][mask] - frog[mask]).sum(axis=-1).mean() > 40


@test
def panorama_is_cut_left_to_right_and_upright():
    tiles = [landscape_rgb(picture(p)) for p in (146, 147, 148)]
    for t in tiles:
        assert t.shape == (240, 320, 3)
        sky, lake = t[:40].mean(axis=(0, 1)), t[200:].mean(axis=(0, 1))
        assert sky[2] > sky[0], "sky is not at the top"
        assert lake[2] > lake[0], "the lake is not at the bottom"
    # Neighbouring tiles join seamlessly, in this order only.
    for a, b in ((0, 1), (1, 2)):
        seam = np.abs(tiles[a][:, -1] - tiles[b][:, 0]).mean()
        wrong = np.abs(tiles[b][:, -1] - tiles[a][:, 0]).mean()
        assert seam < 25 and seam < wrong, "tiles %d/%d do not join (%.1f, %.1f)" % (a, b, seam, wrong)


def _head_side(pid):
    """Mean player x of the drake's green head pixels, relative to the picture width."""
    rgb = landscape_rgb(picture(pid))
    green = (rgb[:, :, 1] > rgb[:, :, 0] + 40) & (rgb[:, :, 1] > rgb[:, :, 2] + 20)
    xs = np.nonzero(green)[1]
    assert xs.size > 5, "picture %d: no head found" % pid
    return xs.mean() / rgb.shape[1]


@test
def ducks_face_the_way_they_fly():
    for pid in list(range(163, 171)) + list(range(208, 216)) + [328]:
        assert _head_side(pid) < 0.5, "picture %d should face left" % pid
    for pid in list(range(192, 200)) + list(range(200, 208)) + [329]:
        assert _head_side(pid) > 0.5, "picture %d should face right" % pid


@test
def wing_beat_frames_differ_and_run_one_way():
    frames = [picture(p) for p in range(163, 171)]
    for a, b in zip(frames, frames[1:]):
        assert not np.array_equal(a, b)
    # Frame 0 reaches higher (wing raised) than frame 7 (wing lowered).
    tops = []
    for f in (frames[0], frames[7]):
        opaque = np.rot90(f, -1) != f[0, 0]
        tops.append(np.nonzero(opaque.any(axis=1))[0][0])
    assert tops[0] < tops[1] - 5


@test
def magazine_frames_lose_one_shell_each():
    def shells(pid):
        rgb = landscape_rgb(picture(pid))
        red = (rgb[:, :, 0] > 170) & (rgb[:, :, 1] < 80) & (rgb[:, :, 2] < 80)
        cols = red[6:16].any(axis=0)
        return int(np.count_nonzero(cols[1:] & ~cols[:-1]))
    counts = [shells(p) for p in range(244, 251)]
    assert counts == [7, 6, 5, 4, 3, 2, 1], counts
    assert not np.array_equal(picture(251), picture(252)), "the reload sign does not blink"


@test
def game_font_scan():
    dev = picture(255)
    assert dev.shape == (700, 22)
    found, glyphs = font_art.scan_strip(dev)
    assert found == 42 and len(glyphs) == 42
    assert glyphs[1][1] == 10 and glyphs[2][1] == 20
    # "12" renders 22 x 30: digit 1 in rows 20..29, digit 2 in rows 0..19.
    n = dev.shape[0]
    img = np.concatenate([dev[n - s - l:n - s] for s, l in (glyphs[2], glyphs[1])])
    assert img.shape == (30, 22)
    assert np.array_equal(img[20:30], dev[n - 30:n - 20])
    key = dev[0, 0]
    assert dev[n - 1, 0] == key
    for k in range(42):
        s, l = glyphs[k]
        assert np.any(dev[n - s - l:n - s, 1:] != key), "glyph %d blank" % k


@test
def menu_font_scan():
    dev = picture(503)
    assert dev.shape == (554, 18)
    found, glyphs = font_art.scan_strip(dev)
    assert found == 44
    n = dev.shape[0]
    s, l = glyphs[0]
    assert (n - s - l, n - s - 1) == (541, 553)
    s, l = glyphs[43]
    assert l == 10 and np.all(dev[n - s - l:n - s, 1:] == dev[0, 0])
    # 'A' is glyph 17 and has ink; the comma (slot 13) is narrower than 'M'.
    assert np.any(dev[n - glyphs[17][0] - glyphs[17][1]:n - glyphs[17][0], 1:] != dev[0, 0])
    assert glyphs[13][1] < glyphs[17 + 12][1]


@test
def font_scan_notices_a_broken_strip():
    dev = picture(503).copy()
    n = dev.shape[0]
    mark = dev[n - 2, 0]
    _, glyphs = font_art.scan_strip(dev)
    s, l = glyphs[5]
    dev[n - 1 - (s + l // 2), 0] = mark          # a stray marker splits glyph 5
    found, _ = font_art.scan_strip(dev)
    assert found == 45
    try:
        font_art.check_menu_font(dev)
    except AssertionError:
        pass
    else:
        raise AssertionError("check_menu_font accepted a strip with 45 markers")


@test
def driver_rejects_bad_pictures():
    assert gen_art.check_picture(253, np.zeros((62, 68), dtype=np.int64))   # turned round
    assert gen_art.check_picture(253, np.zeros((68, 62), dtype=np.int64))   # all key
    assert gen_art.check_picture(9999, np.zeros((1, 1), dtype=np.int64))
    assert not gen_art.check_picture(253, picture(253))


@test
def driver_writes_only_changes_and_fails_on_unknown_ids():
    with tempfile.TemporaryDirectory() as out:
        cmd = [sys.executable, os.path.join(HERE, "gen_art.py"), "--out", out]
        r = subprocess.run(cmd + ["--only", "255,303,146"], capture_output=True, text=True)
        assert r.returncode == 0, r.stderr
        path = os.path.join(out, "303.png")
        assert os.path.exists(path)
        before = os.stat(path).st_mtime_ns
        time.sleep(0.05)
        r = subprocess.run(cmd + ["--only", "303"], capture_output=True, text=True)
        assert r.returncode == 0 and os.stat(path).st_mtime_ns == before
        r = subprocess.run(cmd + ["--only", "9999"], capture_output=True, text=True)
        assert r.returncode != 0, "an unknown id must fail the run"
        assert sorted(os.listdir(out)) == ["146.png", "255.png", "303.png"]


@test
def drawing_is_deterministic():
    a = scene_art.tile(1)
    b = sprite_art.burst(120, 70, 3, 3)
    scene_art.panorama.cache_clear()
    scene_art.prop_layer.cache_clear()
    assert np.array_equal(a, scene_art.tile(1))
    assert np.array_equal(b, sprite_art.burst(120, 70, 3, 3))


def main():
    failed = 0
    for fn in TESTS:
        try:
            fn()
            print("ok   " + fn.__name__)
        except Exception:
            failed += 1
            print("FAIL " + fn.__name__)
            traceback.print_exc()
    print("%d tests, %d failed" % (len(TESTS), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
