// The script language of the front ends: a plain-text list of panel inputs
// run through the same power-loop functions the window calls. lcdshot runs a
// script at once; the window and the page play one step at a time, letting
// real time pass for each tick. The frame files (PNG) are the front end's.
//
// One command per line; `#` starts a comment, blank lines are ignored, a
// UTF-8 byte-order mark at the start is skipped.
//   on | off                     the "&On" / "&Off" buttons
//   key F1|F2|PUSH|PLUS|MINUS    a key click (dropped while pending_key is full)
//   rpm N | map N | temp N       move a slider (clamped to its range)
//   rpm F rpm | map F mB|inHg | temp F C|F
//                                move it to where the instrument shows F
//   ramp SLIDER N|F UNIT SECONDS move it there in even steps, one a tick,
//                                the ticks and passes as `hold` runs them
//   ramp SLIDER N|F UNIT SLIDER N|F UNIT ... SECONDS
//                                move up to three sliders together
//   hold SECONDS                 real time: each tick of the 100 ms timer
//                                followed by PASSES_PER_TICK passes while on
//   note TEXT                    a caption for the scenario's next steps
//   set NAME VALUE [UNIT]        a setting put in place at once, by the names
//                                and in the units of host/script/setting_table.h
//                                (a profile's lines after `on` are these)
//   exio on|off                  the EXIO check box
//   tick [N]                     N ticks of the 100 ms timer (default 1)
//   pass [N]                     N passes of the power loop (default 1; only while on)
//   engine-timers on|off         Simulation > Run Engine Timers
//   scale N                      pixel scale of later shots (1..16)
//   shot NAME                    the LCD in palette colours, scaled up, as NAME.png
//   golden NAME                  the exact 160 x 120 indexed PNG, as NAME.png
//   expect screen NAME           fails unless the screen shown has that name
//   expect lamp bright|dark      fails unless the lamp has that colour
//   expect golden FILE           fails unless the frame equals FILE
//   expect CONDITION [within S]  fails unless the condition (a lesson's,
//                                host/script/lesson_conditions.h) holds; with
//                                `within` the ticks and passes run as in
//                                `hold` until it holds, for at most S seconds
//   state NAME                   the instrument's state as NAME.json
//                                (host/script/instrument_state.h)
// Lessons: steps the student works on the live instrument.
//   ask TEXT                     opens a step: the task shown to the student
//   hint TEXT                    the step's hint (on request, or after `within`)
//   well TEXT                    shown when the step is done
//   answer LINE                  a line of the step played only with no student
//                                present (lcdshot, tests, "Show me")
//   until CONDITION [within S]   closes the step: waits until the condition
//                                (host/script/lesson_conditions.h) holds after a pass.
//                                With no student the ticks and passes run as
//                                in `hold`, for at most S seconds or
//                                DEFAULT_WAIT_TICKS, and a step not done then
//                                fails the script.
// Counts run from 0 to MAX_COUNT, seconds to MAX_COUNT ticks, with one
// decimal; a line holds at most MAX_LINE characters. A whole script runs at
// most MAX_TOTAL_TICKS ticks and MAX_TOTAL_PASSES passes, writes at most
// MAX_PICTURES pictures and holds at most MAX_SCRIPT_BYTES bytes: it is
// refused before anything runs when it would go past one.
#pragma once
#include "host/figures/engine_figures.h"
#include "host/script/lesson_conditions.h"
#include "host/script/setting_table.h"
#include "host/text/printable.h"
#include "host/shell/program_state.h"

#include <stdint.h>

#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

// Where a script's pictures go and where `expect golden` reads them from.
class frame_files {
  public:
    virtual ~frame_files() = default;
    // Writes the 160 x 120 frame of palette indices as NAME: in palette
    // colours with each pixel scale x scale, or (exact) as the indexed PNG.
    // Sets `where` to what was written, or to the reason it was not.
    virtual bool write_frame(const std::string &name, const uint8_t *frame, int scale, bool exact,
                             std::string &where) = 0;
    // Reads FILE into 160 x 120 palette indices; sets `error` when it cannot.
    virtual bool read_golden(const std::string &file, uint8_t *frame, std::string &error) = 0;
    // Writes the instrument's state (JSON) as NAME.json; a front end without
    // files keeps nothing, as with its pictures.
    virtual bool write_state(const std::string &name, const std::string &, std::string &where) {
        where = name + ".json";
        return true;
    }
    // For a frame that differs from the golden FILE: writes what helps to see
    // why (the actual frame, the two side by side) and names them in `where`.
    virtual void write_mismatch(const std::string &, const uint8_t *, const uint8_t *,
                                std::string &where) {
        where.clear();
    }
    // Writes the frame as the golden FILE, read back by read_golden.
    virtual bool write_golden(const std::string &, const uint8_t *, std::string &where) {
        where = "goldens are not written here";
        return false;
    }
};

// The window's controls as the script has set them.
struct panel_state {
    int32_t rpm_position = 1;  // RPM slider, 1..100000
    int32_t map_position = 1;  // MAP slider, 1..4096
    int32_t temp_position = 0; // TEMP slider, 0..4096
    bool exio_checked = false;
    bool running = false; // the power loop runs between "on" and "off"
    bool engine_timers = false;
};

class session_recorder;


// A key's code by the script's name for it (F1, F2, PUSH, PLUS, MINUS).
bool key_code(const std::string &name, uint8_t &code);

// The words of a script line, its comment removed.
std::vector<std::string> script_words(const std::string &line);

// Where a script reports its pictures, notes and warnings, a line at a time.
typedef std::function<void(const std::string &line)> script_report;

class lcd_script {
  public:
    // What the host does next while it plays a script step by step.
    // STEP_WAIT: a student is present and the script waits at an `until`.
    enum step { STEP_TICK, STEP_PASS, STEP_DONE, STEP_FAILED, STEP_WAIT };

    // Pictures go through `files`; each one is reported to `report`. The
    // instrument is left as it is: a script that starts at program start
    // needs reset_program_state() first.
    lcd_script(frame_files &files, int scale, script_report report);

    // Reads and checks a whole script, running nothing; false with error()
    // and error_line() at the first bad line. The panel goes on from the
    // state the previous script left. The script keeps the one copy of its text.
    bool load(std::istream &in);
    bool load(std::string text);

    // Runs loaded lines until a tick or a pass of the host's time is due and
    // says which; STEP_FAILED when an expectation or a picture failed.
    step advance();
    // One tick of the 100 ms timer, or one pass of the power loop, of the
    // line advance() stopped at.
    void tick();
    void pass();

    // load(), then every line at once, the ticks and passes back to back.
    bool run(std::istream &in);
    bool run(std::string text);

    // For a front end that plays in real time, the loaded script is first
    // rehearsed: run whole from program start on a copy of the program state,
    // writing and reporting nothing, so that a script that would fail plays
    // nothing. The live instrument is untouched until the rehearsal passes;
    // then the program is brought to its start, ready for advance().
    // rehearse() runs at most `budget` ticks and passes of it a call, so that
    // a front end can go on between calls; `before_tick`, when given, is
    // called with the rehearsal's state in place before each tick and at the
    // end, with the number of ticks run so far. The echo goes on.
    enum rehearsal { REHEARSING, REHEARSED, REFUSED };
    rehearsal rehearse(long long budget,
                       const std::function<void(long long ticks)> &before_tick = nullptr);
    // Ticks and passes the rehearsal has run, and those of the whole script.
    long long work_done() const { return work_done_; }
    long long work_total() const { return total_ticks_ + total_passes_; }

    // load(), then the whole rehearsal at once.
    bool prepare(std::string text);

    // The text of the last `note`, empty before one.
    const std::string &caption() const { return caption_; }
    // From now on tells `seen` the text of every note played, the
    // rehearsal's included; nullptr stops.
    void notes_to(std::function<void(const std::string &)> seen) { notes_to_ = std::move(seen); }

    // Settings put in place after every `on`, as a profile gives them
    // (recorded as `set` lines after the `on`, so a recording replays alone).
    void settings_at_power_on(std::vector<std::pair<int, setting_value>> settings) {
        power_on_settings_ = std::move(settings);
    }

    // From now on tells `recorder` every input, tick and pass played, as the
    // window's own controls would (sliders as positions); nullptr stops.
    void echo_to(session_recorder *recorder) { echo_ = recorder; }

    // A lesson's steps: the texts of each, where its lines start, its
    // `until` and its time.
    struct lesson_step {
        std::string task, hint, well;
        size_t first, until;
        long long within; // ticks; 0 when the step gives none
        int line;         // of its `ask`
    };
    const std::vector<lesson_step> &steps() const { return steps_; }
    // The step being played, or the number of steps after the last.
    size_t current_step() const;

    // With a student present, `answer` lines are skipped and advance()
    // stops at an `until` with STEP_WAIT; the front end runs the instrument
    // and asks wait_over() after each pass. A rehearsal plays as if alone.
    void set_student(bool present) { student_ = present; }
    // Whether the step waited at is done: its condition has held, with no
    // value left in editing unless it names editing, at every pass for
    // SETTLE_TICKS ticks. Called after each pass; wait_tick() at each tick.
    bool wait_over();
    void wait_tick();
    // Goes on past the `until` waited at (its condition held, or the step is
    // skipped).
    void end_wait();
    // Plays the answers of the step waited at again: advance() runs only
    // them, then waits at the same `until`.
    void show_answers();

    const std::string &error() const { return error_; }
    int error_line() const { return error_line_; }
    // The first failure without its line: "at 0:31.4: rpm is 4980 rpm,
    // expected 5000 +-10" for an expectation (with the script's time).
    const std::string &message() const { return message_; }
    // Whether the script failed at an expectation (or a lesson's step), not
    // because a line could not be read or done.
    bool check_failed() const { return check_failed_; }

    // With keep_going, a failed expectation is noted and the script goes on;
    // run() then fails after its last line with every failure in failures().
    struct failure {
        int line;
        std::string message;
    };
    void set_keep_going(bool on) { keep_going_ = on; }
    const std::vector<failure> &failures() const { return failures_; }
    // With update_goldens, every `expect golden FILE` writes the frame as
    // FILE where it differs (or is missing) and the script goes on, writing
    // no other picture; updated() names the goldens that changed.
    void set_update_goldens(bool on) { update_goldens_ = on; }
    const std::vector<std::string> &updated() const { return updated_; }
    // With states_with_pictures, every shot and golden also writes the state
    // as NAME.json beside it.
    void set_states_with_pictures(bool on) { states_with_pictures_ = on; }
    // Ticks of the 100 ms timer played since the script started.
    long long ticks_played() const { return ticks_played_; }
    // The number of the line being played (0 before the first), and its text.
    int line() const;
    std::string line_text() const;
    const panel_state &panel() const { return panel_; }
    // The panel as a student has left it: lines played later (the answers
    // of Show me) go on from there.
    void set_panel(const panel_state &panel) { panel_ = panel; }
    int scale() const { return scale_; }

    static constexpr int MIN_SCALE = 1;
    static constexpr int MAX_SCALE = 16;
    static constexpr int MAX_COUNT = 1000000;
    static constexpr int MAX_LINE = 4096;
    // Four hours of the 100 ms timer, with up to ten passes a tick (a 100 Hz
    // screen): a long real session stays well under both.
    static constexpr long long MAX_TOTAL_TICKS = 144000;
    static constexpr long long MAX_TOTAL_PASSES = 1440000;
    static constexpr int MAX_PICTURES = 200;
    static constexpr size_t MAX_SCRIPT_BYTES = 1 << 20;
    // How long a step's condition holds before the step counts as done: a
    // slider swept through a figure does not do it.
    static constexpr int SETTLE_TICKS = 5;
    // Passes per tick in `hold` and `ramp`: a 60 Hz screen's six a tick.
    static constexpr int PASSES_PER_TICK = 6;
    // How long `until` waits with no student when the step gives no time.
    static constexpr long long DEFAULT_WAIT_TICKS = 600;

    // Where the playing script stands: its line, the progress of a timed
    // line, the panel, the caption and the scale. Set aside with the program
    // state, it lets a player come back to a moment it has passed.
    // Sliders a ramp line moves together, at most one leg each.
    static constexpr int MAX_RAMP_LEGS = 3;

    struct playhead {
        size_t next;
        bool started, ticked, moved;
        long long remaining, cycle;
        int passes_done;
        int32_t ramp_from[MAX_RAMP_LEGS], ramp_to[MAX_RAMP_LEGS];
        panel_state panel;
        std::string caption;
        int scale;
        long long ticks_played;
    };
    playhead where() const;
    void go_to(const playhead &at);

  private:
    // A slider's target: a position (FIGURE_RAW) or a figure in its unit.
    struct slider_move {
        slider_id slider;
        figure_unit unit;
        long long value;
    };
    // One checked line: what it does, its number and text, and its argument.
    // A slider line moves legs[0]; a ramp moves legs[0..leg_count).
    struct command {
        int op;
        int number;
        uint32_t at, length; // the line in text_
        long long value;
        std::string word;
        slider_move legs[MAX_RAMP_LEGS];
        int leg_count;
        long long ticks; // of hold, ramp and until
        bool answer;     // played only with no student present
        setting_value setting;
    };

    bool play();
    bool parse(const std::string &line, int number, bool &running);
    bool parse_lesson_line(const std::vector<std::string> &w, const std::string &line, int number,
                           bool running, command &c);
    bool parse_expectation(const std::vector<std::string> &w, const std::string &line, int number,
                           bool running, command &c);
    bool parse_timed_condition(const std::vector<std::string> &w, const std::string &line,
                               int number, size_t least_words, std::string condition, command &c,
                               bool &timed);
    bool skipped(const command &c) const;
    bool count_work(int number, const std::string &line, long long ticks, long long passes);
    std::string source(const command &c) const;
    void rewind();
    bool execute(const command &c);
    static bool timed(const command &c);
    bool start_timed(const command &c);
    bool slider_target(const command &c, const slider_move &move, int32_t &position);
    void move_slider(slider_id slider, int32_t position);
    void echo(const std::string &input);
    bool fail(int number, const std::string &line, const std::string &message);
    bool fail_check(const command &c, const std::string &message);
    bool check_golden(const command &c);
    bool write_state(const command &c, const std::string &name);

    frame_files &files_;
    int scale_;
    script_report report_;
    panel_state panel_;
    std::string text_;
    std::vector<command> commands_;
    std::vector<lesson_condition> conditions_;
    std::vector<lesson_step> steps_;
    bool student_ = false;
    bool showing_ = false; // playing a step's answers for a student
    long long total_ticks_ = 0, total_passes_ = 0;
    int pictures_ = 0;
    // The rehearsal's own copy of the program state between its slices.
    bool rehearsing_ = false;
    bool rehearsal_started_ = false;
    program_state rehearsal_state_;
    long long rehearsal_ticks_ = 0;
    long long work_done_ = 0;
    size_t next_ = 0;
    // The timed command being played: started, passes left of a `pass`,
    // and for hold and ramp the tick cycle, its passes, and the ramp's ends.
    bool started_ = false;
    long long remaining_ = 0;
    long long cycle_ = 0;
    bool ticked_ = false;
    bool moved_ = false;
    int passes_done_ = 0;
    int32_t ramp_from_[MAX_RAMP_LEGS] = {}, ramp_to_[MAX_RAMP_LEGS] = {};
    std::string caption_;
    session_recorder *echo_ = nullptr;
    std::vector<std::pair<int, setting_value>> power_on_settings_;
    std::function<void(const std::string &)> notes_to_;
    // The step's start, for `happened`, and the ticks its condition has held
    // (-1 while it does not).
    condition_marks step_marks_ = {};
    long long held_ticks_ = -1;
    bool failed_ = false;
    std::string error_, message_;
    int error_line_ = 0;
    bool check_failed_ = false;
    bool keep_going_ = false, update_goldens_ = false, states_with_pictures_ = false;
    std::vector<failure> failures_;
    std::vector<std::string> updated_;
    long long ticks_played_ = 0;
};

// Ticks as the script's time reads in messages: "0:31.4", "1:02:03.5".
std::string script_time(long long ticks);
