// Open data log in the page: the chooser shows the columns found, the
// scenario the wasm writes is the native converter's, and it plays; a file
// that is no log is refused with the reason, as text only.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { NATIVE_BUILD, ROOT, canvasIndices, launch, lcdshotGoldens, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const SAMPLE = join(ROOT, 'samples/logs/glass_cockpit.csv');
const openLog = (page, name, buffer) =>
  page.getByLabel('Open data log').setInputFiles({ name, mimeType: 'text/csv', buffer });

const chosen = (page, role) => page.locator(`#log-${role} option:checked`).textContent();

test('the chooser preselects the columns found; the choice plays as lcdshot converts it', async () => {
  const page = await openPage(browser);
  await openLog(page, 'glass_cockpit.csv', readFileSync(SAMPLE));
  await page.locator('#log-chooser').waitFor({ state: 'visible' });
  assert.deepEqual(await Promise.all(['time', 'date', 'rpm', 'map', 'temp'].map((role) => chosen(page, role))),
    ['Lcl Time', 'Lcl Date', 'E1 RPM', 'E1 MAP', 'E1 OilT']);

  await page.locator('#log-temp').selectOption({ label: 'E1 CHT1' });
  await page.getByRole('button', { name: 'Convert and play' }).click();
  await page.waitForFunction(() => document.body.dataset.state === 'playing');
  await page.waitForFunction(() => document.getElementById('note').textContent.startsWith('glass_cockpit.csv: 0:02:39'));
  await page.getByRole('button', { name: 'Pause', exact: true }).click();
  await page.getByRole('slider', { name: 'Timeline' }).press('End');
  const end = await page.evaluate(() => window.omnira.s.timeline().size - 1);
  await page.waitForFunction((t) => document.getElementById('timeline').getAttribute('aria-valuenow') === t, String(end));
  const native = execFileSync(join(NATIVE_BUILD, 'lcdshot/lcdshot'),
    ['--from-log', SAMPLE, '--temp', 'E1 CHT1'], { stdio: ['ignore', 'pipe', 'ignore'] });
  const last = lcdshotGoldens(Buffer.concat([native, Buffer.from('\ngolden last\n')]), ['last']).last;
  assert.deepEqual(await canvasIndices(page), Array.from(last));
  assert.deepEqual(page.errors, []);
});

test('each log starts from its own columns and units, not the last one\'s choice', async () => {
  const page = await openPage(browser);
  await openLog(page, 'glass_cockpit.csv', readFileSync(SAMPLE));
  await page.locator('#log-chooser').waitFor({ state: 'visible' });
  await page.getByLabel('MAP unit').selectOption({ label: 'mB' });
  await page.getByLabel('Temperature unit').selectOption({ label: 'F' });
  await page.locator('#log-rpm').selectOption({ label: '(none)' });
  await page.getByRole('button', { name: 'Cancel', exact: true }).click();
  await openLog(page, 'second.csv', Buffer.from('Time,RPM,MAP\n0,2400,24.5\n1,2410,24.6\n'));
  await page.waitForFunction(() => document.getElementById('log-intro').textContent.startsWith('Columns of second.csv'));
  assert.equal(await chosen(page, 'map-unit'), 'as the log says');
  assert.equal(await chosen(page, 'temp-unit'), 'as the log says');
  assert.deepEqual(await Promise.all(['time', 'rpm', 'map', 'temp'].map((role) => chosen(page, role))),
    ['Time', 'RPM', 'MAP', '(none)']);
});

test('a file that is no data log is refused with its reason as plain text', async () => {
  const page = await openPage(browser);
  await openLog(page, '<b>x</b>.csv', Buffer.from('<i>a</i>,b\n1,2\n'));
  await page.waitForFunction(() => document.getElementById('script-error').textContent !== '');
  assert.equal(await page.locator('#script-error').textContent(),
    '<b>x</b>.csv is no data log this reads: no header row naming a time column and an RPM, MAP or ' +
    'temperature column in the first 20 rows.');
  assert.equal(await page.locator('#script-error b').count(), 0);
  assert.ok(await page.locator('#log-chooser').isHidden());
});

// Every warning is listed in the chooser before anything plays, as plain
// text; a start and an end choose the part, one it cannot read is said.
test('the chooser lists every warning before playing and takes a start and an end', async () => {
  const page = await openPage(browser);
  let log = 'Time,RPM,Oil,<i>x</i>\n0,2400,80,1\n1,"2410,80,1\n2,x,81,1\n';
  for (let t = 3; t < 60; t++) log += `${t},2400,80,1\n`;
  await openLog(page, 'warned.csv', Buffer.from(`${log}60,24`));
  await page.locator('#log-chooser').waitFor({ state: 'visible' });
  const warnings = page.getByRole('list', { name: 'Warnings' });
  const listed = await warnings.locator('li').allTextContents();
  assert.deepEqual(listed, await page.evaluate(() => window.omnira.s.logWarnings()));
  assert.ok(listed.some((w) => w.startsWith('no MAP column found')), listed.join('\n'));
  assert.equal(await warnings.locator('i').count(), 0);
  assert.equal(await page.evaluate(() => window.omnira.s.playing()), false);
  assert.equal(await page.locator('#log-span').textContent(), 'Plays 0:00:59 of the log from row 2');

  const start = page.getByLabel('Start', { exact: true }), end = page.getByLabel('End', { exact: true });
  const play = page.getByRole('button', { name: 'Convert and play' });
  const cases = [
    ['ten', '', 'Nothing can play: the start takes seconds or [H:]MM:SS after the first row: "ten".', false],
    ['10', '20', 'Plays 0:00:10 of the log from row 12', true],
  ];
  for (const [from, to, said, enabled] of cases) {
    await start.fill(from);
    await end.fill(to);
    await end.blur();
    await page.waitForFunction((t) => document.getElementById('log-span').textContent === t, said);
    assert.equal(await play.isEnabled(), enabled, said);
  }
  await play.click();
  await page.waitForFunction(() => document.body.dataset.state === 'playing');
  await page.waitForFunction(() => document.getElementById('note').textContent.startsWith('warned.csv: 0:00:10 of the log from row 12'));
  assert.deepEqual(page.errors, []);
});
