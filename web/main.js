// The page over the session in the wasm: it forwards input and the time
// that passed on its clock, and draws what the session reports each frame.
import { encodeIndexedPng } from './png.js';
import { pageKey, wheelSteps } from './bindings.js';
import { sessionOf } from './session.js';
import { instantiateOmnira } from './wasm.js';
import { Transport } from './transport.js';
import { NotesList } from './notes_list.js';
import { LessonBoard } from './lessons.js';
import { LogChooser } from './data_log.js';
import { ProfileBoard } from './profiles.js';
import { Sliders } from './sliders.js';
import { deflateForLink, inflateFromLink, percentBytes } from './links.js';

// The front's size in CSS pixels at scale 1 and its largest scale.
const FRONT_WIDTH = 241;
const FRONT_HEIGHT = 300;
const MAX_FRONT_SCALE = 2;
// The bezel's key buttons by the session's key names.
const KEY_BUTTONS = [['f1', 'F1'], ['f2', 'F2'], ['push', 'PUSH'], ['plus', 'PLUS'], ['minus', 'MINUS']];
// Characters of the script log kept on the page.
const LOG_KEPT = 4000;

const byId = (id) => document.getElementById(id);
const setText = (element, text) => { if (element.textContent !== text) element.textContent = text; };

// Paints palette indices into the LCD canvas, one canvas pixel each.
class LcdCanvas {
  constructor(canvas, palette) {
    this.context = canvas.getContext('2d');
    this.image = this.context.createImageData(canvas.width, canvas.height);
    this.pixels = new Uint32Array(this.image.data.buffer);
    // ImageData is RGBA in memory: opaque ABGR as a little-endian word.
    this.colours = new Uint32Array(256).fill(0xff000000);
    palette.forEach((c, i) => {
      this.colours[i] = (0xff000000 | ((c & 0xff) << 16) | (c & 0xff00) | ((c >>> 16) & 0xff)) >>> 0;
    });
  }

  paint(frame) {
    for (let i = 0; i < frame.length; i++) this.pixels[i] = this.colours[frame[i]];
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
  const a = Object.assign(document.createElement('a'), { href: url, download: name });
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 0);
}

class Page {
  // `instance()` makes a new wasm module.
  constructor(module, instance) {
    this.instance = instance;
    this.s = sessionOf(module);
    // The page's one clock, in milliseconds; tests put their own in its place.
    this.clock = () => performance.now();
    this.last = this.clock();
    this.frameRequest = 0;
    this.timer = 0;
    this.checkSince = null; // the clock when the check under way began
    this.offered = null; // a link's script, until Play or Dismiss
    this.offeredProfile = null; // and the profile it carries
    this.wheelLeftover = 0;
    this.palette = this.s.palette();
    this.lcd = new LcdCanvas(byId('lcd'), this.palette);
    this.sliders = new Sliders(byId('sliders'), this);
    this.transport = new Transport(byId('transport'), this);
    this.notes = new NotesList(byId('notes'), (i) => this.s.note(i));
    this.said = []; // texts for the live region at the next draw
    const keys = this.s.constants.keys;
    this.lessons = new LessonBoard(this, KEY_BUTTONS.map(([id, name]) => [keys[name], byId(id)]));
    this.logChooser = new LogChooser(this);
    this.profiles = new ProfileBoard(this, download);
  }

  // The libraries to the session: scripts, course lists and goldens, one
  // run of bytes cut by its index.
  async loadLibrary() {
    const s = this.s;
    const kinds = s.constants.libraries;
    const bytes = omniraParts.library;
    let at = 0;
    const profiles = [];
    for (const [kind, name, length] of OMNIRA_LIBRARY_INDEX) {
      const part = bytes.subarray(at, (at += length));
      if (kind === 'profiles') profiles.push([name, part]);
      else if (kind === 'goldens') s.libraryAddGolden(kinds.scenarios, name, part);
      else if (name === 'course.list') s.librarySetCourse(kinds[kind], part);
      else s.libraryAdd(kinds[kind], name, part);
    }
    const { scenarios, lessons } = kinds;
    byId('scenario').replaceChildren(...s.libraryTitles(scenarios).map((title, i) =>
      Object.assign(document.createElement('option'), { value: i, textContent: title })));
    this.lessons.fill(s.libraryTitles(lessons));
    this.profiles.fill(profiles);
  }

  start() {
    this.connect();
    for (const element of document.querySelectorAll('.control')) element.disabled = false;
    this.profiles.restore();
    this.draw();
    this.schedule();
    this.playFromAddress();
  }

  connect() {
    const act = (action) => () => { action(this.s); this.afterInput(); };
    const keys = this.s.constants.keys;
    byId('on').addEventListener('click', act((s) => s.powerOn()));
    byId('off').addEventListener('click', act((s) => s.powerOff()));
    byId('stop').addEventListener('click', act((s) => s.takeOver()));
    for (const [id, name] of KEY_BUTTONS)
      byId(id).addEventListener('click', act((s) => s.key(keys[name])));
    const exio = byId('exio');
    exio.addEventListener('change', act((s) => s.setExio(exio.checked)));
    const timers = byId('engine-timers');
    timers.addEventListener('change', act((s) => s.setEngineTimers(timers.checked)));
    byId('save-lcd').addEventListener('click', () => {
      const { width, height } = this.s.constants.lcd;
      download('lcd.png', encodeIndexedPng(this.s.frame(), width, height, this.palette), 'image/png');
    });
    byId('save-session').addEventListener('click', () => download('session.txt', this.s.recording(), 'text/plain'));
    byId('play-scenario').addEventListener('click', () => {
      const chosen = byId('scenario').value;
      if (chosen !== '') act((s) => s.playLibrary(s.constants.libraries.scenarios, Number(chosen)))();
    });
    const file = byId('script-file');
    file.addEventListener('change', () => {
      const chosen = file.files[0];
      file.value = '';
      file.blur();
      if (chosen) this.playFile(chosen);
    });
    // A button clicked with the mouse gives the focus back: Return and Space
    // then push the knob instead of pressing it again.
    for (const id of ['on', 'off', 'play-scenario', 'stop', 'copy-link', 'profile-use', 'factory-settings', 'save-profile',
        ...KEY_BUTTONS.map(([key]) => key)])
      byId(id).addEventListener('click', (event) => { if (event.detail > 0) event.currentTarget.blur(); });
    byId('check-cancel').addEventListener('click', act((s) => s.cancelCheck()));
    byId('dismiss-error').addEventListener('click', () => this.showError(''));
    byId('link-play').addEventListener('click', () => {
      const offered = this.offered, profile = this.offeredProfile;
      this.offer(null);
      if (profile) this.profiles.load(profile, 'the link\'s profile');
      if (offered) act((s) => s.playScript(offered, 'a link', 'a link'))();
    });
    byId('link-dismiss').addEventListener('click', () => this.offer(null));
    byId('copy-link').addEventListener('click', () => this.copyLink());
    window.addEventListener('hashchange', () => this.playFromAddress());
    // A hidden tab gets no frames: the session pauses the playback meanwhile.
    document.addEventListener('visibilitychange', act((s) => s.setHidden(document.hidden)));
    document.addEventListener('keydown', (event) => this.keydown(event));
    // The wheel over the bezel picture, the LCD and keys included: turned,
    // it turns the knob; clicked, it pushes it.
    const front = byId('front');
    front.addEventListener('wheel', (event) => {
      if (!overBezel(event)) return;
      event.preventDefault();
      const [steps, leftover] = wheelSteps(event.deltaY, event.deltaMode, this.wheelLeftover);
      this.wheelLeftover = leftover;
      for (let i = 0; i < Math.abs(steps); i++) this.s.key(steps > 0 ? keys.PLUS : keys.MINUS);
      this.afterInput();
    }, { passive: false });
    front.addEventListener('pointerdown', (event) => {
      if (event.button !== 1 || !overBezel(event)) return;
      event.preventDefault();
      act((s) => s.key(keys.PUSH))();
    });
  }

  keydown(event) {
    const focused = document.activeElement;
    const s = this.s;
    const does = pageKey(event, focused, (code, key, focus) => s.focusedKey(code, key, focus),
      s.constants.focus, s.constants.actions.none);
    if (!does) return;
    event.preventDefault();
    if (does.step) {
      if (does.step > 0) focused.stepUp(); else focused.stepDown();
      focused.dispatchEvent(new Event('input', { bubbles: true }));
      return;
    }
    if (does.page) s.pageSlider(this.sliders.idOf(focused), does.page);
    else s.act(does.action);
    this.afterInput();
  }

  // --- The loop: the time that passed to the session, the check's slices,
  // a pass while the live loop runs, then what the session reports.
  turn() {
    const s = this.s;
    const now = this.clock();
    s.elapse(now - this.last);
    this.last = now;
    if (s.checking()) {
      const { check_slice_ms } = s.constants;
      do s.checkSlice(); while (s.checking() && this.clock() - now < check_slice_ms);
    }
    if (s.loopRunning()) s.pass();
    this.draw();
  }

  // Animation frames while the live loop runs, a script plays or is
  // checked; else a timer for the next tick.
  animated() {
    const s = this.s;
    return s.loopRunning() || s.playing() || s.checking();
  }

  schedule() {
    if (this.frameRequest || this.timer) return;
    const next = () => { this.frameRequest = this.timer = 0; this.turn(); this.schedule(); };
    if (this.animated()) this.frameRequest = requestAnimationFrame(next);
    else this.timer = setTimeout(next, this.s.untilNextTick());
  }

  // After an input: a loop waiting on its timer turns at once when the input
  // started it (the first pass follows On at once), else the page is drawn.
  afterInput() {
    if (this.timer && this.animated()) {
      clearTimeout(this.timer);
      this.timer = 0;
      this.turn();
    } else {
      this.draw();
    }
    this.schedule();
  }

  draw() {
    const s = this.s;
    const panel = s.panel();
    this.lcd.paint(s.frame());
    this.sliders.draw(panel);
    byId('exio').checked = !!panel.exio;
    byId('engine-timers').checked = !!panel.engine_timers;
    const red = s.lamp();
    const lamp = byId('lamp');
    if (lamp.dataset.red !== String(red)) {
      lamp.style.backgroundColor = `rgb(${red}, 0, 0)`;
      lamp.dataset.red = String(red);
      lamp.classList.toggle('lit', s.lampBright());
    }
    const lampName = s.lampName();
    if (lamp.getAttribute('aria-label') !== lampName) lamp.setAttribute('aria-label', lampName);
    const lcd = byId('lcd');
    const described = s.description();
    if (lcd.getAttribute('aria-label') !== described) lcd.setAttribute('aria-label', described);
    this.say(s.announcement());
    const playing = s.playing();
    document.body.dataset.state = playing ? 'playing' : s.instrumentOn() ? 'on' : 'off';
    byId('stop').hidden = !playing;
    setText(byId('status'), s.status());
    const alert = s.takeAlert();
    if (alert) this.showError(alert);
    this.report(s.takeLog());
    this.drawNotes();
    this.drawCheck();
    this.transport.draw();
    this.lessons.draw();
    this.profiles.draw();
    if (this.said.length) byId('lcd-description').textContent = this.said.join(' ');
    this.said = [];
  }

  // A text for the page's one polite live region, said at the next draw.
  say(text) {
    if (text) this.said.push(text);
  }

  // The note due now beside the LCD, and the notes so far in their list;
  // they stay after the script, until the next one starts.
  drawNotes() {
    const s = this.s;
    const count = s.notesListed();
    const shown = s.noteShown();
    byId('note-box').hidden = count === 0 && !shown;
    setText(byId('note'), shown);
    this.notes.update(count, s.notesEpoch());
  }

  // The check's progress, once it has taken a while.
  drawCheck() {
    const s = this.s;
    const checking = s.checking();
    if (!checking) this.checkSince = null;
    else if (this.checkSince === null) this.checkSince = this.clock();
    const shown = checking && this.clock() - this.checkSince >= s.constants.check_progress_after_ms;
    byId('checking').hidden = !shown;
    if (shown) byId('check-progress').value = s.checkProgress();
  }

  // A script from a file, as bytes; one larger than the session takes is
  // read only as far as shows that.
  async playFile(file) {
    let bytes;
    try {
      bytes = new Uint8Array(await file.slice(0, this.s.constants.max_script_bytes + 1).arrayBuffer());
    } catch (problem) {
      this.showError(`The file ${this.s.printable(file.name)} cannot be read: ${problem.message}`);
      return;
    }
    this.s.playScript(bytes, file.name, `the file ${file.name}`);
    this.afterInput();
  }

  // A link to a bundled scenario plays at once; a link carrying a script is
  // shown first, its title and length, and plays on a click.
  async playFromAddress() {
    const s = this.s;
    const hash = location.hash;
    try {
      if (hash.startsWith('#scenario=')) {
        const name = percentBytes(hash.slice('#scenario='.length));
        const kind = s.constants.libraries.scenarios;
        const index = s.libraryFind(kind, name);
        if (index < 0) this.showError(`The link names no scenario of the library: ${s.printable(name)}`);
        else s.playLibrary(kind, index);
        this.afterInput();
      } else if (hash.startsWith('#s=')) {
        const [script, profile] = hash.slice(3).split('&p=');
        this.offer(await inflateFromLink(script, s.constants.max_script_bytes),
          profile === undefined ? null : await inflateFromLink(profile, s.constants.max_profile_bytes));
      } else if (hash.startsWith('#script=')) {
        this.offer(percentBytes(hash.slice('#script='.length)));
      }
    } catch (problem) {
      this.showError(`The link cannot be read and plays nothing: ${problem.message}`);
    }
  }

  // Shows a link's script, and the profile it carries, for the user to
  // play or dismiss (null hides it).
  offer(bytes, profile = null) {
    this.offered = bytes;
    this.offeredProfile = profile;
    byId('link-offer').hidden = bytes === null;
    if (bytes === null) return;
    byId('link-offer-text').textContent = this.s.linkOfferText(bytes) + (profile === null ? ''
      : ` It also puts an instrument profile of ${profile.length} bytes in force.`);
    byId('link-play').focus();
  }

  // A link to the session so far and the profile in force, compressed into
  // the address. The field shows it once it is made.
  async copyLink() {
    const profile = this.profiles.bytes ? `&p=${await deflateForLink(this.profiles.bytes)}` : '';
    const link = `${location.href.split('#')[0]}#s=${await deflateForLink(this.s.recording())}${profile}`;
    const field = byId('link-text');
    field.value = link;
    field.hidden = false;
    field.select();
    try {
      await navigator.clipboard.writeText(link);
      this.s.notice(`Link copied (${link.length} characters).`);
    } catch {
      this.s.notice('The clipboard is not available here: copy the link from the field.');
    }
    this.afterInput();
  }

  // The wasm stopped (out of memory, or any other abort): the page says so,
  // starts the instrument afresh in a new instance and stays usable.
  async crashed(what) {
    cancelAnimationFrame(this.frameRequest);
    clearTimeout(this.timer);
    this.frameRequest = this.timer = 0;
    this.s = sessionOf(await this.instance());
    await this.loadLibrary();
    this.showError(`The instrument's program stopped (${what}). It was started afresh: ` +
      'the session so far is lost.');
    this.last = this.clock();
    this.afterInput();
  }

  // An error stays until it is dismissed.
  showError(message) {
    byId('script-error').textContent = message;
    byId('error-box').hidden = !message;
  }

  report(text) {
    if (!text) return;
    const log = byId('log');
    log.textContent = (log.textContent + text).slice(-LOG_KEPT);
  }
}

// The front keeps its proportions and shrinks to fit a narrow or a low
// screen (a phone on its side, a page zoomed in), so that the LCD and its
// keys are seen together.
function fitFront() {
  const width = document.documentElement.clientWidth - 16;
  const height = document.documentElement.clientHeight - 48;
  const scale = Math.max(0.5, Math.min(MAX_FRONT_SCALE, width / FRONT_WIDTH, height / FRONT_HEIGHT));
  byId('front').style.transform = `scale(${scale})`;
  byId('front-box').style.width = `${FRONT_WIDTH * scale}px`;
  byId('front-box').style.height = `${FRONT_HEIGHT * scale}px`;
}

// Help: the session's bindings for the page, a "keys: what" line each.
function showHelp(s) {
  const rows = s.bindingsHelp().split('\n').filter(Boolean).flatMap((line) => {
    const at = line.indexOf(': ');
    return [Object.assign(document.createElement('dt'), { textContent: line.slice(0, at) }),
      Object.assign(document.createElement('dd'), { textContent: line.slice(at + 2) })];
  });
  byId('help-list').replaceChildren(...rows);
}

fitFront();
window.addEventListener('resize', fitFront);
// The wasm, compiling since the page's inline script unpacked it with the
// libraries (omniraParts, from boot.js); an abort of it goes to the page,
// which starts a new instance.
omniraParts.wasm.then(async (module) => {
  let page = null;
  const instance = () => instantiateOmnira(module, (what) => setTimeout(() => page?.crashed(String(what))));
  page = new Page(await instance(), instance);
  window.omnira = page; // for the console, the tests and the benchmark
  showHelp(page.s);
  await page.loadLibrary();
  page.start();
});
