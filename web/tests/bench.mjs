// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// make bench-web: each scene's mean and worst frame time in headless Chromium
// next to the native build's (zep-bench, same run, same machine), the whole
// check run's time, the real-time page's frame rate and what the page
// transfers. A benchmark: it reports and asserts nothing.
// Usage: node bench.mjs SITE ZEP_BENCH
import { execFileSync } from 'node:child_process';
import { runCheck, withPage } from './browser.mjs';

const [site, zepBench] = process.argv.slice(2);

const nativeJson = execFileSync(zepBench, ['--benchmark_filter=BM_DemoFramesByScene',
  '--benchmark_format=json'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
const native = JSON.parse(nativeJson).benchmarks[0];

let timing;
let realTime;
await withPage(site, { width: 640, height: 516 }, async (page, server) => {
  const began = Date.now();
  const result = await runCheck(page, server, '&timing');
  if (result.title !== 'zep check done') throw new Error(result.title);
  timing = JSON.parse(result.timing);
  timing.wall_s = (Date.now() - began) / 1000;
});
await withPage(site, { width: 800, height: 600 }, async (page, server) => {
  await page.goto(server.url);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000 });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => zepPage.state === 'running', null, { timeout: 10000 });
  const bytes = server.bytesSent();
  const f0 = await page.evaluate(() => zepPage.frames);
  await page.waitForTimeout(10000);
  const f1 = await page.evaluate(() => zepPage.frames);
  realTime = { fps: (f1 - f0) / 10, bytes, sound: await page.evaluate(() => zepPage.sound) };
});

const pad = (s, n) => String(s).padEnd(n);
const num = (v, n = 2) => v.toFixed(n).padStart(8);
// Worst frames on a shared machine are often another process's time slice,
// so the 99th percentile is shown beside them.
const percentile = (values, p) => [...values].sort((a, b) => a - b)[Math.floor((values.length - 1) * p)];
console.log(`${pad('scene', 16)} ${pad('frames', 7)}  browser mean / p99 / worst ms   native mean / worst ms   ratio mean / worst`);
let browserSum = 0;
let nativeSum = 0;
for (const scene of timing.scenes) {
  const n = scene.frames.length;
  if (n === 0) continue;
  const mean = scene.frames.reduce((a, b) => a + b, 0) / n;
  const worst = Math.max(...scene.frames);
  const nm = native[`${scene.name} mean ms`];
  const nw = native[`${scene.name} worst ms`];
  browserSum += mean * n;
  nativeSum += nm * n;
  const p99 = percentile(scene.frames, 0.99);
  console.log(`${pad(scene.name, 16)} ${pad(n, 7)} ${num(mean)} ${num(p99)} ${num(worst)}    ${num(nm)} ${num(nw)}    ${num(mean / nm, 1)} ${num(worst / nw, 1)}`);
}
console.log(`whole run: browser ${(browserSum / 1000).toFixed(2)} s of frames, native ${(nativeSum / 1000).toFixed(2)} s: ${(browserSum / nativeSum).toFixed(1)}x`);
console.log(`check run of ${timing.frames} frames with hashes: ${(timing.run_ms / 1000).toFixed(1)} s after ${(timing.load_ms / 1000).toFixed(1)} s of loading; ${timing.wall_s.toFixed(1)} s from opening the page`);
console.log(`real-time page: ${realTime.fps.toFixed(1)} frames a second over 10 s${realTime.sound ? ', with sound' : ', silent'}`);
console.log(`page transfer up to the start of the demo: ${(realTime.bytes / 1e6).toFixed(2)} MB`);
