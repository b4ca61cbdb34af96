#!/usr/bin/env node
// Follows the uses of names in a small site published with `lexpaint --tree`, in headless
// Chromium, in the light and the dark colour scheme:
// - clicking a name where it is defined opens the list of its uses, grouped by file in path
//   order, each file with its count, and every listed line holds the name;
// - clicking a use there opens its page at that line, which holds the name;
// - pointing at an identifier, or focusing its link, marks every identifier of the page that
//   reads the same, and only those, with a contrast of at least 4.5:1; leaving it clears them;
//   the letter that ends a number (the a of 0x0a) is no such identifier;
// - axe-core finds no accessibility violation on the page of uses.
//
// Usage: node uses_test.mjs LEXPAINT_BINARY [SCREENSHOT_DIR] (runBrowserTest in common.mjs tells
// what it prints and its exit status)

import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { MIN_CONTRAST, axeViolations, contrast, parseColour, runBrowserTest, runLexpaint, writeTree } from './common.mjs';

const TREE = {
  'src/lib/shapes.h': 'int twice(int x) { return 2 * x; }\nstruct Point { int x, y; };\n',
  'src/main.cpp': [
    '#include "lib/shapes.h"',
    'Point origin;',
    'int main() {',
    '  int a = twice(1);',
    '  // twice in a comment is no use',
    '  return twice(a) + (int)((Point*)&origin)->x;',
    '}',
    'int b = 0x0a;',
    '',
  ].join('\n'),
  'src/app/run.cpp': '#include "../lib/shapes.h"\nint run() { return twice(3); }\n',
};
// The uses of twice, by file in path order, with the lines that use it.
const TWICE_USES = [['app/run.cpp', [2]], ['main.cpp', [4, 6]]];

// Runs inside a page of uses: the section of `name`, its files with their counts, and the texts
// and line numbers of its rows.
function readUses(name) {
  const section = document.getElementById(name);
  if (!section) return null;
  return [...section.querySelectorAll('tbody')].map((group) => ({
    file: group.querySelector('th')?.textContent ?? '',
    rows: [...group.querySelectorAll('tr')].slice(1).map((row) => ({
      line: Number(row.cells[0].textContent),
      text: row.cells[1].textContent,
    })),
  }));
}

// Runs inside a source page: the identifiers marked, and the colours of the first of them.
function readMarks() {
  const marked = [...document.querySelectorAll('span.Same')];
  const first = marked[0];
  const style = first ? getComputedStyle(first) : null;
  return {
    texts: marked.map((span) => span.textContent),
    color: style?.color ?? null,
    background: style?.backgroundColor ?? null,
  };
}

// The identifiers that read `text`, but for the letters that end a number.
function countIdentifiers(text) {
  const glued = (span) => span.previousSibling instanceof Element && span.previousSibling.matches('span.Number');
  return [...document.querySelectorAll('pre span.Identifier')].filter((span) => span.textContent === text && !glued(span)).length;
}

// Whether the letter after the number 0x0 is marked.
function numberLetterMarked() {
  const number = [...document.querySelectorAll('pre span.Number')].find((span) => span.textContent === '0x0');
  return number?.nextSibling?.classList?.contains('Same') ?? null;
}

async function checkMarks(page, text, fail) {
  const marks = await page.evaluate(readMarks);
  const expected = await page.evaluate(countIdentifiers, text);
  if (marks.texts.length !== expected || marks.texts.some((t) => t !== text)) {
    fail(`marked ${JSON.stringify(marks.texts)}, expected the ${expected} identifiers ${text}`);
    return;
  }
  const ratio = contrast(parseColour(marks.color), parseColour(marks.background));
  if (!(ratio >= MIN_CONTRAST)) fail(`a marked ${text} has contrast ${ratio.toFixed(2)} (${marks.color} on ${marks.background})`);
  return ratio;
}

runBrowserTest({
  name: 'uses',
  usage: 'LEXPAINT_BINARY [SCREENSHOT_DIR]',
  needsAxe: true,
  pass: 'definitions lead to their uses and back, and a name pointed at or focused marks the same names, in both schemes',
}, async ({ binary, args: [shots], work, fail, openPage }) => {
  const site = join(work, 'site');
  const url = (rel) => pathToFileURL(join(site, rel)).href;
  writeTree(work, TREE);
  runLexpaint(binary, ['--tree', join(work, 'src'), site]);

  const page = await openPage({ viewport: { width: 900, height: 600 } });
  for (const scheme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: scheme });
    const failAt = (where) => (message) => fail(`[${scheme}, ${where}] ${message}`);

    // From the definition to its uses.
    await page.goto(url('lib/shapes.h.html'));
    await page.locator('pre a[href*="uses/"]', { hasText: /^twice$/ }).click();
    await page.waitForURL((target) => target.hash === '#twice', { timeout: 5000 }).catch(() => {});
    const usesUrl = page.url();
    if (!/\/uses\/[^/]*\.html#twice$/.test(usesUrl)) failAt('lib/shapes.h.html')(`the definition of twice led to ${usesUrl}`);
    const groups = await page.evaluate(readUses, 'twice');
    const seen = JSON.stringify(groups?.map((g) => [g.file, g.rows.map((r) => r.line)]));
    const wanted = JSON.stringify(TWICE_USES.map(([file, lines]) => [`${file} (${lines.length})`, lines]));
    if (seen !== wanted) failAt('uses of twice')(`files and lines ${seen}, expected ${wanted}`);
    for (const row of (groups ?? []).flatMap((g) => g.rows)) {
      if (!/\btwice\b/.test(row.text)) failAt('uses of twice')(`line ${row.line} reads ${JSON.stringify(row.text)}`);
    }
    for (const violation of await axeViolations(page)) failAt('uses page')(`axe-core: ${violation}`);
    if (shots) await page.screenshot({ path: join(shots, `uses-${scheme}.png`) });

    // Back to a use.
    await page.goto(usesUrl);
    await page.locator('section#twice tbody', { hasText: 'main.cpp' }).getByRole('link', { name: '6', exact: true }).click();
    await page.waitForURL((target) => target.hash === '#L6', { timeout: 5000 }).catch(() => {});
    const line = await page.evaluate(() => {
      const anchor = document.getElementById('L6');
      let text = '';
      for (let node = anchor?.nextSibling; node && !(node.nodeType === 1 && node.matches('a.Line')); node = node.nextSibling) text += node.textContent;
      return text;
    });
    if (!page.url().endsWith('/main.cpp.html#L6') || !/\btwice\b/.test(line)) failAt('main.cpp')(`the use led to ${page.url()}, whose line reads ${JSON.stringify(line)}`);

    // Other occurrences marked, by pointing and by focus.
    const where = failAt('main.cpp.html');
    await page.locator('span.Identifier', { hasText: /^twice$/ }).nth(1).hover();
    const ratio = await checkMarks(page, 'twice', where);
    if (shots) await page.screenshot({ path: join(shots, `marks-${scheme}.png`) });
    await page.locator('span.Operator').first().hover();
    if ((await page.evaluate(readMarks)).texts.length) where('marks stay once the pointer leaves the identifier');
    await page.locator('a', { has: page.locator('span.Identifier', { hasText: /^Point$/ }) }).first().focus();
    await checkMarks(page, 'Point', where);
    await page.locator('a', { has: page.locator('span.Identifier', { hasText: /^Point$/ }) }).first().blur();
    if ((await page.evaluate(readMarks)).texts.length) where('marks stay once focus leaves the identifier');
    // The a of 0x0a is part of the number: pointing at the variable a marks its two
    // occurrences, not it, and pointing at it marks nothing.
    await page.locator('span.Identifier', { hasText: /^a$/ }).first().hover();
    const variable = await page.evaluate(readMarks);
    const letterMarked = await page.evaluate(numberLetterMarked);
    if (variable.texts.length !== 2 || letterMarked !== false) {
      where(`pointing at a marked ${variable.texts.length} identifiers, expected 2; the a of 0x0a marked: ${letterMarked}`);
    }
    await page.locator('span.Number', { hasText: /^0x0$/ }).locator('xpath=following-sibling::span[1]').hover();
    if ((await page.evaluate(readMarks)).texts.length) where('pointing at the a of 0x0a marks identifiers');
    console.log(`${scheme}: definition to uses to a use, marks by pointer and focus (contrast ${ratio?.toFixed(2)}:1), axe-core checked`);
  }
});
