#!/usr/bin/env python3
"""Compares the uses that a lexpaint site lists with the links its pages make.

    compare_uses.py SITE [USES_FOLDER]

A use is a place (page, line) where an identifier links to a name; a link into USES_FOLDER
(default "uses") is a definition's link to its uses, and no use. Prints, for the whole site, the
names, the uses the pages make and the uses listed, then every difference (at most 20 of each
kind), and the listed lines whose text does not hold the name (a line cut before it). Exits 1 if
the two differ.
"""
import html
import os
import re
import sys
from urllib.parse import unquote

ANCHOR = re.compile(r'<a class="Line" id="L([0-9]+)"')
LINK = re.compile(r'<a href="([^"]*)"><span class="Identifier">([^<]*)</span>')
SECTION = re.compile(r'<section id="([^"]*)">')
FILE = re.compile(r'<th colspan="2" scope="rowgroup"><a href="\.\./([^"]*)">[^<]*</a> \(([0-9]+)\)</th>')
USE = re.compile(r'^<tr><td><a href="\.\./([^"#]*)#L([0-9]+)">[0-9]+</a></td><td>(.*)</td></tr>$')


def links_of_pages(site, uses_folder):
    uses, definitions = set(), set()
    for folder, subfolders, files in os.walk(site):
        rel_folder = os.path.relpath(folder, site)
        if rel_folder == '.':
            subfolders[:] = [s for s in subfolders if s not in (uses_folder, 'names')]
        for name in files:
            if not name.endswith('.html') or name == 'index.html':
                continue
            path = os.path.normpath(os.path.join(rel_folder, name))
            with open(os.path.join(folder, name), encoding='utf-8', errors='surrogateescape') as page:
                for line in page:
                    anchor = ANCHOR.match(line)
                    if not anchor:
                        continue
                    number = int(anchor.group(1))
                    for href, word in LINK.findall(line):
                        if f'{uses_folder}/' in href:
                            definitions.add(word)
                        else:
                            uses.add((word, path, number))
    return uses, definitions


def listed_uses(site, uses_folder):
    listed, names, uncut, faults = set(), set(), [], []
    folder = os.path.join(site, uses_folder)
    for file_name in sorted(os.listdir(folder)):
        name = page = None
        left = 0
        with open(os.path.join(folder, file_name), encoding='utf-8', errors='surrogateescape') as uses:
            for line in uses:
                line = line.rstrip('\n')
                if m := SECTION.search(line):
                    name = html.unescape(m.group(1))
                    names.add(name)
                elif m := FILE.search(line):
                    if left:
                        faults.append(f'{file_name}: {page} lists {left} fewer uses than its count')
                    page, left = unquote(m.group(1)), int(m.group(2))
                elif m := USE.match(line):
                    if unquote(m.group(1)) != page:
                        faults.append(f'{file_name}: a use of {page} links to {m.group(1)}')
                    place = (name, page, int(m.group(2)))
                    if place in listed:
                        faults.append(f'{file_name}: {place} listed twice')
                    listed.add(place)
                    left -= 1
                    if not re.search(r'(?<![A-Za-z0-9_$])' + re.escape(name) + r'(?![A-Za-z0-9_$])',
                                     html.unescape(m.group(3))):
                        uncut.append(place)
    return listed, names, uncut, faults


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    site = sys.argv[1]
    uses_folder = sys.argv[2] if len(sys.argv) == 3 else 'uses'
    made, defined = links_of_pages(site, uses_folder)
    listed, names, uncut, faults = listed_uses(site, uses_folder)
    missing, extra = sorted(made - listed), sorted(listed - made)
    unlisted = sorted({w for w, _, _ in made} - names)
    print(f'names listed {len(names)}  uses made {len(made)}  uses listed {len(listed)}  '
          f'missing {len(missing)}  extra {len(extra)}  names used but not listed {len(unlisted)}  '
          f'names listed that no definition links to {len(names - defined)}')
    print(f'listed lines whose text does not hold the name (cut before it): {len(uncut)}')
    for title, items in (('missing', missing), ('extra', extra), ('not listed', unlisted),
                         ('fault', faults), ('cut', uncut)):
        for item in items[:20]:
            print(f'  {title}: {item}')
    sys.exit(1 if missing or extra or unlisted or faults else 0)


if __name__ == '__main__':
    main()
