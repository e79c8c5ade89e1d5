#!/usr/bin/python3
"""Checks for the mutation tool: what the operators change (and that the changes still
compile), deterministic picks per seed, quotas by subsystem size, the scratch copy.

Run: /usr/bin/python3 tools/mutation/test_mutants.py   (exit status 1 on any failure)
"""

import collections
import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import mutants  # noqa: E402
import mutate  # noqa: E402

# Formatted as the project formats its sources.
SAMPLE = """\
#include <vector>

namespace {
constexpr int kLimit = 0x1F;  // a < b and x = 1 in a comment
}  // namespace

struct Box {
    int count = 0;
    int* cells = nullptr;
    void add(int v) { count += v; }
    void reset() { count = 0; }
};

int step(Box& box, const std::vector<int>& values, const char* name) {
    int total = 0;
    for (int v : values) {
        if (v >= kLimit) total += v * 2;
        box.add(v - 1);
    }
    box.reset();
    box.add(total);
    if (total != 0 && name[0] == 'a') box.count = total % 3;
    /* total = total + 1; inside a block comment */
    const char* text = "x == 2";
    return total > 3 ? total << 1 : (text[0] | 4);
}
"""


def sample_mutants():
    found = mutants.file_mutations("src/game/sample.cpp", SAMPLE)
    return [m for line in sorted(found) for m in found[line]]


def compiles(source):
    r = subprocess.run(["g++", "-std=c++20", "-fsyntax-only", "-Wall", "-Wextra", "-Werror",
                        "-x", "c++", "-"], input=source, capture_output=True, text=True)
    return r.returncode == 0, r.stderr


class Operators(unittest.TestCase):
    def test_each_kind_changes_only_code(self):
        found = sample_mutants()
        kinds = collections.Counter(m.kind for m in found)
        self.assertEqual(set(kinds), {"comparison", "constant", "operator", "delete-call",
                                      "delete-assignment", "swap-calls"})
        changed = {m.line for m in found}
        lines = SAMPLE.split("\n")
        for number, text in enumerate(lines, 1):
            if text.startswith("#include") or "block comment" in text or "vector<int>" in text:
                self.assertNotIn(number, changed, text)
        for m in found:
            if "//" in m.old[0]:  # only the constant before the comment changes
                self.assertEqual((m.kind, m.new[0].split("//")[1]),
                                 ("constant", " a < b and x = 1 in a comment"))
        news = {(m.line, m.new) for m in found}
        self.assertIn((17, ("        if (v < kLimit) total += v * 2;",)), news)
        self.assertIn((17, ("        if (v >= kLimit) {}",)), news)
        self.assertIn((4, ("constexpr int kLimit = 0x20;  // a < b and x = 1 in a comment",)),
                      news)
        self.assertIn((20, ("    box.add(total);", "    box.reset();")), news)
        text_line = lines.index('    const char* text = "x == 2";') + 1
        self.assertNotIn(text_line, changed, "a string is not code")
        # Pointer and reference declarations are no products or bit operations.
        self.assertFalse([m for m in found if m.line in (9, 14) and m.kind == "operator"])

    def test_every_mutant_of_the_sample_compiles(self):
        # All mutants in one translation unit, each in a namespace of its own: one
        # compiler run instead of one per mutant.
        lines = SAMPLE.split("\n")
        found = sample_mutants()
        unit, owner = [lines[0]], {}
        for i, m in enumerate(found):
            unit.append("namespace m%d {" % i)
            owner.update({n: m for n in range(len(unit) + 1, len(unit) + len(lines))})
            unit += m.apply(lines)[1:] + ["}"]
        ok, errors = compiles("\n".join(unit))
        bad = {owner[int(n)].describe() for n in re.findall(r"<stdin>:(\d+):", errors)}
        self.assertTrue(ok, "\n".join(sorted(bad)) + "\n" + errors)

    def test_a_stale_mutant_is_refused(self):
        m = sample_mutants()[0]
        lines = SAMPLE.split("\n")
        lines[m.line - 1] += " "
        self.assertRaises(ValueError, m.apply, lines)


class Selection(unittest.TestCase):
    def setUp(self):
        entries = lambda n, path: [(path, i, [mutants.Mutant(path, i, "constant", ("1",),
                                                             ("2",))]) for i in range(n)]
        self.tree = {"game": entries(300, "src/game/a.cpp"),
                     "shell": entries(100, "src/shell/b.cpp"),
                     "audio": entries(3, "src/audio/c.cpp")}

    def test_same_seed_same_mutants(self):
        a = mutants.pick(self.tree, 40, 7)
        self.assertEqual(a, mutants.pick(self.tree, 40, 7))
        self.assertNotEqual(a, mutants.pick(self.tree, 40, 8))

    def test_quotas_follow_subsystem_size(self):
        picked = collections.Counter(mutants.subsystem(m.path)
                                     for m in mutants.pick(self.tree, 40, 7))
        self.assertEqual(picked, {"game": 29, "shell": 10, "audio": 1})
        self.assertEqual(mutants.quotas({"a": 5, "b": 5, "c": 0}, 3), {"a": 2, "b": 1, "c": 0})
        self.assertEqual(sum(mutants.quotas({"a": 1000, "b": 1, "c": 1}, 10).values()), 10)
        self.assertEqual(mutants.quotas({"a": 1000, "b": 1, "c": 1}, 10)["c"], 1)
        # One mutant per line: a small subsystem never gets more than it has lines.
        many = mutants.pick(self.tree, 400, 1)
        self.assertEqual(collections.Counter(mutants.subsystem(m.path) for m in many)["audio"],
                         3)
        self.assertEqual(len({(m.path, m.line) for m in many}), len(many))

    def test_subsystems_of_paths(self):
        self.assertEqual([mutants.subsystem(p) for p in (
            "src/game/game.cpp", "src/platform/sdl/desktop_window.cpp", "src/sim/sim_main.cpp",
            "src/main.cpp")], ["game", "platform", "programs", "programs"])


class ScratchCopy(unittest.TestCase):
    def test_only_changed_files_are_written_and_stale_ones_go(self):
        with tempfile.TemporaryDirectory() as tmp:
            root, tree = os.path.join(tmp, "root"), os.path.join(tmp, "tree")
            os.makedirs(os.path.join(root, "src"))
            for name, text in (("src/a.cpp", "int a;\n"), ("src/b.cpp", "int b;\n")):
                with open(os.path.join(root, name), "w") as f:
                    f.write(text)
            subprocess.run(["git", "init", "-q", root], check=True)
            first = mutate.sync_tree(root, tree)
            kept = os.path.join(tree, "src", "a.cpp")
            old = os.stat(kept).st_mtime_ns
            os.makedirs(os.path.join(tree, "src", "old"))
            with open(os.path.join(tree, "src", "old", "gone.cpp"), "w") as f:
                f.write("x")
            time.sleep(0.01)
            with open(os.path.join(root, "src", "b.cpp"), "w") as f:
                f.write("int b = 1;\n")
            second = mutate.sync_tree(root, tree)
            self.assertNotEqual(first, second)
            self.assertEqual(os.stat(kept).st_mtime_ns, old, "an unchanged file is not touched")
            with open(os.path.join(tree, "src", "b.cpp")) as f:
                self.assertEqual(f.read(), "int b = 1;\n")
            self.assertFalse(os.path.exists(os.path.join(tree, "src", "old", "gone.cpp")))


    def test_the_scratch_build_makes_what_the_tests_read_but_no_benchmarks(self):
        # A build of only the programs once left the store's screenshot unmade, and the
        # unmutated suite failed on it.
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "build.ninja"), "w") as f:
                f.write("rule cc\n  command = touch $out\n"
                        "build test_game: cc\nbuild bench/bench_round: cc\n"
                        "build shot.png: cc test_game\nbuild screenshot: phony shot.png\n"
                        "build all: phony test_game bench/bench_round screenshot\n"
                        "default all\n")
            query = subprocess.run(["ninja", "-C", tmp, "-t", "query", "all"], check=True,
                                   capture_output=True, text=True).stdout
            self.assertEqual(mutate.default_targets(query), ["test_game", "screenshot"])

class Report(unittest.TestCase):
    def test_equivalent_survivors_leave_the_score(self):
        m = lambda line, path="src/game/a.cpp": mutants.Mutant(path, line, "constant",
                                                               ("x = 1;",), ("x = 2;",))
        same = mutants.Mutant("src/game/a.cpp", 9, "constant", ("y = 1;",), ("y = 2;",))
        # Listed for line 4 only: the same change on another line still counts.
        here = mutants.Mutant("src/game/a.cpp", 4, "constant", ("z = 1;",), ("z = 2;",))
        there = mutants.Mutant("src/game/a.cpp", 8, "constant", ("z = 1;",), ("z = 2;",))
        results = [(m(1), "killed"), (m(2), "killed"), (m(3), "killed"), (same, "survived"),
                   (m(5), "survived"), (m(6), "no-compile"), (m(7, "src/shell/v.cpp"), "killed"),
                   (here, "survived"), (there, "survived"),
                   (m(3, "src/platform/web/w.cpp"), "not-built")]
        text = mutate.report(results, {mutate.equivalence_key(same): "same picture",
                                       mutate.equivalence_key(here, line=True): "redrawn"})
        rows = {line.split()[0]: line.split()[1:] for line in text.split("\n")
                if line[:1].isalpha() and not line.startswith("survivors")}
        self.assertEqual(rows["game"], ["3", "2", "2", "1", "60", "%"])
        self.assertEqual(rows["all"], ["4", "2", "2", "2", "67", "%"])
        self.assertEqual(rows["platform"], ["0", "0", "0", "1", "-"])
        self.assertIn("[equivalent: same picture]", text)
        # A saved run reads back to the same table, so it can be scored again later.
        with tempfile.TemporaryDirectory() as tmp:
            mutate.save_results(os.path.join(tmp, "r"), results)
            again = mutate.load_results(os.path.join(tmp, "r"))
        self.assertEqual(again, results)


if __name__ == "__main__":
    unittest.main()
