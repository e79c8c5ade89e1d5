"""A whole round played to its end: the score goes into the table under the player's
name with the arrow mark, the statistics page shows the round, the entry is still there
after a restart on the same store, and the table is empty after a confirmed reset."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
NEW_GAME, SCORES = (30, 60), (120, 60)
SCORES_BACK, SCORES_RESET, SCORES_PAGE = (210, 30), (210, 110), (210, 210)
BOX_OK = (150, 210)
TO_MENU = "wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\n" % SKIP


def tap(pos):
    return "tap %d %d\n" % pos


store = t.new_store("round")
script = TO_MENU + tap(NEW_GAME) + "wait 1000\n"
for i in range(60):
    script += "tap-duck\nwait 400\n"
    if i % 6 == 5:  # reload with the third hardware button
        script += "press hw3\nwait 20\nrelease hw3\nwait 200\n"
script += "dump playing\nwait 175000\ndump over\nshot table\n"
script += tap(SCORES_PAGE) + "wait 200\nshot stats\n" + tap(SCORES_PAGE) + "wait 200\n"
script += tap(SCORES_BACK) + "wait 1500\ndump menu\nquit\n"
played = t.run(script, store=store, name="play")
t.equal(played.status, 0, "normal exit after the round")
playing, over = played.dumps["playing"], played.dumps["over"]
t.equal(playing["view"], 1, "the round is running")
score = playing["round"]["score"]
t.check(score > 0, "some ducks were hit")
t.equal(over["view"], 7, "the end of the round shows the scores")
t.equal(over["round"]["secondsLeft"], 0, "the round ran to its end")
t.equal(over["settings"]["resultPending"], 0, "the round's score was taken")
top = over["hiscores"][0]
t.equal((top["name"], top["score"], top["latest"]), ("NONAME", over["round"]["score"], 1),
        "the score entered under the player's name, marked as the latest")
t.equal(over["settings"]["lastScore"], over["round"]["score"], "the statistics keep the round")
t.equal(played.dumps["menu"]["view"], 0, "ok after a round goes back to the menu")

# The arrow mark sits where the first place number would be: landscape (20, 80).
table = played.shot("table")
stats = played.shot("stats")
t.check(table.pixel(29, 91) != stats.pixel(29, 91), "the statistics page replaces the table")

again = t.run(TO_MENU + tap(SCORES) + "wait 300\nshot table\ndump table\n" + tap(SCORES_RESET)
              + "wait 50\n" + tap(BOX_OK) + "wait 300\nshot cleared\ndump cleared\nquit\n",
              store=store, name="restart")
kept = again.dumps["table"]["hiscores"][0]
t.equal((kept["name"], kept["score"]), ("NONAME", over["round"]["score"]),
        "the entry is still there after a restart")
t.equal([r["score"] for r in again.dumps["cleared"]["hiscores"]], [0] * 10,
        "the confirmed reset empties the table")
t.check(again.shot("table").colours() != again.shot("cleared").colours(),
        "the cleared table is drawn without the entry")

third = t.run("wait 100\ndump start\nquit\n", store=store, name="after-reset")
t.equal([r["score"] for r in third.dumps["start"]["hiscores"]], [0] * 10,
        "the empty table is what the next start finds")

t.finish()
