// Keys and the wheel in the page. What a key does where the focus is comes
// from the session's bindings (focused_key); the page only names what the
// focused element is to them.

// Controls that Return, Enter and Space activate themselves.
const ACTIVATED = new Set(['BUTTON', 'A', 'SUMMARY']);

const isSlider = (element) => !!element && element.tagName === 'INPUT' && element.type === 'range';

// A list or a text field, typed in.
const takesTyping = (element) => !!element && (element.tagName === 'SELECT' || element.tagName === 'TEXTAREA' ||
  (element.tagName === 'INPUT' && !['range', 'checkbox', 'button', 'file'].includes(element.type)));

// A slider the keyboard brought the focus to, not a pointer or a finger.
const keyboardSlider = (element) => isSlider(element) && (element.matches?.(':focus-visible') ?? true);

const combined = (event) => event.repeat || event.ctrlKey || event.altKey || event.metaKey;

// The focused element as the bindings tell them apart; `focus` is the
// session's constants.focus.
export function focusKind(element, focus) {
  if (!element) return focus.elsewhere;
  if (isSlider(element)) return keyboardSlider(element) ? focus.slider_keyed : focus.slider_touched;
  if (takesTyping(element)) return element.dataset?.slider ? focus.figure_entry : focus.text;
  return ACTIVATED.has(element.tagName) || element.tagName === 'INPUT' ? focus.button : focus.elsewhere;
}

// What a key press does: { page: 1 or -1 } (Page Up or Down on a slider or
// its entry), { step: 1 or -1 } (+ or - on a slider reached by the keyboard),
// { action } for the session to act on, or null where the page leaves the
// key to the browser: repeats, combinations with Ctrl, Alt or Meta, keys a
// focused control uses itself, and every unbound key. `keyOf(code, key,
// focus)` is the session's focusedKey, `focus` its constants.focus and
// `none` its action number for no action.
export function pageKey(event, focused, keyOf, focus, none) {
  if (combined(event)) return null;
  const d = keyOf(event.code, event.key, focusKind(focused, focus));
  if (d.page) return { page: d.page };
  if (d.step) return { step: d.step };
  return d.action === none ? null : { action: d.action };
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
