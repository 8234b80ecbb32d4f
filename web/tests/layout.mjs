// The instructor's view on a desktop and on a phone held either way: the
// LCD, the transport and its timeline on the screen together while a script
// plays, and the transport and timeline kept in their place as notes come
// and go, before the first script and after a seek.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { launch, openPage } from './harness.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser.close(); });

const SCRIPT = 'rpm 30000\nmap 1522\ntemp 2674\non\nhold 2\nnote Warm the engine\nhold 2\nnote Now the run-up\nhold 600\n';
// The first note after a minute, and a long one: a seek past it shows it.
const LATE = 'rpm 30000\nmap 1522\ntemp 2674\non\nhold 600\n' +
  'note A note long enough to take three lines on a phone held upright, and more than that besides\nhold 600\n';
const boxOf = (page, id) => page.evaluate((id) => {
  const r = document.getElementById(id).getBoundingClientRect();
  return { left: r.left, top: r.top, right: r.right, bottom: r.bottom };
}, id);
const boxesOf = async (page, ids) => Object.fromEntries(await Promise.all(ids.map(async (id) => [id, await boxOf(page, id)])));
const STILL = ['status', 'transport', 'timeline', 'restart', 'note', 'sliders'];

const SIZES = [[1280, 800, 1], [1280, 800, 2], [390, 844, 3], [844, 390, 3]];

async function open(width, height, ratio, script) {
  const phone = width < 1000;
  const page = await openPage(browser, { viewport: { width, height }, deviceScaleFactor: ratio, hasTouch: phone, isMobile: phone },
    '#script=' + encodeURIComponent(script));
  // The page's clock in the test's hands: it moves a tick a turn.
  const tick = await page.evaluate(() => {
    window.testNow = performance.now();
    window.omnira.clock = () => window.testNow;
    return window.omnira.s.constants.tick_ms;
  });
  page.turnUntil = async (shown) => {
    for (let i = 0; i < 600 && !(await page.evaluate(shown)); i++)
      await page.evaluate((step) => { window.testNow += step; window.omnira.turn(); }, tick);
    assert.ok(await page.evaluate(shown), String(shown));
  };
  return page;
}

for (const [width, height, ratio] of SIZES) {
  test(`at ${width} x ${height}, ratio ${ratio}, the LCD, the transport and the note are in view; notes do not move the timeline`, async () => {
    const page = await open(width, height, ratio, SCRIPT);
    const offered = await boxesOf(page, STILL);
    await page.getByRole('button', { name: 'Play', exact: true }).click();
    await page.turnUntil(() => document.body.dataset.state === 'playing');
    const before = await boxesOf(page, STILL);
    assert.deepEqual(before, offered, 'the transport and the note keep the room they had before the script');
    await page.turnUntil(() => document.getElementById('note').textContent === 'Warm the engine');
    assert.deepEqual(await boxesOf(page, STILL), before, 'the first note leaves the timeline where it was');
    await page.turnUntil(() => document.getElementById('note').textContent === 'Now the run-up');
    assert.deepEqual(await boxesOf(page, STILL), before, 'the next note leaves it too');
    assert.equal(await page.evaluate(() => window.scrollY), 0);
    for (const id of ['lcd', 'transport', 'timeline', 'timeline-legend', 'note']) {
      const box = await boxOf(page, id);
      assert.ok(box.left >= 0 && box.top >= 0 && box.right <= width && box.bottom <= height,
        `${id} at ${JSON.stringify(box)} is inside the viewport`);
    }
    await page.context().close();
  });
}

for (const [width, height, ratio] of [SIZES[0], SIZES[2]]) {
  test(`at ${width} x ${height} a seek that brings a note moves nothing: a second click seeks again`, async () => {
    const page = await open(width, height, ratio, LATE);
    await page.getByRole('button', { name: 'Play', exact: true }).click();
    await page.turnUntil(() => document.body.dataset.state === 'playing');
    await page.getByRole('button', { name: 'Pause', exact: true }).click();
    await page.turnUntil(() => document.getElementById('pause').textContent === 'Resume');
    const before = await boxesOf(page, STILL);
    assert.equal(await page.locator('#note').textContent(), '');
    const r = await page.locator('#timeline').boundingBox();
    const [x, y] = [r.x + r.width * 0.75, r.y + 4];
    const position = () => page.evaluate(() => Number(document.getElementById('timeline').getAttribute('aria-valuenow')));
    await page.mouse.click(x, y);
    await page.turnUntil(() => document.getElementById('note').textContent !== '');
    assert.deepEqual(await boxesOf(page, STILL), before, 'the note came, nothing moved');
    const length = await page.evaluate(() => Number(document.getElementById('timeline').getAttribute('aria-valuemax')));
    const sought = await position();
    assert.ok(Math.abs(sought - 0.75 * length) < length / 50, `sought to ${sought} of ${length}`);
    await page.mouse.click(x - r.width * 0.5, y);
    await page.turnUntil(() => document.getElementById('note').textContent === '');
    const back = await position();
    assert.ok(Math.abs(back - 0.25 * length) < length / 50, `at ${back}: the second click seeks, it does not restart`);
    assert.deepEqual(await boxesOf(page, STILL), before, 'the note went, nothing moved');
    await page.context().close();
  });
}
