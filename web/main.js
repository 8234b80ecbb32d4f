// The page: the panel's controls, the power loop on animation frames, the
// timebase, and the script player, over the instrument compiled to wasm.
import { decodeIndexedPng, encodeIndexedPng } from './png.js';
import { BINDINGS, KEY_CODES, MOUSE_HELP, boundKey, wheelSteps } from './bindings.js';
import { MAX_CATCH_UP, Timebase } from './timebase.js';

const LCD_WIDTH = 160;
const LCD_HEIGHT = 120;
const LCD_PIXELS = LCD_WIDTH * LCD_HEIGHT;
// A script's passes run in batches of at most this many per animation frame.
const PASSES_PER_FRAME = 500;
// The longest script the page takes, from a file or a link.
const MAX_SCRIPT_LENGTH = 1 << 20;
// Steps of the script player, as the interpreter numbers them.
const STEP_TICK = 0;
const STEP_PASS = 1;
const STEP_FAILED = 3;
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
    load(script) {
      const bytes = encoder.encode(script);
      m.HEAPU8.set(bytes, m._omnira_text(bytes.length));
      return m._omnira_script_load() !== 0;
    },
    advance: () => m._omnira_script_advance(),
    scriptTick: () => m._omnira_script_tick(),
    scriptPass: () => m._omnira_script_pass(),
    line: () => m._omnira_script_line(),
    error: () => text(m._omnira_script_error()),
    caption: () => text(m._omnira_script_caption()),
    errorLine: () => m._omnira_script_error_line(),
    log: () => text(m._omnira_script_log()),
    panel() {
      const p = new Int32Array(m.HEAPU8.buffer, m._omnira_panel(), 6);
      return { rpm: p[0], map: p[1], temp: p[2], exio: !!p[3], running: !!p[4], engineTimers: !!p[5] };
    },
    stop: () => m._omnira_script_stop(),
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
    this.player = null; // the script being played
    this.frameRequest = 0;
    this.wheelLeftover = 0;
    this.sliders = {};
    for (const { name } of SLIDERS)
      this.sliders[name] = { input: byId(name), value: byId(`${name}-value`), set: api[name] };
    this.positions = {};
    for (const [name, s] of Object.entries(this.sliders)) {
      this.positions[name] = Number(s.input.value);
      s.value.textContent = s.input.value;
    }
    this.exio = byId('exio');
    this.engineTimers = byId('engine-timers');
    this.lamp = byId('lamp');
    this.library = [];
  }

  // The controls work at once; the scenario library comes in meanwhile, and a
  // page opened with a script in its address stays loading until it is in.
  async start() {
    this.libraryReady = this.loadLibrary();
    if (location.hash.startsWith('#script=')) await this.libraryReady;
    this.connect();
    this.showLamp(this.api.lampRed());
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
    for (const [name, s] of Object.entries(this.sliders))
      s.input.addEventListener('input', () => this.slide(name));
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
      if (chosen) this.play(chosen.text);
    });
    const file = byId('script-file');
    file.addEventListener('change', async () => {
      const chosen = file.files[0];
      file.value = '';
      if (chosen) this.play(chosen.size > MAX_SCRIPT_LENGTH ? null : await chosen.text());
    });
    window.addEventListener('hashchange', () => this.playFromAddress());
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
    if (does === 'slider-up' || does === 'slider-down') {
      if (does === 'slider-up') focused.stepUp();
      else focused.stepDown();
      focused.dispatchEvent(new Event('input', { bubbles: true }));
    } else if (does === 'on') {
      this.on();
    } else if (does === 'off') {
      this.off();
    } else if (does === 'exio') {
      this.exio.click();
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
      s.value.textContent = String(position);
      s.set(position);
    });
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
    this.frameRequest = requestAnimationFrame(() => this.liveFrame());
  }

  // Ticks due by real time: the instrument's while live, the script's while
  // one plays (they wait there until the script asks for them).
  catchUp() {
    const ticks = this.timebase.due(performance.now());
    if (this.player) {
      this.player.due = Math.min(this.player.due + ticks, MAX_CATCH_UP);
      return;
    }
    for (let i = 0; i < ticks; i++) this.api.tick(this.instrumentOn());
  }

  scheduleTick() {
    setTimeout(() => {
      this.catchUp();
      this.scheduleTick();
    }, this.timebase.untilNext());
  }

  playFromAddress() {
    const hash = location.hash;
    if (!hash.startsWith('#script=')) return;
    let text;
    try {
      text = decodeURIComponent(hash.slice('#script='.length));
    } catch {
      this.showError("The link's script is not valid percent-encoding.");
      return;
    }
    this.play(text.length > MAX_SCRIPT_LENGTH ? null : text);
  }

  // The library's scripts for the list, and its goldens to the instrument's
  // side for `expect golden`.
  async loadLibrary() {
    this.library = await scenarioLibrary();
    const list = byId('scenario');
    for (const [i, s] of this.library.entries())
      list.append(Object.assign(document.createElement('option'), { value: i, textContent: s.title }));
    for (const [name, packed] of SCENARIO_LIBRARY.goldens) {
      const { width, height, indices } = await decodeIndexedPng(fromBase64(packed));
      if (width === LCD_WIDTH && height === LCD_HEIGHT) this.api.golden(name, indices);
    }
  }

  // The script is rehearsed first, as the window does: either way the
  // instrument starts afresh; a good script then plays one step at a time, a
  // bad one plays nothing. A new script ends the one playing. Scripts wait
  // for the library's goldens.
  async play(text) {
    await this.libraryReady;
    if (text === null) {
      this.showError(`The script is longer than ${MAX_SCRIPT_LENGTH} characters.`);
      return;
    }
    if (this.player) this.api.stop();
    cancelAnimationFrame(this.frameRequest);
    this.frameRequest = 0;
    this.player = null;
    this.running = false;
    byId('log').textContent = '';
    if (!this.api.load(text)) {
      this.showError(this.api.error());
      this.syncPanel();
      this.showLamp(this.api.lampRed());
      this.lcd.paint(this.api.frame());
      this.showState();
      return;
    }
    this.showError('');
    this.player = { due: 0, pending: null };
    this.showState();
    this.playFrame();
  }

  playFrame() {
    this.frameRequest = 0;
    this.catchUp();
    const p = this.player;
    let passes = 0;
    let step;
    for (;;) {
      step = p.pending ?? this.api.advance();
      p.pending = null;
      if (step === STEP_PASS && passes < PASSES_PER_FRAME) {
        this.api.scriptPass();
        passes++;
      } else if (step === STEP_TICK && p.due > 0) {
        this.api.scriptTick();
        p.due--;
      } else {
        break;
      }
    }
    this.showLog(this.api.log());
    this.syncPanel();
    this.showLamp(this.api.lampRed());
    this.lcd.paint(this.api.frame());
    if (step === STEP_PASS || step === STEP_TICK) {
      p.pending = step;
      const caption = this.api.caption();
      byId('status').textContent = `Playing line ${this.api.line()}${caption ? `: ${caption}` : ''}`;
      this.frameRequest = requestAnimationFrame(() => this.playFrame());
    } else {
      this.endPlay(step);
    }
  }

  // After the last line, or when the user takes over, the instrument runs on
  // live from where the script left it; the session has recorded its steps.
  endPlay(step) {
    if (step === STEP_FAILED) this.showError(this.api.error());
    this.api.stop();
    cancelAnimationFrame(this.frameRequest);
    this.frameRequest = 0;
    this.player = null;
    this.running = this.api.panel().running;
    this.showState();
    if (this.running) this.frameRequest = requestAnimationFrame(() => this.liveFrame());
  }

  syncPanel() {
    const p = this.api.panel();
    for (const { name } of SLIDERS) {
      const s = this.sliders[name];
      this.positions[name] = p[name];
      s.input.value = String(p[name]);
      s.value.textContent = String(p[name]);
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

  showLamp(red) {
    this.lamp.style.backgroundColor = `rgb(${red}, 0, 0)`;
    this.lamp.dataset.red = String(red);
  }

  showError(message) {
    byId('script-error').textContent = message;
  }

  showLog(text) {
    if (!text) return;
    const log = byId('log');
    log.textContent = (log.textContent + text).slice(-4000);
  }
}

// Each slider with its label and its raw position beside it.
function makeSliders(box) {
  for (const s of SLIDERS) {
    const row = document.createElement('div');
    row.className = 'slider';
    const label = document.createElement('label');
    label.htmlFor = s.name;
    label.textContent = s.label;
    const input = Object.assign(document.createElement('input'), {
      id: s.name, className: 'control', type: 'range', min: s.min, max: s.max, value: s.min,
      disabled: true, title: `${s.feeds}, ${s.min} to ${s.max}`,
    });
    const position = Object.assign(document.createElement('output'), { id: `${s.name}-value` });
    row.append(label, input, position);
    box.append(row);
  }
}

// The scenario library in the page: each script with its title, the text of
// its first line when that is a comment.
function scenarioLibrary() {
  return Promise.all(SCENARIO_LIBRARY.scripts.map(async ([file, packed]) => {
    const text = decoder.decode(await gunzip(fromBase64(packed)));
    const first = text.split('\n', 1)[0].replace(/^\uFEFF/, '').trim();
    const title = first.startsWith('#') ? first.slice(1).trim() : '';
    return { file, text, title: title || file };
  }));
}

// The front keeps its proportions and shrinks to fit a narrow screen.
function fitFront() {
  const room = document.documentElement.clientWidth - 16;
  const scale = Math.max(0.5, Math.min(MAX_FRONT_SCALE, room / FRONT_WIDTH));
  const front = byId('front');
  front.style.transform = `scale(${scale})`;
  byId('front-box').style.width = `${FRONT_WIDTH * scale}px`;
  byId('front-box').style.height = `${FRONT_HEIGHT * scale}px`;
}

function showHelp() {
  const list = byId('help-list');
  for (const b of [...BINDINGS, ...MOUSE_HELP]) {
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

// The wasm, gzipped in base64 inside the page (OMNIRA_WASM_GZIP).
gunzip(fromBase64(OMNIRA_WASM_GZIP)).then((bytes) => createOmnira({ wasmBinary: bytes })).then((m) => {
  const page = new Page(wasmApi(m));
  window.omnira = page; // for the console and the benchmark
  page.start();
});
