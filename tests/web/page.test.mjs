// Plays the intro's page in the system's Chromium, headless, as a viewer
// would: click, keys held for a tenth of a second, and screenshots kept in
// the build folder. Run by scripts/test_web.sh with
//   TORVELIN_SITE   the page's folder (index.html, intro-web.js, .wasm)
//   TORVELIN_SHOTS  where the screenshots go
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../scripts/web_serve.mjs';

const site = process.env.TORVELIN_SITE;
const shots = process.env.TORVELIN_SHOTS ?? join(tmpdir(), 'torvelin-shots');
const chromium = process.env.TORVELIN_CHROMIUM ?? '/usr/bin/chromium';

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

test('the page plays the intro in Chromium', { timeout: 120000 }, async (t) => {
  assert.ok(site, 'TORVELIN_SITE names the page folder');
  mkdirSync(shots, { recursive: true });
  const server = await serve(site);
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
    server.close();
    rmSync(profile, { recursive: true, force: true });
  });
  const page = await browser.newPage();
  await page.setViewport({ width: 800, height: 640 });
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('response', (response) => {
    if (!response.ok()) problems.push(`${response.status()} ${response.url()}`);
  });

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
