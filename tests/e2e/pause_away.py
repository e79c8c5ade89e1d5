"""The pause menu without the pen: the window minimised or losing the focus during a
round, and Escape or Pause, open it exactly as a tap on its icon does, and the round
clock stands still behind it; Escape or Pause on the pause menu goes back to the round.
Outside a round none of them does anything."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
NEW_GAME = (30, 60)
ICON = (234, 314)
TO_GAME = ("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\ntap %d %d\nwait 2000\n"
           % (SKIP + NEW_GAME))
SLID_IN = "wait 1000\n"  # the panel has arrived; taps during its slide are ignored

# The same moment of the same round, paused by a tap on the icon and by each shortcut.
ways = {"tap": "tap %d %d\n" % ICON, "unfocus": "unfocus\n", "minimise": "minimise\n",
        "escape": "press escape\nrelease escape\n", "pause": "press pause\nrelease pause\n"}
shots = {}
for name, how in ways.items():
    r = t.run(TO_GAME + "dump before\n" + how + SLID_IN + "dump paused\nshot paused\n"
              + "wait 5000\ndump later\nquit\n", name=name)
    d = r.dumps
    t.equal(d["before"]["view"], 1, "%s: a round runs" % name)
    t.equal(d["paused"]["view"], 5, "%s: the pause menu is open" % name)
    t.equal(d["later"]["round"]["secondsLeft"], d["paused"]["round"]["secondsLeft"],
            "%s: the round clock stands still behind the pause menu" % name)
    t.equal(d["paused"]["round"]["shotsFired"], 0, "%s: pausing fires no shot" % name)
    shots[name] = r.shot_bytes("paused")
for name in ways:
    t.check(shots[name] == shots["tap"], "%s pauses exactly as the tap on the icon does" % name)

# Escape and Pause on the pause menu resume; turning away again does not.
r = t.run(TO_GAME + "press escape\nrelease escape\n" + SLID_IN + "unfocus\nwait 100\ndump away\n"
          + "press escape\nrelease escape\nwait 100\ndump resumed\nwait 2000\ndump on\n"
          + "press pause\nrelease pause\n" + SLID_IN + "press pause\nrelease pause\nwait 100\n"
          + "dump again\nquit\n", name="resume")
d = r.dumps
t.equal(d["away"]["view"], 5, "turning away on the pause menu keeps it open")
t.equal(d["resumed"]["view"], 1, "Escape on the pause menu resumes the round")
t.check(d["on"]["round"]["secondsLeft"] < d["resumed"]["round"]["secondsLeft"],
        "the clock runs again after resuming")
t.equal(d["again"]["view"], 1, "Pause opens and closes the pause menu")

# On the main menu nothing happens.
r = t.run("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\n" % SKIP
          + "unfocus\nminimise\npress escape\nrelease escape\nwait 500\ndump menu\nquit\n",
          name="menu")
t.equal(r.dumps["menu"]["view"], 0, "outside a round the shortcuts do nothing")
t.finish()
