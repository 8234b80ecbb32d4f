// The instructor's view on a desktop and on a phone held either way: the
// LCD, the transport and its timeline on the screen together while a script
// plays, and the timeline kept in its place as notes come and go.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const SCRIPT = 'rpm 30000\nmap 1522\ntemp 2674\non\nhold 2\nnote Warm the engine\nhold 2\nnote Now the run-up\nhold 600\n';
const boxOf = (page, id) => page.evaluate((id) => {
  const r = document.getElementById(id).getBoundingClientRect();
  return { left: r.left, top: r.top, right: r.right, bottom: r.bottom };
}, id);

for (const [width, height] of [[1280, 800], [390, 844], [844, 390]]) {
  test(`at ${width} x ${height} the LCD, the transport and the note are in view; notes do not move the timeline`, async () => {
    const phone = width < 1000;
    const page = await openPage(browser, { viewport: { width, height }, hasTouch: phone, isMobile: phone },
      '#script=' + encodeURIComponent(SCRIPT));
    // The page's clock in the test's hands: it moves a tick a turn.
    const tick = await page.evaluate(() => {
      window.testNow = performance.now();
      window.omnira.clock = () => window.testNow;
      return window.omnira.s.constants.tick_ms;
    });
    const turnUntil = async (shown) => {
      for (let i = 0; i < 600 && !(await page.evaluate(shown)); i++)
        await page.evaluate((step) => { window.testNow += step; window.omnira.turn(); }, tick);
      assert.ok(await page.evaluate(shown), String(shown));
    };
    await page.getByRole('button', { name: 'Play', exact: true }).click();
    await turnUntil(() => document.body.dataset.state === 'playing');
    const before = await boxOf(page, 'timeline');
    await turnUntil(() => document.getElementById('note').textContent === 'Warm the engine');
    assert.deepEqual(await boxOf(page, 'timeline'), before, 'the first note leaves the timeline where it was');
    await turnUntil(() => document.getElementById('note').textContent === 'Now the run-up');
    assert.deepEqual(await boxOf(page, 'timeline'), before, 'the next note leaves it too');
    assert.equal(await page.evaluate(() => window.scrollY), 0);
    for (const id of ['lcd', 'transport', 'timeline', 'timeline-legend', 'note']) {
      const box = await boxOf(page, id);
      assert.ok(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height,
        `${id} at ${JSON.stringify(box)} is inside the viewport`);
    }
    await page.context().close();
  });
}
