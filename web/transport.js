// The page's playback strip: Pause/Resume, Step, Restart, the speed, and the
// timeline of the script playing (its length and position, the notes as
// marks, the traces of RPM, MAP and TEMP as the instrument showed them, the
// lamp's bright moments shaded). A click or drag on the timeline, or its
// keys, asks to seek; the marks are buttons named by their note.

export const SPEEDS = [1, 2, 4, 8, 16];
// Ticks an arrow key moves the timeline: a second; Page Up and Down: ten.
export const ARROW_TICKS = 10;
export const PAGE_TICKS = 100;

const TRACES = [
  { field: 'rpm', colour: '#006e00', label: 'RPM' },
  { field: 'map', colour: '#0046c8', label: 'MAP' },
  { field: 'temp', colour: '#aa5a00', label: 'TEMP' },
];

// "m:ss" of a count of 100 ms ticks.
export function clockText(ticks) {
  const seconds = Math.floor(ticks / 10);
  return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

// The tick under x in a plot `width` pixels wide showing `length` ticks.
export function tickAt(x, width, length) {
  if (length <= 0 || width <= 1) return 0;
  return Math.min(length, Math.max(0, Math.round((x * length) / (width - 1))));
}

// The tick a timeline key asks for, or null for a key it does not take.
export function tickForKey(key, position, length) {
  const to = {
    ArrowLeft: position - ARROW_TICKS, ArrowRight: position + ARROW_TICKS,
    PageUp: position - PAGE_TICKS, PageDown: position + PAGE_TICKS, Home: 0, End: length,
  }[key];
  return to === undefined ? null : Math.min(length, Math.max(0, to));
}

export class Transport {
  // `root` holds the strip's elements (see index.html); `actions` has
  // pauseResume(), step(), restart(), speed(n) and seek(tick).
  constructor(root, actions) {
    this.root = root;
    this.actions = actions;
    this.samples = null; // {rpm, map, temp, lamp}: typed arrays, one entry a tick
    this.notes = [];
    this.position = 0;
    this.canvas = root.querySelector('#timeline');
    this.marks = root.querySelector('#timeline-marks');
    this.pauseButton = root.querySelector('#pause');
    this.stepButton = root.querySelector('#step');
    this.restartButton = root.querySelector('#restart');
    this.speedBox = root.querySelector('#speed');
    for (const s of SPEEDS)
      this.speedBox.append(Object.assign(document.createElement('option'), { value: s, textContent: `x${s}` }));
    this.pauseButton.addEventListener('click', () => actions.pauseResume());
    this.stepButton.addEventListener('click', () => actions.step());
    this.restartButton.addEventListener('click', () => actions.restart());
    this.speedBox.addEventListener('change', () => actions.speed(Number(this.speedBox.value)));
    const seekAt = (event) => {
      const r = this.canvas.getBoundingClientRect();
      actions.seek(tickAt(event.clientX - r.left, r.width, this.length()));
    };
    this.canvas.addEventListener('pointerdown', (event) => {
      if (!this.samples) return;
      this.canvas.setPointerCapture(event.pointerId);
      seekAt(event);
    });
    this.canvas.addEventListener('pointermove', (event) => {
      if (this.samples && this.canvas.hasPointerCapture(event.pointerId)) seekAt(event);
    });
    this.canvas.addEventListener('keydown', (event) => {
      const tick = this.samples ? tickForKey(event.key, this.position, this.length()) : null;
      if (tick === null) return;
      event.preventDefault();
      event.stopPropagation();
      actions.seek(tick);
    });
    new ResizeObserver(() => this.draw()).observe(this.canvas);
  }

  length() {
    return this.samples ? this.samples.rpm.length - 1 : 0;
  }

  // A new timeline, or null to clear it.
  setTimeline(samples, notes) {
    this.samples = samples;
    this.notes = notes;
    this.position = 0;
    this.marks.replaceChildren(...notes.map((note) => {
      const mark = Object.assign(document.createElement('button'), {
        type: 'button', className: 'mark', title: note.text,
      });
      mark.setAttribute('aria-label', `Note at ${clockText(note.tick)}: ${note.text}`);
      mark.addEventListener('click', () => this.actions.seek(note.tick));
      mark.dataset.tick = String(note.tick);
      return mark;
    }));
    this.draw();
  }

  // The player's state: whether one plays, is paused, its position and speed.
  show({ playing, paused, position, speed }) {
    this.root.hidden = !this.samples;
    this.pauseButton.textContent = paused ? 'Resume' : 'Pause';
    this.pauseButton.disabled = !playing;
    this.stepButton.disabled = !paused;
    this.restartButton.disabled = !playing;
    this.speedBox.disabled = !playing;
    this.canvas.setAttribute('aria-disabled', String(!playing));
    if (speed) this.speedBox.value = String(speed);
    if (position !== this.position) {
      this.position = position;
      this.draw();
    }
  }

  // The note in force at the position, for the description.
  noteAt(tick) {
    let text = '';
    for (const note of this.notes) if (note.tick <= tick) text = note.text;
    return text;
  }

  draw() {
    const canvas = this.canvas;
    const ratio = window.devicePixelRatio || 1;
    const width = canvas.clientWidth;
    const height = canvas.clientHeight;
    if (!width || !height) return;
    canvas.width = Math.round(width * ratio);
    canvas.height = Math.round(height * ratio);
    const g = canvas.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = '#fff';
    g.fillRect(0, 0, width, height);
    const length = this.length();
    const x = (tick) => (length ? (tick * (width - 1)) / length : 0);
    if (this.samples && length > 0) {
      const s = this.samples;
      g.fillStyle = '#ffaaaa';
      for (let i = 0; i <= length;) {
        if (!s.lamp[i]) { i++; continue; }
        const start = i;
        while (i <= length && s.lamp[i]) i++;
        g.fillRect(x(start), 0, Math.max(1, x(i - 1) - x(start)), height);
      }
      for (const { field, colour } of TRACES) {
        const values = s[field];
        let lo = Infinity;
        let hi = -Infinity;
        for (const v of values) { lo = Math.min(lo, v); hi = Math.max(hi, v); }
        if (hi === lo) hi = lo + 1;
        g.strokeStyle = colour;
        g.beginPath();
        for (let c = 0; c < width; c++) {
          const v = values[tickAt(c, width, length)];
          const y = height - 2 - ((v - lo) * (height - 4)) / (hi - lo);
          if (c === 0) g.moveTo(c, y); else g.lineTo(c, y);
        }
        g.stroke();
      }
    }
    g.strokeStyle = '#000';
    g.lineWidth = 2;
    g.beginPath();
    g.moveTo(x(this.position), 0);
    g.lineTo(x(this.position), height);
    g.stroke();
    g.lineWidth = 1;
    for (const mark of this.marks.children)
      mark.style.left = `${(x(Number(mark.dataset.tick)) / width) * 100}%`;
    const note = this.noteAt(this.position);
    this.root.querySelector('#timeline-clock').textContent =
      `${clockText(this.position)} / ${clockText(length)}`;
    canvas.setAttribute('aria-valuenow', String(this.position));
    canvas.setAttribute('aria-valuemax', String(length));
    canvas.setAttribute('aria-valuetext',
      `${clockText(this.position)} of ${clockText(length)}${note ? `; note: ${note}` : ''}`);
  }
}
