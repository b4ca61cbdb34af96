#!/usr/bin/env node
// Measures the search box of a site in headless Chromium: how long results take to show after
// each keystroke, for a first query (which loads its parts of the index) and once its parts are
// loaded, from file:// and over HTTP (a server on 127.0.0.1 started here); how many bytes of
// index each query loads; and the bytes of the whole index against those of the site. Then it
// types SSL_CTX and SmallVector.h, presses Enter, and says where each landed.
//
//   node bench/search.mjs SITE [SOURCE]
//
// SITE is a site written by lexpaint --tree (bench/search.sh writes that of /usr/include).
// Queries are typed a character at a time, as a reader types: a keystroke sets the box's value
// and fires its input event, and the time runs until the results of that value are shown.
// Environment: QUERIES (separated by spaces) replaces the default list; RUNS (default 5) is how
// many fresh pages each query is typed in, of which the medians are printed.
// Needs /usr/bin/chromium and playwright-core (run "npm ci" in tests/browser).

import { existsSync, mkdtempSync, readdirSync, rmSync, statSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { serveFolder } from '../tests/browser/common.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const site = resolve(process.argv[2] ?? '');
if (!process.argv[2] || !existsSync(join(site, 'search', 'files.js'))) {
  console.error('usage: node bench/search.mjs SITE (a site written by lexpaint --tree)');
  process.exit(2);
}
const QUERIES = (process.env.QUERIES ?? 'SSL_CTX SmallVector.h ADT/SmallVec smvec vector get_ s str printf').split(/\s+/).filter(Boolean);
const RUNS = Number(process.env.RUNS ?? 5);
const CHROMIUM = '/usr/bin/chromium';
const { chromium } = createRequire(join(root, 'tests', 'browser', 'package.json'))('playwright-core');

function bytesUnder(folder) {
  let total = 0;
  for (const entry of readdirSync(folder, { withFileTypes: true })) {
    const path = join(folder, entry.name);
    total += entry.isDirectory() ? bytesUnder(path) : statSync(path).size;
  }
  return total;
}

// Runs inside the page: types QUERY a character at a time into the box and returns the
// milliseconds from each keystroke to its results, and the parts of the index the page loaded.
async function typeQuery(query) {
  const input = document.getElementById('lexpaint-search');
  const list = document.getElementById('lexpaint-results');
  const shown = (value) => new Promise((done) => {
    if (list.dataset.query === value) return done();
    const observer = new MutationObserver(() => {
      if (list.dataset.query === value) {
        observer.disconnect();
        done();
      }
    });
    observer.observe(list, { attributes: true, attributeFilter: ['data-query'] });
  });
  input.focus(); // which starts loading the index, as a reader's first keystroke follows it
  const times = [];
  for (let k = 1; k <= query.length; k++) {
    const value = query.slice(0, k);
    const start = performance.now();
    input.value = value;
    input.dispatchEvent(new Event('input', { bubbles: true }));
    await shown(value);
    times.push(performance.now() - start);
  }
  const parts = [...document.querySelectorAll('script[src*="search/"]')].map((s) => s.getAttribute('src').replace(/^.*?search\//, ''));
  return { times, parts, results: list.children.length };
}

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted.length ? (sorted[(sorted.length - 1) >> 1] + sorted[sorted.length >> 1]) / 2 : NaN;
};
const fmt = (n, digits = 1) => (Number.isFinite(n) ? n.toFixed(digits) : '-');

const profile = mkdtempSync(join(tmpdir(), 'lexpaint-bench-chromium-'));
const server = await serveFolder(site);
const context = await chromium.launchPersistentContext(profile, {
  executablePath: CHROMIUM, headless: true,
  args: ['--no-sandbox', '--headless', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
  viewport: { width: 1000, height: 700 },
});
try {
  const page = context.pages()[0] ?? (await context.newPage());
  const origins = {
    'file://': pathToFileURL(join(site, 'index.html')).href,
    HTTP: `http://127.0.0.1:${server.address().port}/index.html`,
  };
  const indexBytes = bytesUnder(join(site, 'search'));
  const siteBytes = bytesUnder(site);
  console.log(`site ${site}: ${fmt(siteBytes / 1048576)} MB, search index ${fmt(indexBytes / 1048576)} MB ` +
    `(${fmt((100 * indexBytes) / siteBytes)}% of the site; target <= 10%)`);
  console.log(`medians of ${RUNS} fresh pages per query; ms from a keystroke to its results`);
  console.log('origin   query            first_key_ms  cold_max_ms  warm_max_ms  warm_med_ms  parts  loaded_KB  results');
  const verdict = { first: 0, warm: 0, bytes: 0 };
  for (const [origin, url] of Object.entries(origins)) {
    for (const query of QUERIES) {
      const cold = [], coldMax = [], warmMax = [], warmAll = [];
      let parts = [];
      let results = 0;
      for (let run = 0; run < RUNS; run++) {
        await page.goto(url);
        const first = await page.evaluate(typeQuery, query);
        // The box emptied, then the same query typed again, its parts now loaded.
        await page.evaluate(async () => {
          const input = document.getElementById('lexpaint-search');
          input.value = '';
          input.dispatchEvent(new Event('input', { bubbles: true }));
          await new Promise((done) => setTimeout(done, 100));
          delete document.getElementById('lexpaint-results').dataset.query;
        });
        const again = await page.evaluate(typeQuery, query);
        cold.push(first.times[0]);
        coldMax.push(Math.max(...first.times));
        warmMax.push(Math.max(...again.times));
        warmAll.push(...again.times);
        parts = first.parts;
        results = first.results;
      }
      const loaded = parts.reduce((sum, part) => sum + statSync(join(site, 'search', part)).size, 0);
      verdict.first = Math.max(verdict.first, median(coldMax));
      verdict.warm = Math.max(verdict.warm, median(warmMax));
      verdict.bytes = Math.max(verdict.bytes, loaded);
      console.log(`${origin.padEnd(8)} ${query.padEnd(16)} ${fmt(median(cold)).padStart(12)} ${fmt(median(coldMax)).padStart(12)} ` +
        `${fmt(median(warmMax)).padStart(12)} ${fmt(median(warmAll)).padStart(12)} ${String(parts.length).padStart(6)} ` +
        `${fmt(loaded / 1024).padStart(10)} ${String(results).padStart(8)}`);
    }
  }
  console.log(`slowest keystroke of a first query ${fmt(verdict.first)} ms (target <= 200), ` +
    `once its parts are loaded ${fmt(verdict.warm)} ms (target <= 50), most bytes of index for a query ` +
    `${fmt(verdict.bytes / 1024)} KB (target <= 1024)`);

  // Typed, then Enter, as a reader does.
  for (const query of ['SSL_CTX', 'SmallVector.h']) {
    await page.goto(origins.HTTP);
    await page.keyboard.press('/');
    await page.keyboard.type(query);
    const before = page.url();
    await page.keyboard.press('Enter');
    await page.waitForURL((target) => target.href !== before, { timeout: 10000 }).catch(() => {});
    const landed = decodeURIComponent(new URL(page.url()).pathname.replace(/^\/+/, '')) + new URL(page.url()).hash;
    const line = await page.evaluate(() => document.querySelector('a.Line:target')?.parentElement && location.hash
      ? document.getElementById(location.hash.slice(1))?.nextSibling?.textContent ?? '' : '');
    console.log(`${query} + Enter: ${landed}${line ? `  (${JSON.stringify(line.trim().slice(0, 60))}...)` : ''}`);
  }
} finally {
  await context.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
