// The page's sliders with their figures and entries, and the LCD for a
// screen reader: said in one polite live region on a change of substance,
// never per frame.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const reading = (page, name) => page.locator(`#${name}-value`).textContent();
const readingIs = (page, name, text) => page.waitForFunction(
  ([n, t]) => document.getElementById(`${n}-value`).textContent === t, [name, text]);
async function type(page, name, text) {
  await page.locator(`#${name}-entry`).fill(text);
  await page.locator(`#${name}-entry`).press('Enter');
}

test('a typed figure puts the slider where a script would, with its warning or refusal', async () => {
  const page = await openPage(browser);
  await page.getByRole('slider', { name: 'TEMP', exact: true }).fill('3801');
  assert.equal(await reading(page, 'temp'), '3801  ---');
  assert.equal(await page.locator('#temp-unit').textContent(), 'C');
  // The readout is named, and not a live region.
  const readout = page.getByRole('note', { name: 'TEMP 3801  ---' });
  assert.equal(await readout.getAttribute('aria-live'), null);
  await type(page, 'rpm', '2400');
  await readingIs(page, 'rpm', '14402  2400 rpm');
  assert.equal(await page.locator('#rpm-message').textContent(), '');
  await type(page, 'rpm', '16667');
  assert.equal(await page.locator('#rpm-message').textContent(),
    '16667 rpm is out of reach: the slider gives 0 rpm to 16666 rpm');
  assert.equal(await reading(page, 'rpm'), '14402  2400 rpm');
  await type(page, 'temp', '<i>o</i>');
  assert.equal(await page.locator('#temp-message').textContent(), 'not a figure in C: <i>o</i>');
  // Typing i and o in an entry leaves the instrument off.
  assert.equal(await page.evaluate(() => document.body.dataset.state), 'off');
  // Page Up and Page Down: an engine step, from the entry or the slider.
  await page.locator('#rpm-entry').press('PageUp');
  await page.getByRole('slider', { name: 'RPM', exact: true }).press('PageDown');
  await page.getByRole('slider', { name: 'RPM', exact: true }).press('PageDown');
  assert.match(await reading(page, 'rpm'), /  2300 rpm$/);
  await page.context().close();
});

test('a scenario is described a few times, not per frame, and the canvas and lamp are named', async () => {
  const script = 'rpm 14400\nmap 1522\ntemp 2674\non\nhold 15\nkey F2\nhold 3\nkey PUSH\nhold 15\n';
  const page = await openPage(browser);
  await page.evaluate(() => {
    window.descriptions = 0;
    new MutationObserver(() => window.descriptions++).observe(
      document.getElementById('lcd-description'), { childList: true, characterData: true, subtree: true });
    window.frames = 0;
    const count = () => { window.frames++; requestAnimationFrame(count); };
    requestAnimationFrame(count);
  });
  assert.equal(await page.locator('[aria-live]#lcd-description').getAttribute('aria-live'), 'polite');
  await page.getByLabel('Play script').setInputFiles(
    { name: 'menu.txt', mimeType: 'text/plain', buffer: Buffer.from(script) });
  await page.waitForFunction(() => document.getElementById('lcd-description').textContent.startsWith('Main menu'));
  const { descriptions, frames } = await page.evaluate(() => ({ descriptions: window.descriptions, frames: window.frames }));
  assert.ok(descriptions <= 6, `${descriptions} descriptions`);
  assert.ok(frames > 3 * descriptions, `${frames} frames`);
  // The canvas is named by what it shows.
  assert.equal(await page.getByRole('img', { name: /^Main menu\. Qirel MAIN MENU/ }).count(), 1);
  assert.match(await page.locator('#lcd-description').textContent(), /Alarm acknowledged|No alarm/);
  // The lamp says its state, and lit it has a ring as well as its colour.
  const lamp = page.locator('#lamp');
  const name = await lamp.getAttribute('aria-label');
  assert.match(name, /^Alarm lamp: (no )?alarm$/);
  assert.equal(await lamp.evaluate((e) => e.classList.contains('lit')), name === 'Alarm lamp: alarm');
  await page.getByRole('button', { name: 'Off', exact: true }).click();
  await page.waitForFunction(() => document.getElementById('lcd-description').textContent === 'Instrument off');
  await page.context().close();
});
