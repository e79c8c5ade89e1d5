"""The screen atlas: every view and the key moments of a round, each compared pixel for
pixel with its reviewed picture in tests/atlas/NAME.png.

    python3 atlas.py SIM GAME OUT_DIR            the test (run by ctest)
    python3 atlas.py SIM GAME OUT_DIR --update   make atlas: take the new pictures as the
                                                 references, and write OUT_DIR/sheet.png
                                                 showing old, new and the changed pixels
"""

import os
import shutil
import sys

import e2e_lib as e2e

ATLAS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "atlas")

# Device positions (x across the short side, y along the long side) of what is tapped.
SKIP = (203, 309)
MENU = {"new": (30, 60), "options": (75, 60), "scores": (120, 60), "help": (165, 40),
        "name": (210, 240)}
OPT_CANCEL, OPT_OK = (210, 60), (210, 160)
SCORES_BACK, SCORES_RESET, SCORES_STATS = (210, 30), (210, 110), (210, 210)
BOX_OK, BOX_CANCEL = (150, 210), (150, 120)
HELP_OK, HELP_CREDITS, HELP_NEXT, HELP_ABOUT = (210, 30), (210, 130), (155, 29), (210, 260)
KEY_A, KEY_B, NAME_OK = (69, 297), (69, 263), (215, 45)
PAUSE_CORNER = (235, 315)
PAUSE = {"resume": (215, 270), "help": (158, 270), "score": (126, 270), "options": (98, 270)}
MISS, MAGAZINE = (20, 150), (220, 80)
AWAY = (100, 100)  # where a held pen is lifted so that the button it held does nothing
SLIDE_IN = 1500  # the menu's buttons take this long to slide in and answer taps


def tap(pos, wait=300):
    return "tap %d %d\nwait %d\n" % (pos + (wait,))


def shot(name, wait=0):
    return ("wait %d\n" % wait if wait else "") + "shot %s\ndump %s\n" % (name, name)


def held(pos, name):
    """The pen held down on POS while the window is photographed, then lifted away (a
    button pressed and left that way keeps its pressed picture)."""
    return "down %d %d\n" % pos + shot(name, 50) + "up %d %d\nwait 50\n" % AWAY


TO_MENU = "wait 300\n" + tap(SKIP) + tap((120, 160), SLIDE_IN)

# Each run starts the program afresh on an empty store.
RUNS = {
    # The splash's logo, the emblem fading in and spinning, the title's prompt blinking.
    "intro": shot("splash-logo", 1000) + shot("splash-fade", 1300) + shot("splash-emblem", 600)
    + shot("splash-spin", 1000) + shot("title-prompt-on", 2000)
    + shot("title-prompt-off", 240),
    "menus": TO_MENU + shot("menu")
    + tap(MENU["options"]) + shot("options") + tap(OPT_CANCEL, SLIDE_IN)
    + tap(MENU["scores"]) + shot("scores-empty") + tap(SCORES_RESET, 50) + shot("confirm")
    + held(BOX_OK, "confirm-ok-held") + tap(BOX_CANCEL) + tap(SCORES_RESET, 50)
    + held(BOX_CANCEL, "confirm-cancel-held") + tap(BOX_CANCEL) + tap(SCORES_BACK, SLIDE_IN)
    + tap(MENU["help"]) + shot("help-1") + tap(HELP_NEXT, 50) + shot("help-2-turning")
    + shot("help-2", 250) + "".join(tap(HELP_NEXT) + shot("help-%d" % n) for n in range(3, 7))
    + tap(HELP_ABOUT) + shot("about") + tap(AWAY)
    + tap(HELP_CREDITS, 1000) + shot("credits-start") + shot("credits-later", 4000)
    + tap(AWAY) + tap(HELP_OK, SLIDE_IN)
    + tap(MENU["name"], 1000) + shot("name-entry") + tap(KEY_B, 50) + tap(KEY_A, 50)
    + shot("name-typed") + tap(NAME_OK, 1500) + shot("menu-named"),
    # A round: its start, a hit, an empty gun, a reload, the pause menu and the views it
    # opens, the round resumed, the warning of the last seconds and the end.
    "round": TO_MENU + tap(MENU["new"], 1000) + shot("game-start")
    + "wait 1600\ntap-duck\nwait 60\n" + shot("game-hit")
    + tap(MISS, 60) * 7 + shot("game-empty") + tap(MAGAZINE, 60) + shot("game-reloaded")
    + tap(PAUSE_CORNER, 1000) + shot("pause")
    + tap(PAUSE["options"]) + shot("pause-options") + tap(OPT_OK, 10)
    + tap(PAUSE_CORNER, 1000) + tap(PAUSE["score"]) + shot("pause-scores")
    + tap(SCORES_BACK, 10) + tap(PAUSE_CORNER, 1000) + tap(PAUSE["help"]) + shot("pause-help")
    + tap(HELP_OK, 10) + tap(PAUSE_CORNER, 1000) + tap(PAUSE["resume"], 100)
    + shot("game-resumed") + shot("game-warning", 174200) + shot("game-over", 3600)
    + shot("round-scores", 1000) + tap(SCORES_STATS) + shot("round-stats")
    + tap(SCORES_STATS) + tap(SCORES_BACK, SLIDE_IN) + tap(MENU["scores"]) + shot("scores-table"),
}


# The view each screen must be on (by the longest prefix of its name), and what else
# makes the moment of a round the one its name says: a picture regenerated after a
# change that missed its moment fails here rather than being taken unnoticed.
VIEWS = {"splash": 12, "title": 14, "menu": 0, "options": 10, "scores": 7, "confirm": 7,
         "help": 3, "about": 8, "credits": 11, "name": 4, "game": 1, "pause": 5,
         "pause-options": 10, "pause-scores": 7, "pause-help": 3, "round": 7}
MOMENTS = {"game-start": lambda r: r["secondsLeft"] == 180,
           "game-hit": lambda r: (r["shotDucks"], r["shells"]) == (1, 6),
           "game-empty": lambda r: r["shells"] == 0,
           "game-reloaded": lambda r: r["shells"] == 7,
           "game-warning": lambda r: r["secondsLeft"] == 4,
           "game-over": lambda r: r["secondsLeft"] == 0}


def expected_view(name):
    return VIEWS[max((p for p in VIEWS if name.startswith(p)), key=len)]


def differences(new, old):
    """(pixels that differ, their bounding box) between two decoded shots."""
    if (new.width, new.height) != (old.width, old.height):
        return new.width * new.height, (0, 0, new.width, new.height)
    count, box = 0, [new.width, new.height, 0, 0]
    for y in range(new.height):
        if new.rows[y] == old.rows[y]:
            continue
        for x in range(new.width):
            if new.pixel(x, y) != old.pixel(x, y):
                count += 1
                box = [min(box[0], x), min(box[1], y), max(box[2], x + 1), max(box[3], y + 1)]
    return count, tuple(box)


def shoot(t):
    """{name: path of the new shot} for every screen of the atlas."""
    shots = {}
    for name, script in RUNS.items():
        r = t.run(script + "quit\n", name=name)
        t.equal(r.status, 0, "run %s ends normally" % name)
        for f in sorted(os.listdir(r.out_dir)):
            if f.endswith(".png"):
                name = f[:-4]
                shots[name] = os.path.join(r.out_dir, f)
                d = r.dumps[name]
                t.equal(d["view"], expected_view(name), "%s is on its view" % name)
                if name in MOMENTS:
                    t.check(d["round"] and MOMENTS[name](d["round"]), "%s: the moment" % name)
    return shots


def reference(name):
    return os.path.join(ATLAS, name + ".png")


def compare(t, shots):
    for name, path in sorted(shots.items()):
        if not os.path.isfile(reference(name)):
            t.check(False, "%s has no reference picture (make atlas)" % name)
            continue
        with open(path, "rb") as a, open(reference(name), "rb") as b:
            if a.read() == b.read():
                t.check(True, name)
                continue
        count, box = differences(e2e.Image(path), e2e.Image(reference(name)))
        t.check(count == 0, "%s: %d pixels differ within %r of tests/atlas/%s.png "
                "(make atlas takes an intended change)" % (name, count, box, name))
    for f in sorted(os.listdir(ATLAS)):
        t.check(f[:-4] in shots, "tests/atlas/%s is no longer shot" % f)


def diff_surface(old, new):
    """NEW dimmed to a third, with every pixel that differs from OLD in magenta."""
    import cairo

    data = bytearray()
    for y in range(new.height):
        for x in range(new.width):
            p = new.pixel(x, y)
            if y < old.height and x < old.width and old.pixel(x, y) == p:
                grey = sum(p) // 9
                data += bytes((grey, grey, grey, 0))
            else:
                data += b"\xff\x00\xff\x00"
    return cairo.ImageSurface.create_for_data(data, cairo.FORMAT_RGB24, new.width, new.height,
                                              4 * new.width)


def write_sheet(changed, path):
    """Old, new and the changed pixels (magenta on the dimmed new picture) side by side."""
    import cairo

    w, h, label = 320, 240, 18
    rows = max(1, len(changed))
    sheet = cairo.ImageSurface(cairo.FORMAT_RGB24, 3 * w + 40, rows * (h + label + 10))
    c = cairo.Context(sheet)
    c.set_source_rgb(0.2, 0.2, 0.2)
    c.paint()
    for row, (name, old, new) in enumerate(changed):
        top = row * (h + label + 10)
        c.set_source_rgb(1, 1, 1)
        c.move_to(10, top + 13)
        c.set_font_size(13)
        c.show_text("%s: old | new | changed pixels" % name if old else "%s: new" % name)
        for col, png in enumerate((old, new)):
            if png:
                c.set_source_surface(cairo.ImageSurface.create_from_png(png), 10 + col * (w + 10),
                                     top + label)
                c.paint()
        if old:
            c.set_source_surface(diff_surface(e2e.Image(old), e2e.Image(new)), 30 + 2 * w,
                                 top + label)
            c.paint()
    sheet.write_to_png(path)


def update(t, shots):
    staged = os.path.join(t.out_dir, "old")
    shutil.rmtree(staged, ignore_errors=True)
    os.makedirs(staged)
    os.makedirs(ATLAS, exist_ok=True)
    changed = []
    for name, path in sorted(shots.items()):
        old = None
        if os.path.isfile(reference(name)):
            if differences(e2e.Image(path), e2e.Image(reference(name)))[0] == 0:
                continue
            old = shutil.copy(reference(name), os.path.join(staged, name + ".png"))
        shutil.copy(path, reference(name))
        changed.append((name, old, path))
    for f in sorted(os.listdir(ATLAS)):
        if f[:-4] not in shots:
            os.remove(os.path.join(ATLAS, f))
            print("removed tests/atlas/%s" % f)
    sheet = os.path.join(t.out_dir, "sheet.png")
    write_sheet(changed, sheet)
    print("%d of %d screens changed: %s\nreview them in %s" % (
        len(changed), len(shots), ", ".join(n for n, _, _ in changed) or "none", sheet))


t = e2e.Test(sys.argv[:4])
shots = shoot(t)
if "--update" in sys.argv[4:]:
    update(t, shots)
else:
    compare(t, shots)
t.finish()
