// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// The picture on screens of any size and pixel density: the canvas has the
// screen's own pixels, the picture is fitted with its 4:3 shape and black
// bars, enlarged by the largest whole factor with nearest sampling and then
// smoothly the rest of the way. Where the fit is a whole multiple, every
// picture pixel is a uniform block of the screen, equal to zep-render's pixel.
// Usage: node sharp.mjs SITE ZEP_RENDER DATA_DIR WORK_DIR
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { check, finish, runCheck, withPage } from './browser.mjs';

const [site, zepRender, dataDir, work] = process.argv.slice(2);
fs.rmSync(work, { recursive: true, force: true });
fs.mkdirSync(work, { recursive: true });

const FRAME = 1500;
const W = 640;
const H = 480;
const BAR = 36;  // the bar under the picture's area, in CSS pixels

// A PNG's size and pixels as RGB bytes, decoded by ffmpeg.
const decode = (png) => {
  const probe = execFileSync('ffprobe', ['-v', 'error', '-select_streams', 'v:0', '-show_entries',
    'stream=width,height', '-of', 'csv=p=0', png], { encoding: 'utf8' }).trim().split(',').map(Number);
  const data = execFileSync('ffmpeg', ['-nostdin', '-loglevel', 'error', '-i', png,
    '-f', 'rawvideo', '-pix_fmt', 'rgb24', '-'], { maxBuffer: 256 << 20 });
  return { width: probe[0], height: probe[1], data };
};

execFileSync(zepRender, ['--data', dataDir, '--from', String(FRAME), '--to', String(FRAME),
  '--png', path.join(work, 'native')]);
const native = decode(path.join(work, 'native', `frame_${String(FRAME).padStart(6, '0')}.png`));

// Each case: the pixel ratio, the window in CSS pixels, and the expected
// canvas (device pixels), picture rectangle and whole factor.
const CASES = [
  { dpr: 1, view: [640, 516], canvas: [640, 480], dest: [0, 0, 640, 480], factor: 1, exact: true },
  { dpr: 1, view: [1300, 996], canvas: [1300, 960], dest: [10, 0, 1280, 960], factor: 2, exact: true },
  { dpr: 1, view: [1280, 800], canvas: [1280, 764], dest: [130, 0, 1019, 764], factor: 1, exact: false },
  { dpr: 1, view: [500, 436], canvas: [500, 400], dest: [0, 12, 500, 375], factor: 1, exact: false },
  { dpr: 1.5, view: [854, 676], canvas: [1281, 960], dest: [0, 0, 1280, 960], factor: 2, exact: true },
  { dpr: 1.5, view: [1280, 800], canvas: [1920, 1146], dest: [196, 0, 1528, 1146], factor: 2, exact: false },
  { dpr: 2, view: [640, 516], canvas: [1280, 960], dest: [0, 0, 1280, 960], factor: 2, exact: true },
  { dpr: 2, view: [1000, 700], canvas: [2000, 1328], dest: [114, 0, 1771, 1328], factor: 2, exact: false },
  { dpr: 3, view: [640, 516], canvas: [1920, 1440], dest: [0, 0, 1920, 1440], factor: 3, exact: true },
  { dpr: 3, view: [390, 300], canvas: [1170, 792], dest: [57, 0, 1056, 792], factor: 1, exact: false },
];

// Where the picture's area is whole: each block of k x k screen pixels is
// one colour, zep-render's pixel; everything else in the canvas is black.
function checkBlocks(shot, dest, k) {
  let uneven = 0;
  let wrong = 0;
  for (let y = 0; y < H; y++) {
    for (let x = 0; x < W; x++) {
      const n = 3 * (y * W + x);
      for (let dy = 0; dy < k; dy++) {
        for (let dx = 0; dx < k; dx++) {
          const s = 3 * ((dest[1] + y * k + dy) * shot.width + dest[0] + x * k + dx);
          const o = 3 * ((dest[1] + y * k) * shot.width + dest[0] + x * k);
          if (shot.data[s] !== shot.data[o] || shot.data[s + 1] !== shot.data[o + 1] || shot.data[s + 2] !== shot.data[o + 2]) uneven++;
          if (shot.data[s] !== native.data[n] || shot.data[s + 1] !== native.data[n + 1] || shot.data[s + 2] !== native.data[n + 2]) wrong++;
        }
      }
    }
  }
  return { uneven, wrong };
}

// Pixels of the canvas outside the picture that are not black.
function litBars(shot, canvasSize, dest) {
  let lit = 0;
  for (let y = 0; y < canvasSize[1]; y++) {
    for (let x = 0; x < canvasSize[0]; x++) {
      if (x >= dest[0] && x < dest[0] + dest[2] && y >= dest[1] && y < dest[1] + dest[3]) continue;
      const s = 3 * (y * shot.width + x);
      if (shot.data[s] | shot.data[s + 1] | shot.data[s + 2]) lit++;
    }
  }
  return lit;
}

for (const dpr of [...new Set(CASES.map((c) => c.dpr))]) {
  const cases = CASES.filter((c) => c.dpr === dpr);
  const [w0, h0] = cases[0].view;
  await withPage(site, { width: w0, height: h0 }, async (page, server) => {
    const result = await runCheck(page, server, `&from=${FRAME}&to=${FRAME}`);
    check(result.title === 'zep check done', `frame ${FRAME} shown at pixel ratio ${dpr}`);
    for (const c of cases) {
      const name = `${c.view[0]}x${c.view[1]} at ${dpr}x`;
      await page.setViewportSize({ width: c.view[0], height: c.view[1] });
      await page.waitForFunction(([w, h]) => {
        const s = zepPage.screen();
        return s.canvas.width === w && s.canvas.height === h;
      }, c.canvas, { timeout: 5000 }).catch(() => {});
      const screen = await page.evaluate(() => zepPage.screen());
      const { x, y, w, h } = screen.plan.dest;
      check(screen.canvas.width === c.canvas[0] && screen.canvas.height === c.canvas[1],
        `${name}: the canvas has the screen's pixels (${screen.canvas.width}x${screen.canvas.height}, want ${c.canvas.join('x')})`);
      check([x, y, w, h].join() === c.dest.join() && screen.plan.factor === c.factor && screen.plan.exact === c.exact,
        `${name}: picture at ${x},${y} ${w}x${h}, whole factor ${screen.plan.factor}${screen.plan.exact ? ', exact' : ', then smooth'}`);
      const file = path.join(work, `screen-${c.view.join('x')}-dpr${dpr}.png`);
      await page.screenshot({ path: file });
      const shot = decode(file);
      check(shot.width === Math.round(c.view[0] * dpr), `${name}: the screenshot has device pixels (${shot.width} wide)`);
      check(litBars(shot, c.canvas, c.dest) === 0, `${name}: black around the picture`);
      if (c.exact) {
        const { uneven, wrong } = checkBlocks(shot, c.dest, c.factor);
        check(uneven === 0 && wrong === 0,
          `${name}: every picture pixel is a uniform ${c.factor}x${c.factor} block of zep-render's colour (${uneven} uneven, ${wrong} wrong)`);
      }
    }
  }, { deviceScaleFactor: dpr });
}
finish();
