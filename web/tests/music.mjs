// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The music as Chromium decodes it: at least as long as the native render
// and the demo (the scene table's end, site/schedule.json), and starting on
// the same sample, so that it is in time with frame 1.
// Usage: node music.mjs SITE ZEP_MUSIC_WAV MODULE WORK_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, finish, withPage } from './browser.mjs';

const [site, musicWav, module, work] = process.argv.slice(2);
// The length the site's music was encoded with (web/encode_music.sh).
const demoEnd = JSON.parse(fs.readFileSync(path.join(site, 'schedule.json'), 'utf8')).end;
const seconds = String(Math.ceil(demoEnd));
const RATE = 44100;
const WINDOW = 2 * RATE;  // samples compared
const MAX_LAG = 3000;

fs.mkdirSync(work, { recursive: true });
const wavPath = path.join(work, 'native.wav');
execFileSync(musicWav, [module, seconds, wavPath]);
const wav = fs.readFileSync(wavPath);
const nativeFrames = (wav.length - 44) / 4;
const native = new Float64Array(WINDOW + MAX_LAG);
for (let i = 0; i < native.length; i++) native[i] = wav.readInt16LE(44 + 4 * i) / 32768;  // left

await withPage(site, { width: 640, height: 516 }, async (page, server) => {
  await page.goto(`${server.url}index.html?check&to=1`);
  const decoded = await page.evaluate(async ([window, lag]) => {
    const bytes = await (await fetch('music.m4a')).arrayBuffer();
    const context = new OfflineAudioContext(2, 1, 44100);
    const buffer = await context.decodeAudioData(bytes);
    return {
      length: buffer.length, rate: buffer.sampleRate, channels: buffer.numberOfChannels,
      left: Array.from(buffer.getChannelData(0).subarray(0, window + lag)),
    };
  }, [WINDOW, MAX_LAG]);
  const seconds = decoded.length / decoded.rate;
  console.log(`decoded ${decoded.length} samples at ${decoded.rate} Hz (${seconds.toFixed(3)} s), native ${nativeFrames}`);
  check(decoded.rate === RATE && decoded.channels === 2, 'stereo at 44100 Hz');
  check(decoded.length >= nativeFrames && seconds >= demoEnd, 'as long as the native render and the demo');

  // The lag at which the decoded music best matches the native render.
  let best = { lag: 0, score: -Infinity };
  for (let lag = -MAX_LAG; lag <= MAX_LAG; lag++) {
    let sum = 0;
    for (let i = MAX_LAG; i < WINDOW; i++) sum += native[i] * decoded.left[i + lag];
    if (sum > best.score) best = { lag, score: sum };
  }
  let energy = 0;
  for (let i = MAX_LAG; i < WINDOW; i++) energy += native[i] * native[i];
  console.log(`best match at a lag of ${best.lag} samples (correlation ${(best.score / energy).toFixed(3)})`);
  check(energy > 0, 'the music is not silent at its start');
  check(best.lag === 0 && best.score / energy > 0.9, 'the decoded music starts on the native render\'s first sample');
});
finish();
