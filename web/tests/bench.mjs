// Figures of the web page (`make bench-web`): the file's size, the time from
// opening it to the first frame after On, one pass plus painting the canvas,
// and the page's own work while the instrument is off.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { PAGE_URL, WEB_BUILD, launch } from './harness.mjs';

const RUNS = 5;
const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const rows = [];
const row = (what, value, aim) => rows.push(`| ${what} | ${value} | ${aim} |`);

const html = readFileSync(join(WEB_BUILD, 'omnira.html'));
row('omnira.html, size', `${(html.length / 1024).toFixed(0)} KB`, '< 200 KB');
row('omnira.html, gzipped', `${(gzipSync(html, { level: 9 }).length / 1024).toFixed(0)} KB`, '< 80 KB');

const browser = await launch();

// Clicks On as soon as the page is ready and notes when the first frame is painted.
function clickOnWhenReady() {
  window.animationFrames = 0;
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => {
    window.animationFrames++;
    return request(callback);
  };
  new MutationObserver(() => {
    if (document.body.dataset.state !== 'off' || window.firstFrameAt) return;
    document.getElementById('on').click();
    window.firstFrameAt = performance.now();
  }).observe(document, { attributes: true, subtree: true, attributeFilter: ['data-state'] });
}

const firstFrame = [];
let page;
for (let i = 0; i < RUNS; i++) {
  const context = await browser.newContext();
  page = await context.newPage();
  await page.addInitScript(clickOnWhenReady);
  await page.goto(PAGE_URL);
  await page.waitForFunction(() => window.firstFrameAt);
  firstFrame.push(await page.evaluate(() => window.firstFrameAt));
  if (i < RUNS - 1) await context.close();
}
row('opening the file to the first frame after On', `${median(firstFrame).toFixed(0)} ms`, '< 500 ms');

// Cruise on the run screen: 5000 rpm, 30.0 inHg, 50 C.
await page.getByRole('slider', { name: 'RPM', exact: true }).fill('30000');
await page.getByRole('slider', { name: 'MAP', exact: true }).fill('1518');
await page.getByRole('slider', { name: 'TEMP', exact: true }).fill('2674');
await page.waitForFunction(() => document.getElementById('lamp').dataset.red === '128');
const [pass, passAndPaint] = await page.evaluate(() => {
  const p = window.omnira;
  const time = (body) => {
    const n = 2000;
    const start = performance.now();
    for (let i = 0; i < n; i++) body();
    return ((performance.now() - start) / n) * 1000;
  };
  return [time(() => p.api.pass()), time(() => { p.api.pass(); p.lcd.paint(p.api.frame()); })];
});
row('one pass (wasm)', `${pass.toFixed(0)} us`, '');
row('one pass plus painting the canvas', `${passAndPaint.toFixed(0)} us`, '< 1 ms');

// The page's own work over a few seconds, on and off.
const cdp = await page.context().newCDPSession(page);
await cdp.send('Performance.enable');
async function work(seconds) {
  const metric = async () => {
    const { metrics } = await cdp.send('Performance.getMetrics');
    return Object.fromEntries(metrics.map((m) => [m.name, m.value]));
  };
  const frames = await page.evaluate(() => window.animationFrames);
  const before = await metric();
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const after = await metric();
  const script = ((after.ScriptDuration - before.ScriptDuration) / seconds) * 100;
  return { script, frames: (await page.evaluate(() => window.animationFrames)) - frames };
}
const on = await work(3);
await page.getByRole('button', { name: 'Off', exact: true }).click();
await page.waitForFunction(() => document.body.dataset.state === 'off');
const off = await work(5);
row('while on: script time, animation frames a second', `${on.script.toFixed(1)} %, ${(on.frames / 3).toFixed(0)}`, '');
row('while off: script time, animation frames a second', `${off.script.toFixed(2)} %, ${off.frames / 5}`, 'no animation loop');
await browser.close();

console.log(`Headless Chromium (${PAGE_URL.split('/').pop()}), medians of ${RUNS} runs where timed:\n`);
console.log('| Figure | Value | Aim |\n|---|---|---|\n' + rows.join('\n'));
