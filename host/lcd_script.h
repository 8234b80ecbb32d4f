// A headless stand-in for the simulator window: runs a plain-text script of
// panel inputs through the same power-loop functions the window calls, and
// writes the LCD as PNG files.
//
// One command per line; `#` starts a comment, blank lines are ignored.
//   on | off                     the "&On" / "&Off" buttons
//   key F1|F2|PUSH|PLUS|MINUS    a key click (dropped while pending_key is full)
//   rpm N | map N | temp N       move a slider (clamped to its range)
//   exio on|off                  the EXIO check box
//   tick [N]                     N ticks of the 100 ms timer (default 1)
//   pass [N]                     N passes of the power loop (default 1; only while on)
//   engine-timers on|off         Simulation > Run Engine Timers
//   scale N                      pixel scale of later shots (1..16)
//   shot NAME                    OUTDIR/NAME.png in palette colours, scaled up
//   golden NAME                  OUTDIR/NAME.png as the exact 160 x 120 indexed PNG
//   expect screen NAME           fails unless the current screen has that name
//   expect lamp bright|dark      fails unless the lamp has that colour
//   expect golden FILE           fails unless the frame equals an indexed 160 x 120 PNG
// Counts run from 0 to MAX_COUNT; a line holds at most MAX_LINE characters.
#pragma once
#include <stdint.h>

#include <iosfwd>
#include <string>

// The window's controls as the script has set them.
struct panel_state {
    int32_t rpm_position = 1;   // RPM slider, 1..100000
    uint16_t map_position = 1;  // MAP slider, 1..4096
    uint16_t temp_position = 0; // TEMP slider, 0..4096
    bool exio_checked = false;
    bool running = false; // the power loop runs between "on" and "off"
};

class lcd_script {
  public:
    // Brings the program to its start state: the window has just opened.
    // Shots go to outdir (created when needed); each one is reported on log.
    lcd_script(const std::string &outdir, int scale, std::ostream &log);

    // Runs every line of `in`; stops at the first bad line or failed
    // expectation and returns false with error() and error_line() set.
    bool run(std::istream &in);

    // Runs one line, `number` naming it in an error.
    bool run_line(const std::string &line, int number);

    const std::string &error() const { return error_; }
    int error_line() const { return error_line_; }
    const panel_state &panel() const { return panel_; }
    int scale() const { return scale_; }

    static constexpr int MIN_SCALE = 1;
    static constexpr int MAX_SCALE = 16;
    static constexpr int MAX_COUNT = 1000000;
    static constexpr int MAX_LINE = 4096;

  private:
    bool fail(int number, const std::string &line, const std::string &message);

    std::string outdir_;
    int scale_;
    std::ostream &log_;
    panel_state panel_;
    std::string error_;
    int error_line_ = 0;
};
