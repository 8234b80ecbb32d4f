// A lesson as the window and the page run it: the script's scene lines play
// at once, then at each `until` the student works the live instrument (the
// front end's own ticks, passes and inputs) while the player looks after
// each pass whether the step is done. Hint, Show me, Skip and Leave act on
// the step waited at; the student's inputs never end a lesson. Before
// anything plays, the whole lesson is checked with its answers on a copy of
// the program state, so a lesson whose answers do not reach its end plays
// nothing.
#pragma once
#include "host/script/lcd_script.h"
#include "host/script/session_recorder.h"
#include "host/shell/program_state.h"

#include <string>

struct lesson_summary {
    int unaided = 0, hinted = 0, shown = 0, skipped = 0;
    long long ticks = 0; // of the 100 ms timer while the student worked
};

class lesson_player {
  public:
    // READY: checked, not begun. SHOWING: Show me plays the step's inputs
    // in real time (run_for), the student watching.
    enum state { NONE, READY, REFUSED, WAITING, FINISHED, LEFT, FAILED, SHOWING };

    lesson_player(frame_files &files, script_report report);

    // Checks the lesson, leaving the program at its start with nothing
    // played; false with error() when it is refused, the program as it was.
    bool load(std::string text);
    // Plays the lesson's scene up to its first step.
    void begin();

    // The front end calls these while the student works: after each pass of
    // its power loop, and at each tick of its 100 ms timer.
    void after_pass();
    void after_tick();

    void hint();
    // Brings the instrument back to where the step began (the recording
    // too, cut to that moment) and plays the step's answers from there at
    // the pace they are written, told the real time passed by run_for();
    // then waits for the step again.
    void show_me();
    void run_for(double milliseconds);
    // While Show me plays: the line it plays ("key PLUS"), and the key it
    // pressed within the last SHOWN_KEY_MS of real time (0 none), for the
    // front end to light on the panel.
    std::string showing() const;
    uint8_t shown_key() const { return shown_key_ms_ > 0 ? shown_key_ : 0; }
    static constexpr double SHOWN_KEY_MS = 400;
    // From where the step began too, the answers at once; counts the step
    // skipped once done.
    void skip();
    void leave();

    state status() const { return state_; }
    const std::string &error() const { return script_.error(); }
    // The lesson's first line when it is a "# " comment.
    const std::string &title() const { return title_; }
    // 1-based, while waiting; the count of steps.
    int step_number() const { return (int)script_.current_step() + 1; }
    int step_count() const { return (int)script_.steps().size(); }
    // The step's task, while waiting and while Show me plays it.
    const std::string &task() const;
    // The hint once asked for or due, else empty.
    const std::string &hint_text() const;
    bool has_hint() const;
    // The well text of the step done last, until the next one is done.
    const std::string &well() const { return well_; }
    const lesson_summary &summary() const { return summary_; }
    // The summary as the front ends show it at the end.
    std::string summary_text() const;
    // The panel's main text: the task while in a step, the error once the
    // lesson stopped, else the summary.
    std::string shown_task() const;
    // The panel as the lesson's lines have set it, for the front end's controls.
    const panel_state &panel() const { return script_.panel(); }

    // Everything the lesson plays from begin() on goes to `recorder` as
    // well; nullptr stops.
    void echo_to(session_recorder *recorder);

  private:
    void play_on();
    void next_step();
    void keep_step_start();
    void back_to_step_start();

    lcd_script script_;
    session_recorder *recorder_ = nullptr;
    state state_ = NONE;
    std::string title_, well_;
    lesson_summary summary_;
    bool hinted_ = false, shown_ = false, skipping_ = false;
    long long step_ticks_ = 0;
    // The step's start: the program, the recording so far and the controls.
    program_state start_state_;
    session_recorder::mark start_mark_ = {};
    panel_state start_panel_;
    double due_ms_ = 0, shown_key_ms_ = 0;
    uint8_t shown_key_ = 0, shown_key_pressed_ = 0;
};
