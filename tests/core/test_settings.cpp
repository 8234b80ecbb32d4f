#include "core/settings.h"
#include "host/shell/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// Every setting against its factory value, after the menus changed them all.
TEST(FactoryDefaults, PowerOnBringsBackEveryFactoryValue) {
    start_program_and_power_on();
    memset(&settings, 0x5A, sizeof settings);
    power_off_request = 1;
    power_on();
    const settings_record &s = settings;
    const struct {
        const char *field;
        long actual, factory;
    } table[] = {
        {"backlight_mode", s.backlight_mode, 0},
        {"backlight_level", s.backlight_level, 100},
        {"backlight_threshold", s.backlight_threshold, 300},
        {"backlight_dim", s.backlight_dim, 10},
        {"backlight_bright", s.backlight_bright, 100},
        {"security_on", s.security_on, 0},
        {"security_code", s.security_code, 1234},
        {"map_display_max", s.map_display_max, 443},
        {"map_display_min", s.map_display_min, 266},
        {"map_low_alarm", s.map_low_alarm, 278},
        {"map_low_alarm_on", s.map_low_alarm_on, 1},
        {"map_high_alarm", s.map_high_alarm, 413},
        {"map_low_caution", s.map_low_caution, 292},
        {"map_high_caution", s.map_high_caution, 354},
        {"map_high_alarm_on", s.map_high_alarm_on, 1},
        {"map_filter", s.map_filter, 1},
        {"map_unit", s.map_unit, 1},
        {"map_source", s.map_source, 0},
        {"rpm_display_on", s.rpm_display_on, 1},
        {"rpm_display_mode", s.rpm_display_mode, 0},
        {"rpm_100_percent", s.rpm_100_percent, 6000},
        {"rpm_display_max", s.rpm_display_max, 6000},
        {"rpm_display_min", s.rpm_display_min, 0},
        {"rpm_low_alarm", s.rpm_low_alarm, 500},
        {"rpm_low_alarm_on", s.rpm_low_alarm_on, 0},
        {"rpm_high_alarm", s.rpm_high_alarm, 5800},
        {"rpm_high_alarm_on", s.rpm_high_alarm_on, 1},
        {"rpm_low_caution", s.rpm_low_caution, 1000},
        {"rpm_high_caution", s.rpm_high_caution, 5500},
        {"rpm_pulses_per_rev", s.rpm_pulses_per_rev, 60},
        {"rpm_increment", s.rpm_increment, 0},
        {"rpm_source", s.rpm_source, 0},
        {"exio_address", s.exio_address, 0},
        {"temp_display_on", s.temp_display_on, 1},
        {"temp_unit", s.temp_unit, 0},
        {"temp_low_alarm", s.temp_low_alarm, 0},
        {"temp_high_alarm", s.temp_high_alarm, 60},
        {"temp_low_alarm_on", s.temp_low_alarm_on, 1},
        {"temp_high_alarm_on", s.temp_high_alarm_on, 1},
        {"hobbs_rpm", s.hobbs_rpm, 1000},
        {"hobbs_code", s.hobbs_code, 0},
        {"flight_mode", s.flight_mode, 0},
        {"takeoff_rpm", s.takeoff_rpm, 1000},
    };
    for (const auto &row : table) EXPECT_EQ(row.actual, row.factory) << row.field;
    // The labels with their terminating zero.
    EXPECT_EQ(memcmp(s.rpm_label, "ENGINE", 7), 0);
    EXPECT_EQ(memcmp(s.temp_label, "TEMP", 5), 0);
    EXPECT_EQ(FACTORY_SECURITY_CODE, 1234);
    EXPECT_EQ(master_code, 4321);
}

TEST(FactoryDefaults, CalibrationAndTimesSurvive) {
    start_program_and_power_on();
    calibration.map_cal_internal = -20;
    calibration.map_cal_exio = 7;
    calibration.temp_cal = 3;
    timers.hobbs_hours = 312;
    timers.hobbs_hundredths = 47;
    timers.maint_hours = 25;
    power_off_request = 1;
    power_on();
    load_factory_defaults();
    EXPECT_EQ(calibration.map_cal_internal, -20);
    EXPECT_EQ(calibration.map_cal_exio, 7);
    EXPECT_EQ(calibration.temp_cal, 3);
    EXPECT_EQ(timers.hobbs_hours, 312);
    EXPECT_EQ(timers.hobbs_hundredths, 47);
    EXPECT_EQ(timers.maint_hours, 25);
}

TEST(FactoryDefaults, UnitChangeKeepsTheLimitNumbers) {
    start_program_and_power_on();
    settings.map_unit = 0;
    passes(2);
    EXPECT_EQ(settings.map_low_alarm, 278);
    EXPECT_EQ(settings.map_high_alarm, 413);
}

TEST(OptionNames, RecordsOfOneWidth) {
    struct Case {
        const char *table;
        int width, value;
        const char *text;
    };
    const Case cases[] = {
        {off_on_names[0], OFF_ON_WIDTH, 1, "ON"},
        {backlight_mode_names[0], BACKLIGHT_MODE_WIDTH, 1, "AUTO"},
        {map_unit_names[0], MAP_UNIT_WIDTH, 0, "mB"},
        {map_unit_names[0], MAP_UNIT_WIDTH, 1, "\"Hg"},
        {filter_names[0], FILTER_WIDTH, 2, "SLOW"},
        {increment_names[0], INCREMENT_WIDTH, 4, "100RPM"},
        {increment_names[0], INCREMENT_WIDTH, 2, "10RPM"},
        {source_names[0], SOURCE_WIDTH, 1, "EXIO"},
        {temp_unit_names[0], TEMP_UNIT_WIDTH, 1, "\xB0" "F"},
        {flight_mode_names[0], FLIGHT_MODE_WIDTH, 1, "DETECT"},
    };
    for (const Case &c : cases) EXPECT_STREQ(c.table + c.value * c.width, c.text);
    EXPECT_EQ(OFF_ON_WIDTH, 4);
    EXPECT_EQ(sizeof increment_names, 5u * 7u);
    EXPECT_EQ(sizeof source_names, 2u * 9u);
    EXPECT_EQ(sizeof temp_unit_names, 2u * 3u);
}

} // namespace
