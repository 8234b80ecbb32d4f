#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

namespace {

TEST(PowerLoop, KeysDropWhileTheSlotIsFull) {
    reset_program_state();
    press_key(KEY_F1);
    press_key(KEY_F2);
    EXPECT_EQ(pending_key, KEY_F1);
}

TEST(PowerLoop, PowerOnResetsWhatItListsOnly) {
    start_program_and_power_on();
    passes(2);
    settings.map_unit = 0;
    current_screen = nullptr;
    edit_step = 100;
    pending_key = KEY_PUSH;
    run_page = 2;
    alarm_acknowledged = alarm_active;
    menu_selected = 3;
    power_off_request = 1;
    power_on();
    EXPECT_EQ(power_off_request, 0);
    EXPECT_EQ(settings.map_unit, 1);
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(edit_step, 1);
    EXPECT_EQ(pending_key, 0);
    EXPECT_EQ(run_page, 0);
    EXPECT_EQ(alarm_active, 0u);
    EXPECT_EQ(alarm_acknowledged, 0u);
    EXPECT_EQ(menu_selected, 3); // the pages own the rest of the menu state
}

TEST(PowerLoop, TemperatureSliderLatch) {
    start_program_and_power_on();
    passes(1);
    EXPECT_EQ(temp_adc, 0); // never moved
    temp_slider_change(2757);
    power_off_request = 1;
    power_on(); // the power-on runs no TEMP handler, the latch keeps its value
    passes(1);
    EXPECT_EQ(temp_adc, 2757);
    EXPECT_EQ(temp_value, 60);
}

TEST(PowerLoop, SlidersReachTheLiveValuesEveryPass) {
    panel p;
    p.rpm = 6000;
    p.map = 1514;
    start_program_and_power_on(p);
    settings.map_filter = 0;
    passes(1);
    EXPECT_EQ(rpm, 1000);
    EXPECT_EQ(map_value, 299);
    rpm_slider_change(30000);
    map_slider_change(166);
    passes(1);
    EXPECT_EQ(rpm, 5000);
    EXPECT_EQ(map_mb, 201);
}

TEST(PowerLoop, ExioBoxTakesEffectOnTheNextPass) {
    start_program_and_power_on();
    passes(1, 1);
    EXPECT_EQ(exio_present, 1);
    passes(1, 0);
    EXPECT_EQ(exio_present, 0);
}

TEST(PowerLoop, AlarmLightsTheLampOnThePassAfter) {
    panel p;
    p.map = 1514;
    start_program_and_power_on(p);
    temp_slider_change(2500);
    settings.map_filter = 0;
    passes(2);
    EXPECT_EQ(alarm_active, 0u);
    EXPECT_EQ(lamp_red, LAMP_DARK);
    map_slider_change(3000); // 55 inches: above the high alarm
    passes(1);
    EXPECT_EQ(alarm_active, (uint32_t)ALARM_MAP);
    EXPECT_EQ(lamp_red, LAMP_DARK);
    passes(1);
    EXPECT_EQ(lamp_red, LAMP_BRIGHT);
}

// Program start, before any power-on: the records are all 0 and no handler
// is ever called through 0.
TEST(PowerLoop, PassBeforeThePowerOnRunsTheRunScreen) {
    reset_program_state();
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(message_return_screen, run_screen);
    current_screen = nullptr;
    power_pass(0);
    EXPECT_EQ(rpm, 0);
    EXPECT_EQ(pending_key, 0);
}

TEST(PowerLoop, MessageWithoutAReturnScreenGoesToTheRunScreen) {
    start_program_and_power_on();
    passes(1);
    message_return_screen = nullptr;
    current_screen = done_message_screen;
    key(KEY_F2);
    passes(1);
    key(KEY_F2); // acknowledges the cold engine's alarms: the run screen has it
    EXPECT_EQ(alarm_acknowledged, alarm_active);
    EXPECT_NE(alarm_active, 0u);
}

} // namespace
