// The page's lessons in headless Chromium, by the names a screen reader
// gives the controls: one lesson through Hint, Show me, Skip, the student's
// own keys and Leave, its session replayed by lcdshot to the same frame; and
// every lesson of the library played from its answers. Every wait is on
// something the page shows.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { canvasIndices, launch, lcdshotGoldens, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const panel = (page) => page.getByRole('region', { name: 'Lesson' });
const stepIs = (page, text) =>
  page.waitForFunction((t) => document.getElementById('lesson-step').textContent === t, text);
// Two animation frames: the page's loop has run a pass since.
const passes = (page) => page.evaluate(() =>
  new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

async function startLesson(page, title) {
  await page.getByRole('combobox', { name: 'Lesson', exact: true }).selectOption({ label: title });
  await button(page, 'Start lesson').click();
  await panel(page).waitFor();
}

test('a lesson through Hint, Show me, Skip and the student\'s keys, then Leave', async () => {
  const page = await openPage(browser);
  await startLesson(page, 'Reading the run screen');
  assert.equal(await page.locator('#lesson-title').textContent(), 'Reading the run screen');
  await stepIs(page, 'Step 1 of 4');
  await button(page, 'Hint').click();
  await page.getByText('The knob turns the run screen\'s pages', { exact: false }).waitFor();
  assert.ok(await button(page, 'Hint').isDisabled());
  await button(page, 'Show me').click();
  await stepIs(page, 'Step 2 of 4');
  assert.match(await page.locator('#lesson-well').textContent(), /^TIMERS:/);
  await button(page, 'Skip').click();
  await stepIs(page, 'Step 3 of 4');
  // The student turns the knob down until the digital page shows: their
  // keys go to the instrument and never end the lesson.
  for (let turns = 0; turns < 10; turns++) {
    if (await page.locator('#lesson-step').textContent() === 'Step 4 of 4') break;
    await button(page, 'Turn knob down').click();
    await passes(page);
  }
  await stepIs(page, 'Step 4 of 4');
  await button(page, 'Leave').click();
  await stepIs(page, 'Lesson left');
  assert.match(await page.locator('#lesson-task').textContent(),
    /^1 of 4 steps done on your own, 0 with a hint, 1 shown, 1 skipped\. Time: \d+:\d\d\.$/);

  // The session holds the lesson's inputs and the student's: lcdshot
  // replays it to the frame shown.
  await button(page, 'Off').click();
  await page.waitForFunction(() => document.body.dataset.state === 'off');
  const [download] = await Promise.all([page.waitForEvent('download'), button(page, 'Save session').click()]);
  const script = readFileSync(await download.path(), 'utf8');
  assert.match(script, /key MINUS/);
  const replayed = lcdshotGoldens(script + '\ngolden final\n', ['final']).final;
  assert.deepEqual(await canvasIndices(page), Array.from(replayed));
  await button(page, 'Close').click();
  await panel(page).waitFor({ state: 'hidden' });
  assert.deepEqual(page.errors, []);
});

test('every lesson of the library plays to its end from its answers', async () => {
  const page = await openPage(browser);
  const titles = await page.locator('#lesson option').allTextContents();
  assert.ok(titles.length >= 6);
  for (const title of titles) {
    await startLesson(page, title);
    const steps = Number((await page.locator('#lesson-step').textContent()).split(' of ')[1]);
    for (let step = 1; step <= steps; step++) {
      await stepIs(page, `Step ${step} of ${steps}`);
      await button(page, 'Show me').click();
    }
    await stepIs(page, 'Lesson complete');
    assert.match(await page.locator('#lesson-task').textContent(),
      new RegExp(`^0 of ${steps} steps done on your own, 0 with a hint, ${steps} shown, 0 skipped`), title);
    await button(page, 'Close').click();
  }
  assert.deepEqual(page.errors, []);
});
