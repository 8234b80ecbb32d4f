#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/text.h"
#include "host/shell/power_loop.h"
#include "screens/readouts.h"
#include "tests/support/frame_region.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Readouts : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        power_on_sequence();
    }
};

TEST_F(Readouts, MapValueTexts) {
    struct {
        uint8_t unit;
        int16_t value;
        const char *text;
    } cases[] = {
        {1, 0, "0.0"}, {1, 295, "29.5"},  {1, 443, "44.3"},
        {1, 7, "0.7"}, {0, 1013, "1013"}, {0, 0, "0"},
    };
    for (const auto &c : cases) {
        settings.map_unit = c.unit;
        char out[12];
        format_map_reading(out, sizeof out, c.value);
        EXPECT_STREQ(out, c.text) << "unit " << int(c.unit) << " value " << c.value;
    }
}

// Factory limits: alarm 278 / 413, caution 292 / 354.
TEST_F(Readouts, MapStateIgnoresTheAlarmSwitches) {
    struct {
        int16_t value;
        uint8_t state;
    } cases[] = {
        {277, READOUT_ALARM},   {278, READOUT_CAUTION}, {291, READOUT_CAUTION},
        {292, READOUT_NORMAL},  {354, READOUT_NORMAL},  {355, READOUT_CAUTION},
        {413, READOUT_CAUTION}, {414, READOUT_ALARM},   {-5, READOUT_ALARM},
    };
    for (uint8_t on : {1, 0}) {
        settings.map_low_alarm_on = on;
        settings.map_high_alarm_on = on;
        for (const auto &c : cases)
            EXPECT_EQ(map_readout_state(c.value), c.state) << c.value << " switches " << int(on);
    }
}

// Factory limits: alarm 500 (switched off) / 5800, caution 1000 / 5500.
TEST_F(Readouts, RpmState) {
    struct {
        int32_t value;
        uint8_t state;
    } cases[] = {
        {499, READOUT_ALARM},    {500, READOUT_CAUTION}, {999, READOUT_CAUTION},
        {1000, READOUT_NORMAL},  {5500, READOUT_NORMAL}, {5501, READOUT_CAUTION},
        {5800, READOUT_CAUTION}, {5801, READOUT_ALARM},  {70000, READOUT_ALARM},
    };
    for (const auto &c : cases) EXPECT_EQ(rpm_readout_state(c.value), c.state) << c.value;
}

// Factory limits: alarm 0 / 60; only a side whose switch holds exactly 1 counts.
TEST_F(Readouts, TemperatureStateFollowsEachSwitch) {
    struct {
        uint8_t low_on, high_on;
        int16_t value;
        uint8_t state;
    } cases[] = {
        {1, 1, -1, READOUT_ALARM}, {1, 1, 0, READOUT_NORMAL},  {1, 1, 60, READOUT_NORMAL},
        {1, 1, 61, READOUT_ALARM}, {1, 0, 61, READOUT_NORMAL}, {0, 1, -1, READOUT_NORMAL},
        {1, 0, -1, READOUT_ALARM}, {2, 2, 61, READOUT_NORMAL}, {2, 2, -1, READOUT_NORMAL},
    };
    for (const auto &c : cases) {
        settings.temp_low_alarm_on = c.low_on;
        settings.temp_high_alarm_on = c.high_on;
        EXPECT_EQ(temp_readout_state(c.value), c.state)
            << c.value << " switches " << int(c.low_on) << "/" << int(c.high_on);
    }
}

// A box over (10, 10)..(60, 40) around "88" drawn at (12, 12) in font 16.
TEST_F(Readouts, HighlightBoxAndRedrawnText) {
    struct {
        uint8_t state, blink;
        std::set<int> colours; // inside the box after the plain white text
    } cases[] = {
        {READOUT_NORMAL, 1, {COLOUR_WHITE}},
        {READOUT_CAUTION, 0, {COLOUR_YELLOW}}, // black text on yellow
        {READOUT_CAUTION, 1, {COLOUR_YELLOW}},
        {READOUT_ALARM, 0, {COLOUR_WHITE}},
        {READOUT_ALARM, 1, {COLOUR_RED, COLOUR_WHITE}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << int(c.state) << " blink " << int(c.blink));
        blink_phase = c.blink;
        clear_frame_buffer();
        draw_text(12, 12, "88", 0, 16, ALIGN_LEFT, COLOUR_WHITE);
        int ink = region_ink(10, 10, 60, 40);
        draw_highlight(c.state, 10, 10, 60, 40, 12, 12, "88", 16, ALIGN_LEFT);
        EXPECT_EQ(region_colours(10, 10, 60, 40), c.colours);
        EXPECT_EQ(region_ink(0, 0, 159, 119), region_ink(10, 10, 60, 40)); // nothing outside
        if (c.colours.count(COLOUR_YELLOW)) { // the text is cut out of the box in black
            EXPECT_GT(ink, 0);
            EXPECT_EQ(region_ink(10, 10, 60, 40), 51 * 31 - ink);
        }
    }
}

} // namespace
