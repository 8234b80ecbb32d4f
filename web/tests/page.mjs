// The page in headless Chromium, opened from disk and driven by the names a
// screen reader gives its controls. Every wait is on something the page shows.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { join } from 'node:path';
import { PAGE_URL, WEB_BUILD, canvasIndices, decodePng, launch, lcdshotGoldens, openPage, paletteOf, runUntil, takeClock } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const slider = (page, name) => page.getByRole('slider', { name, exact: true });
// The raw position beside a slider, before its figure.
const positionShown = async (page, name) => (await page.locator(`#${name}-value`).textContent()).split('  ')[0];
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

// Opens the page with a link carrying a script, which it shows first and
// plays on a click.
async function openLink(options, hash) {
  const page = await openPage(browser, options, hash);
  await button(page, 'Play').click();
  return page;
}

// Until the script asked for has been checked and played to its end (or refused).
const played = (page) => page.waitForFunction(() => {
  const s = window.omnira.s;
  return !s.checking() && !s.playing() && (s.timeline().size > 0 || document.getElementById('script-error').textContent);
});

// The LCD canvas as palette indices and the session so far, read at once.
async function frameAndSession(page) {
  const [rgba, script] = await page.evaluate(() => {
    const c = document.getElementById('lcd');
    return [Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data),
      new TextDecoder('latin1').decode(window.omnira.s.recording())];
  });
  const index = new Map((await paletteOf()).map((c, i) => [c, i]).reverse());
  const frame = [];
  for (let i = 0; i < rgba.length; i += 4) frame.push(index.get((rgba[i] << 16) | (rgba[i + 1] << 8) | rgba[i + 2]) ?? -1);
  return { frame, script };
}

test('a live session: the panel, the lamp, and a recording lcdshot replays to the same frame', async () => {
  const page = await openPage(browser);
  assert.equal(await page.title(), 'Qirel QX-40 Simulator');
  await slider(page, 'MAP').fill('1518');
  await slider(page, 'RPM').fill('30000');
  await slider(page, 'TEMP').fill('2674');
  assert.equal(await page.locator('#rpm-value').textContent(), '30000  5000 rpm');
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
  assert.equal(await page.locator('#temp-value').textContent(), '1  -273 C');
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

test('F1 is kept from the browser; other keys keep their default; Help lists the page\'s bindings', async () => {
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
  const help = await page.locator('#help-list dt').allTextContents();
  assert.ok(help.includes('Return, Enter, Space') && help.includes('Mouse wheel over the bezel'), help.join(' | '));
  assert.ok(!help.includes('Ctrl+Q'), 'the window\'s own keys are left out');
  await page.context().close();
});

test('a #script= link plays to lcdshot\'s frame, then the user carries on', async () => {
  const script = 'rpm 30000\nmap 1518\ntemp 2674\non\npass 3\ntick 3\npass\nkey PUSH\npass 2\nshot menu\noff';
  const page = await openLink({}, scriptLink(script));
  await played(page);
  await state(page, 'off');
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(script));
  assert.equal(await positionShown(page, 'rpm'), '30000');
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
  const page = await openLink({}, scriptLink(script));
  await page.waitForFunction(() => document.getElementById('note').textContent === '<b>cruise</b>');
  assert.equal(await page.locator('#note-box b').count(), 0);
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
  await played(page);
  await state(page, 'off');
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(script));
  assert.equal(await page.locator('#lamp').getAttribute('data-red'), '128'); // F1 acknowledged the alarm
});

// The page's clock driven by the test: a scenario of minutes plays in moments.
test('a scenario of the library plays, its goldens checked, to lcdshot\'s frame', async () => {
  const page = await openPage(browser);
  const scenarios = page.getByLabel('Scenario');
  assert.equal(await scenarios.locator('option').count(), 7);
  const { tick_ms: tick } = await takeClock(page);
  await scenarios.selectOption({ label: 'Run-up and magneto check' });
  await button(page, 'Play scenario').click();
  await runUntil(page, () => /Warm engine at idle/.test(document.getElementById('note').textContent), 5 * tick);
  await runUntil(page, () => document.body.dataset.state === 'on', 10 * tick, 300000);
  assert.equal(await page.locator('#script-error').textContent(), '');
  assert.match(await page.locator('#status').textContent(), /: ended; the instrument runs on live$/);
  const { frame, script } = await frameAndSession(page);
  assert.deepEqual(frame, lcdshotFrame(script));
  await page.context().close();
});

test('a broken script shows its line and message as text and runs nothing', async () => {
  const page = await openLink({}, scriptLink('on\npass 2\nkey <img src=x onerror=alert(1)>\n'));
  const error = page.getByRole('alert');
  await page.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.match(await error.textContent(), /^The scenario "a link" from a link has an error and plays nothing:\nline 3: .*<img/);
  assert.equal(await page.locator('#script-error img').count(), 0);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  await button(page, 'On').click(); // still usable
  await state(page, 'on');
});

for (const ratio of [1.5, 2]) {
  test(`at device pixel ratio ${ratio} the LCD shows only palette colours`, async () => {
    const page = await openLink({ deviceScaleFactor: ratio },
      scriptLink('rpm 30000\nmap 2400\ntemp 2674\non\npass 12\noff'));
    await played(page);
    await state(page, 'off');
    const shot = decodePng(await page.locator('#lcd').screenshot());
    const palette = new Set(await paletteOf());
    const box = await page.locator('#lcd').boundingBox();
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

const playFile = (page, text, name = 's.txt') =>
  page.getByLabel('Play script').setInputFiles({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });
const errorShown = (page) => page.waitForFunction(() => document.getElementById('script-error').textContent !== '');

test('a link shows what it carries and plays only on a click; a bundled scenario plays at once', async () => {
  const page = await openPage(browser, {}, scriptLink('# Engine start\nrpm 30000\non\npass 3\n'));
  const offer = page.locator('#link-offer-text');
  assert.equal(await offer.textContent(), 'This link carries a script: "Engine start", 4 lines, 35 bytes. Play it?');
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  await button(page, 'Dismiss').click();
  assert.equal(await page.locator('#link-offer').isHidden(), true);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  const library = await openPage(browser, {}, '#scenario=run_up');
  await state(library, 'playing');
  const none = await openPage(browser, {}, '#scenario=nonesuch');
  await errorShown(none);
  assert.match(await none.locator('#script-error').textContent(), /no scenario of the library: nonesuch/);
  for (const p of [page, library, none]) await p.context().close();
});

test('a link\'s title shows its bidirectional controls escaped; a broken scenario name is reported', async () => {
  const page = await openPage(browser, {}, scriptLink('# Safe \u202etxt.exe\non\n'));
  assert.equal(await page.locator('#link-offer-text').textContent(),
    'This link carries a script: "Safe \\u{202E}txt.exe", 2 lines, 21 bytes. Play it?');
  const broken = await openPage(browser, {}, '#scenario=%E0%A4%A');
  await errorShown(broken);
  assert.match(await broken.locator('#script-error').textContent(), /^The link cannot be read and plays nothing: /);
  assert.deepEqual(broken.errors, []);
  for (const p of [page, broken]) await p.context().close();
});

test('a Latin-1 script from a file plays as lcdshot plays it', async () => {
  const script = Buffer.concat([Buffer.from('# Caf'), Buffer.of(0xe9), Buffer.from('\nrpm 30000\nmap 1518\non\npass 3\nnote '),
    Buffer.alloc(2000, 0xe9), Buffer.from('\nhold 2\nkey F1\npass 4\noff\n')]);
  const page = await openPage(browser);
  await page.getByLabel('Play script').setInputFiles({ name: 'latin1.txt', mimeType: 'text/plain', buffer: script });
  await played(page);
  assert.equal(await page.locator('#script-error').textContent(), '');
  assert.match(await page.locator('#note').textContent(), /^(\\xE9){2000}$/);
  assert.match(await page.locator('#status').textContent(), /^Caf\\xE9: ended$/);
  await state(page, 'off');
  assert.deepEqual(await canvasIndices(page), Array.from(lcdshotGoldens(Buffer.concat([script, Buffer.from('golden f\n')]), ['f']).f));
  await page.context().close();
});

test('55,000 notes: the timeline draws their marks and the list holds only the rows in view', async () => {
  const page = await openPage(browser);
  await playFile(page, 'on\n' + Array.from({ length: 55000 }, (_, i) => `note N${i}\ntick\n`).join(''));
  await state(page, 'playing');
  await button(page, 'Pause').click();
  await page.getByRole('slider', { name: 'Timeline' }).focus();
  await page.keyboard.press('End');
  await page.waitForFunction(() => document.getElementById('timeline').getAttribute('aria-valuenow') === '55000');
  await page.waitForFunction(() => document.querySelector('#notes li:last-child')?.textContent === 'N54999');
  const { rows, height, pageNodes } = await page.evaluate(() => ({
    rows: document.querySelectorAll('#notes li').length,
    height: document.getElementById('notes').scrollHeight / document.querySelector('#notes li').offsetHeight,
    pageNodes: document.getElementsByTagName('*').length,
  }));
  assert.ok(rows < 40, `${rows} rows in the page`);
  assert.ok(Math.abs(height - 55000) < 2, `the list scrolls over ${height} rows`);
  assert.ok(pageNodes < 400, `${pageNodes} elements in the page`);
  await page.context().close();
});

test('a refused script leaves the instrument, the panel and the session as they were', async () => {
  const page = await openPage(browser);
  await slider(page, 'RPM').fill('30000');
  await button(page, 'On').click();
  await state(page, 'on');
  const before = await session(page);
  await playFile(page, 'rpm 2400 rpm\non\nhold 3\nexpect screen map_setup\n', 'typo.txt');
  await errorShown(page);
  assert.match(await page.locator('#script-error').textContent(),
    /^The scenario "typo.txt" from the file typo.txt has an error and plays nothing:\nline 4: the screen is run/);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'on');
  assert.equal(await positionShown(page, 'rpm'), '30000');
  assert.ok((await session(page)).startsWith(before.trimEnd().replace(/\n(pass|tick) \d+$/, '')));
  await button(page, 'Dismiss').click();
  assert.equal(await page.locator('#error-box').isHidden(), true);
  await page.context().close();
});

test('a script near the limits is checked while the page answers, with progress, and can be cancelled', async () => {
  const page = await openPage(browser);
  await button(page, 'On').click();
  await state(page, 'on');
  await playFile(page, 'on\nhold 14000\n');
  await page.waitForFunction(() => !document.getElementById('checking').hidden &&
    document.getElementById('check-progress').value > 0);
  const frame = await frameOf(page);
  await slider(page, 'MAP').fill('3000'); // the live instrument goes on meanwhile
  await frameChanged(page, frame);
  await button(page, 'Cancel').click();
  assert.equal(await page.locator('#checking').isHidden(), true);
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'on');
  await playFile(page, 'on\nhold 14401\n');
  await errorShown(page);
  assert.match(await page.locator('#script-error').textContent(), /line 2: the script runs more than 144000 ticks/);
  await page.context().close();
});

test('1 MB scripts: one plays, a longer one is refused, and the page goes on', async () => {
  const page = await openPage(browser);
  const line = 'key F1\n';
  const full = '# Full\non\n' + line.repeat(Math.floor((1048576 - 11) / line.length));
  await playFile(page, full);
  await played(page);
  assert.equal(await page.locator('#script-error').textContent(), '');
  await playFile(page, full + line);
  await errorShown(page);
  assert.match(await page.locator('#script-error').textContent(), /plays nothing:\nit is longer than 1 MB$/);
  await page.evaluate(() => window.omnira.crashed('a test abort'));
  await page.waitForFunction(() => /started afresh/.test(document.getElementById('script-error').textContent));
  await button(page, 'On').click();
  await state(page, 'on');
  await page.context().close();
});

test('notes keep their characters and show bidirectional controls, under the page\'s CSP', async () => {
  const violations = [];
  const page = await openPage(browser);
  page.on('console', (m) => { if (/Content Security Policy/.test(m.text())) violations.push(m.text()); });
  await playFile(page, 'on\nnote TEMP 85 \u00b0C \u202eevil\nhold 5\n');
  await page.waitForFunction(() => /85/.test(document.getElementById('note').textContent));
  assert.match(await page.locator('#note').textContent(), /^TEMP 85 \u00b0C \\u\{202E\}evil$/);
  assert.match(await page.locator('#log').textContent(), /note: TEMP 85 \u00b0C /);
  assert.match(await page.evaluate(() => document.querySelector('meta[http-equiv]').content),
    /^default-src 'none'; script-src 'sha256-.*' 'wasm-unsafe-eval'; style-src 'sha256-/);
  assert.deepEqual(violations, []);
  // A script put into the page by anything but the page itself does not run.
  assert.equal(await page.evaluate(() => {
    const injected = Object.assign(document.createElement('script'), { textContent: 'window.injected = 1' });
    document.body.append(injected);
    return window.injected ?? 'blocked';
  }), 'blocked');
  await page.context().close();
});

test('Copy link carries the session compressed; a broken link plays nothing', async () => {
  const page = await openPage(browser);
  await slider(page, 'RPM').fill('30000');
  await slider(page, 'MAP').fill('1522');
  await button(page, 'On').click();
  await state(page, 'on');
  for (let i = 0; i < 5; i++) await button(page, 'Turn knob up').click();
  await button(page, 'Off').click();
  await state(page, 'off');
  await button(page, 'Copy link').click();
  await page.waitForFunction(() => /#s=/.test(document.getElementById('link-text').value));
  const link = await page.locator('#link-text').inputValue();
  assert.match(link, /#s=[A-Za-z0-9_-]+$/);
  const recorded = await session(page);
  const hash = link.slice(link.indexOf('#'));
  const again = await openLink({}, hash);
  await played(again);
  assert.deepEqual(await canvasIndices(again), lcdshotFrame(recorded));
  for (const p of [page, again]) await p.context().close();
  for (const broken of [hash.slice(0, hash.length / 2), '#s=%%%', '#s=AAAA']) {
    const bad = await openPage(browser, {}, broken);
    await errorShown(bad);
    assert.match(await bad.locator('#script-error').textContent(), /^The link cannot be read and plays nothing: /);
    await bad.context().close();
  }
});

test('the timeline seeks to lcdshot\'s frame at a tick, and x16 plays lcdshot\'s frames', async () => {
  const head = 'rpm 30000\nmap 1522\ntemp 2674\non\n';
  const page = await openPage(browser);
  await playFile(page, head + 'hold 10\nramp rpm 2400 rpm 10\nhold 10\n');
  await state(page, 'playing');
  await button(page, 'Pause').click();
  const timeline = page.getByRole('slider', { name: 'Timeline' });
  await timeline.focus();
  const at = (tick) => page.waitForFunction((t) =>
    document.getElementById('timeline').getAttribute('aria-valuenow') === t, String(tick));
  const ramp = head + 'hold 10\nramp rpm 2400 rpm 10\n';
  await page.keyboard.press('End');
  await page.keyboard.press('PageUp');
  await at(200);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(ramp));
  for (let i = 0; i < 5; i++) await page.keyboard.press('ArrowRight');
  await at(250);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(ramp + 'hold 5\n'));
  await page.keyboard.press('Home');
  await at(0);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(head));
  await page.getByLabel('Speed').selectOption('16');
  await button(page, 'Resume').click();
  await played(page);
  assert.deepEqual(await canvasIndices(page), lcdshotFrame(head + 'hold 10\nramp rpm 2400 rpm 10\nhold 10\n'));
  await page.context().close();
});

// Notes that come quicker than one can read wait their turn, each shown for
// its time of the playback, and all of them stay in the list.
test('quick notes each get their turn beside the LCD and the last one stays', async () => {
  const page = await openPage(browser);
  const { note_min_show_ms: shown } = await takeClock(page);
  await playFile(page, 'on\nnote One\nnote Two\ntick\nnote Three\nhold 10\n');
  for (const note of ['One', 'Two', 'Three'])
    await runUntil(page, (n) => document.getElementById('note').textContent === n, shown / 5, undefined, note);
  await runUntil(page, () => document.body.dataset.state === 'on', shown / 5);
  assert.deepEqual(await page.locator('#notes li').allTextContents(), ['One', 'Two', 'Three']);
  assert.equal(await page.locator('#note').textContent(), 'Three');
  await page.context().close();
});

test('on a phone and by keyboard: the panel fits on its side, targets are large, Return after a click pushes the knob, a hidden tab pauses', async () => {
  const page = await openPage(browser, { viewport: { width: 844, height: 390 }, hasTouch: true, isMobile: true });
  for (const name of ['F1', 'F2', 'Push knob', 'On', 'Off']) {
    const box = await button(page, name).boundingBox();
    assert.ok(box.y >= 0 && box.y + box.height <= 390, `${name} is on the screen`);
  }
  for (const name of ['Save LCD image', 'Save session', 'Play scenario', 'Copy link']) {
    const box = await button(page, name).boundingBox();
    assert.ok(box.height >= 44, `${name} is at least 44 pixels high`);
  }
  // The knob's + and - are drawn smaller than a finger; what takes a touch is measured.
  for (const id of ['plus', 'minus']) {
    const reach = await page.evaluate((id) => {
      const key = document.getElementById(id);
      const box = key.getBoundingClientRect();
      const x = box.left + box.width / 2;
      let rows = 0;
      for (let y = Math.floor(box.top) - 30; y < box.bottom + 30; y++)
        if (document.elementFromPoint(x, y) === key) rows++;
      return rows;
    }, id);
    assert.ok(reach >= 44, `${id} takes a finger over ${reach} pixels`);
  }
  await page.context().close();

  const desk = await openPage(browser);
  await button(desk, 'On').click();
  await state(desk, 'on');
  await desk.keyboard.press('Enter');
  await desk.keyboard.press('Space');
  const inputs = (await session(desk)).split('\n').filter((l) => /^(on|key)/.test(l));
  assert.deepEqual(inputs, ['on', 'key PUSH', 'key PUSH']);
  await playFile(desk, 'on\nnote Long\nhold 600\n');
  await state(desk, 'playing');
  await desk.evaluate(() => {
    Object.defineProperty(document, 'hidden', { value: true, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await desk.waitForFunction(() => /: paused at .* \(paused while the page was hidden\)$/.test(document.getElementById('status').textContent));
  await desk.evaluate(() => {
    Object.defineProperty(document, 'hidden', { value: false, configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
  });
  await desk.waitForFunction(() => /hidden, and goes on from there$/.test(document.getElementById('status').textContent));
  await desk.context().close();
});

test('a finger on a slider: an upright swipe scrolls the page and leaves it, a sideways one moves it, a tap puts it there', async () => {
  const page = await openPage(browser, { viewport: { width: 390, height: 500 }, hasTouch: true, isMobile: true });
  const map = slider(page, 'MAP');
  await map.scrollIntoViewIfNeeded();
  const gesture = await page.context().newCDPSession(page);
  const swipe = async (xDistance, yDistance) => {
    const box = await map.boundingBox();
    await gesture.send('Input.synthesizeScrollGesture', {
      x: box.x + box.width / 2, y: box.y + box.height / 2, xDistance, yDistance,
      gestureSourceType: 'touch', speed: 600,
    });
  };
  const value = () => map.evaluate((input) => Number(input.value));
  const scrolled = await page.evaluate(() => window.scrollY);
  await swipe(0, -120);
  assert.equal(await value(), 1);
  assert.ok(await page.evaluate(() => window.scrollY) > scrolled, 'the page scrolled');
  await swipe(0, 120);
  assert.equal(await value(), 1);
  await swipe(100, 0);
  assert.ok(await value() > 1, 'a sideways drag moves the slider');
  const box = await map.boundingBox();
  await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
  await page.waitForFunction(() => Math.abs(Number(document.getElementById('map').value) - 2048) < 100);
  await page.waitForFunction(() => document.getElementById('map-value').textContent.split('  ')[0] === document.getElementById('map').value);
  await page.context().close();
});
