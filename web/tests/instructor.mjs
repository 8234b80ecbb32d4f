// The page as an instructor and a student use it: links to the library's
// scenarios and lessons and the lists following them, Copy link naming what
// is loaded now, its confirmation kept, and which control a key goes to.
// The page's clock is the test's.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage, runUntil, takeClock } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const list = (page, name) => page.getByRole('combobox', { name, exact: true });
const chosen = (page, name) => list(page, name).evaluate((select) => select.selectedOptions[0]?.textContent);
const text = (page, id) => page.evaluate((i) => document.getElementById(i).textContent, id);
const turns = (page, ms, step = 16) => page.evaluate(([total, each]) => {
  for (let t = 0; t < total; t += each) { window.testNow += each; window.omnira.turn(); }
}, [ms, step]);
const recorded = (page) => page.evaluate(() => new TextDecoder().decode(window.omnira.s.recording()));
// The link Copy link made, from its field (the clipboard may be refused).
async function copyLink(page) {
  await page.evaluate(() => { document.getElementById('link-text').value = ''; });
  await page.evaluate(() => document.getElementById('copy-link').click());
  await page.waitForFunction(() => document.getElementById('link-text').value !== '');
  const link = await page.locator('#link-text').inputValue();
  return link.slice(link.indexOf('#'));
}

test('a link to a scenario or a lesson plays it under its title, the list following it', async () => {
  for (const [hash, name, title, shown] of [
    ['#scenario=run_up', 'Scenario', 'Run-up and magneto check', 'status'],
    ['#lesson=magneto_check', 'Lesson', 'The magneto check', 'lesson-title'],
  ]) {
    const page = await openPage(browser, {}, hash);
    await takeClock(page);
    await runUntil(page, (id) => document.getElementById(id).textContent !== 'Loading', 100, 2000, shown);
    assert.match(await text(page, shown), new RegExp(`^${title}`), hash);
    assert.equal(await chosen(page, name), title, `the ${name} list follows ${hash}`);
    // Between loads the list is the user's: a frame does not take it back.
    await list(page, name).selectOption({ index: 2 });
    await turns(page, 500);
    assert.notEqual(await chosen(page, name), title);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  }
});

test('Copy link names what is loaded now: the scenario, the lesson after it, then the session', async () => {
  const page = await openPage(browser);
  await takeClock(page);
  await list(page, 'Scenario').selectOption({ label: 'Run-up and magneto check' });
  await button(page, 'Play scenario').click();
  assert.equal(await copyLink(page), '#scenario=run_up');
  await list(page, 'Lesson').selectOption({ label: 'Reading the run screen' });
  await button(page, 'Start lesson').click();
  await turns(page, 1000, 100);
  assert.equal(await copyLink(page), '#lesson=run_screen', 'the lesson, never the scenario before it');
  // The lesson has no timeline of the scenario played before it.
  assert.equal(await page.evaluate(() => window.omnira.s.timeline().size), 0);
  await button(page, 'Leave').click();
  await button(page, 'Close').click();
  const own = await copyLink(page);
  assert.match(own, /^#s=[A-Za-z0-9_-]+$/, 'after the lesson the session so far');
  await page.context().close();
});

test('the confirmation stays in the status line for its time while a scenario plays at x16', async () => {
  const page = await openPage(browser, {}, '#scenario=run_up');
  const { notice_ms: kept } = await takeClock(page);
  await page.getByLabel('Speed').selectOption('16');
  await turns(page, 100);
  await copyLink(page);
  const confirmation = await text(page, 'status');
  assert.match(confirmation, /^Link copied|^The clipboard is not available/);
  for (let ms = 100; ms < kept; ms += 100) {
    await turns(page, 100, 100);
    assert.equal(await text(page, 'status'), confirmation, `${ms} ms after the copy`);
  }
  await turns(page, 100, 100);
  assert.match(await text(page, 'status'), /^Run-up and magneto check: /);
  await page.context().close();
});

test('the keys go to the instrument after a click on +, on a slider, and from a figure entry', async () => {
  for (const phone of [false, true]) {
    const options = phone ? { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true } : {};
    const page = await openPage(browser, options);
    await takeClock(page);
    const keys = async () => (await recorded(page)).match(/^key \w+$/gm) ?? [];
    await button(page, 'On').click();
    await (phone ? button(page, 'Turn knob up').tap() : button(page, 'Turn knob up').click());
    await page.keyboard.press('Enter');
    assert.deepEqual(await keys(), ['key PLUS', 'key PUSH'], 'Return after + pushes the knob');
    const rpm = page.getByRole('slider', { name: 'RPM' });
    await (phone ? rpm.tap() : rpm.click());
    const position = await rpm.inputValue();
    await page.keyboard.press('+');
    await page.keyboard.press('NumpadSubtract');
    assert.deepEqual((await keys()).slice(2), ['key PLUS', 'key MINUS'], 'a touched slider leaves + and - to the knob');
    assert.equal(await rpm.inputValue(), position);
    // The keyboard's own way to a slider gives + and - to it.
    await page.keyboard.press('Shift+Tab');
    await page.keyboard.press('Tab');
    await page.keyboard.press('+');
    assert.equal(Number(await rpm.inputValue()), Number(position) + 1);
    const entry = page.getByLabel('RPM figure entry');
    await (phone ? entry.tap() : entry.click());
    await page.keyboard.press('F1');
    await page.keyboard.type('24+');
    await page.keyboard.press('F2');
    assert.deepEqual((await keys()).slice(4), ['key F1', 'key F2'], 'F1 and F2 from the entry');
    assert.equal(await entry.inputValue(), '24+', 'digits and + type into it');
    assert.deepEqual(page.errors, []);
    await page.context().close();
  }
});
