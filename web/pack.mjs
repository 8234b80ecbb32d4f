// Writes the page's packed data as a script: the wasm gzipped, and the
// scenario and lesson libraries (scripts, course lists, the goldens as the
// 160 x 120 frames of palette indices they hold) as one gzipped run of bytes
// with an index of [kind, name, length] rows, each in base64; the instrument
// profiles with them.
// node pack.mjs OUT WASM SCENARIOS LESSONS PROFILES
import { readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync, inflateSync } from 'node:zlib';
import { unfilterRows } from './png.js';

const [out, wasm, scenarios, lessons, profiles] = process.argv.slice(2);

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
  const golden = indices(readFileSync(join(scenarios, 'goldens', file)));
  add('goldens', `goldens/${file}`, golden.bytes);
}

const packed = (bytes) => gzipSync(bytes, { level: 9 }).toString('base64');
writeFileSync(out, `const OMNIRA_WASM_GZIP = '${packed(readFileSync(wasm))}';\n` +
  `const OMNIRA_LIBRARY_GZIP = '${packed(Buffer.concat(parts))}';\n` +
  `const OMNIRA_LIBRARY_INDEX = ${JSON.stringify(index)};\n`);
