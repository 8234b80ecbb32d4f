#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "host/shell/engine_timers.h"
#include "host/script/lcd_script.h"
#include "host/script/lesson_conditions.h"
#include "host/script/setting_table.h"
#include "screens/security_gate.h"
#include "host/lessons/lesson_player.h"
#include "host/shell/power_loop.h"
#include "host/script/session_recorder.h"
#include "menus/map_setup.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "host/png/png_io.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Fixed readings: 2400 rpm, MAP 30.0 inHg, TEMP 45 C, the MAP high alarm
// at 40.0 inHg, the digital page of the run screen with a magneto check
// counting from 4000 rpm.
void set_scene() {
    reset_program_state();
    load_factory_defaults();
    shown_screen = run_screen;
    rpm = 3880;
    map_value = 300;
    temp_value = 45;
    settings.map_high_alarm = 400;
    mag_check_rpm = 4000;
    mag_check_countdown = 10;
    lamp_red = LAMP_DARK;
}

struct condition_case {
    const char *text;
    bool holds;
};

TEST(LessonConditions, EachKindHoldsOnlyForWhatTheInstrumentShows) {
    const condition_case cases[] = {
        {"screen run", true},
        {"screen map_setup", false},
        {"page mag_check", true},
        {"page main", false},
        {"lamp dark", true},
        {"lamp bright", false},
        {"rpm 3880", true},
        {"rpm 3900 +-20", true},
        {"rpm 3900 rpm +- 19", false},
        {"map 30.0 inHg", true},
        {"map 30.5 inHg +-0.5", true},
        {"map 30.6 inHg +-0.5", false},
        {"map 300 mB", false}, // the instrument shows inches
        {"temp 45 C", true},
        {"temp 113 F", false},
        {"setting map_high_alarm 40.0 inHg", true},
        {"setting map_high_alarm 400 mB", false},
        {"setting map_unit inHg", true},
        {"setting flight_mode DETECT", false},
        {"setting rpm_pulses_per_rev 6.0", true},
        {"setting rpm_pulses_per_rev 4.7", false},
        {"setting security_code 1234", true},
        {"alarm none", true},
        {"alarm map", false},
        {"mag drop 120", true},
        {"mag drop 100 +-20", true},
        {"mag drop 100 +-19", false},
        {"flight stopped", true},
        {"flight running", false},
        {"screen run and lamp dark and rpm 3880", true},
        {"screen run and lamp bright", false},
        {"rpm 3880 rpm", true},
        {"rpm 50 %", false}, // RPM mode shows rpm, not percent
        {"map 30.0 \"Hg", true},
        {"temp 45 \xC2\xB0" "C", true},
        {"setting map_unit \"Hg", true},
        {"setting temp_unit \xB0" "C", true},
        {"setting rpm_label ENGINE", true},
        {"setting temp_label TEMP", true},
        {"setting exio_address 1", true},
        {"setting rpm_increment 1RPM", true},
        {"setting backlight_dim 30%", false},
        {"editing no", true},
        {"happened max_values_reset", false},
    };
    for (const condition_case &c : cases) {
        set_scene();
        lesson_condition condition;
        std::string error;
        ASSERT_TRUE(parse_condition(c.text, condition, error)) << c.text << ": " << error;
        EXPECT_EQ(condition_holds(condition, marks_now()), c.holds) << c.text;
    }
}

TEST(LessonConditions, LimitsReadInTheUnitNowShownAndAlarmsBySide) {
    lesson_condition inches, millibar, high, low;
    std::string error;
    ASSERT_TRUE(parse_condition("setting map_high_alarm 40.0 inHg", inches, error));
    ASSERT_TRUE(parse_condition("setting map_high_alarm 400 mB", millibar, error));
    ASSERT_TRUE(parse_condition("alarm map high", high, error));
    ASSERT_TRUE(parse_condition("alarm map low", low, error));
    set_scene();
    settings.map_unit = 0; // a unit change keeps the number 400
    EXPECT_FALSE(condition_holds(inches, marks_now()));
    EXPECT_TRUE(condition_holds(millibar, marks_now()));
    set_scene();
    alarm_active = ALARM_MAP;
    map_value = 401;
    EXPECT_TRUE(condition_holds(high, marks_now()));
    EXPECT_FALSE(condition_holds(low, marks_now()));
    map_value = 277;
    EXPECT_FALSE(condition_holds(high, marks_now()));
    EXPECT_TRUE(condition_holds(low, marks_now()));
}

// Live figures hold only while the screen shows them, in the mode shown.
TEST(LessonConditions, FiguresHoldOnlyWhileTheScreenShowsThem) {
    struct {
        void (*change)();
        const char *text;
        bool holds;
    } cases[] = {
        {[] { temp_raw = 3801; }, "temp 45 C", false}, // TEMP: ---
        {[] { temp_raw = 3800; }, "temp 45 C", true},
        {[] { settings.temp_display_on = 0; }, "temp 45 C", false},
        {[] { settings.rpm_display_mode = 1, rpm_percent = 40; }, "rpm 40 %", true},
        {[] { settings.rpm_display_mode = 1, rpm_percent = 40; }, "rpm 3880", false},
        {[] { settings.rpm_source = 1, exio_present = 0; }, "rpm 3880", false},
        {[] { settings.map_source = 1, exio_present = 0; }, "map 30.0 inHg", false},
        {[] { settings.map_source = 1, exio_present = 1; }, "map 30.0 inHg", true},
        {[] { menu_editing = 1; }, "editing yes", true},
        {[] { max_values_resets++; }, "happened max_values_reset", true},
        {[] { gate_openings++; }, "happened gate_opened", true},
        {[] { mag_checks_started++; }, "happened mag_check and page mag_check", true},
        {[] { max_map = 430; }, "max map 43.0 inHg", true},
        {[] { max_map = 430; }, "max map 42.8 inHg +-0.1", false},
        {[] { max_map = 430, settings.map_unit = 0; }, "max map 43.0 inHg", false},
        {[] { max_rpm = 4100; }, "max rpm 4100 rpm", true},
        {[] { max_rpm = 4100; }, "max rpm 4000 +-99", false},
        {[] { max_rpm = 4100, settings.rpm_display_on = 0; }, "max rpm 4100", false},
        {[] { max_temp = 50; }, "max temp 50 C", true},
        {[] { max_temp = 50, settings.temp_display_on = 0; }, "max temp 50 C", false},
        {[] { max_temp = 122, settings.temp_unit = 1; }, "max temp 122 F", true},
    };
    for (const auto &c : cases) {
        set_scene();
        temp_raw = 2674;
        const condition_marks start = marks_now();
        c.change();
        lesson_condition condition;
        std::string error;
        ASSERT_TRUE(parse_condition(c.text, condition, error)) << c.text << ": " << error;
        EXPECT_EQ(condition_holds(condition, start), c.holds) << c.text;
    }
}

// Every setting reads back what the table writes for it, at its factory
// value and at both ends of its range; a value that a unit change leaves
// on a page is one a condition can name.
TEST(LessonConditions, EverySettingReadsBackWhatItShows) {
    set_scene();
    for (int i = 0; i < setting_count(); i++) {
        lesson_condition condition;
        std::string error;
        const std::string text = std::string("setting ") + setting_name(i) + " " + setting_text(i);
        ASSERT_TRUE(parse_condition(text, condition, error)) << text << ": " << error;
        EXPECT_TRUE(condition_holds(condition, marks_now())) << text;
    }
    const char *const ends[] = {
        "map_cal_internal -50", "map_cal_exio +50",     "exio_address 4",
        "temp_cal -20",         "temp_cal +20",         "hobbs_code 0000",
        "hobbs_code 9999",      "backlight_level 10",   "backlight_bright 100",
        "backlight_threshold 100", "backlight_threshold 4000", "hobbs_time 9999.9",
        "hobbs_time 0.0",       "maint_time 999",       "rpm_label RPM",
        "temp_label OIL",       "rpm_increment 100RPM", "map_high_alarm 250.0 inHg",
        "map_low_alarm 73 mB",  "temp_high_alarm 302 C", "temp_low_alarm -58 F",
    };
    for (const char *end : ends) {
        set_scene();
        std::vector<std::string> words = script_words(end);
        const int index = find_setting(words[0]);
        ASSERT_GE(index, 0) << end;
        setting_value value;
        std::string error;
        words.erase(words.begin());
        ASSERT_TRUE(read_setting_value(index, words, value, error)) << end << ": " << error;
        if (value.unit == FIGURE_INHG || value.unit == FIGURE_F)
            settings.map_unit = settings.temp_unit = 1;
        else if (value.unit >= 0)
            settings.map_unit = settings.temp_unit = 0;
        apply_setting(index, value);
        EXPECT_TRUE(setting_holds(index, value)) << end;
        EXPECT_EQ(std::string(setting_name(index)) + " " + setting_text(index), end);
    }
}

TEST(LessonConditions, AReportNamesWhatTheInstrumentShowsForEachClause) {
    set_scene();
    lesson_condition condition;
    std::string error;
    ASSERT_TRUE(parse_condition("rpm 5000 +-10 and map 30.0 inHg and setting map_unit mB and "
                                "temp 45 C and alarm none",
                                condition, error));
    temp_raw = 4000;
    EXPECT_EQ(condition_report(condition, marks_now()),
              "rpm is 3880 rpm, expected rpm 5000 +-10; map 30.0 inHg holds; map_unit is "
              "inHg, expected setting map_unit mB; temp is not shown (---), expected temp 45 C; "
              "alarm none holds");
}

TEST(LessonConditions, ConditionsThatCanNeverHoldAreRefused) {
    const char *const bad[] = {
        "",
        "speed 3",
        "screen hangar",
        "page fuel",
        "lamp green",
        "map 30.0 kPa",
        "rpm 2400 +-x",
        "rpm 2400 +--5",
        "setting fuel_flow 3",
        "setting map_high_alarm 250.1 inHg",
        "setting map_low_alarm 72 mB",
        "setting map_high_alarm 40.0",
        "setting temp_high_alarm 303 F",
        "setting temp_low_alarm -59 C",
        "setting map_cal_internal +51",
        "setting map_cal_exio -51",
        "setting exio_address 0",
        "setting exio_address 5",
        "setting temp_cal 21",
        "setting backlight_level 5",
        "setting backlight_level 110",
        "setting backlight_level 15",
        "setting backlight_threshold 99",
        "setting backlight_threshold 4001",
        "setting hobbs_time 10000.0",
        "setting hobbs_time 1.25",
        "setting maint_time 1000",
        "setting hobbs_code 12345",
        "setting rpm_label SEVENCH",
        "setting temp_label FIVE5",
        "setting rpm_increment 2RPM",
        "editing maybe",
        "happened lunch",
        "setting rpm_pulses_per_rev 0.0",
        "setting security_code 123",
        "setting flight_mode AUTO",
        "alarm map sideways",
        "mag drop -5",
        "max",
        "max fuel 3",
        "max rpm 50 %",
        "max map 30.0",
        "lamp dark and",
        "and lamp dark",
    };
    for (const char *text : bad) {
        lesson_condition condition;
        std::string error;
        EXPECT_FALSE(parse_condition(text, condition, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

class LessonScripts : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
    std::string log;
    png_frame_files files{".", "."};
    lcd_script script{files, 1, [this](const std::string &line) { log += line; }};
};

const char LESSON[] = "# Two pages\n"
                      "map 30.0 inHg\n"
                      "temp 45 C\n"
                      "on\n"
                      "hold 1\n"
                      "ask Turn to TIMERS.\n"
                      "hint Press +.\n"
                      "answer key PLUS\n"
                      "until page timers within 5\n"
                      "well Good.\n"
                      "ask Back to the digital page.\n"
                      "answer key MINUS\n"
                      "answer hold 0.5\n"
                      "until page main within 5\n";

TEST_F(LessonScripts, WithNoStudentTheAnswersPlayAndEachStepIsChecked) {
    ASSERT_TRUE(script.run(LESSON)) << script.error();
    EXPECT_NE(log.find("step 2 of 2: Back to the digital page."), std::string::npos);
    reset_program_state();
    std::string wrong = LESSON;
    wrong.replace(wrong.find("answer key PLUS"), 15, "answer key F1");
    EXPECT_FALSE(script.run(wrong));
    EXPECT_EQ(script.error_line(), 9);
    EXPECT_NE(script.error().find("step 1 (\"Turn to TIMERS.\") not done within 5.0 s"),
              std::string::npos)
        << script.error();
}

TEST_F(LessonScripts, BadLessonLinesNameTheirLine) {
    const struct {
        const char *text;
        int line;
    } cases[] = {
        {"on\nanswer key PLUS\n", 2}, // an answer outside a step
        {"ask A\nanswer answer key F1\nuntil lamp dark\n", 2},
        {"ask A\nhint h\nhint again\nuntil lamp dark\n", 3},
        {"ask A\nuntil lamp dark\nuntil lamp bright\n", 3},
        {"ask A\nask B\n", 2},
        {"on\nask A\nkey F1\n", 2}, // a step never closed
        {"ask A\nuntil lamp dark within 0\n", 2},
        {"ask A\nuntil fuel low\n", 2},
        {"well done\n", 1},
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(script.load(c.text)) << c.text;
        EXPECT_EQ(script.error_line(), c.line) << c.text << script.error();
    }
}

class Lessons : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
    // One pass and one tick of the front end's own loop, as the student sees it.
    void student_key(uint8_t key, const char *name) {
        recorder.input(std::string("key ") + name);
        press_key(key);
        run_loop(1);
    }
    void run_loop(int ticks) {
        for (int i = 0; i < ticks; i++) {
            recorder.tick();
            host_timer_tick(1);
            lesson.after_tick();
            for (int p = 0; p < lcd_script::PASSES_PER_TICK; p++) {
                recorder.pass();
                power_pass(0);
                lesson.after_pass();
            }
        }
    }
    png_frame_files files{".", "."};
    lesson_player lesson{files, [](const std::string &) {}};
    session_recorder recorder;
};

TEST_F(Lessons, TheStudentWorksEachStepWithHintShowMeAndSkip) {
    lesson.echo_to(&recorder);
    ASSERT_TRUE(lesson.load(LESSON)) << lesson.error();
    EXPECT_EQ(recorder.script(), ""); // the check is not recorded
    lesson.begin();
    EXPECT_EQ(lesson.title(), "Two pages");
    EXPECT_EQ(lesson.status(), lesson_player::WAITING);
    EXPECT_EQ(lesson.step_number(), 1);
    EXPECT_EQ(lesson.step_count(), 2);
    EXPECT_EQ(lesson.task(), "Turn to TIMERS.");
    EXPECT_EQ(lesson.hint_text(), ""); // not asked for yet
    // A wrong key is only the student's: the lesson waits on.
    student_key(KEY_F2, "F2");
    student_key(KEY_F2, "F2");
    EXPECT_EQ(lesson.step_number(), 1);
    lesson.hint();
    EXPECT_EQ(lesson.hint_text(), "Press +.");
    student_key(KEY_PLUS, "PLUS");
    EXPECT_EQ(lesson.step_number(), 1) << "done only once it has held a moment";
    run_loop(lcd_script::SETTLE_TICKS);
    EXPECT_EQ(lesson.step_number(), 2);
    EXPECT_EQ(lesson.well(), "Good.");
    lesson.show_me();
    EXPECT_EQ(lesson.status(), lesson_player::SHOWING);
    for (int i = 0; i < 100 && lesson.status() == lesson_player::SHOWING; i++)
        lesson.run_for(100);
    EXPECT_EQ(lesson.status(), lesson_player::WAITING); // waits for the pass
    run_loop(lcd_script::SETTLE_TICKS + 1);
    EXPECT_EQ(lesson.status(), lesson_player::FINISHED);
    EXPECT_EQ(lesson.summary().hinted, 1);
    EXPECT_EQ(lesson.summary().shown, 1);
    EXPECT_EQ(lesson.summary().ticks, 14);
    EXPECT_EQ(lesson.summary_text(),
              "0 of 2 steps done on your own, 1 with a hint, 1 shown, 0 skipped. Time: 0:01.");

    // The recording replays headless to the same frame.
    const std::vector<uint8_t> seen(frame_buffer, frame_buffer + LCD_PIXELS);
    reset_program_state();
    lcd_script replay(files, 1, [](const std::string &) {});
    ASSERT_TRUE(replay.run(recorder.script())) << replay.error();
    EXPECT_TRUE(std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS) == seen);
}

TEST_F(Lessons, SkipPlaysTheAnswersAndTheHintComesAfterItsTime) {
    ASSERT_TRUE(lesson.load(LESSON));
    lesson.begin();
    run_loop(49);
    EXPECT_EQ(lesson.hint_text(), "");
    run_loop(1); // 5 s
    EXPECT_EQ(lesson.hint_text(), "Press +.");
    lesson.skip();
    run_loop(lcd_script::SETTLE_TICKS + 1);
    EXPECT_EQ(lesson.step_number(), 2);
    EXPECT_EQ(lesson.well(), "");
    lesson.skip();
    lesson.skip(); // a second skip goes on at once
    EXPECT_EQ(lesson.status(), lesson_player::FINISHED);
    EXPECT_EQ(lesson.summary().skipped, 2);
    EXPECT_EQ(lesson.summary().unaided, 0);
}

TEST_F(Lessons, ALessonWhoseAnswersFailPlaysNothing) {
    set_scene();
    current_screen = map_setup_screen;
    std::string wrong = LESSON;
    wrong.replace(wrong.find("answer key MINUS"), 16, "answer key F2");
    EXPECT_FALSE(lesson.load(wrong));
    EXPECT_EQ(lesson.status(), lesson_player::REFUSED);
    EXPECT_NE(lesson.error().find("line 14: step 2"), std::string::npos) << lesson.error();
    EXPECT_EQ(current_screen, map_setup_screen); // the live instrument untouched
    EXPECT_EQ(rpm, 3880);
}

} // namespace
