// The page's instrument profiles: Load profile (a file, as bytes), the
// bundled presets, Factory settings and Save profile, the profile in force
// beside the status, kept in localStorage to be put in force again at the
// next visit, and carried by a link.

const STORED = 'omnira.profile';

const toBase64 = (bytes) => btoa(Array.from(bytes, (b) => String.fromCharCode(b)).join(''));
const fromBase64 = (text) => Uint8Array.from(atob(text), (c) => c.charCodeAt(0));

export class ProfileBoard {
  // `page.s` is the session, `page.afterInput()` draws what changed;
  // `download(name, bytes, type)` saves a file.
  constructor(page, download) {
    this.page = page;
    this.bytes = null; // the profile in force as it was read, for the link
    const el = (id) => document.getElementById(id);
    this.el = { file: el('profile-file'), list: el('profile-preset'), shown: el('profile') };
    const e = this.el;
    e.file.addEventListener('change', async () => {
      const chosen = e.file.files[0];
      e.file.value = '';
      e.file.blur();
      if (!chosen) return;
      try {
        const max = page.s.constants.max_profile_bytes;
        this.load(new Uint8Array(await chosen.slice(0, max + 1).arrayBuffer()), chosen.name);
      } catch (problem) {
        page.showError(`The file ${page.s.printable(chosen.name)} cannot be read: ${problem.message}`);
      }
    });
    el('profile-use').addEventListener('click', () => {
      if (e.list.value === '') return;
      const { s } = page, kind = s.constants.libraries.profiles, i = Number(e.list.value);
      this.load(s.libraryText(kind, i), e.list.selectedOptions[0].textContent);
    });
    el('factory-settings').addEventListener('click', () => {
      page.s.factorySettings();
      this.keep(null, '');
      page.afterInput();
    });
    el('save-profile').addEventListener('click', () => {
      const s = page.s;
      download('profile.txt', s.saveProfile(s.hasProfile() ? s.profileTitle() : 'Factory settings'), 'text/plain');
    });
  }

  // The bundled presets, by their titles, as the session's library has them.
  fill() {
    const s = this.page.s;
    this.el.list.replaceChildren(...s.libraryTitles(s.constants.libraries.profiles).map((title, i) =>
      Object.assign(document.createElement('option'), { value: i, textContent: title })));
  }

  // A profile's bytes to the session; kept when it is in force.
  load(bytes, name) {
    if (this.page.s.loadProfile(bytes, name)) this.keep(bytes, name);
    this.page.afterInput();
  }

  keep(bytes, name) {
    this.bytes = bytes;
    try {
      if (bytes && bytes.length <= this.page.s.constants.max_profile_bytes)
        localStorage.setItem(STORED, JSON.stringify({ name, bytes: toBase64(bytes) }));
      else localStorage.removeItem(STORED);
    } catch { /* storage refused (private mode, full): the profile holds for this visit */ }
  }

  // The profile kept at the last visit, in force again.
  restore() {
    let kept = null;
    try { kept = JSON.parse(localStorage.getItem(STORED) ?? 'null'); } catch { kept = null; }
    if (kept && typeof kept.bytes === 'string') this.load(fromBase64(kept.bytes), String(kept.name));
  }

  draw() {
    const s = this.page.s;
    const text = s.hasProfile() ? `Profile: ${s.profileTitle()}` : 'Factory settings';
    if (this.el.shown.textContent !== text) this.el.shown.textContent = text;
  }
}
