// The session's scripts: their check, playback and take-over, lessons and
// data logs.
#include "host/session/session.h"

#include "host/session/session_frames.h"

#include "core/settings.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "host/text/printable.h"

namespace {

// Ticks and passes of a check run at once when a script is chosen: a
// library scenario's whole, so that it plays at once.
const long long FIRST_CHECK_SLICE = 50000;
// The longest title or file name a message names, in characters.
const size_t NAME_LENGTH = 120;

} // namespace

// --- Scripts

bool session::play_script(const std::string &bytes, const std::string &title,
                          const std::string &source, const std::string &folder) {
    return check_script(bytes, title, source, folder, -1);
}

bool session::check_script(const std::string &bytes, const std::string &title,
                           const std::string &source, const std::string &folder, int entry) {
    cancel_check();
    checked_entry_ = entry;
    checked_title_ = printable(title, NAME_LENGTH);
    checked_source_ = source.empty() ? "a script" : printable(source);
    checked_frames_.reset(new frames(*this, folder, LIBRARY_SCENARIOS));
    checked_.reset(new script_player(*checked_frames_, [this](const std::string &line) {
        log_ += line;
    }));
    if (bytes.size() > lcd_script::MAX_SCRIPT_BYTES) {
        refuse("it is longer than 1 MB");
        return false;
    }
    if (!checked_->load(bytes)) {
        refuse(checked_->error());
        return false;
    }
    check_slice(FIRST_CHECK_SLICE);
    return alert_.empty();
}

bool session::play_library(library_kind kind, size_t index) {
    const std::vector<library_entry> &entries = libraries_[kind].entries();
    if (index >= entries.size()) return false;
    if (kind == LIBRARY_LESSONS) return begin_lesson(entries[index].text, entries[index].title, (int)index);
    if (kind == LIBRARY_PROFILES) return load_profile(entries[index].text, entries[index].name);
    return check_script(entries[index].text, entries[index].title, "the scenario library", "",
                        (int)index);
}

void session::load_entry(library_kind kind, int index) {
    loaded_kind_ = index < 0 ? LIBRARY_KINDS : kind;
    loaded_index_ = index < 0 ? -1 : index;
}

bool session::check_slice(long long budget) {
    if (!checked_) return false;
    switch (checked_->check(budget)) {
    case lcd_script::REHEARSING: return true;
    case lcd_script::REFUSED: refuse(checked_->error()); return false;
    case lcd_script::REHEARSED: start_playing(); return false;
    }
    return false;
}

double session::check_progress() const {
    return checked_ ? checked_->check_progress() : 1.0;
}

void session::cancel_check() {
    checked_.reset();
    checked_frames_.reset();
}

void session::refuse(const std::string &why) {
    alert("The scenario \"" + checked_title_ + "\" from " + checked_source_ +
              " has an error and plays nothing:",
          why);
    cancel_check();
}

// The check passed and left the program at its start: the script plays from
// there, with a new session.
void session::start_playing() {
    end_playing(nullptr);
    close_lesson();
    const bool was_recording = streaming_;
    record_to(nullptr);
    player_ = std::move(checked_);
    player_frames_ = std::move(checked_frames_);
    player_title_ = checked_title_;
    load_entry(LIBRARY_SCENARIOS, checked_entry_);
    pictures_.clear();
    log_.clear();
    ended_.clear();
    hidden_pause_ = false;
    recorder_ = session_recorder();
    controls_ = panel_state();
    on_ = false;
    clear_notes();
    player_->echo_to(&recorder_);
    player_->notes_to([this](const std::string &text) { notes_.post(text, (int64_t)notes_now_); });
    if (was_recording) notice("The recording stopped: " + player_title_ + " plays from its start");
    player_->run_for(0);
    after_playback();
}

// At the script's end, or when an expectation failed, the instrument runs on
// live from where the script left it.
void session::after_playback() {
    if (!player_) return;
    const script_player::state status = player_->status();
    if (status != script_player::ENDED && status != script_player::FAILED) return;
    if (status == script_player::FAILED)
        alert("The scenario \"" + player_title_ + "\" stopped:", player_->error());
    end_playing("ended");
}

void session::take_over() {
    end_playing("stopped");
}

// Ends the script where it is: the controls, the instrument and the timeline
// go on live from there. `how` goes into the status; null says nothing.
void session::end_playing(const char *how) {
    if (!player_) return;
    const long long position = player_->position();
    player_->echo_to(nullptr);
    player_->notes_to(nullptr);
    played_.assign(player_->timeline().begin(), player_->timeline().begin() + position + 1);
    played_notes_.clear();
    for (const timeline_note &note : player_->notes())
        if (note.tick <= position) played_notes_.push_back(note);
    controls_ = player_->script().panel();
    on_ = controls_.running;
    notes_.flush();
    player_.reset();
    player_frames_.reset();
    hidden_pause_ = false;
    if (how)
        ended_ = player_title_ + ": " + how + (on_ ? "; the instrument runs on live" : "");
}

// --- Playback

void session::pause_resume() {
    if (!player_) return;
    hidden_pause_ = false;
    if (player_->status() == script_player::PAUSED)
        player_->resume();
    else
        player_->pause();
}

void session::set_hidden(bool hidden) {
    if (!player_) return;
    if (hidden && player_->status() == script_player::PLAYING) {
        player_->pause();
        hidden_pause_ = true;
    } else if (!hidden && hidden_pause_) {
        player_->resume();
        notice("The playback was paused while the page was hidden, and goes on from there");
        hidden_pause_ = false;
    }
}

void session::step() {
    if (!player_) return;
    player_->step();
    after_playback();
}

void session::restart() {
    if (!player_) return;
    stop_streaming_for("the playback started again");
    player_->restart();
    clear_notes();
    after_playback();
}

// Seeking rewrites the session to what the script had recorded by then, so a
// recording streamed out, which cannot be taken back, stops.
void session::seek(long long tick) {
    if (!player_) return;
    stop_streaming_for("the playback moved");
    player_->seek(tick);
    notes_from(player_->position());
    after_playback();
}

void session::stop_streaming_for(const std::string &why) {
    if (!streaming_) return;
    record_to(nullptr);
    notice("The recording stopped: " + why);
}

void session::set_speed(int speed) {
    if (player_) player_->set_speed(speed);
}

void session::change_speed(int direction) {
    if (!player_) return;
    const int count = sizeof script_player::SPEEDS / sizeof script_player::SPEEDS[0];
    int at = 0;
    while (at < count - 1 && script_player::SPEEDS[at] != player_->speed()) at++;
    at += direction > 0 ? 1 : direction < 0 ? -1 : 0;
    if (at >= 0 && at < count) player_->set_speed(script_player::SPEEDS[at]);
}

void session::clear_notes() {
    notes_.clear();
    notes_epoch_++;
}

// After a seek the notes start again: those passed are listed, the one in
// force there is shown.
void session::notes_from(long long tick) {
    clear_notes();
    const std::vector<timeline_note> &all = player_->notes();
    size_t last = 0;
    bool any = false;
    for (size_t i = 0; i < all.size() && all[i].tick <= tick; i++) {
        last = i;
        any = true;
    }
    if (!any) return;
    for (size_t i = 0; i < last; i++) notes_.passed(all[i].text);
    notes_.post(all[last].text, (int64_t)notes_now_);
}

const std::vector<timeline_sample> &session::timeline() const {
    return player_ ? player_->timeline() : played_;
}

const std::vector<timeline_note> &session::timeline_notes() const {
    return player_ ? player_->notes() : played_notes_;
}

long long session::timeline_position() const {
    return player_ ? player_->position() : (long long)played_.size() - 1;
}

// --- Lessons

bool session::start_lesson(const std::string &bytes, const std::string &title) {
    return begin_lesson(bytes, title, -1);
}

// A lesson starts from the instrument's start with a new session: the
// timeline of a script played before it goes.
bool session::begin_lesson(const std::string &bytes, const std::string &title, int entry) {
    std::unique_ptr<frames> files(new frames(*this, "", LIBRARY_LESSONS));
    std::unique_ptr<lesson_player> lesson(new lesson_player(*files, [](const std::string &) {}));
    const std::string name = printable(title, NAME_LENGTH);
    if (bytes.size() > lcd_script::MAX_SCRIPT_BYTES || !lesson->load(bytes)) {
        alert("The lesson \"" + name + "\" cannot start:",
              bytes.size() > lcd_script::MAX_SCRIPT_BYTES ? "it is longer than 1 MB"
                                                          : lesson->error());
        return false;
    }
    cancel_check();
    end_playing(nullptr);
    close_lesson();
    stop_streaming_for("a lesson starts from the instrument's start");
    ended_.clear();
    recorder_ = session_recorder();
    clear_notes();
    played_.clear();
    played_notes_.clear();
    load_entry(LIBRARY_LESSONS, entry);
    lesson_frames_ = std::move(files);
    lesson_ = std::move(lesson);
    lesson_title_ = lesson_->title().empty() ? name : printable(lesson_->title(), NAME_LENGTH);
    lesson_->echo_to(&recorder_);
    lesson_->begin();
    follow_lesson();
    return true;
}

bool session::start_library_lesson(size_t index) {
    return play_library(LIBRARY_LESSONS, index);
}

bool session::lesson_waiting() const {
    return lesson_ && lesson_->status() == lesson_player::WAITING;
}

// The controls follow what the lesson played; the live loop runs while the
// lesson has the instrument on.
void session::follow_lesson() {
    controls_ = lesson_->panel();
    on_ = controls_.running;
}

void session::lesson_hint() {
    if (lesson_waiting()) lesson_->hint();
}

// Show me and Skip go back to where the step began, the recording too: one
// streamed out cannot be taken back, so it stops.
void session::lesson_show_me() {
    if (!lesson_waiting()) return;
    stop_streaming_for("Show me went back to the step's start");
    lesson_->show_me();
    follow_lesson();
}

void session::lesson_skip() {
    if (!lesson_waiting()) return;
    stop_streaming_for("Skip went back to the step's start");
    lesson_->skip();
    follow_lesson();
}

bool session::lesson_showing() const {
    return lesson_ && lesson_->status() == lesson_player::SHOWING;
}

void session::lesson_leave() {
    if (lesson_waiting() || lesson_showing())
        lesson_->leave();
    else
        close_lesson();
}

void session::close_lesson() {
    if (!lesson_) return;
    if (loaded_kind_ == LIBRARY_LESSONS) load_entry(LIBRARY_LESSONS, -1);
    lesson_->echo_to(nullptr);
    lesson_.reset();
    lesson_frames_.reset();
}

// --- Data logs

bool session::open_log(const std::string &bytes, const std::string &file_name) {
    const std::string name = printable(file_name, NAME_LENGTH);
    if (bytes.size() > MAX_LOG_BYTES) {
        alert(name + " is larger than " + std::to_string(MAX_LOG_BYTES >> 20) +
              " MB: no data log this reads.");
        return false;
    }
    log_header header;
    std::string error;
    if (!read_log_header(bytes, header, error)) {
        alert(name + " is no data log this reads: " + error + ".");
        return false;
    }
    log_text_ = bytes;
    log_name_ = name;
    log_header_ = header;
    // Each log starts from what is found in it, never from the last one's choice.
    for (int role = 0; role < LOG_ROLES; role++) log_column[role] = header.column[role];
    log_map_unit = log_temp_unit = FIGURE_RAW;
    log_start.clear();
    log_end.clear();
    log_part_clock = false;
    log_under_profile = has_profile_;
    log_clock_ = false;
    convert_log();
    return true;
}

bool session::convert_log() {
    log_warnings_.clear();
    log_error_.clear();
    log_span_.clear();
    log_script_.clear();
    if (log_name_.empty()) return false;
    log_options options;
    for (int role = 0; role < LOG_ROLES; role++) {
        const int i = log_column[role];
        // "(none)" for a column the log has leaves it out; for one it lacks,
        // the conversion says so, with the columns there are.
        const bool none = i < 0 || (size_t)i >= log_header_.names.size();
        options.left_out[role] = none && log_header_.column[role] >= 0;
        if (!none) options.column[role] = log_header_.names[(size_t)i];
    }
    options.map_unit = log_map_unit;
    options.temp_unit = log_temp_unit;
    options.title = log_name_;
    if (log_under_profile && has_profile_) options.settings = profile_lines(profile_);
    std::string why;
    const struct {
        const std::string &text;
        bool end;
        const char *name;
    } bounds[] = {{log_start, false, "the start "}, {log_end, true, "the end "}};
    for (const auto &b : bounds)
        if (!set_log_bound(options, b.end, log_part_clock, b.text, why)) {
            log_error_ = b.name + why + ": \"" + printable(b.text, NAME_LENGTH) + "\"";
            return false;
        }
    log_conversion result;
    if (!check_log_part(options, why)) {
        log_error_ = why;
    } else if (!convert_data_log(log_text_, options, result)) {
        log_error_ = printable(result.error);
    } else {
        for (const std::string &w : result.warnings) log_warnings_.push_back(printable(w));
        log_span_ = printable(result.span);
        log_clock_ = result.clock;
        log_script_.swap(result.script);
    }
    return log_error_.empty();
}

bool session::play_log() {
    if (log_name_.empty()) return false;
    if (!convert_log()) {
        alert(log_name_ + " gives no scenario: " + log_error_ + ".");
        return false;
    }
    std::string script;
    script.swap(log_script_);
    return play_script(script, log_name_, "the data log " + log_name_, "");
}

// --- Profiles

bool session::load_profile(const std::string &bytes, const std::string &name) {
    instrument_profile read;
    std::string error;
    if (!read_profile(bytes, read, error)) {
        alert(printable(name, NAME_LENGTH) + " is no profile this reads: " + error + ".");
        return false;
    }
    profile_ = read;
    has_profile_ = true;
    profile_title_ = read.title.empty() ? printable(name, NAME_LENGTH) : read.title;
    notice("Profile " + profile_title_ + ": in force from the next power-on");
    return true;
}

void session::factory_settings() {
    has_profile_ = false;
    profile_ = instrument_profile();
    profile_title_.clear();
    notice("Factory settings from the next power-on");
}

// Before any power-on the records hold no settings yet (a pulse count of 0
// is none a page sets): the profile is then the one the next power-on loads.
std::string session::save_profile(const std::string &title) const {
    if (settings.rpm_pulses_per_rev != 0) return write_profile(title);
    program_state kept;
    save_program_state(kept);
    load_factory_defaults();
    if (has_profile_) apply_profile(profile_);
    const std::string text = write_profile(title);
    restore_program_state(kept);
    return text;
}
