// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Shared by the browser tests and the benchmark: serves the site on a free
// port of 127.0.0.1 and opens it in Debian's Chromium, headless, with a
// fresh profile that is removed afterwards.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import { createRequire } from 'node:module';
import path from 'node:path';

// playwright-core is installed (npm ci) in the folder the tests run in.
const { chromium } = createRequire(path.join(process.cwd(), 'package.json'))('playwright-core');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.gz': 'application/gzip',
  '.m4a': 'audio/mp4',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.json': 'application/json',
};

export const CHROMIUM = process.env.ZEP_CHROMIUM || '/usr/bin/chromium';

// The precompressed copy of `file` the request accepts, if there is one:
// [path, encoding], brotli first, as a static host would pick.
function precompressed(request, file) {
  const accepted = String(request.headers['accept-encoding'] || '').split(',').map((e) => e.trim().split(';')[0]);
  for (const [encoding, suffix] of [['br', '.br'], ['gzip', '.gz']])
    if (accepted.includes(encoding) && fs.existsSync(file + suffix)) return [file + suffix, encoding];
  return [file, null];
}

// Serves `root` as a static host does, with the precompressed copies beside
// the files; resolves to { url, close, bytesSent }.
export function serve(root) {
  let bytesSent = 0;
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const [sent, encoding] = precompressed(request, file);
    const body = fs.readFileSync(sent);
    bytesSent += body.length;
    response.writeHead(200, {
      'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
      'Content-Length': body.length,
      'Cache-Control': 'no-store',
      ...(encoding ? { 'Content-Encoding': encoding, Vary: 'Accept-Encoding' } : {}),
    });
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => {
      resolve({
        url: `http://127.0.0.1:${server.address().port}/`,
        bytesSent: () => bytesSent,
        close: () => new Promise((done) => server.close(done)),
      });
    });
  });
}

// Runs `body(page, site, browser)` on a fresh Chromium with the site served;
// cleans up whatever happens. `options` may ask for a headed browser
// (headless: false, on the display in $DISPLAY), a pixel ratio
// (deviceScaleFactor) and a phone (isMobile, hasTouch).
export async function withPage(root, viewport, body, options = {}) {
  const site = await serve(path.resolve(root));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zep-chromium-'));
  let browser;
  try {
    browser = await chromium.launchPersistentContext(profile, {
      executablePath: CHROMIUM,
      headless: true,
      viewport,
      deviceScaleFactor: 1,
      ...options,
      args: [
        '--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--no-first-run', '--force-color-profile=srgb', '--autoplay-policy=user-gesture-required',
      ],
    });
    const page = browser.pages()[0] || (await browser.newPage());
    page.on('console', (message) => {
      if (message.type() === 'error') console.log(`page: ${message.text()}`);
    });
    page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
    return await body(page, site, browser);
  } finally {
    if (browser) await browser.close();
    await site.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

// Runs `body(page, site, context)` on a fresh headed Chromium (on the
// display in $DISPLAY, e.g. under xvfb-run) with the site served. The browser
// is started here and driven over its debugging port without Playwright's
// page overrides, which would keep every page focused and so visible: here a
// tab brought to the front hides the others, as for a user.
export async function withHeadedPage(root, windowSize, body) {
  const site = await serve(path.resolve(root));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'zep-chromium-'));
  const child = spawn(CHROMIUM, [
    '--no-sandbox', '--disable-dev-shm-usage', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run', '--no-default-browser-check',
    '--force-color-profile=srgb', '--autoplay-policy=user-gesture-required', '--remote-debugging-port=0',
    `--window-size=${windowSize.width},${windowSize.height}`, `--user-data-dir=${profile}`, 'about:blank',
  ], { stdio: 'ignore' });
  const killChild = () => child.kill();
  process.on('exit', killChild);
  let browser;
  try {
    let port = '';
    for (let i = 0; i < 300 && !port && child.exitCode === null; i++) {
      await new Promise((done) => setTimeout(done, 100));
      try {
        port = fs.readFileSync(path.join(profile, 'DevToolsActivePort'), 'utf8').split('\n')[0];
      } catch (error) { /* not written yet */ }
    }
    if (!port) throw new Error(`${CHROMIUM} did not open its debugging port`);
    browser = await chromium.connectOverCDP(`http://127.0.0.1:${port}`, { noDefaults: true });
    const context = browser.contexts()[0];
    const page = context.pages()[0] || (await context.newPage());
    page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
    return await body(page, site, context);
  } finally {
    if (browser) await browser.close().catch(() => {});
    if (child.exitCode === null) {
      const exited = new Promise((done) => child.once('exit', done));
      child.kill();
      await exited;
    }
    process.off('exit', killChild);
    await site.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

// Opens index.html?check... and waits for its result: { title, hashes, timing }.
export async function runCheck(page, site, query, timeoutMs = 300000) {
  await page.goto(`${site.url}index.html?check${query}`);
  await page.waitForFunction(() => document.title.startsWith('zep check '), null,
    { timeout: timeoutMs, polling: 100 });
  await page.waitForFunction(() => /^zep check (done|failed)/.test(document.title), null,
    { timeout: timeoutMs, polling: 200 });
  return page.evaluate(() => ({
    title: document.title,
    hashes: document.getElementById('hashes').textContent,
    timing: document.getElementById('timing').textContent,
  }));
}

let failures = 0;
export function check(ok, what) {
  if (ok) {
    console.log(`ok: ${what}`);
  } else {
    console.log(`FAIL: ${what}`);
    failures++;
  }
}

export function finish() {
  console.log(failures === 0 ? 'all checks passed' : `${failures} check(s) failed`);
  process.exit(failures === 0 ? 0 : 1);
}
