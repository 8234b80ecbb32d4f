// Writes the page as one file. Its one inline script (boot.js, bundled by
// esbuild) carries the page's script (its modules bundled by esbuild), the
// wasm, and the scenario and lesson libraries with the instrument profiles
// (scripts, course lists, the goldens as the 160 x 120 frames of palette
// indices they hold) as one run of bytes, deflated once by zopfli and written
// in base 85, with an index of the libraries' [kind, name, length] rows. The
// template gets the minified style, the bezel, the script and the page's
// Content-Security-Policy, which allows those scripts and the style by their
// SHA-256 hashes and nothing else.
// node pack.mjs OUT TEMPLATE STYLE BEZEL PAGE_JS BOOT_JS WASM SCENARIOS LESSONS PROFILES
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { inflateSync } from 'node:zlib';
import { unfilterRows } from './png.js';
import { BASE85_DIGITS } from './base85.js';

const [out, template, style, bezel, pageJs, bootJs, wasm, scenarios, lessons, profiles] =
  process.argv.slice(2);

// An 8-bit indexed PNG's palette indices.
function indices(png) {
  const idat = [];
  let width = 0, height = 0;
  for (let at = 8; at + 12 <= png.length; at += png.readUInt32BE(at) + 12) {
    const kind = png.toString('latin1', at + 4, at + 8);
    const data = png.subarray(at + 8, at + 8 + png.readUInt32BE(at));
    if (kind === 'IHDR') {
      [width, height] = [data.readUInt32BE(0), data.readUInt32BE(4)];
      if (data[8] !== 8 || data[9] !== 3) throw new Error('not an 8-bit indexed PNG');
    } else if (kind === 'IDAT') {
      idat.push(data);
    }
  }
  return { width, height, bytes: unfilterRows(inflateSync(Buffer.concat(idat)), width, height, 1) };
}

// The libraries, one run of bytes and its index.
const index = [];
const parts = [];
const add = (kind, name, bytes) => { index.push([kind, name, bytes.length]); parts.push(bytes); };
const sorted = (folder, end) => readdirSync(folder).filter((f) => f.endsWith(end)).sort();
for (const [kind, folder] of [['scenarios', scenarios], ['lessons', lessons]]) {
  for (const file of sorted(folder, '.txt')) add(kind, file, readFileSync(join(folder, file)));
  add(kind, 'course.list', readFileSync(join(folder, 'course.list')));
}
for (const file of sorted(profiles, '.txt')) add('profiles', file, readFileSync(join(profiles, file)));
for (const file of sorted(join(scenarios, 'goldens'), '.png')) {
  add('goldens', `goldens/${file}`, indices(readFileSync(join(scenarios, 'goldens', file))).bytes);
}

// The page's script, the wasm and the libraries, deflated together by zopfli
// (a few per cent smaller than zlib's best, read by any inflater).
const page = readFileSync(pageJs, 'utf8').trim();
const packedParts = [['page', Buffer.from(page)], ['wasm', readFileSync(wasm)],
  ['library', Buffer.concat(parts)]];
const scratch = mkdtempSync(join(tmpdir(), 'omnira-pack-'));
let deflated;
try {
  const raw = join(scratch, 'parts');
  writeFileSync(raw, Buffer.concat(packedParts.map(([, bytes]) => bytes)));
  try {
    deflated = execFileSync(process.env.OMNIRA_ZOPFLI ?? 'zopfli', ['--deflate', '-c', raw], { maxBuffer: 1 << 26 });
  } catch (e) {
    throw new Error(`zopfli failed (bash tools/install-deps.sh web installs it): ${e.message}`);
  }
} finally {
  rmSync(scratch, { recursive: true, force: true });
}

// Base 85: each four bytes (the last padded with zeros) five digits, the
// most significant first.
function base85(bytes) {
  const padded = Buffer.alloc(Math.ceil(bytes.length / 4) * 4);
  bytes.copy(padded);
  let text = '';
  const digits = new Array(5);
  for (let at = 0; at < padded.length; at += 4) {
    let n = padded.readUInt32BE(at);
    for (let i = 4; i >= 0; i--) { digits[i] = BASE85_DIGITS[n % 85]; n = Math.floor(n / 85); }
    text += digits.join('');
  }
  return text;
}

const boot = `const OMNIRA_PACKED='${base85(deflated)}';\n` +
  `const OMNIRA_PACKED_LENGTH=${deflated.length};\n` +
  `const OMNIRA_PARTS=${JSON.stringify(packedParts.map(([name, bytes]) => [name, bytes.length]))};\n` +
  `const OMNIRA_LIBRARY_INDEX=${JSON.stringify(index)};\n` +
  // Nothing inside the script element may close it early.
  readFileSync(bootJs, 'utf8').trim().replaceAll('</script', '<\\/script');
const css = readFileSync(style, 'utf8').trim();
const svg = readFileSync(bezel, 'utf8')
  .replace(/<\?xml[^>]*>/, '')
  .replace(/<!--[^>]*-->/g, '')
  .replace(/>\s+</g, '><')
  .trim()
  .replace('<svg ', '<svg aria-hidden="true" ');

const hash = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
// The template's indentation goes (it holds no preformatted text); the
// elements' text is whitespace as before.
let html = readFileSync(template, 'utf8').replace(/\n[ \t]+/g, '\n');
const csp = `default-src 'none'; script-src ${hash(boot)} ${hash(page)} 'wasm-unsafe-eval'; ` +
  `style-src ${hash(css)}; img-src data: blob:`;
const put = (mark, text) => {
  if (!html.includes(mark)) throw new Error(`${template} has no ${mark}`);
  html = html.replace(mark, () => text);
};
put('<!--CSP-->', `<meta http-equiv="Content-Security-Policy" content="${csp}">`);
put('/*STYLE*/', css);
put('<!--BEZEL-->', svg);
put('/*BOOT*/', boot);
writeFileSync(out, html);
