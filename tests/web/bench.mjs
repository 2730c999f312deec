// Runs web-bench in the system's Chromium, headless, and prints what it
// printed: node tests/web/bench.mjs BUILD_WEB_FOLDER
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import puppeteer from 'puppeteer-core';
import { serve } from '../../scripts/web_serve.mjs';

const folder = resolve(process.argv[2] ?? 'build-web');
const server = await serve(folder);
const profile = mkdtempSync(join(tmpdir(), 'torvelin-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.TORVELIN_CHROMIUM ?? '/usr/bin/chromium',
  headless: true,
  userDataDir: profile,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
         '--disable-component-update', '--disable-sync'],
});
try {
  const page = await browser.newPage();
  const lines = [];
  page.on('console', (message) => lines.push(message.text()));
  await page.goto(`http://127.0.0.1:${server.address().port}/web-bench.html`);
  await page.waitForFunction((count) => count, { timeout: 120000, polling: 200 }, true);
  const started = Date.now();
  while (!lines.some((line) => line.startsWith('noise')) && Date.now() - started < 120000) {
    await new Promise((done) => setTimeout(done, 200));
  }
  console.log(lines.join('\n'));
} finally {
  await browser.close();
  server.close();
  rmSync(profile, { recursive: true, force: true });
}
