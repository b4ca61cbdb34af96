#!/usr/bin/env node
// Regenerates docs/screenshot.png: converts examples/sample.cpp with a built
// lexpaint in a scratch directory holding the data files, and photographs the
// page in headless Chromium (light scheme, whole page).
//
// Usage: node docs/screenshot.mjs [LEXPAINT_BINARY] [OUTPUT_PNG]
//   LEXPAINT_BINARY defaults to build-browser/lexpaint, then build/lexpaint.
//   OUTPUT_PNG defaults to docs/screenshot.png.
// Needs /usr/bin/chromium and playwright-core (run "npm ci" in tests/browser).

import { spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '..');
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
} finally {
  if (context) await context.close();
  rmSync(work, { recursive: true, force: true });
  rmSync(profile, { recursive: true, force: true });
}
