#!/usr/bin/env python3
"""Compares the tags file of a lexpaint site with Universal Ctags' tags of the same tree.

Usage: compare_tags.py OURS CTAGS [--show N] [--root TREE]

Both are matched per kind on (file, line, name), over the files that ctags reads as C or C++
(by its file-name patterns) and for the kinds both record; functions only by names that are not
all capitals. With --root, files reached through a
symbolic link under TREE are left out: ctags follows links to folders, lexpaint does not. Prints recall and precision per kind
and overall; with --show N, also N definitions of each kind that only one of them found.

ctags reads some #else and #elif branches and passes over others, so with --root it also counts
the definitions that only lexpaint found in a later branch of an #if (the "later" column), and
gives the precision that counts those as found by both.
"""
import argparse
import fnmatch
import functools
import os
import re
import sys
from collections import defaultdict

KINDS = ["macro", "class", "struct", "union", "enum", "enumerator", "typedef", "function",
         "namespace"]
# ctags --languages=C,C++ --langmap=C++:+.h reads these as C or C++.
CTAGS_PATTERNS = ["*.c", "*.c++", "*.cc", "*.cp", "*.cpp", "*.cxx", "*.h", "*.h++", "*.hh",
                  "*.hp", "*.hpp", "*.hxx", "*.inl", "*.C", "*.H", "*.CPP", "*.CXX"]


def read_by_ctags(path):
    name = path.rsplit("/", 1)[-1]
    return any(fnmatch.fnmatchcase(name, pattern) for pattern in CTAGS_PATTERNS)


def normal_name(name):
    # "operator ==" and "operator==" name the same function.
    return re.sub(r"(?<=\W) | (?=\W)", "", name)


@functools.lru_cache(maxsize=None)
def linked(root, file):
    path = os.path.join(root, file)
    return os.path.realpath(path) != os.path.join(os.path.realpath(root), os.path.normpath(file))


def read_tags(path, root=None):
    """The tags of a file, as {kind: {(file, line, name)}}."""
    tags = defaultdict(set)
    with open(path, encoding="utf-8", errors="surrogateescape") as lines:
        for line in lines:
            if line.startswith("!") or ';"\t' not in line:
                continue
            head, fields = line.rstrip("\n").split(';"\t', 1)
            name, file = head.split("\t")[:2]
            fields = fields.split("\t")
            kind = fields[0][5:] if fields[0].startswith("kind:") else fields[0]
            number = next((f[5:] for f in fields if f.startswith("line:")), None)
            if number is None:  # our own format: the address is the line number
                number = head.split("\t")[2]
            # ctags names anonymous types "__anon" and a number; they have no name to link.
            if root and linked(root, file):
                continue
            # ctags reads a macro called with a body, "TEST_F(Suite, Name) {", as a function.
            if kind == "function" and not re.search("[a-z]", name):
                continue
            if kind in KINDS and read_by_ctags(file) and not name.startswith("__anon"):
                tags[kind].add((file, int(number), normal_name(name)))
    return tags


@functools.lru_cache(maxsize=None)
def later_branch_lines(root, file):
    """The numbers of the lines of `file` that stand in a later branch (#elif, #else) of an #if."""
    lines, branches = set(), []
    with open(os.path.join(root, file), encoding="utf-8", errors="surrogateescape") as source:
        for number, line in enumerate(source, 1):
            directive = re.match(r"\s*#\s*(if|ifdef|ifndef|elif|else|endif)\b", line)
            if directive:
                word = directive.group(1)
                if word.startswith("if"):
                    branches.append(False)
                elif word == "endif":
                    branches = branches[:-1]
                elif branches:
                    branches[-1] = True
            if any(branches):
                lines.add(number)
    return lines


def in_later_branch(root, entries):
    return {(file, line, name) for file, line, name in entries
            if line in later_branch_lines(root, file)}


def ratio(part, whole):
    return 100.0 * part / whole if whole else float("nan")


def print_row(label, counts, with_later):
    theirs, ours, both, later = counts
    row = (f"{label:<12} {theirs:>8} {ours:>9} {both:>8} "
           f"{ratio(both, theirs):>8.1f} {ratio(both, ours):>11.1f}")
    if with_later:
        row += f" {later:>6} {ratio(both + later, ours):>22.1f}"
    print(row)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("ours")
    parser.add_argument("ctags")
    parser.add_argument("--show", type=int, default=0)
    parser.add_argument("--root")
    args = parser.parse_args()
    ours, theirs = read_tags(args.ours, args.root), read_tags(args.ctags, args.root)
    print(f"{'kind':<12} {'ctags':>8} {'lexpaint':>9} {'both':>8} {'recall%':>8} {'precision%':>11}"
          + (f" {'later':>6} {'precision% with later':>22}" if args.root else ""))
    totals = [0, 0, 0, 0]
    for kind in KINDS:
        both = len(ours[kind] & theirs[kind])
        later = len(in_later_branch(args.root, ours[kind] - theirs[kind])) if args.root else 0
        counts = [len(theirs[kind]), len(ours[kind]), both, later]
        totals = [t + c for t, c in zip(totals, counts)]
        print_row(kind, counts, args.root)
    print_row("overall", totals, args.root)
    if args.show:
        for kind in KINDS:
            for label, extra in (("ctags only", theirs[kind] - ours[kind]),
                                 ("lexpaint only", ours[kind] - theirs[kind])):
                for file, line, name in sorted(extra)[:args.show]:
                    print(f"{kind} {label}: {file}:{line} {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
