// A static file server for the web page's folder, on 127.0.0.1 only.
// Usage: node scripts/web_serve.mjs FOLDER [PORT]   (PORT 0: any free port)
// Prints the page's address once it listens.
import { realpathSync } from 'node:fs';
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join, normalize, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
};

// Longer addresses are no file of the page's.
const longestPath = 1024;

// The file an address names under the root, or null when the address is
// malformed: a bad escape, a NUL byte, a step up (..), a backslash, or too long.
function fileFor(root, address) {
  // The path as it came, before anything resolves its steps.
  const raw = address.split(/[?#]/)[0];
  if (!raw.startsWith('/')) return null;
  let path;
  try {
    path = decodeURIComponent(raw);
  } catch {
    return null;
  }
  if (path.length > longestPath || /[\0\\]/.test(path) || path.split('/').includes('..')) return null;
  const file = normalize(join(root, path.endsWith('/') ? path + 'index.html' : path));
  return file === root || file.startsWith(root + sep) ? file : null;
}

// `headers` go with every reply (the page's test sends a security policy).
export function serve(folder, port = 0, headers = {}) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const file = fileFor(root, request.url);
    if (file === null) {
      response.writeHead(400, headers).end('bad address');
      return;
    }
    try {
      const body = await readFile(file);
      response.writeHead(200, { ...headers, 'Content-Type': types[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404, headers).end('not found');
    }
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

// Run as a program, from any folder: the script's own path and the one it
// was started by are compared as paths, not as an address.
function startedAsProgram() {
  try {
    return realpathSync(process.argv[1] ?? '') === realpathSync(fileURLToPath(import.meta.url));
  } catch {
    return false;
  }
}

if (startedAsProgram()) {
  const folder = process.argv[2];
  if (!folder) {
    console.error('usage: node scripts/web_serve.mjs FOLDER [PORT]');
    process.exit(2);
  }
  const server = await serve(folder, Number(process.argv[3] ?? 8000));
  console.log(`TORVELIN plays at http://127.0.0.1:${server.address().port}/ (Ctrl+C stops the server)`);
}
