"""Every picture the game loads: id -> (device width, device height, mode).

mode is one of
  "keyed"          transparent areas carry the key colour, which is the top-left pixel
  "opaque"         every pixel shows
  "font"           a glyph strip read by the font loader (markers in column 0)
  "upright-black"  stored in the player's orientation, black (0x0000) is transparent

Pictures whose transparency the game leaves open are listed as the safest choice:
the arrow mark is keyed; the about box and the loading banner are opaque.
"""

CATALOGUE = {}


def _add(ids, w, h, mode):
    for i in ids:
        if i in CATALOGUE:
            raise ValueError("picture %d listed twice" % i)
        CATALOGUE[i] = (w, h, mode)


def _r(a, b):
    return range(a, b + 1)


# --- the round: scene, ducks, items, effects -------------------------------------
_add(_r(146, 148), 240, 320, "opaque")
_add(_r(163, 170), 68, 68, "keyed")
_add(_r(192, 199), 68, 68, "keyed")
_add(_r(208, 215), 48, 48, "keyed")
_add(_r(200, 207), 48, 48, "keyed")
_add([328, 329], 36, 32, "keyed")
_add(_r(244, 252), 26, 96, "keyed")
_add([253], 62, 68, "keyed")
_add([254], 32, 34, "keyed")
_add([255], 22, 700, "font")
_add(_r(256, 260), 34, 40, "keyed")
for _i, _w, _h in ((261, 56, 36), (262, 38, 28), (263, 38, 28), (264, 36, 38),
                   (265, 42, 44), (266, 40, 34), (267, 32, 16),
                   (301, 42, 50),
                   (284, 34, 30), (285, 28, 30), (286, 38, 24), (287, 38, 24),
                   (289, 34, 32), (290, 28, 32), (291, 44, 12),
                   (292, 50, 34), (293, 20, 16), (294, 70, 52), (295, 70, 44),
                   (296, 18, 38),
                   (297, 40, 32), (298, 24, 10), (299, 32, 20), (300, 14, 14),
                   (302, 12, 10)):
    _add([_i], _w, _h, "keyed")
_add([269], 16, 16, "keyed")
_add(_r(270, 276), 70, 120, "keyed")
_add(_r(277, 283), 36, 60, "keyed")
_add(_r(313, 324), 22, 22, "keyed")
_add(_r(341, 346), 22, 22, "keyed")
_add(_r(304, 306), 108, 80, "keyed")
_add(_r(307, 312), 108, 80, "keyed")
_add(_r(330, 334), 18, 26, "keyed")
_add(_r(335, 339), 18, 26, "keyed")
_add([340], 30, 38, "keyed")
_add([303], 28, 38, "keyed")
_add([325, 326, 327], 24, 24, "keyed")
_add([348], 20, 22, "keyed")
_add([349, 347], 20, 48, "keyed")
_add([510], 68, 260, "opaque")
_add([581], 58, 184, "opaque")

# --- intro, menus and screens --------------------------------------------------------
_add([351], 220, 212, "opaque")
_add([350], 180, 180, "upright-black")
_add([352, 353], 46, 18, "opaque")
_add([355], 240, 320, "opaque")
_add([366, 367], 40, 152, "opaque")
_add([358, 359], 40, 122, "opaque")
_add([368, 369], 40, 110, "opaque")
_add([362, 363], 40, 92, "opaque")
_add([360, 361], 40, 82, "opaque")
_add([364, 365], 40, 158, "keyed")
_add([370], 240, 320, "opaque")
_add([375, 376], 26, 24, "opaque")
_add([379, 380], 18, 184, "keyed")
_add([377, 378], 18, 35, "keyed")
_add([371, 372], 26, 42, "opaque")
_add([373, 374], 26, 112, "opaque")
_add([383], 240, 320, "opaque")
_add([390, 391], 26, 42, "opaque")
_add([386, 387], 26, 128, "opaque")
_add([388, 389], 42, 20, "opaque")
_add([384, 385], 42, 20, "opaque")
_add([399, 400], 26, 94, "opaque")
_add(_r(401, 406), 118, 216, "opaque")
for _i, _w, _h in ((407, 20, 112), (408, 20, 164), (409, 20, 154), (410, 20, 92),
                   (411, 20, 144), (412, 20, 134), (413, 20, 172), (415, 20, 152),
                   (416, 20, 144), (417, 20, 186), (418, 20, 176), (419, 20, 168),
                   (420, 18, 126)):
    _add([_i], _w, _h, "keyed")
_add([421], 28, 94, "keyed")
_add([398], 240, 320, "opaque")
_add([392, 393], 26, 44, "opaque")
_add([394, 395], 26, 90, "opaque")
_add([396, 397], 26, 88, "opaque")
_add([504, 505], 26, 88, "opaque")
_add([506], 20, 20, "keyed")
_add([532], 100, 168, "keyed")
_add([533], 24, 40, "opaque")
_add([534], 24, 86, "opaque")
_add([502], 240, 320, "opaque")
_add([503], 18, 554, "font")
_add([422, 423], 26, 44, "opaque")
_add([424, 425], 26, 98, "opaque")
_add([426, 427], 20, 20, "opaque")
_add(_r(428, 445), 20, 20, "opaque")
_add(_r(446, 497), 20, 20, "opaque")
_add([498, 499], 20, 20, "opaque")
_add([500, 501], 20, 20, "opaque")
_add([509], 150, 200, "opaque")
_add([518], 170, 100, "keyed")
_add(_r(519, 528), 24, 88, "opaque")
_add([583], 240, 320, "opaque")
_add([584], 36, 86, "opaque")


def size(pid):
    w, h, _ = CATALOGUE[pid]
    return w, h


def mode(pid):
    return CATALOGUE[pid][2]


def ids():
    return sorted(CATALOGUE)
