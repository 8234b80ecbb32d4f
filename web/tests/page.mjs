// The page in headless Chromium, opened from disk and driven by the names a
// screen reader gives its controls. Every wait is on something the page shows.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { join } from 'node:path';
import { PAGE_URL, WEB_BUILD, canvasIndices, decodePng, launch, lcdshotGoldens, openPage, paletteOf } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const slider = (page, name) => page.getByRole('slider', { name, exact: true });
const state = (page, s) => page.waitForFunction((s) => document.body.dataset.state === s, s);
const lampIs = (page, red) => page.waitForFunction((r) => document.getElementById('lamp').dataset.red === r, String(red));
const frameOf = (page) => page.evaluate(() => document.getElementById('lcd').toDataURL());
const frameChanged = (page, from) =>
  page.waitForFunction((f) => document.getElementById('lcd').toDataURL() !== f, from);

async function downloaded(page, name) {
  const [download] = await Promise.all([page.waitForEvent('download'), button(page, name).click()]);
  return readFileSync(await download.path());
}

const session = async (page) => (await downloaded(page, 'Save session')).toString('utf8');

// lcdshot's last frame for a script.
const lcdshotFrame = (script) => Array.from(lcdshotGoldens(script + '\ngolden web_final\n', ['web_final']).web_final);

const scriptLink = (text) => '#script=' + encodeURIComponent(text);

test('a live session: the panel, the lamp, and a recording lcdshot replays to the same frame', async () => {
  const page = await openPage(browser);
  assert.equal(await page.title(), 'Qirel QX-40 Simulator');
  await slider(page, 'MAP').fill('1518');
  await slider(page, 'RPM').fill('30000');
  await slider(page, 'TEMP').fill('2674');
  assert.equal(await page.locator('#rpm-value').textContent(), '30000');
  const blank = await frameOf(page);
  await button(page, 'On').click();
  await state(page, 'on');
  await frameChanged(page, blank);
  await lampIs(page, 128); // the low-MAP alarm of the first passes has cleared
  let frame = await frameOf(page);
  await button(page, 'F1').click(); // START FLIGHT?
  await frameChanged(page, frame);
  frame = await frameOf(page);
  await button(page, 'F2').click(); // YES
  await frameChanged(page, frame);
  await slider(page, 'MAP').fill('2400');
  await lampIs(page, 255);
  await slider(page, 'MAP').fill('1518');
  await lampIs(page, 128);
  await page.getByRole('checkbox', { name: 'EXIO' }).check();
  await button(page, 'On').click(); // "&On" while on: powered on afresh, still running
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'on');
  frame = await frameOf(page);
  await button(page, 'Push knob').click();
  await frameChanged(page, frame);
  await button(page, 'Off').click();
  await state(page, 'off');

  const script = await session(page);
  assert.match(script, /^# Omnira session: /);
  const inputs = script.split('\n').filter((l) => l && !/^(#|pass|tick)/.test(l));
  assert.deepEqual(inputs, ['map 1518', 'rpm 30000', 'temp 2674', 'on', 'key F1', 'key F2', 'map 2400',
    'map 1518', 'exio on', 'on', 'key PUSH', 'off']);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(script));
  assert.deepEqual(page.errors, []);
});

test('the same inputs as an lcdshot script show lcdshot\'s frame, and Save LCD image writes it', async () => {
  const page = await openPage(browser);
  await slider(page, 'RPM').fill('30000');
  await slider(page, 'MAP').fill('1518');
  await slider(page, 'TEMP').fill('2674');
  await button(page, 'On').click();
  await lampIs(page, 128); // the first passes' low-MAP alarm is over: PUSH opens the menu
  let frame = await frameOf(page);
  await button(page, 'Push knob').click();
  await frameChanged(page, frame);
  frame = await frameOf(page);
  await button(page, 'Turn knob down').click();
  await frameChanged(page, frame);
  frame = await frameOf(page);
  await button(page, 'Turn knob down').click();
  await frameChanged(page, frame);
  await button(page, 'Off').click();
  await state(page, 'off');
  const expected = lcdshotFrame('rpm 30000\nmap 1518\ntemp 2674\non\npass 20\nkey PUSH\npass 5\nkey MINUS\npass 5\nkey MINUS\npass 5');
  assert.deepEqual(await canvasIndices(page), expected);

  const png = decodePng(await downloaded(page, 'Save LCD image'));
  assert.equal(png.type, 3);
  assert.deepEqual([png.width, png.height], [160, 120]);
  assert.deepEqual(png.palette, await paletteOf());
  assert.deepEqual(Array.from(png.pixels), expected);
});

test('keys, wheel and wheel click: the window\'s bindings, leaving repeats, combinations and a slider\'s arrows alone', async () => {
  const page = await openPage(browser);
  await page.keyboard.press('F1');
  await page.keyboard.press('Enter');
  await page.keyboard.press('NumpadAdd');
  await page.keyboard.press('Control+ArrowDown');
  await page.keyboard.down('ArrowDown');
  await page.keyboard.down('ArrowDown'); // auto-repeat
  await page.keyboard.up('ArrowDown');
  await page.keyboard.press('KeyX');
  assert.equal(await page.getByRole('checkbox', { name: 'EXIO' }).isChecked(), true);
  await slider(page, 'TEMP').focus();
  await page.keyboard.press('ArrowUp'); // the slider's own
  await page.keyboard.press('+'); // one slider step
  await page.keyboard.press('Minus');
  assert.equal(await page.locator('#temp-value').textContent(), '1');
  await page.getByRole('heading').click(); // the focus leaves the slider
  await page.keyboard.press('KeyI');
  await state(page, 'on');
  await page.keyboard.press('KeyO');
  await state(page, 'off');
  await page.mouse.move(120, 300); // over the bezel
  await page.mouse.wheel(0, -100);
  await page.mouse.wheel(0, 60);
  await page.mouse.wheel(0, 60); // two half notches: one step
  await page.mouse.click(120, 300, { button: 'middle' });
  const lines = (await session(page)).split('\n').filter((l) => /^(key|temp|exio|on|off)/.test(l));
  assert.deepEqual(lines, ['key F1', 'key PUSH', 'key PLUS', 'key MINUS', 'exio on', 'temp 1', 'temp 2',
    'temp 1', 'on', 'off', 'key PLUS', 'key MINUS', 'key PUSH']);
});

test('F1 is kept from the browser; other keys keep their default', async () => {
  const page = await openPage(browser);
  await page.evaluate(() => {
    window.prevented = [];
    window.addEventListener('keydown', (e) => window.prevented.push(`${e.code}:${e.defaultPrevented}`));
  });
  await page.keyboard.press('F1');
  await page.keyboard.press('KeyA');
  await page.keyboard.press('Control+F2');
  assert.deepEqual(await page.evaluate(() => window.prevented),
    ['F1:true', 'KeyA:false', 'ControlLeft:false', 'F2:false']);
});

test('a #script= link plays to lcdshot\'s frame, then the user carries on', async () => {
  const script = 'rpm 30000\nmap 1518\ntemp 2674\non\npass 3\ntick 3\npass\nkey PUSH\npass 2\nshot menu\noff';
  const page = await openPage(browser, {}, scriptLink(script));
  await state(page, 'off');
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(script));
  assert.equal(await page.locator('#rpm-value').textContent(), '30000');
  assert.match(await page.locator('#log').textContent(), /menu/);
  await button(page, 'On').click();
  await lampIs(page, 128);
  await button(page, 'Off').click();
  await state(page, 'off');
  const recorded = await session(page);
  const inputs = recorded.split('\n').filter((l) => l && !/^(#|pass|tick)/.test(l));
  assert.deepEqual(inputs, ['rpm 30000', 'map 1518', 'temp 2674', 'on', 'key PUSH', 'off', 'on', 'off']);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(recorded));
});

test('a playing script shows its notes as text, and an input takes over from it', async () => {
  const script = 'rpm 30000\nmap 1518\ntemp 2674\non\npass 3\nnote <b>cruise</b>\ntick 600\noff\n';
  const page = await openPage(browser, {}, scriptLink(script));
  await page.waitForFunction(() => document.getElementById('status').textContent.endsWith(': <b>cruise</b>'));
  assert.equal(await page.locator('#status b').count(), 0);
  let frame = await frameOf(page);
  await button(page, 'Push knob').click(); // the user takes over, the instrument on
  await state(page, 'on');
  await frameChanged(page, frame);
  await button(page, 'Off').click();
  await state(page, 'off');
  const recorded = await session(page);
  assert.doesNotMatch(recorded, /tick 600/);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(recorded));
});

test('a script from a file plays to lcdshot\'s frame', async () => {
  const script = 'map 2400\nrpm 30000\ntemp 2674\non\npass 9\ntick 2\nkey F1\npass 4\noff\n';
  const page = await openPage(browser);
  await page.getByLabel('Play script').setInputFiles({ name: 's.txt', mimeType: 'text/plain', buffer: Buffer.from(script) });
  await page.waitForFunction(() => document.body.dataset.state === 'playing');
  await state(page, 'off');
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(script));
  assert.equal(await page.locator('#lamp').getAttribute('data-red'), '128'); // F1 acknowledged the alarm
});

// Real time on a fake clock: a scenario of minutes plays in moments.
test('a scenario of the library plays, its goldens checked, to lcdshot\'s frame', async () => {
  const context = await browser.newContext({ acceptDownloads: true });
  const page = await context.newPage();
  await page.clock.install();
  await page.goto(PAGE_URL);
  await page.clock.runFor(1000);
  await page.waitForFunction(() => document.body.dataset.state !== 'loading');
  const scenarios = page.getByLabel('Scenario');
  assert.equal(await scenarios.locator('option').count(), 7);
  await scenarios.selectOption({ label: 'Run-up and magneto check' });
  await button(page, 'Play scenario').click();
  await page.clock.runFor(500);
  assert.match(await page.locator('#status').textContent(), /Warm engine at idle/);
  await page.clock.runFor(62000);
  assert.equal(await page.locator('#script-error').textContent(), '');
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'on'); // live after the end
  // The installed clock still flows: stop it, so that the frame and the
  // session are read at the same pass.
  await page.clock.pauseAt(await page.evaluate(() => Date.now() + 100));
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(await session(page)));
  await context.close();
});

test('a broken script shows its line and message as text and runs nothing', async () => {
  const page = await openPage(browser, {}, scriptLink('on\npass 2\nkey <img src=x onerror=alert(1)>\n'));
  const error = page.getByRole('alert');
  await page.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.match(await error.textContent(), /^line 3: .*<img/);
  assert.equal(await page.locator('#script-error img').count(), 0);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  await button(page, 'On').click(); // still usable
  await state(page, 'on');
});

test('a script whose expectation fails plays nothing', async () => {
  const page = await openPage(browser, {}, scriptLink('on\npass 2\nexpect screen main_menu\npass 5\n'));
  await page.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.match(await page.getByRole('alert').textContent(), /^line 3: .*main_menu/);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  const lines = (await session(page)).split('\n').filter((l) => l && !/^(#|tick)/.test(l));
  assert.deepEqual(lines, []);
});

for (const ratio of [1.5, 2]) {
  test(`at device pixel ratio ${ratio} the LCD shows only palette colours`, async () => {
    const page = await openPage(browser, { deviceScaleFactor: ratio },
      scriptLink('rpm 30000\nmap 2400\ntemp 2674\non\npass 12\noff'));
    await state(page, 'off');
    const shot = decodePng(await page.getByRole('img', { name: 'LCD' }).screenshot());
    const palette = new Set(await paletteOf());
    const box = await page.getByRole('img', { name: 'LCD' }).boundingBox();
    assert.equal(shot.width, Math.round(box.width * ratio));
    const channels = shot.type === 6 ? 4 : 3;
    let stray = 0;
    for (let i = 0; i < shot.pixels.length; i += channels) {
      const p = shot.pixels;
      if (!palette.has((p[i] << 16) | (p[i + 1] << 8) | p[i + 2])) stray++;
    }
    assert.equal(stray, 0);
  });
}

test('from a static web server the page asks for nothing but itself', async () => {
  const asked = [];
  const server = createServer((request, response) => {
    asked.push(request.url);
    if (request.url !== '/omnira.html') return response.writeHead(404).end();
    response.writeHead(200, { 'Content-Type': 'text/html' }).end(readFileSync(join(WEB_BUILD, 'omnira.html')));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  try {
    const page = await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/omnira.html`);
    await button(page, 'On').click();
    await state(page, 'on');
    await page.close();
    assert.deepEqual(asked, ['/omnira.html']);
  } finally {
    server.close();
  }
});

test('on a narrow touch screen the panel fits and taps work', async () => {
  const page = await openPage(browser, { viewport: { width: 320, height: 640 }, hasTouch: true, isMobile: true, deviceScaleFactor: 3 });
  assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= document.documentElement.clientWidth));
  await button(page, 'On').tap();
  await state(page, 'on');
  const frame = await frameOf(page);
  await button(page, 'Push knob').tap();
  await frameChanged(page, frame);
});
