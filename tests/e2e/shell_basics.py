"""The program as a whole under the simulator: same script, same bytes; how it ends;
its exit status; what reaches the window."""

import e2e_lib as e2e

t = e2e.Test()

# The skip button of the splash screen, in device coordinates.
SKIP_X, SKIP_Y = 203, 309

SCRIPT = """
# a short walk through the start of the program
wait 300
shot early
dump early
tap %d %d
wait 400
press right
wait 30
release right
press hw3
wait 20
release hw3
shot later
dump later
quit
""" % (SKIP_X, SKIP_Y)

first = t.run(SCRIPT, audio=True, name="first")
second = t.run(SCRIPT, audio=True, name="second")

t.equal(first.status, 0, "closing the window ends the program normally")
t.equal(second.status, 0, "second run exit status")
t.equal(sorted(first.dumps), ["early", "later"], "both dumps written")

# Determinism: pictures, dumps and sound are the same byte for byte.
for shot in ("early", "later"):
    t.check(first.shot_bytes(shot) == second.shot_bytes(shot), "shot %s identical" % shot)
for dump in ("early", "later"):
    t.equal(first.dumps[dump], second.dumps[dump], "dump %s identical" % dump)
a1, a2 = first.audio(), second.audio()
t.check(a1 is not None and a2 is not None, "audio written")
if a1 and a2:
    t.equal(a1[:3], (22050, 2, 8), "captured format")
    t.check(a1[3] == a2[3], "captured sound identical")
    # Played sound keeps pace with virtual time (within a few of the engine's buffers).
    elapsed_ms = first.dumps["later"]["tick"] - 1000000
    expected = elapsed_ms * 22050 * 2 // 1000
    t.check(0 < len(a1[3]) <= expected and expected - len(a1[3]) <= 16384,
            "captured %d bytes for %d ms" % (len(a1[3]), elapsed_ms))

# The shot is the window as the player sees it: landscape, 320 x 240.
img = first.shot("early")
t.equal((img.width, img.height), (320, 240), "shot size")
t.check(len(img.colours()) > 4, "the splash screen is on the window")

# The dump's clock and views.
early, later = first.dumps["early"], first.dumps["later"]
t.check(early["tick"] >= 1000300, "virtual time passed")
t.equal(later["tick"] - early["tick"], 10 + 400 + 30 + 20, "waits and the tap's tick add up")
t.equal(early["view"], 12, "the splash screen is current first")
t.check(later["view"] != 12, "the tap on skip reached the splash screen through the loop")
t.equal(early["messageBoxes"], [], "a normal start shows no message box")
for key in ("userName", "playerName", "lastScore", "soundVolume", "musicVolume",
            "killedDucks", "killedLeaves", "negPoints", "percentageSuccess",
            "menuAnimation", "specialEffects", "pendingScore", "resultPending"):
    t.check(key in early["settings"], "settings field %s dumped" % key)
t.equal(len(early["hiscores"]), 10, "ten score records")

# The clock can start anywhere, including just before the tick count wraps.
r = t.run("wait 500\ndump d\n", clock_start=4294967000, name="wrap")
t.equal(r.status, 0, "a script without quit ends normally")
t.check(r.dumps["d"]["tick"] < 1000, "tick count wrapped past zero: %d" % r.dumps["d"]["tick"])

# Commands after quit do not run.
r = t.run("wait 50\nquit\ndump never\n", name="quit")
t.equal(r.status, 0, "quit exit status")
t.check("never" not in r.dumps, "nothing runs after quit")

# A bad script is refused before anything starts.
for bad in ("jump 3\n", "wait -5\n", "tap 1\n", "press f5\n", "shot ../escape\n", "dump\n"):
    r = t.run(bad, name="bad")
    t.equal(r.status, 2, "bad script %r refused" % bad.strip())
    t.check("line 1" in r.stderr, "bad script %r names its line" % bad.strip())

t.finish()
