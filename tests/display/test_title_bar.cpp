#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "host/shell/power_loop.h"
#include "tests/support/frame_region.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class TitleBar : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
};

// The frame buffer with only pixels of the given colour kept, in rows y0..y1.
std::vector<uint8_t> layer(uint8_t colour, int y0, int y1) {
    std::vector<uint8_t> out(LCD_PIXELS, 0);
    for (int i = y0 * LCD_WIDTH; i < (y1 + 1) * LCD_WIDTH; i++)
        if (frame_buffer[i] == colour) out[i] = colour;
    return out;
}

std::vector<uint8_t> text_alone(int16_t x, int16_t y, const char *text, uint8_t size, uint8_t align,
                                uint8_t colour) {
    clear_frame_buffer();
    draw_text(x, y, text, 0, size, align, colour);
    return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS);
}

TEST_F(TitleBar, LogoIsARedQThenWhiteIrel) {
    draw_title_bar("MAIN MENU", "");
    std::vector<uint8_t> white = layer(COLOUR_WHITE, 0, 24);
    EXPECT_EQ(region_colours(0, 0, 14, 24), (std::set<int>{COLOUR_RED}));
    EXPECT_GT(region_ink(0, 0, 0, 24), 0); // the Q starts at column 0
    EXPECT_EQ(region_ink(0, 24, 159, 24), 0);
    EXPECT_EQ(white, text_alone(15, 0, "irel", 12, ALIGN_LEFT, COLOUR_WHITE));
}

TEST_F(TitleBar, NamesAreRightAlignedRedLinesInFont8) {
    draw_title_bar("MAIN MENU", "SETUP");
    std::vector<uint8_t> red = layer(COLOUR_RED, 0, 24);
    // Without the logo's Q, the red is the two names.
    for (int y = 0; y < 25; y++)
        for (int x = 0; x < 15; x++) red[y * LCD_WIDTH + x] = 0;
    std::vector<uint8_t> names = text_alone(158, 0, "MAIN MENU", 8, ALIGN_RIGHT, COLOUR_RED);
    draw_text(158, 11, "SETUP", 0, 8, ALIGN_RIGHT, COLOUR_RED);
    names.assign(frame_buffer, frame_buffer + LCD_PIXELS);
    EXPECT_EQ(red, names);
    // Capitals of font 8 occupy rows 3..12 of the cell: 3..12 and 14..23 here.
    EXPECT_EQ(region_ink(100, 13, 159, 13), 0);
    EXPECT_GT(region_ink(100, 23, 159, 23), 0);
    EXPECT_EQ(region_ink(157, 0, 159, 24), 0);
}

TEST_F(TitleBar, EmptySecondNameLeavesItsLineBlank) {
    draw_title_bar("RPM SETUP", "");
    EXPECT_EQ(region_ink(60, 13, 159, 24), 0);
    EXPECT_EQ(text_start_x, 158);
    EXPECT_EQ(text_end_x, 158);
}

TEST_F(TitleBar, WhiteRuleOnRow25AndNothingBelow) {
    fill_rect(0, 26, 159, 119, COLOUR_GREY);
    draw_title_bar("TIMERS", "SETUP");
    for (int x = 0; x < LCD_WIDTH; x++) EXPECT_EQ(frame_buffer[25 * LCD_WIDTH + x], COLOUR_WHITE);
    EXPECT_EQ(region_colours(0, 26, 159, 119), (std::set<int>{COLOUR_GREY}));
}

} // namespace
