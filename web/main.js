// The page: the panel's controls, the power loop on animation frames, the
// timebase, and the script player, over the instrument compiled to wasm.
import { decodeIndexedPng, encodeIndexedPng } from './png.js';
import { BINDINGS, KEY_CODES, MOUSE_HELP, boundKey, wheelSteps } from './bindings.js';
import { Timebase } from './timebase.js';
import { Transport, clockText } from './transport.js';
import { takeTouches } from './slider_touch.js';
import { LessonBoard, lessonApi } from './lessons.js';
import { LcdReader, addFigureEntry, enterFigure, figureApi, showFigure } from './slider_figures.js';

const LCD_WIDTH = 160;
const LCD_HEIGHT = 120;
const LCD_PIXELS = LCD_WIDTH * LCD_HEIGHT;
// The longest script the page takes, from a file or a link, in bytes.
const MAX_SCRIPT_LENGTH = 1 << 20;
// The check before a script plays runs in slices of this many milliseconds
// between frames, CHECK_STEP ticks and passes at a time; its progress shows
// after CHECK_PROGRESS_AFTER milliseconds.
const CHECK_SLICE_MS = 8;
const CHECK_STEP = 500;
const CHECK_PROGRESS_AFTER = 1000;
// The player's states, as the host numbers them.
const PLAYER = { checking: 0, refused: 1, playing: 2, paused: 3, ended: 4, failed: 5 };
// The check's outcomes.
const CHECKING = 0;
const PASSED = 1;
// A timeline sample in wasm memory: RPM int32, MAP and TEMP int16, the units
// and the lamp as bytes.
const SAMPLE_BYTES = 12;
// The front's size in CSS pixels at scale 1 and its largest scale.
const FRONT_WIDTH = 241;
const FRONT_HEIGHT = 300;
const MAX_FRONT_SCALE = 2;

// The sensor sliders, with the window's ranges; each names its handler in the api.
const SLIDERS = [
  { name: 'map', label: 'MAP', min: 1, max: 4096, feeds: 'MAP sensor input' },
  { name: 'rpm', label: 'RPM', min: 1, max: 100000, feeds: 'Engine-speed pulse input' },
  { name: 'temp', label: 'TEMP', min: 0, max: 4096, feeds: 'Temperature sensor input' },
];

const byId = (id) => document.getElementById(id);
const fromBase64 = (packed) => Uint8Array.from(atob(packed), (c) => c.charCodeAt(0));
const decoder = new TextDecoder();
const encoder = new TextEncoder();

// The exported C functions, with strings and arrays read from wasm memory.
function wasmApi(m) {
  const text = (ptr) => {
    let end = ptr;
    while (m.HEAPU8[end]) end++;
    return decoder.decode(m.HEAPU8.subarray(ptr, end));
  };
  return {
    ...figureApi(m),
    frame: () => m.HEAPU8.subarray(m._omnira_frame(), m._omnira_frame() + LCD_PIXELS),
    palette: () => new Uint32Array(m.HEAPU8.buffer, m._omnira_palette(), m._omnira_palette_size()),
    lampRed: () => m._omnira_lamp_red(),
    powerOffRequest: () => m._omnira_power_off_request() !== 0,
    on: () => m._omnira_on(),
    off: () => m._omnira_off(),
    key: (code) => m._omnira_key(code),
    rpm: (v) => m._omnira_rpm(v),
    map: (v) => m._omnira_map(v),
    temp: (v) => m._omnira_temp(v),
    exio: (checked) => m._omnira_exio(checked ? 1 : 0),
    engineTimers: (on) => m._omnira_engine_timers(on ? 1 : 0),
    pass: () => m._omnira_pass(),
    tick: (on) => m._omnira_tick(on ? 1 : 0),
    session: () => text(m._omnira_session()),
    golden(name, indices) {
      const bytes = encoder.encode(name);
      m.HEAPU8.set(bytes, m._omnira_text(bytes.length));
      const room = m._omnira_frame_room();
      m.HEAPU8.set(indices, room);
      m._omnira_golden(room);
    },
    // The player: the script read (one copy kept in wasm), checked in slices,
    // then played from real time.
    load(script) {
      const bytes = encoder.encode(script);
      m.HEAPU8.set(bytes, m._omnira_text(bytes.length));
      return m._omnira_player_load() !== 0;
    },
    check: (budget) => m._omnira_player_check(budget),
    progress: () => m._omnira_player_progress(),
    run: (ms, now) => m._omnira_player_run(ms, now),
    noteShown: (now) => text(m._omnira_note_shown(now)),
    notesListed: () => m._omnira_notes_listed(),
    note: (i) => text(m._omnira_note(i)),
    pause: () => m._omnira_player_pause(),
    resume: () => m._omnira_player_resume(),
    step: () => m._omnira_player_step(),
    restart: () => m._omnira_player_restart(),
    seek: (tick) => m._omnira_player_seek(tick),
    speed: (n) => m._omnira_player_speed(n),
    status: () => m._omnira_player_status(),
    dataLog: dataLogApi(m),
    position: () => m._omnira_player_position(),
    timeline() {
      const length = m._omnira_player_length();
      const data = new DataView(m.HEAPU8.buffer, m._omnira_player_timeline(), (length + 1) * SAMPLE_BYTES);
      const samples = { rpm: [], map: [], temp: [], lamp: [] };
      for (let i = 0, at = 0; i <= length; i++, at += SAMPLE_BYTES) {
        samples.rpm.push(data.getInt32(at, true));
        samples.map.push(data.getInt16(at + 4, true));
        samples.temp.push(data.getInt16(at + 6, true));
        samples.lamp.push(data.getUint8(at + 10));
      }
      const notes = [];
      for (let i = 0; i < m._omnira_player_note_count(); i++)
        notes.push({ tick: m._omnira_player_note_tick(i), text: text(m._omnira_player_note_text(i)) });
      return { samples, notes };
    },
    sample() {
      const data = new DataView(m.HEAPU8.buffer, m._omnira_sample(), SAMPLE_BYTES);
      return { rpm: data.getInt32(0, true), map: data.getInt16(4, true), temp: data.getInt16(6, true), lamp: data.getUint8(10) };
    },
    error: () => text(m._omnira_player_error()),
    checkError: () => text(m._omnira_check_error()),
    log: () => text(m._omnira_script_log()),
    panel() {
      const p = new Int32Array(m.HEAPU8.buffer, m._omnira_panel(), 6);
      return { rpm: p[0], map: p[1], temp: p[2], exio: !!p[3], running: !!p[4], engineTimers: !!p[5] };
    },
    stop: () => m._omnira_player_stop(),
    lesson: lessonApi(m, text),
  };
}

// Paints palette indices into the 160 x 120 canvas, one canvas pixel each.
class LcdCanvas {
  constructor(canvas, palette) {
    this.context = canvas.getContext('2d');
    this.image = this.context.createImageData(LCD_WIDTH, LCD_HEIGHT);
    this.pixels = new Uint32Array(this.image.data.buffer);
    // ImageData is RGBA in memory: opaque ABGR as a little-endian word.
    this.colours = new Uint32Array(256).fill(0xff000000);
    palette.forEach((c, i) => {
      this.colours[i] = (0xff000000 | ((c & 0xff) << 16) | (c & 0xff00) | ((c >>> 16) & 0xff)) >>> 0;
    });
  }

  paint(frame) {
    for (let i = 0; i < LCD_PIXELS; i++) this.pixels[i] = this.colours[frame[i]];
    this.context.putImageData(this.image, 0, 0);
  }
}

function overBezel(event) {
  const r = byId('bezel').getBoundingClientRect();
  return event.clientX >= r.left && event.clientX < r.right && event.clientY >= r.top &&
    event.clientY < r.bottom;
}

function download(name, bytes, type) {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}

class Page {
  constructor(api) {
    this.api = api;
    this.palette = Array.from(api.palette());
    this.lcd = new LcdCanvas(byId('lcd'), this.palette);
    this.timebase = new Timebase(performance.now());
    this.running = false; // the power loop runs between "On" and "Off"
    this.player = null; // the script being played: {source, text, name, last}
    this.checking = null; // the script being checked before it plays
    this.played = null; // what was played last: {text, name}, for Copy link
    this.frameRequest = 0;
    this.wheelLeftover = 0;
    this.sliders = {};
    for (const { name } of SLIDERS)
      this.sliders[name] = { input: byId(name), value: byId(`${name}-value`), set: api[name] };
    this.positions = {};
    for (const [name, s] of Object.entries(this.sliders)) this.positions[name] = Number(s.input.value);
    this.reader = new LcdReader(byId('lcd-description'), performance.now());
    this.exio = byId('exio');
    this.engineTimers = byId('engine-timers');
    this.lamp = byId('lamp');
    this.library = [];
    this.transport = new Transport(byId('transport'), {
      pauseResume: () => this.pauseResume(),
      step: () => this.playerAction(() => this.api.step()),
      restart: () => this.playerAction(() => this.api.restart()),
      speed: (n) => this.api.speed(n),
      seek: (tick) => this.playerAction(() => this.api.seek(tick)),
    });
    this.timeline = null; // the timeline shown: {samples, notes}, live after a take-over
    this.lessons = new LessonBoard(this);
  }

  // The controls work at once; the scenario library comes in meanwhile, and a
  // page opened with a script in its address stays loading until it is in.
  async start() {
    this.libraryReady = this.loadLibrary();
    this.connect();
    this.showLamp(this.api.lampRed());
    this.showFigures();
    this.lcd.paint(this.api.frame());
    this.scheduleTick();
    for (const element of document.querySelectorAll('.control')) element.disabled = false;
    this.showState();
    this.playFromAddress();
  }

  connect() {
    byId('on').addEventListener('click', () => this.on());
    byId('off').addEventListener('click', () => this.off());
    byId('stop').addEventListener('click', () => this.input(() => {}));
    for (const [id, name] of [['f1', 'F1'], ['f2', 'F2'], ['push', 'PUSH'], ['plus', 'PLUS'], ['minus', 'MINUS']])
      byId(id).addEventListener('click', () => this.key(name));
    for (const [name, s] of Object.entries(this.sliders)) {
      s.input.addEventListener('input', () => this.slide(name));
      takeTouches(s.input);
      byId(`${name}-entry`).addEventListener('keydown', (event) => {
        if (event.key !== 'Enter' || event.repeat) return;
        event.preventDefault();
        const position = enterFigure(this.api, name, this.figuresOn());
        if (position !== null) this.moveSlider(name, position);
      });
    }
    this.exio.addEventListener('change', () => this.input(() => this.api.exio(this.exio.checked)));
    this.engineTimers.addEventListener('change', () =>
      this.input(() => this.api.engineTimers(this.engineTimers.checked)));
    byId('save-lcd').addEventListener('click', () =>
      download('lcd.png', encodeIndexedPng(this.api.frame(), LCD_WIDTH, LCD_HEIGHT, this.palette),
        'image/png'));
    byId('save-session').addEventListener('click', () =>
      download('session.txt', this.api.session(), 'text/plain'));
    byId('play-scenario').addEventListener('click', () => {
      const chosen = this.library[Number(byId('scenario').value)];
      if (chosen) this.play(chosen.text, 'the scenario library', chosen.name);
    });
    const file = byId('script-file');
    file.addEventListener('change', async () => {
      const chosen = file.files[0];
      file.value = '';
      if (chosen)
        this.play(chosen.size > MAX_SCRIPT_LENGTH ? null : await chosen.text(), `the file ${chosen.name}`);
    });
    // A button clicked with the mouse gives the focus back: Return and Space
    // then push the knob instead of pressing it again.
    for (const id of ['on', 'off', 'play-scenario', 'stop', 'copy-link'])
      byId(id).addEventListener('click', (event) => { if (event.detail > 0) event.currentTarget.blur(); });
    file.addEventListener('change', () => file.blur());
    byId('check-cancel').addEventListener('click', () => this.cancelCheck());
    this.logChooser = new LogChooser(() => this.api.dataLog, {
      play: (text, source) => this.play(text, source),
      report: (text) => this.showLog(text),
      showError: (message) => this.showError(message),
    });
    byId('dismiss-error').addEventListener('click', () => this.showError(''));
    byId('link-play').addEventListener('click', () => {
      const offered = this.offered;
      this.offer(null);
      if (offered) this.play(offered, 'a link');
    });
    byId('link-dismiss').addEventListener('click', () => this.offer(null));
    byId('copy-link').addEventListener('click', () => this.copyLink());
    window.addEventListener('hashchange', () => this.playFromAddress());
    // A hidden tab gets no frames: the playback pauses and says so.
    document.addEventListener('visibilitychange', () => {
      if (document.hidden && this.player && this.api.status() === PLAYER.playing) {
        this.api.pause();
        this.player.pausedWhileHidden = true;
      } else if (!document.hidden && this.player?.pausedWhileHidden) {
        this.player.pausedWhileHidden = false;
        this.player.last = performance.now();
        this.player.resumedAt = this.player.last;
        this.api.resume();
      }
    });
    document.addEventListener('keydown', (event) => {
      const does = boundKey(event, document.activeElement);
      if (!does) return;
      event.preventDefault();
      this.keyboard(does, document.activeElement);
    });
    // The wheel over the bezel picture, the LCD and keys included: turned,
    // it turns the knob; clicked, it pushes it.
    const front = byId('front');
    front.addEventListener('wheel', (event) => {
      if (!overBezel(event)) return;
      event.preventDefault();
      const [steps, leftover] = wheelSteps(event.deltaY, event.deltaMode, this.wheelLeftover);
      this.wheelLeftover = leftover;
      for (let i = 0; i < Math.abs(steps); i++) this.key(steps > 0 ? 'PLUS' : 'MINUS');
    }, { passive: false });
    front.addEventListener('pointerdown', (event) => {
      if (event.button !== 1 || !overBezel(event)) return;
      event.preventDefault();
      this.key('PUSH');
    });
  }

  keyboard(does, focused) {
    if (does === 'slider-page-up' || does === 'slider-page-down') {
      const name = focused.dataset.slider ?? focused.id;
      const position = this.api.pagePosition(name, this.positions[name],
        does === 'slider-page-up' ? 1 : -1, this.figuresOn());
      this.moveSlider(name, position);
    } else if (does === 'slider-up' || does === 'slider-down') {
      if (does === 'slider-up') focused.stepUp();
      else focused.stepDown();
      focused.dispatchEvent(new Event('input', { bubbles: true }));
    } else if (does === 'on') {
      this.on();
    } else if (does === 'off') {
      this.off();
    } else if (does === 'exio') {
      this.exio.click();
    } else if (does === 'pause') {
      this.pauseResume();
    } else if (does === 'step') {
      this.playerAction(() => this.api.step());
    } else if (does === 'restart') {
      this.playerAction(() => this.api.restart());
    } else if (does === 'slower' || does === 'faster') {
      const box = byId('speed');
      if (this.player) {
        box.selectedIndex = Math.min(box.length - 1, Math.max(0, box.selectedIndex + (does === 'faster' ? 1 : -1)));
        this.api.speed(Number(box.value));
      }
    } else {
      this.key(does);
    }
  }

  // Every input ends a script that plays: the user takes over from there.
  input(action) {
    if (this.player) this.endPlay();
    action();
  }

  key(name) {
    this.input(() => this.api.key(KEY_CODES[name]));
  }

  off() {
    this.input(() => this.api.off());
  }

  // A slider's handler runs when its position changes, as in the window.
  slide(name) {
    const s = this.sliders[name];
    const position = Number(s.input.value);
    if (position === this.positions[name]) return;
    this.input(() => {
      this.positions[name] = position;
      s.set(position);
      this.showFigures();
    });
  }

  moveSlider(name, position) {
    this.sliders[name].input.value = String(position);
    this.slide(name);
  }

  // On live, or in the script being played: the settings in force are the
  // instrument's own, else the factory ones the next power-on loads.
  figuresOn() {
    return this.player ? this.api.panel().running : this.instrumentOn();
  }

  showFigures() {
    const on = this.figuresOn();
    for (const name of Object.keys(this.sliders)) showFigure(this.api, name, this.positions[name], on);
  }

  // Each frame: the figures, which follow the settings, and the LCD in words.
  showWords() {
    this.showFigures();
    this.reader.update(this.api, this.figuresOn(), performance.now());
  }

  instrumentOn() {
    return this.running && !this.api.powerOffRequest();
  }

  // "On": the power-on, then the loop unless it already runs ("On" while on
  // powers on afresh and the loop goes on).
  on() {
    this.input(() => {
      this.api.on();
      if (this.running) return;
      this.running = true;
      this.showState();
      this.liveFrame(false);
    });
  }

  // One pass of the power loop per animation frame until "Off"; the first
  // pass follows the power-on at once, as in the window.
  liveFrame(catchUp = true) {
    this.frameRequest = 0;
    if (catchUp) this.catchUp();
    if (this.api.powerOffRequest()) {
      this.running = false;
      this.showState();
      return;
    }
    this.showLamp(this.api.pass());
    this.lcd.paint(this.api.frame());
    this.showWords();
    this.frameRequest = requestAnimationFrame(() => this.liveFrame());
  }

  // Ticks due by real time for the live instrument; while a script plays,
  // the player takes real time itself. The live session extends the timeline.
  catchUp() {
    const ticks = this.timebase.due(performance.now());
    if (this.player) return;
    if (this.played) this.showNotes();
    for (let i = 0; i < ticks; i++) {
      this.api.tick(this.instrumentOn());
      if (this.timeline) this.extendTimeline();
    }
  }

  extendTimeline() {
    const sample = this.api.sample();
    for (const field of ['rpm', 'map', 'temp', 'lamp']) this.timeline.samples[field].push(sample[field]);
    this.transport.show({ playing: false, paused: false, position: this.timeline.samples.rpm.length - 1 });
  }

  scheduleTick() {
    setTimeout(() => {
      this.catchUp();
      // Off, no frames run: a description held back is given here.
      if (!this.running && !this.player) this.showWords();
      this.scheduleTick();
    }, this.timebase.untilNext());
  }

  // A link to a bundled scenario plays at once; a link carrying a script is
  // shown first, its title and length, and plays on a click.
  async playFromAddress() {
    const hash = location.hash;
    if (hash.startsWith('#scenario=')) {
      await this.libraryReady;
      const name = decodeURIComponent(hash.slice('#scenario='.length));
      const chosen = this.library.find((s) => s.name === name);
      if (chosen) this.play(chosen.text, 'the scenario library', chosen.name);
      else this.showError(`The link names no scenario of the library: ${name}`);
      return;
    }
    let text;
    try {
      if (hash.startsWith('#s=')) text = await inflateFromLink(hash.slice(3), MAX_SCRIPT_LENGTH);
      else if (hash.startsWith('#script=')) text = decodeURIComponent(hash.slice('#script='.length));
      else return;
    } catch (problem) {
      this.showError(`The link's script cannot be read and plays nothing: ${problem.message}`);
      return;
    }
    if (encoder.encode(text).length > MAX_SCRIPT_LENGTH) {
      this.showError(`The link's script is longer than ${MAX_SCRIPT_LENGTH} bytes (1 MB) and plays nothing.`);
      return;
    }
    this.offer(text);
  }

  // Shows a link's script for the user to play or dismiss (null hides it).
  offer(text) {
    this.offered = text;
    byId('link-offer').hidden = text === null;
    if (text === null) return;
    const lines = text.split('\n').filter((l) => l.trim()).length;
    byId('link-offer-text').textContent = `This link carries a script: "${titleOf(text) || 'untitled'}", ` +
      `${lines} lines, ${encoder.encode(text).length} bytes. Play it?`;
    byId('link-play').focus();
  }

  // The library's scripts for the list, and its goldens to the instrument's
  // side for `expect golden`.
  async loadLibrary() {
    this.library = await scenarioLibrary();
    this.lessons.fill(await scenarioLibrary(LESSON_LIBRARY));
    const list = byId('scenario');
    for (const [i, s] of this.library.entries())
      list.append(Object.assign(document.createElement('option'), { value: i, textContent: s.title }));
    await this.loadGoldens();
  }

  async loadGoldens() {
    for (const [name, packed] of SCENARIO_LIBRARY.goldens) {
      const { width, height, indices } = await decodeIndexedPng(fromBase64(packed));
      if (width === LCD_WIDTH && height === LCD_HEIGHT) this.api.golden(name, indices);
    }
  }

  // The script is read, then checked whole on a copy of the instrument's
  // state in slices between frames, as the window does: the instrument, the
  // panel and the session go on meanwhile, and a script with an error plays
  // nothing and changes nothing. A good one then plays from program start.
  // `source` says where it came from; `name` is a library scenario's.
  async play(text, source, name = null) {
    await this.libraryReady;
    this.cancelCheck();
    if (text === null) {
      this.showError(`The script from ${source} is longer than ${MAX_SCRIPT_LENGTH} bytes (1 MB) and plays nothing.`);
      return;
    }
    if (!this.api.load(text)) {
      this.refuse(source);
      return;
    }
    this.checking = { source, name, text, started: performance.now(), timer: 0 };
    this.checkSlice();
  }

  checkSlice() {
    const c = this.checking;
    if (!c) return;
    const start = performance.now();
    let outcome;
    do outcome = this.api.check(CHECK_STEP);
    while (outcome === CHECKING && performance.now() - start < CHECK_SLICE_MS);
    if (outcome === CHECKING) {
      const progress = byId('checking');
      if (performance.now() - c.started > CHECK_PROGRESS_AFTER) {
        progress.hidden = false;
        byId('check-progress').value = this.api.progress();
      }
      c.timer = setTimeout(() => this.checkSlice(), 0);
      return;
    }
    this.checking = null;
    byId('checking').hidden = true;
    if (outcome === PASSED) this.startPlaying(c);
    else this.refuse(c.source);
  }

  cancelCheck() {
    if (!this.checking) return;
    clearTimeout(this.checking.timer);
    this.checking = null;
    byId('checking').hidden = true;
  }

  refuse(source) {
    this.showError(`The script from ${source} has an error and plays nothing:\n${this.api.checkError()}`);
  }

  // The check left the program at its start: the script plays from there.
  startPlaying({ source, name, text }) {
    cancelAnimationFrame(this.frameRequest);
    this.frameRequest = 0;
    this.running = false;
    this.player = { source, last: performance.now(), pausedWhileHidden: false };
    this.played = { text, name };
    this.timeline = this.api.timeline();
    this.transport.setTimeline(this.timeline.samples, this.timeline.notes);
    byId('speed').value = '1';
    byId('log').textContent = '';
    this.showState();
    this.playFrame();
  }

  pauseResume() {
    if (!this.player) return;
    if (this.api.status() === PLAYER.paused) {
      this.player.last = performance.now();
      this.api.resume();
    } else {
      this.api.pause();
    }
    this.showPlayback();
  }

  // A transport action, then the panel and the frame where it left them.
  playerAction(action) {
    if (!this.player) return;
    action();
    this.player.last = performance.now();
    this.showPlayback();
  }

  playFrame() {
    this.frameRequest = 0;
    const now = performance.now();
    this.api.run(now - this.player.last, now);
    this.player.last = now;
    this.showPlayback();
    const status = this.api.status();
    if (status === PLAYER.ended || status === PLAYER.failed) this.endPlay(status);
    else this.frameRequest = requestAnimationFrame(() => this.playFrame());
  }

  showPlayback() {
    this.showLog(this.api.log());
    this.syncPanel();
    this.showLamp(this.api.lampRed());
    this.lcd.paint(this.api.frame());
    this.showWords();
    const status = this.api.status();
    const paused = status === PLAYER.paused;
    this.transport.show({ playing: true, paused, position: this.api.position() });
    // For a few seconds after a hidden tab came back, the status says why it paused.
    const back = performance.now() - (this.player?.resumedAt ?? -Infinity) < 5000;
    byId('status').textContent = `${paused ? 'Paused' : 'Playing'} at ${clockText(this.api.position())}` +
      (back ? ': playback was paused while the page was hidden, and goes on from there' : '');
    this.showNotes();
  }

  // The note due now beside the LCD, and the notes so far in their list;
  // they stay after the script, until the next one starts.
  showNotes() {
    byId('note').textContent = this.api.noteShown(performance.now());
    const list = byId('notes');
    const count = this.api.notesListed();
    if (count < list.children.length) list.replaceChildren();
    const following = list.scrollTop + list.clientHeight >= list.scrollHeight - 2;
    for (let i = list.children.length; i < count; i++)
      list.append(Object.assign(document.createElement('li'), { textContent: this.api.note(i) }));
    if (following) list.scrollTop = list.scrollHeight;
    byId('note-box').hidden = count === 0;
  }

  // After the last line, or when the user takes over, the instrument runs on
  // live from where the script left it; the session has recorded its steps,
  // and the timeline keeps what was played, going on with the live session.
  endPlay(status) {
    if (status === PLAYER.failed) this.showError(`The script from ${this.player.source} stopped: ${this.api.error()}`);
    const position = this.api.position();
    for (const field of ['rpm', 'map', 'temp', 'lamp']) this.timeline.samples[field].length = position + 1;
    this.timeline.notes = this.timeline.notes.filter((n) => n.tick <= position);
    this.transport.setTimeline(this.timeline.samples, this.timeline.notes);
    this.transport.show({ playing: false, paused: false, position });
    this.api.stop();
    cancelAnimationFrame(this.frameRequest);
    this.frameRequest = 0;
    this.player = null;
    this.running = this.api.panel().running;
    this.showState();
    if (this.running) this.frameRequest = requestAnimationFrame(() => this.liveFrame());
  }

  // A link to what is loaded: the scenario played by its name, a script
  // played, or else the session so far, compressed into the address.
  async copyLink() {
    const base = location.href.split('#')[0];
    let link;
    if (this.played?.name) link = `${base}#scenario=${encodeURIComponent(this.played.name)}`;
    else if (this.played) link = `${base}#s=${await deflateForLink(this.played.text)}`;
    else link = `${base}#s=${await deflateForLink(this.api.session())}`;
    const field = byId('link-text');
    field.value = link;
    field.hidden = false;
    field.select();
    try {
      await navigator.clipboard.writeText(link);
      byId('status').textContent = `Link copied (${link.length} characters).`;
    } catch {
      byId('status').textContent = 'The clipboard is not available here: copy the link from the field.';
    }
  }

  // The wasm stopped (out of memory, or any other abort): the page says so,
  // starts the instrument afresh in a new instance and stays usable.
  async crashed(what) {
    cancelAnimationFrame(this.frameRequest);
    this.frameRequest = 0;
    this.cancelCheck();
    this.player = null;
    this.running = false;
    this.showError(`The instrument's program stopped (${what}). It was started afresh: ` +
      'the session so far is lost.');
    this.api = await this.restartWasm();
    this.libraryReady = this.loadGoldens();
    await this.libraryReady;
    for (const { name } of SLIDERS) this.sliders[name].set = this.api[name];
    for (const { name } of SLIDERS) this.api[name](this.positions[name]);
    this.showLamp(this.api.lampRed());
    this.lcd.paint(this.api.frame());
    this.showState();
  }

  // The controls follow what a lesson played; the loop runs while the lesson
  // has the instrument on.
  followLesson() {
    this.syncPanel();
    if (!this.api.panel().running || this.running) return;
    this.running = true;
    this.showState();
    this.liveFrame(false);
  }

  syncPanel() {
    const p = this.api.panel();
    for (const { name } of SLIDERS) {
      const s = this.sliders[name];
      this.positions[name] = p[name];
      s.input.value = String(p[name]);
    }
    this.exio.checked = p.exio;
    this.engineTimers.checked = p.engineTimers;
  }

  showState() {
    const state = this.player ? 'playing' : this.running ? 'on' : 'off';
    document.body.dataset.state = state;
    byId('stop').hidden = !this.player;
    if (!this.player) byId('status').textContent = state === 'on' ? 'On' : 'Off';
  }

  // Lit, the lamp has a white ring as well as its colour, and says so.
  showLamp(red) {
    this.lamp.style.backgroundColor = `rgb(${red}, 0, 0)`;
    this.lamp.dataset.red = String(red);
    const name = this.api.lampName();
    if (this.lamp.getAttribute('aria-label') !== name) this.lamp.setAttribute('aria-label', name);
    this.lamp.classList.toggle('lit', name.endsWith(': alarm'));
  }

  // An error stays until it is dismissed.
  showError(message) {
    byId('script-error').textContent = message;
    byId('error-box').hidden = !message;
  }

  showLog(text) {
    if (!text) return;
    const log = byId('log');
    log.textContent = (log.textContent + text).slice(-4000);
  }
}

// Each slider with its label, its raw position and figure, and its entry.
function makeSliders(box) {
  for (const s of SLIDERS) {
    const row = document.createElement('div');
    row.className = 'slider';
    const label = document.createElement('label');
    label.htmlFor = s.name;
    label.id = `${s.name}-label`;
    label.textContent = s.label;
    const input = Object.assign(document.createElement('input'), {
      id: s.name, className: 'control', type: 'range', min: s.min, max: s.max, value: s.min,
      disabled: true, title: `${s.feeds}, ${s.min} to ${s.max}`,
    });
    row.append(label, input);
    addFigureEntry(row, s.name, s.label);
    box.append(row);
  }
}

// The scenario library in the page: each script with its title, the text of
// its first line when that is a comment.
function scenarioLibrary(library = SCENARIO_LIBRARY) {
  return Promise.all(library.scripts.map(async ([file, packed]) => {
    const text = decoder.decode(await gunzip(fromBase64(packed)));
    const title = titleOf(text);
    return { file, name: file.replace(/\.txt$/, ''), text, title: title || file };
  }));
}

// A script's title: the text of its first line when that is a comment.
function titleOf(text) {
  const first = text.split('\n', 1)[0].replace(/^\uFEFF/, '').trim();
  return first.startsWith('#') ? first.slice(1).trim() : '';
}

// A script for a link: deflated by the browser's own CompressionStream, in
// base64url.
async function deflateForLink(text) {
  const stream = new Blob([encoder.encode(text)]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
  let out = '';
  for (let i = 0; i < bytes.length; i += 0x8000) out += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(out).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

// A link's script back, refused past `limit` bytes without inflating more.
async function inflateFromLink(packed, limit) {
  if (!/^[A-Za-z0-9_-]*$/.test(packed)) throw new Error('it is not base64url');
  const binary = atob(packed.replace(/-/g, '+').replace(/_/g, '/'));
  const bytes = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
  const parts = [];
  let length = 0;
  try {
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      length += value.length;
      if (length > limit) throw new Error(`it is longer than ${limit} bytes (1 MB)`);
      parts.push(value);
    }
  } catch (problem) {
    reader.cancel().catch(() => {});
    throw problem.message?.startsWith('it is') ? problem : new Error('it is not a compressed script');
  }
  const all = new Uint8Array(length);
  let at = 0;
  for (const part of parts) { all.set(part, at); at += part.length; }
  return new TextDecoder('utf-8', { fatal: false }).decode(all);
}

// The front keeps its proportions and shrinks to fit a narrow or a low
// screen (a phone on its side, a page zoomed in), so that the LCD and its
// keys are seen together.
function fitFront() {
  const width = document.documentElement.clientWidth - 16;
  const height = document.documentElement.clientHeight - 48;
  const scale = Math.max(0.5, Math.min(MAX_FRONT_SCALE, width / FRONT_WIDTH, height / FRONT_HEIGHT));
  const front = byId('front');
  front.style.transform = `scale(${scale})`;
  byId('front-box').style.width = `${FRONT_WIDTH * scale}px`;
  byId('front-box').style.height = `${FRONT_HEIGHT * scale}px`;
}

function showHelp() {
  const list = byId('help-list');
  for (const b of [...BINDINGS, ...MOUSE_HELP].filter((b) => b.keys)) {
    const term = document.createElement('dt');
    term.textContent = b.keys;
    const what = document.createElement('dd');
    what.textContent = b.action;
    list.append(term, what);
  }
}

makeSliders(byId('sliders'));
fitFront();
window.addEventListener('resize', fitFront);
showHelp();
async function gunzip(packed) {
  const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The wasm, gzipped in base64 inside the page (OMNIRA_WASM_GZIP); an abort
// of it goes to the page, which starts a new instance.
gunzip(fromBase64(OMNIRA_WASM_GZIP)).then(async (bytes) => {
  let page = null;
  const instance = async () => wasmApi(await createOmnira({
    wasmBinary: bytes,
    onAbort: (what) => setTimeout(() => page?.crashed(String(what))),
  }));
  page = new Page(await instance());
  page.restartWasm = instance;
  window.omnira = page; // for the console, the tests and the benchmark
  page.start();
});
