#!/usr/bin/python3
"""Draw every picture of the game into DIR/<id>.png (device orientation, RGB565 colours).

    gen_art.py --out DIR [--only ID[,ID...]] [--jobs N]

Pictures come from provider modules; each has pictures() -> {id: function returning
the device-orientation RGB565 array}.  Every result is checked against the catalogue
(size, key colour in place) and a file is only rewritten when its bytes change, so the
build's cache sees stable timestamps.  Any missing, surplus or malformed picture makes
the run fail.
"""
import argparse
import importlib
import multiprocessing
import os
import sys
import time

# Run from the build: keep the source tree free of bytecode caches.
sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
if HERE not in sys.path:
    sys.path.insert(0, HERE)

import numpy as np  # noqa: E402

import catalogue  # noqa: E402
import common  # noqa: E402

# Round art, fonts, then the screens drawn by the interface modules.
PROVIDERS = ("scene_art", "sprite_art", "font_art", "ui_art", "screen_art")


class ArtError(Exception):
    pass


def load_providers():
    """Merge the providers' id tables; an id offered twice is an error."""
    table = {}
    owner = {}
    for name in PROVIDERS:
        try:
            mod = importlib.import_module(name)
        except ModuleNotFoundError as e:
            if e.name == name:
                continue          # that module has not been written yet
            raise
        for pid, fn in mod.pictures().items():
            if pid in table:
                raise ArtError("picture %d offered by both %s and %s" % (pid, owner[pid], name))
            table[pid] = fn
            owner[pid] = name
    return table, owner


def check_picture(pid, arr):
    """Problems with a produced array, as a list of strings (empty when fine)."""
    problems = []
    if pid not in catalogue.CATALOGUE:
        return ["picture %d is not in the catalogue" % pid]
    w, h, mode = catalogue.CATALOGUE[pid]
    if not isinstance(arr, np.ndarray) or arr.ndim != 2:
        return ["picture %d: not a 2-D array" % pid]
    if arr.shape != (h, w):
        return ["picture %d: device size %d x %d, catalogue says %d x %d"
                % (pid, arr.shape[1], arr.shape[0], w, h)]
    if arr.min() < 0 or arr.max() > 0xFFFF:
        problems.append("picture %d: values outside RGB565" % pid)
    if mode == "keyed":
        key = arr[0, 0]
        n = int(np.count_nonzero(arr == key))
        if n == arr.size:
            problems.append("picture %d: keyed but nothing visible" % pid)
    elif mode == "upright-black":
        if not np.any(arr == 0):
            problems.append("picture %d: no black (transparent) area" % pid)
    return problems


def write_if_changed(arr, path):
    """Write the PNG; keep the old file (and its timestamp) when the bytes match."""
    tmp = path + ".new.png"
    common.save_png(arr, tmp)
    with open(tmp, "rb") as f:
        new = f.read()
    old = None
    if os.path.exists(path):
        with open(path, "rb") as f:
            old = f.read()
    if old == new:
        os.remove(tmp)
        return False
    os.replace(tmp, path)
    return True


_table = None


def _work(job):
    pid, out = job
    global _table
    if _table is None:
        _table, _ = load_providers()
    t0 = time.time()
    try:
        arr = np.asarray(_table[pid]())
    except Exception as e:  # report which picture failed, then fail the run
        return pid, ["picture %d: drawing failed: %r" % (pid, e)], False, 0.0
    problems = check_picture(pid, arr)
    changed = False
    if not problems:
        changed = write_if_changed(arr.astype(np.int32), os.path.join(out, "%d.png" % pid))
    return pid, problems, changed, time.time() - t0


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", required=True, help="output directory")
    ap.add_argument("--only", help="comma-separated picture ids")
    ap.add_argument("--jobs", type=int, default=2)
    ap.add_argument("--verbose", action="store_true")
    ap.add_argument("--version", help="the game's version, for the about box")
    args = ap.parse_args(argv)
    if args.version:
        common.VERSION = args.version

    table, _ = load_providers()
    errors = []
    surplus = sorted(set(table) - set(catalogue.CATALOGUE))
    for pid in surplus:
        errors.append("picture %d is produced but not in the catalogue" % pid)
    if args.only:
        wanted = [int(x) for x in args.only.split(",") if x.strip()]
        for pid in wanted:
            if pid not in catalogue.CATALOGUE:
                errors.append("picture %d is not in the catalogue" % pid)
    else:
        wanted = catalogue.ids()
    missing = [pid for pid in wanted if pid not in table]
    for pid in missing:
        errors.append("picture %d: no provider draws it" % pid)
    todo = [pid for pid in wanted if pid in table]

    os.makedirs(args.out, exist_ok=True)
    # Big pictures first so the two workers finish together.
    todo.sort(key=lambda p: -catalogue.CATALOGUE[p][0] * catalogue.CATALOGUE[p][1]
              if p in catalogue.CATALOGUE else 0)
    jobs = [(pid, args.out) for pid in todo if pid in catalogue.CATALOGUE]
    t0 = time.time()
    written = 0
    if args.jobs > 1 and len(jobs) > 1:
        ctx = multiprocessing.get_context("fork")
        with ctx.Pool(args.jobs) as pool:
            results = list(pool.imap_unordered(_work, jobs, chunksize=1))
    else:
        results = [_work(j) for j in jobs]
    for pid, problems, changed, dt in sorted(results):
        errors.extend(problems)
        written += changed
        if args.verbose:
            print("%4d %6.2fs%s" % (pid, dt, " written" if changed else ""))
    for e in errors:
        print("gen_art: " + e, file=sys.stderr)
    print("gen_art: %d pictures, %d rewritten, %.1fs%s"
          % (len(results), written, time.time() - t0,
             (", %d errors" % len(errors)) if errors else ""))
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
