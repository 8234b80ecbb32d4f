// The page's lessons in headless Chromium, by the names a screen reader
// gives the controls: one lesson through Hint, Show me, Skip, the student's
// own keys and Leave, its session replayed by lcdshot to the same frame; and
// every lesson of the library played from its answers. The page's clock is
// the test's: every wait is on something the page shows, bounded in that
// clock's time.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { canvasIndices, launch, lcdshotGoldens, openPage, runUntil, takeClock } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const button = (page, name) => page.getByRole('button', { name, exact: true });
const panel = (page) => page.getByRole('region', { name: 'Lesson' });
const text = (page, id) => page.evaluate((i) => document.getElementById(i).textContent, id);
// A step of the page's clock is one tick of the session's; a step of a
// lesson is shown in at most a minute of it.
const TICK = 100;
const stepIs = (page, t, limitMs = 60000) =>
  runUntil(page, (x) => document.getElementById('lesson-step').textContent === x, TICK, limitMs, t);

// The page's clock moved on by `ms`, a turn of its loop a tick.
const advance = (page, ms) => page.evaluate(([total, step]) => {
  for (let t = 0; t < total; t += step) { window.testNow += step; window.omnira.turn(); }
}, [ms, TICK]);

async function startLesson(page, title) {
  await page.getByRole('combobox', { name: 'Lesson', exact: true }).selectOption({ label: title });
  await button(page, 'Start lesson').click();
  await panel(page).waitFor();
}

test('a lesson through Hint, Show me, Skip and the student\'s keys, then Leave', async () => {
  const page = await openPage(browser);
  await takeClock(page);
  await startLesson(page, 'Reading the run screen');
  assert.equal(await page.locator('#lesson-title').textContent(), 'Reading the run screen');
  await stepIs(page, 'Step 1 of 4');
  const task = await text(page, 'lesson-task');
  assert.match(task, /^This is the digital page/);
  // The task is said once in the live region; the canvas is named by the description.
  assert.match(await text(page, 'lcd-description'), /This is the digital page/);
  assert.notEqual(await page.locator('#lcd').getAttribute('aria-label'), '');
  // The focus is on the LCD's keys: Return pushes the knob and leaves the lesson as it is.
  assert.equal(await page.evaluate(() => document.activeElement.id), 'push');
  await page.keyboard.press('Enter');
  await runUntil(page, () => /key PUSH/.test(new TextDecoder().decode(window.omnira.s.recording())), TICK, 2000);
  assert.equal(await text(page, 'lesson-step'), 'Step 1 of 4');

  // Hint by keyboard: the hint shows and is said, the focus stays in the panel,
  // and nothing below the panel moves.
  const sliders = () => page.locator('#sliders').boundingBox();
  const before = await sliders();
  await button(page, 'Hint').focus();
  await page.keyboard.press('Enter');
  await panel(page).getByText('The knob turns the run screen\'s pages', { exact: false }).waitFor();
  assert.ok(await button(page, 'Hint').isDisabled());
  assert.equal(await page.evaluate(() => !!document.activeElement.closest('#lesson-panel')), true);
  assert.match(await text(page, 'lcd-description'), /The knob turns/);
  assert.deepEqual(await sliders(), before);

  // Show me says what it plays and lights the key it pressed, then the step is done.
  await button(page, 'Show me').click();
  await runUntil(page, () => {
    const seen = (window.seen ??= { showing: [], lit: [] });
    const showing = document.getElementById('lesson-showing').textContent;
    if (showing && !seen.showing.includes(showing)) seen.showing.push(showing);
    if (showing && seen.task === undefined) seen.task = document.getElementById('lesson-task').textContent;
    for (const b of document.querySelectorAll('#front .shown')) if (!seen.lit.includes(b.id)) seen.lit.push(b.id);
    return document.getElementById('lesson-step').textContent === 'Step 2 of 4';
  }, TICK / 2, 10000);
  const seen = await page.evaluate(() => window.seen);
  // Only the step's answers are named, in their order; the hold is long
  // enough to be seen whatever the pace of the page.
  const answers = ['Showing: answer key PLUS', 'Showing: answer hold 0.5'];
  assert.deepEqual(seen.showing, answers.filter((a) => seen.showing.includes(a)));
  assert.ok(seen.showing.includes(answers[1]));
  assert.deepEqual(seen.lit, ['plus']);
  assert.equal(seen.task, task, 'the task stays in view while it is shown');
  assert.equal(await page.locator('#front .shown').count(), 0);
  assert.match(await page.locator('#lesson-well').textContent(), /^TIMERS:/);
  await button(page, 'Skip').click();
  await stepIs(page, 'Step 3 of 4');
  // The student turns the knob down until the digital page shows: their
  // keys go to the instrument and never end the lesson.
  for (let turns = 0; turns < 10; turns++) {
    if (await text(page, 'lesson-step') === 'Step 4 of 4') break;
    await button(page, 'Turn knob down').click();
    await advance(page, 10 * TICK);
  }
  await stepIs(page, 'Step 4 of 4');
  await button(page, 'Leave').click();
  await stepIs(page, 'Lesson left');
  assert.match(await page.locator('#lesson-task').textContent(),
    /^1 of 4 steps done on your own, 0 with a hint, 1 shown, 1 skipped\. Time: \d+:\d\d\.$/);

  // The session holds the lesson's inputs and the student's: lcdshot
  // replays it to the frame shown.
  await button(page, 'Off').click();
  await runUntil(page, () => document.body.dataset.state === 'off', TICK, 5000);
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
  await takeClock(page);
  const titles = await page.locator('#lesson option').allTextContents();
  assert.ok(titles.length >= 6);
  for (const title of titles) {
    await startLesson(page, title);
    const steps = Number((await text(page, 'lesson-step')).split(' of ')[1]);
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
