// Engine data logs as scenarios: the column finder, the unit rules, the
// script written for a log, and each bad row named with its row.
#include "host/data_log/data_log.h"
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Whether a scenario loads, and plays whole when `play` is set; it writes
// no picture.
bool scenario_ok(const std::string &text, bool play, std::string &error) {
    struct : frame_files {
        bool write_frame(const std::string &, const uint8_t *, int, bool, std::string &) override {
            return false;
        }
        bool read_golden(const std::string &, uint8_t *, std::string &) override { return false; }
    } files;
    lcd_script script(files, 1, [](const std::string &) {});
    reset_program_state();
    const bool ok = play ? script.prepare(text) : script.load(text);
    error = script.error();
    return ok;
}

TEST(DataLog, FindsColumnsByTheirUsualSpellings) {
    struct columns_case {
        std::vector<std::string> names;
        int time, date, rpm, map, temp;
    };
    const columns_case cases[] = {
        {{"Lcl Date", "Lcl Time", "E1 OilT", "E1 MAP", "E1 RPM", "E1 CHT1"}, 1, 0, 4, 3, 2},
        {{"time", "rpm", "map", "oil_temp"}, 0, -1, 1, 2, 3},
        {{"Time (s)", "Engine RPM", "Manifold Pressure", "CHT"}, 0, -1, 1, 2, 3},
        {{"TIMESTAMP", "RPM", "MAP [inHg]", "Oil Temp (F)"}, 0, -1, 1, 2, 3},
        {{"seconds", "oil_temp_c", "map_inhg"}, 0, -1, -1, 2, 1},
        // Oil is preferred to a cylinder head, whatever the order.
        {{"elapsed", "E1 CHT1", "Oil Temp"}, 0, -1, -1, -1, 2},
        {{"date", "time", "rpm1", "egt", "flow"}, 1, 0, 2, -1, -1},
        {{"RPM", "Mapping", "temperature2"}, -1, -1, 0, -1, -1},
        // The usual names of other loggers: of a twin the left engine or
        // the first; a CHT is the temperature only without an oil one.
        {{"Session Time", "RPM R", "RPM L", "MAP", "OIL"}, 0, -1, 2, 3, 4},
        {{"time_s", "rpm", "map", "oil_c"}, 0, -1, 1, 2, 3},
        {{"Time", "E2 RPM", "E1 RPM", "E2 OilT", "E1 OilT", "E1 CHT1"}, 0, -1, 2, -1, 4},
        {{"TIME", "CHT", "E2 RPM", "OIL P"}, 0, -1, 2, -1, 1},
        {{"T", "E1 CHT1", "OIL"}, 0, -1, -1, -1, 2},
    };
    for (const columns_case &c : cases) {
        int column[LOG_ROLES];
        find_log_columns(c.names, column);
        const std::vector<int> expected = {c.time, c.date, c.rpm, c.map, c.temp};
        EXPECT_EQ(std::vector<int>(column, column + LOG_ROLES), expected) << c.names[0];
    }
}

TEST(DataLog, ReadsUnitsFromTheirUsualSpellings) {
    struct unit_case {
        slider_id slider;
        const char *text;
        figure_unit unit;
    };
    const unit_case cases[] = {
        {SLIDER_MAP, "inHg", FIGURE_INHG},
        {SLIDER_MAP, "in. Hg", FIGURE_INHG},
        {SLIDER_MAP, "hPa", FIGURE_MB},
        {SLIDER_MAP, "mbar", FIGURE_MB},
        {SLIDER_MAP, "psi", FIGURE_RAW},
        {SLIDER_TEMP, "deg F", FIGURE_F},
        {SLIDER_TEMP,
         "\xC2\xB0"
         "C",
         FIGURE_C},
        {SLIDER_TEMP, "#deg C", FIGURE_C},
        {SLIDER_TEMP, "Fahrenheit", FIGURE_F},
        {SLIDER_TEMP, "inHg", FIGURE_RAW},
        {SLIDER_RPM, "RPM", FIGURE_RPM},
        {SLIDER_MAP, "F", FIGURE_RAW},
        {SLIDER_MAP, "inch", FIGURE_INHG},
        {SLIDER_MAP, "Hg", FIGURE_INHG},
        {SLIDER_MAP, "\"Hg", FIGURE_INHG},
        {SLIDER_MAP, "kPa", FIGURE_MB},
        {SLIDER_TEMP, "kPa", FIGURE_RAW},
    };
    for (const unit_case &c : cases) EXPECT_EQ(log_unit(c.slider, c.text), c.unit) << c.text;

    // Where a column's unit comes from: given, the units row, its name, its figures.
    struct source_case {
        const char *csv;
        log_options options;
        const char *first_map; // the first MAP line of the scenario
    };
    log_options given;
    given.map_unit = FIGURE_MB;
    const source_case sources[] = {
        {"time,map\nsec,inHg\n0,25.1\n", log_options(), "map 25.1 inHg"},
        {"sec,hPa\ntime,map\n0,1001\n", log_options(), "map 1001 mB"},
        {"time,MAP (mB)\n0,1001\n", log_options(), "map 1001 mB"},
        {"time,map\n0,29.9\n", log_options(), "map 29.9 inHg"},
        {"time,map\n0,990\n", log_options(), "map 990 mB"},
        {"time,map\nsec,inHg\n0,990\n", given, "map 990 mB"},
        {"time,map\nsec,\"Hg\n0,29.5\n", log_options(), "map 29.5 inHg"},
        {"time,map\nsec,inch\n0,29.5\n", log_options(), "map 29.5 inHg"},
        {"time,map\nsec,kPa\n0,101.3\n", log_options(), "map 1013 mB"},
        {"time,MAP (kPa)\n0,50\n", log_options(), "map 500 mB"},
    };
    for (const source_case &c : sources) {
        log_conversion result;
        ASSERT_TRUE(convert_data_log(c.csv, c.options, result)) << result.error;
        EXPECT_NE(result.script.find(std::string("\n") + c.first_map + "\n"), std::string::npos)
            << c.csv << result.script;
    }
}

// The whole scenario of a short log: figures set before power-on, a ramp of
// the changed sliders per interval, a hold where nothing changes, notes for
// the start, a gap and the highest figures; it plays within the limits.
TEST(DataLog, WritesOneRampPerInterval) {
    const std::string csv = "\xEF\xBB\xBF"
                            "version=\"1\"\r\n"
                            " Time , \"RPM\", E1 MAP, E1 OilT\r\n"
                            "s, rpm, inHg, C\r\n"
                            "0, 1000, 15.0, 50\r\n"
                            "1, 1200, 15.0, 50\r\n"
                            "2, 1200, 15.0, 50\r\n"
                            "3, 1200, , 52\r\n"
                            "20.5, 1100, 20.0, 52\r\n";
    log_options options;
    options.title = "t.csv";
    log_conversion result;
    ASSERT_TRUE(convert_data_log(csv, options, result)) << result.error;
    EXPECT_EQ(result.script,
              "# Data log: t.csv\n"
              "# columns: time \"Time\", RPM \"RPM\" (rpm), MAP \"E1 MAP\" (inHg), temperature "
              "\"E1 OilT\" (C)\n"
              "rpm 1000 rpm\nmap 15.0 inHg\ntemp 50 C\n"
              "note t.csv: 0:00:20.5 of the log from row 4, RPM 1000 to 1200 rpm, MAP 15.0 to "
              "20.0 inHg, temperature 50 to 52 C\n"
              "on\n"
              "note Highest RPM logged: 1200 rpm, 0:00:01 into the log, row 5\n"
              "ramp rpm 1200 rpm 1\n"
              "hold 1\n"
              "note Highest temperature logged: 52 C, 0:00:03 into the log, row 7\n"
              "ramp temp 52 C 1\n"
              "note No rows for 0:00:17.5 from 0:00:03 into the log; row 8 next\n"
              "hold 17.5\n"
              "note Highest MAP logged with the engine running: 20.0 inHg, 0:00:20.5 into the "
              "log, row 8\n"
              "ramp rpm 1100 rpm map 20.0 inHg 0\n"
              "note Log end, row 8\nhold 3\n");
    EXPECT_TRUE(result.warnings.empty());

    std::string error;
    EXPECT_TRUE(scenario_ok(result.script, true, error)) << error;
}

TEST(DataLog, NamesEachBadRowWithItsRow) {
    struct bad_case {
        const char *csv;
        const char *message;
    };
    const bad_case cases[] = {
        {"time,rpm\n0,1000\n2,1100\n1,1200\n0.5,1300\n3,1000\n",
         "row 4: the time goes back, from \"2\" to \"1\" (0:00:02 into the log): row skipped (2 "
         "rows in all)"},
        {"time,rpm\n23:49:00,1000\n23:50:00,1100\n23:48:32,1200\n",
         "row 4: the time goes back, from \"23:50:00\" to \"23:48:32\" (0:01:00 into the log)"},
        {"time,rpm\n0,1000\n1,12x0\n2,1100\n",
         "row 3: not a number in the RPM column \"rpm\": \"12x0\": the last value held"},
        {"time,rpm,map\n0,1000,25\n1,,\n2,1100,25\n",
         "row 3: no RPM, MAP or temperature figure: row skipped"},
        {"time,rpm\n0,1000\nnoon,1100\n2,1100\n",
         "row 3: no time it can read: \"noon\": row skipped"},
        {"time,rpm\n0,1000\n1,20000\n2,30000\n",
         "row 3: RPM 20000 rpm is beyond the slider's reach (0 rpm to 16666 rpm): clamped "
         "(2 rows in all)"},
        {"time,rpm,oil_temp\n0,1000,\n", "the temperature column has no figure"},
    };
    for (const bad_case &c : cases) {
        log_conversion result;
        ASSERT_TRUE(convert_data_log(c.csv, log_options(), result)) << result.error;
        std::string all;
        for (const std::string &w : result.warnings) all += w + "\n";
        EXPECT_NE(all.find(c.message), std::string::npos) << c.csv << "\n" << all;
        EXPECT_NE(result.script.find(std::string("# warning: ") + c.message), std::string::npos);
    }

    const bad_case refused[] = {
        {"", "no header row naming a time column"},
        {"a,b\n1,2\n", "no header row naming a time column"},
        {"time,rpm\n", "no row with a time and a figure after the header (row 1)"},
        {"time,rpm\nx,y\n", "no row with a time and a figure"},
    };
    for (const bad_case &c : refused) {
        log_conversion result;
        EXPECT_FALSE(convert_data_log(c.csv, log_options(), result)) << c.csv;
        EXPECT_NE(result.error.find(c.message), std::string::npos) << result.error;
    }
    log_options named;
    named.column[LOG_RPM] = "engine speed";
    log_conversion result;
    EXPECT_FALSE(convert_data_log("time,rpm\n0,1\n", named, result));
    EXPECT_EQ(result.error, "no column named \"engine speed\" in the header (row 1)");
    EXPECT_FALSE(convert_data_log(std::string(MAX_LOG_BYTES + 1, ' '), log_options(), result));
    EXPECT_EQ(result.error, "the log is larger than 32 MB");
    log_options settings;
    settings.settings = "key F2\nrpm 5\n";
    EXPECT_FALSE(convert_data_log("time,rpm\n0,1\n", settings, result));
    EXPECT_NE(result.error.find("settings line 2 is not a set, key, pass, tick or hold"),
              std::string::npos);
}

// Times: seconds, clock times with a date column or a date in the cell, and
// the window chosen by --start and --end.
TEST(DataLog, ReadsTimesAndKeepsTheWindow) {
    struct time_case {
        const char *csv;
        const char *length; // as the start note gives it
    };
    const time_case cases[] = {
        {"date,time,rpm\n2026-06-14,23:59:59,1000\n2026-06-15,00:00:01,1100\n", "0:00:02 of"},
        {"datetime,rpm\n2026-06-14T10:00:00Z,1000\n2026-06-14T10:01:00.5Z,1100\n", "0:01:00.5 of"},
        {"Lcl Date,Lcl Time,rpm\n06/14/2026,10:00:00,1000\n06/14/2026,11:00:00,1100\n",
         "1:00:00 of"},
        {"Lcl Date,Lcl Time,rpm\n14.06.2026,10:00:00,1000\n14.06.2026,10:00:09,1100\n",
         "0:00:09 of"},
        {"time,rpm\n23:59:58,1000\n00:00:02.5,1100\n", "0:00:04.5 of"},
    };
    for (const time_case &c : cases) {
        log_conversion result;
        ASSERT_TRUE(convert_data_log(c.csv, log_options(), result)) << result.error;
        EXPECT_NE(result.script.find(c.length), std::string::npos) << result.script;
    }

    struct parse_case {
        const char *text;
        long long tenths; // -1: refused
    };
    const parse_case times[] = {{"90", 900},        {"90.5", 905}, {"1:30", 900},
                                {"1:00:00", 36000}, {"-3", -1},    {"2026-01-01 00:00:00", -1},
                                {"1:75", -1},       {"", -1}};
    for (const parse_case &t : times) {
        long long tenths = -1;
        const bool ok = parse_log_time(t.text, tenths);
        EXPECT_EQ(ok ? tenths : -1, t.tenths) << t.text;
    }

    std::string csv = "time,rpm\n";
    for (int s = 0; s <= 100; s++) csv += std::to_string(s) + "," + std::to_string(1000 + s) + "\n";
    log_options window;
    window.start = 100;
    window.end = 300;
    log_conversion result;
    ASSERT_TRUE(convert_data_log(csv, window, result)) << result.error;
    EXPECT_NE(result.script.find("\nrpm 1010 rpm\n"), std::string::npos) << result.script;
    EXPECT_NE(result.script.find("\nramp rpm 1030 rpm 1\nnote End of the part chosen at 0:00:30 "
                                 "into the log, row 32 of 102\n"),
              std::string::npos)
        << result.script;
}

// A log longer than a scenario may play is cut where the limits fall, and
// the scenario still loads.
TEST(DataLog, CutsALogLongerThanAScenarioPlays) {
    std::string csv = "time,rpm\n";
    for (int s = 0; s <= 5 * 3600; s += 2)
        csv += std::to_string(s) + "," + std::to_string(1000 + s % 7) + "\n";
    log_conversion result;
    ASSERT_TRUE(convert_data_log(csv, log_options(), result)) << result.error;
    ASSERT_FALSE(result.warnings.empty());
    EXPECT_EQ(
        result.warnings.back().find("row 7200 of 9002: the log is cut at 3:59:56 into the log"), 0u)
        << result.warnings.back();
    EXPECT_NE(result.script.find("\nnote Log cut at 3:59:56 into the log, row 7200 of 9002: a "
                                 "scenario plays at most 4 hours in 1 MB\n"),
              std::string::npos);
    EXPECT_EQ(result.script.find("Log end"), std::string::npos);
    std::string error;
    EXPECT_TRUE(scenario_ok(result.script, false, error)) << error;
}

} // namespace
