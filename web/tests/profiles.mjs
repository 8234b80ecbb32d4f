// The page's instrument profiles in headless Chromium, by accessible names:
// a bundled preset put in force at the next power-on, Save profile read back
// by Load profile, Factory settings, the profile kept for the next visit,
// and carried by Copy link, shown before it is used.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readdirSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import { ROOT, launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const state = (page, s) => page.waitForFunction((t) => document.body.dataset.state === t, s);
const inForce = (page, text) =>
  page.waitForFunction((t) => document.getElementById('profile').textContent === t, text);
const TITLE = 'Normally aspirated four-cylinder, oil in F';

async function usePreset(page, file) {
  await page.getByRole('combobox', { name: 'Preset profile' }).selectOption({ label: file });
  await button(page, 'Use preset').click();
}

// The TEMP slider's reading after a fresh power-on: its unit is the settings'.
async function tempUnitAfterPowerOn(page) {
  await button(page, 'Off').click();
  await state(page, 'off');
  await button(page, 'On').click();
  await state(page, 'on');
  await page.waitForFunction(() => window.omnira.s.settingsInForce());
  return (await page.locator('#temp-value').textContent()).trim().split(' ').pop();
}

test('a preset, Save profile read back by Load profile, and Factory settings', async () => {
  const page = await openPage(browser);
  const presets = await page.getByRole('combobox', { name: 'Preset profile' }).locator('option').allTextContents();
  // By their titles, the first line of each file, in the files' order.
  assert.deepEqual(presets, readdirSync(join(ROOT, 'profiles')).filter((f) => f.endsWith('.txt')).sort()
    .map((f) => readFileSync(join(ROOT, 'profiles', f), 'utf8').split('\n')[0].slice(2)));
  await inForce(page, 'Factory settings');
  await usePreset(page, TITLE);
  await inForce(page, `Profile: ${TITLE}`);
  assert.equal(await tempUnitAfterPowerOn(page), 'F');

  const [download] = await Promise.all([page.waitForEvent('download'), button(page, 'Save profile').click()]);
  const saved = readFileSync(await download.path(), 'utf8');
  assert.match(saved, /^# Normally aspirated four-cylinder, oil in F\n/);
  assert.match(saved, /set temp_unit F/);
  await button(page, 'Factory settings').click();
  await inForce(page, 'Factory settings');
  assert.equal(await tempUnitAfterPowerOn(page), 'C');
  await page.getByLabel('Load profile').setInputFiles(
    { name: 'mine.txt', mimeType: 'text/plain', buffer: Buffer.from(saved) });
  await inForce(page, `Profile: ${TITLE}`);
  assert.equal(await tempUnitAfterPowerOn(page), 'F');

  // A file that is no profile leaves the one in force and says why.
  await page.getByLabel('Load profile').setInputFiles(
    { name: 'bad.txt', mimeType: 'text/plain', buffer: Buffer.from('set nothing_at_all 3\n') });
  await page.waitForFunction(() => /bad\.txt is no profile/.test(document.getElementById('script-error').textContent));
  await inForce(page, `Profile: ${TITLE}`);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('the profile is kept for the next visit, and Copy link carries it, shown before it is used', async () => {
  const page = await openPage(browser);
  await usePreset(page, TITLE);
  await inForce(page, `Profile: ${TITLE}`);
  await page.reload();
  await page.waitForFunction(() => document.body.dataset.state !== 'loading');
  await inForce(page, `Profile: ${TITLE}`);

  await button(page, 'Copy link').click();
  await page.waitForFunction(() => /#s=/.test(document.getElementById('link-text').value));
  const link = await page.locator('#link-text').inputValue();
  assert.match(link, /#s=[A-Za-z0-9_-]+&p=[A-Za-z0-9_-]+$/);
  await button(page, 'Factory settings').click();
  await inForce(page, 'Factory settings');
  await page.reload();
  await page.waitForFunction(() => document.body.dataset.state !== 'loading');
  await inForce(page, 'Factory settings');

  const again = await openPage(browser, {}, link.slice(link.indexOf('#')));
  await again.waitForFunction(() => !document.getElementById('link-offer').hidden);
  assert.match(await again.locator('#link-offer-text').textContent(), /instrument profile of \d+ bytes/);
  await inForce(again, 'Factory settings');
  await button(again, 'Play').click();
  await inForce(again, `Profile: ${TITLE}`);
  assert.deepEqual([...page.errors, ...again.errors], []);
  for (const p of [page, again]) await p.context().close();
});
