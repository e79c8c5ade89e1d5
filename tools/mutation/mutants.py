"""Finding and picking mutants in the C++ sources.

A mutant is one small change of one line (or of two neighbouring lines) that a careless
edit could make: a flipped comparison, a constant off by one, a swapped operator, a
deleted call or assignment, two neighbouring calls swapped. The sources are formatted
by clang-format, so binary operators always stand between spaces; that is what tells a
comparison from a template bracket and a product from a pointer declaration.
"""

import os
import random
import re
from dataclasses import dataclass

# Subsystems are the folders of src/; the two programs' entry code counts as one.
PROGRAMS = "programs"


@dataclass(frozen=True)
class Mutant:
    path: str  # relative to the source root, e.g. "src/game/zigzag_path.cpp"
    line: int  # 1-based number of the first changed line
    kind: str  # comparison, constant, operator, delete-call, delete-assignment, swap-calls
    old: tuple  # the original lines (one, or two for a swap), without newlines
    new: tuple  # what replaces them

    def describe(self):
        def text(lines):
            return " ⏎ ".join(s.strip() for s in lines) or "(nothing)"

        return "%s:%d %s → %s" % (self.path, self.line, text(self.old), text(self.new))

    def apply(self, lines):
        """The file's lines (without newlines) with this mutant in place."""
        start = self.line - 1
        if tuple(lines[start:start + len(self.old)]) != self.old:
            raise ValueError("%s no longer matches the source" % self.describe())
        return lines[:start] + list(self.new) + lines[start + len(self.old):]


def subsystem(path):
    parts = path.split("/")
    if len(parts) < 3 or parts[1] == "sim":
        return PROGRAMS
    return parts[1]


def mask_code(lines):
    """Each line with comments, string and character literal contents blanked (same
    length), so that operators inside them are never taken for code."""
    out, in_block = [], False
    for line in lines:
        chars, i, n = list(line), 0, len(line)
        while i < n:
            if in_block:
                end = line.find("*/", i)
                stop = n if end < 0 else end + 2
                chars[i:stop] = " " * (stop - i)
                in_block, i = end < 0, stop
            elif line.startswith("//", i):
                chars[i:] = " " * (n - i)
                break
            elif line.startswith("/*", i):
                in_block = True
            elif line[i] in "\"'":
                quote, j = line[i], i + 1
                while j < n and line[j] != quote:
                    j += 2 if line[j] == "\\" else 1
                chars[i + 1:min(j, n)] = " " * (min(j, n) - i - 1)
                i = j + 1
            else:
                i += 1
        out.append("".join(chars))
    return out


COMPARISONS = {"<": (">=", "<="), "<=": (">", "<"), ">": ("<=", ">="), ">=": ("<", ">"),
               "==": ("!=",), "!=": ("==",)}
OPERATORS = {"+": "-", "-": "+", "*": "/", "/": "*", "%": "*", "&&": "||", "||": "&&",
             "&": "|", "|": "&", "^": "|", "<<": ">>", ">>": "<<", "+=": "-=", "-=": "+=",
             "*=": "/=", "/=": "*=", "|=": "&=", "&=": "|=", "<<=": ">>=", ">>=": "<<="}
SPACED = re.compile(r"(?<= )(<<=|>>=|<=|>=|==|!=|&&|\|\||<<|>>|\+=|-=|\*=|/=|\|=|&=|"
                    r"[<>+\-*/%&|^])(?= )")
NUMBER = re.compile(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlL]*)(?![\w.'])")
LVALUE = r"\*?[A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*|\[[^\]]*\])*"
CALLEE = r"(?:::)?[A-Za-z_][\w:]*(?:(?:\.|->)[A-Za-z_]\w*|\[[^\]]*\]|\(\))*(?:<[\w:, *]*>)?"
# An optional one-line guard in front of a statement: "if (...) " or "else ".
GUARD = r"((?:(?:else )?if \(.*\)|else) )?"
ASSIGNMENT = re.compile(r"^(\s*)" + GUARD + LVALUE + r" (?:[-+*/%|&^]|<<|>>)?= .*;$")
CALL = re.compile(r"^(\s*)" + GUARD + r"(?:" + CALLEE + r"\(.*\)|delete(?:\[\])? [\w.\->\[\]]+);$")
KEYWORDS = {"return", "if", "for", "while", "switch", "case", "else", "do", "sizeof",
            "static_cast", "reinterpret_cast", "const_cast", "static_assert", "throw"}
# Lines that are declarations or structure, never logic worth mutating.
SKIPPED = re.compile(r"^\s*(#|using |namespace |template|extern |static_assert|friend |"
                     r"(public|private|protected):)")


def _balanced(text):
    depth = 0
    for ch in text:
        depth += {"(": 1, ")": -1}.get(ch, 0)
        if depth < 0:
            return False
    return depth == 0


def _statement_start(masked, index):
    """True when line INDEX begins a statement (the code before it ends one)."""
    for j in range(index - 1, -1, -1):
        prev = masked[j].rstrip()
        if prev:
            return prev.endswith((";", "{", "}", ":", ")")) or prev.strip() == "else"
    return True


def _first_word(code):
    m = re.match(r"\s*(?:(?:else )?if \(.*\) |else )?([A-Za-z_]\w*)", code)
    return m.group(1) if m else ""


def _statement(masked, index, pattern):
    """The indentation and guard of line INDEX when it is one whole statement matching
    PATTERN, else None."""
    code = masked[index].rstrip()
    m = pattern.match(code)
    if not m or not _balanced(code) or not _statement_start(masked, index):
        return None
    if _first_word(code) in KEYWORDS - {"if", "else"}:
        return None
    return m.group(1), m.group(2) or ""


def _constant(text, sign):
    digits, suffix = text
    if digits.lower().startswith("0x"):
        value = int(digits, 16) + sign
        body = "%X" % abs(value) if digits[2:].upper() == digits[2:] else "%x" % abs(value)
        return ("-" if value < 0 else "") + digits[:2] + body + suffix
    return str(int(digits) + sign) + suffix


def line_mutations(path, lines, masked, index):
    """Every mutant of line INDEX (0-based) of a file."""
    code = masked[index]
    if not code.strip() or SKIPPED.match(code) or code.rstrip() in ("{", "}", "};"):
        return []
    if re.match(r"^[A-Za-z_].*\)\s*(const\s*)?(override\s*)?\{?$", code):
        return []  # a function's header
    line, found = lines[index], []

    def replace(start, end, text, kind):
        found.append(Mutant(path, index + 1, kind, (line,), (line[:start] + text + line[end:],)))

    for m in SPACED.finditer(code):
        op = m.group(1)
        if op in COMPARISONS:
            for new in COMPARISONS[op]:
                replace(m.start(), m.end(), new, "comparison")
        elif op in OPERATORS and not (op in ("<<", ">>") and '"' in code):
            replace(m.start(), m.end(), OPERATORS[op], "operator")
    for m in NUMBER.finditer(code):
        for sign in (1, -1):
            if sign < 0 and int(m.group(1), 0 if m.group(1)[:2].lower() == "0x" else 10) == 0:
                continue  # -1 for an unsigned zero would only be refused by the compiler
            replace(m.start(), m.end(), _constant(m.groups(), sign), "constant")
    for pattern, kind in ((ASSIGNMENT, "delete-assignment"), (CALL, "delete-call")):
        stmt = _statement(masked, index, pattern)
        if stmt:
            indent, guard = stmt
            # An empty block rather than nothing keeps a guard or a braceless if whole.
            found.append(Mutant(path, index + 1, kind, (line,), (indent + guard + "{}",)))
    if index + 1 < len(lines):
        first, second = _statement(masked, index, CALL), _statement(masked, index + 1, CALL)
        if (first and second and first == (first[0], "") and second == (first[0], "")
                and lines[index].strip() != lines[index + 1].strip()):
            found.append(Mutant(path, index + 1, "swap-calls", (line, lines[index + 1]),
                                (lines[index + 1], line)))
    return found


def file_mutations(path, text):
    """{line number: [mutants]} for every logic line of one source file."""
    lines = text.split("\n")
    masked = mask_code(lines)
    result = {}
    for i in range(len(lines)):
        found = line_mutations(path, lines, masked, i)
        if found:
            result[i + 1] = found
    return result


def collect(root):
    """{subsystem: [(path, line, [mutants])]} for the .cpp files under ROOT/src, in a
    stable order."""
    by_subsystem = {}
    src = os.path.join(root, "src")
    for folder, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(".cpp"):
                continue
            full = os.path.join(folder, name)
            path = os.path.relpath(full, root).replace(os.sep, "/")
            with open(full, encoding="utf-8") as f:
                found = file_mutations(path, f.read())
            entries = by_subsystem.setdefault(subsystem(path), [])
            entries.extend((path, n, found[n]) for n in sorted(found))
    return by_subsystem


def quotas(sizes, count):
    """COUNT split over the subsystems in proportion to SIZES (largest remainders), at
    least one each while COUNT allows."""
    total = sum(sizes.values())
    if not total or count <= 0:
        return {name: 0 for name in sizes}
    exact = {name: count * size / total for name, size in sizes.items()}
    result = {name: int(v) for name, v in exact.items()}
    order = sorted(sizes, key=lambda name: (-(exact[name] - result[name]), name))
    for name in order[:count - sum(result.values())]:
        result[name] += 1
    for name in sorted(sizes, key=lambda name: sizes[name]):
        if result[name] == 0 and sizes[name]:
            donor = max(result, key=lambda d: (result[d], d))
            if result[donor] > 1:
                result[donor] -= 1
                result[name] += 1
    return result


def pick(by_subsystem, count, seed):
    """COUNT mutants, one per line, on lines drawn at random with SEED, per subsystem in
    proportion to its number of logic lines."""
    rng = random.Random(seed)
    share = quotas({name: len(lines) for name, lines in by_subsystem.items()}, count)
    chosen = []
    for name in sorted(by_subsystem):
        entries = by_subsystem[name]
        for path, line, found in rng.sample(entries, min(share[name], len(entries))):
            # The kind first, so that lines full of numbers do not make every mutant a
            # constant.
            kind = rng.choice(sorted({m.kind for m in found}))
            chosen.append(rng.choice([m for m in found if m.kind == kind]))
    return sorted(chosen, key=lambda m: (m.path, m.line))
