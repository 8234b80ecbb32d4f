// The page's own rules that need no browser: which focused element keeps
// which key (over the session's key table), the wheel's notches, the
// timeline's geometry and keys, and a link's bytes.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { pageKey, wheelSteps } from '../bindings.js';
import { lastAtOrBefore, tickAt, tickForKey } from '../transport.js';
import { percentBytes } from '../links.js';
import { newSession, newModule } from './wasm.mjs';

const s = await newSession();
const { actions } = s.constants;
const button = { tagName: 'BUTTON' };
const range = { tagName: 'INPUT', type: 'range' };
const checkbox = { tagName: 'INPUT', type: 'checkbox' };
const body = { tagName: 'BODY' };
const key = (code, more = {}) => ({ code, key: '', repeat: false, ctrlKey: false, altKey: false, metaKey: false, ...more });
// What the page does with a key: the action's number as the session acts
// on it, 'page+1' and the like, or '' where the browser keeps the key.
const does = (event, focused) => {
  const d = pageKey(event, focused, (code, character, focus) => s.focusedKey(code, character, focus),
    s.constants.focus, actions.none);
  return !d ? '' : d.page ? `page${d.page > 0 ? '+' : '-'}` : d.step ? `step${d.step > 0 ? '+' : '-'}` : d.action;
};
const act = (code, character = '') => s.keyAction(code, character);

test('a focused control keeps what it uses; repeats and combinations go to the browser', () => {
  const cases = [
    [key('F1'), button, act('F1')],
    [key('Space'), body, actions.push],
    [key('Space'), button, ''],
    [key('Enter'), checkbox, ''],
    [key('Enter'), range, actions.push],
    [key('Equal', { key: '+' }), body, actions.plus],
    [key('Minus', { key: '-' }), button, actions.minus],
    [key('ArrowUp'), range, ''],
    [key('NumpadAdd', { key: '+' }), range, 'step+'],
    [key('Minus', { key: '-' }), range, 'step-'],
    [key('KeyA', { key: 'a' }), body, ''],
    [key('F1', { repeat: true }), body, ''],
    [key('F1', { ctrlKey: true }), body, ''],
    [key('KeyO', { altKey: true }), body, ''],
    [key('KeyO'), { tagName: 'SELECT' }, ''], // typing in the scenario list
    [key('KeyI'), { tagName: 'INPUT', type: 'text' }, ''],
    [key('F2'), { tagName: 'INPUT', type: 'text', dataset: { slider: 'rpm' } }, act('F2')],
    [key('KeyO'), { tagName: 'INPUT', type: 'file' }, act('KeyO')],
    [key('Equal', { key: '+' }), { ...range, matches: () => false }, actions.plus], // a touched slider
    [key('PageUp'), range, 'page+'],
    [key('PageDown'), { tagName: 'INPUT', type: 'text', dataset: { slider: 'rpm' } }, 'page-'],
    [key('PageDown'), { tagName: 'INPUT', type: 'text', dataset: {} }, ''],
    [key('PageUp'), body, ''],
    [key('PageUp', { repeat: true }), range, ''],
  ];
  for (const [event, focused, expected] of cases)
    assert.equal(does(event, focused), expected, `${event.code} on ${focused.tagName}`);
  assert.notEqual(act('F1'), actions.none);
});

test('the wheel: one knob step per whole notch, whatever the unit', () => {
  assert.deepEqual(wheelSteps(-100, 0, 0), [1, 0]);
  assert.deepEqual(wheelSteps(300, 0, 0), [-3, 0]);
  let [steps, rest] = wheelSteps(60, 0, 0);
  assert.ok(steps === 0, "half a notch is no step");
  [steps, rest] = wheelSteps(60, 0, rest);
  assert.equal(steps, -1);
  assert.ok(Math.abs(rest + 0.2) < 1e-9);
  assert.deepEqual(wheelSteps(-3, 1, 0), [1, 0]);
  assert.deepEqual(wheelSteps(1, 2, 0), [-1, 0]);
});

test('the timeline: the tick under the pointer, its keys by the session\'s steps, the note in force', () => {
  assert.deepEqual([[0, 101, 1000], [100, 101, 1000], [50, 101, 1000], [-5, 101, 1000], [500, 101, 1000], [3, 1, 50]]
    .map(([x, w, l]) => tickAt(x, w, l)), [0, 1000, 500, 0, 1000, 0]);
  const steps = { arrow: s.constants.timeline_arrow_ticks, page: s.constants.timeline_page_ticks };
  assert.deepEqual(['ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End', 'KeyA']
    .map((k) => tickForKey(k, 5, 300, steps)), [0, 15, 0, 105, 0, 300, null]);
  const ticks = Float64Array.of(3, 3, 10, 40);
  assert.deepEqual([0, 2, 3, 9, 10, 39, 40, 99].map((t) => lastAtOrBefore(ticks, t)), [-1, -1, 1, 1, 2, 2, 3, 3]);
});

test('a percent-encoded link gives its bytes as they are, and a broken escape is refused', () => {
  assert.deepEqual(Array.from(percentBytes('on%0Anote caf%E9')), [...Buffer.from('on\nnote caf'), 0xe9]);
  assert.deepEqual(Array.from(percentBytes('%E2%80%AE')), [0xe2, 0x80, 0xae]);
  for (const broken of ['%E0%A4%A', '%', '%G0', 'a%2'])
    assert.throws(() => percentBytes(broken), /broken escape/, broken);
});

test('an abort in the wasm (here out of memory) is said once, and a new instance works', async () => {
  const said = [];
  const m = await newModule((what) => said.push(what));
  assert.throws(() => m._omnira_input(0x7fffffff), WebAssembly.RuntimeError);
  assert.throws(() => m._omnira_input(0x7fffffff), WebAssembly.RuntimeError);
  // abort() exits (emscripten 3.1.6) or traps (3.1.69): said once either way.
  assert.equal(said.length, 1, said.join('; '));
  const fresh = await newSession();
  fresh.powerOn();
  assert.ok(fresh.instrumentOn());
});
