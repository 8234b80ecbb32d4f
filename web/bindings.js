// Keys and the wheel in the page. What a key does comes from the session's
// bindings (key_action); the page adds only which focused element keeps
// which key for itself.

// Controls that Return, Enter and Space activate themselves.
const ACTIVATED = new Set(['BUTTON', 'A', 'SUMMARY', 'SELECT', 'TEXTAREA']);

function keepsPush(element) {
  if (!element) return false;
  if (element.tagName === 'INPUT') return element.type !== 'range';
  return ACTIVATED.has(element.tagName);
}

const isSlider = (element) => !!element && element.tagName === 'INPUT' && element.type === 'range';

// A list or a text field takes every key itself but the function keys
// (typing "o" in the scenario list picks a scenario, it does not switch the
// instrument off; F1 in a slider's figure entry is the instrument's).
const takesTyping = (element) => !!element && (element.tagName === 'SELECT' || element.tagName === 'TEXTAREA' ||
  (element.tagName === 'INPUT' && !['range', 'checkbox', 'button', 'file'].includes(element.type)));
const functionKey = (event) => /^F\d+$/.test(event.code);

// A slider the keyboard brought the focus to; one a pointer or a finger
// touched leaves + and - to the knob.
const keyboardSlider = (element) => isSlider(element) && (element.matches?.(':focus-visible') ?? true);

const combined = (event) => event.repeat || event.ctrlKey || event.altKey || event.metaKey;

// What a key press does: { page: 1 or -1 } (Page Up or Down on a slider or
// its entry), { step: 1 or -1 } (+ or - on a focused slider), { action } for
// the session to act on, or null where the page leaves the key to the
// browser: repeats, combinations with Ctrl, Alt or Meta, keys a focused
// control uses itself, and every unbound key. `actionOf(code, key)` is the
// session's key_action; `actions` its action numbers.
export function pageKey(event, focused, actionOf, actions) {
  if ((event.code === 'PageUp' || event.code === 'PageDown') && !combined(event) &&
      (isSlider(focused) || !!focused?.dataset?.slider))
    return { page: event.code === 'PageUp' ? 1 : -1 };
  if (combined(event) || (takesTyping(focused) && !functionKey(event))) return null;
  const action = actionOf(event.code, event.key);
  if (action === actions.none) return null;
  if ((action === actions.plus || action === actions.minus) && keyboardSlider(focused)) {
    if (event.code === 'ArrowUp' || event.code === 'ArrowDown') return null;
    return { step: action === actions.plus ? 1 : -1 };
  }
  if (action === actions.push && keepsPush(focused)) return null;
  return { action };
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
