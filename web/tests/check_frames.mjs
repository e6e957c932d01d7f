// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The check mode's contract beyond the whole run: a canvas screenshot equals
// zep-render's PNG of the same frame, other frame rates and ranges give
// zep-render's hash lines, bad parameters are refused by zep-render's rules
// in its words, a missing or damaged data pack ends in "zep check failed: "
// and the reason, and the page opened from a file says it must be served.
// Usage: node check_frames.mjs SITE ZEP_RENDER DATA_DIR WORK_DIR
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, finish, runCheck, withPage } from './browser.mjs';

const [site, zepRender, dataDir, work] = process.argv.slice(2);
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });

// A PNG's pixels as RGB bytes, decoded by ffmpeg.
const rgb = (png) => execFileSync('ffmpeg', ['-nostdin', '-loglevel', 'error', '-i', png,
  '-f', 'rawvideo', '-pix_fmt', 'rgb24', '-'], { maxBuffer: 64 << 20 });
const render = (...args) => execFileSync(zepRender, ['--data', dataDir, ...args], { encoding: 'utf8' });
// zep-render's first line on standard error for the check query's options.
const renderSays = (query) => {
  const args = [...new URLSearchParams(query)].flatMap(([key, value]) => [`--${key}`, value]);
  const run = spawnSync(zepRender, ['--data', dataDir, ...args, '--hashes', '-'], { encoding: 'utf8' });
  return { status: run.status, line: run.stderr.split('\n')[0].replace(/^zep-render: /, ''), hashes: run.stdout };
};

const FRAME = 1500;  // the cube scene, with trails
await withPage(site, { width: 640, height: 516 }, async (page, server) => {
  const result = await runCheck(page, server, `&from=${FRAME}&to=${FRAME}`);
  check(result.title === 'zep check done', `frame ${FRAME} checked (${result.title})`);
  const shot = path.join(work, 'canvas.png');
  await page.locator('#picture').screenshot({ path: shot });
  render('--from', String(FRAME), '--to', String(FRAME), '--png', path.join(work, 'native'));
  const native = path.join(work, 'native', `frame_${String(FRAME).padStart(6, '0')}.png`);
  const [a, b] = [rgb(shot), rgb(native)];
  let differing = 0;
  for (let i = 0; i < Math.max(a.length, b.length); i += 3)
    if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) differing++;
  check(a.length === 640 * 480 * 3 && differing === 0,
    `the canvas screenshot of frame ${FRAME} is zep-render's PNG (${a.length / 3} pixels, ${differing} differ)`);

  const at30 = await runCheck(page, server, '&fps=30&from=95&to=100');
  check(at30.hashes === render('--fps', '30', '--from', '95', '--to', '100', '--hashes', '-'),
    'frames 95 to 100 at 30 frames a second are zep-render\'s');

  // What zep-render refuses the check refuses, in the same words: values,
  // ranges past the end at the rate asked for, a key given twice.
  for (const query of ['&fps=0', '&fps=abc', '&fps=0.0001', '&fps=10000', '&fps=0x10', '&fps=1e2',
    '&fps=', '&from=0', '&to=2.5', '&from=10&to=5', '&from=7000&to=8000', '&fps=30&from=4000',
    '&from=99999', '&fps=30&fps=60']) {
    const bad = await runCheck(page, server, query);
    const native = renderSays(query);
    check(native.status === 2 && bad.title === `zep check failed: ${native.line}` && bad.hashes === '',
      `${query} fails as zep-render does: "${bad.title}" (zep-render: "${native.line}")`);
  }
  const unknown = await runCheck(page, server, '&frm=3');
  check(unknown.title === "zep check failed: unknown parameter 'frm' (the check mode takes fps, from, to and timing)",
    `an unknown parameter fails: "${unknown.title}"`);
  // --to past the end is no failure: the frames up to the end, and the note.
  const pastEnd = await runCheck(page, server, '&from=6431&to=8000');
  const message = await page.evaluate(() => document.getElementById('message').textContent);
  const nativeEnd = renderSays('&from=6431&to=8000');
  check(pastEnd.title === 'zep check done' && pastEnd.hashes === nativeEnd.hashes && message === nativeEnd.line,
    `to past the end checks the frames up to it and says so: "${message}"`);

  await page.route('**/data.tar.gz', (route) => route.fulfill({ status: 404, body: 'no' }));
  const missing = await runCheck(page, server, '&to=1');
  check(/^zep check failed: .*data\.tar\.gz.*404/.test(missing.title), `a missing data pack fails: "${missing.title}"`);
  await page.unroute('**/data.tar.gz');
  const pack = fs.readFileSync(path.join(site, 'data.tar.gz'));
  await page.route('**/data.tar.gz', (route) =>
    route.fulfill({ status: 200, contentType: 'application/gzip', body: pack.subarray(0, pack.length >> 1) }));
  const damaged = await runCheck(page, server, '&to=1');
  check(damaged.title.startsWith('zep check failed: the data pack data.tar.gz is damaged'),
    `a damaged data pack fails: "${damaged.title}"`);
  await page.unroute('**/data.tar.gz');

  await page.goto(`file://${path.resolve(site)}/index.html`);
  await page.waitForTimeout(500);
  const fromFile = await page.evaluate(() => document.getElementById('prompt').textContent);
  check(/must be served over http \(for instance with make serve\)/.test(fromFile),
    `opened from a file, the page says it must be served: "${fromFile}"`);
});
finish();
