"""The sign duck comes back. It slides in from the edge, waits and slides out again; one
that leaves unshot must not keep every later one away for the rest of the round."""

import e2e_lib as e2e

t = e2e.Test()

SKIP = (203, 309)
NEW_GAME = (30, 60)
TO_GAME = ("wait 300\ntap %d %d\nwait 300\ntap 120 160\nwait 1500\ntap %d %d\nwait 1000\n"
           % (SKIP + NEW_GAME))
SIGN_DUCK = 5
LOOKS = 200  # every half second for the first 100 seconds, nothing shot

script = TO_GAME + "".join("dump look%03d\nwait 500\n" % i for i in range(LOOKS)) + "quit\n"
# A start whose round brings three sign ducks in that time.
r = t.run(script, clock_start=1000260, name="unshot")
t.equal(r.status, 0, "normal exit")
arrivals, was_there = 0, False
for i in range(LOOKS):
    d = r.dumps["look%03d" % i]
    there = any(item["kind"] == SIGN_DUCK for item in d["round"]["items"])
    arrivals += there and not was_there
    was_there = there
last = r.dumps["look%03d" % (LOOKS - 1)]
t.equal(last["view"], 1, "the round is still running")
t.equal(last["round"]["otherHits"], 0, "no sign duck was shot")
t.check(arrivals >= 2, "a sign duck came again after one left unshot (%d came)" % arrivals)

t.finish()
