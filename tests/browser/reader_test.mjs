#!/usr/bin/env node
// Reads a small site published with `lexpaint --tree` the ways other than a
// mouse on a laptop, in headless Chromium, in the light and the dark colour
// scheme:
// - axe-core finds no accessibility violation of any impact on a source page,
//   an index and a list page, on a laptop and on a phone;
// - a screen reader finds one main, one h1 (on a source page, the file's
//   path), a labelled breadcrumb, table header cells, and line numbers named
//   "line N";
// - by keyboard, Tab from the top reaches the breadcrumb, then the code, and
//   never a line number; focus shows as a ring;
// - on a phone (390x844) no page is wider than the screen, the breadcrumb
//   stays in view after a jump, and links are at least 24 px tall;
// - a long line scrolled sideways stays marked across its width with its
//   number in view, and the code's sideways scrollbar is in the window;
// - #L20-L25 marks lines 20 to 25 and scrolls to line 20, and a click on a
//   number then a shift-click on another makes such an address;
// - the root index and a list page opened at #NAME are titled as they should.
//
// Usage: node reader_test.mjs LEXPAINT_BINARY (runBrowserTest in common.mjs
// tells what it prints and its exit status)

import { existsSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { axeViolations, contrast, gutter, parseColour, runBrowserTest, runLexpaint, writeTree } from './common.mjs';

const LAPTOP = { width: 900, height: 600 };
const PHONE = { width: 390, height: 844 };
const MIN_TARGET = 24;

const LONG_LINE = `int long_line = ${Array.from({ length: 120 }, (_, i) => `part${i}`).join(' + ')};`;
const TREE = {
  'src/main.cpp': [
    '#include "shapes/area.h"',
    ...Array.from({ length: 48 }, (_, i) => `int value${i + 2} = area(${i + 2}); // line ${i + 2}`),
    'int main() { return area(1) + twice(2); }',
    '',
  ].join('\n'),
  'src/shapes/area.h': 'int area(int side) { return side * side; }\ndouble area(double r) { return r * r; }\nint twice(int x) { return 2 * x; }\n',
  'src/long.h': [...Array.from({ length: 29 }, (_, i) => `// line ${i + 1}`), LONG_LINE, ...Array.from({ length: 40 }, (_, i) => `// line ${i + 31}`), ''].join('\n'),
  'src/a_folder_with_a_rather_long_name_that_a_phone_cannot_show_on_one_line/some_file_with_an_even_longer_name_than_its_folder.h': 'int twice(double x);\n#define twice(x) ((x) * 2)\n',
  // Sees neither definition of twice through its includes, so links to the list of both.
  'src/twice.c': 'int twice_of_three(void) { return twice(3); }\n',
};

// Runs inside the page: its landmarks and headings, and what a phone shows.
function inspectStructure() {
  const nav = document.querySelector('header nav');
  const box = nav?.getBoundingClientRect();
  const links = [...document.querySelectorAll('header a, table a')].filter((a) => a.getClientRects().length > 0);
  return {
    mains: document.querySelectorAll('main').length,
    h1s: [...document.querySelectorAll('h1')].map((h) => h.textContent),
    navLabel: nav?.getAttribute('aria-label') ?? null,
    tables: document.querySelectorAll('table').length,
    headerCells: document.querySelectorAll('table th').length,
    title: document.title,
    pageWidth: document.documentElement.scrollWidth,
    windowWidth: innerWidth,
    navInView: Boolean(box && box.width > 0 && box.top >= 0 && box.bottom <= innerHeight && box.left >= 0 && box.right <= innerWidth),
    shortLinks: links.filter((a) => a.getBoundingClientRect().height < 24).map((a) => `${a.textContent} (${a.getBoundingClientRect().height.toFixed(1)} px)`),
  };
}

// Runs inside the page: the code box and the line with id ID in it.
function inspectCode(id) {
  const code = document.querySelector('div.Code');
  const line = document.getElementById(id);
  if (!code || !line) return null;
  const box = code.getBoundingClientRect();
  const lineBox = line.getBoundingClientRect();
  const y = lineBox.top + lineBox.height / 2;
  const atLeft = document.elementFromPoint(box.left + 8, y);
  return {
    box: { top: box.top, bottom: box.bottom, height: box.height },
    scrollLeft: code.scrollLeft,
    sideways: code.scrollWidth > code.clientWidth,
    pageScrolls: document.documentElement.scrollHeight > innerHeight,
    lineTop: lineBox.top,
    lineInView: lineBox.top >= box.top && lineBox.bottom <= box.bottom,
    numberAtLeft: atLeft?.closest('a.Line')?.id ?? atLeft?.localName ?? null,
    marked: [...document.querySelectorAll('a.Line.Marked, a.Line:target')].map((a) => a.id),
  };
}

// The accessible role, name and focusability of the element SELECTOR, as
// Chromium gives them to screen readers.
async function accessibleNode(page, selector) {
  const cdp = await page.context().newCDPSession(page);
  try {
    const { root } = await cdp.send('DOM.getDocument', { depth: 0 });
    const { nodeId } = await cdp.send('DOM.querySelector', { nodeId: root.nodeId, selector });
    if (!nodeId) return null;
    const { nodes } = await cdp.send('Accessibility.getPartialAXTree', { nodeId, fetchRelatives: false });
    const node = nodes[0];
    return { role: node?.role?.value, name: node?.name?.value, ignored: node?.ignored };
  } finally {
    await cdp.detach();
  }
}

// Where Tab stops, the first COUNT times from the top of the page, with the
// focus ring of the first stop.
async function tabStops(page, count) {
  await page.evaluate(() => {
    document.activeElement?.blur();
    window.getSelection()?.removeAllRanges();
  });
  const stops = [];
  let ring = null;
  for (let i = 0; i < count; i++) {
    await page.keyboard.press('Tab');
    const stop = await page.evaluate(() => {
      const el = document.activeElement;
      if (!el || el === document.body) return null;
      const style = getComputedStyle(el);
      const where = el.closest('nav.Breadcrumb') ? 'breadcrumb' : el.closest('header') ? 'header' : el.matches('div.Code') ? 'code' : el.closest('pre') ? (el.matches('a.Line') ? 'line number' : 'code link') : el.localName;
      const background = getComputedStyle(el.closest('header') ?? document.body).backgroundColor;
      return { where, text: el.textContent, outline: [style.outlineStyle, parseFloat(style.outlineWidth), style.outlineColor], background };
    });
    stops.push(stop ? `${stop.where}:${stop.text.slice(0, 20)}` : 'none');
    if (i === 0) ring = stop;
  }
  return { stops, ring };
}

runBrowserTest({
  name: 'reader',
  needsAxe: true,
  pass: 'the site reads by keyboard, by screen reader and on a phone in both schemes',
}, async ({ binary, work, fail, openPage }) => {
  const site = join(work, 'site');
  const url = (rel) => pathToFileURL(join(site, rel)).href;
  writeTree(join(work, 'proj'), TREE);
  runLexpaint(binary, ['--tree', join(work, 'proj'), site]);
  const listPage = 'names/area.html';
  for (const rel of [listPage, 'uses/area.html']) {
    if (!existsSync(join(site, rel))) throw new Error(`the site has no ${rel}`);
  }
  const deepFolder = Object.keys(TREE)[3].split('/').slice(0, 2).join('/');
  const pages = {
    source: 'src/main.cpp.html',
    index: 'index.html',
    'deep index': `${deepFolder}/index.html`,
    list: listPage,
    uses: 'uses/area.html',
  };

  const page = await openPage({ viewport: LAPTOP });
  for (const scheme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: scheme });
    const failAt = (where) => (message) => fail(`[${scheme}, ${where}] ${message}`);

    // Landmarks, headings and titles; axe-core on a laptop and on a phone.
    for (const [kind, rel] of Object.entries(pages)) {
      for (const viewport of [LAPTOP, PHONE]) {
        await page.setViewportSize(viewport);
        await page.goto(url(rel));
        const where = failAt(`${rel} at ${viewport.width}x${viewport.height}`);
        for (const violation of await axeViolations(page, { 'target-size': { enabled: true } })) where(`axe-core: ${violation}`);
        const seen = await page.evaluate(inspectStructure);
        if (seen.mains !== 1) where(`${seen.mains} main elements, expected 1`);
        if (seen.h1s.length !== 1) where(`${seen.h1s.length} h1 elements, expected 1`);
        if (!seen.navLabel) where('the breadcrumb nav has no label');
        if (seen.tables && seen.headerCells === 0) where('a table without header cells');
        if (seen.pageWidth > seen.windowWidth) where(`the page is ${seen.pageWidth} px wide in a ${seen.windowWidth} px window`);
        if (seen.shortLinks.length) where(`links under ${MIN_TARGET} px tall: ${seen.shortLinks.slice(0, 3).join(', ')}`);
        if (kind === 'source' && seen.h1s[0] !== 'src/main.cpp') where(`the h1 reads ${JSON.stringify(seen.h1s[0])}, expected the path src/main.cpp`);
        if (kind === 'index' && seen.title !== 'proj \u2014 source') where(`the root index is titled ${JSON.stringify(seen.title)}`);
      }
    }

    // A list page opened at #twice: titled and headed with that name, with
    // the breadcrumb in view on a phone.
    await page.setViewportSize(PHONE);
    await page.goto(`${url(listPage)}#twice`);
    const list = await page.evaluate(inspectStructure);
    if (list.title !== 'twice \u2014 definitions' || list.h1s[0] !== 'twice') {
      failAt(`${listPage}#twice`)(`titled ${JSON.stringify(list.title)}, headed ${JSON.stringify(list.h1s[0])}; expected the name twice`);
    }
    if (!list.navInView) failAt(`${listPage}#twice`)('the breadcrumb is out of view after the jump');
    await page.goto(`${url('uses/area.html')}#twice`);
    const uses = await page.evaluate(inspectStructure);
    if (uses.title !== 'twice \u2014 uses' || uses.h1s[0] !== 'Uses of twice') {
      failAt('uses/area.html#twice')(`titled ${JSON.stringify(uses.title)}, headed ${JSON.stringify(uses.h1s[0])}; expected the name twice`);
    }
    if (list.pageWidth > list.windowWidth) failAt(`${listPage}#twice`)(`the page is ${list.pageWidth} px wide`);

    // A jump to a line on a phone keeps the breadcrumb in view.
    await page.goto(`${url(pages.source)}#L40`);
    const jumped = await page.evaluate(inspectStructure);
    const atLine = await page.evaluate(inspectCode, 'L40');
    if (!jumped.navInView) failAt(`${pages.source}#L40`)('the breadcrumb is out of view after the jump');
    if (!atLine?.lineInView) failAt(`${pages.source}#L40`)(`line 40 is not in view: ${JSON.stringify(atLine)}`);

    // Keyboard and screen reader, on a laptop.
    await page.setViewportSize(LAPTOP);
    await page.goto(url(pages.source));
    // The breadcrumb, then the code; other stops of the top bar, such as a search box, are
    // passed over.
    const { stops: allStops, ring } = await tabStops(page, 8);
    const stops = allStops.map((s) => s.replace(/^(code:).*/, '$1')).filter((s) => !s.startsWith('header:')).slice(0, 5);
    const wantStops = ['breadcrumb:proj', 'breadcrumb:src', 'code:', 'code link:"shapes/area.h"', 'code link:area'];
    if (JSON.stringify(stops) !== JSON.stringify(wantStops)) {
      failAt(pages.source)(`Tab stops at ${JSON.stringify(stops)}, expected ${JSON.stringify(wantStops)}`);
    }
    const [ringStyle, ringWidth, ringColour] = ring?.outline ?? [];
    const ringContrast = ring ? contrast(parseColour(await page.evaluate((c) => { const x = document.createElement('canvas').getContext('2d'); x.fillStyle = c; return x.fillStyle; }, ringColour)), parseColour(await page.evaluate((c) => { const x = document.createElement('canvas').getContext('2d'); x.fillStyle = c; return x.fillStyle; }, ring.background))) : 0;
    if (ringStyle === 'none' || !(ringWidth >= 2) || ringContrast < 3) {
      failAt(pages.source)(`the focus ring of the first stop is ${ringStyle} ${ringWidth}px ${ringColour}, contrast ${ringContrast.toFixed(2)} (expected a ring of 2 px or more at 3:1)`);
    }
    const number = await accessibleNode(page, '#L42');
    if (number?.role !== 'link' || number?.name !== 'line 42' || number?.ignored) {
      failAt(pages.source)(`line 42 is ${JSON.stringify(number)} to a screen reader, expected a link named "line 42"`);
    }

    // A range: #L20-L25 marks its lines and scrolls to the first.
    await page.goto(`${url(pages.source)}#L20-L25`);
    const range = await page.evaluate(inspectCode, 'L20');
    const wantRange = ['L20', 'L21', 'L22', 'L23', 'L24', 'L25'];
    if (JSON.stringify(range?.marked) !== JSON.stringify(wantRange)) failAt(`${pages.source}#L20-L25`)(`marked ${JSON.stringify(range?.marked)}, expected ${JSON.stringify(wantRange)}`);
    if (!range?.lineInView || range.lineTop > range.box.top + range.box.height / 3) failAt(`${pages.source}#L20-L25`)(`line 20 is not scrolled to the top of the code: ${JSON.stringify(range)}`);
    const bands = await gutter(page);
    const unbanded = wantRange.filter((id) => !(bands.lines.get(id)?.band?.[2] > 0));
    if (unbanded.length) failAt(`${pages.source}#L20-L25`)(`lines ${unbanded.join(', ')} are not marked across the page`);

    // Click on the number of line 10, shift-click on that of line 14.
    const clickNumber = async (id, modifiers) => {
      const box = await page.locator(`#${id}`).boundingBox();
      if (!box) throw new Error(`${id} has no box`);
      await page.mouse.move(box.x + 4, box.y + box.height / 2);
      for (const key of modifiers) await page.keyboard.down(key);
      await page.mouse.down();
      await page.mouse.up();
      for (const key of modifiers) await page.keyboard.up(key);
    };
    await page.goto(url(pages.source));
    await clickNumber('L10', []);
    await clickNumber('L14', ['Shift']);
    const shift = { hash: await page.evaluate(() => location.hash), code: await page.evaluate(inspectCode, 'L10'), pages: page.context().pages().length };
    const wantShift = ['L10', 'L11', 'L12', 'L13', 'L14'];
    if (shift.hash !== '#L10-L14' || JSON.stringify(shift.code?.marked) !== JSON.stringify(wantShift) || shift.pages !== 1) {
      failAt(pages.source)(`click on 10 and shift-click on 14 gave ${shift.hash}, marked ${JSON.stringify(shift.code?.marked)}, ${shift.pages} window(s); expected #L10-L14 marking lines 10 to 14 in one window`);
    }

    // A long line, scrolled sideways to its end on a phone: marked across
    // its width, its number in view, the scrollbar at the foot of the window.
    await page.setViewportSize(PHONE);
    await page.goto(`${url('src/long.h.html')}#L30`);
    await page.evaluate(() => { const code = document.querySelector('div.Code'); code.scrollLeft = code.scrollWidth; });
    const long = await page.evaluate(inspectCode, 'L30');
    const laidOut = await gutter(page);
    const band = laidOut.lines.get('L30')?.band;
    const where = failAt('src/long.h#L30');
    if (!long?.sideways || !(long.scrollLeft > 0)) where(`the code does not scroll sideways: ${JSON.stringify(long)}`);
    if (long?.numberAtLeft !== 'L30') where(`after scrolling sideways, the left of line 30 shows ${JSON.stringify(long?.numberAtLeft)}, not its number`);
    if (!band || !laidOut.pre || band[0] > laidOut.pre[0] + 1 || band[0] + band[2] < laidOut.pre[0] + laidOut.pre[2] - 1) {
      where(`the mark of line 30 (${band}) does not span the code (${laidOut.pre})`);
    }
    if (long?.pageScrolls || !(long?.box.bottom <= PHONE.height + 0.5)) where(`the code's sideways scrollbar is not at the foot of the window: ${JSON.stringify(long)}`);
    console.log(`${scheme}: axe-core, landmarks, keyboard (focus ring ${ringContrast.toFixed(2)}:1), phone, ranges and long lines checked`);
  }
});
