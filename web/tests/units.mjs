// The page's rules that need no browser: the timebase's catch-up, the key
// table and the wheel's notches.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { Timebase, MAX_CATCH_UP } from '../timebase.js';
import { boundKey, wheelSteps } from '../bindings.js';
import { clockText, tickAt, tickForKey } from '../transport.js';

test('the timebase turns elapsed time into ticks, carries the rest and caps a long pause', () => {
  const t = new Timebase(1000);
  assert.equal(t.due(1250), 2);
  assert.equal(t.untilNext(), 50);
  assert.equal(t.due(1299), 0);
  assert.equal(t.due(1300), 1);
  assert.equal(t.due(1200), 0); // a clock that steps back gives nothing
  assert.equal(t.due(1200 + 60000 + 30), MAX_CATCH_UP); // a hidden tab for a minute
  assert.equal(t.untilNext(), 70);
  assert.equal(t.due(1200 + 60000 + 100), 1);
});

const button = { tagName: 'BUTTON' };
const range = { tagName: 'INPUT', type: 'range' };
const checkbox = { tagName: 'INPUT', type: 'checkbox' };
const body = { tagName: 'BODY' };
const key = (code, more = {}) => ({ code, key: '', repeat: false, ctrlKey: false, altKey: false, metaKey: false, ...more });

test('keys by code, what a focused control keeps, repeats and combinations', () => {
  const cases = [
    [key('F1'), button, 'F1'],
    [key('F2'), range, 'F2'],
    [key('Space'), body, 'PUSH'],
    [key('NumpadEnter'), body, 'PUSH'],
    [key('Space'), button, ''],
    [key('Enter'), checkbox, ''],
    [key('Enter'), range, 'PUSH'],
    [key('Equal', { key: '+', shiftKey: true }), body, 'PLUS'],
    [key('BracketRight', { key: '+' }), body, 'PLUS'],
    [key('Minus', { key: '-' }), button, 'MINUS'],
    [key('ArrowDown'), body, 'MINUS'],
    [key('ArrowUp'), range, ''],
    [key('NumpadAdd', { key: '+' }), range, 'slider-up'],
    [key('Minus', { key: '-' }), range, 'slider-down'],
    [key('KeyI'), body, 'on'],
    [key('KeyO'), body, 'off'],
    [key('KeyX'), body, 'exio'],
    [key('KeyA', { key: 'a' }), body, ''],
    [key('F1', { repeat: true }), body, ''],
    [key('F1', { ctrlKey: true }), body, ''],
    [key('KeyO', { altKey: true }), body, ''],
    [key('ArrowUp', { metaKey: true }), body, ''],
    [key('KeyP'), body, 'pause'],
    [key('KeyN'), button, 'step'],
    [key('BracketLeft', { key: '[' }), body, 'slower'],
    [key('BracketRight', { key: ']' }), body, 'faster'],
    [key('KeyO'), { tagName: 'SELECT' }, ''], // typing in the scenario list
    [key('KeyI'), { tagName: 'INPUT', type: 'text' }, ''],
    [key('PageUp'), range, 'slider-page-up'],
    [key('PageDown'), { tagName: 'INPUT', type: 'text', dataset: { slider: 'rpm' } }, 'slider-page-down'],
    [key('PageDown'), { tagName: 'INPUT', type: 'text', dataset: {} }, ''],
    [key('PageUp'), body, ''],
    [key('PageUp', { repeat: true }), range, ''],
  ];
  for (const [event, focused, does] of cases)
    assert.equal(boundKey(event, focused), does, `${event.code} on ${focused.tagName}`);
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

test('the timeline: clock text, the tick under the pointer, and its keys', () => {
  assert.deepEqual([0, 9, 10, 599, 600, 36000].map(clockText), ['0:00', '0:00', '0:01', '0:59', '1:00', '60:00']);
  assert.deepEqual([[0, 101, 1000], [100, 101, 1000], [50, 101, 1000], [-5, 101, 1000], [500, 101, 1000], [3, 1, 50]]
    .map(([x, w, l]) => tickAt(x, w, l)), [0, 1000, 500, 0, 1000, 0]);
  assert.deepEqual(['ArrowLeft', 'ArrowRight', 'PageUp', 'PageDown', 'Home', 'End', 'KeyA']
    .map((k) => tickForKey(k, 5, 300)), [0, 15, 0, 105, 0, 300, null]);
});
