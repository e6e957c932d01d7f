// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// Links to a moment: index.html#t=47.25, #scene=2 or #landscape starts the demo
// there, as zep-render --start does: the first picture is zep-render's first
// for that moment, drawn at its clock, and the music starts at that time. A
// moment that is none is said under the picture and the demo plays from the
// beginning.
// Usage: node moments.mjs SITE ZEP_RENDER DATA_DIR
import { execFileSync } from 'node:child_process';
import { check, finish, withPage } from './browser.mjs';

const [site, zepRender, dataDir] = process.argv.slice(2);
const FPS = 60;

// zep-render's hash lines for a moment up to frame `last`.
const nativeLines = (moment, last) => execFileSync(zepRender,
  ['--data', dataDir, '--start', moment, '--to', String(last), '--hashes', '-'], { encoding: 'utf8' });

async function open(page, server, fragment) {
  await page.goto('about:blank');
  await page.goto(`${server.url}index.html#${fragment}`);
  await page.waitForFunction(() => window.zepPage && zepPage.state === 'title', null, { timeout: 60000, polling: 50 });
  await page.mouse.click(400, 300);
  await page.waitForFunction(() => zepPage.state === 'running' && zepPage.frames >= 30, null,
    { timeout: 60000, polling: 50 });
  return page.evaluate(() => ({
    first: zepPage.firstHash, startFrame: zepPage.startFrame, log: zepPage.log.slice(0, 30),
    music: zepPage.musicPosition(), scene: zepPage.sceneClock(), sound: zepPage.sound,
    message: document.getElementById('message').textContent,
  }));
}

await withPage(site, { width: 800, height: 600 }, async (page, server) => {
  for (const moment of ['t=47.25', 'scene=2', 'landscape']) {
    const run = await open(page, server, moment);
    const frame = run.startFrame;
    // One line: zep-render starts at the same frame, and its picture.
    const native = nativeLines(moment, frame);
    check(native === `${String(frame).padStart(6, '0')} ${run.first}\n`,
      `#${moment}: the first picture is zep-render's (page: frame ${frame}, ${run.first}; zep-render ${native.trim().split('\n').join(', ')})`);
    const [, firstClock] = run.log[0];
    check(Math.abs(firstClock - frame / FPS) < 1e-9, `#${moment}: drawn at its clock ${(frame / FPS).toFixed(4)} s (${firstClock.toFixed(4)} s)`);
    // The music runs from that time: once it is heard, each frame's picture
    // time agrees with the music's position read just before it.
    const heard = run.log.slice(1).filter(([music]) => music >= frame / FPS);
    const worst = Math.max(...heard.map(([music, scene]) => Math.abs(scene - music)));
    check(run.sound && heard.length > 10 && worst < 1 / FPS,
      `#${moment}: the music starts there (${heard.length} frames with it, worst ${(worst * 1000).toFixed(2)} ms)`);
    check(run.music - frame / FPS > 0 && run.music - frame / FPS < 2,
      `#${moment}: the music is at ${run.music.toFixed(3)} s after 30 frames`);
    await page.keyboard.press('Escape');
  }
  const bad = await open(page, server, 't=999');
  check(bad.startFrame === 1 && /#t=999 is not one: .*playing from the beginning/.test(bad.message),
    `a moment past the end is said and the demo plays from the beginning ("${bad.message}")`);
});
finish();
