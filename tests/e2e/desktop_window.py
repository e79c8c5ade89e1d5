"""The desktop build in a real X window (under Xvfb) shows what the simulator shows.

Starts the game on a private Xvfb display, lets the splash run out, taps the title
screen like a player, waits for the main menu to slide in, takes a screenshot of the
window and compares it, scaled back down, with the simulator's picture of the same
moment. Then checks that a second copy exits at once with status 0 and that the menu's
Exit button ends the game normally with its settings saved. A second run checks that
the window comes back at the size it was left at, and that minimising it during a
round opens the pause menu and stops the round.
"""

import os
import subprocess
import tempfile
import time

import e2e_lib as e2e
from xvfb_lib import (EXIT_BUTTON, MENU_SCRIPT, click_device, desktop_env, go_to_menu,
                      grab_window, mismatches, start_xvfb, window_bytes, window_id, xdotool)

SCALE = 3  # the window starts at three times the landscape picture on a large screen


NEW_GAME = (30, 60)  # device position of the main menu's New Game button


def second_run(t, env):
    """The window comes back as it was left; minimised during a round it pauses."""
    game = subprocess.Popen([t.game], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        wid = window_id(env)
        if not t.check(wid is not None, "the game opens its window again"):
            return
        geometry = xdotool(env, "getwindowgeometry", wid).stdout
        t.check("Geometry: 1280x960" in geometry, "the window comes back at its last size")
        go_to_menu(env, wid, 4)
        click_device(env, wid, *NEW_GAME, 4)
        time.sleep(2.0)
        before = window_bytes(env, wid)
        time.sleep(1.0)
        t.check(window_bytes(env, wid) != before, "the round runs")
        xdotool(env, "windowunmap", wid)
        time.sleep(0.5)
        xdotool(env, "windowmap", wid)
        time.sleep(1.5)  # the pause panel slides in
        paused = window_bytes(env, wid)
        time.sleep(1.5)
        t.check(window_bytes(env, wid) == paused,
                "minimised during a round, the game comes back paused: nothing moves")
        game.terminate()
        t.equal(game.wait(timeout=20), 0, "closed by the system, the game ends normally")
    finally:
        if game.poll() is None:
            game.kill()


def main():
    t = e2e.Test()
    base = tempfile.mkdtemp(prefix="desktop-", dir=t.out_dir)
    xvfb, display = start_xvfb()
    env = desktop_env(base, display)
    game = None
    try:
        game = subprocess.Popen([t.game], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        wid = window_id(env)
        if not t.check(wid is not None, "the game opens a window named Tallreed"):
            return t.finish()

        go_to_menu(env, wid, SCALE)
        width, height, rows = grab_window(env, wid)
        t.equal((width, height), (320 * SCALE, 240 * SCALE), "window size at three times")

        second = subprocess.run([t.game], env=env, capture_output=True, timeout=30)
        t.equal(second.returncode, 0, "a second copy exits with status 0")
        t.check(game.poll() is None, "the first copy keeps running")

        # The same moment in the simulator, then every pixel compared.
        shot = t.run(MENU_SCRIPT, name="sim").shot("menu")
        t.equal(mismatches(rows, shot, SCALE), 0,
                "the window shows the simulator's main menu pixel for pixel")
        scaled_ok = all(rows[y][x] == rows[y - y % SCALE][x - x % SCALE]
                        for y in range(0, height, 7) for x in range(0, width, 5))
        t.check(scaled_ok, "each game pixel is a crisp 3 x 3 block")

        # Made larger, then Exit.
        xdotool(env, "windowsize", wid, 1280, 960)
        time.sleep(1.0)
        click_device(env, wid, *EXIT_BUTTON, 4)
        try:
            status = game.wait(timeout=20)
        except subprocess.TimeoutExpired:
            status = None
        t.equal(status, 0, "the menu's Exit button ends the game with status 0")
        t.check(os.path.exists(os.path.join(env["XDG_DATA_HOME"], "tallreed", "tallreed.db")),
                "settings and scores were saved on the way out")
        second_run(t, env)
    finally:
        if game is not None and game.poll() is None:
            game.kill()
        xvfb.kill()
        xvfb.wait()
    t.finish()


if __name__ == "__main__":
    main()
