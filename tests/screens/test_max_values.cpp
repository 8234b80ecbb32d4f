#include "core/alarms.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/text.h"
#include "host/shell/power_loop.h"
#include "screens/max_values.h"
#include "screens/readouts.h"
#include "screens/run_screen.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

class MaxValues : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        max_map = 305;
        max_rpm = 5400;
        max_temp = 45;
    }
    void draw() {
        clear_frame_buffer();
        draw_max_values_page();
    }
};

bool row_band_has(int y0, int y1, int x0, int x1, uint8_t colour) {
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            if (frame_buffer[y * LCD_WIDTH + x] == colour) return true;
    return false;
}

// The RPM line as it should read: `text` right-aligned at 142 with its
// highlight, and the grey "%" when `percent`.
void expected_rpm_line(const char *text, bool percent) {
    clear_frame_buffer();
    if (percent) draw_text(160, 56, "%", 0, 9, ALIGN_RIGHT, COLOUR_GREY);
    draw_text(142, 56, text, 0, 9, ALIGN_RIGHT, COLOUR_WHITE);
    draw_highlight(rpm_readout_state(max_rpm), (int16_t)(text_start_x - 2), 57,
                   (int16_t)(text_end_x - 1), 73, 142, 56, text, 9, ALIGN_RIGHT);
}

// Columns 95..159 of rows 56..74 of the page against the expected line.
bool rpm_line_reads(const char *text, bool percent) {
    uint8_t page[LCD_PIXELS];
    memcpy(page, frame_buffer, sizeof page);
    expected_rpm_line(text, percent);
    for (int y = 56; y <= 74; y++)
        for (int x = 95; x < LCD_WIDTH; x++)
            if (page[y * LCD_WIDTH + x] != frame_buffer[y * LCD_WIDTH + x]) return false;
    return true;
}

TEST_F(MaxValues, RpmLineAlternatesInPercentMode) {
    struct Case {
        int32_t max;
        uint8_t mode, phase;
        const char *text;
        bool percent;
    };
    const Case cases[] = {
        {5700, 0, 0, "5700", false}, {5700, 0, 1, "5700", false}, {5700, 1, 0, "5700", false},
        {5700, 1, 1, "95", true},    {5990, 1, 1, "99", true},    {5990, 1, 0, "5990", false},
    };
    for (const Case &c : cases) {
        max_rpm = c.max;
        settings.rpm_display_mode = c.mode;
        slow_phase = c.phase;
        draw();
        EXPECT_TRUE(rpm_line_reads(c.text, c.percent))
            << c.max << " mode " << (int)c.mode << " phase " << (int)c.phase;
    }
}

TEST_F(MaxValues, PercentLineIsJudgedByTheFigure) {
    max_rpm = 5700; // above the high caution 5500
    settings.rpm_display_mode = 1;
    slow_phase = 1;
    draw();
    EXPECT_TRUE(row_band_has(57, 73, 100, 142, COLOUR_YELLOW));
}

TEST_F(MaxValues, TemperatureRowMovesUpWithoutTheRpmRow) {
    settings.rpm_display_on = 0;
    draw();
    EXPECT_TRUE(row_band_has(56, 74, 0, 40, COLOUR_GREY));   // the caption
    EXPECT_FALSE(row_band_has(76, 100, 0, 159, COLOUR_GREY)); // nothing where it was
    settings.rpm_display_on = 1;
    draw();
    EXPECT_TRUE(row_band_has(76, 94, 0, 40, COLOUR_GREY));
}

TEST_F(MaxValues, MapAboveTheHighAlarmFlashesWithTheAlarmOff) {
    max_map = 420;
    settings.map_high_alarm_on = 0;
    blink_phase = 1;
    draw();
    EXPECT_TRUE(row_band_has(37, 53, 60, 120, COLOUR_RED));
    blink_phase = 0;
    draw();
    EXPECT_FALSE(row_band_has(37, 53, 60, 120, COLOUR_RED));
}

TEST_F(MaxValues, TemperatureAlarmCountsOnlyWithItsSwitch) {
    max_temp = 75;
    blink_phase = 1;
    draw();
    EXPECT_TRUE(row_band_has(77, 93, 60, 120, COLOUR_RED));
    settings.temp_high_alarm_on = 0;
    draw();
    EXPECT_FALSE(row_band_has(77, 93, 60, 120, COLOUR_RED));
}

TEST_F(MaxValues, Goldens) {
    max_rpm = 5700;
    settings.rpm_display_mode = 1;
    slow_phase = 0;
    draw();
    EXPECT_TRUE(matches_golden("max_values_rpm"));
    slow_phase = 1;
    draw();
    EXPECT_TRUE(matches_golden("max_values_percent"));
}

} // namespace
