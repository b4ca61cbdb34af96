// Helpers shared by the browser tests: the frame every test runs in (its
// arguments, prerequisites, folders, browser, failures and exit status), the
// tree and the site a test publishes, the text a <pre> should hold, colour
// contrast, axe-core, and the line numbers as Chromium lays them out.

import { spawnSync } from 'node:child_process';
import { createReadStream, existsSync, mkdirSync, mkdtempSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, normalize, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const SKIP = 77;
export const CHROMIUM = '/usr/bin/chromium';
export const CHROMIUM_FLAGS = [
  '--no-sandbox', '--headless', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-quic',
];

export const MIN_CONTRAST = 4.5;

const inCI = process.env.CI === 'true';
const here = dirname(fileURLToPath(import.meta.url));

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
export function expectedText(source) {
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

export function firstDifference(actual, expected) {
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
export function parseColour(text) {
  let m = /^#([0-9a-f]{2})([0-9a-f]{2})([0-9a-f]{2})$/i.exec(text);
  if (m) return { r: parseInt(m[1], 16), g: parseInt(m[2], 16), b: parseInt(m[3], 16), a: 1 };
  m = /^rgba?\(\s*([\d.]+),\s*([\d.]+),\s*([\d.]+)(?:,\s*([\d.]+))?\s*\)$/.exec(text);
  if (m) return { r: +m[1], g: +m[2], b: +m[3], a: m[4] === undefined ? 1 : +m[4] };
  return null;
}

export function luminance({ r, g, b }) {
  const lin = (c) => {
    const s = c / 255;
    return s <= 0.03928 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
  };
  return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

export function contrast(x, y) {
  const [hi, lo] = [luminance(x), luminance(y)].sort((p, q) => q - p);
  return (hi + 0.05) / (lo + 0.05);
}


// The colour TOP, maybe translucent, painted over the opaque colour BOTTOM.
export function over(top, bottom) {
  const a = top.a;
  return { r: top.r * a + bottom.r * (1 - a), g: top.g * a + bottom.g * (1 - a), b: top.b * a + bottom.b * (1 - a), a: 1 };
}

// The contrast a reader gets: the backgrounds (listed innermost first) painted
// from the outermost in over the white of the canvas, then the text over them.
export function seenContrast({ colour, backgrounds }) {
  let background = { r: 255, g: 255, b: 255, a: 1 };
  for (const layer of [...backgrounds].reverse()) background = over(parseColour(layer), background);
  return { ratio: contrast(over(parseColour(colour), background), background), background };
}

export function lineStarts(text) {
  const starts = [0];
  for (let i = text.indexOf('\n'); i !== -1 && i + 1 < text.length; i = text.indexOf('\n', i + 1)) {
    starts.push(i + 1);
  }
  return starts;
}

// Runs inside the page: every element inside <pre> that matches `anchors`
// (by default every <a>), with the offset in the <pre>'s text at which it
// stands, and how many elements of the document match `strays` (by default any
// <a> that is not an a.Line directly inside <pre>).
export function inspectAnchors({ anchors: wanted = 'a', strays = 'a:not(pre > a.Line)' } = {}) {
  const pre = document.querySelector('pre');
  const anchors = [];
  let offset = 0;
  const walker = document.createTreeWalker(pre, NodeFilter.SHOW_ELEMENT | NodeFilter.SHOW_TEXT);
  for (let node = walker.nextNode(); node; node = walker.nextNode()) {
    if (node.nodeType === Node.TEXT_NODE) offset += node.data.length;
    else if (node.matches(wanted)) {
      anchors.push({ id: node.id, href: node.getAttribute('href'), className: node.className, offset, empty: !node.firstChild });
    }
  }
  return { anchors, strays: document.querySelectorAll(strays).length, straySelector: strays };
}

// The line numbers as Chromium laid them out, read from a DOM snapshot of the
// layout tree. The numbers exist nowhere in the DOM (getComputedStyle only
// gives back content "counter(line)"), and reading pixels would need OCR; the
// layout tree holds the text the counter produced for each ::before and the
// boxes that are painted. Bounds are [x, y, width, height] in document pixels.
export async function gutter(page) {
  const cdp = await page.context().newCDPSession(page);
  try {
    const { documents: [doc], strings } = await cdp.send('DOMSnapshot.captureSnapshot', {
      computedStyles: ['color', 'background-color', 'visibility'],
    });
    const { nodes, layout } = doc;
    const str = (index) => (index >= 0 ? strings[index] : undefined);
    const lines = new Map(); // node index of an a.Line -> what was laid out for it
    const pseudo = new Map(); // node index of a ::before or ::after -> [line, name]
    let pre = null;
    nodes.nodeName.forEach((nameIndex, node) => {
      const name = str(nameIndex);
      const attributes = nodes.attributes[node].map(str);
      const attribute = (key) => attributes[attributes.indexOf(key) + 1];
      if (name === 'A' && (attribute('class') ?? '').split(' ').includes('Line')) lines.set(node, { id: attribute('id'), number: '' });
      const line = lines.get(nodes.parentIndex[node]);
      if (line && (name === '::before' || name === '::after')) pseudo.set(node, [line, name]);
    });
    layout.nodeIndex.forEach((node, i) => {
      const bounds = layout.bounds[i];
      if (str(nodes.nodeName[node]) === 'PRE') pre = bounds;
      const [line, name] = pseudo.get(node) ?? [];
      if (!line) return;
      const text = str(layout.text[i]);
      if (name === '::after') {
        if (!line.band || bounds[2] > line.band[2]) line.band = bounds;
      } else if (text !== undefined) {
        line.number += text;
        line.numberBox ??= bounds;
      } else {
        [line.colour, line.background, line.visibility] = layout.styles[i].map(str);
        line.box = bounds;
      }
    });
    return { lines: new Map([...lines.values()].map((line) => [line.id, line])), pre, scroll: { x: doc.scrollOffsetX, y: doc.scrollOffsetY } };
  } finally {
    await cdp.detach();
  }
}

export function checkLineNumbers(anchorInfo, laidOut, text, fail) {
  const starts = lineStarts(text);
  const { anchors, strays, straySelector } = anchorInfo;
  if (strays) fail(`${strays} element(s) matching ${straySelector}, which should match none`);
  if (anchors.length !== starts.length) fail(`${anchors.length} anchors for ${starts.length} source lines`);
  const wrong = anchors.map((anchor, i) => {
    const n = String(i + 1);
    const shown = laidOut.lines.get(anchor.id);
    if (anchor.id !== `L${n}` || anchor.href !== `#L${n}` || anchor.className !== 'Line' || !anchor.empty) {
      return `anchor ${i + 1} is ${JSON.stringify(anchor)}, expected an empty a.Line with id L${n} and href #L${n}`;
    }
    if (anchor.offset !== starts[i]) return `anchor L${n} stands at text offset ${anchor.offset}, not at the start of line ${n} (${starts[i]})`;
    if (!shown || shown.number !== n) return `line ${n} shows the number ${JSON.stringify(shown?.number)}`;
    if (!(shown.box?.[2] > 0 && shown.box?.[3] > 0 && shown.numberBox?.[2] > 0) || shown.visibility !== 'visible') {
      return `the number of line ${n} is not shown (box ${shown.box}, text box ${shown.numberBox}, visibility ${shown.visibility})`;
    }
    return null;
  }).find(Boolean);
  if (wrong) fail(`line numbers: ${wrong}`);
}

// Contrast of the gutter numbers of unmarked lines against the page background.
export function checkGutterContrast(laidOut, background, fail) {
  const colours = new Set([...laidOut.lines.values()].filter((line) => line.box && !line.band).map((line) => line.colour));
  const results = [...colours].map((text) => {
    const colour = parseColour(text);
    const ratio = colour?.a === 1 ? contrast(colour, background) : 0;
    if (ratio < MIN_CONTRAST) fail(`line number colour ${text} has contrast ${ratio.toFixed(2)}, below ${MIN_CONTRAST}`);
    return ratio.toFixed(2);
  });
  return results.join('/');
}

// Runs inside the page: the RGBA bytes of a PNG.
export async function decodePng(base64) {
  const image = new Image();
  image.src = `data:image/png;base64,${base64}`;
  await image.decode();
  const canvas = new OffscreenCanvas(image.width, image.height);
  const context = canvas.getContext('2d');
  context.drawImage(image, 0, 0);
  return Array.from(context.getImageData(0, 0, image.width, image.height).data);
}

// The contrast a reader gets in a box of the viewport: between its most common
// pixel (the background) and the pixel farthest from it (the core of a glyph).
// Measured on screen because the marked line's band lies across the text and
// the stylesheet alone does not tell what is painted over what.
export async function renderedContrast(page, [x, y, width, height]) {
  const png = await page.screenshot({ clip: { x, y, width, height } });
  const bytes = await page.evaluate(decodePng, png.toString('base64'));
  const counts = new Map();
  for (let i = 0; i < bytes.length; i += 4) {
    const key = bytes.slice(i, i + 3).join(',');
    counts.set(key, (counts.get(key) ?? 0) + 1);
  }
  const toColour = (key) => { const [r, g, b] = key.split(',').map(Number); return { r, g, b }; };
  const background = toColour([...counts].sort((p, q) => q[1] - p[1])[0][0]);
  return Math.max(...[...counts.keys()].map((key) => contrast(toColour(key), background)));
}

// Checks that the system Chromium and playwright-core (installed by "npm ci"
// here), and axe-core when NEEDS_AXE, are there, skipping or failing as
// prerequisiteMissing does, and returns playwright-core's chromium.
async function requireChromium(needsAxe) {
  if (!existsSync(CHROMIUM)) prerequisiteMissing(`${CHROMIUM} is not installed`);
  for (const module of ['playwright-core', ...(needsAxe ? ['axe-core'] : [])]) {
    if (!existsSync(join(here, 'node_modules', module))) {
      prerequisiteMissing(`${module} is missing from ${join(here, 'node_modules')}; run "npm ci" in ${here}`);
    }
  }
  const { chromium } = await import('playwright-core');
  return chromium;
}

// Serves the files of FOLDER over HTTP on 127.0.0.1, at a free port; resolves to the server.
export function serveFolder(folder) {
  const server = createServer((request, response) => {
    const path = normalize(join(folder, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (!path.startsWith(folder) || !existsSync(path) || !statSync(path).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const type = path.endsWith('.js') ? 'text/javascript' : path.endsWith('.css') ? 'text/css' : 'text/html';
    response.writeHead(200, { 'content-type': `${type}; charset=utf-8` });
    createReadStream(path).pipe(response);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// Runs the browser test NAME (the file NAME_test.mjs) and exits. USAGE names
// its arguments, the lexpaint binary first; those in [brackets] are optional.
// A wrong call or a missing binary is fatal; a missing Chromium, playwright-core
// or (with NEEDS_AXE) axe-core skips the test, as prerequisiteMissing says.
// Then CHECKS runs with
//   binary    the lexpaint binary, as an absolute path
//   args      the arguments after it
//   work      an empty folder of the test's own
//   fail      fail(message) records a failed check and lets the test go on
//   openPage  openPage(options) launches Chromium with options for its context
//             and resolves to its first page
//   serve     serve(folder) serves the files of FOLDER over HTTP on 127.0.0.1
//             and resolves to the server
// Whatever CHECKS opened is closed when it ends, however it ends, and the
// Chromium profile is removed. When nothing failed, the test prints
// "PASS: " and PASS, removes WORK and exits 0. Otherwise it prints each distinct
// failure once on stderr as "FAIL: message", then an error CHECKS threw and a
// count, keeps WORK for a look at what was wrong, names it, and exits 1.
export async function runBrowserTest({ name, usage = 'LEXPAINT_BINARY', needsAxe = false, pass }, checks) {
  const args = process.argv.slice(2);
  if (args.length < usage.split(' ').filter((word) => !word.startsWith('[')).length) {
    fatal(`usage: node ${name}_test.mjs ${usage}`);
  }
  const binary = resolve(args[0]);
  if (!existsSync(binary)) fatal(`lexpaint binary not found: ${binary}`);
  const chromium = await requireChromium(needsAxe);

  const work = mkdtempSync(join(tmpdir(), `lexpaint-${name}-`));
  const profile = mkdtempSync(join(tmpdir(), 'lexpaint-chromium-'));
  const failures = new Set();
  const fail = (message) => failures.add(message);
  const open = new Set();
  const openPage = async (options) => {
    const context = await chromium.launchPersistentContext(profile, {
      executablePath: CHROMIUM, headless: true, args: CHROMIUM_FLAGS, ...options,
    });
    open.add(context);
    context.once('close', () => open.delete(context));
    return context.pages()[0] ?? (await context.newPage());
  };
  const serve = async (folder) => {
    const server = await serveFolder(folder);
    open.add(server);
    return server;
  };

  let error = null;
  try {
    await checks({ binary, args: args.slice(1), work, fail, openPage, serve });
  } catch (thrown) {
    error = thrown;
  }
  for (const thing of open) {
    try {
      await thing.close();
    } catch (thrown) {
      fail(`closing ${thing.constructor.name} failed: ${thrown.message}`);
    }
  }
  rmSync(profile, { recursive: true, force: true });

  if (failures.size === 0 && !error) {
    rmSync(work, { recursive: true, force: true });
    console.log(`PASS: ${pass}`);
    process.exit(0);
  }
  for (const message of failures) console.error(`FAIL: ${message}`);
  if (error) console.error(`FAIL: the test stopped: ${error instanceof Error ? error.stack : String(error)}`);
  const count = `${failures.size} check(s) failed`;
  const summary = !error ? count : failures.size ? `${count}, then the test stopped` : 'the test stopped';
  console.error(`${summary}; its files are kept in ${work}`);
  process.exit(1);
}

// Writes TREE, a map of paths relative to ROOT to the texts of the files, under ROOT.
export function writeTree(root, tree) {
  for (const [rel, text] of Object.entries(tree)) {
    mkdirSync(join(root, dirname(rel)), { recursive: true });
    writeFileSync(join(root, rel), text);
  }
}

// Runs lexpaint with ARGS (OPTIONS as spawnSync takes them) and throws unless it exits 0.
export function runLexpaint(binary, args, options = {}) {
  const run = spawnSync(binary, args, { encoding: 'utf8', ...options });
  if (run.error) throw new Error(`could not run ${binary}: ${run.error.message}`);
  if (run.status !== 0) {
    throw new Error(`lexpaint ${args.join(' ')} exited with ${run.status ?? run.signal}; output: ${JSON.stringify(run.stdout + run.stderr)}`);
  }
}

// Runs axe-core on the page with its default rules, and RULES switched on or
// off beside them; resolves to a line for each violation, or to a complaint
// when no rule ran at all.
export async function axeViolations(page, rules = {}) {
  await page.addScriptTag({ path: createRequire(import.meta.url).resolve('axe-core/axe.min.js') });
  return page.evaluate(async (chosen) => {
    const result = await window.axe.run(document, { rules: chosen });
    if (result.passes.length === 0) return ['no rule of axe-core ran'];
    return result.violations.map((v) => `${v.impact} ${v.id}: ${v.nodes.length} node(s), e.g. ${v.nodes[0]?.target.join(' ')}: ${v.help}`);
  }, rules);
}
