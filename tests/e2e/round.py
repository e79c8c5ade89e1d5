"""One whole round through the simulator: ducks shot and scored, misses, an empty gun
that clicks, reloads by tapping the magazine and by the third hardware button,
scrolling both ways, and the statistics stored in the settings at the end."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
NEW_GAME = (30, 60)
TO_GAME = ("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\ntap %d %d\nwait 1000\n"
           % (SKIP + NEW_GAME))
MISS = "tap 20 150\nwait 60\n"

script = TO_GAME + "dump start\n"
for _ in range(30):
    script += "tap-duck\nwait 300\n"
script += "dump ducks\n"
script += MISS * 7 + "dump empty\n"
script += MISS + "dump clicked\n"
script += "tap 220 80\nwait 60\ndump reloaded\n"
script += MISS * 7 + "press hw3\nwait 20\nrelease hw3\nwait 60\ndump hw3\n"
# The desktop arrows are turned with the picture: Right scrolls the scene up, Left down.
script += "press right\nwait 300\nrelease right\nwait 50\ndump up\n"
script += "press left\nwait 600\nrelease left\nwait 50\ndump down\n"
script += "wait 180000\ndump over\nquit\n"
r = t.run(script, name="round")
t.equal(r.status, 0, "normal exit")
d = r.dumps
start = d["start"]["round"]
t.equal(d["start"]["view"], 1, "the round is running")
t.equal(start["shells"], 7, "a round starts with seven shells")
t.equal(start["scrollY"], 639, "a round starts at the bottom of the scene")
t.check(start["secondsLeft"] in (179, 180), "the clock starts at three minutes")

ducks = d["ducks"]["round"]
t.check(ducks["shotDucks"] > 0, "ducks were hit")
t.check(ducks["score"] >= 10 * ducks["shotDucks"], "each duck scored at least 10")

t.equal(d["empty"]["round"]["shells"], 0, "seven misses empty the gun")
t.equal(d["clicked"]["round"]["shotsFired"], d["empty"]["round"]["shotsFired"],
        "a tap with an empty gun is no shot")
t.equal(d["reloaded"]["round"]["shells"], 7, "tapping the magazine reloads")
t.equal(d["hw3"]["round"]["shells"], 7, "the reload key reloads an empty gun")
t.check(d["up"]["round"]["scrollY"] < 639, "the up key scrolls the scene up")
t.check(d["up"]["round"]["scrollY"] >= 9, "scrolling up stops at the top")
t.equal(d["down"]["round"]["scrollY"], 639, "the down key stops at the bottom")

over = d["over"]
t.equal(over["settings"]["killedDucks"], d["down"]["round"]["shotDucks"],
        "the ducks shot are kept in the settings")
t.equal(over["settings"]["lastScore"], d["down"]["round"]["score"],
        "the score is kept in the settings")
t.equal(over["view"], 7, "the end of the round shows the scores")

ids = [s["id"] for s in over["sounds"]]
for sid, what in ((550, "shot"), (544, "duck hit"), (546, "empty click"), (543, "reload"),
                  (579, "last-seconds warning"), (578, "end of round")):
    t.check(sid in ids, "sound %d (%s) was started" % (sid, what))

t.finish()
