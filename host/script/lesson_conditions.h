// Conditions a lesson waits for and a script expects, named as the student
// sees the instrument: checked once when the script is loaded, then
// evaluated against the live records after each pass.
//
//   screen NAME                  the screen shown (a name of the screen table)
//                                  screen main_menu
//   page main|timers|max_values|mag_check
//                                the run screen's page (mag_check while it counts)
//                                  page max_values
//   lamp bright|dark             the alarm lamp               lamp dark
//   rpm N [rpm] [+-T]            the RPM shown, optionally within T
//                                  rpm 2400 +-50
//   rpm N % [+-T]                the RPM shown in PERCENT mode  rpm 85 %
//   map F mB|inHg [+-T]          the MAP shown, in the unit it is shown in
//                                  map 30.0 inHg +-0.5
//   temp F C|F [+-T]             the TEMP shown, in the unit it is shown in
//                                  temp 75 C
//   setting NAME VALUE [UNIT]    a setting, as its setup page shows it
//                                  setting map_high_alarm 41.3 inHg
//   alarm none | alarm map|rpm|temp [high|low]
//                                no alarm, or that one (high: above its high
//                                limit, low: below its low one)  alarm map high
//   mag drop N [+-T]             the magneto check counts and shows a drop of N
//                                  mag drop 100 +-20
//   flight running|stopped       the flight timer             flight running
//   editing yes|no               a value, a label or a digit is being edited
//                                  editing no
//   happened max_values_reset|gate_opened|mag_check
//                                since the step began: MAX VALUES were reset
//                                with F1, the security gate opened with a
//                                code, a magneto check was started with F2
//                                  happened max_values_reset
//   C1 and C2 ...                all of them
// A live figure holds only while the screen shows it: not while TEMP reads
// "---", not while its source is EXIO and no EXIO is connected, and RPM in
// the mode shown (rpm or %). A value in a unit the instrument does not show
// now never holds: the instrument does not convert its limits when its unit
// changes. Units are also written as the pages write them: "Hg, °C, °F.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

struct lesson_clause {
    int kind;
    int which;      // a screen, page, setting, alarm bit, figure or event
    int32_t value;  // the figure, or the option
    int32_t spread; // the tolerance of a figure
    int unit;       // the unit the value is in (a figure_unit), or -1
    std::string label; // a label setting's text
    std::string text;  // the clause as written, for reports
};

struct lesson_condition {
    std::vector<lesson_clause> clauses;
    // Whether a clause says whether a value is being edited; if none does,
    // a lesson's step waits until no value is being edited.
    bool names_editing() const;
};

// The counts of what the student did, taken when a step begins: `happened`
// looks for a change since.
struct condition_marks {
    uint16_t max_values_resets, gate_openings, mag_checks_started;
};
condition_marks marks_now();

// Reads `text` into `condition`; false with `error` naming what is wrong.
bool parse_condition(const std::string &text, lesson_condition &condition, std::string &error);

// Whether every clause holds now.
bool condition_holds(const lesson_condition &condition, const condition_marks &since);

// Each clause with what the instrument shows, "; " between: "rpm is 4980
// rpm, expected rpm 5000 +-10; map 31.0 inHg holds".
std::string condition_report(const lesson_condition &condition, const condition_marks &since);

// Whether a value, a label's letter or a code's digit is being edited.
bool value_in_edit();
