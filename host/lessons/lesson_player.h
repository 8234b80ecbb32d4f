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

#include <string>

struct lesson_summary {
    int unaided = 0, hinted = 0, shown = 0, skipped = 0;
    long long ticks = 0; // of the 100 ms timer while the student worked
};

class lesson_player {
  public:
    // READY: checked, not begun.
    enum state { NONE, READY, REFUSED, WAITING, FINISHED, LEFT, FAILED };

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
    // Plays the step's answers from the panel as the student left it
    // (`controls`), then waits for the step again.
    void show_me(const panel_state &controls);
    // Plays the step's answers too, and counts the step skipped once done.
    void skip(const panel_state &controls);
    void leave();

    state status() const { return state_; }
    const std::string &error() const { return script_.error(); }
    // The lesson's first line when it is a "# " comment.
    const std::string &title() const { return title_; }
    // 1-based, while waiting; the count of steps.
    int step_number() const { return (int)script_.current_step() + 1; }
    int step_count() const { return (int)script_.steps().size(); }
    const std::string &task() const;
    // The hint once asked for or due, else empty.
    const std::string &hint_text() const;
    bool has_hint() const;
    // The well text of the step done last, until the next one is done.
    const std::string &well() const { return well_; }
    const lesson_summary &summary() const { return summary_; }
    // The summary as the front ends show it at the end.
    std::string summary_text() const;
    // The panel as the lesson's lines have set it, for the front end's controls.
    const panel_state &panel() const { return script_.panel(); }

    // Everything the lesson plays from begin() on goes to `recorder` as
    // well; nullptr stops.
    void echo_to(session_recorder *recorder);

  private:
    void play_on();
    void next_step();

    lcd_script script_;
    session_recorder *recorder_ = nullptr;
    state state_ = NONE;
    std::string title_, well_;
    lesson_summary summary_;
    bool hinted_ = false, shown_ = false, skipping_ = false;
    long long step_ticks_ = 0;
};
