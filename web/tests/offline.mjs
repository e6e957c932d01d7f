// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Offline: after one visit the service worker keeps every file of the
// release, so that with DevTools' offline mode on a reload plays the demo
// with its music. A new release (two files changed, its worker rewritten)
// replaces the old one whole: while the demo plays the page keeps the old
// files; when the run ends the page loads itself again with every new file,
// and the old cache is gone.
// Usage: node offline.mjs SITE MAKE_SW TEMPLATE WORK_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, finish, withPage } from './browser.mjs';

const [site, makeSw, template, work] = process.argv.slice(2);
const copy = path.join(work, 'site');
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });
fs.cpSync(site, copy, { recursive: true });

const waitState = (page, state, timeout = 60000) =>
  page.waitForFunction((s) => window.zepPage && zepPage.state === s, state, { timeout, polling: 50 });
// Each file as the page gets it (through the worker, when one controls the
// page): name -> bytes as hex of its SHA-256, computed in the page.
const pageFiles = (page, names) => page.evaluate(async (list) => {
  const out = {};
  for (const name of list) {
    const bytes = await (await fetch(name)).arrayBuffer();
    const digest = await crypto.subtle.digest('SHA-256', bytes);
    out[name] = Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');
  }
  return out;
}, names);
const sha = async (file) => {
  const { createHash } = await import('node:crypto');
  return createHash('sha256').update(fs.readFileSync(file)).digest('hex');
};
const release = (dir) => /const RELEASE = '([0-9a-f]+)'/.exec(fs.readFileSync(path.join(dir, 'sw.js'), 'utf8'))[1];
const NAMES = ['index.html', 'zep.js', 'zep.css', 'zep-wasm.js', 'zep-wasm.wasm', 'data.tar.gz', 'music.m4a'];

await withPage(copy, { width: 800, height: 600 }, async (page, server) => {
  await page.goto(server.url);
  await waitState(page, 'title');
  await page.waitForFunction(() => zepPage.offline !== 'none' && zepPage.offline !== 'registering', null,
    { timeout: 60000, polling: 100 });
  const offline = await page.evaluate(() => zepPage.offline);
  check(offline === 'ready', `the service worker keeps the site (${offline})`);
  const old = release(copy);
  const cached = await page.evaluate(async () => {
    const names = await caches.keys();
    const cache = await caches.open(names[0]);
    return { names, files: (await cache.keys()).map((r) => new URL(r.url).pathname.replace(/^\//, '') || './') };
  });
  const listed = fs.readdirSync(copy).filter((n) => !/\.(br|gz)$/.test(n) || n === 'data.tar.gz')
    .filter((n) => n !== 'sw.js');
  check(cached.names.length === 1 && cached.names[0] === `zep-${old}` && listed.every((n) => cached.files.includes(n)),
    `one cache, zep-${old}, with every file of the site (${cached.files.length} entries)`);

  // Offline: the page, its module, the data and the music from the cache.
  await page.context().setOffline(true);
  await page.reload();
  await waitState(page, 'title');
  await page.mouse.click(400, 300);
  await waitState(page, 'running', 20000);
  await page.waitForFunction(() => zepPage.frames > 30 && zepPage.musicPlaying(), null, { timeout: 20000, polling: 50 });
  const played = await page.evaluate(() => ({ sound: zepPage.sound, frames: zepPage.frames, online: navigator.onLine }));
  check(!played.online && played.sound && played.frames > 30,
    `offline, a reload plays with the music (online ${played.online}, ${played.frames} frames, sound ${played.sound})`);
  // Playing on into the update below.
  await page.context().setOffline(false);

  // A new release while a run plays: the style sheet and the page changed,
  // the worker rewritten by the build's own script.
  fs.appendFileSync(path.join(copy, 'zep.css'), '\n/* the next release */\n');
  fs.writeFileSync(path.join(copy, 'index.html'),
    fs.readFileSync(path.join(copy, 'index.html'), 'utf8').replace('<title>', '<meta name="release" content="next">\n<title>'));
  for (const suffix of ['.br', '.gz']) {
    fs.rmSync(path.join(copy, `zep.css${suffix}`), { force: true });
    fs.rmSync(path.join(copy, `index.html${suffix}`), { force: true });
  }
  execFileSync('python3', [makeSw, template, copy, path.join(copy, 'sw.js')]);
  const next = release(copy);
  check(next !== old, `the changed files make a new release (${old} -> ${next})`);

  // The page checks for a new worker, which installs and waits while the
  // run plays; the page keeps every file of its own release.
  await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
  await page.waitForFunction(() => zepPage.update !== null, null, { timeout: 60000, polling: 200 });
  const during = await pageFiles(page, NAMES);
  const v1 = Object.fromEntries(await Promise.all(NAMES.map(async (n) => [n, await sha(path.join(site, n))])));
  const still = await page.evaluate(() => zepPage.state);
  check(still === 'running' && NAMES.every((n) => during[n] === v1[n]),
    `while it plays the page keeps every file of its own release (${still})`);

  // The run ends: the page takes the new release, whole.
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.querySelector('meta[name=release]') !== null &&
    window.zepPage && zepPage.state === 'title', null, { timeout: 30000, polling: 100 });
  const after = await pageFiles(page, NAMES);
  const v2 = Object.fromEntries(await Promise.all(NAMES.map(async (n) => [n, await sha(path.join(copy, n))])));
  await page.waitForFunction(async () => (await caches.keys()).length === 1, null, { timeout: 10000, polling: 100 })
    .catch(() => {});
  const keys = await page.evaluate(() => caches.keys());
  check(NAMES.every((n) => after[n] === v2[n]),
    `when the run ends the page loads again with every file of the new release (${NAMES.filter((n) => after[n] !== v2[n]).length} stale)`);
  check(keys.length === 1 && keys[0] === `zep-${next}`, `and only its cache remains (${keys.join(', ')})`);
});
finish();
