#include "core/settings.h"
#include "host/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

TEST(FactoryDefaults, PowerOnBringsBackChangedSettings) {
    start_program_and_power_on();
    struct settings_record factory = settings;
    settings.backlight_level = 40;
    settings.security_on = 1;
    settings.security_code = 7;
    settings.map_unit = 0;
    settings.map_display_max = 2000;
    settings.rpm_display_mode = 1;
    settings.rpm_100_percent = 2700;
    settings.temp_unit = 1;
    settings.hobbs_code = 1111;
    settings.takeoff_rpm = 1;
    strcpy(settings.rpm_label, "PROP");
    power_off_request = 1;
    power_on();
    EXPECT_EQ(memcmp(&settings, &factory, sizeof settings), 0);
    EXPECT_STREQ(settings.rpm_label, "ENGINE");
}

TEST(FactoryDefaults, KeyValues) {
    start_program_and_power_on();
    EXPECT_EQ(settings.map_display_max, 443);
    EXPECT_EQ(settings.map_display_min, 266);
    EXPECT_EQ(settings.map_low_alarm, 278);
    EXPECT_EQ(settings.map_high_alarm, 413);
    EXPECT_EQ(settings.map_low_caution, 292);
    EXPECT_EQ(settings.map_high_caution, 354);
    EXPECT_EQ(settings.rpm_pulses_per_rev, 60);
    EXPECT_EQ(settings.rpm_high_alarm, 5800);
    EXPECT_EQ(settings.rpm_low_alarm_on, 0);
    EXPECT_STREQ(settings.rpm_label, "ENGINE");
    EXPECT_STREQ(settings.temp_label, "TEMP");
    EXPECT_EQ(settings.backlight_threshold, 300);
    EXPECT_EQ(settings.security_code, FACTORY_SECURITY_CODE);
    EXPECT_NE(settings.security_code, master_code);
    EXPECT_GE(master_code, 1000);
    EXPECT_LE(master_code, 9999);
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
