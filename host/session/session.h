// A user's session with the simulator, toolkit-free and once for every front
// end: the live instrument run from real elapsed time, every panel input
// (recorded as it is made), the check and playback of a script, take-over,
// the notes, the timeline, a lesson and a data log. A front end forwards
// input and the time that passed on its clock, and draws what the session
// reports; it keeps no state of its own.
#pragma once
#include "host/data_log/data_log.h"
#include "host/figures/lcd_description.h"
#include "host/lessons/lesson_announcer.h"
#include "host/lessons/lesson_player.h"
#include "host/playback/note_board.h"
#include "host/playback/script_player.h"
#include "host/profiles/profile.h"
#include "host/script/session_recorder.h"
#include "host/session/library.h"

#include <stdint.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Reads a golden named by a script from the script's folder (or below it)
// into 160 x 120 palette indices; the front end's files. None in the page.
typedef std::function<bool(const std::string &folder, const std::string &name, uint8_t *frame,
                           std::string &error)>
    golden_file_reader;

class session {
  public:
    // The first line of every recorded session, naming what wrote it.
    static const char *const RECORDING_HEADER;
    // The live timebase: ticks of TICK_MS from elapsed time, the rest
    // carried; after a long stall at most MAX_CATCH_UP ticks are made up.
    static constexpr int TICK_MS = script_player::TICK_MS;
    static constexpr int MAX_CATCH_UP = 50;
    // A script's check runs in slices of CHECK_STEP ticks and passes; the
    // front end runs slices for about CHECK_SLICE_MS between its frames and
    // shows the progress once the check has taken CHECK_PROGRESS_AFTER_MS.
    static constexpr long long CHECK_STEP = 2000;
    static constexpr int CHECK_SLICE_MS = 30;
    static constexpr int CHECK_PROGRESS_AFTER_MS = 1000;
    // How long a notice stays in the status line, in milliseconds.
    static constexpr double NOTICE_MS = 4000;

    explicit session(golden_file_reader read_golden = nullptr);
    ~session();
    session(const session &) = delete;
    session &operator=(const session &) = delete;

    // --- Time. The front end hands over the milliseconds its clock moved
    // since the last call; live, they become ticks of the 100 ms timer (and
    // move the notes on), while a script plays they are the player's.
    void elapse(double milliseconds);
    // Milliseconds until the next live tick is due.
    double until_next_tick() const;
    // Whether the front end runs the live power loop: on and not stopping,
    // and no script playing (its passes are the script's).
    bool loop_running() const;
    // One pass of the live power loop; nothing unless loop_running().
    void pass();
    // On, and not stopping (live or not).
    bool instrument_on() const;
    // The real time the session has seen, in milliseconds.
    double now() const { return now_; }

    // --- Inputs: each is recorded, and a user's input takes over from a
    // script playing (the instrument runs on live from where it was).
    void power_on();
    void power_off();
    // KEY_F1 .. KEY_MINUS; dropped while the instrument's slot is full.
    void key(uint8_t code);
    void move_slider(slider_id slider, int32_t position);
    void set_exio(bool checked);
    void set_engine_timers(bool on);
    // A typed figure for a slider: moves it where the script language would
    // and puts the warning or refusal in entry_message(); false when refused.
    bool enter_figure(slider_id slider, const std::string &text);
    const std::string &entry_message() const { return entry_message_; }
    // Page Up (1) or Page Down (-1) on a slider: an engine step.
    void page_slider(slider_id slider, int direction);

    // The controls as they show now: the script's while one plays.
    const panel_state &panel() const;
    // Whether the instrument's own settings are in force (on, live or in
    // the script playing), else the factory ones its next power-on loads.
    bool settings_in_force() const;
    // "30000  5000 rpm": a slider's position and the figure it makes.
    std::string slider_text(slider_id slider) const;
    // The alarm lamp's red level and its accessible name.
    uint8_t lamp() const;
    const char *lamp_name() const;
    // What changed on the LCD since the last announcement, when it is due
    // (at most once a second), for a live region; else empty. Taken once;
    // a front end that takes it less often than that hears the latest.
    std::string announcement();
    // The LCD's description after the last pass; its text is the full
    // description a canvas label and the window's accessible description hold.
    lcd_description description() const;

    // --- Saving and restoring the instrument's records with the panel, to
    // come back to them (a test's starting point). Restoring takes over from
    // a script playing; the recording goes on, not replaying across it.
    struct saved_state {
        program_state program;
        panel_state controls;
        bool on;
    };
    saved_state save() const;
    void restore(const saved_state &saved);

    // --- The recording: every input since the session began, as a script.
    std::string recording() const;
    // Also hands every finished line to `out` from now on (empty: stops);
    // starting hands over the recording so far, header included.
    void record_to(std::function<void(const std::string &)> out);
    bool recording_streamed() const { return streaming_; }

    // --- Scripts. A script's bytes are checked whole on a copy of the
    // program state, in slices, while the live instrument goes on; one that
    // passes plays from program start with a new session, one that fails
    // plays nothing and leaves an alert. `title` and `source` name it in
    // messages ("the file run_up.txt"); `folder` is where its goldens are
    // read, "" for the library's.
    bool play_script(const std::string &bytes, const std::string &title, const std::string &source,
                     const std::string &folder);
    bool play_library(library_kind kind, size_t index);
    // The library entry whose script the session holds now, for a link to
    // name and a list to select: the scenario playing, or played until an
    // input goes on from it, or the lesson open. LIBRARY_KINDS and -1 for
    // none (a script from elsewhere, or the session's own inputs).
    library_kind loaded_kind() const { return loaded_kind_; }
    int loaded_index() const { return loaded_index_; }
    // Runs about `budget` ticks and passes of the check; true while it goes on.
    bool check_slice(long long budget = CHECK_STEP);
    bool checking() const { return checked_ != nullptr; }
    double check_progress() const;
    const std::string &checking_title() const { return checked_title_; }
    void cancel_check();

    // --- Playback, while a script plays (each does nothing otherwise).
    bool playing() const { return player_ != nullptr; }
    const script_player *player() const { return player_.get(); }
    const std::string &playing_title() const { return player_title_; }
    void pause_resume();
    void step();
    void restart();
    void seek(long long tick);
    void set_speed(int speed);
    // One speed slower (-1) or faster (1).
    void change_speed(int direction);
    int speed() const { return player_ ? player_->speed() : 1; }
    // Stops the script where it is: the instrument runs on live from there.
    void take_over();
    // A page hidden from view gets no frames: the playback pauses, and goes
    // on when it is shown again.
    void set_hidden(bool hidden);

    // --- What a front end shows besides the LCD.
    // The status line ("Playing run up", "On").
    std::string status() const;
    // A message of the front end's own for the status line, for a few seconds.
    void notice(const std::string &text);
    // An alert to show until dismissed (a script refused or failed, a file
    // that cannot be read), once; empty when none is new.
    std::string take_alert();
    // Lines the script reported (pictures, warnings) since the last call.
    std::string take_log();
    // The notes: the one shown and the list so far.
    const note_board &notes() const { return notes_; }
    // Counts the times the notes started again (a new script, a seek): a
    // front end's list of them starts again too.
    unsigned notes_epoch() const { return notes_epoch_; }
    // The timeline: what was played, and after a take-over the live session
    // going on from there; empty before the first script.
    const std::vector<timeline_sample> &timeline() const;
    const std::vector<timeline_note> &timeline_notes() const;
    long long timeline_position() const;
    // Seeking is possible: a script plays.
    bool timeline_seekable() const { return player_ != nullptr; }
    // The pictures the playing script wrote, in order.
    const std::vector<std::vector<uint8_t>> &pictures() const { return pictures_; }

    // --- Lessons.
    bool start_lesson(const std::string &bytes, const std::string &title);
    bool start_library_lesson(size_t index);
    const lesson_player *lesson() const { return lesson_.get(); }
    const std::string &lesson_title() const { return lesson_title_; }
    bool lesson_waiting() const;
    // Show me plays the step's inputs: the controls follow it and the live
    // loop waits (its passes are the lesson's).
    bool lesson_showing() const;
    void lesson_hint();
    void lesson_show_me();
    void lesson_skip();
    // During the lesson: its summary; after it: the panel closes.
    void lesson_leave();
    void close_lesson();
    // The lesson's texts new since the last call, for a screen reader:
    // the well-done text, the task or the summary, the hint; else empty.
    std::string lesson_announcement() { return lesson_heard_.heard(lesson_.get()); }

    // --- Data logs: open a log, choose its columns, units, part and
    // profile, see every warning of its conversion, play it.
    // Opening converts it once with what was found in it, for the chooser.
    bool open_log(const std::string &bytes, const std::string &file_name);
    const log_header &log() const { return log_header_; }
    const std::string &log_name() const { return log_name_; }
    // The chooser's choices, each log starting from what is found in it:
    // a column per role (-1 none), the units as the log gives them, the
    // whole log, and the profile in force when there is one.
    int log_column[LOG_ROLES];
    figure_unit log_map_unit = FIGURE_RAW, log_temp_unit = FIGURE_RAW;
    // The part played, as typed; empty: from the log's start, to its end.
    // After the first row (seconds or [H:]MM:SS), or with log_part_clock
    // clock times of the log (HH:MM[:SS]), as lcdshot's options take them.
    std::string log_start, log_end;
    bool log_part_clock = false;
    // The flight plays under the profile in force, else the factory settings.
    bool log_under_profile = false;
    // Converts the log with the choices, so that the chooser lists what
    // playing it would warn of; false with log_error() when it gives no
    // scenario (a start or end it cannot read, no row in the part).
    bool convert_log();
    const std::string &log_error() const { return log_error_; }
    // What the last conversion plays ("0:02:39 of the log from row 4 at
    // 10:15:03"); whether the log's times are clock times.
    const std::string &log_span() const { return log_span_; }
    bool log_has_clock() const { return log_clock_; }
    // Converts with the choices and plays; an alert when it cannot.
    bool play_log();
    // The warnings of the last conversion, each once with its first row.
    const std::vector<std::string> &log_warnings() const { return log_warnings_; }

    // --- Instrument profiles: the owner's settings put in place at every
    // power-on of the live instrument and of a data log's flight, instead of
    // the factory ones. Scenarios and lessons keep the factory settings.
    bool load_profile(const std::string &bytes, const std::string &name);
    void factory_settings();
    bool has_profile() const { return has_profile_; }
    const std::string &profile_title() const { return profile_title_; }
    // The settings in force as a profile file.
    std::string save_profile(const std::string &title) const;

    // --- The libraries of scenarios, lessons and preset profiles (a preset
    // "plays" as load_profile).
    script_library &library(library_kind kind) { return libraries_[kind]; }
    const script_library &library(library_kind kind) const { return libraries_[kind]; }

  private:
    class frames;
    void tick_live();
    void input(const std::string &command);
    bool check_script(const std::string &bytes, const std::string &title, const std::string &source,
                      const std::string &folder, int entry);
    bool begin_lesson(const std::string &bytes, const std::string &title, int entry);
    void load_entry(library_kind kind, int index);
    void alert(const std::string &head, const std::string &detail = "");
    void refuse(const std::string &why);
    void start_playing();
    void end_playing(const char *how);
    void after_playback();
    void stop_streaming_for(const std::string &why);
    void clear_notes();
    void notes_from(long long tick);
    void follow_lesson();
    void hear_pass();

    golden_file_reader read_golden_;
    session_recorder recorder_;
    bool streaming_ = false;
    panel_state controls_;
    bool on_ = false; // the live loop runs between "on" and "off"
    double now_ = 0, carry_ = 0;
    // The notes' clock: real time live, the playback's time while a script
    // plays, so that they keep step with the frames at every speed.
    double notes_now_ = 0;
    lcd_announcer announcer_;
    std::string heard_; // the latest announcement not yet taken
    std::string entry_message_;
    std::string alert_, log_, notice_;
    double notice_until_ = 0;

    std::unique_ptr<frames> checked_frames_;
    std::unique_ptr<script_player> checked_;
    std::string checked_title_, checked_source_;
    int checked_entry_ = -1; // the scenario of the library being checked
    library_kind loaded_kind_ = LIBRARY_KINDS;
    int loaded_index_ = -1;
    std::unique_ptr<frames> player_frames_;
    std::unique_ptr<script_player> player_;
    std::string player_title_;
    bool hidden_pause_ = false;
    std::vector<std::vector<uint8_t>> pictures_;
    std::string ended_; // what the status says after a script
    note_board notes_;
    unsigned notes_epoch_ = 0;
    // The timeline after a script: what it played, then the live session.
    std::vector<timeline_sample> played_;
    std::vector<timeline_note> played_notes_;

    std::unique_ptr<frames> lesson_frames_;
    std::unique_ptr<lesson_player> lesson_;
    std::string lesson_title_;
    lesson_announcer lesson_heard_;

    std::string log_text_, log_name_;
    log_header log_header_;
    std::vector<std::string> log_warnings_;
    std::string log_error_, log_span_, log_script_;
    bool log_clock_ = false;

    script_library libraries_[LIBRARY_KINDS];

    bool has_profile_ = false;
    instrument_profile profile_;
    std::string profile_title_;
};

// Ticks of the 100 ms timer as a clock reads them: "1:05", "1:02:03".
std::string clock_text(long long ticks);
