"""The screens as a player walks through them: splash, title, the main menu and every
button on it, options kept and cancelled, a name typed, help pages, about, credits, the
pause menu during a round and clearing the score table."""

import e2e_lib as e2e

t = e2e.Test()

# Device positions (x across the short side, y along the long side) of what is tapped.
SKIP = (203, 309)
MENU = {"new": (30, 60), "options": (75, 60), "scores": (120, 60), "help": (165, 40),
        "exit": (210, 40), "name": (210, 240)}
OPT_OK, OPT_CANCEL = (210, 160), (210, 60)
ANIMATION_BOX, EFFECTS_BOX = (155, 42), (155, 165)
MUSIC_TOP, SOUND_TOP = (80, 22), (119, 22)
SCORES_BACK, SCORES_RESET, SCORES_PAGE = (210, 30), (210, 110), (210, 210)
BOX_OK, BOX_CANCEL = (150, 210), (150, 120)
HELP_OK, HELP_CREDITS, HELP_NEXT, HELP_PREV, HELP_ABOUT = (
    (210, 30), (210, 130), (155, 29), (40, 29), (210, 260))
KEY_A, KEY_B, KEY_1, KEY_BLANK, KEY_BACK = (69, 297), (69, 263), (176, 297), (210, 263), (210, 229)
NAME_OK, NAME_CANCEL = (215, 45), (215, 130)
PAUSE_CORNER = (235, 315)
PAUSE = {"resume": (215, 270), "exit": (186, 270), "help": (158, 270), "score": (126, 270),
         "options": (98, 270)}

# From the start to a live main menu (the splash skipped, the title tapped, the slide-in
# given time to finish).
TO_MENU = """
wait 300
tap %d %d
wait 300
tap 120 160
wait 1500
""" % SKIP


def tap(pos):
    return "tap %d %d\n" % pos


def same_region(a, b, box):
    """True when two shots agree on every pixel of the landscape box (x0, y0, x1, y1)."""
    x0, y0, x1, y1 = box
    return all(a.pixel(x, y) == b.pixel(x, y) for y in range(y0, y1) for x in range(x0, x1))


# --- Splash: skipped, and left to run by itself -------------------------------------
skipped = t.run(TO_MENU + "dump menu\nshot menu\nquit\n", name="skip")
t.equal(skipped.status, 0, "normal exit after skipping")
t.equal(skipped.dumps["menu"]["view"], 0, "skip, then a tap on the title, reach the menu")
t.equal(skipped.dumps["menu"]["previousView"], 14, "the menu was reached from the title")

unskipped = t.run("""
wait 1500
dump still
shot logo
wait 1000
shot emblem
wait 3000
dump title
shot title
wait 240
shot title2
quit
""", name="noskip")
t.equal(unskipped.dumps["still"]["view"], 12, "the splash waits without a tap")
t.equal(unskipped.dumps["title"]["view"], 14, "the splash moves on to the title by itself")
t.check(not same_region(unskipped.shot("logo"), unskipped.shot("emblem"), (0, 0, 320, 240)),
        "the second logo replaces the first")
t.check(not same_region(unskipped.shot("title"), unskipped.shot("title2"), (0, 0, 320, 240)),
        "the tap prompt blinks on the title")

# A tap beside the skip button does nothing.
beside = t.run("wait 300\ntap 120 160\nwait 200\ndump d\nquit\n", name="beside")
t.equal(beside.dumps["d"]["view"], 12, "a tap beside the skip button keeps the splash")

# --- The menu's buttons ---------------------------------------------------------------
for button, view in (("new", 1), ("options", 10), ("scores", 7), ("help", 3), ("name", 4)):
    r = t.run(TO_MENU + tap(MENU[button]) + "wait 300\ndump d\nshot s\nquit\n",
              name="menu-" + button)
    t.equal(r.dumps["d"]["view"], view, "menu button %s leads to view %d" % (button, view))
    t.equal(r.dumps["d"]["historyDepth"], 1, "menu button %s remembers the menu" % button)
    t.check(540 in [s["id"] for s in r.dumps["d"]["sounds"]], "%s clicks" % button)

ended = t.run(TO_MENU + tap(MENU["exit"]) + "wait 100\ndump never\nquit\n", name="menu-exit")
t.equal(ended.status, 0, "the exit button ends the program normally")
t.check("never" not in ended.dumps, "nothing runs after the exit button")

# Taps while the buttons slide in are ignored.
early = t.run("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 30\n" % SKIP + tap(MENU["new"])
              + "wait 300\ndump d\nquit\n", name="menu-early")
t.equal(early.dumps["d"]["view"], 0, "a tap during the slide-in does not start a round")

# --- Options: kept with OK, put back with Cancel, both surviving a restart -------------
store = t.new_store("options")
change = (tap(MENU["options"]) + "wait 300\n" + tap(MUSIC_TOP) + tap(ANIMATION_BOX)
          + tap(SOUND_TOP) + "wait 100\nshot changed\n")
kept = t.run(TO_MENU + change + tap(OPT_OK) + "wait 300\ndump after\nquit\n", store=store,
             name="options-ok")
s = kept.dumps["after"]["settings"]
t.equal(kept.dumps["after"]["view"], 0, "OK goes back to the menu")
t.equal((s["musicVolume"], s["menuAnimation"], s["soundVolume"]), (70, 0, 70),
        "the music page, the animation switch and the sound page took effect")
sounds = [x["id"] for x in kept.dumps["after"]["sounds"]]
t.check(535 in sounds and 538 in sounds, "the new volumes were played")
again = t.run("wait 100\ndump start\nquit\n", store=store, name="options-reread")
t.equal(again.dumps["start"]["settings"]["musicVolume"], 70, "OK saved the music volume")
t.equal(again.dumps["start"]["settings"]["menuAnimation"], 0, "OK saved the switch")

store = t.new_store("cancel")
cancelled = t.run(TO_MENU + change + tap(OPT_CANCEL) + "wait 300\ndump after\nquit\n",
                  store=store, name="options-cancel")
s = cancelled.dumps["after"]["settings"]
t.equal((s["musicVolume"], s["soundVolume"], s["menuAnimation"]), (64, 64, 1),
        "Cancel puts back what the screen found")

# --- A name typed on the keyboard appears on the menu ----------------------------------
store = t.new_store("name")
named = t.run(TO_MENU + tap(MENU["name"]) + "wait 300\n" + tap(KEY_A) + tap(KEY_B)
              + tap(KEY_1) + tap(KEY_BLANK) + tap(KEY_BACK) + "wait 50\nshot typed\n"
              + tap(NAME_OK) + "wait 1500\nshot menu\ndump after\nquit\n", store=store,
              name="name")
t.equal(named.dumps["after"]["settings"]["userName"], "AB1", "the typed name is kept")
t.equal(named.dumps["after"]["view"], 0, "OK returns to the menu")
t.check(not same_region(named.shot("menu"), skipped.shot("menu"), (0, 190, 160, 240)),
        "the name button shows the new name")
renamed = t.run(TO_MENU + "shot menu\ndump d\nquit\n", store=store, name="name-reread")
t.equal(renamed.dumps["d"]["settings"]["userName"], "AB1", "the name survives a restart")
t.check(same_region(named.shot("menu"), renamed.shot("menu"), (0, 190, 160, 240)),
        "the menu shows the kept name after a restart")

# --- Help pages, about and credits ------------------------------------------------------
helped = t.run(TO_MENU + tap(MENU["help"]) + "wait 300\nshot page1\n" + tap(HELP_NEXT)
               + "wait 300\nshot page2\n" + tap(HELP_NEXT) + "wait 300\n" + tap(HELP_PREV)
               + "wait 300\nshot page2again\n" + tap(HELP_PREV) + "wait 300\nshot page1again\n"
               + tap(HELP_PREV) + "wait 300\ndump first\n"
               + tap(HELP_ABOUT) + "wait 300\nshot about\ndump about\n"
               + "tap 100 100\nwait 300\ndump back\n"
               + tap(HELP_CREDITS) + "wait 4000\nshot credits\ndump credits\n"
               + "tap 100 100\nwait 300\ndump back2\n" + tap(HELP_OK)
               + "wait 300\ndump menu\nquit\n", name="help")
page = (60, 60, 280, 180)  # the page picture, landscape
t.check(not same_region(helped.shot("page1"), helped.shot("page2"), page), "next turns the page")
t.check(same_region(helped.shot("page2"), helped.shot("page2again"), page),
        "next then previous comes back to the same page")
t.check(same_region(helped.shot("page1"), helped.shot("page1again"), page),
        "previous returns to the first page")
ids = [x["id"] for x in helped.dumps["first"]["sounds"]]
t.equal(ids.count(578), 4, "page sound for four turns, none for previous on the first page")
t.equal(helped.dumps["about"]["view"], 8, "the about box opens from help")
t.equal(helped.dumps["back"]["view"], 3, "a tap closes the about box")
t.equal(helped.dumps["credits"]["view"], 11, "the credits open from help")
t.check(len(helped.shot("credits").colours()) > 4, "the credits crawl shows lines")
t.equal(helped.dumps["back2"]["view"], 3, "a tap leaves the credits")
t.equal(helped.dumps["menu"]["view"], 0, "ok leaves help for the menu")

# --- The pause menu during a round ------------------------------------------------------
clock_box = (0, 0, 100, 30)  # the round clock, top left of the landscape window
paused = t.run(TO_MENU + tap(MENU["new"]) + "wait 2000\nshot before\ndump before\n"
               + tap(PAUSE_CORNER) + "wait 1000\nshot pause\ndump pause\n"
               + tap(PAUSE["options"]) + "wait 300\nshot options\ndump options\n"
               + "wait 5000\n" + tap(OPT_OK) + "wait 10\nshot back\ndump back\n"
               + tap(PAUSE_CORNER) + "wait 1000\n" + tap(PAUSE["score"]) + "wait 300\n"
               + "dump scores\n" + tap(SCORES_BACK) + "wait 10\ndump back2\n"
               + tap(PAUSE_CORNER) + "wait 1000\n" + tap(PAUSE["help"]) + "wait 300\n"
               + "dump help\n" + tap(HELP_OK) + "wait 10\ndump back3\n"
               + tap(PAUSE_CORNER) + "wait 1000\n" + tap(PAUSE["resume"])
               + "wait 10\ndump resumed\n"
               + tap(PAUSE_CORNER) + "wait 1000\n" + tap(PAUSE["exit"])
               + "wait 1500\nshot exited\ndump exited\nquit\n", name="pause")
d = paused.dumps
t.equal(d["pause"]["view"], 5, "the corner opens the pause menu")
t.equal(d["options"]["view"], 10, "options from the pause menu")
t.equal(d["back"]["view"], 1, "OK on the options returns to the round")
t.check(same_region(paused.shot("before"), paused.shot("back"), clock_box),
        "the time spent in the options is not taken from the round")
if d["before"]["round"] and d["back"]["round"]:
    t.equal(d["back"]["round"]["secondsLeft"], d["before"]["round"]["secondsLeft"],
            "seconds left kept across the options")
t.equal(d["scores"]["view"], 7, "scores from the pause menu")
t.equal(d["back2"]["view"], 1, "back from the scores returns to the round")
t.equal(d["help"]["view"], 3, "help from the pause menu")
t.equal(d["back3"]["view"], 1, "ok on help returns to the round")
t.equal(d["resumed"]["view"], 1, "resume returns to the round")
t.equal(d["exited"]["view"], 0, "exit abandons the round for the menu")
t.equal(d["exited"]["historyDepth"], 2, "only the menu stays remembered below the pause menu")

# --- Clearing the table, after the confirmation -----------------------------------------
store = t.new_store("table")
# A round played to its end puts a score into the table first (see the round test);
# here the table is filled by rounds abandoned early: they leave it as it is, so the
# check runs on whatever the store holds and on the box's answers.
cleared = t.run(TO_MENU + tap(MENU["scores"]) + "wait 300\n" + tap(SCORES_RESET)
                + "wait 50\nshot box\n" + tap(BOX_CANCEL) + "wait 50\ndump cancel\n"
                + tap(SCORES_RESET) + "wait 50\n" + "down %d %d\nup 100 100\n" % BOX_OK
                + "wait 50\nshot stillopen\n" + tap(BOX_OK) + "wait 300\ndump ok\n"
                + tap(SCORES_BACK) + "wait 300\ndump menu\nquit\n", store=store,
                name="clear")
t.equal(cleared.status, 0, "normal exit after the box")
t.equal(cleared.dumps["cancel"]["view"], 7, "Cancel keeps the scores screen")
t.equal(cleared.dumps["ok"]["view"], 7, "OK keeps the scores screen")
t.equal([r["score"] for r in cleared.dumps["ok"]["hiscores"]], [0] * 10, "the table is empty")
t.equal(cleared.dumps["menu"]["view"], 0, "ok leaves the scores for the menu")
t.check(not same_region(cleared.shot("box"), skipped.shot("menu"), (77, 69, 245, 169)),
        "the box is drawn over the table")

# Closing the window while the box is open ends the program normally: the name typed
# before (kept in memory until the program ends) is found by the next start.
store = t.new_store("closed")
closed = t.run(TO_MENU + tap(MENU["name"]) + "wait 300\n" + tap(KEY_B) + tap(KEY_A)
               + tap(NAME_OK) + "wait 1500\n" + tap(MENU["scores"]) + "wait 300\n"
               + tap(SCORES_RESET) + "wait 50\nshot box\nquit\n", store=store,
               name="closed-box", timeout=60)
t.equal(closed.status, 0, "closing the window with the box open ends normally")
after = t.run("wait 100\ndump start\nquit\n", store=store, name="closed-reread")
t.equal(after.dumps["start"]["settings"]["userName"], "BA",
        "the settings were saved by the normal shutdown")

t.finish()
