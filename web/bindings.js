// Keys and the wheel in the page. Where a key goes comes from the session's
// key table (route_key); the page says only what kind of control has the
// focus, and whether a pointer or the keyboard gave a slider its focus.

// Controls that Return, Enter and Space press themselves.
const PRESSED = new Set(['BUTTON', 'A', 'SUMMARY']);
const TYPED = new Set(['SELECT', 'TEXTAREA']);

// The element a pointer (a mouse or a finger) focused last; any key press
// and any focus it did not give forget it.
let pointerFocused = null;
let pointing = false;
export function trackFocusOrigin(root) {
  root.addEventListener('pointerdown', () => { pointing = true; }, true);
  root.addEventListener('keydown', () => { pointing = false; }, true);
  root.addEventListener('focusin', (event) => {
    pointerFocused = pointing ? event.target : null;
    pointing = false;
  }, true);
}

// The kind of control that has the focus, in the session's key_focus terms;
// `byPointer` says a pointer focused it.
export function focusKind(element, focus, byPointer = element === pointerFocused) {
  if (!element) return focus.none;
  if (element.tagName === 'INPUT') {
    if (element.type === 'range') return byPointer ? focus.slider_pointer : focus.slider_keyboard;
    if (['checkbox', 'button', 'file', 'radio', 'submit'].includes(element.type)) return focus.button;
    return element.dataset?.slider ? focus.slider_entry : focus.typing;
  }
  if (TYPED.has(element.tagName)) return focus.typing;
  return PRESSED.has(element.tagName) ? focus.button : focus.none;
}

const combined = (event) => event.repeat || event.ctrlKey || event.altKey || event.metaKey;

// What a key press does: { page: 1 or -1 } (an engine step of the focused
// slider), { step: 1 or -1 } (a step of it), { action } for the session to
// act on, or null where the page leaves the key to the browser. `s` is the
// session.
export function pageKey(event, focused, s, byPointer) {
  const c = s.constants;
  const route = s.routeKey(event.code, event.key, focusKind(focused, c.focus, byPointer), combined(event));
  if (route.kind === c.route.page) return { page: route.direction };
  if (route.kind === c.route.step) return { step: route.direction };
  if (route.kind === c.route.action) return { action: route.action };
  return null;
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
