// Open data log: an engine data log (CSV) handed to the session as bytes,
// its columns, units, part and profile offered in a chooser as the session
// found them in this log, with every warning of the session's conversion
// listed before it plays; each choice goes to the session, which converts
// again.

export class LogChooser {
  // `page.s` is the session; `page.afterInput()` draws what an input changed;
  // `page.report(text)` adds to the script log.
  constructor(page) {
    this.page = page;
    const el = (id) => document.getElementById(id);
    this.form = el('log-chooser');
    this.file = el('log-file');
    this.roles = Object.entries(page.s.constants.log_roles);
    this.units = { map: el('log-map-unit'), temp: el('log-temp-unit') };
    this.part = { start: el('log-start'), end: el('log-end'), clock: el('log-part-clock') };
    this.profile = el('log-profile');
    el('log-part-help').textContent = page.s.constants.log_part_help;
    this.file.addEventListener('change', () => {
      const chosen = this.file.files[0];
      this.file.value = '';
      this.file.blur();
      if (chosen) this.open(chosen);
    });
    this.form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.play();
    });
    this.form.addEventListener('change', () => this.choose());
    el('log-cancel').addEventListener('click', () => { this.form.hidden = true; });
  }

  // A log larger than the session takes is read only as far as shows that.
  async open(file) {
    this.form.hidden = true;
    const s = this.page.s;
    const bytes = new Uint8Array(await file.slice(0, s.constants.max_log_bytes + 1).arrayBuffer());
    const opened = s.openLog(bytes, file.name);
    this.page.afterInput();
    if (!opened) return;
    const option = (value, textContent) => Object.assign(document.createElement('option'), { value, textContent });
    document.getElementById('log-intro').textContent =
      `Columns of ${s.logName()} (header on row ${s.logHeaderRow()}):`;
    const names = s.logColumnNames();
    for (const [role, index] of this.roles) {
      const select = document.getElementById(`log-${role}`);
      select.replaceChildren(...['(none)', ...names].map((name, at) => option(String(at - 1), name)));
      select.value = String(s.logColumn(index));
    }
    const units = s.logUnits();
    for (const [box, choices] of Object.entries(s.constants.log_units)) {
      this.units[box].replaceChildren(...choices.map((unit) =>
        option(String(unit), s.constants.unit_names[unit] || 'as the log says')));
      this.units[box].value = String(units[box]);
    }
    const part = s.logPart();
    this.part.start.value = part.start;
    this.part.end.value = part.end;
    this.part.clock.value = part.clock ? '1' : '0';
    this.part.clock.disabled = !s.logHasClock();
    this.profile.replaceChildren(...(s.hasProfile() ? [option('1', `Profile: ${s.profileTitle()}`)] : []),
      option('0', 'Factory settings'));
    this.profile.value = s.logUnderProfile() ? '1' : '0';
    this.profile.disabled = !s.hasProfile();
    this.show();
    this.form.hidden = false;
    document.getElementById('log-play').focus();
  }

  // The choices to the session.
  hand() {
    const s = this.page.s;
    for (const [role, index] of this.roles)
      s.setLogColumn(index, Number(document.getElementById(`log-${role}`).value));
    s.setLogUnits(Number(this.units.map.value), Number(this.units.temp.value));
    s.setLogPart(this.part.start.value, this.part.end.value, this.part.clock.value === '1');
    s.setLogUnderProfile(this.profile.value === '1');
  }

  choose() {
    this.hand();
    this.page.s.convertLog();
    this.show();
  }

  // What the session's last conversion plays and warns of, or why nothing plays.
  show() {
    const s = this.page.s;
    const error = s.logError();
    const item = (text) => Object.assign(document.createElement('li'), { textContent: text });
    document.getElementById('log-span').textContent = error ? `Nothing can play: ${error}.` : `Plays ${s.logSpan()}`;
    document.getElementById('log-warnings').replaceChildren(...s.logWarnings().map(item));
    document.getElementById('log-play').disabled = error !== '';
  }

  play() {
    this.hand();
    const s = this.page.s;
    const played = s.playLog();
    if (played) {
      this.form.hidden = true;
      const name = s.logName();
      this.page.report(s.logWarnings().map((w) => `${name}: warning: ${w}\n`).join(''));
    }
    this.page.afterInput();
  }
}
