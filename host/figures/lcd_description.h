// A description in words of what the LCD shows, built from the instrument's
// state after a pass, for screen readers; and when a front end says it.
#pragma once
#include <string>

struct lcd_description {
    // What is said: the screen's name, its figures with their units, the
    // selected item or the value being edited, and the alarm state.
    std::string text;
    // Changes only when the screen changes in substance: another screen or
    // page, another selection, an edited value, an alarm. Live figures and
    // blinking leave it alone.
    std::string substance;
};

// The LCD after the last pass; "Instrument off" while it is off.
lcd_description describe_lcd(bool instrument_on);

// The alarm lamp's accessible name for its state.
const char *lamp_accessible_name(bool bright);

// Decides when a front end announces the description: on a change of
// substance, at most once every ANNOUNCE_TICKS ticks of 100 ms; a change
// that comes sooner is announced once the interval is over.
class lcd_announcer {
  public:
    static const int ANNOUNCE_TICKS = 10;
    // One tick of 100 ms.
    void tick();
    // True when `description` is to be announced now.
    bool offer(const lcd_description &description);

  private:
    std::string announced_;
    bool any_ = false;
    int ticks_since_ = ANNOUNCE_TICKS;
};
