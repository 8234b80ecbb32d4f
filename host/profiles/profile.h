// Instrument profiles: an owner's own instrument as a small text file of
// settings by name, put in place at every power-on instead of the factory
// settings. The names and values are the lesson conditions' (one table,
// host/script/setting_table.h), in the units of their pages:
//
//   # Title of the profile (the first line, when a comment)
//   # any other comment
//   title TEXT                   the title, instead of the first comment
//   note TEXT                    a line said with the title
//   set NAME VALUE [UNIT]        a setting: set temp_unit F, set temp_high_alarm 245 F
//
// A MAP or TEMP limit is given in the unit in force at its line (the
// factory one, or one a line above set): the instrument never converts
// its limits. The Hobbs and maintenance times are the aircraft's, not the
// instrument's: a profile holds neither.
#pragma once
#include "host/script/setting_table.h"

#include <stddef.h>

#include <string>
#include <utility>
#include <vector>

struct instrument_profile {
    std::string title, note;
    std::vector<std::pair<int, setting_value>> settings; // in their lines' order
};

// The largest profile file read.
const size_t MAX_PROFILE_BYTES = 64 * 1024;

// Reads and checks a whole profile; false with `error` naming the line.
bool read_profile(const std::string &bytes, instrument_profile &profile, std::string &error);

// Puts the profile's settings in place, in order (after the power-on
// sequence has loaded the factory ones).
void apply_profile(const instrument_profile &profile);

// The settings in force as a profile that reads back to the same records.
std::string write_profile(const std::string &title);

// A profile's settings as script lines ("set map_unit inHg\n"), for a
// recording that replays under the factory settings to the same frames.
std::string profile_lines(const instrument_profile &profile);
