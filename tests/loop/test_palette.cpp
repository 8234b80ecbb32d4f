#include "host/shell/lcd_palette.h"

#include <gtest/gtest.h>

namespace {

TEST(Palette, RangeBoundaries) {
    struct Case { int index; uint32_t rgb; };
    const Case cases[] = {
        {0, 0x000000},   {1, 0xA52A2A},   {7, 0x555555},   {8, 0xAAAAAA},
        {9, 0xFF0000},   {15, 0xFFFFFF},  {16, 0x000080},  {17, 0x0000FF},
        {18, 0x004000},  {29, 0x00FFFF},  {30, 0x140000},  {31, 0x140080},
        {222, 0xFFFF00}, {223, 0xFFFF80}, {224, 0x202020}, {229, 0x707070},
        {237, 0xF0F0F0}, {238, 0xC89696}, {244, 0xF5FAFA}, {245, 0xFCFDFD},
    };
    for (const Case &c : cases) EXPECT_EQ(lcd_palette[c.index], c.rgb) << "index " << c.index;
}

TEST(Palette, CubeHasNoBlackOrWhiteAndIndicesPastTheEndShowBlack) {
    for (int i = 16; i <= 223; i++) {
        EXPECT_NE(lcd_palette[i], 0x000000u) << i;
        EXPECT_NE(lcd_palette[i], 0xFFFFFFu) << i;
    }
    for (int i = 246; i < 256; i++) EXPECT_EQ(palette_colour((uint8_t)i), 0u);
    EXPECT_EQ(palette_colour(245), 0xFCFDFDu);
}

} // namespace
