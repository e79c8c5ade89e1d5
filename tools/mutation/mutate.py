#!/usr/bin/python3
"""Sampled mutation testing: how many small faults planted in src/ does the suite catch?

    tools/mutation/mutate.py [--seed S] [-n N] [-j J] [--build BUILD] [--list] [--only FILE:LINE]

Picks N mutants with seed S (see mutants.py), then for each one: writes it into a
scratch copy of the source tree (BUILD/mutation/tree, never the working tree), rebuilds
that copy incrementally in BUILD/mutation/build, runs ctest with --stop-on-failure (the
mutated subsystem's own tests first), and puts the file back. A mutant is killed when a
test fails or hangs past its timeout (and fails again when run on its own), survives
when every test passes, and does not count when it does not compile. The desktop window
test runs on the real clock and is left out. Survivors that tools/mutation/equivalent.txt lists as
changing nothing observable are shown but left out of the score.
"""

import argparse
import hashlib
import json
import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import mutants  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(HERE))
DEFAULT_SEED = 20261206
BUILD_TIMEOUT = 1800  # for one mutant; the first build of the scratch copy may take longer
# The tests that go first for a mutant of each subsystem: their ctest label and the
# programs they need. Most mutants are killed there, before the rest is even linked.
FIRST = {mutants.PROGRAMS: ("e2e", ["tallreed-sim", "tallreed", "screenshot"]),
         "platform": ("platform", ["test_platform", "test_sdl"])}


# Tests that run on the real clock (the desktop window under Xvfb) fail by themselves on
# a loaded machine; they are left out.
REAL_CLOCK = "^e2e_desktop_window$"


def first_tests(subsystem):
    return FIRST.get(subsystem, (subsystem, ["test_" + subsystem]))


def default_targets(query):
    """The inputs of ninja's `all` from `ninja -t query all`, benchmarks left out. The
    made files that are no programs (the store's screenshot, the icons) count too: the
    install and atlas tests read them."""
    inputs = query.split("  input:", 1)[1].split("  outputs:", 1)[0].split("\n")[1:]
    return [t.strip() for t in inputs
            if t.strip() and not os.path.basename(t.strip()).startswith("bench_")]


def source_files(root):
    out = subprocess.run(["git", "-C", root, "ls-files", "-co", "--exclude-standard", "-z"],
                         check=True, capture_output=True).stdout.decode()
    return sorted(p for p in out.split("\0") if p and os.path.isfile(os.path.join(root, p)))


def sync_tree(root, tree):
    """Makes TREE a copy of ROOT's files, writing only files whose content differs so
    that the scratch build stays incremental. Returns a digest of the whole tree."""
    digest, wanted = hashlib.sha256(), set()
    for rel in source_files(root):
        wanted.add(rel)
        with open(os.path.join(root, rel), "rb") as f:
            data = f.read()
        digest.update(rel.encode() + b"\0" + hashlib.sha256(data).digest())
        target = os.path.join(tree, rel)
        try:
            with open(target, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            os.makedirs(os.path.dirname(target), exist_ok=True)
            with open(target, "wb") as f:
                f.write(data)
            shutil.copymode(os.path.join(root, rel), target)
    for folder, _, files in os.walk(tree):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), tree)
            if rel not in wanted:
                os.remove(os.path.join(folder, name))
    return digest.hexdigest()


class Scratch:
    def __init__(self, args):
        self.dir = os.path.abspath(args.scratch or os.path.join(args.build, "mutation"))
        self.tree = os.path.join(self.dir, "tree")
        self.build = os.path.join(self.dir, "build")
        self.jobs = args.jobs
        self.pack = os.path.abspath(os.path.join(args.build, "pack", "pack.bin"))
        self.timeout = args.timeout
        self._targets = None
        self._ninja = None

    def log(self, name):
        return open(os.path.join(self.dir, name + ".log"), "w", encoding="utf-8")

    def configure(self):
        if not os.path.isfile(self.pack):
            sys.exit("mutate: %s is missing; build the project first (make build)" % self.pack)
        if os.path.isfile(os.path.join(self.build, "build.ninja")):
            return
        # Optimised but quick to compile; leaks are caught as the sanitizer build of CI
        # would catch them, at little cost to the run time.
        subprocess.run(["cmake", "-S", self.tree, "-B", self.build, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=Mutation", "-DCMAKE_CXX_FLAGS_MUTATION=-O1",
                        "-DCMAKE_C_FLAGS_MUTATION=-O1",
                        "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=leak -fuse-ld=lld",
                        "-DTALLREED_PREBUILT_PACK=" + self.pack],
                       check=True, stdout=subprocess.DEVNULL)

    def targets(self):
        """What the tests need: everything the default build makes but the benchmarks."""
        if not self._targets:
            self._targets = default_targets(subprocess.run(
                ["ninja", "-C", self.build, "-t", "query", "all"], check=True,
                capture_output=True, text=True).stdout)
        return self._targets

    def rebuild(self, targets=None, timeout=BUILD_TIMEOUT):
        known = self.targets()
        wanted = [t for t in targets if t in known] if targets else known
        with self.log("build") as log:
            try:
                r = subprocess.run(["ninja", "-C", self.build, "-j", str(self.jobs)] + wanted,
                                   stdout=log, stderr=subprocess.STDOUT, timeout=timeout)
            except subprocess.TimeoutExpired:
                return False
        return r.returncode == 0

    def _ctest(self, arguments, timeout):
        cmd = ["ctest", "-j", str(self.jobs), "--stop-on-failure", "--output-on-failure",
               "--timeout", str(timeout), "-E", REAL_CLOCK] + arguments
        env = dict(os.environ, LSAN_OPTIONS="suppressions=%s" % os.path.join(
            self.tree, "tests", "lsan.supp"))
        with self.log("ctest") as log:
            try:
                r = subprocess.run(cmd, cwd=self.build, stdout=log, stderr=subprocess.STDOUT,
                                   env=env, timeout=timeout * 20)
            except subprocess.TimeoutExpired:
                return False
        return r.returncode == 0

    def ctest(self, selection, timeout=None):
        """True when the tests chosen by SELECTION (ctest arguments) pass. A failure
        counts only when the failed tests fail again on their own: a test that a loaded
        machine made fail once must not pass for a kill."""
        timeout = timeout or self.timeout
        for _ in range(2):
            if self._ctest(selection, timeout):
                return True
            if not self._ctest(["--rerun-failed"], timeout):
                return False
            print("mutate: a test failed once and then passed; running them again", flush=True)
        return True

    def baseline(self, digest):
        """The unmutated suite must pass (once per content of the tree)."""
        stamp = os.path.join(self.dir, "baseline.ok")
        if os.path.isfile(stamp) and open(stamp).read() == digest:
            return
        print("mutate: building the scratch copy and running the unmutated suite")
        if not self.rebuild(timeout=None):
            sys.exit("mutate: the scratch copy does not build; see %s/build.log" % self.dir)
        if not self.ctest([], timeout=max(self.timeout, 1200)):
            sys.exit("mutate: the unmutated suite fails; see %s/ctest.log" % self.dir)
        with open(stamp, "w") as f:
            f.write(digest)

    def compiled(self, relative):
        """Whether the native build compiles this source at all (the browser's backend is
        built by Emscripten and tested by make web-test, which this tool does not run)."""
        if self._ninja is None:
            with open(os.path.join(self.build, "build.ninja"), encoding="utf-8") as f:
                self._ninja = f.read()
        return os.path.join(self.tree, relative) in self._ninja

    def try_mutant(self, m):
        """'killed', 'survived', 'no-compile' or 'not-built'."""
        if not self.compiled(m.path):
            return "not-built"
        path = os.path.join(self.tree, m.path)
        with open(path, encoding="utf-8") as f:
            original = f.read()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join(m.apply(original.split("\n"))))
            label, first = first_tests(mutants.subsystem(m.path))
            if not self.rebuild(first):
                return "no-compile"
            if not self.ctest(["-L", "^%s$" % label]):
                return "killed"
            if not self.rebuild():
                return "no-compile"
            rest = "^(%s|generators)$" % label
            return "survived" if self.ctest(["-LE", rest]) else "killed"
        finally:
            # Written anew (a fresh time stamp), so the next build recompiles it.
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)


def load_equivalents(path):
    """{(file, old, new): reason} from lines "file | old | new | reason"."""
    known = {}
    if path and os.path.isfile(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if line.strip() and not line.startswith("#"):
                    parts = [p.strip() for p in line.split(" | ")]
                    if len(parts) == 4:
                        known[tuple(parts[:3])] = parts[3]
    return known


def equivalence_key(m, line=False):
    """The key of equivalent.txt: the file, or "file:line" for a mutant that changes
    nothing only on that line, with the old and new code."""
    where = "%s:%d" % (m.path, m.line) if line else m.path
    return (where, " ⏎ ".join(s.strip() for s in m.old), " ⏎ ".join(s.strip() for s in m.new))


def equivalence_reason(m, equivalents):
    return equivalents.get(equivalence_key(m, line=True)) or equivalents.get(equivalence_key(m))


def report(results, equivalents):
    """The table per subsystem and the survivors; returns the text."""
    rows, lines = {}, []
    for m, outcome in results:
        row = rows.setdefault(mutants.subsystem(m.path), dict.fromkeys(
            ("killed", "survived", "equivalent", "no-compile"), 0))
        if outcome == "survived" and equivalence_reason(m, equivalents):
            outcome = "equivalent"
        row["no-compile" if outcome == "not-built" else outcome] += 1
    head = "%-10s %7s %9s %11s %12s %7s" % ("subsystem", "killed", "survived", "equivalent",
                                             "not compiled", "score")
    lines += [head, "-" * len(head)]
    total = dict.fromkeys(("killed", "survived", "equivalent", "no-compile"), 0)

    def line(name, r):
        score = "%d %%" % round(100 * r["killed"] / (r["killed"] + r["survived"])) \
            if r["killed"] + r["survived"] else "-"
        return "%-10s %7d %9d %11d %12d %7s" % (name, r["killed"], r["survived"],
                                                 r["equivalent"], r["no-compile"], score)

    for name in sorted(rows):
        lines.append(line(name, rows[name]))
        for k in total:
            total[k] += rows[name][k]
    lines += ["-" * len(head), line("all", total), "", "survivors:"]
    for m, outcome in results:
        if outcome == "survived":
            reason = equivalence_reason(m, equivalents)
            note = "   [equivalent: %s]" % reason if reason else ""
            lines.append("  %s%s" % (m.describe(), note))
    return "\n".join(lines)


def save_results(name, results):
    with open(name + ".json", "w") as f:
        json.dump([dict(vars(m), outcome=o) for m, o in results], f, indent=1, default=list)


def load_results(name):
    """The outcomes save_results wrote, as (mutant, outcome) pairs."""
    with open(name + ".json", encoding="utf-8") as f:
        saved = json.load(f)
    return [(mutants.Mutant(d["path"], d["line"], d["kind"], tuple(d["old"]), tuple(d["new"])),
             d["outcome"]) for d in saved]


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--seed", type=int, default=DEFAULT_SEED)
    p.add_argument("-n", "--count", type=int, default=60, help="mutants to try (60)")
    p.add_argument("-j", "--jobs", type=int, default=2, choices=(1, 2))
    p.add_argument("--build", default=os.path.join(ROOT, "build"),
                   help="the project's build, whose resource pack is reused")
    p.add_argument("--scratch", help="scratch folder (BUILD/mutation)")
    p.add_argument("--timeout", type=int, default=180, help="seconds per test (180)")
    p.add_argument("--only", action="append", default=[], metavar="FILE:LINE",
                   help="try only the picked mutants on these lines")
    p.add_argument("--list", action="store_true", help="print the picks, run nothing")
    p.add_argument("--equivalent", default=os.path.join(HERE, "equivalent.txt"))
    p.add_argument("--report", action="store_true",
                   help="print the last run's table for this seed again, scored with today's "
                        "equivalent.txt; runs nothing")
    args = p.parse_args(argv)

    scratch = Scratch(args)
    if args.report:
        results = load_results(os.path.join(scratch.dir, "result-%d" % args.seed))
        # Runs made before the tool knew which sources the native build compiles.
        results = [(m, "not-built" if o == "survived" and not scratch.compiled(m.path) else o)
                   for m, o in results]
        print(report(results, load_equivalents(args.equivalent)))
        return 0
    os.makedirs(scratch.tree, exist_ok=True)
    digest = sync_tree(ROOT, scratch.tree)
    picked = mutants.pick(mutants.collect(scratch.tree), args.count, args.seed)
    if args.only:
        picked = [m for m in picked if "%s:%d" % (m.path, m.line) in args.only]
    if args.list:
        for m in picked:
            print("%-17s %s" % (m.kind, m.describe()))
        return 0
    scratch.configure()
    scratch.baseline(digest)
    results, started = [], time.time()
    equivalents = load_equivalents(args.equivalent)
    text = "seed %d: no mutants picked" % args.seed
    for i, m in enumerate(picked, 1):
        t0 = time.time()
        outcome = scratch.try_mutant(m)
        results.append((m, outcome))
        print("[%d/%d] %-10s %s (%d s)" % (i, len(picked), outcome, m.describe(),
                                          time.time() - t0), flush=True)
        # Written after every mutant: a long run stopped half-way still leaves its table.
        text = "seed %d, %d of %d mutants, %d min\n%s" % (
            args.seed, i, len(picked), (time.time() - started) / 60,
            report(results, equivalents))
        name = os.path.join(scratch.dir, "result-%d" % args.seed)
        with open(name + ".txt", "w", encoding="utf-8") as f:
            f.write(text + "\n")
        save_results(name, results)
    print("\n" + text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
