#include "host/session/session.h"

#include "host/session/session_frames.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/figures/engine_figures.h"
#include "host/shell/engine_timers.h"
#include "host/shell/power_loop.h"
#include "host/text/printable.h"

#include <stdio.h>

const char *const session::RECORDING_HEADER =
    "# Omnira session: an lcdshot script of every input since the session began\n";

namespace {

// Script names of the key codes KEY_F1..KEY_MINUS.
const char *const KEY_NAMES[] = {"F1", "F2", "PUSH", "PLUS", "MINUS"};
const char *const SLIDER_WORDS[] = {"rpm", "map", "temp"};

} // namespace

std::string clock_text(long long ticks) {
    const long long seconds = ticks / 10;
    char text[32];
    if (seconds >= 3600)
        snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                 seconds % 60);
    else
        snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

session::session(golden_file_reader read_golden) : read_golden_(std::move(read_golden)) {
    for (int &c : log_column) c = -1;
}

session::~session() = default;

// --- Time

void session::elapse(double milliseconds) {
    if (!(milliseconds > 0)) milliseconds = 0;
    now_ += milliseconds;
    carry_ += milliseconds;
    long long ticks = (long long)(carry_ / TICK_MS);
    if (ticks > MAX_CATCH_UP) {
        ticks = MAX_CATCH_UP;
        carry_ -= (long long)(carry_ / TICK_MS) * TICK_MS;
    } else {
        carry_ -= ticks * TICK_MS;
    }
    // The notes keep step with the playback: its time runs at its speed.
    const bool played = player_ && player_->status() == script_player::PLAYING;
    notes_now_ += played ? (milliseconds < 1000 ? milliseconds : 1000) * player_->speed()
                         : milliseconds;
    if (player_) {
        for (long long i = 0; i < ticks; i++) announcer_.tick();
        player_->run_for(milliseconds);
        after_playback();
    } else if (lesson_showing()) {
        for (long long i = 0; i < ticks; i++) announcer_.tick();
        lesson_->run_for(milliseconds);
        follow_lesson();
    } else {
        for (long long i = 0; i < ticks; i++) tick_live();
    }
    notes_.update((int64_t)notes_now_);
}

double session::until_next_tick() const {
    return TICK_MS - carry_;
}

bool session::instrument_on() const {
    return on_ && power_off_request == 0;
}

bool session::loop_running() const {
    return !player_ && !lesson_showing() && instrument_on();
}

void session::tick_live() {
    recorder_.tick();
    announcer_.tick();
    host_timer_tick(instrument_on() ? 1 : 0);
    if (lesson_waiting()) lesson_->after_tick();
    if (!played_.empty()) played_.push_back(sample_instrument());
}

void session::pass() {
    if (!loop_running()) return;
    power_pass(controls_.exio_checked ? 1 : 0);
    recorder_.pass();
    hear_pass();
    if (lesson_waiting()) lesson_->after_pass();
}

// --- Inputs

// A user's input: outside a lesson the session goes on from the library's
// script with inputs of its own, which a link to the script would not hold.
void session::input(const std::string &command) {
    if (!lesson_) load_entry(LIBRARY_SCENARIOS, -1);
    recorder_.input(command);
}

void session::power_on() {
    take_over();
    input("on");
    power_on_sequence();
    rpm_slider_change(controls_.rpm_position);
    map_slider_change((uint16_t)controls_.map_position);
    if (has_profile_) {
        apply_profile(profile_);
        std::string lines = profile_lines(profile_);
        for (size_t at = 0, end; (end = lines.find('\n', at)) != std::string::npos; at = end + 1)
            input(lines.substr(at, end - at));
    }
    on_ = true;
    controls_.running = true;
}

void session::power_off() {
    take_over();
    input("off");
    power_off_request = 1;
    on_ = false;
    controls_.running = false;
}

void session::key(uint8_t code) {
    if (code < KEY_F1 || code > KEY_MINUS) return;
    take_over();
    input(std::string("key ") + KEY_NAMES[code - KEY_F1]);
    press_key(code);
    announcer_.user_input(false);
}

void session::move_slider(slider_id slider, int32_t position) {
    if (position < slider_minimum(slider)) position = slider_minimum(slider);
    if (position > slider_maximum(slider)) position = slider_maximum(slider);
    const panel_state &shown = panel();
    const int32_t now = slider == SLIDER_RPM   ? shown.rpm_position
                        : slider == SLIDER_MAP ? shown.map_position
                                               : shown.temp_position;
    if (position == now) return;
    take_over();
    input(std::string(SLIDER_WORDS[slider]) + " " + std::to_string(position));
    announcer_.user_input(true);
    switch (slider) {
    case SLIDER_RPM:
        controls_.rpm_position = position;
        rpm_slider_change(position);
        break;
    case SLIDER_MAP:
        controls_.map_position = position;
        map_slider_change((uint16_t)position);
        break;
    case SLIDER_TEMP:
        controls_.temp_position = position;
        temp_slider_change((uint16_t)position);
        break;
    }
}

session::saved_state session::save() const {
    saved_state saved{{}, panel(), instrument_on()};
    save_program_state(saved.program);
    return saved;
}

void session::restore(const saved_state &saved) {
    take_over();
    load_entry(LIBRARY_SCENARIOS, -1);
    restore_program_state(saved.program);
    controls_ = saved.controls;
    on_ = saved.on;
}

void session::set_exio(bool checked) {
    take_over();
    input(checked ? "exio on" : "exio off");
    controls_.exio_checked = checked;
    announcer_.user_input(false);
}

void session::set_engine_timers(bool on) {
    take_over();
    engine_timers_on = on ? 1 : 0;
    input(on ? "engine-timers on" : "engine-timers off");
    controls_.engine_timers = on;
}

bool session::enter_figure(slider_id slider, const std::string &text) {
    take_over();
    int32_t position = 0;
    std::string message;
    const bool entered = enter_slider_figure(slider, text, settings_in_force(), position, message);
    entry_message_ = printable(message);
    if (entered) move_slider(slider, position);
    return entered;
}

void session::page_slider(slider_id slider, int direction) {
    const panel_state &shown = panel();
    const int32_t now = slider == SLIDER_RPM   ? shown.rpm_position
                        : slider == SLIDER_MAP ? shown.map_position
                                               : shown.temp_position;
    move_slider(slider, slider_page_position(slider, now, direction, settings_in_force()));
}

const panel_state &session::panel() const {
    if (player_) return player_->script().panel();
    return lesson_showing() ? lesson_->panel() : controls_;
}

bool session::settings_in_force() const {
    return player_ || lesson_showing() ? panel().running : instrument_on();
}

std::string session::slider_text(slider_id slider) const {
    const panel_state &p = panel();
    const int32_t position = slider == SLIDER_RPM   ? p.rpm_position
                             : slider == SLIDER_MAP ? p.map_position
                                                    : p.temp_position;
    return slider_reading(slider, position, settings_in_force());
}

uint8_t session::lamp() const {
    return lamp_red;
}

const char *session::lamp_name() const {
    return lamp_accessible_name(lamp_red >= LAMP_BRIGHT);
}

lcd_description session::description() const {
    return describe_lcd(settings_in_force());
}

void session::hear_pass() {
    if (announcer_.offer(description()))
        heard_ = announcer_.announcement();
}

std::string session::announcement() {
    // Without live passes (off, or a script playing) it is offered here.
    if (!loop_running()) hear_pass();
    std::string out;
    out.swap(heard_);
    return out;
}

// --- The recording

std::string session::recording() const {
    return RECORDING_HEADER + recorder_.script();
}

void session::record_to(std::function<void(const std::string &)> out) {
    streaming_ = (bool)out;
    if (out) out(RECORDING_HEADER);
    recorder_.stream_to(std::move(out));
}

// --- What a front end shows

void session::notice(const std::string &text) {
    notice_ = printable(text);
    notice_until_ = now_ + NOTICE_MS;
}

std::string session::status() const {
    if (!notice_.empty() && now_ < notice_until_) return notice_;
    if (player_) {
        const bool paused = player_->status() == script_player::PAUSED;
        return player_title_ + (paused ? ": paused at " : ": playing at ") +
               clock_text(player_->position()) +
               (hidden_pause_ ? " (paused while the page was hidden)" : "");
    }
    if (!ended_.empty()) return ended_;
    if (lesson_) return "Lesson: " + lesson_title();
    return instrument_on() ? "On" : "Off";
}

std::string session::take_alert() {
    std::string alert;
    alert.swap(alert_);
    return alert;
}

std::string session::take_log() {
    std::string log;
    log.swap(log_);
    return log;
}

void session::alert(const std::string &head, const std::string &detail) {
    alert_ = printable(head) + (detail.empty() ? "" : "\n" + printable(detail));
}
