// The sensor sliders: each with its label, its raw position and the figure
// the instrument makes of it (from the session), and an entry that takes a
// figure, or a position followed by "raw", for the session to put the
// slider where a script's figure would.
import { takeTouches } from './slider_touch.js';

// The sliders in the window's order, with their labels and what they feed.
const SLIDERS = [
  { name: 'map', label: 'MAP', feeds: 'MAP sensor input' },
  { name: 'rpm', label: 'RPM', feeds: 'Engine-speed pulse input' },
  { name: 'temp', label: 'TEMP', feeds: 'Temperature sensor input' },
];

// The row's reading, entry, unit and message, after its label and slider.
function addFigureEntry(row, name, label) {
  const reading = Object.assign(document.createElement('span'), {
    id: `${name}-value`, className: 'reading',
  });
  reading.setAttribute('role', 'note');
  reading.setAttribute('aria-labelledby', `${name}-label ${name}-value`);
  const entry = Object.assign(document.createElement('input'), {
    id: `${name}-entry`, className: 'control figure-entry', type: 'text', disabled: true,
    autocomplete: 'off', spellcheck: false,
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

const setText = (element, text) => { if (element.textContent !== text) element.textContent = text; };

export class Sliders {
  // `box` takes the rows; `page.s` is the session; `page.afterInput()`
  // draws what an input changed.
  constructor(box, page) {
    this.page = page;
    this.rows = SLIDERS.map(({ name, label, feeds }) => {
      const { id, min, max } = page.s.constants.sliders[name];
      const row = Object.assign(document.createElement('div'), { className: 'slider' });
      const text = Object.assign(document.createElement('label'), { htmlFor: name, id: `${name}-label`, textContent: label });
      const input = Object.assign(document.createElement('input'), {
        id: name, className: 'control', type: 'range', min, max, value: min,
        disabled: true, title: `${feeds}, ${min} to ${max}`,
      });
      row.append(text, input);
      addFigureEntry(row, name, label);
      box.append(row);
      takeTouches(input);
      const act = (action) => { action(page.s); page.afterInput(); };
      input.addEventListener('input', () => act((s) => s.moveSlider(id, Number(input.value))));
      const entry = row.querySelector('.figure-entry');
      const message = row.querySelector('.figure-message');
      entry.addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' || event.repeat) return;
        event.preventDefault();
        act((s) => {
          s.enterFigure(id, entry.value);
          message.textContent = s.entryMessage();
        });
      });
      return { name, id, input, reading: row.querySelector('.reading'), unit: row.querySelector('.unit') };
    });
  }

  // The session's id of the slider a focused element belongs to.
  idOf(element) {
    const name = element.dataset.slider ?? element.id;
    return this.page.s.constants.sliders[name].id;
  }

  // Each frame: the positions, readings and units the session reports.
  draw(panel) {
    const s = this.page.s;
    for (const row of this.rows) {
      const position = String(panel[row.name]);
      if (row.input.value !== position) row.input.value = position;
      setText(row.reading, s.sliderText(row.id));
      setText(row.unit, s.sliderUnit(row.id));
    }
  }
}
