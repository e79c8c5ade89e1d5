"""Helpers for tests of the installed program: installing the build into a DESTDIR."""

import os
import re
import shutil
import subprocess


def build_dir(game):
    """The build folder, which holds the game it built."""
    return os.path.dirname(os.path.abspath(game))


def project_version(build):
    """The version CMake was configured with: the one every other place must show."""
    with open(os.path.join(build, "CMakeCache.txt"), encoding="utf-8") as f:
        found = re.search(r"^CMAKE_PROJECT_VERSION:STATIC=(.*)$", f.read(), re.M)
    return found.group(1) if found else None


def install(build, dest, prefix):
    """`cmake --install` of BUILD with PREFIX into the fresh folder DEST; returns the
    completed process."""
    shutil.rmtree(dest, ignore_errors=True)
    os.makedirs(dest)
    env = dict(os.environ, DESTDIR=dest)
    return subprocess.run(["cmake", "--install", build, "--prefix", prefix], env=env,
                          capture_output=True, text=True, timeout=300)


def files_under(root):
    """Every file below ROOT, as sorted paths relative to it."""
    found = []
    for folder, _, names in os.walk(root):
        for name in names:
            found.append(os.path.relpath(os.path.join(folder, name), root))
    return sorted(found)
