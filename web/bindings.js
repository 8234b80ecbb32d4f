// The window's keyboard and mouse bindings, for the page: one table gives the
// Help text and what each KeyboardEvent stands for.

// Key codes of the bezel keys and the knob, by their names in scripts.
export const KEY_CODES = { F1: 1, F2: 2, PUSH: 3, PLUS: 4, MINUS: 5 };

// does: a key name of KEY_CODES, 'on', 'off' or 'exio'; codes: KeyboardEvent.code
// values; chars: KeyboardEvent.key values, for "+" and "-" wherever a layout
// puts them; turn: a focused slider keeps the arrow and takes + and - itself.
export const BINDINGS = [
  { does: 'F1', codes: ['F1'], chars: [], keys: 'F1', action: 'the F1 key (left bezel key)' },
  { does: 'F2', codes: ['F2'], chars: [], keys: 'F2', action: 'the F2 key (right bezel key)' },
  { does: 'PUSH', codes: ['Enter', 'NumpadEnter', 'Space'], chars: [],
    keys: 'Return, Enter, Space', action: 'push the knob (a focused button or check box takes them itself)' },
  { does: 'PLUS', codes: ['NumpadAdd', 'ArrowUp'], chars: ['+'], turn: true,
    keys: '+ (main or keypad), Up', action: 'turn the knob one step up' },
  { does: 'MINUS', codes: ['NumpadSubtract', 'ArrowDown'], chars: ['-'], turn: true,
    keys: '- (main or keypad), Down', action: 'turn the knob one step down' },
  { does: 'on', codes: ['KeyI'], chars: [], keys: 'I', action: 'On (power on; afresh while on)' },
  { does: 'off', codes: ['KeyO'], chars: [], keys: 'O', action: 'Off' },
  { does: 'exio', codes: ['KeyX'], chars: [], keys: 'X', action: 'check or uncheck EXIO' },
  { does: 'pause', codes: ['KeyP'], chars: [], keys: 'P', action: 'while a script plays: pause or resume it' },
  { does: 'step', codes: ['KeyN'], chars: [], keys: 'N', action: 'while a script is paused: the next tick' },
  { does: 'restart', codes: ['KeyR'], chars: [], keys: 'R', action: 'while a script plays: restart it' },
  { does: 'slower', codes: [], chars: ['['], keys: '[ and ]', action: 'while a script plays: half or twice the speed' },
  { does: 'slider-page', codes: [], chars: [], keys: 'Page Up, Page Down on a slider or its entry',
    action: 'move the slider an engine step: 100 rpm, 1.0 inHg or 10 mB, 5 degrees' },
  { does: 'slider-entry', codes: [], chars: [], keys: "Return in a slider's entry",
    action: 'put the slider where the figure typed shows (a position when followed by raw)' },
  { does: 'faster', codes: [], chars: [']'], keys: '', action: '' },
];
export const MOUSE_HELP = [
  { keys: 'Mouse wheel over the bezel', action: 'one knob step per notch, up is +' },
  { keys: 'Wheel click over the bezel', action: 'push the knob' },
];

// Controls that Return, Enter and Space activate themselves.
const ACTIVATED = new Set(['BUTTON', 'A', 'SUMMARY', 'SELECT', 'TEXTAREA']);

function keepsPush(element) {
  if (!element) return false;
  if (element.tagName === 'INPUT') return element.type !== 'range';
  return ACTIVATED.has(element.tagName);
}

const isSlider = (element) => !!element && element.tagName === 'INPUT' && element.type === 'range';

// A list or a text field takes every key itself (typing "o" in the scenario
// list picks a scenario, it does not switch the instrument off).
const takesTyping = (element) => !!element && (element.tagName === 'SELECT' || element.tagName === 'TEXTAREA' ||
  (element.tagName === 'INPUT' && !['range', 'checkbox', 'button'].includes(element.type)));

// What a key press does: a binding's `does`, 'slider-up' or 'slider-down'
// (+ and - on a focused slider), or '' where the page leaves the key to the
// browser: repeats, combinations with Ctrl, Alt or Meta, keys a focused
// control uses itself, and every unbound key.
export function boundKey(event, focused) {
  const paging = event.code === 'PageUp' || event.code === 'PageDown';
  if (paging && !event.repeat && !event.ctrlKey && !event.altKey && !event.metaKey &&
      (isSlider(focused) || !!focused?.dataset?.slider))
    return event.code === 'PageUp' ? 'slider-page-up' : 'slider-page-down';
  if (event.repeat || event.ctrlKey || event.altKey || event.metaKey || takesTyping(focused)) return '';
  const binding = BINDINGS.find((b) => b.codes.includes(event.code) || b.chars.includes(event.key));
  if (!binding) return '';
  if (binding.turn && isSlider(focused)) {
    if (event.code === 'ArrowUp' || event.code === 'ArrowDown') return '';
    return binding.does === 'PLUS' ? 'slider-up' : 'slider-down';
  }
  if (binding.does === 'PUSH' && keepsPush(focused)) return '';
  return binding.does;
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
