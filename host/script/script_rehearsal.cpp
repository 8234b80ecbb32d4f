// lcd_script: the rehearsal before a real-time play, the playhead a player
// comes back to, and the steps of a lesson with a student present.
#include "host/script/lcd_script.h"

#include "host/script/script_internal.h"
#include "host/shell/program_state.h"

#include <string.h>

size_t lcd_script::current_step() const {
    for (size_t i = 0; i < steps_.size(); i++)
        if (next_ <= steps_[i].until) return i;
    return steps_.size();
}

bool lcd_script::wait_over() {
    if (next_ >= commands_.size() || commands_[next_].op != OP_UNTIL) return false;
    const lesson_condition &condition = conditions_[(size_t)commands_[next_].value];
    if (!condition_holds(condition, step_marks_) ||
        (!condition.names_editing() && value_in_edit())) {
        held_ticks_ = -1;
        return false;
    }
    if (held_ticks_ < 0) held_ticks_ = 0;
    return held_ticks_ >= SETTLE_TICKS;
}

void lcd_script::wait_tick() {
    if (held_ticks_ >= 0) held_ticks_++;
}

void lcd_script::end_wait() {
    if (next_ >= commands_.size() || commands_[next_].op != OP_UNTIL) return;
    next_++;
    started_ = false;
    showing_ = false;
    held_ticks_ = -1;
}

void lcd_script::show_answers() {
    const size_t step = current_step();
    if (step >= steps_.size() || next_ != steps_[step].until) return;
    next_ = steps_[step].first;
    started_ = false;
    showing_ = true;
    // The line named while showing is the first one that plays.
    while (next_ < steps_[step].until && skipped(commands_[next_])) next_++;
}

// Lines a student present does not hear: the answers, and while a step's
// answers are shown, everything else before its until.
bool lcd_script::skipped(const command &c) const {
    if (!student_) return false;
    if (showing_) return !c.answer && c.op != OP_UNTIL;
    return c.answer;
}

int lcd_script::line() const {
    if (commands_.empty()) return 0;
    return commands_[next_ < commands_.size() ? next_ : commands_.size() - 1].number;
}

std::string lcd_script::line_text() const {
    if (commands_.empty()) return "";
    return source(commands_[next_ < commands_.size() ? next_ : commands_.size() - 1]);
}

// Back to the first line, the panel at program start.
void lcd_script::rewind() {
    next_ = 0;
    started_ = false;
    failed_ = false;
    panel_ = panel_state();
    caption_.clear();
    ticks_played_ = 0;
}

lcd_script::rehearsal lcd_script::rehearse(long long budget,
                                           const std::function<void(long long)> &before_tick) {
    if (commands_.empty() && failed_) return REFUSED;
    program_state live;
    save_program_state(live);
    if (rehearsal_started_) {
        restore_program_state(rehearsal_state_);
    } else {
        reset_program_state();
        rewind();
        rehearsal_started_ = true;
        rehearsal_ticks_ = 0;
    }
    rehearsing_ = true;
    const bool student = student_;
    student_ = false;
    step next = STEP_TICK;
    for (long long spent = 0; spent < budget; spent++) {
        next = advance();
        if (next == STEP_TICK) {
            if (before_tick) before_tick(rehearsal_ticks_);
            tick();
            rehearsal_ticks_++;
        } else if (next == STEP_PASS) {
            pass();
        } else {
            break;
        }
        work_done_++;
    }
    rehearsing_ = false;
    student_ = student;
    if (next == STEP_DONE && before_tick) before_tick(rehearsal_ticks_);
    if (next == STEP_TICK || next == STEP_PASS) {
        save_program_state(rehearsal_state_);
        restore_program_state(live);
        return REHEARSING;
    }
    rehearsal_state_.bytes.clear();
    rehearsal_started_ = false;
    if (next == STEP_FAILED) {
        restore_program_state(live);
        commands_.clear();
        rewind();
        failed_ = true;
        return REFUSED;
    }
    // Passed: the program starts afresh for the real play.
    reset_program_state();
    rewind();
    return REHEARSED;
}

lcd_script::playhead lcd_script::where() const {
    playhead at{next_,        started_, ticked_, moved_,   remaining_, cycle_,
                passes_done_, {},       {},      panel_,   caption_,   scale_, ticks_played_};
    memcpy(at.ramp_from, ramp_from_, sizeof ramp_from_);
    memcpy(at.ramp_to, ramp_to_, sizeof ramp_to_);
    return at;
}

void lcd_script::go_to(const playhead &at) {
    next_ = at.next;
    started_ = at.started;
    ticked_ = at.ticked;
    moved_ = at.moved;
    remaining_ = at.remaining;
    cycle_ = at.cycle;
    passes_done_ = at.passes_done;
    memcpy(ramp_from_, at.ramp_from, sizeof ramp_from_);
    memcpy(ramp_to_, at.ramp_to, sizeof ramp_to_);
    panel_ = at.panel;
    caption_ = at.caption;
    scale_ = at.scale;
    ticks_played_ = at.ticks_played;
    failed_ = false;
}

bool lcd_script::prepare(std::string text) {
    if (!load(std::move(text))) return false;
    rehearsal outcome;
    while ((outcome = rehearse(work_total() + 1)) == REHEARSING) {
    }
    return outcome == REHEARSED;
}
