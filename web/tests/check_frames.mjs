// The check mode's contract beyond the whole run: a canvas screenshot equals
// zep-render's PNG of the same frame, other frame rates and ranges give
// zep-render's hash lines, and bad parameters or a missing or damaged data
// pack end in "zep check failed: " and the reason.
// Usage: node check_frames.mjs SITE ZEP_RENDER DATA_DIR WORK_DIR
import { execFileSync } from 'node:child_process';
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

  for (const [query, reason] of [['&fps=0', 'fps'], ['&fps=abc', 'fps'], ['&from=0', 'from'],
    ['&to=2.5', 'to'], ['&from=10&to=5', 'before']]) {
    const bad = await runCheck(page, server, query);
    check(bad.title.startsWith('zep check failed: ') && bad.title.includes(reason) && bad.hashes === '',
      `${query} fails: "${bad.title}"`);
  }

  await page.route('**/data.tar.gz', (route) => route.fulfill({ status: 404, body: 'no' }));
  const missing = await runCheck(page, server, '&to=1');
  check(/^zep check failed: .*data\.tar\.gz.*404/.test(missing.title), `a missing data pack fails: "${missing.title}"`);
  await page.unroute('**/data.tar.gz');
  const pack = fs.readFileSync(path.join(site, 'data.tar.gz'));
  await page.route('**/data.tar.gz', (route) =>
    route.fulfill({ status: 200, contentType: 'application/gzip', body: pack.subarray(0, pack.length >> 1) }));
  const damaged = await runCheck(page, server, '&to=1');
  check(damaged.title.startsWith('zep check failed: '), `a damaged data pack fails: "${damaged.title}"`);
});
finish();
