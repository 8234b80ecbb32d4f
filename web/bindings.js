// The window's keyboard and wheel bindings, for the page: one table gives the
// key codes, the Help text and what each KeyboardEvent stands for.

export const KEY_F1 = 1;
export const KEY_F2 = 2;
export const KEY_PUSH = 3;
export const KEY_PLUS = 4;
export const KEY_MINUS = 5;

// codes: KeyboardEvent.code values; chars: KeyboardEvent.key values, for "+"
// and "-" wherever a layout puts them; turn: a focused slider keeps the key.
export const BINDINGS = [
  { key: KEY_F1, codes: ['F1'], chars: [], keys: 'F1', action: 'the F1 key (left bezel key)' },
  { key: KEY_F2, codes: ['F2'], chars: [], keys: 'F2', action: 'the F2 key (right bezel key)' },
  { key: KEY_PUSH, codes: ['Enter', 'NumpadEnter', 'Space'], chars: [],
    keys: 'Return, Enter, Space', action: 'push the knob' },
  { key: KEY_PLUS, codes: ['NumpadAdd', 'ArrowUp'], chars: ['+'], turn: true,
    keys: '+ (main or keypad), Up', action: 'turn the knob one step up' },
  { key: KEY_MINUS, codes: ['NumpadSubtract', 'ArrowDown'], chars: ['-'], turn: true,
    keys: '- (main or keypad), Down', action: 'turn the knob one step down' },
];
export const WHEEL_HELP = { keys: 'Mouse wheel over the bezel', action: 'one knob step per notch, up is +' };

// Controls that Return, Enter and Space activate themselves.
const ACTIVATED = new Set(['BUTTON', 'A', 'SUMMARY', 'SELECT', 'TEXTAREA']);

function keepsPush(element) {
  if (!element) return false;
  if (element.tagName === 'INPUT') return element.type !== 'range';
  return ACTIVATED.has(element.tagName);
}

function keepsTurn(element) {
  return !!element && (element.tagName === 'INPUT' || element.tagName === 'TEXTAREA' ||
    element.tagName === 'SELECT');
}

// The key code a key press stands for, or 0 when the page leaves it to the
// browser: repeats, combinations with Ctrl, Alt or Meta, keys a focused
// control uses itself, and every unbound key.
export function boundKey(event, focused) {
  if (event.repeat || event.ctrlKey || event.altKey || event.metaKey) return 0;
  const binding = BINDINGS.find((b) => b.codes.includes(event.code) || b.chars.includes(event.key));
  if (!binding) return 0;
  if (binding.turn && keepsTurn(focused)) return 0;
  if (binding.key === KEY_PUSH && keepsPush(focused)) return 0;
  return binding.key;
}

// Wheel movement of one notch in each WheelEvent.deltaMode: pixels, lines, pages.
const NOTCH = [100, 3, 1];

// Adds a wheel event to what is left over from earlier ones: one knob step per
// whole notch, up (a negative deltaY) is +. Returns [steps, leftover].
export function wheelSteps(deltaY, deltaMode, leftover) {
  const notch = NOTCH[deltaMode] ?? NOTCH[0];
  const total = leftover - deltaY / notch;
  const steps = Math.trunc(total);
  return [steps, total - steps];
}
