// The page's lessons: the list beside the scenarios and the lesson panel
// (title, step n of m, task, well and hint texts, what Show me plays, Hint,
// Show me, Skip and Leave, then the summary), drawn from the session's
// lesson each frame. Every text goes in as textContent.

export class LessonBoard {
  // `page.s` is the session; `page.afterInput()` draws what an input changed,
  // `page.say(text)` announces; `keyButtons` maps key codes to their buttons.
  constructor(page, keyButtons) {
    this.page = page;
    this.keyButtons = keyButtons;
    this.shown = '';
    const el = (id) => document.getElementById(id);
    this.el = {
      list: el('lesson'), start: el('start-lesson'), panel: el('lesson-panel'),
      title: el('lesson-title'), step: el('lesson-step'), well: el('lesson-well'),
      task: el('lesson-task'), hint: el('lesson-hint'), showing: el('lesson-showing'),
      hintButton: el('lesson-hint-button'), showMe: el('lesson-show-me'), skip: el('lesson-skip'),
      leave: el('lesson-leave'),
    };
    const e = this.el;
    const act = (action) => { action(page.s); page.afterInput(); };
    e.start.addEventListener('click', () => {
      if (e.list.value === '') return;
      act((s) => s.startLibraryLesson(Number(e.list.value)));
      if (e.panel.hidden) return;
      // On a phone the list is far below: bring the task into view, the LCD above it.
      e.panel.scrollIntoView({ block: 'end' });
      // The keys then go to the instrument: Return pushes the knob.
      document.getElementById('push').focus({ preventScroll: true });
    });
    e.hintButton.addEventListener('click', () => act((s) => s.lessonHint()));
    e.showMe.addEventListener('click', () => act((s) => s.lessonShowMe()));
    e.skip.addEventListener('click', () => act((s) => s.lessonSkip()));
    e.leave.addEventListener('click', () => act((s) => s.lessonLeave()));
    // A button clicked with the mouse gives the focus back to the keys; one
    // pressed by keyboard keeps it in the panel, on the next button usable.
    for (const b of [e.hintButton, e.showMe, e.skip, e.leave]) {
      b.addEventListener('click', (event) => {
        if (event.detail > 0) event.currentTarget.blur();
        else if (b.disabled) [e.showMe, e.skip, e.leave].find((next) => !next.disabled)?.focus();
      });
    }
  }

  // The library's lessons in the session's order.
  fill(titles) {
    this.el.list.replaceChildren(...titles.map((title, i) =>
      Object.assign(document.createElement('option'), { value: i, textContent: title })));
  }

  draw() {
    const s = this.page.s;
    // The well-done text, the task (or the summary) and the hint, each once a step.
    this.page.say(s.lessonAnnouncement());
    const states = s.constants.lesson;
    const status = s.lessonStatus();
    const e = this.el;
    e.panel.hidden = status === states.none;
    document.body.classList.toggle('in-lesson', !e.panel.hidden);
    const lit = status === states.showing ? s.lessonShownKey() : 0;
    for (const [code, button] of this.keyButtons) button.classList.toggle('shown', code === lit);
    if (status === states.none) { this.shown = ''; return; }
    const waiting = status === states.waiting;
    const inStep = waiting || status === states.showing;
    const now = {
      status, title: s.lessonTitle(), step: s.lessonStep(), steps: s.lessonSteps(),
      task: s.lessonShownTask(),
      hint: s.lessonHintText(), hasHint: s.lessonHasHint(), well: s.lessonWell(),
      showing: s.lessonShowing(),
    };
    const key = JSON.stringify(now);
    if (key === this.shown) return;
    this.shown = key;
    e.title.textContent = now.title;
    e.well.textContent = now.well;
    e.well.hidden = !now.well;
    e.hint.textContent = now.hint;
    e.hint.hidden = !now.hint;
    e.showing.textContent = now.showing ? `Showing: ${now.showing}` : '';
    e.showing.hidden = !now.showing;
    e.step.textContent = inStep ? `Step ${now.step} of ${now.steps}`
      : { [states.finished]: 'Lesson complete', [states.left]: 'Lesson left', [states.failed]: 'The lesson stopped' }[status] ?? '';
    e.task.textContent = now.task;
    e.hintButton.disabled = !waiting || !now.hasHint || !!now.hint;
    e.showMe.disabled = !waiting;
    e.skip.disabled = !waiting;
    e.leave.textContent = inStep ? 'Leave' : 'Close';
  }
}
