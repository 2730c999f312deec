// The page's server as a hostile visitor meets it: started from a folder
// whose path has a space and letters beyond ASCII, it answers malformed
// addresses with 400 and goes on serving the page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const serverScript = join(dirname(fileURLToPath(import.meta.url)), '../../scripts/web_serve.mjs');

// One GET with the path sent exactly as given.
function get(port, path) {
  return new Promise((done, failed) => {
    request({ host: '127.0.0.1', port, path }, (response) => {
      response.resume();
      response.on('end', () => done(response.statusCode));
    }).on('error', failed).end();
  });
}

test('the server starts from any folder and survives malformed addresses', { timeout: 30000 }, async (t) => {
  const folder = join(mkdtempSync(join(tmpdir(), 'torvelin-serve-')), 'a folder ünïcode 日本');
  t.after(() => rmSync(dirname(folder), { recursive: true, force: true }));
  mkdirSync(join(folder, 'site'), { recursive: true });
  copyFileSync(serverScript, join(folder, 'web_serve.mjs'));
  writeFileSync(join(folder, 'site', 'index.html'), '<!DOCTYPE html><title>t</title>');

  const server = spawn(process.execPath, [join(folder, 'web_serve.mjs'), join(folder, 'site'), '0'], { cwd: folder });
  t.after(() => server.kill());
  const port = await new Promise((done, failed) => {
    let said = '';
    server.stdout.on('data', (chunk) => {
      said += chunk;
      const address = said.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
      if (address) done(Number(address[1]));
    });
    server.on('exit', (code) => failed(new Error(`the server ended at once with status ${code}: ${said}`)));
  });

  for (const [path, status] of [
    ['/', 200],
    ['/%E0%A4%A', 400],
    ['/%zz', 400],
    ['/../../etc/passwd', 400],
    ['/..%2F..%2Fetc%2Fpasswd', 400],
    ['/index.html%00.png', 400],
    [`/${'a'.repeat(5000)}`, 400],
    ['/missing.js', 404],
    ['/index.html', 200],
  ]) {
    assert.equal(await get(port, path), status, `${path.slice(0, 40)} gets ${status}`);
  }
});
