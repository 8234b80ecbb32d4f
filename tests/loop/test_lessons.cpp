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
    };
    for (const condition_case &c : cases) {
        set_scene();
        lesson_condition condition;
        std::string error;
        ASSERT_TRUE(parse_condition(c.text, condition, error)) << c.text << ": " << error;
        EXPECT_EQ(condition_holds(condition), c.holds) << c.text;
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
    EXPECT_FALSE(condition_holds(inches));
    EXPECT_TRUE(condition_holds(millibar));
    set_scene();
    alarm_active = ALARM_MAP;
    map_value = 401;
    EXPECT_TRUE(condition_holds(high));
    EXPECT_FALSE(condition_holds(low));
    map_value = 277;
    EXPECT_FALSE(condition_holds(high));
    EXPECT_TRUE(condition_holds(low));
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
        "setting map_high_alarm 80.0 inHg",
        "setting map_high_alarm 40.0",
        "setting temp_high_alarm 200 C",
        "setting rpm_pulses_per_rev 0.0",
        "setting security_code 123",
        "setting flight_mode AUTO",
        "alarm map sideways",
        "mag drop -5",
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
    EXPECT_EQ(lesson.step_number(), 2);
    EXPECT_EQ(lesson.well(), "Good.");
    lesson.show_me(lesson.panel());
    EXPECT_EQ(lesson.status(), lesson_player::WAITING); // waits for the pass
    run_loop(1);
    EXPECT_EQ(lesson.status(), lesson_player::FINISHED);
    EXPECT_EQ(lesson.summary().hinted, 1);
    EXPECT_EQ(lesson.summary().shown, 1);
    EXPECT_EQ(lesson.summary().ticks, 4);
    EXPECT_EQ(lesson.summary_text(),
              "0 of 2 steps done on your own, 1 with a hint, 1 shown, 0 skipped. Time: 0:00.");

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
    lesson.skip(lesson.panel());
    run_loop(1);
    EXPECT_EQ(lesson.step_number(), 2);
    EXPECT_EQ(lesson.well(), "");
    lesson.skip(lesson.panel());
    lesson.skip(lesson.panel()); // a second skip goes on at once
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
