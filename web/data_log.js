// Open data log: an engine data log (CSV) handed to the session as bytes,
// its columns and units offered in a chooser as the session found them in
// this log, then converted and played by the session.

export class LogChooser {
  // `page.s` is the session; `page.afterInput()` draws what an input changed;
  // `page.report(text)` adds to the script log.
  constructor(page) {
    this.page = page;
    this.form = document.getElementById('log-chooser');
    this.file = document.getElementById('log-file');
    this.roles = Object.entries(page.s.constants.log_roles);
    this.units = { map: document.getElementById('log-map-unit'), temp: document.getElementById('log-temp-unit') };
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
    document.getElementById('log-cancel').addEventListener('click', () => { this.form.hidden = true; });
  }

  // A log larger than the session takes is read only as far as shows that.
  async open(file) {
    this.form.hidden = true;
    const s = this.page.s;
    const bytes = new Uint8Array(await file.slice(0, s.constants.max_log_bytes + 1).arrayBuffer());
    const opened = s.openLog(bytes, file.name);
    this.page.afterInput();
    if (!opened) return;
    document.getElementById('log-intro').textContent =
      `Columns of ${s.logName()} (header on row ${s.logHeaderRow()}):`;
    const names = s.logColumnNames();
    for (const [role, index] of this.roles) {
      const select = document.getElementById(`log-${role}`);
      select.replaceChildren(...['(none)', ...names].map((name, at) =>
        Object.assign(document.createElement('option'), { value: String(at - 1), textContent: name })));
      select.value = String(s.logColumn(index));
    }
    const units = s.logUnits();
    for (const [box, choices] of Object.entries(s.constants.log_units)) {
      this.units[box].replaceChildren(...choices.map((unit) => Object.assign(document.createElement('option'), {
        value: String(unit), textContent: s.constants.unit_names[unit] || 'as the log says',
      })));
      this.units[box].value = String(units[box]);
    }
    this.form.hidden = false;
    document.getElementById('log-play').focus();
  }

  play() {
    const s = this.page.s;
    for (const [role, index] of this.roles)
      s.setLogColumn(index, Number(document.getElementById(`log-${role}`).value));
    s.setLogUnits(Number(this.units.map.value), Number(this.units.temp.value));
    const played = s.playLog();
    if (played) {
      this.form.hidden = true;
      const name = s.logName();
      this.page.report(s.logWarnings().map((w) => `${name}: warning: ${w}\n`).join(''));
    }
    this.page.afterInput();
  }
}
