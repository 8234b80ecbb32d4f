#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "menus/main_menu.h"
#include "screens/flight_prompt.h"
#include "screens/gauges.h"
#include "screens/max_values.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "screens/security_gate.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// True when the frame of the last pass is exactly what `draw` alone draws.
bool shows(void (*draw)(void)) {
    uint8_t shown[LCD_PIXELS];
    memcpy(shown, frame_buffer, sizeof shown);
    clear_frame_buffer();
    draw();
    bool same = memcmp(shown, frame_buffer, sizeof shown) == 0;
    memcpy(frame_buffer, shown, sizeof shown);
    return same;
}

void digital_page_with_headers() {
    draw_digital_page();
    draw_flight_time_header();
    draw_hobbs_header();
}

void factory_gauge() { draw_map_gauge(70, 15, 35); }

// An engine at 2000 RPM, 29.9 inches and 60 degrees: no alarm.
class RunScreen : public ::testing::Test {
  protected:
    void SetUp() override {
        panel p;
        p.rpm = 12000;
        p.map = 1514;
        start_program_and_power_on(p);
        temp_slider_change(2757);
        passes(30);
        ASSERT_EQ(alarm_active, 0u);
    }
};

TEST_F(RunScreen, AcknowledgementComesBeforeAnyOtherEffect) {
    map_slider_change(3000); // above the high alarm
    temp_slider_change(0);   // below the low alarm
    passes(30);
    ASSERT_EQ(alarm_active, (uint32_t)(ALARM_MAP | ALARM_TEMP));
    EXPECT_EQ(lamp_red, LAMP_BRIGHT);
    key(KEY_PLUS);
    EXPECT_EQ(run_page, 0);
    EXPECT_EQ(alarm_acknowledged, (uint32_t)(ALARM_MAP | ALARM_TEMP));
    EXPECT_EQ(lamp_red, LAMP_BRIGHT); // set before the key was handled
    passes(1);
    EXPECT_EQ(lamp_red, LAMP_DARK);
    key(KEY_PLUS);
    EXPECT_EQ(run_page, 1);
}

TEST_F(RunScreen, AlarmReturnsAfterTheConditionClears) {
    map_slider_change(3000);
    passes(30);
    key(KEY_F2); // acknowledges only: no magneto check
    EXPECT_EQ(mag_check_countdown, 0);
    map_slider_change(1514);
    passes(30);
    map_slider_change(3000);
    passes(30);
    EXPECT_EQ(lamp_red, LAMP_BRIGHT);
}

TEST_F(RunScreen, PagesMoveWithoutWrapping) {
    key(KEY_MINUS);
    EXPECT_EQ(run_page, 0);
    const uint8_t up[] = {1, 2, 2};
    for (uint8_t page : up) {
        key(KEY_PLUS);
        EXPECT_EQ(run_page, page);
    }
    const uint8_t down[] = {1, 0, 0};
    for (uint8_t page : down) {
        key(KEY_MINUS);
        EXPECT_EQ(run_page, page);
    }
}

TEST_F(RunScreen, TimersPageIsSkippedWithTheRpmDisplayOff) {
    settings.rpm_display_on = 0;
    key(KEY_PLUS);
    EXPECT_EQ(run_page, 2);
    key(KEY_MINUS);
    EXPECT_EQ(run_page, 0);
    passes(1);
    EXPECT_TRUE(shows(factory_gauge));
}

TEST_F(RunScreen, TimersPageStaysUntilAPageKeyLeavesIt) {
    key(KEY_PLUS);
    settings.rpm_display_on = 0;
    passes(1);
    EXPECT_TRUE(shows(draw_timers_page));
    key(KEY_MINUS);
    EXPECT_EQ(run_page, 0);
}

TEST_F(RunScreen, EachPageDrawsItsOwnPicture) {
    EXPECT_TRUE(shows(digital_page_with_headers));
    key(KEY_PLUS);
    passes(1);
    EXPECT_TRUE(shows(draw_timers_page));
    key(KEY_PLUS);
    passes(1);
    EXPECT_TRUE(shows(draw_max_values_page));
}

TEST_F(RunScreen, F1OpensTheFlightPromptInManualModeOnly) {
    struct Case {
        uint8_t page, flight_mode, rpm_display_on;
        bool prompt;
    };
    const Case cases[] = {
        {0, 0, 1, true}, {1, 0, 1, true}, {0, 1, 1, false}, {1, 1, 1, false}, {0, 0, 0, false},
    };
    for (const Case &c : cases) {
        current_screen = run_screen;
        run_page = c.page;
        settings.flight_mode = c.flight_mode;
        settings.rpm_display_on = c.rpm_display_on;
        key(KEY_F1);
        EXPECT_EQ(current_screen == flight_prompt_screen, c.prompt)
            << "page " << (int)c.page << " mode " << (int)c.flight_mode;
        EXPECT_EQ(pending_key, 0);
    }
}

TEST_F(RunScreen, F1OnMaxValuesResetsWhateverTheFlightMode) {
    settings.flight_mode = 1;
    rpm_slider_change(30000);
    passes(1);
    rpm_slider_change(12000);
    passes(1);
    EXPECT_EQ(max_rpm, 5000);
    run_page = 2;
    key(KEY_F1);
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(max_rpm, 2000);
}

TEST_F(RunScreen, F2StartsAndEndsTheMagnetoCheck) {
    key(KEY_F2);
    EXPECT_EQ(mag_check_countdown, 60);
    EXPECT_EQ(mag_check_rpm, 2000);
    passes(1);
    EXPECT_TRUE(shows(draw_mag_check_page));
    rpm_slider_change(11000); // 1833 RPM
    key(KEY_F2);
    EXPECT_EQ(mag_check_countdown, 0);
    EXPECT_EQ(mag_check_rpm, 2000); // the second press takes no new reference
    passes(1);
    EXPECT_TRUE(shows(digital_page_with_headers));
}

TEST_F(RunScreen, MagnetoCheckFollowsTheEngineAndEndsByItself) {
    key(KEY_F2);
    rpm_slider_change(11100); // 1850 RPM
    passes(1);
    EXPECT_EQ(rpm - mag_check_rpm, -150);
    ticks(60 * 20);
    passes(1);
    EXPECT_EQ(mag_check_countdown, 0);
    EXPECT_TRUE(shows(digital_page_with_headers));
}

TEST_F(RunScreen, MagnetoCheckStartedUnseenOnMaxValues) {
    run_page = 2;
    key(KEY_F2);
    EXPECT_TRUE(shows(draw_max_values_page));
    key(KEY_MINUS);
    key(KEY_MINUS);
    passes(1);
    EXPECT_TRUE(shows(draw_mag_check_page));
}

TEST_F(RunScreen, MagnetoCheckIsHiddenWithTheGauge) {
    settings.rpm_display_on = 0;
    key(KEY_F2);
    EXPECT_EQ(mag_check_countdown, 60);
    passes(1);
    EXPECT_TRUE(shows(factory_gauge));
}

TEST_F(RunScreen, PushOpensTheMenuOrTheGate) {
    run_page = 1;
    menu_selected = 4;
    menu_editing = 1;
    key(KEY_PUSH);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, 0);
    EXPECT_EQ(menu_editing, 0);
    current_screen = run_screen;
    settings.security_on = 1;
    for (uint8_t &d : entry_digits) d = 7;
    menu_selected = 2;
    key(KEY_PUSH);
    EXPECT_EQ(current_screen, security_gate_screen);
    EXPECT_EQ(menu_selected, 0);
    const uint8_t expected_digits[] = {0, 0, 0, 0, 7, 7};
    for (int i = 0; i < 6; i++) EXPECT_EQ(entry_digits[i], expected_digits[i]);
    EXPECT_EQ(run_page, 1); // the run screen comes back on the page it left
}

TEST_F(RunScreen, FlightColonBlinksOnlyWhileTheTimerRuns) {
    flight_hours = 12;
    flight_minutes = 5;
    blink_phase = 1;
    passes(1);
    uint8_t stopped[LCD_PIXELS];
    memcpy(stopped, frame_buffer, sizeof stopped);
    flight_running = 1;
    passes(1);
    EXPECT_NE(memcmp(stopped, frame_buffer, sizeof stopped), 0);
    blink_phase = 0;
    passes(1);
    EXPECT_EQ(memcmp(stopped, frame_buffer, sizeof stopped), 0);
}

// Goldens of the run pages. The engine values are fixed; only the page changes.
class RunPages : public RunScreen {};

TEST_F(RunPages, Timers) {
    flight_hours = 1;
    flight_minutes = 7;
    timers.hobbs_hours = 312;
    timers.hobbs_hundredths = 47;
    timers.maint_hours = 25;
    run_page = 1;
    passes(1);
    EXPECT_TRUE(matches_golden("run_timers"));
}

TEST_F(RunPages, DigitalWithHeaders) {
    flight_hours = 12;
    flight_minutes = 5;
    timers.hobbs_hours = 312;
    timers.hobbs_hundredths = 47;
    passes(1);
    EXPECT_TRUE(matches_golden("run_digital_headers"));
}

TEST_F(RunPages, MagCheck) {
    key(KEY_F2);
    rpm_slider_change(10500); // 1750 RPM: a drop of 250
    passes(1);
    EXPECT_TRUE(matches_golden("run_mag_check"));
}

} // namespace
