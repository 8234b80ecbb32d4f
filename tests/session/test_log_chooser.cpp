// The data log's chooser in the session: its start and end (elapsed or the
// log's clock), every warning known before the flight plays, each log's own
// defaults, the profile the flight plays under, and the preset profiles.
#include "core/alarms.h"
#include "host/session/session.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

namespace {

// Ten minutes of clock times from 10:15:00, a row every 10 s.
std::string clock_log() {
    std::string log = "Time,RPM,MAP\n";
    for (int s = 0; s <= 600; s += 10) {
        char row[64];
        snprintf(row, sizeof row, "10:%02d:%02d,2400,24.0\n", 15 + s / 60, s % 60);
        log += row;
    }
    return log;
}

TEST(LogChooser, StartAndEndAreReadOrRefusedBeforePlaying) {
    const struct {
        const char *start, *end;
        bool clock;
        const char *error; // empty: converts; else how log_error() starts
        const char *span;  // how log_span() starts when it converts
    } cases[] = {
        {"", "", false, "", "0:10:00 of the log from row 2 at 10:15:00"},
        {"60", "2:00", false, "", "0:01:00 of the log from row 8 at 10:16:00"},
        {"10:20", "10:21:30", true, "", "0:01:30 of the log from row 32 at 10:20:00"},
        {"ten", "", false, "the start takes seconds or [H:]MM:SS after the first row: \"ten\"", ""},
        {"120", "60", false, "the end does not come after the start", ""},
    };
    for (const auto &c : cases) {
        reset_program_state();
        session s;
        ASSERT_TRUE(s.open_log(clock_log(), "clock.csv"));
        EXPECT_TRUE(s.log_has_clock());
        s.log_start = c.start;
        s.log_end = c.end;
        s.log_part_clock = c.clock;
        EXPECT_EQ(s.convert_log(), !*c.error) << c.start << " " << c.end;
        EXPECT_EQ(s.log_error().rfind(c.error, 0), 0u) << s.log_error();
        EXPECT_EQ(s.log_span().rfind(c.span, 0), 0u) << s.log_span();
        // Playing refuses what the chooser refused, with the same words.
        EXPECT_EQ(s.play_log(), !*c.error);
        if (*c.error) {
            EXPECT_NE(s.take_alert().find(c.error), std::string::npos);
        }
    }
}

// A log of seconds has no clock to choose a part by.
TEST(LogChooser, ALogOfSecondsRefusesClockTimes) {
    reset_program_state();
    session s;
    ASSERT_TRUE(s.open_log("time,rpm\n0,2400\n1,2410\n", "s.csv"));
    EXPECT_FALSE(s.log_has_clock());
    s.log_part_clock = true;
    s.log_start = "10:00";
    EXPECT_FALSE(s.convert_log());
    EXPECT_NE(s.log_error().find("no clock times"), std::string::npos) << s.log_error();
}

// Every warning shows in the chooser before anything plays, and they are
// the ones the flight is then converted with.
TEST(LogChooser, EveryWarningIsKnownOnOpening) {
    reset_program_state();
    session s;
    const std::string log = "Time,RPM,Oil\n0,2400,80\n1,\"2410,80\n2,x,81\n3,2420,82\n4,24";
    ASSERT_TRUE(s.open_log(log, "bad.csv"));
    EXPECT_FALSE(s.playing());
    const std::vector<std::string> shown = s.log_warnings();
    const char *const expected[] = {
        "no MAP column found: its slider is left alone; the header (row 1) has \"Time\", "
        "\"RPM\", \"Oil\"",
        "row 3: a quote not closed on its line: row skipped",
        "row 6: the last row is cut short, 2 fields where the header (row 1) has 3",
        "row 4: not a number in the RPM column \"RPM\": \"x\"",
    };
    for (const char *w : expected) {
        bool found = false;
        for (const std::string &line : shown) found = found || line.rfind(w, 0) == 0;
        EXPECT_TRUE(found) << w << "\n" << ::testing::PrintToString(shown);
    }
    ASSERT_TRUE(s.play_log());
    EXPECT_EQ(s.log_warnings(), shown);
}

// Each log starts from what is found in it, not the last one's choices.
TEST(LogChooser, EachLogStartsFromItsOwnDefaults) {
    reset_program_state();
    session s;
    ASSERT_TRUE(s.load_profile("# Mine\nset temp_unit F\n", "mine.txt"));
    ASSERT_TRUE(s.open_log(clock_log(), "first.csv"));
    EXPECT_TRUE(s.log_under_profile);
    s.log_map_unit = FIGURE_MB;
    s.log_temp_unit = FIGURE_F;
    s.log_start = "10:16";
    s.log_part_clock = true;
    s.log_column[LOG_MAP] = -1;
    s.factory_settings();
    ASSERT_TRUE(s.open_log("time,rpm,map\n0,2400,24.0\n1,2410,24.1\n", "second.csv"));
    EXPECT_EQ(s.log_map_unit, FIGURE_RAW);
    EXPECT_EQ(s.log_start, "");
    EXPECT_FALSE(s.log_part_clock);
    EXPECT_FALSE(s.log_under_profile);
    EXPECT_EQ(s.log_column[LOG_MAP], 2);
}

// A log in F under the factory TEMP limits (0 to 60 C) lights the lamp; the
// owner's profile keeps it dark, unless the chooser says factory settings.
TEST(LogChooser, TheProfileChosenChangesWhatTheFlightShows) {
    std::string log = "time,rpm,map,oil_temp_f\n";
    for (int t = 0; t <= 30; t++) log += std::to_string(t) + ",2400,24.0,180\n";
    for (bool under_profile : {true, false}) {
        reset_program_state();
        session s;
        ASSERT_TRUE(s.load_profile("# Oil in F\nset temp_unit F\nset temp_low_alarm 75 F\n"
                                   "set temp_high_alarm 245 F\nset map_low_alarm_on OFF\n",
                                   "oil.txt"));
        ASSERT_TRUE(s.open_log(log, "flight.csv"));
        s.log_under_profile = under_profile;
        ASSERT_TRUE(s.play_log()) << s.take_alert();
        s.set_speed(16);
        for (int i = 0; i < 5000 && s.playing(); i++) s.elapse(50);
        EXPECT_EQ(lamp_red == LAMP_BRIGHT, !under_profile) << under_profile;
    }
}

TEST(LogChooser, APresetOfTheLibraryLoadsAsAProfile) {
    reset_program_state();
    session s;
    s.library(LIBRARY_PROFILES).add("oil_f.txt", "# Oil in F\nset temp_unit F\n");
    ASSERT_TRUE(s.play_library(LIBRARY_PROFILES, 0)) << s.take_alert();
    EXPECT_EQ(s.profile_title(), "Oil in F");
    EXPECT_FALSE(s.playing());
}

} // namespace
