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
const MUSIC_LEAD = 0.05;  // seconds between asking the music to start and its first sample

const $ = (id) => document.getElementById(id);
const canvas = $('picture');
const painter = canvas.getContext('2d', { alpha: false });

// What the tests and the benchmark read.
const page = {
  state: 'loading',
  frames: 0,
  sound: false,
  audioClock: () => 0,
  sceneClock: () => 0,
  musicPlaying: () => false,
  log: [],  // per frame while running: [audio clock before the frame, scene clock of the frame]
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

async function fetchGzip(url) {
  if (typeof DecompressionStream === 'undefined')
    throw new Error('this browser cannot unpack the data (no DecompressionStream)');
  const response = await fetchBytes(url);
  const stream = response.body.pipeThrough(new DecompressionStream('gzip'));
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

async function loadDemo() {
  const errors = [];
  const [zep, pack] = await Promise.all([
    createZepModule({
      print: (line) => console.log(line),
      printErr: (line) => { errors.push(line); console.error(line); },
      zepClock: () => 0,
      zepPlayMusic: () => {},
    }),
    fetchGzip('data.tar.gz'),
  ]);
  zep.FS.mkdir(DATA_DIR);
  for (const file of untar(pack)) zep.FS.writeFile(`${DATA_DIR}/${file.name}`, file.data);
  zep.errors = errors;
  return zep;
}

// Starts a run; throws with the demo's own message when it cannot start.
function start(zep, fps) {
  zep.errors.length = 0;
  if (zep.ccall('zep_start', 'number', ['string', 'number'], [DATA_DIR, fps]) !== 0)
    throw new Error(zep.errors.join(' ') || 'the demo could not start');
}

function present(zep) {
  const pixels = new Uint8ClampedArray(zep.HEAPU8.buffer, zep._zep_rgba(), WIDTH * HEIGHT * 4);
  painter.putImageData(new ImageData(pixels, WIDTH, HEIGHT), 0, 0);
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
function audioTime(audioContext) {
  const stamp = audioContext.getOutputTimestamp ? audioContext.getOutputTimestamp() : null;
  if (stamp && stamp.performanceTime > 0 && stamp.contextTime > 0)
    return stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
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
    nextDue: 0,       // the animation-frame time the next frame is due
    musicStart: 0,    // where the music starts, on run.clock
    clock: () => 0,
  };
  page.musicPlaying = () => run.source !== null;
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
  run.running = false;
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
}

// One animation frame: at most one demo frame every FRAME_MS.
function frameStep(run, now) {
  if (!run.running) return;
  const next = (time) => frameStep(run, time);
  if (now < run.nextDue - 2) {
    requestAnimationFrame(next);
    return;
  }
  run.nextDue = Math.max(run.nextDue + FRAME_MS, now);
  const before = page.audioClock();
  if (run.zep._zep_frame() === 0) {
    finishRun(run);
    return;
  }
  present(run.zep);
  page.frames++;
  if (page.log.length < 100000) page.log.push([before, run.zep._zep_clock()]);
  requestAnimationFrame(next);
}

// The clock the demo runs on: the audio context's with the music playing,
// else the page's own, started when the demo asks for the music.
function chooseClock(run) {
  const { zep, audio } = run;
  if (page.sound) {
    const ctx = audio.context;
    run.clock = () => audioTime(ctx) - run.musicStart;
    zep.zepPlayMusic = () => {
      run.source = ctx.createBufferSource();
      run.source.buffer = audio.buffer;
      run.source.connect(ctx.destination);
      run.musicStart = ctx.currentTime + MUSIC_LEAD;
      run.source.start(run.musicStart);
    };
    say('');
  } else {
    run.clock = () => performance.now() / 1000 - run.musicStart;
    zep.zepPlayMusic = () => { run.musicStart = performance.now() / 1000; };
    say(`No sound: ${audio.reason}; the demo runs silently on the page's clock.`);
  }
  zep.zepClock = () => run.clock();
  page.audioClock = () => run.clock();
  page.sceneClock = () => zep._zep_clock();
}

async function beginRun(run, resumed) {
  setState('starting');
  prompt('');
  page.sound = await soundRuns(run.audio, run.audioReady, resumed);
  chooseClock(run);
  page.frames = 0;
  page.log = [];
  try {
    start(run.zep, 0);
  } catch (error) {
    stopMusic(run);
    setState('failed');
    say(error.message);
    return;
  }
  run.running = true;
  setState('running');
  run.nextDue = 0;
  requestAnimationFrame((time) => frameStep(run, time));
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
  const music = fetchBytes('music.m4a');
  music.catch(() => {});
  const zep = await loadDemo();
  const { audio, ready: audioReady } = prepareAudio(music);
  showTitle(zep);
  listenForInput(makeRun(zep, audio, audioReady));
  setState('title');
  prompt('click or press a key to start');
}

// --- fullscreen ------------------------------------------------------------

function setUpFullscreen() {
  const button = $('fullscreen');
  if (!document.fullscreenEnabled) {
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
