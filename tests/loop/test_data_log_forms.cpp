// Engine data logs in the forms common exports take (separators, encodings,
// cut rows, quotes), the gap rule, the figures F and C give, the highest
// figures and the part chosen by clock times.
#include "core/sensors.h"
#include "host/data_log/data_log.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>

#include <math.h>

#include <string>
#include <vector>

namespace {

std::string converted(const std::string &csv, const log_options &options = log_options()) {
    log_conversion result;
    EXPECT_TRUE(convert_data_log(csv, options, result)) << result.error << "\n" << csv;
    return result.script;
}

bool has(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

// The bytes of `text` as UTF-16 with a byte-order mark.
std::string utf16(const std::string &text, bool big_endian) {
    std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        const std::string unit = {c, '\0'};
        out += big_endian ? std::string(unit.rbegin(), unit.rend()) : unit;
    }
    return out;
}

TEST(DataLogForms, ReadsTheCommonExports) {
    const std::string plain = "time,rpm,map,oil_temp\nsec,rpm,inHg,C\n0,2400,29.5,150.2\n";
    std::string wide = "time";
    for (int i = 0; i < 1500; i++) wide += ",x" + std::to_string(i);
    wide += ",rpm,map,oil_temp\nsec";
    for (int i = 0; i < 1500; i++) wide += ",-";
    wide += ",rpm,inHg,C\n0";
    for (int i = 0; i < 1500; i++) wide += ",1";
    wide += ",2400,29.5,150.2\n";
    struct form_case {
        std::string csv;
        const char *what;
    };
    const form_case cases[] = {
        {plain, "commas"},
        {"time;rpm;map;oil_temp\nsec;rpm;inHg;C\n0;2400;29,5;150,2\n", "semicolons"},
        {"time\trpm\tmap\toil_temp\nsec\trpm\tinHg\tC\n0\t2400\t29.5\t150.2\n", "tabs"},
        {utf16(plain, false), "UTF-16 LE"},
        {utf16(plain, true), "UTF-16 BE"},
        {"Session Time, RPM L, RPM R, MAP, OIL\n s, rpm, rpm, \"Hg, C\n0, 2400, 2390, 29.5, "
         "150.2\n",
         "another logger's names, a units cell \"Hg"},
        {"time_s,E1 RPM,E1 MAP,E1 OilT\nsec,rpm,inch,C\n0,2400,29.5,150.2\n", "E1 names, inch"},
        {wide, "the columns past 1500 others"},
    };
    for (const form_case &c : cases) {
        const std::string script = converted(c.csv);
        EXPECT_TRUE(has(script, "\nrpm 2400 rpm\nmap 29.5 inHg\ntemp 150 C\n")) << c.what << "\n"
                                                                                << script;
        EXPECT_FALSE(has(script, "# warning")) << c.what << "\n" << script;
    }
    log_header header;
    std::string error;
    ASSERT_TRUE(read_log_header(utf16(plain, true), header, error)) << error;
    EXPECT_EQ(header.names, (std::vector<std::string>{"time", "rpm", "map", "oil_temp"}));
}

// Each row that cannot be trusted is named with its row and skipped; the
// scenario then ends on the last whole row.
TEST(DataLogForms, SkipsRowsThatCannotBeTrusted) {
    struct row_case {
        std::string csv;
        const char *warning;
        const char *scenario; // a part of the scenario
    };
    std::string long_quote = "time,rpm\n0,1000\n1,\"1100\n";
    for (int s = 2; s <= 1200; s++) long_quote += std::to_string(s) + ",1200\n";
    const row_case cases[] = {
        {"time,rpm,map,oil_temp_f,egt\n0,2400,29.5,154,1300\n1,2400,29.5,154,1300\n2,0,29.5,15",
         "row 4: the last row is cut short, 4 fields where the header (row 1) has 5",
         "note Log end, row 3\n"},
        {"time,rpm,map,oil_temp_f\n0,2400,29.5,154\n1,2400,29.5\n2,2400,29.5,154\n",
         "row 3: 3 fields where the header (row 1) has 4: row skipped", "note Log end, row 4\n"},
        {long_quote, "row 3: a quote not closed on its line: row skipped",
         "0:20:00 of the log from row 2"},
        {"\"version=1\ntime,rpm,map,oil_c\nsec,rpm,\"Hg,C\n0,1000,29.5,50\n1,1000,29.6,50\n", "",
         "map 29.5 inHg\n"},
        {std::string("time,rpm\n0,1000\n1,12\0"
                     "00\n2,1100\n",
                     31),
         "row 3: not a number in the RPM column \"rpm\"", "ramp rpm 1100 rpm 2\n"},
    };
    for (const row_case &c : cases) {
        log_conversion result;
        ASSERT_TRUE(convert_data_log(c.csv, log_options(), result)) << result.error;
        std::string all;
        for (const std::string &w : result.warnings) all += w + "\n";
        if (*c.warning)
            EXPECT_TRUE(has(all, c.warning)) << c.csv << "\n" << all;
        else
            EXPECT_TRUE(all.empty()) << all;
        EXPECT_TRUE(has(result.script, c.scenario)) << result.script.substr(0, 2000);
    }
    // The cut row's figures never reach the scenario.
    EXPECT_FALSE(has(converted(cases[0].csv), "ramp rpm 0"));
}

// A gap is several times the log's own interval: a 6 s logger ramps.
TEST(DataLogForms, GapsFollowTheLogsInterval) {
    struct gap_case {
        int interval, rows, gap_at, gap; // seconds; gap_at: the row after a gap, 0 none
        int notes;                       // "No rows" notes expected
    };
    const gap_case cases[] = {
        {1, 60, 0, 0, 0},  {1, 60, 30, 6, 1},  {2, 60, 0, 0, 0},
        {6, 900, 0, 0, 0}, {6, 60, 30, 30, 1}, {6, 60, 30, 12, 0},
    };
    for (const gap_case &c : cases) {
        std::string csv = "time,rpm\n";
        int t = 0;
        for (int k = 0; k < c.rows; k++) {
            t += k == 0 ? 0 : k == c.gap_at ? c.gap : c.interval;
            csv += std::to_string(t) + "," + std::to_string(1000 + k % 5 * 100) + "\n";
        }
        const std::string script = converted(csv);
        int notes = 0;
        for (size_t at = 0; (at = script.find("note No rows", at)) != std::string::npos; at++)
            notes++;
        EXPECT_EQ(notes, c.notes) << c.interval << " s, gap " << c.gap;
        if (c.notes == 0) {
            EXPECT_TRUE(has(script, " " + std::to_string(c.interval) + "\n")) << script;
        }
    }
}

// A logged temperature is shown as the nearest figure the instrument can
// show: converted from F once and rounded once, as the instrument reads it.
TEST(DataLogForms, ShowsTheNearestTemperature) {
    reset_program_state();
    // 150 to 200 F, and 50 to 100 C, a tenth at a time.
    for (const char *unit : {"f", "c"}) {
        int wrong = 0;
        for (int tenth = 0; tenth <= 500; tenth++) {
            const double logged = (*unit == 'f' ? 150 : 50) + tenth / 10.0;
            const std::string script = converted("time,oil_temp_" + std::string(unit) + "\n0," +
                                                 std::to_string(logged) + "\n");
            const size_t at = script.find("\ntemp ");
            ASSERT_NE(at, std::string::npos) << script;
            const int figure = atoi(script.c_str() + at + 6);
            slider_choice choice;
            std::string error;
            ASSERT_TRUE(position_for_figure(SLIDER_TEMP, figure, *unit == 'f' ? FIGURE_F : FIGURE_C,
                                            false, choice, error))
                << error;
            const int shown_c = temp_c_for_reading((uint16_t)choice.position);
            const double exact_c = *unit == 'f' ? (logged - 32) / 1.8 : logged;
            if (fabs(shown_c - exact_c) > 0.5 + 1e-9) wrong++;
        }
        EXPECT_EQ(wrong, 0) << unit;
    }
}

TEST(DataLogForms, SaysTheHighestFiguresAsLogged) {
    std::vector<int32_t> shown_c;
    figures_shown(SLIDER_TEMP, FIGURE_C, shown_c);
    const int most_f = celsius_to_fahrenheit((int16_t)shown_c.back());
    struct highest_case {
        std::string csv;
        std::string note;
    };
    const highest_case cases[] = {
        {"time,oil_temp_f\n0,300\n1,417.9\n2,400\n",
         "note Highest temperature logged: 417.9 F, 0:00:01 into the log, row 3; the instrument "
         "shows at most " +
             std::to_string(most_f) + " F (2 rows clamped)\n"},
        // The engine-off ambient is no highest MAP.
        {"time,rpm,map_inhg\n0,0,30.1\n1,,30.1\n2,900,14.2\n3,2500,25.3\n4,2400,24.0\n",
         "note Highest MAP logged with the engine running: 25.3 inHg, 0:00:03 into the log, row "
         "5\n"},
        {"time,rpm,map_inhg\n0,0,30.1\n1,,30.1\n2,900,14.2\n3,2500,25.3\n",
         "MAP 14.2 to 30.1 inHg\non\n"},
        {"time,map_inhg\n0,30.1\n1,25.3\n", "note Highest MAP logged: 30.1 inHg, 0:00:00"},
        // A clock time and the time into the log, each said as what it is.
        {"time,rpm\n10:00:00,1000\n10:00:01,1000\n10:00:02,1000\n10:00:03,1000\n10:00:13,2000\n",
         "note No rows for 0:00:10 from 10:00:03 (0:00:03 into the log); row 6 next\n"},
        // A blank RPM before the engine starts is the engine at rest.
        {"time,rpm,map_inhg\n0,,30.1\n1,,30.1\n2,700,20.0\n", "\nrpm 0 rpm\nmap 30.1 inHg\n"},
    };
    for (const highest_case &c : cases) EXPECT_TRUE(has(converted(c.csv), c.note)) << c.csv;
}

TEST(DataLogForms, WarnsOfEachColumnNotFound) {
    log_conversion result;
    ASSERT_TRUE(convert_data_log("Time,RPM,OIL P,EGT\n0,2400,60,1300\n", log_options(), result));
    ASSERT_EQ(result.warnings.size(), 2u);
    EXPECT_EQ(result.warnings[0], "no MAP column found: its slider is left alone; the header "
                                  "(row 1) has \"Time\", \"RPM\", \"OIL P\", \"EGT\"");
    EXPECT_EQ(result.warnings[1].substr(0, 29), "no temperature column found: ");
    log_options left_out;
    left_out.left_out[LOG_MAP] = left_out.left_out[LOG_TEMP] = true;
    ASSERT_TRUE(convert_data_log("Time,RPM\n0,2400\n", left_out, result));
    EXPECT_TRUE(result.warnings.empty());
}

// The part converted, given as clock times of the log, past midnight too.
TEST(DataLogForms, ChoosesAPartByClockTimes) {
    struct clock_case {
        const char *text;
        long long tenths; // -1: refused
    };
    const clock_case clocks[] = {{"23:55:00", 861000}, {"0:05", 3000}, {"10:15:00.5", 369005},
                                 {"24:00:00", -1},     {"90", -1},     {"10:61:00", -1},
                                 {"10:00:00x", -1},    {"", -1}};
    for (const clock_case &c : clocks) {
        long long tenths = -1;
        EXPECT_EQ(parse_log_clock(c.text, tenths) ? tenths : -1, c.tenths) << c.text;
    }

    std::string csv = "time,rpm\n";
    for (int s = 0; s <= 1200; s += 10) {
        const int t = (23 * 3600 + 50 * 60 + s) % 86400;
        char line[40];
        snprintf(line, sizeof line, "%02d:%02d:%02d,%d\n", t / 3600, t / 60 % 60, t % 60, 1000 + s);
        csv += line;
    }
    log_options part;
    ASSERT_TRUE(parse_log_clock("23:55:00", part.start_clock));
    ASSERT_TRUE(parse_log_clock("00:05:00", part.end_clock));
    const std::string script = converted(csv, part);
    EXPECT_TRUE(has(script, "0:10:00 of the log from row 32 at 23:55:00")) << script;
    EXPECT_TRUE(has(script, "note End of the part chosen at 0:05:00 (0:15:00 into the log), row "
                            "92 of 122\n"))
        << script;

    log_conversion result;
    EXPECT_FALSE(convert_data_log("time,rpm\n0,1000\n", part, result));
    EXPECT_EQ(result.error, "the log has seconds, no clock times: a part is chosen by seconds");
}

} // namespace
