"""The installed game, started from a DESTDIR install under Xvfb, reaches the main menu.

Installs the build with the prefix /usr into a fresh folder and starts the installed
binary (not the one in the build folder) with --window --scale 2 on a private Xvfb
display: the window is twice the picture, carries the application id as its class and
the game's icon, and shows the simulator's main menu pixel for pixel. A second copy
started with other options exits 0 and leaves the first as it was; the menu's Exit
button ends the game. (--fullscreen needs a window manager to take effect, which this
display has not; the desktop backend's own tests check that it reaches SDL.)
"""

import os
import subprocess
import sys
import tempfile
import time

import e2e_lib as e2e
import install_lib
from xvfb_lib import (EXIT_BUTTON, MENU_SCRIPT, click_device, desktop_env, go_to_menu,
                      grab_window, mismatches, need, start_xvfb, window_id, xdotool)

SCALE = 2


def window_property(env, wid, name, layout=None):
    """The property as xprop prints it, optionally in xprop's -f LAYOUT."""
    fmt = ["-f", name] + layout.split(" ", 1) if layout else []
    return subprocess.run([need("xprop"), "-id", wid] + fmt + [name], env=env,
                          capture_output=True, text=True, timeout=30).stdout


def wait_status(proc, timeout):
    try:
        return proc.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def main():
    t = e2e.Test()
    build = install_lib.build_dir(t.game)
    dest = os.path.join(t.out_dir, "destdir")
    done = install_lib.install(build, dest, "/usr")
    if not t.equal(done.returncode, 0, "cmake --install: " + done.stderr):
        return t.finish()
    game_path = os.path.join(dest, "usr", "bin", "tallreed")
    entries = os.listdir(os.path.join(dest, "usr", "share", "applications"))
    app_id = entries[0][:-len(".desktop")]

    base = tempfile.mkdtemp(prefix="installed-", dir=t.out_dir)
    xvfb, display = start_xvfb()
    env = desktop_env(base, display)
    game = None
    try:
        game = subprocess.Popen([game_path, "--window", "--scale", str(SCALE)], env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        wid = window_id(env)
        if not t.check(wid is not None, "the installed game opens its window"):
            return t.finish()
        t.check(('"%s", "%s"' % (app_id, app_id)) in window_property(env, wid, "WM_CLASS"),
                "the window's class is the application id")
        # The icon's first two words are its width and height.
        t.equal(window_property(env, wid, "_NET_WM_ICON", "32c =$0,$1").split("=")[-1].strip(),
                "64,64", "the window carries the game's 64 x 64 icon")

        go_to_menu(env, wid, SCALE)
        width, height, rows = grab_window(env, wid)
        t.equal((width, height), (320 * SCALE, 240 * SCALE), "--scale 2: twice the picture")
        shot = t.run(MENU_SCRIPT, name="sim").shot("menu")
        t.equal(mismatches(rows, shot, SCALE), 0, "the installed game reaches the main menu")

        second = subprocess.run([game_path, "--fullscreen", "--scale", "4"], env=env,
                                capture_output=True, timeout=30)
        t.equal(second.returncode, 0, "a second copy with options exits with status 0")
        time.sleep(0.5)
        t.check(game.poll() is None, "the first copy keeps running")
        t.equal(grab_window(env, wid)[:2], (320 * SCALE, 240 * SCALE),
                "the second copy's options leave the first window as it was")

        click_device(env, wid, *EXIT_BUTTON, SCALE)
        t.equal(wait_status(game, 20), 0, "the menu's Exit button ends the installed game")

    finally:
        if game is not None and game.poll() is None:
            game.kill()
            game.wait()
        xvfb.kill()
        xvfb.wait()
    t.finish()


if __name__ == "__main__":
    sys.exit(main())
