// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A slow machine: with the CPU throttled 6 and 12 times (DevTools'
// Emulation.setCPUThrottlingRate) over a stretch with a scene change, the
// music keeps its pace, every picture shown is within 20 ms of the music,
// those that cannot be are dropped, and the run ends when the music reaches
// the demo's end.
// Usage: node throttle.mjs SITE
import { check, finish, withPage } from './browser.mjs';

const [site] = process.argv.slice(2);
const LIMIT = 0.02;
const SCENE_CHANGE = 22;  // the first scene's end
const END = 107.2;

// Opens the link's moment, starts it, throttles the CPU once the first
// picture is up (the unseen frames before it are not timed) and waits for
// `until` to be true in the page; returns the log and the counts.
async function throttled(page, server, moment, rate, until) {
  await page.goto('about:blank');
  await page.goto(`${server.url}index.html#${moment}`);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000, polling: 50 });
  await page.mouse.click(300, 200);
  await page.waitForFunction(() => zepPage.state === 'running' && zepPage.frames > 0, null, { timeout: 60000, polling: 10 });
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', { rate });
  const [from, startScene] = await page.evaluate(() => [zepPage.log.length, zepPage.sceneClock()]);
  await page.waitForFunction(until, null, { timeout: 60000, polling: 100 });
  await cdp.send('Emulation.setCPUThrottlingRate', { rate: 1 });
  await cdp.detach();
  return page.evaluate((n) => ({
    log: zepPage.log.slice(n), dropped: zepPage.dropped, state: zepPage.state, endedAt: zepPage.endedAt,
    sound: zepPage.sound,
  }), from).then((result) => ({ ...result, startScene }));
}

function judge(name, run) {
  const { log } = run;
  const lags = log.map(([, scene, after]) => after - scene);
  const worst = Math.max(...lags.map(Math.abs));
  const first = log[0];
  const last = log[log.length - 1];
  const seconds = (last[3] - first[3]) / 1000;
  console.log(`${name}: ${log.length} pictures shown, ${run.dropped} dropped over ${seconds.toFixed(2)} s ` +
    `(${(log.length / seconds).toFixed(1)} a second), worst ${(worst * 1000).toFixed(1)} ms from the music`);
  // However few a loaded machine leaves time for.
  check(run.sound && log.length >= 2, `${name}: the music plays and pictures are shown (${log.length})`);
  check(worst <= LIMIT, `${name}: every picture shown is within 20 ms of the music (worst ${(worst * 1000).toFixed(1)} ms)`);
  check(log.every(([, scene], i) => i === 0 || scene >= log[i - 1][1]), `${name}: the pictures never go back`);
  // The music's pace against the page's clock: as fast as real time, and
  // never more than a few tens of ms behind it at any picture.
  const pace = (last[2] - first[2]) / seconds;
  const drift = Math.max(...log.map(([, , audio, now]) => Math.abs((now - first[3]) / 1000 - (audio - first[2]))));
  check(pace > 0.98 && pace < 1.02 && drift < 0.05,
    `${name}: the music keeps its pace (${pace.toFixed(4)}x real time, never more than ${(drift * 1000).toFixed(1)} ms from it)`);
  return log;
}

await withPage(site, { width: 640, height: 516 }, async (page, server) => {
  for (const rate of [6, 12]) {
    const run = await throttled(page, server, 't=20.5', rate, () => zepPage.sceneClock() > 23.5);
    const log = judge(`${rate}x`, run);
    check(run.startScene < SCENE_CHANGE && log.some(([, scene]) => scene >= SCENE_CHANGE),
      `${rate}x: the stretch has the scene change at ${SCENE_CHANGE} s (from ${run.startScene.toFixed(3)} s)`);
  }
  const end = await throttled(page, server, 't=105.5', 12, () => zepPage.state !== 'running');
  judge('12x to the end', end);
  // At the first animation frame after it, which at 12x comes every 50 to 150 ms.
  check(end.state === 'ended' && end.endedAt >= END && end.endedAt < END + 0.2,
    `12x: the run ends as the music reaches the demo's end, ${END} s (state ${end.state}, music at ${end.endedAt?.toFixed(3)} s)`);
});
finish();
