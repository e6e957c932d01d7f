// SPDX-FileCopyrightText: 2026 zep developers
// SPDX-License-Identifier: MIT
// zep in the browser. Loads the demo's module, its data and its music, owns
// the canvas, the audio and the input, and runs one frame of the demo per
// animation frame, at most 60 a second, on the audio clock.
//
// index.html?check&fps=F&from=A&to=B (zep-render's --fps, --from and --to;
// defaults 60, 1, the last frame) instead runs the demo on the virtual clock
// (frame n at n/F), silently and as fast as it can, writes one line per frame
// from A to B into <pre id="hashes"> (the frame number in six digits, a
// space, the picture's 64-bit FNV-1a hash in 16 hex digits) and sets the
// title to "zep check done", or to "zep check failed: " and the reason. With
// &timing it also writes each scene's frame times into <pre id="timing"> as
// JSON.
import createZepModule from './zep-wasm.js';

const WIDTH = 640;
const HEIGHT = 480;
const DATA_DIR = '/data';
const FRAME_MS = 1000 / 60;
const MUSIC_LEAD = 0.05;
const MAX_LEAD = 0.1;
const STALE_STAMP_MS = 200;  // seconds a frame may be drawn ahead of the music  // seconds between asking the music to start and its first sample

const $ = (id) => document.getElementById(id);
// Two canvases, one over the other: a picture is painted on the one beneath
// and shown by raising it, so that a picture painted too late is never seen.
const canvases = [$('picture'), $('back')];
const painters = canvases.map((c) => c.getContext('2d', { alpha: false }));
let front = 0;
// The demo's picture at its own size; the page's canvas shows it enlarged.
const source = document.createElement('canvas');
source.width = WIDTH;
source.height = HEIGHT;
const sourcePainter = source.getContext('2d', { alpha: false });

// What the tests and the benchmark read.
const page = {
  state: 'loading',
  frames: 0,
  sound: false,
  audioClock: () => 0,
  musicPosition: () => null,  // seconds into the music being heard, while it plays
  paused: () => false,
  sceneClock: () => 0,
  musicPlaying: () => false,
  // Per frame while running: the audio clock before the frame, the frame's
  // scene clock, the audio clock once the picture is on the canvas, and the
  // page's clock then (ms).
  log: [],
  firstHash: '',  // the hash of the run's first picture
  dropped: 0,     // pictures drawn too late for the music and not shown
  endedAt: null,  // the audio clock when the latest run ended
  firstPictureAt: null,  // ms from the navigation to the first run's first picture
  titleAt: null,         // ms from the navigation to the offer to start
  joinedAt: null,        // the page's clock (ms) when music still loading at the start joined the run
  offline: 'none',       // the offline copy: none, registering, ready, unsupported or failed: why
  update: null,          // a new release's worker, waiting for the run to end
  startFrame: 1,  // the run's first frame, from the link's moment
};
window.zepPage = page;

function setState(state) {
  page.state = state;
  document.body.dataset.state = state;
}

function prompt(text) {
  $('overlay').hidden = text === '';
  $('prompt').textContent = text;
}

function say(text) {
  $('message').textContent = text;
}

// --- loading ---------------------------------------------------------------

async function fetchBytes(url) {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`cannot load ${url} (${response.status} ${response.statusText})`);
  return response;
}

// Fetches and unpacks a gzip file; `onProgress(fraction)` follows its
// download where the server gives its length.
async function fetchGzip(url, onProgress = () => {}) {
  if (typeof DecompressionStream === 'undefined')
    throw new Error('this browser cannot unpack the data (no DecompressionStream)');
  const response = await fetchBytes(url);
  const total = Number(response.headers.get('Content-Length')) || 0;
  let received = 0;
  const counted = response.body.pipeThrough(new TransformStream({
    transform(chunk, controller) {
      received += chunk.length;
      if (total > 0) onProgress(Math.min(received / total, 1));
      controller.enqueue(chunk);
    },
  }));
  const stream = counted.pipeThrough(new DecompressionStream('gzip'));
  try {
    return new Uint8Array(await new Response(stream).arrayBuffer());
  } catch (error) {
    // Chromium words a broken gzip stream "Failed to fetch", which would not
    // tell that the pack is at fault.
    throw new Error(`the data pack ${url} is damaged or incomplete`);
  }
}

function text(bytes, start, length) {
  let s = '';
  for (let i = start; i < start + length && bytes[i] !== 0; i++) s += String.fromCharCode(bytes[i]);
  return s;
}

// The regular files of a tar archive (ustar, as pack_data.sh writes it).
function untar(bytes) {
  const files = [];
  let offset = 0;
  while (offset + 512 <= bytes.length && bytes[offset] !== 0) {
    const name = text(bytes, offset, 100);
    const size = parseInt(text(bytes, offset + 124, 12).trim() || '0', 8);
    const type = bytes[offset + 156];
    offset += 512;
    if (!Number.isFinite(size) || offset + size > bytes.length) throw new Error('the data pack data.tar.gz is damaged or incomplete');
    if ((type === 0 || type === 48) && !name.includes('/'))
      files.push({ name, data: bytes.subarray(offset, offset + size) });
    offset += Math.ceil(size / 512) * 512;
  }
  if (files.length === 0) throw new Error('the data pack holds no files');
  return files;
}

// The module and the data; `onProgress(fraction)` follows the data, the
// bulk of it.
async function loadDemo(onProgress) {
  const errors = [];
  const [zep, pack] = await Promise.all([
    createZepModule({
      print: (line) => console.log(line),
      printErr: (line) => { errors.push(line); console.error(line); },
      zepClock: () => 0,
      zepPlayMusic: () => {},
    }),
    fetchGzip('data.tar.gz', onProgress),
  ]);
  zep.FS.mkdir(DATA_DIR);
  for (const file of untar(pack)) zep.FS.writeFile(`${DATA_DIR}/${file.name}`, file.data);
  zep.errors = errors;
  return zep;
}

// Where a run starts: the moment the link names after '#' ("#t=86",
// "#scene=5", "#landscape"), in the player's --start words, or the beginning.
// A moment that is refused is said under the picture; the run then starts at
// the beginning.
function planStart(run) {
  const text = decodeURIComponent(location.hash.replace(/^#/, ''));
  const problem = run.zep.UTF8ToString(run.zep.ccall('zep_plan_start', 'number', ['string'], [text]));
  run.note = problem ? `The link's moment #${text} is not one: ${problem}; playing from the beginning.` : '';
  page.startFrame = run.zep._zep_start_frame();
}

// Starts a run; throws with the demo's own message when it cannot start.
function start(zep, fps) {
  zep.errors.length = 0;
  if (zep.ccall('zep_start', 'number', ['string', 'number'], [DATA_DIR, fps]) !== 0)
    throw new Error(zep.errors.join(' ') || 'the demo could not start');
}

// --- the picture on the screen ---------------------------------------------

// Where the picture goes in an output of outWidth x outHeight device pixels,
// as the desktop window shows it: fitted with its shape kept and centred,
// enlarged first by the largest whole factor with nearest sampling, then the
// rest of the way smoothly; a whole multiple is drawn with nearest sampling
// alone. Returns { dest: { x, y, w, h }, factor, exact }.
function planSharpScale(width, height, outWidth, outHeight) {
  outWidth = Math.max(outWidth, 1);
  outHeight = Math.max(outHeight, 1);
  const dest = { x: 0, y: 0, w: 0, h: 0 };
  if (outWidth * height <= outHeight * width) {
    dest.w = outWidth;
    dest.h = Math.floor((2 * outWidth * height + width) / (2 * width));
  } else {
    dest.h = outHeight;
    dest.w = Math.floor((2 * outHeight * width + height) / (2 * height));
  }
  dest.w = Math.min(Math.max(dest.w, 1), outWidth);
  dest.h = Math.min(Math.max(dest.h, 1), outHeight);
  dest.x = Math.floor((outWidth - dest.w) / 2);
  dest.y = Math.floor((outHeight - dest.h) / 2);
  const factor = Math.max(1, Math.min(Math.floor(dest.w / width), Math.floor(dest.h / height)));
  const exact = dest.w === width * factor && dest.h === height * factor;
  return { dest, factor, exact };
}

// The canvas covers the picture's area of the page at the screen's own
// pixels, so the browser draws it unscaled; the black around the picture is
// the canvas's own.
const screen = {
  plan: null,
  middle: null,          // the whole-factor enlargement, when a smooth step follows
  middlePainter: null,
};
page.screen = () => ({
  canvas: { width: canvases[0].width, height: canvases[0].height },
  plan: screen.plan,
});

// Paints the picture on the canvas beneath; raise() shows it.
function paint() {
  const { plan } = screen;
  if (!plan) return;
  const painter = painters[1 - front];
  const { x, y, w, h } = plan.dest;
  if (plan.exact) {
    painter.imageSmoothingEnabled = false;
    painter.drawImage(source, x, y, w, h);
    return;
  }
  let from = source;
  if (plan.factor > 1) {
    screen.middlePainter.drawImage(source, 0, 0, screen.middle.width, screen.middle.height);
    from = screen.middle;
  }
  painter.imageSmoothingEnabled = true;
  painter.imageSmoothingQuality = 'low';  // linear, as the desktop's second step
  painter.drawImage(from, x, y, w, h);
}

function raise() {
  front = 1 - front;
  canvases[front].style.zIndex = '1';
  canvases[1 - front].style.zIndex = '0';
}

// Sizes the canvases to `width` x `height` device pixels and plans the
// picture in them.
function fitScreen(width, height) {
  if (width < 1 || height < 1) return;
  for (let i = 0; i < 2; i++) {
    if (canvases[i].width !== width || canvases[i].height !== height) {
      canvases[i].width = width;
      canvases[i].height = height;
    }
    painters[i].fillStyle = '#000';
    painters[i].fillRect(0, 0, width, height);
  }
  screen.plan = planSharpScale(WIDTH, HEIGHT, width, height);
  const { factor, exact } = screen.plan;
  if (!exact && factor > 1) {
    screen.middle ??= document.createElement('canvas');
    screen.middle.width = WIDTH * factor;
    screen.middle.height = HEIGHT * factor;
    screen.middlePainter = screen.middle.getContext('2d', { alpha: false });
    screen.middlePainter.imageSmoothingEnabled = false;
  } else {
    screen.middle = null;
    screen.middlePainter = null;
  }
  paint();
  raise();
}

// Follows the canvas's size in device pixels: its CSS size times the pixel
// ratio, or exactly where the browser reports its device pixels and they
// agree with that to within rounding (an emulated pixel ratio reports CSS
// pixels there).
function watchScreen() {
  let exact = null;  // the latest device-pixel size reported, or null
  const refit = () => {
    const box = canvases[0].getBoundingClientRect();
    const width = Math.round(box.width * devicePixelRatio);
    const height = Math.round(box.height * devicePixelRatio);
    const near = (a, b) => Math.abs(a - b) <= 1;
    if (exact && near(exact.inlineSize, box.width * devicePixelRatio) && near(exact.blockSize, box.height * devicePixelRatio))
      fitScreen(exact.inlineSize, exact.blockSize);
    else
      fitScreen(width, height);
  };
  // The pixel ratio changes with the browser's zoom and between screens.
  const watchRatio = () => {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
      refit();
      watchRatio();
    }, { once: true });
  };
  watchRatio();
  if (typeof ResizeObserver === 'undefined') {
    window.addEventListener('resize', refit);
    refit();
    return;
  }
  const observer = new ResizeObserver((entries) => {
    const entry = entries[entries.length - 1];
    exact = (entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0]) || null;
    refit();
  });
  try {
    observer.observe(canvases[0], { box: 'device-pixel-content-box' });
  } catch (error) {
    observer.observe(canvases[0]);
  }
}

// Copies the demo's latest picture to the page (not yet to the screen).
function upload(zep) {
  const pixels = new Uint8ClampedArray(zep.HEAPU8.buffer, zep._zep_rgba(), WIDTH * HEIGHT * 4);
  sourcePainter.putImageData(new ImageData(pixels, WIDTH, HEIGHT), 0, 0);
}

function present(zep) {
  upload(zep);
  paint();
  raise();
}

// --- sound -----------------------------------------------------------------

// The music decoded in an AudioContext at the module's own rate, so nothing
// is resampled before the output. Never throws: a failure leaves a reason.
function prepareAudio(musicResponse) {
  const audio = { context: null, buffer: null, reason: '' };
  try {
    audio.context = new AudioContext({ sampleRate: 44100 });
  } catch (error) {
    audio.reason = `the music cannot play here (${error.message || error})`;
    return { audio, ready: Promise.resolve(audio) };
  }
  const ready = musicResponse
    .then((response) => response.arrayBuffer())
    .then((bytes) => audio.context.decodeAudioData(bytes))
    .then((buffer) => { audio.buffer = buffer; })
    .catch((error) => { audio.reason = `the music cannot play here (${error.message || error})`; })
    .then(() => audio);
  return { audio, ready };
}

// Whether the sound runs once the music is decoded and the context resumed
// (asked for within the user's gesture, as some browsers require).
async function soundRuns(audio, ready, resumed) {
  await ready;
  if (!audio.buffer) return false;
  await Promise.race([resumed, new Promise((done) => setTimeout(done, 1000))]);
  if (audio.context.state !== 'running') {
    audio.reason = 'the browser did not start the sound';
    return false;
  }
  return true;
}

// Seconds of the audio context's timeline: the time of the sample being
// heard now where the browser tells it, else the time of the next one mixed.
// A suspended context, or a timestamp older than any output's period (left
// over from before a suspension), gives the next sample mixed instead: the
// timestamp would otherwise run on with the page's clock.
function audioTime(audioContext) {
  const stamp = audioContext.getOutputTimestamp ? audioContext.getOutputTimestamp() : null;
  const now = performance.now();
  if (audioContext.state === 'running' && stamp && stamp.performanceTime > 0 && stamp.contextTime > 0 &&
      now - stamp.performanceTime < STALE_STAMP_MS)
    return stamp.contextTime + (now - stamp.performanceTime) / 1000;
  return audioContext.currentTime;
}

// --- the demo in real time -------------------------------------------------

// The still title: the first frame, on the virtual clock.
function showTitle(zep) {
  start(zep, 60);
  zep._zep_frame();
  present(zep);
  zep._zep_stop();
}

// One watch of the demo and what lasts between them: the module, the sound,
// the music playing, and the pacing of the frames.
function makeRun(zep, audio, audioReady) {
  const run = {
    zep,
    audio,
    audioReady,
    source: null,     // the music playing, if any
    running: false,
    paused: false,    // the page is hidden: the clock holds at `frozen`, the last picture's time
    frozen: 0,
    holdUntil: 0,     // no frame before the clock reaches this
    nextDue: 0,       // the animation-frame time the next frame is due
    musicStart: 0,    // where the music's beginning lies on the clock it is heard on
    startFrom: 0,     // the time in the music the run started at
    lead: 0,          // seconds from a frame's clock read to its picture on the canvas
    works: [],        // the latest frames' times from clock read to canvas
    paints: [],       // and the times of their last step, onto the canvas
    pending: null,    // { before, time } of a picture uploaded and held until due
    pendingHash: '',
    note: '',         // a line about the link's start moment, or empty
    generation: 0,    // counts the runs, so that music arriving late joins only its own
    joinPending: false,  // the music is in but the page was hidden: it joins when shown
    playMusic: () => {},
    clock: () => 0,
  };
  page.musicPlaying = () => run.source !== null;
  page.paused = () => run.paused;
  return run;
}

function stopMusic(run) {
  if (run.source) {
    try { run.source.stop(); } catch (error) { /* already stopped */ }
    run.source = null;
  }
}

// The demo ended by itself, by a key or by a failure.
function finishRun(run) {
  page.endedAt = page.audioClock();
  run.running = false;
  run.paused = false;
  stopMusic(run);
  const status = run.zep._zep_status();
  if (status !== 0) {
    setState('failed');
    say(run.zep.errors.join(' ') || `the demo stopped (status ${status})`);
    prompt('');
    return;
  }
  setState('ended');
  prompt('click or press a key to watch again');
  takeUpdate();
}

// The picture that would be on the canvas too late or too early for the
// music, beyond this, is not shown: it is dropped, or held for a later
// animation frame.
const PICTURE_WINDOW = 0.015;
// And a picture painted later than this is not shown.
const PICTURE_LIMIT = 0.02;

const median = (values) => [...values].sort((a, b) => a - b)[(values.length - 1) >> 1];
// Keeps the latest 16 values of a series.
function remember(series, value) {
  series.push(value);
  if (series.length > 16) series.shift();
}

// Paints the uploaded picture and shows it, unless painting took it past
// its time; logs it.
function showPicture(run, before, time) {
  const painting = page.audioClock();
  paint();
  const after = page.audioClock();
  remember(run.paints, after - painting);
  if (page.frames > 0 && Math.abs(after - time) > PICTURE_LIMIT) {
    page.dropped++;
    return;
  }
  raise();
  if (page.frames === 0) {
    page.firstHash = run.pendingHash;
    page.firstPictureAt ??= performance.now();
  }
  page.frames++;
  // The time from a frame's clock read to its picture on the canvas, the
  // median of the last few: a frame that takes as long is drawn for the time
  // its picture is shown; slower ones are dropped, faster ones held.
  remember(run.works, after - before);
  run.lead = Math.min(Math.max(median(run.works), 0), MAX_LEAD);
  if (page.log.length < 100000) page.log.push([before, time, after, performance.now()]);
}

// How long putting a picture on the canvas takes, lately.
const paintTime = (run) => (run.paints.length ? median(run.paints) : 0);

// One animation frame: at most one demo frame every FRAME_MS, its picture
// shown when it is due with the music.
function frameStep(run, now) {
  if (!run.running) return;
  const next = (time) => frameStep(run, time);
  // After a pause the music starts again a moment later than the page is
  // shown: no frame until it has reached the picture's time.
  if (run.paused || run.clock() < run.holdUntil) {
    requestAnimationFrame(next);
    return;
  }
  if (run.pending) {
    const { before, time } = run.pending;
    const lag = page.audioClock() + paintTime(run) - time;
    if (lag < -PICTURE_WINDOW) {
      requestAnimationFrame(next);
      return;
    }
    run.pending = null;
    if (lag <= PICTURE_WINDOW) showPicture(run, before, time);
    else page.dropped++;
  }
  if (now < run.nextDue - 2) {
    requestAnimationFrame(next);
    return;
  }
  run.nextDue = Math.max(run.nextDue + FRAME_MS, now);
  const before = page.audioClock();
  // The music has reached the demo's end: the run ends now rather than a
  // frame later (the driver ends a scene on the clock read by the frame
  // before), which on a slow machine is a while. The frame drawn on the way
  // is not shown.
  if (before >= run.zep._zep_end_time()) {
    if (run.zep._zep_frame() === 0 || run.zep._zep_frame() === 0) {
      finishRun(run);
      return;
    }
  }
  if (run.zep._zep_frame() === 0) {
    finishRun(run);
    return;
  }
  const time = run.zep._zep_clock();
  upload(run.zep);
  if (page.frames === 0) run.pendingHash = run.zep.UTF8ToString(run.zep._zep_hash());
  const lag = page.audioClock() + paintTime(run) - time;
  // The first picture of a run is always shown: it is the one the run starts with.
  if (page.frames === 0 || Math.abs(lag) <= PICTURE_WINDOW) showPicture(run, before, time);
  else if (lag < 0) run.pending = { before, time };
  else page.dropped++;
  requestAnimationFrame(next);
}

// Plays the music from `offset` seconds in, a moment from now; the clock
// then reads `offset` when that sample is heard.
function playMusicFrom(run, offset) {
  const ctx = run.audio.context;
  run.source = ctx.createBufferSource();
  run.source.buffer = run.audio.buffer;
  run.source.connect(ctx.destination);
  const when = ctx.currentTime + MUSIC_LEAD;
  run.musicStart = when - offset;
  run.source.start(when, offset);
}

// The clock the demo runs on: the page's own until the music plays, then
// the audio context's. run.clock is the time in the music; the run's timer
// counts from where the run started and adds that moment itself.
function usePageClock(run) {
  const elapsed = () => performance.now() / 1000 - run.musicStart;
  run.clock = () => (run.paused ? run.frozen : elapsed());
  page.musicPosition = () => null;
  run.playMusic = (from) => { run.musicStart = performance.now() / 1000 - from; };
}

function useAudioClock(run) {
  const ctx = run.audio.context;
  const heard = () => audioTime(ctx) - run.musicStart;
  run.clock = () => (run.paused ? run.frozen : heard());
  page.musicPosition = () => (run.source ? heard() : null);
  run.playMusic = (from) => playMusicFrom(run, from);
}

function chooseClock(run) {
  const { zep } = run;
  if (page.sound) useAudioClock(run);
  else usePageClock(run);
  zep.zepPlayMusic = (from) => {
    run.startFrom = from;
    run.playMusic(from);
  };
  zep.zepClock = () => run.clock() + run.lead - run.startFrom;
  page.audioClock = () => run.clock();
  page.sceneClock = () => zep._zep_clock();
}

// The music, still loading when the run started, joins it in step: it
// starts at the time the page's clock will then read, and the clock is the
// music's from there. Without sound the run goes on silently and says so.
async function joinMusic(run, resumed, generation) {
  const sound = await soundRuns(run.audio, run.audioReady, resumed);
  if (!run.running || run.generation !== generation) return;
  if (!sound) {
    say(`No sound: ${run.audio.reason}; the demo runs silently on the page's clock.${run.note ? ` ${run.note}` : ''}`);
    return;
  }
  run.joinPending = true;
  if (!run.paused) joinNow(run);
}

function joinNow(run) {
  run.joinPending = false;
  const ctx = run.audio.context;
  // The music's time heard from now on is the page's clock going on: what is
  // mixed at `when` is heard a moment later, at the page's time then.
  const pageNow = run.clock();
  run.musicStart = audioTime(ctx) - pageNow;
  const when = ctx.currentTime + MUSIC_LEAD;
  useAudioClock(run);
  page.sound = true;
  run.source = ctx.createBufferSource();
  run.source.buffer = run.audio.buffer;
  run.source.connect(ctx.destination);
  run.source.start(when, when - run.musicStart);
  page.joinedAt = performance.now();
  say(run.note);
}

async function beginRun(run, resumed) {
  setState('starting');
  prompt('');
  const generation = ++run.generation;
  // Music already in plays from the start; music still loading joins later,
  // except at a link's moment, whose unseen frames take longer than the
  // music to load: it is waited for, to start there too.
  planStart(run);
  const waitForMusic = run.audio.buffer !== null || page.startFrame > 1;
  page.sound = waitForMusic ? await soundRuns(run.audio, run.audioReady, resumed) : false;
  chooseClock(run);
  say(page.sound ? run.note : (run.audio.reason ? `No sound: ${run.audio.reason}; the demo runs silently on the page's clock.${run.note ? ` ${run.note}` : ''}` : run.note));
  page.frames = 0;
  page.log = [];
  page.firstHash = '';
  page.dropped = 0;
  run.lead = 0;
  run.works = [];
  run.paints = [];
  run.pending = null;
  try {
    start(run.zep, 0);
  } catch (error) {
    stopMusic(run);
    setState('failed');
    say(error.message);
    return;
  }
  run.running = true;
  run.paused = false;
  run.holdUntil = 0;
  run.joinPending = false;
  setState('running');
  run.nextDue = 0;
  if (!page.sound && !run.audio.reason) joinMusic(run, resumed, generation);
  if (document.hidden) pauseRun(run);
  requestAnimationFrame((time) => frameStep(run, time));
}

// A hidden page holds the picture and the music at the same moment: the
// clock holds at the time of the picture last shown and the audio context is
// suspended. When the page is shown again the music goes on from that time
// (what played between the last picture and the suspension is heard again),
// and so does the picture, without frames to catch up.
function pauseRun(run) {
  if (!run.running || run.paused) return;
  run.frozen = run.zep._zep_clock();
  run.paused = true;
  if (page.sound) run.audio.context.suspend().catch(() => {});
}

async function resumeRun(run) {
  if (!run.paused) return;
  if (page.sound) {
    const ctx = run.audio.context;
    await ctx.resume().catch(() => {});
    if (document.hidden || !run.paused || !run.running) return;
    if (run.source) {
      stopMusic(run);
      playMusicFrom(run, run.frozen);
    }
  } else {
    run.musicStart = performance.now() / 1000 - run.frozen;
  }
  run.holdUntil = run.frozen;
  run.paused = false;
  run.nextDue = 0;
  if (run.joinPending) joinNow(run);
}

function listenForVisibility(run) {
  document.addEventListener('visibilitychange', () => {
    if (document.hidden) pauseRun(run);
    else resumeRun(run);
  });
}

// A click or a key starts the demo, ends it while it runs, and starts it
// again after the end.
function listenForInput(run) {
  const input = (event) => {
    if (event.type === 'keydown' && event.repeat) return;
    if (page.state === 'title' || page.state === 'ended')
      beginRun(run, run.audio.context ? run.audio.context.resume().catch(() => {}) : null);
    else if (page.state === 'running') run.zep._zep_key();
  };
  document.addEventListener('keydown', input);
  document.addEventListener('pointerdown', input);
}

async function runPage() {
  let shown = -1;
  const zep = await loadDemo((fraction) => {
    const percent = Math.round(fraction * 100);
    if (percent !== shown) prompt(`loading… ${percent}%`);
    shown = percent;
  });
  // The music after the rest, so that it does not share the link with what
  // the first picture needs; the run may start before it is in.
  const music = fetchBytes('music.m4a');
  music.catch(() => {});
  const { audio, ready: audioReady } = prepareAudio(music);
  // The worker that keeps the site for offline use fetches every file once
  // more: only once the page has all it needs.
  audioReady.then(keepOffline);
  const run = makeRun(zep, audio, audioReady);
  listenForInput(run);
  listenForVisibility(run);
  setState('title');
  page.titleAt = performance.now();
  prompt('click or press a key to start');
  // The still title follows in a moment: a click that comes first (input
  // goes before it) starts the demo without waiting for it.
  setTimeout(() => {
    if (page.state === 'title') showTitle(zep);
    addHomeScreenLinks();
  }, 0);
}

// The icons and the web app manifest (for "Add to Home Screen"), named once
// the page is up, so that the browser does not fetch the icons alongside
// what the first picture needs.
function addHomeScreenLinks() {
  for (const [rel, href] of [['icon', 'icon-48.png'], ['apple-touch-icon', 'icon-256.png'], ['manifest', 'manifest.webmanifest']]) {
    const link = document.createElement('link');
    link.rel = rel;
    link.href = href;
    document.head.append(link);
  }
}

// Registers the service worker (sw.js), which keeps this release's files
// for visits without the network. page.offline says how far it got.
function keepOffline() {
  if (!('serviceWorker' in navigator)) {
    page.offline = 'unsupported';
    return;
  }
  page.offline = 'registering';
  navigator.serviceWorker.register('sw.js')
    .then((registration) => {
      // A new release installed while this page is open.
      registration.addEventListener('updatefound', () => {
        const worker = registration.installing;
        if (!worker) return;
        worker.addEventListener('statechange', () => {
          if (worker.state === 'installed' && navigator.serviceWorker.controller) offerUpdate(worker);
        });
      });
      if (registration.waiting && navigator.serviceWorker.controller) offerUpdate(registration.waiting);
      return navigator.serviceWorker.ready;
    })
    .then(() => { page.offline = 'ready'; })
    .catch((error) => { page.offline = `failed: ${error.message || error}`; });
}

// A new release waiting: when the page is not playing (at once, or when the
// run ends) it asks the new worker to take over and then loads itself again,
// so that it has the new release's files, all of them.
function offerUpdate(worker) {
  page.update = worker;
  if (page.state === 'title' || page.state === 'ended') takeUpdate();
}

function takeUpdate() {
  const worker = page.update;
  if (!worker) return;
  page.update = null;
  navigator.serviceWorker.addEventListener('controllerchange', () => location.reload(), { once: true });
  worker.postMessage('take-over');
}

// --- fullscreen ------------------------------------------------------------

function setUpFullscreen() {
  const button = $('fullscreen');
  if (!document.fullscreenEnabled) {
    document.body.classList.add('no-fullscreen');
    button.hidden = true;
    return;
  }
  button.addEventListener('pointerdown', (event) => event.stopPropagation());
  button.addEventListener('keydown', (event) => event.stopPropagation());
  button.addEventListener('click', (event) => {
    event.stopPropagation();
    if (document.fullscreenElement) document.exitFullscreen();
    else $('stage').requestFullscreen();
    button.blur();
  });
}

// --- check mode ------------------------------------------------------------

// The frames to check: fps, from and to are zep-render's --fps, --from and
// --to, checked by zep-render's own code in the module, in its words (a value
// it refuses, a key given twice, a range past the demo's end). Throws with
// the reason; returns { fps, from, last, note }.
const CHECK_FLAGS = ['check', 'timing'];
const CHECK_VALUES = ['fps', 'from', 'to'];
function checkPlan(zep, params) {
  for (const [key, value] of params) {
    if (CHECK_FLAGS.includes(key)) continue;
    if (!CHECK_VALUES.includes(key))
      throw new Error(`unknown parameter '${key}' (the check mode takes fps, from, to and timing)`);
    zep.ccall('zep_check_arg', null, ['string'], [`--${key}`]);
    zep.ccall('zep_check_arg', null, ['string'], [value]);
  }
  const problem = zep.UTF8ToString(zep._zep_check_plan());
  if (problem) throw new Error(problem);
  return {
    fps: zep._zep_check_fps(),
    from: zep._zep_check_from(),
    last: zep._zep_check_last(),
    note: zep.UTF8ToString(zep._zep_check_note()),
  };
}

async function runCheck(params) {
  const began = performance.now();
  const timing = params.has('timing');

  const zep = await loadDemo();
  const loaded = performance.now();
  const { fps, from, last, note } = checkPlan(zep, params);
  say(note);
  start(zep, fps);
  const lines = [];
  const times = [];
  let scene = -1;
  let n = 0;
  let done = false;
  while (!done) {
    const sliceEnd = performance.now() + 200;
    while (!done && performance.now() < sliceEnd) {
      const t0 = performance.now();
      if (zep._zep_frame() === 0) {
        done = true;
        break;
      }
      const t1 = performance.now();
      n++;
      const s = zep._zep_scene();
      // A scene's first frame also runs its start step: it is left out.
      if (timing && s === scene) (times[s] ??= []).push(t1 - t0);
      scene = s;
      if (n >= from) lines.push(`${String(n).padStart(6, '0')} ${zep.UTF8ToString(zep._zep_hash())}`);
      if (n >= last) done = true;
    }
    present(zep);
    if (!done) await new Promise((resume) => setTimeout(resume, 0));
  }
  const status = zep._zep_status();
  if (status !== 0) throw new Error(zep.errors.join(' ') || `the demo stopped (status ${status})`);
  $('hashes').textContent = lines.length ? `${lines.join('\n')}\n` : '';
  if (timing) {
    const finished = performance.now();
    $('timing').textContent = JSON.stringify({
      frames: n,
      load_ms: loaded - began,
      run_ms: finished - loaded,
      total_ms: finished - began,
      scenes: Array.from(times, (frames, i) => ({ name: zep.UTF8ToString(zep._zep_scene_name(i)), frames: frames ?? [] })),
    });
  }
  document.title = 'zep check done';
}

// --- start -----------------------------------------------------------------

watchScreen();
setUpFullscreen();
const params = new URLSearchParams(location.search);
if (location.protocol === 'file:') {
  // The page itself says that it must be served (index.html): a browser that
  // runs this module from a file still fetches no data from there.
} else if (params.has('check')) {
  setState('checking');
  prompt('');
  runCheck(params).catch((error) => {
    document.title = `zep check failed: ${error.message || error}`;
    setState('failed');
    say(document.title);
  });
} else {
  runPage().catch((error) => {
    setState('failed');
    prompt('');
    say(`zep cannot run here: ${error.message || error}`);
  });
}
