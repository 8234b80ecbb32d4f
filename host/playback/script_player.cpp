#include "host/playback/script_player.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "host/shell/power_loop.h"

constexpr int script_player::SPEEDS[];

namespace {

// Real time a call may bring at most: a front end that stalled for longer
// goes on from where it was instead of rushing.
const double MAX_CALL_MS = 1000;

} // namespace

bool script_player::seek_aware_files::write_frame(const std::string &name, const uint8_t *frame,
                                                  int scale, bool exact, std::string &where) {
    if (seeking_) {
        where = name;
        return true;
    }
    return files_.write_frame(name, frame, scale, exact, where);
}

bool script_player::seek_aware_files::read_golden(const std::string &file, uint8_t *frame,
                                                  std::string &error) {
    return files_.read_golden(file, frame, error);
}

script_player::script_player(frame_files &files, script_report report)
    : files_(files, seeking_), script_(files_, 1, [this, report](const std::string &line) {
          if (!seeking_) report(line);
      }) {}

bool script_player::load(std::string text) {
    state_ = CHECKING;
    timeline_.clear();
    marks_.clear();
    notes_.clear();
    checkpoints_.clear();
    checked_session_ = session_recorder();
    check_ticks_ = 0;
    if (!script_.load(std::move(text))) {
        state_ = REFUSED;
        return false;
    }
    return true;
}

timeline_sample sample_instrument() {
    return {rpm,
            map_value,
            temp_value,
            (uint8_t)(settings.map_unit != 0),
            (uint8_t)(settings.temp_unit != 0),
            (uint8_t)(lamp_red == LAMP_BRIGHT)};
}

// The instrument as the check leaves it before tick `ticks` + 1.
void script_player::record(long long ticks) {
    timeline_.push_back(sample_instrument());
    marks_.push_back(checked_session_.here());
    if (ticks % CHECKPOINT_TICKS == 0) {
        checkpoints_.push_back({program_state(), script_.where()});
        save_program_state(checkpoints_.back().state);
    }
    check_ticks_ = ticks + 1;
}

lcd_script::rehearsal script_player::check(long long budget) {
    if (state_ != CHECKING) return state_ == REFUSED ? lcd_script::REFUSED : lcd_script::REHEARSED;
    script_.echo_to(&checked_session_);
    script_.notes_to([this](const std::string &text) { notes_.push_back({check_ticks_, text}); });
    const lcd_script::rehearsal outcome =
        script_.rehearse(budget, [this](long long ticks) { record(ticks); });
    script_.echo_to(nullptr);
    script_.notes_to(nullptr);
    if (outcome == lcd_script::REFUSED) {
        state_ = REFUSED;
        timeline_.clear();
        marks_.clear();
        checkpoints_.clear();
    } else if (outcome == lcd_script::REHEARSED) {
        script_.notes_to([this](const std::string &text) {
            if (!seeking_ && notes_listener_) notes_listener_(text);
        });
        state_ = PLAYING;
        position_ = 0;
        due_ms_ = 0;
    }
    return outcome;
}

double script_player::check_progress() const {
    const long long total = script_.work_total();
    return total > 0 ? (double)script_.work_done() / total : 1.0;
}

void script_player::echo_to(session_recorder *session) {
    session_ = session;
    script_.echo_to(session);
}

void script_player::notes_to(std::function<void(const std::string &)> listener) {
    notes_listener_ = std::move(listener);
}

// Runs up to the next tick and that tick; false when the script has no
// more ticks (its end, or a failure).
bool script_player::play_tick() {
    for (;;) {
        switch (script_.advance()) {
        case lcd_script::STEP_PASS: script_.pass(); break;
        case lcd_script::STEP_TICK:
            script_.tick();
            position_++;
            return true;
        case lcd_script::STEP_DONE:
        case lcd_script::STEP_WAIT: state_ = ENDED; return false;
        case lcd_script::STEP_FAILED: state_ = FAILED; return false;
        }
    }
}

void script_player::run_for(double milliseconds) {
    if (state_ != PLAYING) return;
    due_ms_ += (milliseconds < MAX_CALL_MS ? milliseconds : MAX_CALL_MS) * speed_;
    for (int passes = 0; passes < MAX_PASSES_PER_CALL;) {
        switch (script_.advance()) {
        case lcd_script::STEP_PASS:
            script_.pass();
            passes++;
            break;
        case lcd_script::STEP_TICK:
            if (due_ms_ < TICK_MS) return;
            due_ms_ -= TICK_MS;
            script_.tick();
            position_++;
            break;
        case lcd_script::STEP_DONE:
        case lcd_script::STEP_WAIT: state_ = ENDED; return;
        case lcd_script::STEP_FAILED: state_ = FAILED; return;
        }
    }
}

void script_player::pause() {
    if (state_ == PLAYING) state_ = PAUSED;
}

void script_player::resume() {
    if (state_ != PAUSED) return;
    state_ = PLAYING;
    due_ms_ = 0;
}

// The tick and then the passes before the one after it: the frame of the
// next tick of the timeline.
void script_player::step() {
    if (state_ != PAUSED) return;
    if (!play_tick()) return;
    while (script_.advance() == lcd_script::STEP_PASS) script_.pass();
    if (script_.advance() == lcd_script::STEP_DONE) state_ = ENDED;
}

void script_player::seek(long long tick) {
    if (state_ != PLAYING && state_ != PAUSED && state_ != ENDED) return;
    if (tick < 0) tick = 0;
    if (tick > length()) tick = length();
    const checkpoint &from = checkpoints_[(size_t)(tick / CHECKPOINT_TICKS)];
    restore_program_state(from.state);
    script_.go_to(from.head);
    position_ = tick / CHECKPOINT_TICKS * CHECKPOINT_TICKS;
    // Played again quietly: nothing written, reported or recorded.
    seeking_ = true;
    script_.echo_to(nullptr);
    if (state_ == ENDED) state_ = PAUSED;
    while (position_ < tick && play_tick()) {
    }
    while (script_.advance() == lcd_script::STEP_PASS) script_.pass();
    seeking_ = false;
    // At the end it waits, paused: resuming there ends the playback.
    if (script_.advance() == lcd_script::STEP_DONE) state_ = PAUSED;
    if (session_) {
        *session_ = checked_session_.cut_to(marks_[(size_t)tick]);
        script_.echo_to(session_);
    }
    due_ms_ = 0;
}

void script_player::restart() {
    seek(0);
    if (state_ != PLAYING) state_ = PAUSED;
    resume();
}

void script_player::set_speed(int speed) {
    for (int s : SPEEDS)
        if (s == speed) speed_ = speed;
}
