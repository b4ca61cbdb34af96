#!/usr/bin/env node
// Converts fixture.cpp with lexpaint, opens the page in headless Chromium in
// the light and the dark colour scheme, and checks what a reader really gets:
// the text inside <pre> is the source text, nothing in the source turned into
// markup, and every token is painted in its class colour with enough contrast.
//
// Usage: node page_test.mjs LEXPAINT_BINARY DATA_DIR
// Exit status: 0 all checks passed, 1 a check failed, 77 skipped because
// Chromium or node_modules is missing (only when CI is not "true").

import { spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const SKIP = 77;
const CHROMIUM = '/usr/bin/chromium';
const CHROMIUM_FLAGS = [
  '--no-sandbox', '--headless', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-quic',
];
const KINDS = ['Identifier', 'Comment', 'Keyword', 'Operator', 'Number', 'String', 'Preprocessor'];
const ALLOWED_TAGS = new Set(['html', 'head', 'meta', 'title', 'style', 'body', 'pre', 'span']);
const DATA_FILES = ['Header.html', 'Footer.html', 'C_Keywords.txt'];

const here = dirname(fileURLToPath(import.meta.url));
const inCI = process.env.CI === 'true';

function fatal(message) {
  console.error(`FAIL: ${message}`);
  process.exit(1);
}

// A missing prerequisite is a skip on a developer machine but a failure in CI,
// where the pipeline is expected to have installed everything.
function prerequisiteMissing(message) {
  if (inCI) fatal(`${message} (CI=true, so this is an error)`);
  console.log(`SKIP: ${message}`);
  process.exit(SKIP);
}

// The text the <pre> should hold: the source with tabs outside comments and
// literals widened to four spaces, and every line ending in "\n".
// This is a deliberately small scanner that only tracks where comments and
// literals start and stop; fixture.cpp avoids raw strings and digit separators.
function expectedText(source) {
  let out = '';
  let state = 'code';
  for (let i = 0; i < source.length; i++) {
    const ch = source[i];
    const next = source[i + 1];
    if (state === 'code') {
      if (ch === '/' && next === '/') { state = 'line-comment'; out += '//'; i++; continue; }
      if (ch === '/' && next === '*') { state = 'block-comment'; out += '/*'; i++; continue; }
      if (ch === '"') state = 'string';
      else if (ch === "'") state = 'char';
      out += ch === '\t' ? '    ' : ch;
    } else if (state === 'line-comment') {
      if (ch === '\n') state = 'code';
      out += ch;
    } else if (state === 'block-comment') {
      if (ch === '*' && next === '/') { state = 'code'; out += '*/'; i++; continue; }
      out += ch;
    } else {
      if (ch === '\\' && next !== undefined && next !== '\n') { out += ch + next; i++; continue; }
      const closer = state === 'string' ? '"' : "'";
      if (ch === closer || ch === '\n') state = 'code';
      out += ch;
    }
  }
  if (out.length > 0 && !out.endsWith('\n')) out += '\n';
  return out;
}

function firstDifference(actual, expected) {
  const a = actual.split('\n');
  const e = expected.split('\n');
  for (let i = 0; i < Math.max(a.length, e.length); i++) {
    if (a[i] !== e[i]) {
      return `line ${i + 1}: got ${JSON.stringify(a[i])}, expected ${JSON.stringify(e[i])}`;
    }
  }
  return 'texts differ only in length';
}

// Colours come back from the page as canvas-normalised strings: "#rrggbb" when
// opaque, "rgba(r, g, b, a)" otherwise.
function parseColour(text) {
  let m = /^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$/i.exec(text);
  if (m) return { r: parseInt(m[1], 16), g: parseInt(m[2], 16), b: parseInt(m[3], 16), a: 1 };
  m = /^rgba?\(\s*([\d.]+),\s*([\d.]+),\s*([\d.]+)(?:,\s*([\d.]+))?\s*\)$/.exec(text);
  if (m) return { r: +m[1], g: +m[2], b: +m[3], a: m[4] === undefined ? 1 : +m[4] };
  return null;
}

function luminance({ r, g, b }) {
  const lin = (c) => {
    const s = c / 255;
    return s <= 0.03928 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

function contrast(x, y) {
  const [hi, lo] = [luminance(x), luminance(y)].sort((p, q) => q - p);
  return (hi + 0.05) / (lo + 0.05);
}

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

function checkScheme(scheme, info, expected, failures) {
  const fail = (message) => failures.push(`[${scheme}] ${message}`);

  if (info.darkQueryMatches !== (scheme === 'dark')) {
    fail(`prefers-color-scheme emulation did not take effect (dark matches: ${info.darkQueryMatches})`);
  }

  if (info.preCount !== 1) fail(`expected exactly one <pre>, found ${info.preCount}`);
  if (info.preText !== null && info.preText !== expected) {
    fail(`<pre> text differs from the source text: ${firstDifference(info.preText, expected)}`);
  }

  if (info.tags.includes('script')) fail('the document contains a <script> element');
  const strangers = [...new Set(info.tags.filter((t) => !ALLOWED_TAGS.has(t)))];
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
    if (contrasts[kind] < 4.5) {
      fail(`.${kind} colour ${info.ruleColours[kind]} has contrast ${contrasts[kind].toFixed(2)} against ${info.backgrounds[0]}, below 4.5`);
    }
  }
  return { background, contrasts };
}

async function main() {
  const [binaryArg, dataArg] = process.argv.slice(2);
  if (!binaryArg || !dataArg) fatal('usage: node page_test.mjs LEXPAINT_BINARY DATA_DIR');
  const binary = resolve(binaryArg);
  const dataDir = resolve(dataArg);
  if (!existsSync(binary)) fatal(`lexpaint binary not found: ${binary}`);
  for (const name of DATA_FILES) {
    if (!existsSync(join(dataDir, name))) fatal(`data file not found: ${join(dataDir, name)}`);
  }
  if (!existsSync(CHROMIUM)) prerequisiteMissing(`${CHROMIUM} is not installed`);
  if (!existsSync(join(here, 'node_modules', 'playwright-core'))) {
    prerequisiteMissing(`${join(here, 'node_modules')} is missing; run "npm ci" in ${here}`);
  }
  const { chromium } = await import('playwright-core');

  const work = mkdtempSync(join(tmpdir(), 'lexpaint-page-'));
  const profile = mkdtempSync(join(tmpdir(), 'lexpaint-chromium-'));
  let context;
  let keepPage = false;
  try {
    for (const name of DATA_FILES) copyFileSync(join(dataDir, name), join(work, name));
    const fixturePath = join(here, 'fixture.cpp');
    copyFileSync(fixturePath, join(work, 'fixture.cpp'));
    const expected = expectedText(readFileSync(fixturePath, 'utf8'));

    const run = spawnSync(binary, ['fixture.cpp'], { cwd: work, encoding: 'utf8' });
    if (run.error) throw new Error(`could not run ${binary}: ${run.error.message}`);
    if (run.status !== 0) {
      throw new Error(`lexpaint exited with ${run.status ?? run.signal}; output: ${JSON.stringify(run.stdout + run.stderr)}`);
    }
    const pagePath = join(work, 'fixture.cpp.html');
    if (!existsSync(pagePath)) throw new Error(`lexpaint exited 0 but wrote no ${pagePath}`);

    context = await chromium.launchPersistentContext(profile, {
      executablePath: CHROMIUM,
      headless: true,
      args: CHROMIUM_FLAGS,
    });
    const page = context.pages()[0] ?? (await context.newPage());
    const failures = [];
    const results = {};
    for (const scheme of ['light', 'dark']) {
      await page.emulateMedia({ colorScheme: scheme });
      await page.goto(pathToFileURL(pagePath).href);
      const info = await page.evaluate(inspectPage, KINDS);
      results[scheme] = checkScheme(scheme, info, expected, failures);
      const shown = Object.entries(results[scheme].contrasts).map(([k, v]) => `${k} ${v.toFixed(2)}`);
      console.log(`${scheme}: ${info.spans.length} spans; contrast: ${shown.join(', ')}`);
    }
    const { light, dark } = results;
    if (light.background && dark.background && luminance(dark.background) >= luminance(light.background)) {
      failures.push('the dark scheme background is not darker than the light one');
    }

    if (failures.length) {
      for (const message of failures) console.error(`FAIL: ${message}`);
      console.error(`${failures.length} check(s) failed; page kept at ${pagePath}`);
      keepPage = true;
      return 1;
    }
    console.log('PASS: page text, markup, colours and contrast are right in both schemes');
    return 0;
  } finally {
    if (context) await context.close();
    rmSync(profile, { recursive: true, force: true });
    if (!keepPage) rmSync(work, { recursive: true, force: true });
  }
}

main().then(
  (status) => process.exit(status),
  (error) => fatal(error instanceof Error ? error.message : String(error)),
);
