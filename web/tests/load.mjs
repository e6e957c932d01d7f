// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The page's load over a link of 20 Mb/s with 40 ms of latency (DevTools'
// Network.emulateNetworkConditions), from a local server: the time from the
// navigation to the first picture, with the click given as soon as the page
// offers to start, is at most 1 s (the best of three fresh loads, as other
// work on a shared machine can take the browser's time); progress shows
// while loading; the music, fetched after what the first picture needs,
// joins the run in step. Prints the times and the page's weight.
// Usage: node load.mjs SITE
import { check, finish, withPage } from './browser.mjs';

const [site] = process.argv.slice(2);
const LINK = { offline: false, latency: 40, downloadThroughput: 20e6 / 8, uploadThroughput: 20e6 / 8 };

// One fresh load; the click as soon as the page offers to start.
const load = () => withPage(site, { width: 800, height: 600 }, async (page, server) => {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions', LINK);
  // Every text the prompt shows while loading.
  await page.addInitScript(() => {
    window.prompts = [];
    document.addEventListener('DOMContentLoaded', () => {
      const prompt = document.getElementById('prompt');
      window.prompts.push(prompt.textContent);
      new MutationObserver(() => window.prompts.push(prompt.textContent))
        .observe(prompt, { childList: true, characterData: true, subtree: true });
    });
  });
  await page.goto(server.url, { waitUntil: 'commit' });
  await page.waitForFunction(() => window.zepPage && zepPage.state !== 'loading', null, { timeout: 20000, polling: 'raf' });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => zepPage.firstPictureAt !== null, null, { timeout: 20000, polling: 5 });
  const result = await page.evaluate(() => {
    const first = zepPage.firstPictureAt;
    const entries = [performance.getEntriesByType('navigation')[0], ...performance.getEntriesByType('resource')];
    return {
      title: zepPage.titleAt,
      first,
      prompts: window.prompts,
      // What was transferred up to the first picture, as sent (compressed).
      weight: entries.filter((e) => e.responseEnd <= first).reduce((sum, e) => sum + e.encodedBodySize, 0),
      files: entries.filter((e) => e.responseEnd <= first)
        .map((e) => `${e.name.split('/').pop() || 'index.html'} ${(e.encodedBodySize / 1e3).toFixed(0)} kB by ${e.responseEnd.toFixed(0)} ms`),
    };
  });
  await page.waitForFunction(() => zepPage.musicPlaying(), null, { timeout: 30000, polling: 20 });
  const joined = await page.evaluate(() => new Promise((done) => setTimeout(() => done({
    log: zepPage.log, joinedAt: zepPage.joinedAt, sound: zepPage.sound, music: zepPage.musicPosition(),
    all: [performance.getEntriesByType('navigation')[0], ...performance.getEntriesByType('resource')]
      .reduce((sum, e) => sum + e.encodedBodySize, 0),
  }), 1000)));
  return { ...result, joined };
});

const runs = [await load(), await load(), await load()];
for (const run of runs)
  console.log(`over 20 Mb/s and 40 ms: offer to start at ${run.title.toFixed(0)} ms, first picture at ${run.first.toFixed(0)} ms (${run.files.join(', ')})`);
const best = runs.reduce((a, b) => (b.first < a.first ? b : a));
check(best.first <= 1000, `the first picture within 1 s of the navigation (${runs.map((r) => `${r.first.toFixed(0)} ms`).join(', ')})`);

const percents = best.prompts.map((p) => /^loading… (\d+)%$/.exec(p)).filter(Boolean).map((m) => Number(m[1]));
check(percents.length >= 3 && percents.every((p, i) => i === 0 || p > percents[i - 1]) && percents[percents.length - 1] >= 90,
  `progress shows while loading, rising (${percents.length} steps to ${percents[percents.length - 1]}%)`);
// In step: around the moment the music joins, the pictures' times keep
// pace with the page's clock (no jump, no stall), and once it plays every
// picture shown is within 20 ms of it.
for (const run of runs) {
  const { joined } = run;
  const near = joined.log.filter(([, , , wall]) => Math.abs(wall - joined.joinedAt) < 500);
  const [, scene0, , wall0] = near[0] || [0, 0, 0, 0];
  const slip = Math.max(...near.map(([, scene, , wall]) => Math.abs(scene - scene0 - (wall - wall0) / 1000)));
  const after = joined.log.filter(([, , , wall]) => wall > joined.joinedAt + 100);
  const worst = Math.max(...after.map(([, scene, audio]) => Math.abs(scene - audio)));
  check(joined.sound && joined.joinedAt !== null && near.length > 10 && slip < 0.03 && worst <= 0.02,
    `the music joins in step at ${(joined.joinedAt / 1000).toFixed(2)} s (pictures within ${(slip * 1000).toFixed(1)} ms of the page's pace over the second around it; ` +
    `then within ${(worst * 1000).toFixed(1)} ms of the music)`);
}
console.log(`page weight: ${(best.weight / 1e6).toFixed(2)} MB up to the first picture, ${(best.joined.all / 1e6).toFixed(2)} MB with the music`);
finish();
