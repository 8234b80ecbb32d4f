// The page's lessons: the list beside the scenarios and the lesson panel
// (title, step n of m, task, hint and well texts, Hint, Show me, Skip and
// Leave, then the summary). The lesson runs in the host's lesson player: the
// page's own passes and ticks reach it in the wasm, and this panel shows it.
// Every text goes in as textContent.

const LESSON_STATE = { none: 0, waiting: 3 };
const lessonEncoder = new TextEncoder();

// The lesson exports of the wasm; `text` reads a C string.
export function lessonApi(m, text) {
  return {
    load(script) {
      const bytes = lessonEncoder.encode(script);
      m.HEAPU8.set(bytes, m._omnira_text(bytes.length));
      return m._omnira_lesson_load() !== 0;
    },
    error: () => text(m._omnira_lesson_error()),
    status: () => m._omnira_lesson_status(),
    title: () => text(m._omnira_lesson_title()),
    step: () => m._omnira_lesson_step(),
    steps: () => m._omnira_lesson_steps(),
    task: () => text(m._omnira_lesson_task()),
    hintText: () => text(m._omnira_lesson_hint_text()),
    hasHint: () => m._omnira_lesson_has_hint() !== 0,
    well: () => text(m._omnira_lesson_well()),
    summary: () => text(m._omnira_lesson_summary()),
    hint: () => m._omnira_lesson_hint(),
    showMe: (on) => m._omnira_lesson_show_me(on ? 1 : 0),
    skip: (on) => m._omnira_lesson_skip(on ? 1 : 0),
    leave: () => m._omnira_lesson_leave(),
    close: () => m._omnira_lesson_close(),
  };
}

export class LessonBoard {
  // `page` runs the instrument: its api, followLesson(), input(), instrumentOn()
  // and showError().
  constructor(page) {
    this.page = page;
    this.library = [];
    this.shown = '';
    this.watching = 0;
    const el = (id) => document.getElementById(id);
    this.el = {
      list: el('lesson'), start: el('start-lesson'), panel: el('lesson-panel'),
      title: el('lesson-title'), step: el('lesson-step'), well: el('lesson-well'),
      task: el('lesson-task'), hint: el('lesson-hint'), hintButton: el('lesson-hint-button'),
      showMe: el('lesson-show-me'), skip: el('lesson-skip'), leave: el('lesson-leave'),
    };
    const e = this.el;
    e.start.addEventListener('click', () => {
      const chosen = this.library[Number(e.list.value)];
      if (chosen) this.start(chosen.text, chosen.title);
    });
    e.hintButton.addEventListener('click', () => this.act(() => this.api.hint()));
    e.showMe.addEventListener('click', () => this.act(() => this.api.showMe(this.page.instrumentOn())));
    e.skip.addEventListener('click', () => this.act(() => this.api.skip(this.page.instrumentOn())));
    e.leave.addEventListener('click', () => this.leave());
    // A button clicked with the mouse gives the focus back to the keys.
    for (const b of [e.start, e.hintButton, e.showMe, e.skip, e.leave])
      b.addEventListener('click', (event) => { if (event.detail > 0) event.currentTarget.blur(); });
  }

  get api() {
    return this.page.api.lesson;
  }

  // The library in its course order, each with its title.
  fill(library) {
    this.library = library;
    for (const [i, s] of library.entries())
      this.el.list.append(Object.assign(document.createElement('option'), { value: i, textContent: s.title }));
  }

  // Checked whole first: a lesson with an error plays nothing and says why.
  start(text, title) {
    this.page.input(() => {});
    if (!this.api.load(text)) {
      this.page.showError(`The lesson "${title}" cannot start: ${this.api.error()}`);
      return;
    }
    this.el.title.textContent = this.api.title() || title;
    this.el.panel.hidden = false;
    this.shown = '';
    this.page.followLesson();
    this.refresh();
    this.watch();
    // On a phone the list is far below: bring the task into view, the LCD above it.
    this.el.panel.scrollIntoView({ block: 'end' });
  }

  act(action) {
    if (this.api.status() !== LESSON_STATE.waiting) return;
    action();
    this.page.followLesson();
    this.refresh();
  }

  // Leave ends the lesson with its summary; Close then hides the panel.
  leave() {
    if (this.api.status() === LESSON_STATE.waiting) {
      this.api.leave();
      this.refresh();
      return;
    }
    this.api.close();
    this.el.panel.hidden = true;
    cancelAnimationFrame(this.watching);
    this.watching = 0;
  }

  // The panel follows the lesson a frame at a time while it is shown.
  watch() {
    cancelAnimationFrame(this.watching);
    const look = () => {
      this.refresh();
      this.watching = this.el.panel.hidden ? 0 : requestAnimationFrame(look);
    };
    this.watching = requestAnimationFrame(look);
  }

  refresh() {
    const api = this.api;
    const status = api.status();
    const waiting = status === LESSON_STATE.waiting;
    const now = { status, step: api.step(), task: api.task(), hint: api.hintText(), well: api.well() };
    const key = JSON.stringify(now);
    if (key === this.shown) return;
    this.shown = key;
    const e = this.el;
    e.well.textContent = now.well;
    e.well.hidden = !now.well;
    e.hint.textContent = now.hint;
    e.hint.hidden = !now.hint;
    if (waiting) {
      e.step.textContent = `Step ${now.step} of ${api.steps()}`;
      e.task.textContent = now.task;
    } else if (status === LESSON_STATE.none) {
      e.step.textContent = '';
      e.task.textContent = '';
    } else {
      e.step.textContent = { 4: 'Lesson complete', 5: 'Lesson left', 6: 'The lesson stopped' }[status];
      e.task.textContent = status === 6 ? now.task : api.summary();
    }
    e.hintButton.disabled = !waiting || !api.hasHint() || !!now.hint;
    e.showMe.disabled = !waiting;
    e.skip.disabled = !waiting;
    e.leave.textContent = waiting ? 'Leave' : 'Close';
  }
}
