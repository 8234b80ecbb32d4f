#include "core/sensors.h"
#include "core/settings.h"
#include "host/shell/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

namespace {

class Sensors : public ::testing::Test {
  protected:
    void SetUp() override { start_program_and_power_on(); }
};

TEST_F(Sensors, RpmFromPulseRate) {
    struct Case {
        int32_t pulses;
        int16_t tenths_per_rev;
        uint8_t increment;
        int32_t rpm, percent;
    };
    const Case cases[] = {
        {6000, 60, 0, 1000, 16},    // factory: 6.0 pulses per revolution
        {1, 60, 0, 0, 0},           // less than a revolution a minute
        {100000, 1, 0, 99999, 1666}, // 1000000 clamps to 99999
        {6144, 60, 3, 1000, 16},    // 1024 to the nearest 50
        {6150, 60, 3, 1050, 17},    // 1025: halves round up
        {6132, 60, 1, 1020, 17},    // 1022 to the nearest 5
        {6138, 60, 1, 1025, 17},    // 1023 to the nearest 5
        {6054, 60, 2, 1010, 16},    // 1009 to the nearest 10
        {6294, 60, 4, 1000, 16},    // 1049 to the nearest 100
        {6300, 60, 4, 1100, 18},    // 1050 to the nearest 100
        {6144, 60, 9, 1024, 17},    // an unknown increment counts as 1
    };
    for (const Case &c : cases) {
        settings.rpm_pulses_per_rev = c.tenths_per_rev;
        settings.rpm_increment = c.increment;
        rpm_pulse_rate = c.pulses;
        update_rpm();
        EXPECT_EQ(rpm, c.rpm) << "pulses " << c.pulses;
        EXPECT_EQ(rpm_percent, c.percent) << "pulses " << c.pulses;
    }
}

TEST_F(Sensors, MapFromTheInternalSensor) {
    struct Case {
        uint16_t adc;
        int8_t cal;
        uint8_t unit;
        int16_t mb, value;
    };
    const Case cases[] = {
        {165, 0, 1, 0, 0},       // at the zero threshold
        {166, 0, 0, 201, 201},   // (166 + 169) * 100 / 166
        {1514, 0, 1, 1013, 299}, // sea level, 29.9 inches
        {1514, 0, 0, 1013, 1013},
        {4096, 0, 1, 2569, 758},
        {30, -50, 1, 0, 0},      // a negative sum reads 0
        {215, -50, 0, 0, 0},     // 165 after calibration: still at the threshold
        {216, -50, 0, 201, 201},
        {116, 50, 0, 201, 201},
        {40000, 0, 1, 24198, 7145}, // the raw word beyond the slider: 64-bit product
    };
    settings.map_filter = 0;
    for (const Case &c : cases) {
        map_adc = c.adc;
        calibration.map_cal_internal = c.cal;
        settings.map_unit = c.unit;
        update_map();
        EXPECT_EQ(map_raw, c.adc);
        EXPECT_EQ(map_mb, c.mb) << "adc " << c.adc << " cal " << (int)c.cal;
        EXPECT_EQ(map_value, c.value) << "adc " << c.adc << " cal " << (int)c.cal;
    }
}

TEST_F(Sensors, ExioSourceReadsZeroWhateverTheSlider) {
    settings.map_source = 1;
    calibration.map_cal_exio = 50;
    map_adc = 4096;
    for (uint8_t filter = 0; filter < 3; filter++) {
        settings.map_filter = filter;
        update_map();
        EXPECT_EQ(map_raw, 0);
        EXPECT_EQ(map_mb, 0);
    }
    settings.map_source = 7; // any other value selects the external unit too
    update_map();
    EXPECT_EQ(map_mb, 0);
}

TEST_F(Sensors, FastFilterHalvesTheStep) {
    settings.map_filter = 1;
    map_adc = 1514; // v = 1683
    const int16_t expected_mb[] = {506, 760, 886, 950};
    for (int16_t mb : expected_mb) {
        update_map();
        EXPECT_EQ(map_mb, mb);
    }
}

TEST_F(Sensors, SlowFilterTakesAQuarter) {
    settings.map_filter = 2;
    map_adc = 1514;
    const int16_t expected_mb[] = {253, 443, 585};
    for (int16_t mb : expected_mb) {
        update_map();
        EXPECT_EQ(map_mb, mb);
    }
}

TEST_F(Sensors, FilterHoldsBelowTheThreshold) {
    settings.map_filter = 1;
    map_adc = 1514;
    update_map();
    uint32_t acc = map_filter_acc;
    map_adc = 100;
    update_map();
    EXPECT_EQ(map_mb, 0);
    EXPECT_EQ(map_filter_acc, acc);
}

TEST_F(Sensors, FilterStateOutlivesAPowerCycle) {
    panel p;
    p.map = 1514;
    power_on(p);
    passes(40);
    EXPECT_EQ(map_mb, 1013);
    power_off_request = 1;
    power_on(p);
    passes(1);
    EXPECT_EQ(map_mb, 1013); // no rise from 0 again
}

TEST_F(Sensors, SwitchingFilterKeepsTheAccumulator) {
    settings.map_filter = 1;
    map_adc = 1514;
    for (int i = 0; i < 40; i++) update_map();
    settings.map_filter = 2; // twice the value now reads as four times
    update_map();
    EXPECT_LT(map_mb, 700);
    EXPECT_GT(map_mb, 500);
}

TEST_F(Sensors, TemperatureFromTheSensor) {
    struct Case {
        uint16_t adc;
        int8_t cal;
        uint8_t unit;
        int16_t celsius, value;
    };
    const Case cases[] = {
        {0, 0, 0, -273, -273}, {0, 0, 1, -273, -459}, {2260, 0, 0, 0, 0},
        {2757, 0, 0, 60, 60},  {4096, 0, 0, 221, 221}, {2757, 0, 1, 60, 140},
        {2260, -5, 1, -5, 23}, // -90 / 10 truncates to -9
        {2260, 20, 0, 20, 20}, {2260, -20, 0, -20, -20},
    };
    for (const Case &c : cases) {
        temp_adc = c.adc;
        calibration.temp_cal = c.cal;
        settings.temp_unit = c.unit;
        update_temperature();
        EXPECT_EQ(temp_raw, c.adc);
        EXPECT_EQ(temp_c, c.celsius) << "adc " << c.adc;
        EXPECT_EQ(temp_value, c.value) << "adc " << c.adc;
    }
}

// Before the first power-on every setting is 0, divisors included.
TEST(SensorsBeforePowerOn, ZeroDivisorsReadZero) {
    reset_program_state();
    rpm_pulse_rate = 6000;
    update_rpm();
    EXPECT_EQ(rpm, 0);
    EXPECT_EQ(rpm_percent, 0);
    settings.rpm_pulses_per_rev = 60;
    update_rpm();
    EXPECT_EQ(rpm, 1000);
    EXPECT_EQ(rpm_percent, 0);
}

TEST(CelsiusToFahrenheit, TruncatesTowardZero) {
    struct Case { int16_t c, f; };
    const Case cases[] = {{-5, 23}, {-1, 31}, {0, 32}, {1, 33}, {100, 212}, {-40, -40}, {-273, -459}};
    for (const Case &c : cases) EXPECT_EQ(celsius_to_fahrenheit(c.c), c.f) << c.c;
}

} // namespace
