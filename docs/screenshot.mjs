#!/usr/bin/env node
// Regenerates docs/screenshot.png: converts examples/sample.cpp with a built
// lexpaint in a scratch directory holding the data files, and photographs the
// page in headless Chromium (light scheme, whole page). Then publishes the C++
// library headers (/usr/include/c++/VERSION, the newest there) with --tree and
// photographs the first screen of the site's root index as site-index.png, and
// bits/stl_vector.h opened at a line link, with the marked line, include
// links and name links in view, as site-page.png, and the list of the
// definitions of "vector" reached by clicking that name in bits/vector.tcc, as
// site-names.png, and the results of typing "vector" in the search box of
// that page as site-search.png, all beside OUTPUT_PNG.
//
// Usage: node docs/screenshot.mjs [LEXPAINT_BINARY] [OUTPUT_PNG]
//   LEXPAINT_BINARY defaults to build-browser/lexpaint, then build/lexpaint.
//   OUTPUT_PNG defaults to docs/screenshot.png.
// Needs /usr/bin/chromium and playwright-core (run "npm ci" in tests/browser).

import { spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, readdirSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const CXX_HEADERS = '/usr/include/c++';
// The page of the site shown, and the line it is opened at: line 67 is marked,
// and the include lines around it (65, 70) show their links.
const SITE_PAGE = 'bits/stl_vector.h.html';
const SITE_LINE = 67;
const CHROMIUM = '/usr/bin/chromium';
const CHROMIUM_FLAGS = [
  '--no-sandbox', '--headless', '--disable-gpu', '--no-first-run',
  '--disable-background-networking', '--disable-component-update',
  '--disable-sync', '--disable-quic',
];

function die(message) {
  console.error(`screenshot: ${message}`);
  process.exit(1);
}

const binary = resolve(
  process.argv[2] ??
    [join(root, 'build-browser', 'lexpaint'), join(root, 'build', 'lexpaint')].find((p) => existsSync(p)) ??
    die('no built lexpaint found; pass its path as the first argument'),
);
const output = resolve(process.argv[3] ?? join(root, 'docs', 'screenshot.png'));
if (!existsSync(binary)) die(`no such binary: ${binary}`);
if (!existsSync(CHROMIUM)) die(`${CHROMIUM} is not installed (apt-get install chromium)`);

// playwright-core lives in the browser test's node_modules.
const requireFromTests = createRequire(join(root, 'tests', 'browser', 'package.json'));
let chromium;
try {
  ({ chromium } = requireFromTests('playwright-core'));
} catch {
  die('playwright-core is missing; run "npm ci" in tests/browser');
}

const work = mkdtempSync(join(tmpdir(), 'lexpaint-shot-'));
const profile = mkdtempSync(join(tmpdir(), 'lexpaint-chromium-'));
let context;
try {
  for (const name of ['Header.html', 'Footer.html', 'C_Keywords.txt']) {
    copyFileSync(join(root, 'data', name), join(work, name));
  }
  copyFileSync(join(root, 'examples', 'sample.cpp'), join(work, 'sample.cpp'));
  const run = spawnSync(binary, ['--line-numbers', 'sample.cpp'], { cwd: work, encoding: 'utf8' });
  if (run.status !== 0) die(`lexpaint exited with ${run.status ?? run.signal}: ${run.stdout}${run.stderr}`);

  context = await chromium.launchPersistentContext(profile, {
    executablePath: CHROMIUM,
    headless: true,
    args: CHROMIUM_FLAGS,
    viewport: { width: 860, height: 600 },
    deviceScaleFactor: 1,
    colorScheme: 'light',
  });
  const page = context.pages()[0] ?? (await context.newPage());
  await page.goto(pathToFileURL(join(work, 'sample.cpp.html')).href);
  await page.screenshot({ path: output, fullPage: true });
  console.log(`wrote ${output}`);

  // The newest C++ library version on this machine, published as a site.
  const versions = existsSync(CXX_HEADERS) ? readdirSync(CXX_HEADERS).filter((name) => /^\d+$/.test(name)) : [];
  if (!versions.length) throw new Error(`no ${CXX_HEADERS}/VERSION folder to publish (apt-get install libstdc++-12-dev)`);
  const headers = join(CXX_HEADERS, versions.sort((a, b) => b - a)[0]);
  const site = join(work, 'site');
  const tree = spawnSync(binary, ['--tree', headers, site], { encoding: 'utf8' });
  if (tree.status !== 0) {
    throw new Error(`lexpaint --tree ${headers} exited with ${tree.status ?? tree.signal}: ${tree.stdout}${tree.stderr}`);
  }
  await page.setViewportSize({ width: 860, height: 560 });
  const siteIndex = join(dirname(output), 'site-index.png');
  await page.goto(pathToFileURL(join(site, 'index.html')).href);
  await page.screenshot({ path: siteIndex });
  console.log(`wrote ${siteIndex} (${headers})`);
  const sitePage = join(dirname(output), 'site-page.png');
  await page.goto(`${pathToFileURL(join(site, SITE_PAGE)).href}#L${SITE_LINE}`);
  await page.screenshot({ path: sitePage });
  console.log(`wrote ${sitePage}`);
  const siteNames = join(dirname(output), 'site-names.png');
  await page.goto(pathToFileURL(join(site, 'bits/vector.tcc.html')).href);
  await page.locator('pre a[href]:not(.Line)').filter({ hasText: /^vector$/ }).first().click();
  await page.waitForURL((target) => target.hash === '#vector');
  await page.screenshot({ path: siteNames });
  console.log(`wrote ${siteNames}`);
  const siteSearch = join(dirname(output), 'site-search.png');
  await page.goto(pathToFileURL(join(site, SITE_PAGE)).href);
  await page.keyboard.press('/');
  await page.keyboard.type('vector');
  await page.waitForFunction(() => document.getElementById('lexpaint-results')?.dataset.query === 'vector');
  await page.screenshot({ path: siteSearch });
  console.log(`wrote ${siteSearch}`);
} finally {
  if (context) await context.close();
  rmSync(work, { recursive: true, force: true });
  rmSync(profile, { recursive: true, force: true });
}
