// Plays the intro's page in the system's Chromium, headless, as a viewer
// would: click, keys held for a tenth of a second, and screenshots kept in
// the build folder. Run as the web build's web_page test (ctest -L web) with
//   TORVELIN_SITE   the page's folder (index.html, intro-web.js, .wasm, torvelin.html)
//   TORVELIN_SHOTS  where the screenshots go
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';
import { serve } from '../../scripts/web_serve.mjs';

const site = process.env.TORVELIN_SITE;
const shots = process.env.TORVELIN_SHOTS ?? join(tmpdir(), 'torvelin-shots');
const chromium = process.env.TORVELIN_CHROMIUM ?? '/usr/bin/chromium';
mkdirSync(shots, { recursive: true });

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

async function press(page, key) {
  await page.keyboard.down(key);
  await sleep(100);
  await page.keyboard.up(key);
}

// What the canvas shows now: its pixels summed up in the page.
function look(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('canvas');
    const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    let lit = 0;
    let bottomLit = 0;
    const bottomStart = (canvas.height - 8) * canvas.width * 4;
    let hash = 2166136261;
    const first = data[0] | (data[1] << 8) | (data[2] << 16);
    let uniform = true;
    for (let i = 0; i < data.length; i += 4) {
      const rgb = data[i] | (data[i + 1] << 8) | (data[i + 2] << 16);
      if (rgb !== 0) lit++;
      if (rgb !== 0 && i >= bottomStart) bottomLit++;
      if (rgb !== first) uniform = false;
      hash = Math.imul(hash ^ rgb, 16777619) >>> 0;
    }
    // The 16 x 8 corner where the frame rate's digits go, as lit pixels.
    let corner = '';
    for (let y = 0; y < 8; y++) {
      for (let x = 0; x < 16; x++) corner += data[(y * canvas.width + x) * 4] > 128 ? '#' : '.';
      corner += '\n';
    }
    return { lit: lit / (data.length / 4), bottom: bottomLit / (8 * canvas.width), hash, uniform, corner };
  });
}

// Headless Chromium with a profile of its own, closed when the test ends.
async function launch(t) {
  const profile = mkdtempSync(join(tmpdir(), 'torvelin-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync'],
  });
  t.after(async () => {
    await browser.close();
    rmSync(profile, { recursive: true, force: true });
  });
  return browser;
}

// Where the picture lands on the screen, in device pixels, read from a
// screenshot: its box, the device pixels per picture pixel, and how many
// device pixels differ from the rest of their picture pixel's square (a
// factor that is not whole, or a box between device pixels, makes many).
async function onScreen(page) {
  const png = await page.screenshot({ encoding: 'base64' });
  return page.evaluate(async (png) => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    const [left, top, width] = [box.left, box.top, box.width].map((v) => v * window.devicePixelRatio);
    const shot = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
    const factor = Math.round(width / 256);
    const size = factor * 256;
    const context = new OffscreenCanvas(size, size).getContext('2d');
    context.drawImage(shot, -Math.round(left), -Math.round(top));
    const { data } = context.getImageData(0, 0, size, size);
    const at = (x, y) => data[(y * size + x) * 4] | (data[(y * size + x) * 4 + 1] << 8) | (data[(y * size + x) * 4 + 2] << 16);
    let mixed = 0;
    const colours = new Set();
    for (let y = 0; y < size; y++) {
      for (let x = 0; x < size; x++) {
        const corner = at(x - (x % factor), y - (y % factor));
        if (at(x, y) !== corner) mixed++;
        colours.add(corner);
      }
    }
    return { left, top, width, factor: Math.round(width) / 256, mixed, colours: colours.size };
  }, png);
}

function assertWholeDevicePixels(seen, factor, screen) {
  const whole = (v) => Math.abs(v - Math.round(v)) < 0.01;
  assert.ok([seen.left, seen.top, seen.width].every(whole), `${screen}: on device pixels (${seen.left}, ${seen.top}, ${seen.width} wide)`);
  assert.equal(seen.factor, factor, `${screen}: ${factor} device pixels per picture pixel`);
  assert.ok(seen.colours > 8 && seen.mixed === 0,
            `${screen}: each picture pixel a square of one colour (${seen.mixed} device pixels off, ${seen.colours} colours)`);
}

// Gathers what the page reports as going wrong: console errors, uncaught
// exceptions and, when asked, failed responses.
function collectProblems(page, { responses = false } = {}) {
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  if (responses) {
    page.on('response', (response) => {
      if (!response.ok()) problems.push(`${response.status()} ${response.url()}`);
    });
  }
  return problems;
}

test('the page plays the intro in Chromium', { timeout: 120000 }, async (t) => {
  assert.ok(site, 'TORVELIN_SITE names the page folder');
  const server = await serve(site);
  const browser = await launch(t);
  t.after(() => server.close());
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 640 });
  const problems = collectProblems(page, { responses: true });

  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => document.getElementById('prompt').textContent === 'click or press any key');
  assert.ok(await page.$eval('#overlay', (o) => !o.hidden && o.offsetWidth > 0), 'the start overlay shows');
  await page.screenshot({ path: join(shots, '1-overlay.png') });

  await page.click('#overlay');
  await sleep(1500);
  const firstStamp = await page.evaluate(() => Module._torvelin_stamp());
  const playing = await look(page);
  await sleep(200);
  const later = await look(page);
  await page.screenshot({ path: join(shots, '2-lasers.png') });
  assert.equal(playing.uniform, false, 'the canvas is not one colour');
  assert.notEqual(playing.hash, later.hash, 'the picture changes from frame to frame');
  assert.equal(await page.evaluate(() => SDL.audioContext?.state), 'running', 'the audio context runs');
  assert.equal(await page.evaluate(() => Module._torvelin_has_sound()), 1, 'the sound output is open');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas', 'the canvas has the keys');
  // 50 frames a second whatever the screen's rate (headless Chromium's is 60).
  const counted = await page.evaluate(async () => {
    const first = Module._torvelin_frames();
    const start = performance.now();
    await new Promise((done) => setTimeout(done, 2000));
    return (Module._torvelin_frames() - first) / ((performance.now() - start) / 1000);
  });
  t.diagnostic(`frames a second: ${counted.toFixed(1)}`);
  assert.ok(counted > 38 && counted < 56, `about 50 frames a second (${counted.toFixed(1)})`);

  // Hidden behind another tab, the page gets no animation callbacks: the
  // sound waits with the pictures, and on its return the intro goes on
  // without making up the lost frames in a burst.
  const inStep = () => page.evaluate(() => Module._torvelin_frames() / 50 - SDL.audioContext.currentTime);
  const stepBefore = await inStep();
  await page.evaluate(() => {
    window.firstAfterShown = null;
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) return;
      const frames = Module._torvelin_frames();
      (function watch() {
        if (Module._torvelin_frames() === frames) requestAnimationFrame(watch);
        else window.firstAfterShown = Module._torvelin_frames() - frames;
      })();
    });
  });
  const other = await page.browser().newPage();
  await other.bringToFront();
  assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
  await sleep(2000);
  await page.bringToFront();
  await other.close();
  await sleep(1000);
  const stepAfter = await inStep();
  const burst = await page.evaluate(() => window.firstAfterShown);
  t.diagnostic(`after a hidden tab: pictures ahead of the sound ${stepBefore.toFixed(2)} s -> ${stepAfter.toFixed(2)} s, frames in the first callback ${burst}`);
  // Held frames would leave the pictures 2 s behind; a busy machine drops a few.
  assert.ok(Math.abs(stepAfter - stepBefore) < 0.5, 'sound and pictures stay in step');
  assert.ok(burst <= 2, `no burst of frames on return (${burst})`);

  // The lasers leave black gaps along the bottom rows; the scroller's
  // raster floor lights all of them.
  await press(page, ' ');
  await sleep(500);
  const scroller = await look(page);
  await page.screenshot({ path: join(shots, '3-scroller.png') });
  assert.ok(playing.bottom < 0.9 && scroller.bottom === 1,
            `SPACE brings the scroller's floor (bottom rows lit ${playing.bottom} -> ${scroller.bottom})`);

  await press(page, 'f');
  await sleep(1500);
  const rate = await look(page);
  await page.screenshot({ path: join(shots, '4-frame-rate.png') });
  const digitThree = rate.corner.split('\n').map((row) => row.slice(0, 8));
  assert.ok(rate.corner.split('#').length - 1 >= 20, `F draws digits at the top left:\n${rate.corner}`);
  assert.notDeepEqual(digitThree, rate.corner.split('\n').map((row) => row.slice(8, 16)), 'two different digits');

  await press(page, 'Escape');
  await sleep(2500);
  const faded = await look(page);
  const framesThen = await page.evaluate(() => Module._torvelin_frames());
  await sleep(500);
  const framesNow = await page.evaluate(() => Module._torvelin_frames());
  await page.screenshot({ path: join(shots, '5-ended.png') });
  assert.equal(faded.lit, 0, 'ESC fades the picture to black');
  assert.equal(framesNow, framesThen, 'the loop stopped');
  assert.match(await page.$eval('#prompt', (p) => p.textContent), /play again/);

  // Playing again starts the intro anew, sound and all.
  await page.click('#overlay');
  await sleep(1000);
  const again = await look(page);
  await page.screenshot({ path: join(shots, '6-again.png') });
  assert.equal(again.uniform, false, 'the intro plays again');
  assert.ok((await page.evaluate(() => Module._torvelin_frames())) < framesNow, 'from its start');
  assert.equal(await page.evaluate(() => Module._torvelin_has_sound()), 1, 'with its sound');
  // The first run moved the scroller's sparkles and wave; playing again
  // puts them back: the same picture and state at the same frame.
  assert.notEqual(firstStamp, 0, 'the first run took its stamp');
  assert.equal(await page.evaluate(() => Module._torvelin_stamp()), firstStamp, 'play again replays the first run');
  assert.deepEqual(problems, [], 'the console shows no error');
});

test('the picture is whole device pixels on scaled screens and on a phone with touch controls', { timeout: 120000 }, async (t) => {
  const server = await serve(site);
  t.after(() => server.close());
  const browser = await launch(t);
  const page = await browser.newPage();
  const address = `http://127.0.0.1:${server.address().port}/`;

  // Common scaled desktops; the last one changes the scale alone.
  await page.setViewport({ width: 1536, height: 864, deviceScaleFactor: 1.25 });
  await page.goto(address);
  await page.waitForFunction(() => document.getElementById('prompt').textContent === 'click or press any key');
  await page.click('#overlay');
  for (const [width, height, deviceScaleFactor, factor] of [[1536, 864, 1.25, 4], [1280, 720, 1.5, 4], [1097, 617, 1.75, 4],
                                                          [1440, 900, 2, 7], [1440, 900, 1.25, 4]]) {
    await page.setViewport({ width, height, deviceScaleFactor });
    await sleep(300);
    const screen = `${width} x ${height} at ${deviceScaleFactor}`;
    if (deviceScaleFactor === 1.25 && width === 1536) await page.screenshot({ path: join(shots, '7-desktop-125.png') });
    assertWholeDevicePixels(await onScreen(page), factor, screen);
  }

  // A phone: touch controls in place of the key help.
  const phone = await browser.newPage();
  await phone.setViewport({ width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await phone.goto(address);
  await phone.waitForFunction(() => document.getElementById('prompt').textContent === 'tap to start');
  const controls = await phone.$$eval('#touch button', (buttons) => buttons.map((b) =>
    [b.getAttribute('aria-label'), Math.min(b.offsetWidth, b.offsetHeight)]));
  assert.equal(await phone.$eval('#help', (help) => help.offsetWidth), 0, 'no key help');
  assert.deepEqual(controls.map(([label]) => label), ['slower scroller', 'faster scroller', 'next scene', 'frame rate', 'quit']);
  assert.ok(controls.every(([, side]) => side >= 44), 'each control is at least 44 x 44');
  await phone.tap('#overlay');
  await sleep(1500);
  assert.equal(await phone.evaluate(() => Module._torvelin_has_sound()), 1, 'the first tap starts the sound');
  assertWholeDevicePixels(await onScreen(phone), 4, 'phone');
  const lasers = await look(phone);
  await phone.tap('[aria-label="next scene"]');
  await sleep(500);
  const scroller = await look(phone);
  await phone.screenshot({ path: join(shots, '8-phone-portrait.png') });
  assert.ok(lasers.bottom < 0.9 && scroller.bottom === 1,
            `next scene brings the scroller's floor (bottom rows lit ${lasers.bottom} -> ${scroller.bottom})`);
  await phone.setViewport({ width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await sleep(300);
  assert.equal(await phone.$eval('#page', (p) => p.className), 'beside', 'in landscape the controls go beside the picture');
  assertWholeDevicePixels(await onScreen(phone), 4, 'phone in landscape');
  await phone.screenshot({ path: join(shots, '9-phone-landscape.png') });
});

test('from the disk: torvelin.html alone plays, index.html says what to do', { timeout: 60000 }, async (t) => {
  const folder = mkdtempSync(join(tmpdir(), 'torvelin-one-file-'));
  t.after(() => rmSync(folder, { recursive: true, force: true }));
  copyFileSync(join(site, 'torvelin.html'), join(folder, 'torvelin.html'));
  const browser = await launch(t);
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 640 });

  await page.goto(pathToFileURL(join(folder, 'torvelin.html')).href);
  await page.waitForFunction(() => document.getElementById('prompt').textContent === 'click or press any key');
  assert.equal(await page.$eval('#blocked', (line) => line.offsetHeight), 0, 'no policy blocks it: its line is hidden');
  await page.click('#overlay');
  await sleep(1500);
  const lasers = await look(page);
  assert.equal(lasers.uniform, false, 'the intro plays');
  assert.equal(await page.evaluate(() => Module._torvelin_has_sound() && SDL.audioContext.state), 'running', 'with its sound');
  await press(page, ' ');
  await sleep(500);
  assert.equal((await look(page)).bottom, 1, 'SPACE brings the scroller');

  const opened = Date.now();
  await page.goto(pathToFileURL(join(site, 'index.html')).href);
  await page.waitForFunction(() => document.getElementById('prompt').className === 'failed', { timeout: 5000 });
  t.diagnostic(`index.html from the disk says what to do after ${Date.now() - opened} ms`);
  assert.match(await page.$eval('#prompt', (p) => p.textContent), /open torvelin\.html.*bash scripts\/web\.sh/);
});

// Some hosts send a strict security policy: the folder's page plays under
// it, the one-file page, which cannot avoid inline code, says so, and
// where the policy refuses WebAssembly the page says what it needs.
test('under a strict security policy the page plays, or says what the policy blocks', { timeout: 120000 }, async (t) => {
  const strict = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";
  const browser = await launch(t);
  for (const [file, policy, expected] of [['', strict, 'plays'], ['torvelin.html', strict, /security policy blocks torvelin\.html.*serve the folder/],
                                          ['', "default-src 'self'", /security policy blocks the intro: it needs .*'wasm-unsafe-eval'/]]) {
    const server = await serve(site, 0, { 'Content-Security-Policy': policy });
    t.after(() => server.close());
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 640 });
    const problems = collectProblems(page);
    await page.goto(`http://127.0.0.1:${server.address().port}/${file}`);
    const name = `${file || 'index.html'} under ${policy}`;
    if (expected === 'plays') {
      await page.waitForFunction(() => document.getElementById('prompt').textContent === 'click or press any key');
      await page.click('#overlay');
      await sleep(1500);
      assert.equal((await look(page)).uniform, false, `${name} plays`);
      assert.deepEqual(problems, [], 'the policy blocks nothing');
      await page.screenshot({ path: join(shots, '10-policy-plays.png') });
      continue;
    }
    // The one visible line that says why: the one-file page's own, or the prompt.
    await sleep(1500);
    const lines = await page.$$eval('#blocked, #prompt', (all) =>
      all.filter((p) => p.offsetHeight > 0 && p.offsetHeight < 40).map((p) => p.textContent));
    assert.equal(lines.filter((line) => expected.test(line)).length, 1, `${name}: ${JSON.stringify(lines)}`);
    await page.screenshot({ path: join(shots, `10-policy-blocks-${file ? 'one-file' : 'wasm'}.png`) });
  }
});

// In a small window the key help gives way before the picture is cut.
test('in a window of at least 256 x 256 the whole picture shows', { timeout: 60000 }, async (t) => {
  const server = await serve(site);
  t.after(() => server.close());
  const browser = await launch(t);
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 640 });
  await page.goto(`http://127.0.0.1:${server.address().port}/`);
  await page.waitForFunction(() => document.getElementById('prompt').textContent === 'click or press any key');
  await page.click('#overlay');
  for (const [width, height] of [[300, 300], [256, 256], [300, 600], [600, 280]]) {
    await page.setViewport({ width, height });
    await sleep(300);
    const screen = `${width} x ${height}`;
    await page.screenshot({ path: join(shots, `11-small-${width}x${height}.png`) });
    const seen = await onScreen(page);
    assert.ok(seen.left >= 0 && seen.top >= 0 && seen.left + seen.width <= width && seen.top + seen.width <= height,
              `${screen}: the whole picture is in the window (${seen.left}, ${seen.top}, ${seen.width} wide)`);
    assertWholeDevicePixels(seen, 1, screen);
    const overlap = await page.evaluate(() => {
      const picture = document.getElementById('canvas').getBoundingClientRect();
      const help = document.getElementById('help').getBoundingClientRect();
      return help.width > 0 && help.left < picture.right && picture.left < help.right &&
        help.top < picture.bottom && picture.top < help.bottom;
    });
    assert.equal(overlap, false, `${screen}: the key help is clear of the picture`);
  }
});
