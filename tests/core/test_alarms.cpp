#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "host/shell/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

namespace {

class Alarms : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        alarm_active = 0;
        alarm_acknowledged = 0;
    }
};

TEST_F(Alarms, LimitsAreStrictAndNeedTheirSwitch) {
    struct Case {
        int32_t value;
        uint8_t low_on, high_on;
        bool alarm;
    };
    // Factory MAP limits: low 278, high 413.
    const Case map_cases[] = {
        {278, 1, 1, false}, {277, 1, 1, true}, {413, 1, 1, false}, {414, 1, 1, true},
        {277, 0, 1, false}, {414, 1, 0, false}, {277, 2, 1, false}, // only 1 counts as on
        {285, 1, 1, false}, // inside the caution limits only
    };
    for (const Case &c : map_cases) {
        settings.map_low_alarm_on = c.low_on;
        settings.map_high_alarm_on = c.high_on;
        map_value = (int16_t)c.value;
        check_map_alarm();
        EXPECT_EQ((alarm_active & ALARM_MAP) != 0, c.alarm) << "MAP " << c.value;
    }
    // Factory RPM limits: low 500 (off), high 5800.
    const Case rpm_cases[] = {
        {499, 0, 1, false}, {499, 1, 1, true}, {500, 1, 1, false},
        {5800, 1, 1, false}, {5801, 1, 1, true}, {5600, 1, 1, false}, // caution only
    };
    for (const Case &c : rpm_cases) {
        settings.rpm_low_alarm_on = c.low_on;
        settings.rpm_high_alarm_on = c.high_on;
        rpm = c.value;
        check_rpm_alarm();
        EXPECT_EQ((alarm_active & ALARM_RPM) != 0, c.alarm) << "RPM " << c.value;
    }
    // Factory temperature limits: low 0, high 60.
    const Case temp_cases[] = {
        {0, 1, 1, false}, {-1, 1, 1, true}, {60, 1, 1, false}, {61, 1, 1, true}, {61, 1, 0, false},
    };
    for (const Case &c : temp_cases) {
        settings.temp_low_alarm_on = c.low_on;
        settings.temp_high_alarm_on = c.high_on;
        temp_value = (int16_t)c.value;
        check_temp_alarm();
        EXPECT_EQ((alarm_active & ALARM_TEMP) != 0, c.alarm) << "TEMP " << c.value;
    }
}

TEST_F(Alarms, AcknowledgementLastsUntilTheConditionEnds) {
    map_value = 500;
    check_map_alarm();
    EXPECT_EQ(lamp_red_level(), LAMP_BRIGHT);
    EXPECT_EQ(acknowledge_alarms(), 1);
    EXPECT_EQ(lamp_red_level(), LAMP_DARK);
    EXPECT_EQ(acknowledge_alarms(), 0); // nothing left to acknowledge
    check_map_alarm();                  // still beyond the limit
    EXPECT_EQ(alarm_active, (uint32_t)ALARM_MAP);
    EXPECT_EQ(lamp_red_level(), LAMP_DARK);
    map_value = 300;
    check_map_alarm();
    EXPECT_EQ(alarm_active, 0u);
    EXPECT_EQ(alarm_acknowledged, 0u);
    map_value = 500;
    check_map_alarm();
    EXPECT_EQ(lamp_red_level(), LAMP_BRIGHT); // a new violation lights the lamp again
}

TEST_F(Alarms, OneAcknowledgementTakesEveryActiveAlarm) {
    map_value = 500;
    check_map_alarm();
    temp_value = 100;
    check_temp_alarm();
    EXPECT_EQ(acknowledge_alarms(), 1);
    EXPECT_EQ(alarm_acknowledged, (uint32_t)(ALARM_MAP | ALARM_TEMP));
    EXPECT_EQ(lamp_red_level(), LAMP_DARK);
}

TEST(FirstPowerOn, LampIsDarkInPassOneAndBrightFromPassTwo) {
    start_program_and_power_on();
    EXPECT_EQ(lamp_red, LAMP_BRIGHT); // as the window creates it
    passes(1);
    EXPECT_EQ(lamp_red, LAMP_DARK);
    EXPECT_EQ(alarm_active, (uint32_t)(ALARM_MAP | ALARM_TEMP)); // MAP 0, -273 degrees
    passes(1);
    EXPECT_EQ(lamp_red, LAMP_BRIGHT);
}

TEST(MaximumValues, RiseOnlyAndFollowTheLiveValues) {
    panel p;
    p.map = 1514;
    start_program_and_power_on(p);
    settings.map_unit = 0;
    settings.map_filter = 0;
    passes(1);
    EXPECT_EQ(max_map, 1013);
    settings.map_unit = 1; // readings now about 299: the millibar maximum stays
    passes(3);
    EXPECT_EQ(map_value, 299);
    EXPECT_EQ(max_map, 1013);
    reset_max_values();
    EXPECT_EQ(max_map, 299);
}

TEST(MaximumValues, ColdTemperatureNeverBecomesTheMaximum) {
    start_program_and_power_on();
    passes(3);
    EXPECT_EQ(temp_value, -273);
    EXPECT_EQ(max_temp, 0);
}

TEST(MaximumValues, FactoryDefaultsWhileRunningTakeTheLiveValues) {
    panel p;
    p.rpm = 24000;
    p.map = 1514;
    start_program_and_power_on(p);
    temp_slider_change(2757);
    passes(20);
    rpm_slider_change(12000);
    passes(1);
    ASSERT_EQ(rpm, 2000);
    EXPECT_EQ(max_rpm, 4000);
    load_factory_defaults();
    EXPECT_EQ(max_rpm, 2000);
    EXPECT_EQ(max_map, map_value);
    EXPECT_EQ(max_temp, 60);
}

} // namespace
