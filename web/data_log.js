// Open data log: an engine data log (CSV) read in the page, its columns
// offered in a chooser with those found preselected, then converted into a
// scenario by the wasm and played by the page's player.

// The largest log the page reads, as the converter takes it.
const MAX_LOG_BYTES = 32 * 1024 * 1024;
// The chooser's boxes, in the order the converter takes the columns.
const LOG_ROLES = ['time', 'date', 'rpm', 'map', 'temp'];

// The converter's exported functions, with strings read from wasm memory.
function dataLogApi(m) {
  const text = (ptr) => {
    let end = ptr;
    while (m.HEAPU8[end]) end++;
    return new TextDecoder().decode(m.HEAPU8.subarray(ptr, end));
  };
  return {
    // Hands the log over and reads its header; false when there is none.
    read(bytes, name) {
      const room = m._omnira_log_room(bytes.length);
      if (!room) return false;
      m.HEAPU8.set(bytes, room);
      const title = new TextEncoder().encode(name).subarray(0, 255);
      m.HEAPU8.set(title, m._omnira_log_title(title.length));
      return m._omnira_log_header() !== 0;
    },
    headerRow: () => m._omnira_log_header_row(),
    columns() {
      const names = [];
      for (let i = 0; i < m._omnira_log_column_count(); i++) names.push(text(m._omnira_log_column(i)));
      return names;
    },
    found: (role) => m._omnira_log_found(role),
    convert: (chosen, mapUnit, tempUnit) => m._omnira_log_convert(...chosen, mapUnit, tempUnit) !== 0,
    script: () => text(m._omnira_log_script()),
    warnings: () => text(m._omnira_log_warnings()).split('\n').filter(Boolean),
    error: () => text(m._omnira_log_error()),
  };
}

class LogChooser {
  // `api()` gives the converter of the wasm running now; `play(text, source)`
  // plays a scenario; `report(text)` and `showError(message)` show text.
  constructor(api, { play, report, showError }) {
    this.api = api;
    this.play = play;
    this.report = report;
    this.showError = showError;
    this.form = document.getElementById('log-chooser');
    this.file = document.getElementById('log-file');
    this.name = '';
    this.file.addEventListener('change', () => {
      const chosen = this.file.files[0];
      this.file.value = '';
      this.file.blur();
      if (chosen) this.open(chosen);
    });
    this.form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.convert();
    });
    document.getElementById('log-cancel').addEventListener('click', () => { this.form.hidden = true; });
  }

  async open(file) {
    this.form.hidden = true;
    if (file.size > MAX_LOG_BYTES) {
      this.showError(`${file.name} is larger than 32 MB: it is not read as a data log.`);
      return;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    const api = this.api();
    if (!api.read(bytes, file.name)) {
      this.showError(`${file.name} is no data log this reads: ${api.error()}.`);
      return;
    }
    this.name = file.name;
    document.getElementById('log-intro').textContent =
      `Columns of ${file.name} (header on row ${api.headerRow()}):`;
    const names = api.columns();
    LOG_ROLES.forEach((role, i) => {
      const select = document.getElementById(`log-${role}`);
      select.replaceChildren();
      ['(none)', ...names].forEach((name, at) => {
        const option = document.createElement('option');
        option.value = String(at - 1);
        option.textContent = name;
        select.append(option);
      });
      select.value = String(api.found(i));
    });
    this.form.hidden = false;
    document.getElementById('log-play').focus();
  }

  convert() {
    const api = this.api();
    const chosen = LOG_ROLES.map((role) => Number(document.getElementById(`log-${role}`).value));
    const mapUnit = Number(document.getElementById('log-map-unit').value);
    const tempUnit = Number(document.getElementById('log-temp-unit').value);
    if (!api.convert(chosen, mapUnit, tempUnit)) {
      this.showError(`${this.name} gives no scenario: ${api.error()}.`);
      return;
    }
    this.form.hidden = true;
    const warnings = api.warnings();
    if (warnings.length) this.report(warnings.map((w) => `${this.name}: warning: ${w}\n`).join(''));
    this.play(api.script(), `the data log ${this.name}`);
  }
}
