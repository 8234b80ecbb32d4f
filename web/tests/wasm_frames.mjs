// The page's wasm against the native lcdshot: each lcdshot example played
// through the page's session in frames of real time, and a live session
// made through it, give the frames the native lcdshot gives, byte for byte.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, readdirSync } from 'node:fs';
import { join } from 'node:path';
import { ROOT, lcdshotGoldens } from './harness.mjs';
import { newSession } from './wasm.mjs';

const FRAME_MS = 16.7;

// Plays a script as the page does, checked in slices, then in frames of
// real time, and returns the frame of every picture it takes, in order.
function play(s, text) {
  s.playScript(Buffer.from(text), 'script.txt', 'a test');
  while (s.checking()) s.checkSlice();
  assert.equal(s.takeAlert(), '', 'the script passes its check');
  while (s.playing()) s.elapse(FRAME_MS);
  assert.equal(s.takeAlert(), '', 'the script plays to its end');
  const frames = [];
  for (let i = 0; i < s.pictureCount(); i++) frames.push(Buffer.from(s.picture(i)));
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
    const s = await newSession();
    const { text, names } = withGoldens(readFileSync(join(examples, file), 'utf8'));
    assertSameFrames(play(s, text), lcdshotGoldens(text, names), file);
  });
}

// Live inputs as the page forwards them, after a played script: the
// recorded session replays in lcdshot to the page's last frame.
test('a session recorded through the page replays to the same frame', async () => {
  const s = await newSession();
  const { keys, sliders } = s.constants;
  const frames = (n) => { for (let i = 0; i < n; i++) { s.elapse(FRAME_MS); s.pass(); } };
  play(s, 'rpm 30000\nmap 1518\non\npass 3\ntick 2\r\nkey F1\npass\n');
  assert.ok(s.loopRunning(), 'the instrument runs on live after the script');
  s.key(keys.F2); // YES on START FLIGHT?
  frames(5);
  s.moveSlider(sliders.temp.id, 2674);
  s.setExio(true);
  s.setEngineTimers(true);
  frames(700);
  s.moveSlider(sliders.rpm.id, 12000);
  s.powerOn(); // "&On" while on
  s.moveSlider(sliders.map.id, 2400);
  frames(40);
  s.key(keys.PUSH);
  frames(1);
  s.powerOff();
  frames(3);
  const session = Buffer.from(s.recording()).toString('latin1');
  assert.match(session, /^# Omnira session: /);
  const native = lcdshotGoldens(session + 'golden web_final\n', ['web_final']);
  assert.ok(Buffer.from(s.frame()).equals(native.web_final), 'the last frame equals lcdshot\'s');
});
