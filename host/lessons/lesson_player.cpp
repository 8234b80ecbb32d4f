#include "host/lessons/lesson_player.h"

#include "core/keys.h"

#include <stdio.h>

namespace {
const std::string NOTHING;
}

lesson_player::lesson_player(frame_files &files, script_report report)
    : script_(files, 1, std::move(report)) {}

bool lesson_player::load(std::string text) {
    state_ = REFUSED;
    summary_ = lesson_summary();
    well_.clear();
    title_.clear();
    hinted_ = shown_ = skipping_ = false;
    step_ticks_ = 0;
    if (text.compare(0, 2, "# ") == 0) title_ = printable(text.substr(2, text.find('\n') - 2), 80);
    while (!title_.empty() && (title_.back() == ' ' || title_.back() == '\r')) title_.pop_back();
    script_.set_student(false);
    script_.echo_to(nullptr);
    if (!script_.prepare(std::move(text))) return false;
    state_ = READY;
    return true;
}

void lesson_player::begin() {
    if (state_ != READY) return;
    script_.set_student(true);
    script_.echo_to(recorder_);
    play_on();
    keep_step_start();
}

void lesson_player::echo_to(session_recorder *recorder) {
    recorder_ = recorder;
    if (state_ != NONE && state_ != READY && state_ != REFUSED) script_.echo_to(recorder);
}

// Runs the lesson's own lines up to the next wait or the end.
void lesson_player::play_on() {
    for (;;) {
        switch (script_.advance()) {
        case lcd_script::STEP_TICK: script_.tick(); break;
        case lcd_script::STEP_PASS: script_.pass(); break;
        case lcd_script::STEP_WAIT: state_ = WAITING; return;
        case lcd_script::STEP_DONE: state_ = FINISHED; return;
        case lcd_script::STEP_FAILED: state_ = FAILED; return;
        }
    }
}

void lesson_player::keep_step_start() {
    if (state_ != WAITING) return;
    save_program_state(start_state_);
    start_mark_ = recorder_ ? recorder_->here() : session_recorder::mark{};
    start_panel_ = script_.panel();
}

// Whatever the student did in the step is undone, in the recording too, so
// that the step's answers play from the state they were written for.
void lesson_player::back_to_step_start() {
    restore_program_state(start_state_);
    if (recorder_) *recorder_ = recorder_->cut_to(start_mark_);
    script_.set_panel(start_panel_);
    script_.show_answers();
}

void lesson_player::run_for(double milliseconds) {
    if (state_ != SHOWING) return;
    shown_key_ms_ -= milliseconds;
    // A stall of the front end brings at most a second.
    due_ms_ += milliseconds < 1000 ? milliseconds : 1000;
    for (int passes = 0; passes < 2000;) {
        const lcd_script::step next = script_.advance();
        if (pending_key != 0 && pending_key != shown_key_pressed_) {
            shown_key_ = shown_key_pressed_ = pending_key;
            shown_key_ms_ = SHOWN_KEY_MS;
        }
        if (pending_key == 0) shown_key_pressed_ = 0;
        switch (next) {
        case lcd_script::STEP_PASS:
            script_.pass();
            passes++;
            break;
        case lcd_script::STEP_TICK:
            if (due_ms_ < 100) return;
            due_ms_ -= 100;
            script_.tick();
            break;
        case lcd_script::STEP_WAIT: state_ = WAITING; return;
        case lcd_script::STEP_DONE: state_ = FINISHED; return;
        case lcd_script::STEP_FAILED: state_ = FAILED; return;
        }
    }
}

std::string lesson_player::showing() const {
    return state_ == SHOWING ? script_.line_text() : std::string();
}

void lesson_player::next_step() {
    hinted_ = shown_ = skipping_ = false;
    step_ticks_ = 0;
    script_.end_wait();
    play_on();
    keep_step_start();
}

void lesson_player::after_pass() {
    if (state_ != WAITING || !script_.wait_over()) return;
    if (skipping_)
        summary_.skipped++;
    else if (shown_)
        summary_.shown++;
    else if (hinted_)
        summary_.hinted++;
    else
        summary_.unaided++;
    well_ = skipping_ ? "" : script_.steps()[script_.current_step()].well;
    next_step();
}

void lesson_player::after_tick() {
    if (state_ != WAITING) return;
    script_.wait_tick();
    summary_.ticks++;
    const long long within = script_.steps()[script_.current_step()].within;
    if (within > 0 && ++step_ticks_ >= within && has_hint()) hinted_ = true;
}

bool lesson_player::has_hint() const {
    return state_ == WAITING && !script_.steps()[script_.current_step()].hint.empty();
}

void lesson_player::hint() {
    if (has_hint()) hinted_ = true;
}

void lesson_player::show_me() {
    if (state_ != WAITING) return;
    shown_ = true;
    back_to_step_start();
    state_ = SHOWING;
    due_ms_ = 0;
}

// The step's answers play so that the next step starts where the lesson
// expects; the step ends at the next pass that finds it done, or at once when
// skipped a second time.
void lesson_player::skip() {
    if (state_ != WAITING) return;
    if (skipping_) {
        summary_.skipped++;
        well_.clear();
        next_step();
        return;
    }
    skipping_ = true;
    back_to_step_start();
    play_on();
}

void lesson_player::leave() {
    if (state_ == WAITING || state_ == SHOWING) state_ = LEFT;
}

std::string lesson_player::summary_text() const {
    const long long seconds = summary_.ticks / 10;
    char time[32];
    snprintf(time, sizeof time, "%lld:%02lld", seconds / 60, seconds % 60);
    return std::to_string(summary_.unaided) + " of " + std::to_string(step_count()) +
           " steps done on your own, " + std::to_string(summary_.hinted) + " with a hint, " +
           std::to_string(summary_.shown) + " shown, " + std::to_string(summary_.skipped) +
           " skipped. Time: " + time + ".";
}

std::string lesson_player::shown_task() const {
    if (state_ == WAITING || state_ == SHOWING) return task();
    return state_ == FAILED ? error() : summary_text();
}

const std::string &lesson_player::task() const {
    if (state_ != WAITING && state_ != SHOWING) return NOTHING;
    return script_.steps()[script_.current_step()].task;
}

const std::string &lesson_player::hint_text() const {
    if (!hinted_ || !has_hint()) return NOTHING;
    return script_.steps()[script_.current_step()].hint;
}
