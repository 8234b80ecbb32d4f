// Conditions a lesson waits for, named as the student sees the instrument:
// checked once when the lesson is loaded, then evaluated against the live
// records after each pass.
//
//   screen NAME                  the screen shown (a name of the screen table)
//   page main|timers|max_values|mag_check
//                                the run screen's page (mag_check while it counts)
//   lamp bright|dark             the alarm lamp
//   rpm N [+-T]                  the RPM shown, optionally within T
//   map F mB|inHg [+-T]          the MAP shown, in the unit it is shown in
//   temp F C|F [+-T]             the TEMP shown, in the unit it is shown in
//   setting NAME VALUE [UNIT]    a setting, as its setup page shows it
//   alarm none | alarm map|rpm|temp [high|low]
//                                no alarm, or that one (high: above its high
//                                limit, low: below its low one)
//   mag drop N [+-T]             the magneto check counts and shows a drop of N
//   flight running|stopped       the flight timer
//   C1 and C2 ...                all of them
// A value in a unit the instrument does not show now never holds: the
// instrument does not convert its limits when its unit changes.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

struct lesson_clause {
    int kind;
    int which;      // a screen, page, setting, alarm bit or figure unit
    int32_t value;  // the figure, or the option
    int32_t spread; // the tolerance of a figure
    int unit;       // the unit the value is in (a figure_unit), or -1
};

struct lesson_condition {
    std::vector<lesson_clause> clauses;
};

// Reads `text` into `condition`; false with `error` naming what is wrong.
bool parse_condition(const std::string &text, lesson_condition &condition, std::string &error);

// Whether every clause holds now.
bool condition_holds(const lesson_condition &condition);
