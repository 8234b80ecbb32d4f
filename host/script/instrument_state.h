// The instrument's state as data: what the LCD shows and what the instrument
// holds, as one JSON object for scripts (`state NAME`), lcdshot --state and
// the Python module. The format, version 1:
//   version     1
//   time        seconds of the script's time (or the session's), one decimal
//   on          whether the instrument runs
//   screen      the screen shown (a name of the screen table)
//   page        on the run screen: main, timers, max_values or mag_check; else null
//   lamp        "bright" or "dark"
//   readings    rpm, map, temp: {"value", "unit", "text"} as the run screen
//               shows them ("text" the digits drawn), null where it shows no
//               figure (a display switched off, TEMP "---", MAP from an absent EXIO)
//   alarms      map, rpm, temp: {"side": "high"|"low", "acknowledged"}, or null
//   max         rpm, map, temp: {"value", "unit"} as MAX VALUES shows them
//   timers      flight {"running", "hours", "minutes"}, hobbs_hours, maintenance_hours
//   settings    every setting by the name lesson conditions use, as its page
//               shows it, as text a `setting` condition reads back ("41.3 inHg",
//               "ON", "2700"; host/script/setting_table.h)
#pragma once
#include <string>

// The state after the last pass; `ticks` is the time so far in 100 ms ticks.
std::string instrument_state_json(bool instrument_on, long long ticks);
