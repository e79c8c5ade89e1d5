"""A round suspended for the options screen leaves nothing of itself on it: a duck hit
and a miss just before the pause leave a burst, a "+10" or "+25" and a puff, and none of
them may show through. The options screen opened from the paused round must look just
like the one opened from the main menu."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
MENU_NEW, MENU_OPTIONS = (30, 60), (75, 60)
OPT_CANCEL = (210, 60)
PAUSE_CORNER, PAUSE_OPTIONS = (235, 315), (98, 270)
MISS = (20, 150)
SLIDE_IN = 1500  # the menu's buttons take this long to slide in and answer taps
# The pause menu's views show the scene from its top, so what is left of the round shows
# through only when the player was there too. (The arrows turn with the picture: Right
# scrolls the scene up.)
SCROLL_TO_TOP = "press right\nwait 800\nrelease right\nwait 50\n"


def tap(pos, wait=300):
    return "tap %d %d\nwait %d\n" % (pos + (wait,))


script = ("wait 300\n" + tap(SKIP) + tap((120, 160), SLIDE_IN)
          + tap(MENU_OPTIONS) + "shot from-menu\n" + tap(OPT_CANCEL, SLIDE_IN)
          + tap(MENU_NEW, 1000) + SCROLL_TO_TOP + "wait 2600\ntap-duck\n" + tap(MISS, 10)
          + "dump shot\n"
          + tap(PAUSE_CORNER, 1000) + tap(PAUSE_OPTIONS) + "shot from-round\nquit\n")
r = t.run(script, name="options")
t.equal(r.status, 0, "normal exit")
shot = r.dumps["shot"]["round"]
t.equal((shot["shotDucks"], shot["shotsFired"], shot["scrollY"]), (1, 2, 9),
        "a duck hit and a miss at the top of the scene before the pause")
t.check(r.shot_bytes("from-round") == r.shot_bytes("from-menu"),
        "the options screen of a paused round shows nothing of the round")

t.finish()
