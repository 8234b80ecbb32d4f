// The notes so far, however many: only the rows in view are in the page,
// margins stand in for the rest, and the list follows the newest note
// while it is scrolled to its end.

// Rows drawn beyond those in view, above and below.
const SPARE_ROWS = 4;

export class NotesList {
  // `list` is the <ol>; `noteAt(i)` gives the i-th note's text.
  constructor(list, noteAt) {
    this.list = list;
    this.noteAt = noteAt;
    this.count = 0;
    this.epoch = -1;
    this.drawn = '';
    this.following = true;
    this.rowHeight = 0;
    list.addEventListener('scroll', () => {
      this.following = list.scrollTop + list.clientHeight >= list.scrollHeight - 2;
      this.draw();
    });
  }

  // The board's count of notes and its epoch: a new epoch starts the list again.
  update(count, epoch) {
    if (epoch !== this.epoch) {
      this.epoch = epoch;
      this.drawn = '';
      this.following = true;
      this.count = 0;
      this.draw();
    }
    if (count === this.count) return;
    this.count = count;
    if (!this.following) {
      this.draw();
      return;
    }
    // Drawn as scrolled to the end first, so that the scroll draws nothing more.
    this.draw(Infinity);
    this.list.scrollTop = this.list.scrollHeight;
  }

  // The rows in view with the list scrolled to `top`.
  draw(top = this.list.scrollTop) {
    const list = this.list;
    const rowHeight = this.rowHeight || this.measure();
    const scrolled = Math.max(0, Math.min(top, this.count * rowHeight - list.clientHeight));
    const first = Math.max(0, Math.floor(scrolled / rowHeight) - SPARE_ROWS);
    const last = Math.min(this.count, Math.ceil((scrolled + list.clientHeight) / rowHeight) + SPARE_ROWS);
    const key = `${this.epoch} ${first} ${last} ${this.count}`;
    if (key === this.drawn) return;
    this.drawn = key;
    const rows = [];
    for (let i = first; i < last; i++) {
      const text = this.noteAt(i);
      const row = Object.assign(document.createElement('li'), { textContent: text, title: text });
      row.setAttribute('aria-posinset', String(i + 1));
      row.setAttribute('aria-setsize', String(this.count));
      rows.push(row);
    }
    if (rows.length) {
      rows[0].style.marginTop = `${first * rowHeight}px`;
      rows[rows.length - 1].style.marginBottom = `${(this.count - last) * rowHeight}px`;
    }
    list.start = first + 1;
    list.replaceChildren(...rows);
  }

  // A row's height as the style sets it, once the list is shown.
  measure() {
    const probe = Object.assign(document.createElement('li'), { textContent: 'x' });
    this.list.replaceChildren(probe);
    this.rowHeight = probe.offsetHeight;
    return this.rowHeight || 16;
  }
}
