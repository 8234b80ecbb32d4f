// A finger on a sensor slider: a sideways drag moves it, an upright swipe
// scrolls the page as it would anywhere else, and a tap puts the slider where
// the finger lands. The browser's own range input takes every touch as a
// drag, so a swipe meant for the page would move the sensor instead.

// CSS pixels a finger moves before its direction is decided.
export const TOUCH_SLOP = 8;

// The position under a point of the slider's box: the thumb's centre runs
// from half a thumb inside one end to half a thumb inside the other.
export function positionAt(x, box, min, max, thumb = 16) {
  const inset = Math.min(thumb / 2, box.width / 4);
  const fraction = (x - box.left - inset) / (box.width - 2 * inset);
  return Math.round(min + Math.min(1, Math.max(0, fraction)) * (max - min));
}

export function takeTouches(input, scrollBy = (dy) => window.scrollBy(0, dy)) {
  let touch = null; // {x, y, lastY, mode: 'undecided' | 'slide' | 'scroll'}
  const slideTo = (x) => {
    const position = positionAt(x, input.getBoundingClientRect(), Number(input.min), Number(input.max));
    if (position === Number(input.value)) return;
    input.value = String(position);
    input.dispatchEvent(new Event('input', { bubbles: true }));
  };
  input.addEventListener('touchstart', (event) => {
    if (event.touches.length !== 1 || input.disabled) return;
    event.preventDefault();
    const { clientX, clientY } = event.touches[0];
    touch = { x: clientX, y: clientY, lastY: clientY, mode: 'undecided' };
  }, { passive: false });
  input.addEventListener('touchmove', (event) => {
    if (!touch) return;
    event.preventDefault();
    const { clientX, clientY } = event.touches[0];
    const dx = clientX - touch.x, dy = clientY - touch.y;
    if (touch.mode === 'undecided' && Math.hypot(dx, dy) >= TOUCH_SLOP)
      touch.mode = Math.abs(dx) > Math.abs(dy) ? 'slide' : 'scroll';
    if (touch.mode === 'slide') slideTo(clientX);
    else if (touch.mode === 'scroll') scrollBy(touch.lastY - clientY);
    touch.lastY = clientY;
  }, { passive: false });
  input.addEventListener('touchend', () => {
    if (touch && touch.mode === 'undecided') {
      input.focus({ preventScroll: true });
      slideTo(touch.x);
    }
    touch = null;
  });
  input.addEventListener('touchcancel', () => { touch = null; });
}
