// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// A hidden page holds the picture and the music: in a headed Chromium (run
// under Xvfb) another tab brought to the front really hides the page; while
// it is hidden neither the music nor the picture moves, and when it is shown
// again both go on from the moment they stopped, together, without a burst of
// frames to catch up.
// Usage: xvfb-run node hidden.mjs SITE
import { check, finish, withHeadedPage } from './browser.mjs';

const [site] = process.argv.slice(2);
const FRAME = 1 / 60;

const sample = (page) => page.evaluate(() => ({
  visibility: document.visibilityState,
  frames: zepPage.frames,
  music: zepPage.musicPosition(),
  scene: zepPage.sceneClock(),
  playing: zepPage.musicPlaying(),
  sound: zepPage.sound,
  state: zepPage.state,
}));

await withHeadedPage(site, { width: 800, height: 700 }, async (page, server, context) => {
  await page.goto(server.url);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000, polling: 50 });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => zepPage.state === 'running' && zepPage.sceneClock() > 1.5, null,
    { timeout: 20000, polling: 50 });
  const shown = await sample(page);
  check(shown.visibility === 'visible' && shown.sound && shown.playing,
    `running in a visible page with the music playing (${shown.visibility}, sound ${shown.sound})`);

  const other = await context.newPage();
  await other.goto('about:blank');
  await other.bringToFront();
  await page.waitForFunction(() => document.visibilityState === 'hidden', null, { timeout: 5000, polling: 50 });
  await page.waitForTimeout(300);  // the suspension takes effect
  const hidden = await sample(page);
  check(hidden.visibility === 'hidden' && (await page.evaluate(() => zepPage.paused())),
    `another tab in front hides the page (${hidden.visibility}) and the run pauses`);
  await page.waitForTimeout(2000);
  const still = await sample(page);
  check(still.frames === hidden.frames, `no frame while hidden (${hidden.frames} then ${still.frames})`);
  check(Math.abs(still.music - hidden.music) < 0.002,
    `the music does not move while hidden (${hidden.music.toFixed(3)} s then ${still.music.toFixed(3)} s)`);
  check(Math.abs(hidden.music - hidden.scene) < 0.3,
    `it stopped where the picture stopped (music ${hidden.music.toFixed(3)} s, picture ${hidden.scene.toFixed(3)} s)`);

  await page.bringToFront();
  await page.waitForFunction(() => document.visibilityState === 'visible' && !zepPage.paused(), null,
    { timeout: 5000, polling: 20 });
  const back = await page.evaluate(() => new Promise((done) => {
    // The frames of the first quarter second after the return.
    const start = zepPage.log.length;
    setTimeout(() => done({
      log: zepPage.log.slice(start),
      music: zepPage.musicPosition(),
      scene: zepPage.sceneClock(),
      visibility: document.visibilityState,
    }), 250);
  }));
  const firstScene = back.log.length ? back.log[0][1] : NaN;
  check(back.visibility === 'visible' && back.log.length > 0, `shown again, it runs (${back.log.length} frames in 0.25 s)`);
  check(firstScene >= still.scene - 1e-9 && firstScene - still.scene < 0.1,
    `the picture goes on from where it stopped (${still.scene.toFixed(3)} s, then ${firstScene.toFixed(3)} s)`);
  check(back.music - still.music < 0.4,
    `and so does the music (${still.music.toFixed(3)} s, 0.25 s after the return ${back.music.toFixed(3)} s)`);
  // Frames are paced as before: at most one an animation frame, ~60 a second.
  check(back.log.length <= 20, `no burst of catch-up frames (${back.log.length} frames in 0.25 s)`);
  // Each frame's picture time against the music's position read just before it.
  const gaps = back.log.map(([music, scene]) => scene - music);
  const worst = Math.max(...gaps.map(Math.abs));
  check(gaps.length > 0 && worst < FRAME,
    `music and picture agree within one frame after the return (worst ${(worst * 1000).toFixed(2)} ms)`);
  await other.close();
});
// Without sound the demo runs on the page's own clock: hidden, that clock
// holds too, and goes on from the picture last shown.
await withHeadedPage(site, { width: 800, height: 700 }, async (page, server, context) => {
  await page.addInitScript(() => {
    window.AudioContext = class { constructor() { throw new Error('no audio device'); } };
  });
  await page.goto(server.url);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000, polling: 50 });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => zepPage.state === 'running' && zepPage.sceneClock() > 1, null,
    { timeout: 20000, polling: 50 });
  const other = await context.newPage();
  await other.bringToFront();
  await page.waitForFunction(() => document.visibilityState === 'hidden', null, { timeout: 5000, polling: 50 });
  const read = () => page.evaluate(() => ({ sound: zepPage.sound, frames: zepPage.frames, clock: zepPage.audioClock(), scene: zepPage.sceneClock() }));
  const hidden = await read();
  await page.waitForTimeout(1500);
  const still = await read();
  check(!hidden.sound && still.frames === hidden.frames && still.clock === hidden.clock,
    `silent: nothing moves while hidden (${hidden.frames} then ${still.frames} frames, clock ${hidden.clock.toFixed(3)} then ${still.clock.toFixed(3)} s)`);
  await page.bringToFront();
  await page.waitForFunction((n) => zepPage.frames > n + 5, still.frames, { timeout: 5000, polling: 20 });
  const back = await page.evaluate((n) => zepPage.log.slice(n), still.frames);
  const [, firstScene] = back[0];
  check(firstScene >= still.scene && firstScene - still.scene < 0.1,
    `silent: shown again, the picture goes on from where it stopped (${still.scene.toFixed(3)} s, then ${firstScene.toFixed(3)} s)`);
  await other.close();
});
finish();
