// Beside each sensor slider: its raw position and the figure the instrument
// makes of it, and an entry that takes a figure (or a position followed by
// "raw") and puts the slider where a script's figure would. And the LCD as
// words for a screen reader, said only when it changes in substance.

const FIGURE_SLIDERS = { rpm: 0, map: 1, temp: 2 };
// Characters of an entry handed to the instrument's reader.
const MAX_ENTRY = 64;
// Milliseconds of the host's announcement ticks.
const ANNOUNCER_TICK_MS = 100;

// The host's figure and description functions in the wasm module.
export function figureApi(m) {
  const read = (ptr) => {
    let end = ptr;
    while (m.HEAPU8[end]) end++;
    return new TextDecoder().decode(m.HEAPU8.subarray(ptr, end));
  };
  const flag = (on) => (on ? 1 : 0);
  return {
    reading: (slider, position, on) =>
      read(m._omnira_slider_reading(FIGURE_SLIDERS[slider], position, flag(on))),
    unit: (slider, on) => read(m._omnira_slider_unit(FIGURE_SLIDERS[slider], flag(on))),
    enterFigure(slider, typed, on) {
      const bytes = new TextEncoder().encode(typed.slice(0, MAX_ENTRY));
      m.HEAPU8.set(bytes, m._omnira_entry_text(bytes.length));
      const position = m._omnira_enter_figure(FIGURE_SLIDERS[slider], flag(on));
      return { position, message: read(m._omnira_entry_message()) };
    },
    pagePosition: (slider, position, direction, on) =>
      m._omnira_page_position(FIGURE_SLIDERS[slider], position, direction, flag(on)),
    announcerTick: (ticks) => m._omnira_announcer_tick(ticks),
    announcement: (on) => read(m._omnira_announcement(flag(on))),
    lampName: () => read(m._omnira_lamp_name()),
  };
}

// The row's reading, entry, unit and message, after its label and slider.
export function addFigureEntry(row, name, label) {
  const reading = Object.assign(document.createElement('span'), {
    id: `${name}-value`, className: 'reading',
  });
  reading.setAttribute('role', 'note');
  reading.setAttribute('aria-labelledby', `${name}-label ${name}-value`);
  const entry = Object.assign(document.createElement('input'), {
    id: `${name}-entry`, className: 'control figure-entry', type: 'text', disabled: true,
    autocomplete: 'off', spellcheck: false, maxLength: MAX_ENTRY,
    title: 'Type a figure in the unit beside it, or a position followed by raw, then Return. ' +
      'Page Up and Page Down move the slider an engine step.',
  });
  entry.dataset.slider = name;
  entry.setAttribute('aria-label', `${label} figure entry`);
  entry.setAttribute('aria-describedby', `${name}-unit ${name}-message`);
  const unit = Object.assign(document.createElement('span'), { id: `${name}-unit`, className: 'unit' });
  const message = Object.assign(document.createElement('span'), {
    id: `${name}-message`, className: 'figure-message',
  });
  const form = Object.assign(document.createElement('div'), { className: 'figure' });
  form.append(entry, unit, message);
  row.append(reading, form);
}

// Shows a slider's reading and unit, changing the page only where they changed.
export function showFigure(api, name, position, on) {
  const reading = document.getElementById(`${name}-value`);
  const text = api.reading(name, position, on);
  if (reading.textContent !== text) reading.textContent = text;
  const unit = document.getElementById(`${name}-unit`);
  const unitText = api.unit(name, on);
  if (unit.textContent !== unitText) unit.textContent = unitText;
}

// Reads a slider's entry: the position the slider goes to, or null when the
// entry is refused. Its warning or refusal is shown beside it as plain text.
export function enterFigure(api, name, on) {
  const entry = document.getElementById(`${name}-entry`);
  const { position, message } = api.enterFigure(name, entry.value, on);
  document.getElementById(`${name}-message`).textContent = message;
  return position < 0 ? null : position;
}

// The LCD for a screen reader: one polite live region, which also names the
// canvas, given the description only when the host says it is due.
export class LcdReader {
  constructor(region, now) {
    this.region = region;
    this.last = now;
  }

  update(api, on, now) {
    const ticks = Math.floor((now - this.last) / ANNOUNCER_TICK_MS);
    if (ticks > 0) {
      api.announcerTick(ticks);
      this.last += ticks * ANNOUNCER_TICK_MS;
    }
    const text = api.announcement(on);
    if (text) this.region.textContent = text;
  }
}
