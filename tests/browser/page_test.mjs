#!/usr/bin/env node
// Converts fixture.cpp with lexpaint, with and without --line-numbers, opens
// the pages in headless Chromium in the light and the dark colour scheme, and
// checks what a reader really gets: the text inside <pre> is the source text,
// nothing in the source turned into markup, and every token is painted in its
// class colour with enough contrast. On the numbered pages it also checks the
// line numbers a reader sees, that copying the code copies no number, that a
// link to a line scrolls to it and marks it, and that clicking a number links
// to its line.
//
// Usage: node page_test.mjs LEXPAINT_BINARY DATA_DIR (runBrowserTest in
// common.mjs tells what it prints and its exit status)

import { copyFileSync, existsSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import {
  MIN_CONTRAST, checkGutterContrast, checkLineNumbers, contrast, expectedText,
  firstDifference, gutter, inspectAnchors, luminance, parseColour, renderedContrast,
  runBrowserTest, runLexpaint,
} from './common.mjs';

const KINDS = ['Identifier', 'Comment', 'Keyword', 'Operator', 'Number', 'String', 'Preprocessor'];
const ALLOWED_TAGS = new Set(['html', 'head', 'meta', 'title', 'style', 'body', 'pre', 'span']);
const NUMBERED_TAGS = new Set([...ALLOWED_TAGS, 'a']);
const VIEWPORT = { width: 900, height: 480 };
const DATA_FILES = ['Header.html', 'Footer.html', 'C_Keywords.txt'];

const here = dirname(fileURLToPath(import.meta.url));

// Runs inside the page. Reads the document before touching anything, so the
// element list is exactly what the HTML parser built from lexpaint's output.
function inspectPage(kinds) {
  const canvas = document.createElement('canvas').getContext('2d');
  const normalise = (colour) => {
    canvas.fillStyle = '#010203';
    canvas.fillStyle = colour;
    return canvas.fillStyle;
  };

  const tags = [...document.querySelectorAll('*')].map((el) => el.localName);
  const pres = document.querySelectorAll('pre');
  const spans = [...document.querySelectorAll('span')].map((el) => ({
    className: el.getAttribute('class'),
    text: el.textContent,
    colour: normalise(getComputedStyle(el).color),
  }));

  // The colour each class gets from the stylesheet: later rules win, rules in
  // @media blocks count only when their media query matches right now.
  const ruleColours = {};
  const walk = (rules) => {
    for (const rule of rules) {
      if (rule instanceof CSSMediaRule) {
        if (matchMedia(rule.media.mediaText).matches) walk(rule.cssRules);
      } else if (rule instanceof CSSStyleRule && rule.style.color) {
        for (const selector of rule.selectorText.split(',')) {
          const m = /(?:^|[\s>]|span)\.([A-Za-z]+)$/.exec(selector.trim());
          if (m && kinds.includes(m[1])) ruleColours[m[1]] = normalise(rule.style.color);
        }
      }
    }
  };
  for (const sheet of document.styleSheets) walk(sheet.cssRules);

  const backgrounds = [pres[0], document.body, document.documentElement]
    .filter(Boolean)
    .map((el) => normalise(getComputedStyle(el).backgroundColor));

  return {
    tags,
    preCount: pres.length,
    preText: pres.length ? pres[0].textContent : null,
    spans,
    ruleColours,
    backgrounds,
    darkQueryMatches: matchMedia('(prefers-color-scheme: dark)').matches,
  };
}

function checkScheme(scheme, label, info, expected, allowedTags, report) {
  const fail = (message) => report(`[${label}] ${message}`);

  if (info.darkQueryMatches !== (scheme === 'dark')) {
    fail(`prefers-color-scheme emulation did not take effect (dark matches: ${info.darkQueryMatches})`);
  }

  if (info.preCount !== 1) fail(`expected exactly one <pre>, found ${info.preCount}`);
  if (info.preText !== null && info.preText !== expected) {
    fail(`<pre> text differs from the source text: ${firstDifference(info.preText, expected)}`);
  }

  if (info.tags.includes('script')) fail('the document contains a <script> element');
  const strangers = [...new Set(info.tags.filter((t) => !allowedTags.has(t)))];
  if (strangers.length) fail(`unexpected elements in the document: ${strangers.join(', ')}`);

  const badClasses = [...new Set(info.spans.map((s) => s.className).filter((c) => !KINDS.includes(c)))];
  if (badClasses.length) fail(`spans with a class outside the seven kinds: ${badClasses.map((c) => JSON.stringify(c)).join(', ')}`);
  const seen = new Set(info.spans.map((s) => s.className));
  const unseen = KINDS.filter((k) => !seen.has(k));
  if (unseen.length) fail(`the fixture has every token kind, but no span has class ${unseen.join(', ')}`);

  // Text that looks like markup must end up as text inside the right token.
  const holder = (needle) => info.spans.find((s) => s.text.includes(needle));
  const scriptComment = holder('<script>alert(1)</script>');
  if (!scriptComment || scriptComment.className !== 'Comment') {
    fail(`"<script>alert(1)</script>" is not text inside a Comment span (found in: ${scriptComment ? scriptComment.className : 'no span'})`);
  }
  const preString = holder('</pre><b>not bold</b>');
  if (!preString || preString.className !== 'String') {
    fail(`"</pre><b>not bold</b>" is not text inside a String span (found in: ${preString ? preString.className : 'no span'})`);
  }
  const spotChecks = { '#include': 'Preprocessor', return: 'Keyword', template: 'Keyword', check: 'Identifier', 42: 'Number', '<': 'Operator' };
  for (const [text, kind] of Object.entries(spotChecks)) {
    const classes = new Set(info.spans.filter((s) => s.text === text).map((s) => s.className));
    if (classes.size !== 1 || !classes.has(kind)) {
      fail(`token ${JSON.stringify(text)} should be painted as ${kind}, got ${classes.size ? [...classes].join('/') : 'no span of its own'}`);
    }
  }

  for (const kind of KINDS) {
    if (!info.ruleColours[kind]) fail(`no stylesheet rule gives .${kind} a colour`);
  }
  const wrongColour = new Map();
  for (const span of info.spans) {
    const want = info.ruleColours[span.className];
    if (want && span.colour !== want && !wrongColour.has(span.className)) {
      wrongColour.set(span.className, `${span.className} span ${JSON.stringify(span.text)} is ${span.colour}, its rule says ${want}`);
    }
  }
  for (const message of wrongColour.values()) fail(message);

  const colours = KINDS.map((k) => info.ruleColours[k]).filter(Boolean);
  if (new Set(colours).size !== colours.length) {
    fail(`the seven classes do not have seven different colours: ${KINDS.map((k) => `${k}=${info.ruleColours[k]}`).join(' ')}`);
  }

  const background = info.backgrounds.map(parseColour).find((c) => c && c.a === 1);
  if (!background) {
    fail(`no opaque background on pre, body or html (${info.backgrounds.join(', ')})`);
    return { background: null, contrasts: {} };
  }
  const contrasts = {};
  for (const kind of KINDS) {
    const colour = parseColour(info.ruleColours[kind] || '');
    if (!colour) continue;
    contrasts[kind] = contrast(colour, background);
    if (colour.a !== 1) fail(`.${kind} colour ${info.ruleColours[kind]} is not opaque`);
    if (contrasts[kind] < MIN_CONTRAST) {
      fail(`.${kind} colour ${info.ruleColours[kind]} has contrast ${contrasts[kind].toFixed(2)} against ${info.backgrounds[0]}, below ${MIN_CONTRAST}`);
    }
  }
  return { background, contrasts };
}

// A source long enough that line 40 starts below the first screen.
function longSource(lineCount = 150) {
  const body = Array.from({ length: lineCount - 2 }, (_, i) => `    total += ${i + 2} * step; // line ${i + 2}`);
  return ['int sum(int step) { int total = 0;', ...body, '    return total; }', ''].join('\n');
}


async function checkSelection(page, expected, fail) {
  const copied = await page.evaluate(() => {
    const selection = getSelection();
    selection.selectAllChildren(document.querySelector('pre'));
    const text = selection.toString();
    selection.removeAllRanges();
    return text;
  });
  // The line feed that ends the last line ends the block too: it starts no
  // line on screen, so the browser copies the text without it, as from any <pre>.
  const copyable = expected.replace(/\n$/, '');
  if (copied !== copyable) fail(`selecting the whole <pre> gives other text than the source: ${firstDifference(copied, copyable)}`);
}

// Opened at #L40: line 40 is scrolled into view, its number and the whole line
// are marked, and no other line is.
async function checkTarget(page, laidOut, fail) {
  const { lines, pre, scroll } = laidOut;
  const [l39, l40, l41] = ['L39', 'L40', 'L41'].map((id) => lines.get(id));
  if (!l40?.numberBox || !l39 || !l41) return fail('the long page has no laid-out lines 39 to 41');
  const viewportHeight = await page.evaluate(() => document.documentElement.clientHeight);
  const [, top, , height] = l40.box;
  if (top + height <= viewportHeight) fail(`line 40 (y ${top}) is on the first screen, so #L40 proves nothing`);
  if (top < scroll.y || top + height > scroll.y + viewportHeight) {
    return fail(`line 40 (y ${top}..${top + height}) is not inside the viewport (y ${scroll.y}..${scroll.y + viewportHeight})`);
  }
  if (l40.background === l41.background) fail(`the number of line 40 is not marked: background ${l40.background}, as on line 41`);
  if (l39.background !== l41.background) fail(`the number of line 39 is marked: background ${l39.background}`);
  const banded = [...lines.values()].filter((line) => line.band?.[2] > 0 && line.band?.[3] > 0).map((line) => line.id);
  if (banded.join() !== 'L40') fail(`lines marked across the page: ${banded.join(', ') || 'none'}; expected L40 alone`);
  const band = l40.band;
  if (band && pre) {
    const bandMiddle = band[1] + band[3] / 2;
    if (bandMiddle < top || bandMiddle > top + height) fail(`the band (y ${band[1]}, height ${band[3]}) does not lie on line 40 (y ${top})`);
    if (band[0] > pre[0] + 1 || band[0] + band[2] < pre[0] + pre[2] - 1) fail(`the band (x ${band[0]}, width ${band[2]}) does not span the <pre> (x ${pre[0]}, width ${pre[2]})`);
  }
  const [x, y, w, h] = l40.numberBox;
  const marked = await renderedContrast(page, [x - scroll.x, y - scroll.y, w, h]);
  if (marked < MIN_CONTRAST) fail(`the marked number of line 40 is drawn with contrast ${marked.toFixed(2)}, below ${MIN_CONTRAST}`);
  return marked;
}

// A real mouse click in the middle of the number of line 7.
async function checkClick(page, laidOut, fail) {
  const box = laidOut.lines.get('L7')?.numberBox;
  if (!box) return fail('line 7 has no number to click');
  await page.mouse.click(box[0] + box[2] / 2 - laidOut.scroll.x, box[1] + box[3] / 2 - laidOut.scroll.y);
  const hash = await page.evaluate(() => location.hash);
  if (hash !== '#L7') fail(`clicking the number of line 7 left location.hash ${JSON.stringify(hash)}, expected "#L7"`);
}

// Runs lexpaint in WORK with ARGS and returns the file URL of the page it wrote.
function convert(binary, work, args, target) {
  runLexpaint(binary, args, { cwd: work });
  const pagePath = join(work, target);
  if (!existsSync(pagePath)) throw new Error(`lexpaint ${args.join(' ')} exited 0 but wrote no ${pagePath}`);
  return pathToFileURL(pagePath).href;
}

// The pages made with --line-numbers: the fixture page must pass every check
// the plain page passes (with <a> allowed) and show the right numbers; the long
// page is opened at #L40.
async function checkNumberedPages(page, scheme, pages, texts, background, report) {
  const label = `${scheme}, --line-numbers`;
  const fail = (message) => report(`[${label}] ${message}`);

  await page.goto(pages.numbered);
  checkScheme(scheme, label, await page.evaluate(inspectPage, KINDS), texts.fixture, NUMBERED_TAGS, report);
  const laidOut = await gutter(page);
  checkLineNumbers(await page.evaluate(inspectAnchors), laidOut, texts.fixture, fail);
  const gutterContrast = background ? checkGutterContrast(laidOut, background, fail) : 'n/a';
  await checkSelection(page, texts.fixture, fail);
  await checkClick(page, laidOut, fail);

  await page.goto(`${pages.long}#L40`);
  const longLaidOut = await gutter(page);
  checkLineNumbers(await page.evaluate(inspectAnchors), longLaidOut, texts.long, fail);
  const marked = await checkTarget(page, longLaidOut, fail);
  console.log(`${scheme}: line number contrast ${gutterContrast}; marked line number ${marked?.toFixed(2) ?? 'n/a'}`);
}

runBrowserTest({
  name: 'page',
  usage: 'LEXPAINT_BINARY DATA_DIR',
  pass: 'page text, markup, colours, contrast and line numbers are right in both schemes',
}, async ({ binary, args: [dataArg], work, fail, openPage }) => {
  const dataDir = resolve(dataArg);
  for (const name of DATA_FILES) {
    if (!existsSync(join(dataDir, name))) throw new Error(`data file not found: ${join(dataDir, name)}`);
    copyFileSync(join(dataDir, name), join(work, name));
  }
  const fixturePath = join(here, 'fixture.cpp');
  copyFileSync(fixturePath, join(work, 'fixture.cpp'));
  writeFileSync(join(work, 'long.cpp'), longSource());
  const texts = {
    fixture: expectedText(readFileSync(fixturePath, 'utf8')),
    long: expectedText(longSource()),
  };
  const pages = {
    plain: convert(binary, work, ['fixture.cpp'], 'fixture.cpp.html'),
    numbered: convert(binary, work, ['--line-numbers', 'fixture.cpp', 'numbered.html'], 'numbered.html'),
    long: convert(binary, work, ['-n', 'long.cpp', 'long.html'], 'long.html'),
  };

  const page = await openPage({ viewport: VIEWPORT });
  const results = {};
  for (const scheme of ['light', 'dark']) {
    await page.emulateMedia({ colorScheme: scheme });
    await page.goto(pages.plain);
    const info = await page.evaluate(inspectPage, KINDS);
    results[scheme] = checkScheme(scheme, scheme, info, texts.fixture, ALLOWED_TAGS, fail);
    const shown = Object.entries(results[scheme].contrasts).map(([k, v]) => `${k} ${v.toFixed(2)}`);
    console.log(`${scheme}: ${info.spans.length} spans; contrast: ${shown.join(', ')}`);
    await checkNumberedPages(page, scheme, pages, texts, results[scheme].background, fail);
  }
  const { light, dark } = results;
  if (light.background && dark.background && luminance(dark.background) >= luminance(light.background)) {
    fail('the dark scheme background is not darker than the light one');
  }
});
