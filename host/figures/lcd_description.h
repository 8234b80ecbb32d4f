// A description in words of what the LCD shows, rebuilt from each pass's
// drawn texts and drawn state, for screen readers; and what a front end
// announces when it changes.
#pragma once
#include <set>
#include <string>
#include <vector>

struct lcd_description {
    // Everything below in one text: the screen, its lines, the notes, the
    // focus and the alarm state, joined by ". ".
    std::string text;
    // The screen's or page's name ("MAP setup", "Engine page").
    std::string screen;
    // The drawn texts line by line, top to bottom, as the frame shows them.
    std::vector<std::string> lines;
    // What the frame shows other than in text: a reading crossed out, the
    // backlight level's bar.
    std::vector<std::string> notes;
    // The selected row, item or digit, or the value being edited; empty
    // where nothing is selected.
    std::string focus;
    // "No alarm", or each active alarm, high or low, acknowledged or not.
    std::string alarm;
    // The run screen, whose figures follow the engine and the clock.
    bool run_screen = false;
};

// The LCD after the last pass; "Instrument off" while it is off.
lcd_description describe_lcd(bool instrument_on);

// The alarm lamp's accessible name: "alarm" while it is bright (an alarm not
// acknowledged), "alarm acknowledged" while an acknowledged alarm is still
// active, "no alarm" otherwise.
const char *lamp_accessible_name(bool bright);

// Decides what a front end announces: once per change a user made, or an
// alarm's change, saying only what changed (the new screen whole), at most
// once every ANNOUNCE_TICKS ticks of 100 ms; a change that comes sooner is
// said once the interval is over, merged with the rest.
class lcd_announcer {
  public:
    static const int ANNOUNCE_TICKS = 10;
    // The passes after an input whose changed lines are the input's.
    static const int INPUT_PASSES = 3;
    // One tick of 100 ms.
    void tick();
    // A user's input: a key or a switch, or (engine_slider) a sensor slider,
    // whose figures the run screen shows live and which is said elsewhere only.
    void user_input(bool engine_slider);
    // The description after each pass. True when an announcement is due
    // now; announcement() then holds it.
    bool offer(const lcd_description &description);
    const std::string &announcement() const { return announcement_; }

  private:
    std::string changes(const lcd_description &now) const;

    lcd_description said_;
    std::set<size_t> input_lines_; // lines (notes after them) an input changed
    std::string announcement_;
    bool any_ = false;
    bool focus_changed_ = false; // by an input
    bool slider_ = false;
    int input_passes_ = 0;
    int ticks_since_ = ANNOUNCE_TICKS;
};
