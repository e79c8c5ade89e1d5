#!/usr/bin/env python3
"""What the desktop window costs: the game's CPU, as % of one core, in a real window on
a private Xvfb display, next to the floor (a bare SDL window with the same 10 ms timer
and nothing drawn) measured in the same run.

    bench/window_cpu.py [--build DIR] [--seconds S] [--runs N]

The game is started with fresh settings, left to run out its splash, its title is
tapped, and then it is measured on the main menu, during a round (no input, ducks
flying) and minimised (unmapped, as a window manager does it; the round pauses). CPU is
the sum of the on-CPU time of every thread of the process (/proc/PID/task/*/schedstat)
over wall time; the X server's share is printed beside it, because whatever the window
hands to the server is work too.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import xvfb_lib as desktop  # noqa: E402

SCALE = 3
NEW_GAME = (30, 60)  # device position of the main menu's New Game button


def cpu_seconds(pid):
    """On-CPU time of every live thread of the process, in seconds."""
    total = 0
    task_dir = "/proc/%d/task" % pid
    for tid in os.listdir(task_dir):
        try:
            with open(os.path.join(task_dir, tid, "schedstat")) as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended between listing and reading
    return total / 1e9


def measure(pids, seconds):
    """% of one core used by each process over `seconds` of wall time."""
    start = [cpu_seconds(p) for p in pids]
    t0 = time.monotonic()
    time.sleep(seconds)
    wall = time.monotonic() - t0
    return [100.0 * (cpu_seconds(p) - s) / wall for p, s in zip(pids, start)]


def stop(proc, env, wid):
    if wid is not None:
        desktop.xdotool(env, "windowclose", wid)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.terminate()
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def run_floor(build, env, xvfb_pid, seconds):
    proc = subprocess.Popen([os.path.join(build, "bench", "window_floor")], env=env,
                            stdout=subprocess.DEVNULL)
    wid = desktop.window_id(env, name="^Tallreed floor$")
    time.sleep(2.0)
    figures = measure([proc.pid, xvfb_pid], seconds)
    stop(proc, env, wid)
    return figures


def run_game(build, env, xvfb_pid, seconds):
    """Returns {state: [game %, X server %]}."""
    base = tempfile.mkdtemp(prefix="window-cpu-")
    env = desktop.desktop_env(base, env["DISPLAY"])
    env["SDL_AUDIODRIVER"] = os.environ.get("SDL_AUDIODRIVER", "dummy")
    env["TALLREED_WINDOW_STATS"] = "1"
    started = time.time()
    proc = subprocess.Popen([os.path.join(build, "tallreed")], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    wid = desktop.window_id(env)
    if wid is None:
        proc.kill()
        raise RuntimeError("the game opened no window: %s" % proc.stderr.read().decode())
    figures = {}
    desktop.go_to_menu(env, wid, SCALE)
    figures["menu"] = measure([proc.pid, xvfb_pid], seconds)
    desktop.click_device(env, wid, *NEW_GAME, SCALE)
    time.sleep(2.0)
    figures["round"] = measure([proc.pid, xvfb_pid], seconds)
    desktop.xdotool(env, "windowunmap", wid)
    time.sleep(2.0)
    figures["minimised"] = measure([proc.pid, xvfb_pid], seconds)
    desktop.xdotool(env, "windowmap", wid)
    stop(proc, env, wid)
    # The game's own account of its window, printed on the way out.
    stats = re.search(r"first picture at ([0-9.]+) s .*?, ([0-9.]+) ms of CPU\), (\d+) timer "
                      r"ticks, (\d+) merged, (\d+) shows, ([a-z ]+), (\d+) pixels shown",
                      proc.stderr.read().decode())
    if stats:
        figures["first picture ms"] = 1000.0 * (float(stats.group(1)) - started)
        figures["first picture cpu"] = float(stats.group(2))
        figures["ticks"] = (int(stats.group(3)), int(stats.group(4)))
        figures["shows"] = int(stats.group(5))
        figures["path"] = stats.group(6)
        figures["pixels a show"] = int(stats.group(7)) / max(1, int(stats.group(5)))
    return figures


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default=os.path.join(HERE, "..", "build"))
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    build = os.path.abspath(args.build)

    load = os.getloadavg()[0]
    if load > 1.5:
        print("note: load average %.1f; a busy machine starves the window of its ticks "
              "and makes it look cheaper than it is" % load)
    xvfb, display = desktop.start_xvfb()
    env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER=os.environ.get("SDL_AUDIODRIVER",
                                                                            "dummy"))
    rows, notes = [], []
    try:
        for _ in range(args.runs):
            floor = run_floor(build, env, xvfb.pid, args.seconds)
            game = run_game(build, env, xvfb.pid, args.seconds)
            rows.append(("floor", floor))
            rows += [(state, game[state]) for state in ("menu", "round", "minimised")]
            if "ticks" in game:
                notes.append("game: first picture %.0f ms after start (%.0f ms of CPU); %d timer "
                             "ticks, %d merged; %d shows of %.0f landscape pixels on average; %s"
                             % (game["first picture ms"], game["first picture cpu"],
                                game["ticks"][0], game["ticks"][1], game["shows"],
                                game["pixels a show"], game["path"]))
    finally:
        xvfb.kill()
        xvfb.wait()
    print("%-10s %12s %12s" % ("state", "game % core", "X server %"))
    for state, (game_cpu, server_cpu) in rows:
        print("%-10s %12.2f %12.2f" % (state, game_cpu, server_cpu))
    for note in notes:
        print(note)


if __name__ == "__main__":
    main()
