#!/usr/bin/env python3
"""Checks the name links of a lexpaint site against the scopes Universal Ctags finds.

    local_links.py SITE CTAGS_FILE [--show N]

CTAGS_FILE is the output of
    ctags -R --languages=C,C++ --langmap=C++:+.h --kinds-C=+lz --kinds-C++=+lzZ --fields=+neKZ
run in the source folder of SITE. Two figures:

- Local names: every parameter, template parameter and local variable that ctags lists has a
  scope, from its own line to the end of the innermost function, class, struct or union around
  it. Each occurrence of its name in that scope, unless it follows '.', '->' or '::', should link
  nowhere, or to its own declaration's line on the same page. Counted: those occurrences that
  link anywhere else.
- Members: every link after '.' or '->' should lead to definitions that ctags places in a class,
  struct or union (its scope field), whether in the class body or outside it ("A::f"). Counted:
  the links that lead to a definition that ctags places elsewhere, or does not list.

A definition's link to the uses of its name leads to no definition, and is passed over.
"""

import argparse
import collections
import html
import os
import re
import sys

LINE = re.compile(r'<a class="Line" id="L(\d+)" href="#L\d+"[^>]*></a>')
TOKEN = re.compile(
    r'<a href="([^"]*)"><span class="Identifier">([^<]*)</span></a>'
    r'|<span class="(\w+)">([^<]*)</span>'
    r'|<a [^>]*>|</a>'
    r'|([^<]+)')
SCOPE_KINDS = {"function", "class", "struct", "union"}
LOCAL_KINDS = {"local", "parameter", "tparam"}
CLASS_SCOPES = ("class:", "struct:", "union:")


def read_ctags(path):
    """By file: the local names (name, first, last) and, by (line, name), the scope fields of the
    other tags."""
    scopes = collections.defaultdict(list)
    locals_ = collections.defaultdict(list)
    tags = collections.defaultdict(dict)
    with open(path, encoding="utf-8", errors="replace") as f:
        for row in f:
            if row.startswith("!"):
                continue
            parts = row.rstrip("\n").split("\t")
            name, file = parts[0], os.path.normpath(parts[1])
            fields = {}
            kind = None
            for p in parts[3:]:
                if ":" in p:
                    key, _, value = p.partition(":")
                    fields[key] = value
                elif kind is None:
                    kind = p
            if "line" not in fields:
                continue
            line = int(fields["line"])
            if kind in LOCAL_KINDS:
                locals_[file].append((name, line))
            else:
                tags[file][(line, name)] = fields.get("scope", "")
                if kind in SCOPE_KINDS and "end" in fields:
                    scopes[file].append((line, int(fields["end"])))
    extents = {}
    for file, names in locals_.items():
        spans = sorted(scopes.get(file, []))
        result = []
        for name, line in names:
            last = line
            best = -1
            for first, end in spans:
                if first > line:
                    break
                if end >= line and first > best:
                    best, last = first, end
            result.append((name, line, last))
        extents[file] = result
    return extents, tags


def page_tokens(page_path):
    """By line number: the tokens of a page's body as (kind, text, href)."""
    lines = {}
    with open(page_path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    start = text.find("<pre")
    end = text.rfind("</pre>")
    for raw in text[start:end].split("\n"):
        m = LINE.search(raw)
        if not m:
            continue
        number = int(m.group(1))
        tokens = []
        for t in TOKEN.finditer(raw[m.end():]):
            if t.group(2) is not None:
                tokens.append(("Identifier", t.group(2), t.group(1)))
            elif t.group(3) is not None:
                tokens.append((t.group(3), html.unescape(t.group(4)), None))
            elif t.group(5) is not None and t.group(5).strip():
                tokens.append(("Text", html.unescape(t.group(5)), None))
        lines[number] = tokens
    return lines


def after_access(tokens, i):
    """'.', '->' or '::' if the token at i follows one directly, else None."""
    if i == 0:
        return None
    prev = tokens[i - 1]
    if prev[0] != "Operator":
        return None
    op = prev[1].rstrip()
    if op.endswith("::"):
        return "::"
    if op.endswith("->"):
        return "->"
    if op.endswith(".") and not op.endswith(".."):
        return "."
    return None


class Site:
    def __init__(self, root):
        self.root = root
        self.lists = {}

    def targets(self, page_rel, href):
        """The (file, line) pairs a link from page_rel leads to."""
        path, _, fragment = href.partition("#")
        folder = os.path.dirname(page_rel)
        target = os.path.normpath(os.path.join(folder, path)) if path else page_rel
        if fragment.startswith("L") and fragment[1:].isdigit():
            return [(target[:-len(".html")], int(fragment[1:]))]
        return self.listed(target, html.unescape(fragment))

    def listed(self, list_rel, section):
        if list_rel not in self.lists:
            sections = {}
            with open(os.path.join(self.root, list_rel), encoding="utf-8") as f:
                text = f.read()
            for m in re.finditer(r'<section id="([^"]*)">(.*?)</section>', text, re.S):
                rows = re.findall(r'<tr><td><a href="([^"#]*)#L(\d+)">', m.group(2))
                folder = os.path.dirname(list_rel)
                sections[html.unescape(m.group(1))] = [
                    (os.path.normpath(os.path.join(folder, h))[:-len(".html")], int(n))
                    for h, n in rows]
            self.lists[list_rel] = sections
        return self.lists[list_rel].get(section, [])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("site")
    parser.add_argument("ctags")
    parser.add_argument("--show", type=int, default=0)
    args = parser.parse_args()
    extents, tags = read_ctags(args.ctags)
    site = Site(args.site)

    links = 0          # identifier links on the pages of files ctags read
    in_scope = 0       # occurrences of local names in their scopes, not after . -> ::
    in_scope_linked = 0
    outside = []       # of those, links that lead elsewhere
    member_links = 0
    member_bad = []
    member_unknown = []  # links to a definition that ctags does not list

    files = sorted(set(tags) | set(extents))
    for file in files:
        page_rel = file + ".html"
        page_path = os.path.join(args.site, page_rel)
        if not os.path.exists(page_path):
            continue
        lines = page_tokens(page_path)
        by_name = collections.defaultdict(list)
        for name, first, last in extents.get(file, []):
            by_name[name].append((first, last))
        for number, tokens in lines.items():
            for i, (kind, text, href) in enumerate(tokens):
                if kind != "Identifier":
                    continue
                if href and "uses/" in href:
                    href = None  # a definition, which links to its name's uses
                access = after_access(tokens, i)
                if href:
                    links += 1
                if access in (".", "->") and href:
                    member_links += 1
                    for tfile, tline in site.targets(page_rel, href):
                        scope = tags.get(tfile, {}).get((tline, text))
                        if scope is None:
                            member_unknown.append((file, number, text, href, tfile, tline, scope))
                            break
                        if not scope.startswith(CLASS_SCOPES):
                            member_bad.append((file, number, text, href, tfile, tline, scope))
                            break
                    continue
                if access is not None:
                    continue
                spans = [s for s in by_name.get(text, ()) if s[0] <= number <= s[1]]
                if not spans:
                    continue
                in_scope += 1
                if not href:
                    continue
                in_scope_linked += 1
                own = any(tfile == file and any(s[0] <= tline <= s[1] for s in spans)
                          for tfile, tline in site.targets(page_rel, href))
                if not own:
                    outside.append((file, number, text, href))

    def pct(a, b):
        return 100.0 * a / b if b else 0.0

    print("identifier links: %d" % links)
    print("local names in their scopes (not after . -> ::): %d occurrences, %d of them links" %
          (in_scope, in_scope_linked))
    print("  linked outside their scope: %d = %.2f%% of all links, %.2f%% of the occurrences" %
          (len(outside), pct(len(outside), links), pct(len(outside), in_scope)))
    print("links after . or ->: %d" % member_links)
    print("  to a definition ctags places outside any class, struct or union: %d = %.2f%%" %
          (len(member_bad), pct(len(member_bad), member_links)))
    print("  to a definition ctags does not list: %d = %.2f%%" %
          (len(member_unknown), pct(len(member_unknown), member_links)))
    for row in outside[:args.show]:
        print("  local   %s:%d %s -> %s" % row)
    for row in member_bad[:args.show] + member_unknown[:args.show]:
        print("  member  %s:%d %s -> %s (%s:%d, ctags scope %r)" % row)


if __name__ == "__main__":
    sys.exit(main())
