#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "host/figures/lcd_description.h"
#include "host/session/session.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Power-on at 2400 rpm, 30.0 inHg and 50 C, the MAP filter settled.
void engine_running() {
    start_program_and_power_on({14400, 1522});
    temp_slider = 2674;
    passes(70);
}

bool says(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

} // namespace

// Each kind of screen is named, with what its frame shows: figures with
// units, the selected row, item or digit, the value being edited, the alarms.
TEST(LcdDescription, SaysWhatEachKindOfScreenShows) {
    struct screen_case {
        const char *keys; // after the engine runs and its alarms are acknowledged
        std::function<void()> change;
        const char *says[3];
    };
    auto none = [] {};
    const screen_case cases[] = {
        {"", none, {"Engine page. 0:00 0.0. 2400 RPM. 30.0 inHg. TEMP: 50 C. No alarm"}},
        {"", [] { settings.rpm_display_mode = 1; }, {"Engine page. 0:00 0.0. 40 RPM %. 30.0"}},
        {"", [] { settings.rpm_source = 1; }, {"2400 RPM", "RPM crossed out, no EXIO"}},
        {"", [] { settings.map_source = 1; }, {"MAP crossed out, no EXIO"}},
        {"+", none, {"Timers page. TIMERS. FLIGHT: 0:00. HOBBS: 0.0. MAINT:"}},
        {"++", none, {"Max values page. MAX VALUES. MAP: 30.0 inHg. ENGINE: 2400. TEMP: 50 C"}},
        {"P", none, {"Main menu. Qirel MAIN MENU. MAP. SETUP. EXIT", "Selected MAP SETUP"}},
        {"PP", none, {"MAP setup. Qirel MAP SETUP", "Selected MAP UNIT: inHg"}},
        {"PP+P", none, {"Editing DISPLAY MAX: 44.3"}},
        {"PP++++++++++", none, {"Selected CAL: +0 (1018mB)"}},
        {"2", none, {"Magneto check. *** MAG CHECK ***. 0. ENGINE RPM"}},
        {"P++++PP", none, {"Backlight", "Level 100 %", "Selected BACKLIGHT: MANUAL"}},
        {"P++++P++P", none, {"Info. Qirel INFO. MODEL: QX-40. FIRMWARE: V1.00. CAN: ERROR"}},
        {"P+++++P", none, {"ADC values", "MAP: 1522 (1018mB). TEMP: 2674 (50 C)"}},
        {"P+++P+P", none, {"Set hobbs time", "0000.0", "Digit 1 of 5: 0"}},
        {"P+++P+P+P++P", none, {"1200.0", "Digit 3 of 5: 0"}},
        {"P+++P++P+P", none, {"1000", "Digit 2 of 4: 0"}},
        {"P+P++++++++++++PP+", none, {"Editing LABEL: EOGINE, character 2: O"}},
    };
    for (const screen_case &c : cases) {
        engine_running();
        c.change();
        passes(1);
        keys(c.keys);
        passes(1);
        const std::string text = describe_lcd(true).text;
        for (const char *part : c.says)
            if (part) {
                EXPECT_TRUE(says(text, part)) << c.keys << ": " << text;
            }
    }
    EXPECT_EQ(describe_lcd(false).text, "Instrument off");

    engine_running();
    settings.security_on = 1;
    keys("P+");
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text,
                     "Security gate. Qirel SECURITY CODE. ENTER SECURITY. CODE. 1000. EXIT. "
                     "Digit 1 of 4: 1"))
        << describe_lcd(true).text;
}

// The figures follow each pass: new RPM and MAP, a reset of the maxima, the
// magneto drop; a figure too wide for the screen is said as shown.
TEST(LcdDescription, FiguresAreThoseOfTheLastFrame) {
    engine_running();
    rpm_slider_change(30000);
    map_slider_change(1775);
    passes(40);
    EXPECT_TRUE(says(describe_lcd(true).text, "5000 RPM. 34.5 inHg")) << describe_lcd(true).text;
    keys("2");
    rpm_slider_change(29400);
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text, "Magneto check. *** MAG CHECK ***. -100"))
        << describe_lcd(true).text;
    keys("2++");
    rpm_slider_change(14400);
    passes(1);
    keys("1");
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text, "ENGINE: 2400")) << describe_lcd(true).text;
    keys("--");
    settings.rpm_pulses_per_rev = 1;
    settings.rpm_increment = 2;
    rpm_slider_change(100000);
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text, "00000 RPM. 34.5 inHg")) << describe_lcd(true).text;
}

TEST(LcdDescription, SaysAlarmsHighOrLowAndAcknowledged) {
    engine_running();
    settings.rpm_high_alarm = 2000;
    settings.map_low_alarm_on = 1;
    settings.map_low_alarm = 310;
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text, "Alarm: MAP low, RPM high"))
        << describe_lcd(true).text;
    key(KEY_F2);
    temp_slider = 3900;
    passes(1);
    const std::string text = describe_lcd(true).text;
    EXPECT_TRUE(says(text, "Alarm acknowledged: MAP low, RPM high")) << text;
    EXPECT_TRUE(says(text, "TEMP: --- C")) << text;
}

TEST(LcdDescription, LampNamesItsState) {
    const struct {
        uint32_t active, acknowledged;
        const char *name;
    } cases[] = {
        {0, 0, "Alarm lamp: no alarm"},
        {ALARM_MAP, 0, "Alarm lamp: alarm"},
        {ALARM_MAP, ALARM_MAP, "Alarm lamp: alarm acknowledged"},
        {ALARM_MAP | ALARM_RPM, ALARM_MAP, "Alarm lamp: alarm"},
    };
    for (const auto &c : cases) {
        engine_running();
        alarm_active = c.active;
        alarm_acknowledged = c.acknowledged;
        lamp_red = lamp_red_level();
        EXPECT_STREQ(lamp_accessible_name(lamp_red >= LAMP_BRIGHT), c.name);
    }
}

namespace {

// A session at 2400 rpm, 30.0 inHg and 50 C with its first announcements
// heard; every frame is a tick and a pass.
class Announced : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        s.move_slider(SLIDER_RPM, 14400);
        s.move_slider(SLIDER_MAP, 1522);
        s.move_slider(SLIDER_TEMP, 2674);
        s.power_on();
        frames(30);
        heard.clear();
    }
    void frames(int n) {
        for (int i = 0; i < n; i++) {
            s.elapse(session::TICK_MS);
            s.pass();
            const std::string a = s.announcement();
            if (!a.empty()) heard.push_back(a);
        }
    }
    // Keys, each followed by a second and a half of frames.
    void press(const char *keys) {
        for (const char *k = keys; *k; k++) {
            s.key(*k == 'P'   ? KEY_PUSH
                  : *k == '+' ? KEY_PLUS
                  : *k == '-' ? KEY_MINUS
                  : *k == '1' ? KEY_F1
                              : KEY_F2);
            frames(15);
        }
    }
    session s;
    std::vector<std::string> heard;
};

} // namespace

TEST_F(Announced, OneKnobTurnWhileEditingSaysOnlyTheValue) {
    press("PP++++P");
    heard.clear();
    press("+");
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], "Editing HIGH ALARM: 41.4");
    heard.clear();
    press("P+");
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[1], "Selected HIGH CAUTION: 35.4");
}

TEST_F(Announced, SliderMovesWithACalRowVisibleSayTheRow) {
    press("PP++++++++++");
    heard.clear();
    for (int position : {1600, 1700, 1800}) {
        s.move_slider(SLIDER_MAP, position);
        frames(15);
    }
    EXPECT_GE(heard.size(), 1u);
    EXPECT_LE(heard.size(), 3u) << ::testing::PrintToString(heard);
    for (const std::string &a : heard) {
        EXPECT_EQ(a.compare(0, 18, "Selected CAL: +0 ("), 0) << a;
        EXPECT_LT(a.size(), 30u) << a;
    }
}

TEST_F(Announced, DriftingFiguresOnTheRunScreenAreNotSaid) {
    for (int position = 12000; position < 15000; position += 100) {
        s.move_slider(SLIDER_RPM, position);
        frames(3);
    }
    EXPECT_TRUE(heard.empty()) << (heard.empty() ? "" : heard[0]);
    EXPECT_TRUE(says(s.description().text, "2483 RPM")) << s.description().text;
}

TEST_F(Announced, AScreenWholeAnAlarmByItselfAtMostOnceASecond) {
    s.key(KEY_PUSH);
    frames(3);
    s.key(KEY_PLUS);
    frames(3);
    ASSERT_EQ(heard.size(), 1u) << "within the second";
    EXPECT_EQ(heard[0].compare(0, 26, "Main menu. Qirel MAIN MENU"), 0) << heard[0];
    frames(10);
    ASSERT_EQ(heard.size(), 2u) << "once the second is over";
    EXPECT_EQ(heard[1], "Selected RPM SETUP");
    press("1");
    heard.clear();
    s.move_slider(SLIDER_RPM, 36000);
    frames(15);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0], "Alarm: RPM high");
    press("2");
    EXPECT_EQ(heard.back(), "Alarm acknowledged: RPM high");
    s.power_off();
    frames(15);
    EXPECT_EQ(heard.back(), "Instrument off");
}
