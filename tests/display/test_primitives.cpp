#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/trig.h"
#include "host/shell/power_loop.h"
#include "tests/support/frame_region.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

class Primitives : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        build_trig_tables();
    }
};

int ink_count() { return region_ink(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1); }

uint8_t at(int x, int y) { return frame_buffer[y * LCD_WIDTH + x]; }

TEST_F(Primitives, PutPixelClipsEveryEdge) {
    put_pixel(-1, 0, 15);
    put_pixel(160, 0, 15);
    put_pixel(0, -1, 15);
    put_pixel(0, 120, 15);
    put_pixel(-32768, 5, 15);
    EXPECT_EQ(ink_count(), 0);
    put_pixel(159, 119, 9);
    EXPECT_EQ(frame_buffer[LCD_PIXELS - 1], 9);
    put_pixel(0, 0, 15);
    EXPECT_EQ(frame_buffer[0], 15);
}

TEST_F(Primitives, SpansAreInclusiveAndClipped) {
    draw_hline(5, 4, 3, 15);
    draw_vline(5, 4, 3, 15);
    EXPECT_EQ(ink_count(), 0);
    draw_hline(150, 170, 10, 15);
    EXPECT_EQ(ink_count(), 10);
    EXPECT_EQ(at(150, 10), 15);
    EXPECT_EQ(at(159, 10), 15);
    EXPECT_EQ(at(149, 10), 0);
}

TEST_F(Primitives, SpanEndingAt65535Terminates) {
    draw_hline(158, -1, 0, 15); // -1 reads as 65535
    draw_vline(118, -1, 0, 15);
    EXPECT_EQ(ink_count(), 4);
    EXPECT_EQ(at(158, 0), 15);
    EXPECT_EQ(at(159, 0), 15);
    EXPECT_EQ(at(0, 118), 15);
    EXPECT_EQ(at(0, 119), 15);
}

TEST_F(Primitives, NegativeStartReadsAsHugeAndDrawsNothing) {
    draw_hline(-5, 10, 0, 15);
    EXPECT_EQ(ink_count(), 0);
}

TEST_F(Primitives, OneRowRectanglesDrawNothing) {
    fill_rect(10, 20, 30, 20, 15);
    draw_rect(10, 20, 30, 20, 15);
    EXPECT_EQ(ink_count(), 0);
    fill_rect(10, 20, 30, 21, 15);
    EXPECT_EQ(ink_count(), 2 * 21);
    EXPECT_EQ(at(10, 21), 15);
    EXPECT_EQ(at(30, 20), 15);
}

TEST_F(Primitives, RectangleOutline) {
    draw_rect(1, 1, 5, 4, 15);
    std::vector<std::string> expected = {
        ".......",
        ".#####.",
        ".#...#.",
        ".#...#.",
        ".#####.",
        ".......",
    };
    EXPECT_EQ(region_picture(0, 0, 6, 5), expected);
}

TEST_F(Primitives, ShallowLine) {
    draw_line(0, 0, 3, 1, 15);
    std::vector<std::string> expected = {"##..", "..##"};
    EXPECT_EQ(region_picture(0, 0, 3, 1), expected);
    EXPECT_EQ(ink_count(), 4);
}

TEST_F(Primitives, LineToItselfIsOnePixel) {
    draw_line(7, 9, 7, 9, 15);
    EXPECT_EQ(ink_count(), 1);
    EXPECT_EQ(at(7, 9), 15);
}

TEST_F(Primitives, LinesInEveryDirectionHitBothEnds) {
    struct Case { int x0, y0, x1, y1, pixels; };
    const Case cases[] = {
        {10, 10, 20, 13, 11}, {20, 13, 10, 10, 11}, {10, 10, 13, 30, 21},
        {13, 30, 10, 10, 21}, {10, 30, 30, 10, 21}, {5, 5, 5, 9, 5},
    };
    for (const Case &c : cases) {
        clear_frame_buffer();
        draw_line(c.x0, c.y0, c.x1, c.y1, 15);
        EXPECT_EQ(at(c.x0, c.y0), 15);
        EXPECT_EQ(at(c.x1, c.y1), 15);
        EXPECT_EQ(ink_count(), c.pixels) << c.x0 << "," << c.y0 << "-" << c.x1 << "," << c.y1;
    }
}

TEST_F(Primitives, LineThatLeavesTheScreenKeepsItsVisiblePart) {
    draw_line(150, 0, 170, 0, 15);
    EXPECT_EQ(ink_count(), 10);
}

TEST_F(Primitives, ThickLineUsesAPlusPen) {
    draw_thick_line(5, 5, 5, 5, 15);
    std::vector<std::string> expected = {"...", ".#.", "###", ".#.", "..."};
    EXPECT_EQ(region_picture(4, 3, 6, 7), expected);
}

TEST_F(Primitives, RotaryArcEndsAndTop) {
    draw_arc(80, 124, 20, 220, 320, 15);
    EXPECT_EQ(at(65, 112), 15); // 220 degrees, the first pixel
    EXPECT_EQ(at(80, 104), 15); // 270 degrees, straight up
    EXPECT_EQ(at(95, 111), 15); // 319 degrees, the last pixel
    EXPECT_EQ(at(95, 112), 0);  // 320 is not drawn
    for (int y = 0; y < 104; y++)
        for (int x = 0; x < LCD_WIDTH; x++) ASSERT_EQ(at(x, y), 0);
}

TEST_F(Primitives, ArcAlwaysDrawsItsFirstAngle) {
    draw_arc(50, 50, 10, 0, 1, 15);
    EXPECT_EQ(ink_count(), 1);
    EXPECT_EQ(at(60, 50), 15);
    clear_frame_buffer();
    draw_arc(50, 50, 10, 90, 90, 15); // an empty range draws a0 only
    EXPECT_EQ(ink_count(), 1);
    EXPECT_EQ(at(50, 60), 15);
}

TEST_F(Primitives, ArcAnglesBeyondTheTablesAreClamped) {
    draw_arc(50, 50, 10, 355, 370, 15);
    EXPECT_EQ(at(60, 50), 15);
    clear_frame_buffer();
    draw_arc(50, 50, 10, -400, -395, 15);
    EXPECT_EQ(at(60, 50), 15);
}

TEST_F(Primitives, BandIsASolidRingSegment) {
    draw_arc_band(72, 76, 15, 70, 150, 310, 10);
    // Every whole degree 150..309 is filled from radius 55 to 70.
    for (int a = 150; a < 310; a += 7) {
        for (int r = 56; r <= 69; r++) {
            int x = 72 + (int)(cos_deg(a) * r), y = 76 + (int)(r * sin_deg(a));
            EXPECT_EQ(at(x, y), 10) << "angle " << a << " radius " << r;
        }
    }
    EXPECT_EQ(at(72, 76), 0);
}

TEST_F(Primitives, TrigTablesHoldBothSigns) {
    EXPECT_FLOAT_EQ(sin_deg(90), 1.0f);
    EXPECT_FLOAT_EQ(sin_deg(-90), -1.0f);
    EXPECT_FLOAT_EQ(cos_deg(-180), -1.0f);
    EXPECT_FLOAT_EQ(cos_deg(360), 1.0f);
    EXPECT_EQ(sin_table_neg[30], (float)std::sin(-30 * 0.017453292519943295));
}

} // namespace
