#!/usr/bin/env node
// Builds a small source tree, publishes it with `lexpaint --tree`, and walks
// the site in headless Chromium the way a reader does, with real clicks: the
// root index lists folders, then files, with their names, line counts and
// sizes; following links through the indexes reaches a page whose title is
// its path, whose breadcrumb links each enclosing folder's index and whose
// line numbers read 1 to N; an #include link leads to the included file's
// page. A name links to its definition: clicking it shows the defining line,
// or, for a name defined in several places, its section of a list page whose
// rows lead to each definition; the same holds for "vector" in the site of the
// C++ library headers, when they are installed. Every link of the site must
// lead to a file of the site. Breadcrumb
// links, index links and the index's numbers must have enough contrast in the
// light and the dark colour scheme.
//
// Usage: node site_test.mjs LEXPAINT_BINARY (runBrowserTest in common.mjs
// tells what it prints and its exit status)

import { existsSync, readdirSync } from 'node:fs';
import { join, relative } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import {
  MIN_CONTRAST, checkGutterContrast, checkLineNumbers, expectedText, firstDifference, gutter,
  inspectAnchors, luminance, parseColour, runBrowserTest, runLexpaint, seenContrast, writeTree,
} from './common.mjs';

const VIEWPORT = { width: 900, height: 600 };

// The tree to publish, as paths relative to the source folder "proj". Names
// with a space, "&" and "<b>" must be shown as written and linked encoded;
// "deep/a/index" would have its folder's index.html as page; README.txt is no
// C or C++ file and .hidden.h is hidden, so neither is listed.
const MAIN = [
  '// The fixture program: includes found in its own folder, in the source',
  '// folder and in an -I folder, and one found nowhere.',
  '#include "lib/util.h"',
  '#include <vector>',
  '#include "docs & notes/x<b>y.h"',
  '#include <missing/nowhere.h>',
  '',
  ...Array.from({ length: 40 }, (_, i) => `int value${i + 1} = util::twice(${i + 1}); // line ${i + 8}`),
  '',
  'int main() {',
  '    std::vector<int> numbers;',
  '    numbers.push_back(area(2) + area(1.5));',
  '    return util::twice(value1) - 4;',
  '}',
  '',
].join('\n');

const TREE = {
  'src/main.cpp': MAIN,
  'lib/util.h': '#pragma once\nnamespace util {\ninline int twice(int x) { return 2 * x; }\n}\n',
  'lib/area.h': '#pragma once\nint area(int side) { return side * side; }\ndouble area(double radius) { return 3.14 * radius * radius; }\n',
  'include/vector': '// A stand-in for the standard header, with no extension.\n#pragma once\nnamespace std { template <class T> class vector {}; }\n',
  'docs & notes/x<b>y.h': '/* A header whose folder and name need escaping. */\n#define XY 1\n',
  'deep/a/b/leaf.c': '#include "../index"\nint leaf(void) { return 0; }\n',
  'deep/a/index': '// Named like the index of its folder.\n#define INDEX 1\n',
  'aaa.h': '// Sorts before every folder name, yet is listed after the folders.\nint aaa;\n',
  'top.h': '#include "lib/util.h"\n',
  'README.txt': 'Not a source file.\n',
  '.hidden.h': 'int hidden;\n',
};

// What the site must hold: a page for each C or C++ file, and an index for
// each folder listing its sub-folders, then its files, each sorted by name.
const PUBLISHED = Object.keys(TREE).filter((rel) => rel !== 'README.txt' && !rel.startsWith('.')).sort();
const folderOf = (rel) => (rel.includes('/') ? rel.slice(0, rel.lastIndexOf('/')) : '');
const nameOf = (rel) => rel.slice(rel.lastIndexOf('/') + 1);
const indexOf = (folder) => (folder ? `${folder}/index.html` : 'index.html');
// The file named "index" cannot have its folder's index.html as page.
const pageOf = (rel) => (rel === 'deep/a/index' ? 'deep/a/index_.html' : `${rel}.html`);
const FOLDERS = [...new Set(PUBLISHED.flatMap((rel) => {
  const parts = rel.split('/').slice(0, -1);
  return ['', ...parts.map((_, i) => parts.slice(0, i + 1).join('/'))];
}))].sort();

function indexEntries(folder) {
  const subfolders = FOLDERS.filter((f) => f && folderOf(f) === folder).map((f) => `${nameOf(f)}/`);
  const files = PUBLISHED.filter((rel) => folderOf(rel) === folder).map(nameOf).sort();
  return [...subfolders, ...files];
}

// The breadcrumb of a page (LEAF is its file name) or of FOLDER's index (LEAF
// empty): the site's name and each folder down to FOLDER, every one a link to
// its index except the last crumb.
function breadcrumbOf(folder, leaf) {
  const parts = folder ? folder.split('/') : [];
  const crumbs = ['proj', ...parts].map((name, i) => [name, indexOf(parts.slice(0, i).join('/'))]);
  const links = leaf ? crumbs : crumbs.slice(0, -1);
  return { text: [...crumbs.map(([name]) => name), ...(leaf ? [leaf] : [])].join(' / '), links };
}

function lineCount(text) {
  return text.split('\n').length - (text.endsWith('\n') ? 1 : 0);
}

// Every file under DIR, as paths relative to it.
function filesUnder(dir, prefix = '') {
  return readdirSync(join(dir, prefix), { withFileTypes: true }).flatMap((entry) => {
    const rel = prefix ? `${prefix}/${entry.name}` : entry.name;
    return entry.isDirectory() ? filesUnder(dir, rel) : [rel];
  });
}

// Runs inside the page: the colour a reader sees for each element matched by
// SELECTOR and the background behind it, found by stacking the backgrounds of
// its ancestors from the root down. Colours come back canvas-normalised.
function inspectColours(selector) {
  const canvas = document.createElement('canvas').getContext('2d');
  const normalise = (colour) => {
    canvas.fillStyle = '#010203';
    canvas.fillStyle = colour;
    return canvas.fillStyle;
  };
  return [...document.querySelectorAll(selector)].filter((el) => el.textContent.trim() !== '').map((el) => {
    const backgrounds = [];
    for (let node = el; node; node = node.parentElement) {
      backgrounds.push(normalise(getComputedStyle(node).backgroundColor));
    }
    return { text: el.textContent, colour: normalise(getComputedStyle(el).color), backgrounds };
  });
}

// Runs inside the page: what the reader sees of the index table.
function inspectIndex() {
  const table = document.querySelector('table.Index');
  if (!table) return null;
  return [...table.querySelectorAll('tbody tr')].map((row) => {
    const cells = [...row.cells];
    const link = cells[0]?.querySelector('a');
    const box = link?.getBoundingClientRect();
    const style = link && getComputedStyle(link);
    return {
      name: link ? link.innerText : null,
      visible: Boolean(box && box.width > 0 && box.height > 0 && style.visibility === 'visible' && style.opacity !== '0'),
      inside: Boolean(box && box.left >= 0 && box.right <= document.documentElement.scrollWidth),
      lines: cells[1]?.innerText.trim(),
      size: cells[2]?.innerText.trim(),
    };
  });
}

// Runs inside the page: the breadcrumb's text and its links.
function inspectBreadcrumb() {
  const nav = document.querySelector('nav.Breadcrumb');
  if (!nav) return null;
  return { text: nav.innerText.trim(), links: [...nav.querySelectorAll('a')].map((a) => [a.innerText, a.href]) };
}

// Runs inside the page: every link, resolved, except those to a place in the
// page itself.
function inspectLinks() {
  return [...document.querySelectorAll('a[href]')]
    .filter((a) => !a.getAttribute('href').startsWith('#'))
    .map((a) => ({ text: a.textContent, href: a.href }));
}

// Runs inside the page: every link inside <pre> other than the line anchors,
// with the number of the line it stands on (from the a.Line before it).
function inspectCodeLinks() {
  const lineOf = (element) => {
    let node = element;
    while (node.parentElement && node.parentElement.localName !== 'pre') node = node.parentElement;
    for (; node; node = node.previousElementSibling) {
      if (node.matches('a.Line')) return Number(node.id.slice(1));
    }
    return null;
  };
  return [...document.querySelectorAll('pre a[href]:not(.Line)')].map((a) => ({ line: lineOf(a), text: a.textContent, href: a.href }));
}

// Runs inside the page: where the element with id ID is, against the
// viewport and the sticky breadcrumb above it, and whether it is the target.
function inspectTarget(id) {
  const element = document.getElementById(id);
  if (!element) return null;
  const box = element.getBoundingClientRect();
  const nav = document.querySelector('nav.Breadcrumb');
  return {
    top: box.top,
    bottom: box.bottom,
    below: nav ? nav.getBoundingClientRect().bottom : 0,
    height: innerHeight,
    target: element.matches(':target'),
    text: element.localName === 'a' ? null : element.innerText,
  };
}

// Runs inside the page: the rows of the section with id ID of a list page,
// as [file, line, kind, text].
function inspectSection(id) {
  const section = document.getElementById(id);
  if (!section) return null;
  return [...section.querySelectorAll('tbody tr')].map((row) => [...row.cells].map((cell) => cell.innerText.trim()));
}

// The text of line LINE (from 1) of the code of the page.
function lineText(line) {
  return document.querySelector('pre')?.textContent.split('\n')[line - 1] ?? null;
}

// "12.3 KiB", "870 B" and the like, in bytes; NaN when it is no size.
function parseSize(text) {
  const m = /^(\d+(?:\.\d+)?)\s*(B|KiB|MiB|kB|KB|MB)$/.exec(text ?? '');
  if (!m) return NaN;
  return Number(m[1]) * { B: 1, KiB: 1024, kB: 1000, KB: 1024, MiB: 1048576, MB: 1e6 }[m[2]];
}

runBrowserTest({
  name: 'site',
  pass: 'indexes, pages, breadcrumbs, line numbers, include and name links and contrast of the site are right',
}, async ({ binary, work, fail, openPage }) => {
  const source = join(work, 'proj');
  const site = join(work, 'site');
  const url = (rel) => pathToFileURL(join(site, rel)).href;
  // The file of the site a link leads to, as a path relative to the site, so
  // that links are compared whichever characters they percent-encode; null
  // when it leads elsewhere.
  const relOf = (href) => {
    const target = new URL(href);
    if (target.protocol !== 'file:') return null;
    target.hash = '';
    const rel = relative(site, fileURLToPath(target));
    return rel.startsWith('..') ? null : rel;
  };
  writeTree(source, TREE);
  runLexpaint(binary, ['--tree', '-I', 'include', source, site], { cwd: work });

  const page = await openPage({ viewport: VIEWPORT });
  const failAt = (where) => (message) => fail(`[${where}] ${message}`);

  // Clicks the link named NAME (exactly) inside CONTAINER with the mouse and
  // waits for the page it leads to.
  const follow = async (container, name, rel) => {
    const link = page.locator(container).getByRole('link', { name, exact: true });
    const count = await link.count();
    if (count !== 1) throw new Error(`${await page.title()}: ${count} links named ${JSON.stringify(name)} in ${container}`);
    await link.click();
    await page.waitForURL((target) => relOf(target.href) === rel, { timeout: 5000 }).catch(() => {
      throw new Error(`clicking ${JSON.stringify(name)} in ${container} led to ${page.url()}, expected ${rel}`);
    });
  };

  const checkBreadcrumb = async (where, folder, leaf) => {
    const { text, links } = breadcrumbOf(folder, leaf);
    const crumb = await page.evaluate(inspectBreadcrumb);
    if (!crumb) return failAt(where)('no nav.Breadcrumb');
    if (crumb.text !== text) failAt(where)(`breadcrumb reads ${JSON.stringify(crumb.text)}, expected ${JSON.stringify(text)}`);
    const shown = crumb.links.map(([name, href]) => [name, relOf(href) ?? href]);
    if (JSON.stringify(shown) !== JSON.stringify(links)) {
      failAt(where)(`breadcrumb links ${JSON.stringify(shown)}, expected ${JSON.stringify(links)}`);
    }
  };

  // The index of FOLDER, open in the page.
  const checkIndex = async (folder) => {
    const where = indexOf(folder);
    await checkBreadcrumb(where, folder, '');
    const rows = await page.evaluate(inspectIndex);
    if (!rows) return failAt(where)('no table.Index');
    const names = rows.map((row) => row.name);
    const want = indexEntries(folder);
    if (JSON.stringify(names) !== JSON.stringify(want)) failAt(where)(`index lists ${JSON.stringify(names)}, expected ${JSON.stringify(want)}`);
    for (const row of rows) {
      if (!row.visible || !row.inside) failAt(where)(`the name ${JSON.stringify(row.name)} is not visible on the page`);
      const text = TREE[folder ? `${folder}/${row.name}` : row.name];
      if (row.name.endsWith('/') || text === undefined) continue;
      if (row.lines !== String(lineCount(text))) failAt(where)(`${row.name} shows ${JSON.stringify(row.lines)} lines, it has ${lineCount(text)}`);
      const bytes = Buffer.byteLength(text);
      const shown = parseSize(row.size);
      if (!(Math.abs(shown - bytes) <= Math.max(bytes * 0.05, 0.5))) failAt(where)(`${row.name} shows size ${JSON.stringify(row.size)}, it has ${bytes} bytes`);
    }
  };

  // The page of the source file REL, open in the page: its title, its
  // breadcrumb, its text and its line numbers.
  const checkPage = async (rel) => {
    const title = await page.title();
    if (title !== rel) failAt(rel)(`document.title is ${JSON.stringify(title)}, expected ${JSON.stringify(rel)}`);
    await checkBreadcrumb(rel, folderOf(rel), nameOf(rel));
    const text = expectedText(TREE[rel]);
    const shown = await page.evaluate(() => document.querySelector('pre')?.textContent ?? null);
    if (shown !== text) failAt(rel)(`<pre> text differs from the source: ${shown === null ? 'no <pre>' : firstDifference(shown, text)}`);
    const laidOut = await gutter(page);
    const anchors = await page.evaluate(inspectAnchors, { anchors: 'a.Line', strays: 'a.Line:not(pre > a.Line)' });
    checkLineNumbers(anchors, laidOut, text, failAt(rel));
  };

  // The links on lines FIRST to LAST of the code, as [line, text, page].
  const codeLinks = async (first, last) => (await page.evaluate(inspectCodeLinks))
    .filter((link) => link.line >= first && link.line <= last)
    .map((link) => [link.line, link.text, relOf(link.href) ?? link.href]);

  // From the root index down through the folders to a page three deep.
  await page.goto(url('index.html'));
  await checkIndex('');
  await follow('table.Index', 'deep/', 'deep/index.html');
  await checkIndex('deep');
  await follow('table.Index', 'a/', 'deep/a/index.html');
  await follow('table.Index', 'b/', 'deep/a/b/index.html');
  await follow('table.Index', 'leaf.c', 'deep/a/b/leaf.c.html');
  await checkPage('deep/a/b/leaf.c');
  const leafLinks = await codeLinks(1, 1);
  if (JSON.stringify(leafLinks) !== JSON.stringify([[1, '"../index"', 'deep/a/index_.html']])) {
    failAt('deep/a/b/leaf.c')(`links on line 1 ${JSON.stringify(leafLinks)}, expected "../index" to deep/a/index_.html`);
  }
  // Back up through the breadcrumb to the folder with a file named "index".
  await follow('nav.Breadcrumb', 'a', 'deep/a/index.html');
  await checkIndex('deep/a');
  await follow('table.Index', 'index', 'deep/a/index_.html');
  await checkPage('deep/a/index');

  // From the root to src/main.cpp, then along each of its include links.
  await follow('nav.Breadcrumb', 'proj', 'index.html');
  await follow('table.Index', 'src/', 'src/index.html');
  await follow('table.Index', 'main.cpp', 'src/main.cpp.html');
  await checkPage('src/main.cpp');
  const expectedIncludes = [
    [3, '"lib/util.h"', 'lib/util.h'],
    [4, '<vector>', 'include/vector'],
    [5, '"docs & notes/x<b>y.h"', 'docs & notes/x<b>y.h'],
  ];
  // Only the include lines: other words of the code may link too.
  const shownIncludes = await codeLinks(3, 6);
  const wantIncludes = expectedIncludes.map(([line, text, rel]) => [line, text, pageOf(rel)]);
  if (JSON.stringify(shownIncludes) !== JSON.stringify(wantIncludes)) {
    failAt('src/main.cpp')(`include links ${JSON.stringify(shownIncludes)}, expected ${JSON.stringify(wantIncludes)} (and none on line 6)`);
  }
  for (const [line, text, rel] of expectedIncludes) {
    const link = page.locator('pre a[href]:not(.Line)', { hasText: text }).first();
    if (!(await link.count())) continue;
    await link.click();
    await page.waitForURL((target) => relOf(target.href) === pageOf(rel), { timeout: 5000 }).catch(() => {});
    if (relOf(page.url()) !== pageOf(rel)) {
      failAt('src/main.cpp')(`clicking the include on line ${line} led to ${page.url()}, expected ${pageOf(rel)}`);
    } else {
      await checkPage(rel);
    }
    await page.goBack();
  }

  // Clicks the link of the name WORD in the code, waits for the page it
  // leads to under ROOT, and checks that the reader sees what it names: the
  // target, starting below the breadcrumb, in the window. WANT(rel, hash)
  // tells whether the link led where it should. Returns the page and hash.
  const followName = async (root, where, word, want) => {
    const link = page.locator('pre a[href]:not(.Line)').filter({ hasText: new RegExp(`^${word}$`) }).first();
    if (!(await link.count())) throw new Error(`${where}: no link on the name ${word}`);
    await link.click();
    await page.waitForURL((target) => target.hash !== '' && want(relative(root, fileURLToPath(new URL(target.href.split('#')[0]))), target.hash.slice(1)), { timeout: 5000 }).catch(() => {
      throw new Error(`${where}: clicking ${word} led to ${page.url()}`);
    });
    const target = new URL(page.url());
    const id = decodeURIComponent(target.hash.slice(1));
    const seen = await page.evaluate(inspectTarget, id);
    if (!seen) failAt(where)(`clicking ${word} led to ${page.url()}, which has no element with id ${id}`);
    else if (!seen.target || seen.top < seen.below - 1 || seen.top >= seen.height) {
      failAt(where)(`clicking ${word} led to ${page.url()}, whose target is not in view below the breadcrumb: ${JSON.stringify(seen)}`);
    }
    target.hash = '';
    return { rel: relative(root, fileURLToPath(target)), id };
  };

  // A name defined once leads to its line; one defined twice to its section
  // of a list page, whose rows lead on to each definition.
  for (const [word, rel, id] of [['vector', 'include/vector.html', 'L3'], ['twice', 'lib/util.h.html', 'L3']]) {
    await page.goto(url('src/main.cpp.html'));
    await followName(site, 'src/main.cpp', word, (at, hash) => at === rel && hash === id);
  }
  await page.goto(url('src/main.cpp.html'));
  const list = await followName(site, 'src/main.cpp', 'area', (at, hash) => at.startsWith('names/') && hash === 'area');
  const rows = await page.evaluate(inspectSection, 'area');
  const wantRows = [
    ['lib/area.h', '2', 'function', 'int area(int side) { return side * side; }'],
    ['lib/area.h', '3', 'function', 'double area(double radius) { return 3.14 * radius * radius; }'],
  ];
  if (JSON.stringify(rows) !== JSON.stringify(wantRows)) failAt(list.rel)(`the section of area lists ${JSON.stringify(rows)}, expected ${JSON.stringify(wantRows)}`);
  await page.locator('section#area tbody tr').nth(1).getByRole('link', { name: '3', exact: true }).click();
  await page.waitForURL((target) => relOf(target.href) === 'lib/area.h.html' && target.hash === '#L3', { timeout: 5000 }).catch(() => {
    failAt(list.rel)(`the second definition of area led to ${page.url()}, expected lib/area.h.html#L3`);
  });

  // In the site of the C++ library headers, "vector" in bits/vector.tcc
  // leads to its definitions outside classes, which are no constructors,
  // among them the class in bits/stl_vector.h.
  const versions = existsSync('/usr/include/c++') ? readdirSync('/usr/include/c++').filter((v) => /^\d+$/.test(v)).sort((a, b) => b - a) : [];
  if (versions.length === 0) {
    console.log('SKIP: no C++ library headers in /usr/include/c++');
  } else {
    const cxx = join(work, 'cxx');
    runLexpaint(binary, ['--tree', `/usr/include/c++/${versions[0]}`, cxx]);
    await page.goto(pathToFileURL(join(cxx, 'bits/vector.tcc.html')).href);
    const where = `c++/${versions[0]}/bits/vector.tcc`;
    const section = 'vector-outside-classes';
    const found = await followName(cxx, where, 'vector', (at, hash) => at.startsWith('names/') && hash === section);
    const listed = (await page.evaluate(inspectSection, section)) ?? [];
    if (listed.some(([, , kind]) => kind === 'function')) failAt(found.rel)(`the section of vector lists constructors: ${JSON.stringify(listed)}`);
    const classes = listed.filter(([file, , kind]) => file === 'bits/stl_vector.h' && kind === 'class');
    if (classes.length !== 1) {
      failAt(found.rel)('the section of vector lists no class vector in bits/stl_vector.h');
    } else {
      const line = Number(classes[0][1]);
      await page.locator(`section#${section} tbody tr`, { hasText: 'bits/stl_vector.h' }).filter({ hasText: 'class' }).getByRole('link', { name: String(line), exact: true }).click();
      await page.waitForURL((target) => target.hash === `#L${line}`, { timeout: 5000 }).catch(() => {});
      const text = await page.evaluate(lineText, line);
      if (!new URL(page.url()).pathname.endsWith('/bits/stl_vector.h.html') || !/\bclass vector\b/.test(text ?? '')) {
        failAt(found.rel)(`the class vector led to ${page.url()}, whose line reads ${JSON.stringify(text)}`);
      }
    }
  }

  // Every page and index of the site, and no other; every link in them
  // leads to a file of the site.
  const htmlFiles = filesUnder(site).filter((rel) => rel.endsWith('.html')).sort();
  // The uses of the fixture's few names fit on one page, named after the first of them.
  const wantFiles = [...PUBLISHED.map(pageOf), ...FOLDERS.map(indexOf), list.rel, 'uses/INDEX.html'].sort();
  if (JSON.stringify(htmlFiles) !== JSON.stringify(wantFiles)) failAt('site')(`HTML files ${JSON.stringify(htmlFiles)}, expected ${JSON.stringify(wantFiles)}`);
  for (const rel of htmlFiles) {
    await page.goto(url(rel));
    const source = PUBLISHED.find((file) => pageOf(file) === rel);
    const folder = FOLDERS.find((f) => indexOf(f) === rel);
    if (source !== undefined) await checkPage(source);
    else if (folder !== undefined) await checkIndex(folder);
    for (const link of await page.evaluate(inspectLinks)) {
      const target = relOf(link.href);
      if (target === null || !existsSync(join(site, target))) {
        failAt(rel)(`the link ${JSON.stringify(link.text)} leads to ${link.href}, which is no file of the site`);
      }
    }
  }

  // Contrast of what a reader must be able to read, in both schemes.
  const backgrounds = {};
  for (const scheme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: scheme });
    const where = (rel) => failAt(`${scheme}, ${rel}`);
    const measured = {};
    const measure = async (rel, what, selector) => {
      const items = await page.evaluate(inspectColours, selector);
      if (!items.length) return where(rel)(`nothing matches ${selector}`);
      for (const item of items) {
        const { ratio, background } = seenContrast(item);
        if (what === 'background') backgrounds[scheme] = background;
        measured[what] = Math.min(measured[what] ?? Infinity, ratio);
        if (ratio < MIN_CONTRAST) {
          where(rel)(`${what} ${JSON.stringify(item.text)}: colour ${item.colour} on ${item.backgrounds.find((b) => parseColour(b).a > 0) ?? 'white'} has contrast ${ratio.toFixed(2)}, below ${MIN_CONTRAST}`);
        }
      }
    };
    await page.goto(url('src/index.html'));
    const dark = await page.evaluate(() => matchMedia('(prefers-color-scheme: dark)').matches);
    if (dark !== (scheme === 'dark')) where('src/index.html')('prefers-color-scheme emulation did not take effect');
    await measure('src/index.html', 'background', 'body');
    await measure('src/index.html', 'breadcrumb link', 'nav.Breadcrumb a');
    await measure('src/index.html', 'index link', 'table.Index a');
    await measure('src/index.html', 'index number', 'table.Index td:nth-child(2), table.Index td:nth-child(3)');
    // A row under the mouse gets a background of its own.
    await page.locator('table.Index tbody tr').first().hover();
    await measure('src/index.html', 'index link (row under the mouse)', 'table.Index tbody tr:hover a');
    await measure('src/index.html', 'index number (row under the mouse)', 'table.Index tbody tr:hover td:nth-child(n+2)');
    await page.goto(url('deep/a/b/leaf.c.html'));
    await measure('deep/a/b/leaf.c', 'breadcrumb link', 'nav.Breadcrumb a');
    await page.goto(url('src/main.cpp.html'));
    const laidOut = await gutter(page);
    const gutterContrast = backgrounds[scheme] ? checkGutterContrast(laidOut, backgrounds[scheme], where('src/main.cpp')) : 'n/a';
    const shown = Object.entries(measured).filter(([what]) => what !== 'background').map(([what, ratio]) => `${what} ${ratio.toFixed(2)}`);
    console.log(`${scheme}: lowest contrast: ${shown.join(', ')}, line numbers ${gutterContrast}`);
  }
  if (backgrounds.light && backgrounds.dark && luminance(backgrounds.dark) >= luminance(backgrounds.light)) {
    fail('the dark scheme background is not darker than the light one');
  }
});
