// The one player of a script for the front ends that play in real time (the
// window and the page). The script is checked first, whole, on a copy of the
// program state (lcd_script::rehearse); the check also records the timeline a
// front end draws and checkpoints of the program state. Then, told how much
// real time passed, the player runs the ticks due at its speed and the
// script's own passes between them, so that the frame at any tick is
// lcdshot's at every speed; it pauses, steps one tick, seeks to any tick and
// restarts. Front ends only draw what it reports and forward input.
#pragma once
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"
#include "host/script/session_recorder.h"

#include <functional>

#include <stdint.h>

#include <string>
#include <vector>

// The instrument at one tick of the timeline, as it shows it: RPM, MAP in
// millibar or tenths of an inch of mercury, TEMP in C or F.
struct timeline_sample {
    int32_t rpm;
    int16_t map;
    int16_t temp;
    uint8_t map_in_inhg;
    uint8_t temp_in_f;
    uint8_t lamp_bright;
};

// The instrument as it shows now, for a timeline of the live session.
timeline_sample sample_instrument();

struct timeline_note {
    long long tick;
    std::string text;
};

class script_player {
  public:
    enum state { CHECKING, REFUSED, PLAYING, PAUSED, ENDED, FAILED };

    // Pictures of the script go through `files`, its reports to `report`,
    // as lcd_script's; while seeking nothing is written or reported.
    script_player(frame_files &files, script_report report);

    // Reads the script; false with error() when a line is bad.
    bool load(std::string text);
    // Runs at most `budget` ticks and passes of the check (the live program
    // state is left as it was); REHEARSED leaves the program at its start
    // and the player PLAYING at tick 0, REFUSED with error().
    lcd_script::rehearsal check(long long budget);

    // Runs what `milliseconds` of real time bring at the speed: the ticks
    // due, each with the passes after it, at most MAX_PASSES_PER_CALL passes
    // a call. Nothing while paused.
    void run_for(double milliseconds);
    void pause();
    void resume();
    // While paused: the next tick and the passes after it.
    void step();
    // Brings the instrument to the frame it shows at `tick` (0 to length()),
    // and the live session to what it had recorded by then; at the end, or
    // from the end, the player waits paused.
    void seek(long long tick);
    // Back to tick 0, playing.
    void restart();

    // 1, 2, 4, 8 or 16: ticks follow real time times the speed.
    void set_speed(int speed);
    int speed() const { return speed_; }

    // The session recorder that the script's inputs go to while it plays.
    void echo_to(session_recorder *session);
    // Hands the text of every note played to `listener` (none while seeking).
    void notes_to(std::function<void(const std::string &)> listener);

    state status() const { return state_; }
    long long position() const { return position_; }
    long long length() const { return (long long)timeline_.size() - 1; }
    const std::vector<timeline_sample> &timeline() const { return timeline_; }
    const std::vector<timeline_note> &notes() const { return notes_; }
    double check_progress() const;

    const lcd_script &script() const { return script_; }
    const std::string &error() const { return script_.error(); }

    static constexpr int SPEEDS[] = {1, 2, 4, 8, 16};
    static constexpr int TICK_MS = 100;
    static constexpr long long CHECKPOINT_TICKS = 300;
    static constexpr int MAX_PASSES_PER_CALL = 2000;

  private:
    struct checkpoint {
        program_state state;
        lcd_script::playhead head;
    };
    // Frames go through to the front end's files unless the player seeks.
    class seek_aware_files : public frame_files {
      public:
        seek_aware_files(frame_files &files, const bool &seeking)
            : files_(files), seeking_(seeking) {}
        bool write_frame(const std::string &name, const uint8_t *frame, int scale, bool exact,
                         std::string &where) override;
        bool read_golden(const std::string &file, uint8_t *frame, std::string &error) override;

      private:
        frame_files &files_;
        const bool &seeking_;
    };

    void record(long long ticks);
    bool play_tick();

    bool seeking_ = false;
    seek_aware_files files_;
    lcd_script script_;
    state state_ = CHECKING;
    int speed_ = 1;
    double due_ms_ = 0;
    long long position_ = 0;
    session_recorder *session_ = nullptr;
    std::function<void(const std::string &)> notes_listener_;
    // Recorded by the check: the samples and the session's mark at every
    // tick, the notes, and a checkpoint every CHECKPOINT_TICKS ticks.
    std::vector<timeline_sample> timeline_;
    std::vector<session_recorder::mark> marks_;
    std::vector<timeline_note> notes_;
    std::vector<checkpoint> checkpoints_;
    session_recorder checked_session_;
    long long check_ticks_ = 0;
};
