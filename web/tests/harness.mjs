// Shared by the web tests and the benchmark: paths, headless Chromium, the
// native lcdshot, and a PNG reader for its pictures.
import { chromium } from 'playwright-core';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { inflateSync } from 'node:zlib';
import { unfilterRows } from '../png.js';

export const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const WEB_BUILD = process.env.OMNIRA_WEB_BUILD ?? join(ROOT, 'build-web');
export const NATIVE_BUILD = process.env.OMNIRA_BUILD ?? join(ROOT, 'build');
export const PAGE_URL = pathToFileURL(join(WEB_BUILD, 'omnira.html')).href;
export const LCD_WIDTH = 160;
export const LCD_HEIGHT = 120;

// Debian's chromium as root needs --no-sandbox; the rest keeps it offline and quiet.
export async function launch() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--disable-quic'],
  });
}

// Opens the page from disk and waits until the instrument is ready.
export async function openPage(browser, options = {}, hash = '') {
  const context = await browser.newContext({ acceptDownloads: true, ...options });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e));
  page.errors = errors;
  await page.goto(PAGE_URL + hash);
  await page.waitForFunction(() => document.body.dataset.state !== 'loading');
  return page;
}

// The page's clock in the test's hands: time moves only when the test says,
// in steps of the session's own (its tick, a note's least showing time),
// and each step is one turn of the page's loop.
export const takeClock = (page) => page.evaluate(() => {
  window.testNow = performance.now();
  window.omnira.clock = () => window.testNow;
  return window.omnira.s.constants;
});
export async function runUntil(page, shown, stepMs, limitMs = 120000, arg = undefined) {
  for (let ms = 0; ms <= limitMs; ms += stepMs) {
    if (await page.evaluate(shown, arg)) return;
    await page.evaluate((step) => { window.testNow += step; window.omnira.turn(); }, stepMs);
  }
  throw new Error(`not shown within ${limitMs} ms of the page's clock: ${shown}`);
}

// Decodes a PNG of bit depth 8: indexed (the indices) or RGB (0xRRGGBB).
export function decodePng(bytes) {
  let at = 8;
  let width = 0, height = 0, type = 0;
  const idat = [];
  let palette = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const kind = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (kind === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      if (data[8] !== 8) throw new Error('bit depth ' + data[8]);
      type = data[9];
    } else if (kind === 'PLTE') {
      palette = [];
      for (let i = 0; i < length; i += 3) palette.push((data[i] << 16) | (data[i + 1] << 8) | data[i + 2]);
    } else if (kind === 'IDAT') {
      idat.push(data);
    }
    at += length + 12;
  }
  const channels = { 0: 1, 2: 3, 3: 1, 4: 2, 6: 4 }[type];
  const out = Buffer.from(unfilterRows(inflateSync(Buffer.concat(idat)), width, height, channels));
  return { width, height, type, palette, pixels: out };
}

// Runs a script in the native lcdshot and returns the indices of each
// `golden NAME` it wrote, by name.
export function lcdshotGoldens(script, names) {
  const dir = mkdtempSync(join(tmpdir(), 'omnira-web-'));
  const file = join(dir, 'script.txt');
  writeFileSync(file, script);
  execFileSync(join(NATIVE_BUILD, 'lcdshot/lcdshot'), [file, dir], { stdio: 'pipe' });
  const frames = {};
  for (const name of names) frames[name] = decodePng(readFileSync(join(dir, name + '.png'))).pixels;
  return frames;
}

// The canvas as palette indices; -1 where a pixel is no palette colour.
export async function canvasIndices(page) {
  const rgba = await page.evaluate(() => {
    const c = document.querySelector('canvas');
    return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);
  });
  const palette = await paletteOf(page);
  const index = new Map(palette.map((c, i) => [c, i]).reverse());
  const out = [];
  for (let i = 0; i < rgba.length; i += 4) {
    const colour = (rgba[i] << 16) | (rgba[i + 1] << 8) | rgba[i + 2];
    out.push(index.has(colour) ? index.get(colour) : -1);
  }
  return out;
}

let cachedPalette = null;
// The palette as lcdshot's golden PNG carries it (256 entries).
export async function paletteOf() {
  if (!cachedPalette) {
    const dir = mkdtempSync(join(tmpdir(), 'omnira-web-'));
    writeFileSync(join(dir, 's.txt'), 'golden p\n');
    execFileSync(join(NATIVE_BUILD, 'lcdshot/lcdshot'), [join(dir, 's.txt'), dir], { stdio: 'pipe' });
    cachedPalette = decodePng(readFileSync(join(dir, 'p.png'))).palette;
  }
  return cachedPalette;
}
