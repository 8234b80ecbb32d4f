// The page's lessons: the list beside the scenarios and the lesson panel
// (title, step n of m, task, hint and well texts, Hint, Show me, Skip and
// Leave, then the summary), drawn from the session's lesson each frame.
// Every text goes in as textContent.

export class LessonBoard {
  // `page.s` is the session; `page.afterInput()` draws what an input changed.
  constructor(page) {
    this.page = page;
    this.shown = '';
    const el = (id) => document.getElementById(id);
    this.el = {
      list: el('lesson'), start: el('start-lesson'), panel: el('lesson-panel'),
      title: el('lesson-title'), step: el('lesson-step'), well: el('lesson-well'),
      task: el('lesson-task'), hint: el('lesson-hint'), hintButton: el('lesson-hint-button'),
      showMe: el('lesson-show-me'), skip: el('lesson-skip'), leave: el('lesson-leave'),
    };
    const e = this.el;
    const act = (action) => { action(page.s); page.afterInput(); };
    e.start.addEventListener('click', () => {
      if (e.list.value === '') return;
      act((s) => s.startLibraryLesson(Number(e.list.value)));
      // On a phone the list is far below: bring the task into view, the LCD above it.
      if (!e.panel.hidden) e.panel.scrollIntoView({ block: 'end' });
    });
    e.hintButton.addEventListener('click', () => act((s) => s.lessonHint()));
    e.showMe.addEventListener('click', () => act((s) => s.lessonShowMe()));
    e.skip.addEventListener('click', () => act((s) => s.lessonSkip()));
    e.leave.addEventListener('click', () => act((s) => s.lessonLeave()));
    // A button clicked with the mouse gives the focus back to the keys.
    for (const b of [e.start, e.hintButton, e.showMe, e.skip, e.leave])
      b.addEventListener('click', (event) => { if (event.detail > 0) event.currentTarget.blur(); });
  }

  // The library's lessons in the session's order.
  fill(titles) {
    this.el.list.replaceChildren(...titles.map((title, i) =>
      Object.assign(document.createElement('option'), { value: i, textContent: title })));
  }

  draw() {
    const s = this.page.s;
    const states = s.constants.lesson;
    const status = s.lessonStatus();
    const e = this.el;
    e.panel.hidden = status === states.none;
    if (status === states.none) { this.shown = ''; return; }
    const waiting = status === states.waiting;
    const now = {
      status, title: s.lessonTitle(), step: s.lessonStep(), steps: s.lessonSteps(),
      task: status === states.failed ? s.lessonError() : waiting ? s.lessonTask() : s.lessonSummary(),
      hint: s.lessonHintText(), hasHint: s.lessonHasHint(), well: s.lessonWell(),
    };
    const key = JSON.stringify(now);
    if (key === this.shown) return;
    this.shown = key;
    e.title.textContent = now.title;
    e.well.textContent = now.well;
    e.well.hidden = !now.well;
    e.hint.textContent = now.hint;
    e.hint.hidden = !now.hint;
    e.step.textContent = waiting ? `Step ${now.step} of ${now.steps}`
      : { [states.finished]: 'Lesson complete', [states.left]: 'Lesson left', [states.failed]: 'The lesson stopped' }[status] ?? '';
    e.task.textContent = now.task;
    e.hintButton.disabled = !waiting || !now.hasHint || !!now.hint;
    e.showMe.disabled = !waiting;
    e.skip.disabled = !waiting;
    e.leave.textContent = waiting ? 'Leave' : 'Close';
  }
}
