"""Every start tick brings ducks. Started at clock 1000610, the round's generators get a
state that is a multiple of 7; such a state used to run round a short cycle that never
spawned a duck, so the whole session showed an empty lake with only the fisherman."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
NEW_GAME = (30, 60)
TO_GAME = ("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\ntap %d %d\n"
           % (SKIP + NEW_GAME))

script = TO_GAME + "wait 20000\ndump first\nwait 40000\ndump later\nquit\n"
r = t.run(script, clock_start=1000610, name="empty-lake-start")
t.equal(r.status, 0, "normal exit")
for name in ("first", "later"):
    d = r.dumps[name]
    t.equal(d["view"], 1, "the round is running (%s)" % name)
    flying = [duck for duck in d["round"]["ducks"] if 1 <= duck["kind"] <= 4]
    t.check(len(flying) > 0, "ducks fly (%s)" % name)

t.finish()
