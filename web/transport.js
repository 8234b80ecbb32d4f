// The page's playback strip: Pause/Resume, Step, Restart, the speed, and the
// timeline the session reports (its length and position, the traces of RPM,
// MAP and TEMP as the instrument showed them, the lamp's bright moments
// shaded, the notes as marks along the top). A click or drag on the
// timeline, or its keys, asks to seek; a click on a mark seeks to its note.

const TRACES = [
  { field: 'rpm', colour: '#006e00', label: 'RPM' },
  { field: 'map', colour: '#0046c8', label: 'MAP' },
  { field: 'temp', colour: '#aa5a00', label: 'TEMP' },
];
const LAMP_SHADE = '#ffaaaa';
const MARK_COLOUR = '#000';
// The legend under the timeline: each trace, the shading and the marks.
const LEGEND = [...TRACES.map(({ colour, label }) => ({ colour, label, kind: 'trace' })),
  { colour: LAMP_SHADE, label: 'alarm lamp bright', kind: 'shade' },
  { colour: MARK_COLOUR, label: 'a note', kind: 'mark' }];
// The marks' strip along the top, and how near a click takes a mark, in CSS pixels.
const MARK_HEIGHT = 8;
const MARK_REACH = 6;

// The tick under x in a plot `width` pixels wide showing `length` ticks.
export function tickAt(x, width, length) {
  if (length <= 0 || width <= 1) return 0;
  return Math.min(length, Math.max(0, Math.round((x * length) / (width - 1))));
}

// The tick a timeline key asks for, or null for a key it does not take;
// `steps` are the session's ticks for an arrow and a page.
export function tickForKey(key, position, length, { arrow, page }) {
  const to = {
    ArrowLeft: position - arrow, ArrowRight: position + arrow,
    PageUp: position - page, PageDown: position + page, Home: 0, End: length,
  }[key];
  return to === undefined ? null : Math.min(length, Math.max(0, to));
}

// The index of the last of the sorted `ticks` at or before `tick`, or -1.
export function lastAtOrBefore(ticks, tick) {
  let lo = 0, hi = ticks.length;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (ticks[mid] <= tick) lo = mid + 1; else hi = mid;
  }
  return lo - 1;
}

export class Transport {
  // `root` holds the strip's elements (see index.html); `page.s` is the session.
  constructor(root, page) {
    this.root = root;
    this.page = page;
    this.length = 0;
    this.position = -1;
    this.noteTicks = new Float64Array(0);
    this.layer = document.createElement('canvas'); // traces, shading and marks
    this.layerKey = '';
    this.shown = '';
    this.canvas = root.querySelector('#timeline');
    root.querySelector('#timeline-legend').replaceChildren(...LEGEND.map(({ colour, label, kind }) => {
      const swatch = Object.assign(document.createElement('span'), { className: `swatch ${kind}` });
      swatch.style.setProperty('--colour', colour);
      const item = Object.assign(document.createElement('span'), { textContent: label });
      item.prepend(swatch);
      return item;
    }));
    this.pauseButton = root.querySelector('#pause');
    this.stepButton = root.querySelector('#step');
    this.restartButton = root.querySelector('#restart');
    this.speedBox = root.querySelector('#speed');
    const c = page.s.constants;
    this.steps = { arrow: c.timeline_arrow_ticks, page: c.timeline_page_ticks };
    for (const s of c.speeds)
      this.speedBox.append(Object.assign(document.createElement('option'), { value: s, textContent: `x${s}` }));
    const act = (action) => { action(page.s); page.afterInput(); };
    this.pauseButton.addEventListener('click', () => act((s) => s.pauseResume()));
    this.stepButton.addEventListener('click', () => act((s) => s.step()));
    this.restartButton.addEventListener('click', () => act((s) => s.restart()));
    this.speedBox.addEventListener('change', () => act((s) => s.setSpeed(Number(this.speedBox.value))));
    const seek = (tick) => act((s) => s.seek(tick));
    const seekAt = (event, marks) => {
      const r = this.canvas.getBoundingClientRect();
      const x = event.clientX - r.left;
      const tick = tickAt(x, r.width, this.length);
      const near = marks && event.clientY - r.top < MARK_HEIGHT + 2 ? this.markNear(x, r.width) : null;
      seek(near ?? tick);
    };
    this.canvas.addEventListener('pointerdown', (event) => {
      if (!page.s.timelineSeekable()) return;
      this.canvas.setPointerCapture(event.pointerId);
      seekAt(event, true);
    });
    this.canvas.addEventListener('pointermove', (event) => {
      if (page.s.timelineSeekable() && this.canvas.hasPointerCapture(event.pointerId)) seekAt(event, false);
    });
    this.canvas.addEventListener('keydown', (event) => {
      const tick = page.s.timelineSeekable() ? tickForKey(event.key, this.position, this.length, this.steps) : null;
      if (tick === null) return;
      event.preventDefault();
      event.stopPropagation();
      seek(tick);
    });
    new ResizeObserver(() => { this.layerKey = ''; this.draw(); }).observe(this.canvas);
  }

  // The tick of the note whose mark is nearest x, within reach, or null.
  markNear(x, width) {
    const ticks = this.noteTicks;
    if (!ticks.length || this.length <= 0) return null;
    const i = lastAtOrBefore(ticks, tickAt(x, width, this.length));
    let best = null;
    for (const j of [i, i + 1]) {
      if (j < 0 || j >= ticks.length) continue;
      const distance = Math.abs((ticks[j] * (width - 1)) / this.length - x);
      if (distance <= MARK_REACH && (best === null || distance < best.distance)) best = { distance, tick: ticks[j] };
    }
    return best?.tick ?? null;
  }

  // Each frame: the strip as the session reports it.
  draw() {
    const s = this.page.s;
    const { size } = s.timeline();
    this.root.hidden = size === 0;
    if (!size) return;
    const playing = s.playing();
    const paused = s.playerStatus() === s.constants.player.paused;
    const speed = s.speed();
    const shown = `${playing} ${paused} ${speed}`;
    if (shown !== this.shown) {
      this.shown = shown;
      this.pauseButton.textContent = paused ? 'Resume' : 'Pause';
      this.pauseButton.disabled = !playing;
      this.stepButton.disabled = !paused;
      this.restartButton.disabled = !playing;
      this.speedBox.disabled = !playing;
      this.speedBox.value = String(speed);
      this.canvas.setAttribute('aria-disabled', String(!playing));
    }
    const position = s.timelinePosition();
    const fresh = this.refreshLayer(size);
    if (!fresh && position === this.position) return;
    this.position = position;
    this.compose();
  }

  // The traces, shading and marks, drawn again only when the timeline or
  // the canvas changed. True when drawn.
  refreshLayer(size) {
    const s = this.page.s;
    const canvas = this.canvas;
    const ratio = window.devicePixelRatio || 1;
    const width = canvas.clientWidth;
    const height = canvas.clientHeight;
    const notes = s.timelineNoteCount();
    const key = `${size} ${notes} ${width} ${height} ${ratio}`;
    if (key === this.layerKey || !width || !height) return false;
    this.layerKey = key;
    this.length = size - 1;
    if (notes !== this.noteTicks.length) this.noteTicks = s.timelineNoteTicks();
    canvas.width = this.layer.width = Math.round(width * ratio);
    canvas.height = this.layer.height = Math.round(height * ratio);
    const g = this.layer.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = '#fff';
    g.fillRect(0, 0, width, height);
    const length = this.length;
    const x = (tick) => (length ? (tick * (width - 1)) / length : 0);
    const { data } = s.timeline();
    const sample = s.constants.sample;
    const at = (i, field) => {
      const offset = i * sample.bytes + sample[field];
      return field === 'rpm' ? data.getInt32(offset, true) : field === 'lamp' ? data.getUint8(offset)
        : data.getInt16(offset, true);
    };
    if (length > 0) {
      g.fillStyle = LAMP_SHADE;
      for (let i = 0; i <= length;) {
        if (!at(i, 'lamp')) { i++; continue; }
        const start = i;
        while (i <= length && at(i, 'lamp')) i++;
        g.fillRect(x(start), 0, Math.max(1, x(i - 1) - x(start)), height);
      }
      for (const { field, colour } of TRACES) {
        let lo = Infinity, hi = -Infinity;
        for (let i = 0; i <= length; i++) { const v = at(i, field); if (v < lo) lo = v; if (v > hi) hi = v; }
        if (hi === lo) hi = lo + 1;
        g.strokeStyle = colour;
        g.beginPath();
        for (let c = 0; c < width; c++) {
          const y = height - 2 - ((at(tickAt(c, width, length), field) - lo) * (height - MARK_HEIGHT - 4)) / (hi - lo);
          if (c === 0) g.moveTo(c, y); else g.lineTo(c, y);
        }
        g.stroke();
      }
    }
    // One mark per column however many notes share it.
    g.fillStyle = MARK_COLOUR;
    let column = -1;
    for (const tick of this.noteTicks) {
      const c = Math.round(x(tick));
      if (c === column) continue;
      column = c;
      g.beginPath();
      g.moveTo(c - MARK_HEIGHT / 2, 0);
      g.lineTo(c + MARK_HEIGHT / 2, 0);
      g.lineTo(c, MARK_HEIGHT);
      g.fill();
    }
    return true;
  }

  // The layer, the position's line, and the slider's words.
  compose() {
    const s = this.page.s;
    const canvas = this.canvas;
    const width = canvas.clientWidth;
    const height = canvas.clientHeight;
    const ratio = window.devicePixelRatio || 1;
    const g = canvas.getContext('2d');
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.drawImage(this.layer, 0, 0);
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    const length = this.length;
    const x = length ? (this.position * (width - 1)) / length : 0;
    g.strokeStyle = '#000';
    g.lineWidth = 2;
    g.beginPath();
    g.moveTo(x, 0);
    g.lineTo(x, height);
    g.stroke();
    const i = lastAtOrBefore(this.noteTicks, this.position);
    const note = i >= 0 ? s.timelineNoteText(i) : '';
    const now = `${s.clockText(this.position)} / ${s.clockText(length)}`;
    this.root.querySelector('#timeline-clock').textContent = now;
    canvas.setAttribute('aria-valuenow', String(this.position));
    canvas.setAttribute('aria-valuemax', String(length));
    canvas.setAttribute('aria-valuetext',
      `${s.clockText(this.position)} of ${s.clockText(length)}${note ? `; note: ${note}` : ''}`);
  }
}
