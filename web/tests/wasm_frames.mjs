// The wasm build against the native one: each lcdshot example, played step by
// step through the page's exports, and a session recorded through them give
// the frames the native lcdshot gives, byte for byte.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { ROOT, WEB_BUILD, lcdshotGoldens } from './harness.mjs';

const loader = createRequire(import.meta.url)(join(WEB_BUILD, 'web/omnira.js'));
const wasmBinary = readFileSync(join(WEB_BUILD, 'web/omnira.wasm'));
const createOmnira = () => loader({ wasmBinary });
const CHECKING = 0, PASSED = 1;
const PLAYER_PLAYING = 2, PLAYER_ENDED = 4;
const LCD_PIXELS = 160 * 120;

const frameAt = (m, ptr) => Buffer.from(m.HEAPU8.subarray(ptr, ptr + LCD_PIXELS));

function load(m, text) {
  const bytes = new TextEncoder().encode(text);
  m.HEAPU8.set(bytes, m._omnira_text(bytes.length));
  if (m._omnira_player_load() !== 1) return false;
  let outcome;
  while ((outcome = m._omnira_player_check(1000)) === CHECKING);
  return outcome === PASSED;
}

// Plays a script as the page does, in frames of real time, and returns the
// frame of every picture it takes, in order.
function play(m, text) {
  assert.ok(load(m, text), 'the script loads');
  while (m._omnira_player_status() === PLAYER_PLAYING) m._omnira_player_run(16.7);
  assert.equal(m._omnira_player_status(), PLAYER_ENDED, 'the script plays to its end');
  const frames = [];
  for (let i = 0; i < m._omnira_shot_count(); i++) frames.push(frameAt(m, m._omnira_shot(i)));
  m._omnira_player_stop();
  return frames;
}

// The script with every picture as an exact `golden` and one more at its end.
function withGoldens(text) {
  const names = [];
  const lines = text.split('\n').map((line) => {
    const shot = /^(\s*)(shot|golden)\s+(\S+)(.*)$/.exec(line);
    if (!shot) return line;
    names.push(shot[3]);
    return `${shot[1]}golden ${shot[3]}${shot[4]}`;
  });
  names.push('web_final');
  return { text: lines.join('\n') + '\ngolden web_final\n', names };
}

function assertSameFrames(actual, expected, what) {
  for (const [i, name] of Object.keys(expected).entries()) {
    assert.ok(actual[i], `${what}: the page took picture ${name}`);
    assert.ok(actual[i].equals(expected[name]), `${what}: picture ${name} equals lcdshot's`);
  }
  assert.equal(actual.length, Object.keys(expected).length, `${what}: as many pictures as lcdshot`);
}

const examples = join(ROOT, 'lcdshot/examples');
for (const file of readdirSync(examples).filter((f) => f.endsWith('.txt'))) {
  test(`example ${file} plays to lcdshot's frames`, async () => {
    const m = await createOmnira();
    const { text, names } = withGoldens(readFileSync(join(examples, file), 'utf8'));
    assertSameFrames(play(m, text), lcdshotGoldens(text, names), file);
  });
}

// Live inputs as the page makes them, after a played script: the recorded
// session replays in lcdshot to the page's last frame.
test('a session recorded by the page replays to the same frame', async () => {
  const m = await createOmnira();
  play(m, 'rpm 30000\nmap 1518\non\npass 3\ntick 2\r\nkey F1\npass\n');
  m._omnira_key(2); // YES on START FLIGHT?
  for (let i = 0; i < 5; i++) m._omnira_pass();
  m._omnira_tick(1);
  m._omnira_temp(2674);
  m._omnira_exio(1);
  m._omnira_engine_timers(1);
  for (let i = 0; i < 700; i++) {
    m._omnira_tick(1);
    m._omnira_pass();
  }
  m._omnira_rpm(12000);
  m._omnira_on(); // "&On" while on
  m._omnira_map(2400);
  for (let i = 0; i < 40; i++) m._omnira_pass();
  m._omnira_key(3);
  m._omnira_pass();
  m._omnira_off();
  m._omnira_tick(0);
  const start = m._omnira_session();
  const session = new TextDecoder().decode(m.HEAPU8.subarray(start, m.HEAPU8.indexOf(0, start)));
  assert.match(session, /^# Omnira session: /);
  const native = lcdshotGoldens(session + 'golden web_final\n', ['web_final']);
  assert.ok(frameAt(m, m._omnira_frame()).equals(native.web_final), 'the last frame equals lcdshot\'s');
});

test('a script with an error plays nothing and changes nothing', async () => {
  const m = await createOmnira();
  const sessionText = () => {
    const start = m._omnira_session();
    return new TextDecoder().decode(m.HEAPU8.subarray(start, m.HEAPU8.indexOf(0, start)));
  };
  m._omnira_rpm(30000);
  m._omnira_on();
  m._omnira_pass();
  const frame = frameAt(m, m._omnira_frame());
  const session = sessionText();
  assert.equal(load(m, 'on\npass 2\nkey F9\n'), false);
  assert.equal(load(m, 'on\nhold 2\nexpect screen main_menu\n'), false);
  assert.ok(frameAt(m, m._omnira_frame()).equals(frame), 'the frame is as it was');
  assert.equal(sessionText(), session);
  assert.equal(m._omnira_pass(), 255); // the instrument goes on, its alarm lamp lit
});
