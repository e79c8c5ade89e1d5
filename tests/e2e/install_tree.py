"""`cmake --install` into a temporary DESTDIR gives exactly the installed program.

Installs the build with the prefix /usr/local into a fresh folder, then checks the file
list, runs the ecosystem's validators on the desktop entry (desktop-file-validate), the
metainfo (appstreamcli validate --no-net) and the manual page (groff -ww -z), checks that
one application id and one version are used everywhere, that the icons are real icons
of their sizes, that the metainfo's screenshot is the simulator's main menu, and that
the installed game answers its command line without a display.
"""

import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

import e2e_lib as e2e
import install_lib
from xvfb_lib import MENU_SCRIPT, need

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)
PREFIX = "usr/local"


def expected_files(app_id):
    share = PREFIX + "/share/"
    files = [PREFIX + "/bin/tallreed",
             share + "applications/%s.desktop" % app_id,
             share + "metainfo/%s.metainfo.xml" % app_id,
             share + "man/man6/tallreed.6",
             share + "doc/tallreed/README.md"]
    files += [share + "icons/hicolor/%dx%d/apps/%s.png" % (s, s, app_id) for s in ICON_SIZES]
    return sorted(files)


def desktop_entry(path):
    keys = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if "=" in line and not line.startswith("#"):
                key, value = line.rstrip("\n").split("=", 1)
                keys[key] = value
    return keys


def check_icons(t, share, app_id):
    for size in ICON_SIZES:
        path = os.path.join(share, "icons/hicolor/%dx%d/apps/%s.png" % (size, size, app_id))
        width, height, channels, rows = e2e.read_png(path)
        t.equal((width, height, channels), (size, size, 4), "icon %d: size and alpha" % size)
        alpha = [[row[x * 4 + 3] for x in range(width)] for row in rows]
        corners = [alpha[0][0], alpha[0][-1], alpha[-1][0], alpha[-1][-1]]
        t.equal(corners, [0, 0, 0, 0], "icon %d: round, with see-through corners" % size)
        centre = [alpha[y][x] for y in range(size * 3 // 8, size * 5 // 8)
                  for x in range(size * 3 // 8, size * 5 // 8)]
        t.check(min(centre) == 255, "icon %d: an opaque middle" % size)
        # The duck: dark pixels in the middle of the emblem, at every size.
        dark = sum(1 for y in range(size // 4, size * 3 // 4) for x in range(size // 4, size * 3 // 4)
                   if max(rows[y][x * 4:x * 4 + 3]) < 110)
        t.check(dark >= size * size // 64, "icon %d: the duck shows (%d dark pixels)" % (size, dark))


def check_metainfo(t, path, app_id, version, build):
    checked = subprocess.run([need("appstreamcli"), "validate", "--no-net", path],
                             capture_output=True, text=True, timeout=60)
    t.equal(checked.returncode, 0, "appstreamcli validate --no-net passes:\n" + checked.stdout)
    root = ElementTree.parse(path).getroot()
    t.equal(root.findtext("id"), app_id, "metainfo id")
    t.equal(root.findtext("launchable"), app_id + ".desktop", "metainfo launchable")
    t.equal([r.get("version") for r in root.iter("release")], [version],
            "the metainfo's release is the project's version")
    t.check(root.find("content_rating") is not None, "metainfo has a content rating")
    image = root.find("screenshots/screenshot/image")
    shot_path = os.path.join(build, "packaging", "screenshots", "main-menu.png")
    width, height, _, rows = e2e.read_png(shot_path)
    t.equal((image.get("width"), image.get("height")), (str(width), str(height)),
            "the metainfo gives the screenshot's size")
    return width, rows


def check_screenshot(t, width, rows):
    """The screenshot is the simulator's main menu, each pixel a crisp square."""
    scale = width // 320
    menu = t.run(MENU_SCRIPT, name="menu").shot("menu")
    bad = 0
    for y in range(240):
        for x in range(320):
            block = {rows[y * scale + j][(x * scale + i) * 3:(x * scale + i) * 3 + 3]
                     for j in range(scale) for i in range(scale)}
            if block != {bytes(menu.pixel(x, y))}:
                bad += 1
    t.equal(bad, 0, "the screenshot is the simulator's main menu at %d times" % scale)


def check_command_line(t, game, version):
    # No display at all: help, version and mistakes are answered before any window.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}

    def run(*args):
        return subprocess.run([game] + list(args), env=env, capture_output=True, text=True,
                              timeout=30)

    got = run("--version")
    t.equal((got.returncode, got.stdout), (0, "tallreed %s\n" % version), "--version")
    got = run("--help")
    t.equal(got.returncode, 0, "--help exits 0")
    for word in ("--fullscreen", "--window", "--scale N", "--version", "Controls:", "F11"):
        t.check(word in got.stdout, "--help mentions %s" % word)
    usage = got.stdout.splitlines()[0]
    for args, first in ((["--bogus"], "tallreed: unknown option '--bogus'"),
                        (["--scale"], "tallreed: option '--scale' needs a number"),
                        (["--scale", "0"], "tallreed: '--scale 0': give a whole number from 1 to 16"),
                        (["--scale=2x"], "tallreed: '--scale 2x': give a whole number from 1 to 16"),
                        (["--window", "level2"], "tallreed: unexpected argument 'level2'")):
        got = run(*args)
        t.equal((got.returncode, got.stdout, got.stderr.splitlines()), (2, "", [first, usage]),
                "%s: exit 2, one line and the usage" % " ".join(args))


def main():
    t = e2e.Test()
    build = install_lib.build_dir(t.game)
    version = install_lib.project_version(build)
    dest = os.path.join(t.out_dir, "destdir")
    done = install_lib.install(build, dest, "/" + PREFIX)
    if not t.equal(done.returncode, 0, "cmake --install: " + done.stderr):
        return t.finish()

    files = install_lib.files_under(dest)
    entries = [f for f in files if f.startswith(PREFIX + "/share/applications/")]
    app_id = os.path.basename(entries[0])[:-len(".desktop")] if len(entries) == 1 else "?"
    t.check(re.fullmatch(r"[a-z][a-z0-9]*(\.[a-z][a-z0-9]*)+\.[A-Z][A-Za-z0-9]*", app_id),
            "one desktop entry, named by a reverse-DNS id: %s" % app_id)
    t.equal(files, expected_files(app_id), "the installed files")

    share = os.path.join(dest, PREFIX, "share")
    entry_path = os.path.join(share, "applications", app_id + ".desktop")
    checked = subprocess.run([need("desktop-file-validate"), entry_path], capture_output=True,
                             text=True, timeout=60)
    t.equal((checked.returncode, checked.stdout + checked.stderr), (0, ""),
            "desktop-file-validate passes")
    entry = desktop_entry(entry_path)
    t.equal([entry.get(k) for k in ("Exec", "Icon", "StartupWMClass", "Categories")],
            ["tallreed", app_id, app_id, "Game;ArcadeGame;"], "desktop entry keys")

    width, rows = check_metainfo(t, os.path.join(share, "metainfo", app_id + ".metainfo.xml"),
                                 app_id, version, build)
    check_screenshot(t, width, rows)
    check_icons(t, share, app_id)

    page = os.path.join(share, "man", "man6", "tallreed.6")
    env = dict(os.environ, LC_ALL="C.UTF-8")
    checked = subprocess.run([need("groff"), "-ww", "-z", "-man", page], capture_output=True,
                             text=True, env=env, timeout=60)
    t.equal((checked.returncode, checked.stderr), (0, ""), "groff -ww -z: no warnings")
    with open(page, encoding="utf-8") as f:
        roff = f.read()
    for section in ("SYNOPSIS", "OPTIONS", "CONTROLS", "FILES", "ENVIRONMENT"):
        t.check(".SH " + section in roff, "the manual page has " + section)
    t.check('"tallreed %s"' % version in roff, "the manual page names the version")

    with open(os.path.join(share, "doc", "tallreed", "README.md"), "rb") as f:
        installed_readme = f.read()
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "README.md"), "rb") as f:
        t.check(installed_readme == f.read(), "the README is installed as it is")

    check_command_line(t, os.path.join(dest, PREFIX, "bin", "tallreed"), version)
    t.finish()


if __name__ == "__main__":
    sys.exit(main())
