#!/usr/bin/env node
// Publishes a small tree with `lexpaint --tree` and uses the search box of its
// pages in headless Chromium as a reader does, by keyboard, from file:// and
// over HTTP (a server on 127.0.0.1 started here), in the light and the dark
// colour scheme:
// - `/` focuses the box, and typed in the box it is a character;
// - a file is found by its exact name, by a path across folders and by its
//   letters with gaps, and Enter opens it;
// - a name defined once opens its line, a name defined twice its list;
// - the empty box on a source page lists its definitions in line order;
// - `:42` opens line 42; ?search=TEXT opens with TEXT's results;
// - ↓ and ↑ move through the results, Enter opens the one selected, Esc closes;
// - a file named `<img src=x onerror=alert(1)>.h` shows as that text, and
//   nothing of it runs;
// - the results are legible (contrast of at least 4.5) and axe-core finds no
//   violation with them open;
// - a page loads no part of the index before the box is used.
//
// Usage: node search_test.mjs LEXPAINT_BINARY (runBrowserTest in common.mjs
// tells what it prints and its exit status)

import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import {
  MIN_CONTRAST, axeViolations, runBrowserTest, runLexpaint, seenContrast, writeTree,
} from './common.mjs';

const HOSTILE = '<img src=x onerror=alert(1)>.h';

// main.cpp calls twice(), defined in two headers; lib/both.c, which sees neither, links to the
// list of both, so that list page is written. main.cpp's own definitions, in line order, are its
// outline.
const MAIN = [
  '#include "lib/once.h"',
  '#include "lib/twice_a.h"',
  '#define LIMIT 10',
  'struct Point { int x, y; };',
  ...Array.from({ length: 40 }, (_, i) => `int value${i + 5} = twice(${i});`),
  'int main() {',
  '    Widget widget;',
  '    return twice(LIMIT) + widget.size;',
  '}',
  '',
].join('\n');
const OUTLINE = [['LIMIT', 'macro', 3], ['Point', 'struct', 4], ['main', 'function', 45]];

const TREE = {
  'src/main.cpp': MAIN,
  'lib/once.h': '#pragma once\n// A type defined once.\nstruct Widget { int size; };\n',
  'lib/twice_a.h': 'inline int twice(int x) { return 2 * x; }\n',
  'lib/twice_b.h': 'inline long twice(long x) { return 2 * x; }\n',
  // Sees neither twice through its includes, so its link leads to the list of both.
  'lib/both.c': 'long four(void) { return twice(2L); }\n',
  'llvm/ADT/SmallVector.h': '#pragma once\ntemplate <class T> class SmallVector {};\n',
  'llvm/ADT/SmallSet.h': '#pragma once\ntemplate <class T> class SmallSet {};\n',
  'llvm/Support/Smoothing.h': '#pragma once\n',
  [`evil/${HOSTILE}`]: '#define HOSTILE 1\n',
};

// Runs inside the page: what the results show.
function inspectResults() {
  const popup = document.querySelector('div.Search div.Results');
  const options = [...document.querySelectorAll('#lexpaint-results a[role="option"]')];
  return {
    open: Boolean(popup && !popup.hidden),
    focused: document.activeElement?.id === 'lexpaint-search',
    value: document.getElementById('lexpaint-search')?.value,
    query: document.getElementById('lexpaint-results')?.dataset.query,
    note: popup?.querySelector('p.Note')?.textContent,
    selected: options.findIndex((o) => o.getAttribute('aria-selected') === 'true'),
    options: options.map((o) => ({
      name: o.querySelector('.Name')?.textContent,
      what: o.querySelector('.What')?.textContent,
      where: o.querySelector('.Where')?.textContent,
      href: o.href,
    })),
    images: document.querySelectorAll('img').length,
    parts: [...document.querySelectorAll('script[src*="search/"]')].map((s) => s.getAttribute('src').replace(/^.*search\//, '')),
  };
}

// Runs inside the page: the colours of the text in the results, and of what is behind it.
function inspectResultColours() {
  const canvas = document.createElement('canvas').getContext('2d');
  const normalise = (colour) => {
    canvas.fillStyle = '#010203';
    canvas.fillStyle = colour;
    return canvas.fillStyle;
  };
  const seen = [];
  for (const span of document.querySelectorAll('#lexpaint-results span, div.Results p.Note, div.Search input')) {
    if (!span.textContent && span.localName !== 'input') continue;
    const backgrounds = [];
    for (let node = span; node; node = node.parentElement) backgrounds.push(normalise(getComputedStyle(node).backgroundColor));
    const option = span.closest('a');
    seen.push({
      text: span.textContent || span.value, colour: normalise(getComputedStyle(span).color), backgrounds,
      selected: option?.getAttribute('aria-selected') === 'true',
    });
  }
  return seen;
}

runBrowserTest({
  name: 'search',
  needsAxe: true,
  pass: 'search',
}, async ({ binary, work, fail, openPage, serve }) => {
  const source = join(work, 'proj');
  const site = join(work, 'site');
  writeTree(source, TREE);
  runLexpaint(binary, ['--tree', source, site]);
  const server = await serve(site);
  const origins = {
    'file://': (rel) => pathToFileURL(join(site, rel)).href,
    HTTP: (rel) => `http://127.0.0.1:${server.address().port}/${rel.split('/').map(encodeURIComponent).join('/')}`,
  };

  for (const colorScheme of ['light', 'dark']) {
    for (const [origin, url] of Object.entries(origins)) {
      const where = (message) => fail(`${origin}, ${colorScheme}: ${message}`);
      const page = await openPage({ viewport: { width: 1000, height: 700 }, colorScheme });
      page.on('dialog', (dialog) => {
        where(`a dialog opened: ${dialog.message()}`);
        dialog.dismiss();
      });
      page.on('pageerror', (error) => where(`script error: ${error.message}`));
      const results = () => page.evaluate(inspectResults);
      // Types QUERY into the box, focused by `/`, and waits for its results.
      const search = async (query) => {
        await page.keyboard.press('/');
        await page.keyboard.type(query);
        await page.waitForFunction((q) => document.getElementById('lexpaint-results')?.dataset.query === q, query, { timeout: 5000 });
        return results();
      };
      const first = (seen) => seen.options[0] ?? {};

      // No part of the index before the box is used; `/` focuses it, and in it is a character.
      await page.goto(url('index.html'));
      let seen = await results();
      if (seen.parts.length) where(`the index page loaded ${seen.parts.join(', ')} before the box was used`);
      await page.keyboard.press('/');
      seen = await results();
      if (!seen.focused) where('/ did not focus the search box');
      await page.keyboard.type('ADT/SmallVec');
      await page.waitForFunction(() => document.getElementById('lexpaint-results')?.dataset.query === 'ADT/SmallVec');
      seen = await results();
      if (seen.value !== 'ADT/SmallVec') where(`typing "ADT/SmallVec" in the box gave ${JSON.stringify(seen.value)}`);
      if (first(seen).where !== 'llvm/ADT/SmallVector.h' || first(seen).what !== 'file') {
        where(`ADT/SmallVec found ${JSON.stringify(seen.options.slice(0, 2))} first, not the file llvm/ADT/SmallVector.h`);
      }

      // Results of a file by its name and by its letters with gaps; Enter opens the first.
      for (const [query, path] of [['SmallVector.h', 'llvm/ADT/SmallVector.h'], ['smvec', 'llvm/ADT/SmallVector.h'], ['smset', 'llvm/ADT/SmallSet.h']]) {
        await page.goto(url('index.html'));
        seen = await search(query);
        if (first(seen).where !== path) where(`${query} found ${JSON.stringify(first(seen))} first, not ${path}`);
        await Promise.all([page.waitForURL((u) => u.pathname.endsWith(`${path}.html`)), page.keyboard.press('Enter')]);
      }

      // A name defined once opens its line; one defined twice, its list; types rank first.
      await page.goto(url('llvm/ADT/SmallSet.h.html'));
      seen = await search('widget');
      if (first(seen).name !== 'Widget' || first(seen).what !== 'struct' || first(seen).where !== 'lib/once.h:3') {
        where(`widget found ${JSON.stringify(first(seen))} first, not the struct Widget at lib/once.h:3`);
      }
      await Promise.all([page.waitForURL((u) => u.hash === '#L3' && u.pathname.endsWith('lib/once.h.html')), page.keyboard.press('Enter')]);
      await page.goto(url('index.html'));
      seen = await search('twice');
      if (first(seen).name !== 'twice' || first(seen).where !== '2 definitions') where(`twice found ${JSON.stringify(first(seen))} first`);
      await Promise.all([page.waitForURL((u) => u.hash === '#twice' && u.pathname.includes('/names/')), page.keyboard.press('Enter')]);
      const section = await page.evaluate(() => document.querySelector('section:target')?.querySelectorAll('tbody tr').length);
      if (section !== 2) where(`twice's list shows ${section} definitions, not 2`);
      // Typed and entered at once, before the results come.
      await page.goto(url('index.html'));
      await page.keyboard.press('/');
      await page.keyboard.type('LIMIT');
      await Promise.all([page.waitForURL((u) => u.hash === '#L3'), page.keyboard.press('Enter')]);

      // The keys: ↓ and ↑ move, Enter opens the one selected, Esc closes.
      await page.goto(url('index.html'));
      seen = await search('small');
      const names = seen.options.map((o) => o.name);
      if (seen.selected !== 0 || names.length < 3) where(`small shows ${JSON.stringify(names)}, with ${seen.selected} selected`);
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('ArrowUp');
      seen = await results();
      if (seen.selected !== 1) where(`↓ ↓ ↑ selected result ${seen.selected}, not 1`);
      await page.keyboard.press('Escape');
      seen = await results();
      if (seen.open) where('Esc left the results open');
      await page.keyboard.press('ArrowDown');
      await page.waitForFunction(() => !document.querySelector('div.Results').hidden);
      await page.keyboard.press('ArrowDown');
      const second = (await results()).options[1];
      await Promise.all([page.waitForURL((u) => u.href === second.href), page.keyboard.press('Enter')]);

      // The outline of a source page, and :42.
      await page.goto(url('src/main.cpp.html'));
      await page.keyboard.press('/');
      await page.waitForFunction(() => document.getElementById('lexpaint-results')?.dataset.query === '');
      seen = await results();
      const outline = seen.options.map((o) => [o.name, o.what, Number(o.where.replace('line ', ''))]);
      if (JSON.stringify(outline) !== JSON.stringify(OUTLINE)) where(`the outline of main.cpp is ${JSON.stringify(outline.slice(0, 5))}…, expected ${JSON.stringify(OUTLINE.slice(0, 5))}…`);
      if (!seen.parts.some((part) => part.startsWith('outline/'))) where('the outline loaded no outline part');
      await page.keyboard.type(':42');
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => location.hash === '#L42');
      const target = await page.evaluate(() => {
        const box = document.querySelector('a.Line:target')?.getBoundingClientRect();
        return box ? box.top >= 0 && box.bottom <= innerHeight : false;
      });
      if (!target) where(':42 did not bring line 42 into view');

      // ?search=TEXT, and the hostile file name, shown as text.
      await page.goto(`${url('index.html')}?search=img`);
      await page.waitForFunction(() => document.getElementById('lexpaint-results')?.dataset.query === 'img');
      seen = await results();
      if (!seen.open || seen.value !== 'img' || !seen.focused) where(`?search=img shows ${JSON.stringify({ open: seen.open, value: seen.value })}`);
      if (first(seen).name !== HOSTILE || first(seen).where !== `evil/${HOSTILE}`) where(`img found ${JSON.stringify(first(seen))} first`);
      if (seen.images) where(`${seen.images} img element(s) in the page`);
      await Promise.all([page.waitForURL((u) => u.pathname.endsWith('.h.html')), page.keyboard.press('Enter')]);
      const title = await page.title();
      if (!title.includes(HOSTILE)) where(`the hostile file's page is titled ${JSON.stringify(title)}`);

      // Legible in this scheme, the selected result too, and no violation of axe-core.
      await page.goto(`${url('index.html')}?search=s`);
      await page.waitForFunction(() => document.getElementById('lexpaint-results')?.dataset.query === 's');
      const ratios = (await page.evaluate(inspectResultColours)).map((text) => ({ ...text, ratio: seenContrast(text).ratio }));
      if (!ratios.length || !ratios.some((text) => text.selected)) where('no result text to measure');
      for (const text of ratios.filter((t) => t.ratio < MIN_CONTRAST)) {
        where(`result text ${JSON.stringify(text.text)} (${text.colour}${text.selected ? ', selected' : ''}) has contrast ${text.ratio.toFixed(2)}`);
      }
      for (const violation of await axeViolations(page)) where(`axe-core: ${violation}`);
      const lowest = Math.min(...ratios.map((t) => t.ratio));
      console.log(`${origin}, ${colorScheme}: search checked (lowest contrast of results ${lowest.toFixed(2)}:1)`);
      if (colorScheme === 'light' && origin === 'HTTP') {
        await page.screenshot({ path: join(tmpdir(), 'lexpaint-search-light.png') });
      }
      await page.context().close();
    }
  }
});
