"""The desktop program started where it cannot show a window: it says so and fails,
instead of running on unseen with an invisible video driver."""

import os
import subprocess
import tempfile

import e2e_lib as e2e

t = e2e.Test()

with tempfile.TemporaryDirectory(dir=t.out_dir) as home:
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER")}
    env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "data"),
               XDG_RUNTIME_DIR=home, XDG_CACHE_HOME=os.path.join(home, "cache"))
    proc = subprocess.run([t.game], env=env, capture_output=True, text=True, timeout=60)
    t.equal(proc.returncode, 1, "no display: the start failed")
    t.check("no display: set DISPLAY or WAYLAND_DISPLAY" in proc.stderr,
            "no display: the reason is on stderr (%r)" % proc.stderr)
    t.check(not os.path.exists(os.path.join(home, "data", "tallreed")),
            "no display: nothing was written")

t.finish()
