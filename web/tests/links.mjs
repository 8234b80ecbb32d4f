// Links that could freeze the page: a short #s= link that inflates to
// hundreds of megabytes is refused at once, the renderer's memory bounded.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { constants, deflateRawSync } from 'node:zlib';
import { PAGE_URL, launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

// Raw deflate of `mib` MiB of one byte: one fully flushed MiB repeated (each
// copy stands alone after the flush), then an empty final block.
function linkBomb(mib) {
  const one = deflateRawSync(Buffer.alloc(1 << 20, 0x6b), { level: 9, finishFlush: constants.Z_FULL_FLUSH });
  const end = deflateRawSync(Buffer.alloc(0));
  return '#s=' + Buffer.concat([...Array(mib).fill(one), end]).toString('base64url');
}

// The browser's renderer processes by id, from its own account of them.
async function renderers() {
  const cdp = await browser.newBrowserCDPSession();
  const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
  await cdp.detach();
  return processInfo.filter((p) => p.type === 'renderer').map((p) => p.id);
}
const peakBytes = (pid) => Number(/VmHWM:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'))[1]) * 1024;

// When the page was ready (the wasm loaded, the link read from then on) and
// when it first showed an error, on the page's clock.
function timeTheRefusal() {
  new MutationObserver(() => {
    if (!window.readyAt && document.body && document.body.dataset.state !== 'loading')
      window.readyAt = performance.now();
    if (!window.refusedAt && document.getElementById('script-error')?.textContent)
      window.refusedAt = performance.now();
  }).observe(document, { attributes: true, childList: true, subtree: true, characterData: true });
}

test('a link that inflates to 768 MiB is refused within a second of the page being ready, the renderer under 400 MB', async () => {
  const hash = linkBomb(768);
  assert.ok(hash.length < 1_100_000, `the link is ${hash.length} characters`);
  const known = new Set(await renderers());
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.addInitScript(timeTheRefusal);
  await page.goto(PAGE_URL + hash);
  await page.waitForFunction(() => window.refusedAt);
  const [message, waited] = await page.evaluate(() => [document.getElementById('script-error').textContent,
    window.refusedAt - window.readyAt]);
  assert.equal(message, 'The link cannot be read and plays nothing: it inflates to more than 1 MB');
  assert.ok(waited < 1000, `refused ${waited.toFixed(0)} ms after the page was ready`);
  const mine = (await renderers()).filter((pid) => !known.has(pid));
  assert.ok(mine.length > 0, 'the page has a renderer of its own');
  const peak = Math.max(...mine.map(peakBytes));
  assert.ok(peak < 400 * 1048576, `the renderer reached ${(peak / 1048576).toFixed(0)} MB`);
  // The instrument was not held up: it turns on and runs.
  await page.getByRole('button', { name: 'On', exact: true }).click();
  await page.waitForFunction(() => document.body.dataset.state === 'on');
  await context.close();
});

test('a link longer than any 1 MB script compresses to is refused before it is decoded', async () => {
  const page = await openPage(browser, {}, '#s=' + 'A'.repeat(1_400_000));
  await page.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.equal(await page.locator('#script-error').textContent(),
    'The link cannot be read and plays nothing: it is longer than a script of 1 MB compresses to');
  await page.context().close();
});

test('a link of exactly 1 MB inflated is offered; one byte more is refused', async () => {
  const limit = 1048576;
  const line = 'key F1\n';
  const full = '# Full\non\n' + line.repeat(Math.floor((limit - 10) / line.length));
  const padded = full + '#'.repeat(limit - full.length - 1) + '\n';
  assert.equal(padded.length, limit);
  const link = (text) => '#s=' + deflateRawSync(Buffer.from(text)).toString('base64url');
  const page = await openPage(browser, {}, link(padded));
  await page.waitForFunction(() => !document.getElementById('link-offer').hidden);
  assert.match(await page.locator('#link-offer-text').textContent(), /"Full", .* 1048576 bytes/);
  await page.context().close();
  const over = await openPage(browser, {}, link(padded + '\n'));
  await over.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.match(await over.locator('#script-error').textContent(), /it inflates to more than 1 MB$/);
  await over.context().close();
});
