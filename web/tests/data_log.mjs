// Open data log in the page: the chooser shows the columns found, the
// scenario the wasm writes is the native converter's, and it plays; a file
// that is no log is refused with the reason, as text only.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { NATIVE_BUILD, ROOT, launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const SAMPLE = join(ROOT, 'samples/logs/glass_cockpit.csv');
const openLog = (page, name, buffer) =>
  page.getByLabel('Open data log').setInputFiles({ name, mimeType: 'text/csv', buffer });

test('the chooser preselects the columns found; the choice converts as lcdshot does and plays', async () => {
  const page = await openPage(browser);
  await openLog(page, 'glass_cockpit.csv', readFileSync(SAMPLE));
  await page.locator('#log-chooser').waitFor({ state: 'visible' });
  const chosen = (role) => page.locator(`#log-${role} option:checked`).textContent();
  assert.deepEqual(await Promise.all(['time', 'date', 'rpm', 'map', 'temp'].map(chosen)),
    ['Lcl Time', 'Lcl Date', 'E1 RPM', 'E1 MAP', 'E1 OilT']);

  await page.locator('#log-temp').selectOption({ label: 'E1 CHT1' });
  await page.getByRole('button', { name: 'Convert and play' }).click();
  await page.waitForFunction(() => document.body.dataset.state === 'playing');
  const script = await page.evaluate(() => window.omnira.checking?.text ?? window.omnira.played?.text);
  const native = execFileSync(join(NATIVE_BUILD, 'lcdshot/lcdshot'),
    ['--from-log', SAMPLE, '--temp', 'E1 CHT1'], { stdio: ['ignore', 'pipe', 'ignore'] }).toString();
  assert.equal(script, native);
  await page.waitForFunction(() => document.getElementById('note').textContent.startsWith('glass_cockpit.csv: 0:02:39'));
  assert.deepEqual(page.errors, []);
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
