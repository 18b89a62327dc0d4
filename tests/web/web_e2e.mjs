// The web build in a real headless Chromium (WebGL 2 on SwiftShader, Web Audio), served from a
// local HTTP server as a user would serve build-web/:
//   frames    with the virtual clock, the frames at the reviewed moments against the native
//             reference frames (tests/reference), tile by tile as the native test compares them;
//   playing   with the real clock: the music plays with the picture, Space pauses both, the
//             title shows the frame rate, Escape ends the run with exit code 0;
//   badarchive  a damaged archive: the extractor's reasons on the page, then the run goes on
//             as the native demo does, a dialog per missing file, until it ends; a missing one;
//   desktop   ?desktop: the picture drawn at the size that fills the page; the Close button;
//   gl        the OpenGL layer's own checks (tests/web/gl_layer_test.cpp).
// Usage: node web_e2e.mjs SITE REFERENCES OUTPUT [gl|frames|playing|desktop|badarchive|measure|watch]...
// (measure: only print each moment's differences; watch: the whole run on the real clock, with
// each stretch's frame rate, for the benchmarks). Exit code 0 when every check passed.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [site, references, output, ...wanted] = process.argv.slice(2);
// The OpenGL layer's test program, as the web build leaves it.
const glTests = process.env.MORAVEL_WEB_GL_TEST || path.join(site, 'wasm', 'tests', 'web');
const runs = wanted.length > 0 ? wanted : ['gl', 'frames', 'playing', 'desktop', 'badarchive'];
fs.mkdirSync(output, { recursive: true });

// Tiles of the half-size frame, as the native reference test uses them. The limits were set from
// what SwiftShader and llvmpipe draw differently at every moment (docs/web.md has the numbers);
// the native test's own limits are for llvmpipe against itself and are tighter.
const Tile = 16;
const TileMeanTolerance = 9.0;
const ChannelTolerance = 40;
const TileDifferingShare = 0.05;
// Music and demo clock: the largest difference allowed once the music plays, in ms.
const MusicTolerance = 40;

let failures = 0;
function check(ok, text) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${text}`);
  if (!ok) failures += 1;
}

const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png' };
// The site, the reference frames under /reference/, and a damaged copy of the archive as bad.vfs.
function serve() {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    let file = path.join(site, path.normalize(name));
    if (name.startsWith('/reference/')) file = path.join(references, path.basename(name));
    if (name === '/bad.vfs') file = path.join(output, 'bad.vfs');
    if (name.startsWith('/gltest/')) file = path.join(glTests, path.basename(name));
    if (name === '/gltest/index.html') {
      response.writeHead(200, { 'Content-Type': 'text/html' });
      response.end('<!DOCTYPE html><canvas id="canvas" width="64" height="64"></canvas><script>' +
        'window.lines = []; var Module = { canvas: document.getElementById("canvas"), ' +
        'print: (t) => window.lines.push(t), printErr: (t) => window.lines.push(t), ' +
        'onExit: (code) => { window.exitCode = code; } };</script><script src="moravel-web-gl-test.js"></script>');
      return;
    }
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function launch() {
  try {
    return await puppeteer.launch({
      executablePath: process.env.MORAVEL_CHROMIUM || '/usr/bin/chromium',
      headless: true,
      protocolTimeout: 900000,
      args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
        '--autoplay-policy=no-user-gesture-required', '--disable-background-networking',
        '--disable-component-update', '--no-first-run', '--disable-sync', '--window-size=800,600'],
    });
  } catch (error) {
    console.log(`SKIP the web tests: Chromium cannot start here (${error.message.split('\n')[0]})`);
    process.exit(0);
  }
}

// Opens the page with query, clicks to start as a viewer does, and returns the page.
async function open(browser, base, query, log) {
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 600 });
  page.on('console', (message) => log.push(message.text()));
  page.on('pageerror', (error) => log.push(`page error: ${error.message}`));
  await page.goto(`${base}/index.html${query}`);
  await page.waitForFunction(() => window.moravel && (window.moravel.ready || window.moravel.problem),
    { timeout: 120000 });
  const overlay = await page.$eval('#overlay', (element) => element.textContent);
  check(overlay === 'Click to start', `${query || 'the page'} asks for a click before it starts ("${overlay}")`);
  await page.click('#overlay');
  return page;
}

function waitForExit(page, seconds) {
  return page.waitForFunction(() => window.moravel.exitCode !== null || window.moravel.problem !== null,
    { timeout: seconds * 1000, polling: 250 });
}

function referenceTimes() {
  return fs.readFileSync(path.join(references, 'times.txt'), 'utf8').split('\n')
    .filter((line) => line.trim() !== '' && !line.startsWith('#')).map(Number);
}

// In the page: each shot halved (2 x 2 means, rounded) and compared with its reference by tiles.
function compareInPage(shots, limits) {
  const pixels = (source) => new Promise((resolve, reject) => {
    const image = new Image();
    image.onload = () => {
      const canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      resolve(context.getImageData(0, 0, image.width, image.height));
    };
    image.onerror = () => reject(new Error(`cannot load ${source.slice(0, 40)}`));
    image.src = source;
  });
  return Promise.all(shots.map(async (shot) => {
    const frame = await pixels(shot.png);
    const reference = await pixels(`/reference/frame-${shot.at}.png`);
    const width = reference.width;
    const height = reference.height;
    if (frame.width !== width * 2 || frame.height !== height * 2)
      return { at: shot.at, error: `frame ${frame.width} x ${frame.height}, reference ${width} x ${height}` };
    const half = new Uint8Array(width * height * 3);
    for (let y = 0; y < height; y++)
      for (let x = 0; x < width; x++)
        for (let c = 0; c < 3; c++) {
          let sum = 2;
          for (let dy = 0; dy < 2; dy++)
            for (let dx = 0; dx < 2; dx++) sum += frame.data[((2 * y + dy) * frame.width + 2 * x + dx) * 4 + c];
          half[(y * width + x) * 3 + c] = sum >> 2;
        }
    let worstMean = 0;
    let worstShare = 0;
    let overall = 0;
    for (let ty = 0; ty * limits.tile < height; ty++)
      for (let tx = 0; tx * limits.tile < width; tx++) {
        let sum = 0;
        let count = 0;
        let off = 0;
        for (let y = ty * limits.tile; y < Math.min(height, (ty + 1) * limits.tile); y++)
          for (let x = tx * limits.tile; x < Math.min(width, (tx + 1) * limits.tile); x++) {
            let far = false;
            for (let c = 0; c < 3; c++) {
              const d = Math.abs(half[(y * width + x) * 3 + c] - reference.data[(y * width + x) * 4 + c]);
              sum += d;
              far = far || d > limits.channel;
            }
            count += 1;
            off += far ? 1 : 0;
          }
        overall += sum;
        worstMean = Math.max(worstMean, sum / (count * 3));
        worstShare = Math.max(worstShare, off / count);
      }
    return { at: shot.at, demoMs: shot.demoMs, worstMean, worstShare, mean: overall / (width * height * 3) };
  }));
}

// The moments of the contact sheet (docs/web-sheet.png): one or two per stretch.
const SheetMoments = [450, 6000, 12500, 16600, 19000, 25000, 33200, 44400, 46000, 51000, 56000, 65000, 73000,
  79000, 86000, 100000];

// In the page: each moment's web frame (halved) beside its native reference, labelled, four pairs a row.
async function sheetInPage(shots) {
  const load = (source) => new Promise((resolve) => {
    const image = new Image();
    image.onload = () => resolve(image);
    image.src = source;
  });
  const perRow = 2;
  const canvas = document.createElement('canvas');
  canvas.width = perRow * 650 + 10;
  canvas.height = Math.ceil(shots.length / perRow) * 270 + 10;
  const context = canvas.getContext('2d');
  context.fillStyle = '#202020';
  context.fillRect(0, 0, canvas.width, canvas.height);
  context.font = '13px sans-serif';
  for (let i = 0; i < shots.length; i++) {
    const x = 10 + (i % perRow) * 650;
    const y = 10 + Math.floor(i / perRow) * 270;
    context.drawImage(await load(shots[i].png), x, y + 18, 320, 240);
    context.drawImage(await load(`/reference/frame-${shots[i].at}.png`), x + 320, y + 18, 320, 240);
    context.fillStyle = '#e0e0e0';
    context.fillText(`${shots[i].at} ms: web (Chromium, SwiftShader) | native (llvmpipe)`, x, y + 13);
  }
  return canvas.toDataURL('image/png');
}

async function framesRun(browser, base, measureOnly) {
  const times = referenceTimes();
  const log = [];
  const page = await open(browser, base, `?fps=30&at=${times.join(',')}`, log);
  await waitForExit(page, 600);
  const result = await page.evaluate(() => ({ exitCode: window.moravel.exitCode, shots: window.moravel.shots }));
  check(result.exitCode === 0, `the virtual-clock run ends by itself after its last frame (exit code ${result.exitCode})`);
  check(result.shots.length === times.length, `a frame at each of the ${times.length} moments (${result.shots.length})`);
  for (const shot of result.shots)
    fs.writeFileSync(path.join(output, `web-${shot.at}.png`), Buffer.from(shot.png.split(',')[1], 'base64'));
  const sheet = await page.evaluate(sheetInPage, result.shots.filter((shot) => SheetMoments.includes(shot.at)));
  fs.writeFileSync(path.join(output, 'web-sheet.png'), Buffer.from(sheet.split(',')[1], 'base64'));
  const compared = await page.evaluate(compareInPage, result.shots,
    { tile: Tile, channel: ChannelTolerance });
  const lines = compared.map((c) => c.error ? `${c.at} ${c.error}`
    : `${c.at} demo ${c.demoMs} mean ${c.mean.toFixed(3)} worst tile mean ${c.worstMean.toFixed(2)}` +
      ` share ${c.worstShare.toFixed(3)}`);
  fs.writeFileSync(path.join(output, 'frames.txt'), lines.join('\n') + '\n');
  if (measureOnly) {
    console.log(lines.join('\n'));
    return;
  }
  for (const c of compared) {
    const passes = !c.error && c.worstMean <= TileMeanTolerance && c.worstShare <= TileDifferingShare;
    if (!passes) check(false, `frame at ${c.at} ms differs from its reference: ${lines[compared.indexOf(c)]}`);
  }
  const worst = compared.reduce((a, c) => Math.max(a, c.worstMean || 0), 0);
  check(compared.every((c) => !c.error && c.worstMean <= TileMeanTolerance && c.worstShare <= TileDifferingShare),
    `every web frame matches its native reference (worst tile mean ${worst.toFixed(2)}; ${output}/frames.txt)`);
  await page.close();
}

// Playing on the real clock for a while, then Escape.
async function playingRun(browser, base) {
  const log = [];
  const page = await open(browser, base, '', log);
  // Space pauses: nothing is presented while paused, and both go on from where they stood.
  await page.waitForFunction(() => window.moravel.frames.some((f) => f[1] > 6000), { timeout: 180000, polling: 100 });
  await page.keyboard.press('Space');
  await new Promise((resolve) => setTimeout(resolve, 500));
  const before = await page.evaluate(() => window.moravel.frames.length);
  await new Promise((resolve) => setTimeout(resolve, 1500));
  const after = await page.evaluate(() => window.moravel.frames.length);
  await page.keyboard.press('Space');
  check(after === before, `Space pauses the run: ${after - before} frames shown in 1.5 s of pause`);
  await page.waitForFunction(() => window.moravel.frames.some((f) => f[1] > 14000),
    { timeout: 180000, polling: 250 });
  const title = await page.title();
  check(/^Moravel by .* \[\d+ FPS\]$/.test(title), `the caption with the frame rate is the page's title ("${title}")`);
  // Held as a hand holds it: the demo looks at the key after each frame.
  await page.keyboard.down('Escape');
  await new Promise((resolve) => setTimeout(resolve, 150));
  await page.keyboard.up('Escape');
  await waitForExit(page, 30);
  const state = await page.evaluate(() => ({ exitCode: window.moravel.exitCode, frames: window.moravel.frames,
    overlay: document.getElementById('overlay').textContent }));
  check(state.exitCode === 0, `Escape ends the run with exit code 0 (${state.exitCode}): "${state.overlay}"`);
  // Once the music has played for a second: how far what is heard is from the demo clock in each
  // frame. The frame's DemoTime trails that clock by about one frame, as the production smooths it
  // (DemoTime = (DemoTime + clock) / 2 each frame), so the clock is taken back out of two frames in a
  // row: clock = 2 DemoTime - the previous DemoTime (to a millisecond). Frames after the pause are
  // left out until the clock has settled again.
  const resumedAt = state.frames.findIndex((f, i) => i > 0 && f[0] - state.frames[i - 1][0] > 1000);
  const playing = [];
  for (let i = 1; i < state.frames.length; i++) {
    const [, demo, music] = state.frames[i];
    if (music < 1000 || (resumedAt > 0 && i >= resumedAt && i < resumedAt + 10)) continue;
    playing.push({ clock: 2 * demo - state.frames[i - 1][1], demo, music });
  }
  const gaps = playing.map((f) => Math.abs(f.music - f.clock));
  const largest = Math.max(...gaps);
  const behindPicture = playing.map((f) => f.music - f.demo).sort((a, b) => a - b);
  console.log(`     (heard - DemoTime: median ${behindPicture[behindPicture.length >> 1].toFixed(1)} ms, ` +
    `range ${behindPicture[0].toFixed(1)} to ${behindPicture[behindPicture.length - 1].toFixed(1)} ms)`);
  const advanced = playing.length > 0 ? playing[playing.length - 1].music - playing[0].music : 0;
  fs.writeFileSync(path.join(output, 'playing.csv'),
    'tick_ms,demo_ms,music_ms\n' + state.frames.map((f) => f.join(',')).join('\n') + '\n');
  check(advanced > 10000, `the music plays: its position went on ${advanced.toFixed(0)} ms`);
  check(largest <= MusicTolerance,
    `what is heard stays within ${MusicTolerance} ms of the demo clock in all ${playing.length} frames (largest ${largest.toFixed(1)} ms)`);
  await page.close();
}

// ?desktop: the picture drawn at the size that fills the page (800 x 600 here), black around it;
// the page's Close button then ends the run as the window's close box does.
async function desktopRun(browser, base) {
  const page = await open(browser, base, '?desktop&fps=30', []);
  await page.waitForFunction(() => window.moravel.frames.some((f) => f[1] > 3000), { timeout: 120000, polling: 100 });
  const size = await page.evaluate(() => [document.getElementById('canvas').width, document.getElementById('canvas').height]);
  check(size[0] === 800 && size[1] === 600, `?desktop draws at the page's size: ${size[0]} x ${size[1]}`);
  await page.screenshot({ path: path.join(output, 'desktop-page.png') });
  await page.click('#close');
  await waitForExit(page, 30);
  const exitCode = await page.evaluate(() => window.moravel.exitCode);
  check(exitCode === 0, `the page's Close button ends the run (exit code ${exitCode})`);
  await page.close();
}

// The OpenGL layer's own checks (tests/web/gl_layer_test.cpp), on a canvas of their own.
async function glRun(browser, base) {
  const page = await browser.newPage();
  await page.goto(`${base}/gltest/index.html`);
  await page.waitForFunction(() => window.exitCode !== undefined, { timeout: 60000, polling: 100 });
  const state = await page.evaluate(() => ({ exitCode: window.exitCode, lines: window.lines }));
  for (const line of state.lines) {
    if (line.startsWith('ok') || line.startsWith('FAIL')) check(line.startsWith('ok'), `GL layer: ${line.slice(4).trim()}`);
  }
  check(state.exitCode === 0 && state.lines.length > 1, `the GL layer's checks ran and passed (exit code ${state.exitCode})`);
  await page.close();
}

// A damaged archive: one byte in the middle of it changed.
async function badArchiveRun(browser, base) {
  const archive = fs.readFileSync(path.join(site, 'moravel.vfs'));
  archive[Math.floor(archive.length / 2)] ^= 0x55;
  fs.writeFileSync(path.join(output, 'bad.vfs'), archive);
  const log = [];
  const page = await open(browser, base, '?archive=bad.vfs', log);
  const dialogs = [];
  for (let i = 0; i < 200; i++) {
    const handle = await page.waitForFunction(() => window.moravel.exitCode !== null ||
      document.getElementById('dialog').style.display === 'block', { timeout: 60000, polling: 100 });
    await handle.dispose();
    const open = await page.evaluate(() => document.getElementById('dialog').style.display === 'block');
    if (!open) break;
    dialogs.push(await page.evaluate(() => ({
      caption: document.getElementById('dialog-caption').textContent,
      text: document.getElementById('dialog-text').textContent })));
    await page.click('#dialog-ok');
  }
  const exitCode = await page.evaluate(() => window.moravel.exitCode);
  const first = dialogs[0] || { caption: '', text: '' };
  check(first.caption === 'vfs.dll' && first.text.startsWith("The demo's data could not be unpacked:\nmoravel.vfs is damaged: ") &&
        first.text.endsWith('; nothing was extracted'),
    `the damaged archive's reasons are on the page first: ${JSON.stringify(first)}`);
  check(dialogs.length > 1, `the loaders then say which files are missing (${dialogs.length} dialogs)`);
  check(exitCode !== null, `the run ends after the dialogs (exit code ${exitCode})`);
  fs.writeFileSync(path.join(output, 'bad-archive-dialogs.txt'),
    dialogs.map((d) => `${d.caption}: ${d.text}`).join('\n') + '\n');
  await page.close();

  // No archive at all: the page says so and offers no start.
  const missing = await browser.newPage();
  await missing.goto(`${base}/index.html?archive=missing.vfs`);
  await missing.waitForFunction(() => window.moravel && window.moravel.problem !== null, { timeout: 60000 });
  const problem = await missing.evaluate(() => window.moravel.problem);
  check(problem.startsWith('missing.vfs could not be loaded: 404'), `a missing archive is named on the page: "${problem}"`);
  await missing.close();
}

// The whole run on the real clock, watched to the end, with the frame rate of each stretch.
async function watchRun(browser, base) {
  const log = [];
  const page = await open(browser, base, '', log);
  await waitForExit(page, 600);
  const state = await page.evaluate(() => ({ exitCode: window.moravel.exitCode, frames: window.moravel.frames }));
  check(state.exitCode === 0, `the whole run plays to its end (exit code ${state.exitCode})`);
  fs.writeFileSync(path.join(output, 'watch.csv'),
    'tick_ms,demo_ms,music_ms\n' + state.frames.map((f) => f.join(',')).join('\n') + '\n');
  console.log(`${state.frames.length} frames; per-frame record in ${output}/watch.csv`);
  await page.close();
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await launch();
try {
  for (const run of runs) {
    console.log(`-- ${run}`);
    if (run === 'frames' || run === 'measure') await framesRun(browser, base, run === 'measure');
    else if (run === 'playing') await playingRun(browser, base);
    else if (run === 'badarchive') await badArchiveRun(browser, base);
    else if (run === 'desktop') await desktopRun(browser, base);
    else if (run === 'gl') await glRun(browser, base);
    else if (run === 'watch') await watchRun(browser, base);
    else check(false, `no run called ${run}`);
  }
} finally {
  await browser.close();
  server.close();
}
console.log(failures === 0 ? 'all web checks passed' : `${failures} web check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
