// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The page in real time in headless Chromium: a still title until a click,
// then frames on the audio clock with the music playing; a key ends the demo,
// stops the music and offers to watch again.
// Usage: node page.mjs SITE
import { check, finish, withPage } from './browser.mjs';

const [site] = process.argv.slice(2);
const state = (page) => page.evaluate(() => window.zepPage && window.zepPage.state);
const waitState = (page, want, timeout) =>
  page.waitForFunction((s) => window.zepPage && window.zepPage.state === s, want, { timeout, polling: 50 });

await withPage(site, { width: 800, height: 600 }, async (page, server) => {
  await page.goto(server.url);
  await waitState(page, 'title', 60000);
  await page.waitForTimeout(300);
  check((await page.evaluate(() => window.zepPage.frames)) === 0 && (await state(page)) === 'title',
    'nothing runs before a gesture');
  const prompt = await page.evaluate(() => document.getElementById('prompt').textContent);
  check(/click or press a key to start/.test(prompt), `the title says how to start ("${prompt}")`);
  const boxes = await page.evaluate(() => [document.getElementById('picture'), document.getElementById('fullscreen')]
    .map((e) => e.getBoundingClientRect().toJSON()));
  const [picture, button] = boxes;
  const { dest } = (await page.evaluate(() => zepPage.screen())).plan;
  check(Math.abs(dest.w / dest.h - 4 / 3) < 0.01, `the picture keeps its 4:3 shape (${dest.w}x${dest.h})`);
  check(button.top >= picture.bottom - 0.5, 'the fullscreen button sits outside the picture');

  await page.mouse.click(picture.x + picture.width / 2, picture.y + picture.height / 2);
  await waitState(page, 'running', 10000);
  const first = await page.evaluate(() => ({ frames: zepPage.frames, audio: zepPage.audioClock() }));
  await page.waitForTimeout(5000);
  const after = await page.evaluate(() => ({
    frames: zepPage.frames, audio: zepPage.audioClock(), scene: zepPage.sceneClock(), sound: zepPage.sound,
    music: zepPage.musicPlaying(), log: zepPage.log, message: document.getElementById('message').textContent,
  }));
  const frames = after.frames - first.frames;
  console.log(`real-time page: ${frames} frames in 5 s (${(frames / 5).toFixed(1)} a second)`);
  check(after.sound && after.music, `the music plays (${after.message || 'no message'})`);
  check(frames >= 150, `at least 150 frames in 5 seconds (${frames})`);
  check(after.audio - first.audio > 4, `the audio clock advances (${first.audio.toFixed(3)} s to ${after.audio.toFixed(3)} s)`);
  // Each frame's scene clock against the audio clock read just before the
  // frame: the scene clock is that clock read a moment later, so the two
  // differ by that moment. A loaded machine may stall the page between the
  // two reads now and then, so a few frames may differ by more.
  const started = after.log.filter(([audio]) => audio > 0);
  const gaps = started.map(([audio, scene]) => scene - audio);
  const within = gaps.filter((gap) => Math.abs(gap) < 1 / 60).length;
  const worst = Math.max(...gaps.map(Math.abs));
  check(started.length > 100 && within >= 0.95 * started.length,
    `the scene clock follows the audio clock within one frame (${within} of ${started.length} frames; worst ${(worst * 1000).toFixed(2)} ms)`);
  check(after.log.every(([, scene], i, log) => i === 0 || scene >= log[i - 1][1]), 'the scene clock never steps back');

  await page.keyboard.press('Space');
  await waitState(page, 'ended', 5000);
  const ended = await page.evaluate(() => ({
    music: zepPage.musicPlaying(), frames: zepPage.frames, prompt: document.getElementById('prompt').textContent,
  }));
  check(!ended.music, 'a key ends the demo and stops the music');
  check(/watch again/.test(ended.prompt), `the ended page offers to watch again ("${ended.prompt}")`);
  await page.waitForTimeout(200);
  check((await page.evaluate(() => zepPage.frames)) === ended.frames, 'no frame runs after the end');

  // Again, ended by a click this time.
  await page.keyboard.press('Enter');
  await waitState(page, 'running', 10000);
  await page.waitForFunction(() => zepPage.frames > 10, null, { timeout: 10000 });
  await page.mouse.click(10, 10);
  await waitState(page, 'ended', 5000);
  check(!(await page.evaluate(() => zepPage.musicPlaying())), 'watched again; a click ends it and stops the music');
});

// Without sound (here the audio cannot start at all) the demo runs silently
// on the page's own clock and says so under the picture.
await withPage(site, { width: 800, height: 600 }, async (page, server) => {
  await page.addInitScript(() => {
    window.AudioContext = class { constructor() { throw new Error('no audio device'); } };
  });
  await page.goto(server.url);
  await waitState(page, 'title', 60000);
  await page.keyboard.press('KeyA');
  await waitState(page, 'running', 10000);
  await page.waitForTimeout(1500);
  const silent = await page.evaluate(() => ({
    sound: zepPage.sound, frames: zepPage.frames, scene: zepPage.sceneClock(),
    message: document.getElementById('message').textContent,
  }));
  check(!silent.sound && /No sound: .*no audio device.*silently/.test(silent.message),
    `without sound the page says so ("${silent.message}")`);
  check(silent.frames > 30 && silent.scene > 1, `and runs on its own clock (${silent.frames} frames, clock ${silent.scene.toFixed(2)} s)`);
  await page.keyboard.press('Escape');
  await waitState(page, 'ended', 5000);
});
finish();
