// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A phone (emulated: 390 x 844 CSS pixels at a pixel ratio of 3, touch, and
// no Fullscreen API, as on an iPhone): a tap starts the demo, the picture
// fits the width when held upright and fills the screen's height sideways,
// turning the phone refits it, and the web app manifest opens the page
// standalone from a home screen. Screenshots of each go to WORK_DIR.
// Usage: node mobile.mjs SITE WORK_DIR
import fs from 'node:fs';
import path from 'node:path';
import { check, finish, withPage } from './browser.mjs';

const [site, work] = process.argv.slice(2);
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });

const DPR = 3;
const PORTRAIT = { width: 390, height: 844 };
const LANDSCAPE = { width: 844, height: 390 };

// The canvas and picture in device pixels once they fit `view`.
async function fitted(page, view, bar) {
  const want = [view.width * DPR, (view.height - bar) * DPR];
  await page.waitForFunction(([w, h]) => {
    const s = zepPage.screen();
    return s.canvas.width === w && s.canvas.height === h;
  }, want, { timeout: 5000 }).catch(() => {});
  return page.evaluate(() => ({
    ...zepPage.screen(),
    bar: getComputedStyle(document.getElementById('bar')).display,
  }));
}

await withPage(site, PORTRAIT, async (page, server) => {
  await page.addInitScript(() => {
    // An iPhone's Safari has no Fullscreen API.
    Object.defineProperty(Document.prototype, 'fullscreenEnabled', { get: () => undefined });
    delete Element.prototype.requestFullscreen;
  });
  await page.goto(server.url);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000, polling: 50 });

  const upright = await fitted(page, PORTRAIT, 36);
  await page.screenshot({ path: path.join(work, 'portrait-title.png') });
  const button = await page.evaluate(() => document.getElementById('fullscreen').hidden);
  check(button, 'without the Fullscreen API there is no fullscreen button');
  check(upright.canvas.width === 1170 && upright.canvas.height === 2424 &&
    upright.plan.dest.w === 1170 && upright.plan.dest.h === 878,
    `upright, the picture fits the width (canvas ${upright.canvas.width}x${upright.canvas.height}, picture ${upright.plan.dest.w}x${upright.plan.dest.h})`);

  await page.touchscreen.tap(195, 300);
  await page.waitForFunction(() => zepPage.state === 'running' && zepPage.frames > 10, null, { timeout: 20000, polling: 50 });
  check(true, 'a tap starts the demo');
  await page.screenshot({ path: path.join(work, 'portrait-running.png') });

  await page.setViewportSize(LANDSCAPE);
  const sideways = await fitted(page, LANDSCAPE, 0);
  await page.screenshot({ path: path.join(work, 'landscape-running.png') });
  check(sideways.bar === 'none' && sideways.canvas.width === 2532 && sideways.canvas.height === 1170,
    `sideways, the picture's area is the whole screen (canvas ${sideways.canvas.width}x${sideways.canvas.height}, bar ${sideways.bar})`);
  const d = sideways.plan.dest;
  check(d.h === 1170 && d.w === 1560 && d.x === 486 && d.y === 0,
    `and the picture fills its height (${d.w}x${d.h} at ${d.x},${d.y})`);

  await page.setViewportSize(PORTRAIT);
  const back = await fitted(page, PORTRAIT, 36);
  await page.screenshot({ path: path.join(work, 'portrait-again.png') });
  check(back.bar !== 'none' && back.canvas.width === 1170 && back.canvas.height === 2424 && back.plan.dest.h === 878,
    `turned upright again, it refits (canvas ${back.canvas.width}x${back.canvas.height}, picture ${back.plan.dest.w}x${back.plan.dest.h})`);
  check((await page.evaluate(() => zepPage.state)) === 'running', 'the demo runs on through the turns');

  // The manifest a home screen reads, and the files it names.
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel=manifest]');
    const response = await fetch(link.href);
    const json = await response.json();
    const icons = await Promise.all(json.icons.map(async (icon) => {
      const r = await fetch(new URL(icon.src, link.href));
      const image = await createImageBitmap(await r.blob());
      return { sizes: icon.sizes, ok: r.ok, size: `${image.width}x${image.height}` };
    }));
    const start = await fetch(new URL(json.start_url, link.href));
    return { display: json.display, name: json.name, icons, start: start.ok, type: response.headers.get('content-type') };
  });
  check(manifest.display === 'standalone' && manifest.name === 'ZEP.' && manifest.start,
    `the manifest opens ZEP. standalone at a page that exists (${manifest.display})`);
  check(manifest.icons.length > 0 && manifest.icons.every((icon) => icon.ok && icon.size === icon.sizes),
    `its icons are there at their sizes (${manifest.icons.map((icon) => icon.size).join(', ')})`);
}, { deviceScaleFactor: DPR, isMobile: true, hasTouch: true });
finish();
