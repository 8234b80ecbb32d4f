#include "display/fonts/fonts.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"
#include "host/shell/power_loop.h"
#include "tests/support/frame_region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class Text : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
};

const uint8_t *record(uint8_t size) {
    for (int i = 0; i < FONT_COUNT; i++)
        if (font_sizes[i] == size) return font_records + font_record_offsets[i];
    return nullptr;
}

int u16(const uint8_t *p) {
    return p[0] | p[1] << 8;
}

int glyph_width(const uint8_t *font, int code) {
    return font[8 + 4 * (code - u16(font + 2)) + 1];
}

struct Ink {
    int x0 = LCD_WIDTH, x1 = -1, y0 = LCD_HEIGHT, y1 = -1;
};

Ink ink() {
    Ink e;
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < LCD_WIDTH; x++)
            if (frame_buffer[y * LCD_WIDTH + x]) {
                e.x0 = std::min(e.x0, x), e.x1 = std::max(e.x1, x);
                e.y0 = std::min(e.y0, y), e.y1 = std::max(e.y1, y);
            }
    return e;
}

std::vector<uint8_t> screen() {
    return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS);
}

std::vector<int> numbers(const char *text) {
    std::vector<int> out;
    std::istringstream in(text);
    for (int n; in >> n;) out.push_back(n);
    return out;
}

struct FontFacts {
    uint8_t size, height;
    int first, last, byte6;
    int space, digit, cap_top, cap_bottom;
    int period, minus, colon, percent; // 0: not in the font
    const char *capitals;              // widths of A..Z, "" when the font has none
    const char *signs;                 // widths of  " + ( ) / * ? g m r s
};

const FontFacts FONTS[] = {
    {8, 16, 0, 255, 0, 4, 8, 3, 12, 4, 4, 4, 10,
     "9 10 10 10 9 9 10 9 4 8 10 9 11 10 10 8 11 10 9 8 9 9 13 9 8 9", ""},
    {9, 19, 32, 127, 62, 4, 9, 3, 14, 4, 5, 6, 16,
     "11 12 12 12 11 10 12 12 4 9 12 10 13 12 12 11 12 12 11 10 12 11 15 11 10 9",
     "8 9 5 5 4 6 10 10 14 6 9"},
    {10, 21, 0, 255, 0, 5, 11, 4, 17, 5, 6, 7, 17,
     "13 14 14 14 13 12 15 13 5 11 14 12 17 13 15 13 15 13 13 13 13 13 17 13 13 11",
     "9 11 6 6 5 7 12 12 17 8 11"},
    {12, 24, 32, 127, 67, 6, 12, 4, 18, 6, 7, 7, 17,
     "15 15 15 15 14 13 16 14 5 12 15 13 17 14 16 14 16 15 14 13 14 13 21 14 13 12",
     "10 12 7 7 6 8 13 13 19 8 12"},
    {16, 33, 32, 127, 64, 8, 16, 6, 25, 8, 9, 10, 25,
     "19 19 20 20 19 17 22 20 8 15 20 17 25 20 21 18 21 20 19 18 20 19 27 19 18 17",
     "13 16 9 9 8 11 17 17 26 11 15"},
    {20, 41, 32, 57, 115, 10, 19, 7, 31, 10, 12, 0, 31, "", ""},
    {24, 51, 32, 57, 127, 12, 24, 9, 39, 12, 14, 0, 39, "", ""},
    {30, 62, 32, 57, 96, 15, 29, 11, 48, 15, 18, 0, 47, "", ""},
    {34, 70, 32, 57, 96, 17, 33, 13, 56, 17, 20, 0, 51, "", ""},
};

const char *const FONT8_WIDTHS =
    "4 4 6 7 8 10 10 3 4 4 5 8 4 4 4 4 8 7 8 8 8 8 8 8 8 8 4 4 8 8 8 8 14 9 10 10 10 9 9 10 9 4 8 "
    "10 9 11 10 10 8 11 10 9 8 9 9 13 9 8 9 4 4 4 8 8 4 9 8 7 9 9 6 8 9 4 4 7 4 11 9 8 8 9 7 8 5 "
    "8 7 11 8 7 7 5 3 5 8";

std::map<int, int> expected_widths(const FontFacts &f) {
    std::map<int, int> w;
    w[' '] = f.space;
    for (int c = '0'; c <= '9'; c++) w[c] = f.digit;
    w['.'] = f.period, w['-'] = f.minus, w['%'] = f.percent;
    if (f.colon) w[':'] = f.colon;
    std::vector<int> caps = numbers(f.capitals), signs = numbers(f.signs);
    for (size_t i = 0; i < caps.size(); i++) w['A' + (int)i] = caps[i];
    for (size_t i = 0; i < signs.size(); i++) w[(uint8_t) "\"+()/*?gmrs"[i]] = signs[i];
    if (f.size == 8) {
        std::vector<int> all = numbers(FONT8_WIDTHS);
        for (size_t i = 0; i < all.size(); i++) w[32 + (int)i] = all[i];
        w[176] = 5;
    }
    if (f.size == 10) w[176] = 8;
    return w;
}

TEST_F(Text, RecordsFollowOneAnotherInSizeOrder) {
    uint32_t offset = 0;
    for (int i = 0; i < FONT_COUNT; i++) {
        EXPECT_EQ(font_sizes[i], FONTS[i].size);
        EXPECT_EQ(font_record_offsets[i], offset);
        const uint8_t *font = font_records + offset;
        int count = u16(font + 4) - u16(font + 2) + 1;
        // Past the table and every glyph of this record: the next one starts.
        uint32_t end = 8 + 4 * count;
        for (int k = 0; k < count; k++) {
            const uint8_t *e = font + 8 + 4 * k;
            uint32_t glyph = (uint32_t)e[0] << 16 | u16(e + 2);
            end = std::max(end, glyph + (e[1] + 7) / 8 * font[7]);
        }
        offset += end;
    }
}

TEST_F(Text, EveryFontHasItsHeaderWidthsAndBand) {
    for (const FontFacts &f : FONTS) {
        SCOPED_TRACE("font " + std::to_string(f.size));
        const uint8_t *font = record(f.size);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(u16(font), 0);
        EXPECT_EQ(u16(font + 2), f.first);
        EXPECT_EQ(u16(font + 4), f.last);
        EXPECT_EQ(font[6], f.byte6);
        EXPECT_EQ(font[7], f.height);
        for (auto [code, width] : expected_widths(f))
            EXPECT_EQ(glyph_width(font, code), width) << "code " << code;

        std::string band = "0123456789";
        if (*f.capitals) band += "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
        for (char c : band) {
            clear_frame_buffer();
            char s[2] = {c, 0};
            draw_text(0, 0, s, 0, f.size, ALIGN_LEFT, COLOUR_WHITE);
            Ink e = ink();
            EXPECT_EQ(e.y0, f.cap_top) << c;
            if (c == 'Q') {
                EXPECT_GE(e.y1, f.cap_bottom); // its tail hangs below
            } else {
                EXPECT_EQ(e.y1, f.cap_bottom) << c;
            }
            EXPECT_LT(e.x1, glyph_width(font, (uint8_t)c)) << c;
        }
    }
}

// Ink of any code stays inside its box of width x cell height.
TEST_F(Text, EveryGlyphStaysInsideItsBox) {
    for (const FontFacts &f : FONTS) {
        const uint8_t *font = record(f.size);
        for (int code = std::max(f.first, 1); code <= f.last; code++) {
            clear_frame_buffer();
            char s[2] = {(char)code, 0};
            draw_text(0, 0, s, 0, f.size, ALIGN_LEFT, COLOUR_WHITE);
            Ink e = ink();
            if (e.x1 < 0) continue;
            EXPECT_LT(e.x1, glyph_width(font, code)) << "font " << +f.size << " code " << code;
            EXPECT_LT(e.y1, f.height) << "font " << +f.size << " code " << code;
        }
    }
}

TEST_F(Text, EmptyStringDrawsNothingAndZeroesBothPositions) {
    draw_text(40, 0, "AB", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
    clear_frame_buffer();
    EXPECT_EQ(draw_text(0, 0, "", 0, 8, ALIGN_LEFT, COLOUR_WHITE), 0);
    EXPECT_EQ(text_start_x, 0);
    EXPECT_EQ(text_end_x, 0);
    EXPECT_EQ(region_ink(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1), 0);
}

struct Placement {
    const char *text;
    uint8_t size, align;
    int16_t x;
    int16_t start, end;
};

TEST_F(Text, AlignmentPlacesTheMeasuredString) {
    const Placement cases[] = {
        {"EXIT", 8, ALIGN_CENTRE, 26, 9, 43},
        {"EXIT", 8, 7, 26, 9, 43},         // any other value centres too
        {"I", 8, ALIGN_CENTRE, 10, 8, 13}, // 5 halved rounds down
        {"EXIT", 8, ALIGN_LEFT, 26, 26, 60},
        {"EXIT", 8, ALIGN_RIGHT, 158, 124, 158},
        {"88", 34, ALIGN_LEFT, 0, 0, 64},
        {"88", 34, ALIGN_CENTRE, 80, 48, 112},
        {"-1.5", 24, ALIGN_RIGHT, 150, 150 - 15 - 25 - 13 - 25, 150},
    };
    for (const Placement &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " in font " + std::to_string(c.size));
        clear_frame_buffer();
        EXPECT_EQ(draw_text(c.x, 20, c.text, 0, c.size, c.align, COLOUR_WHITE), c.end);
        EXPECT_EQ(text_start_x, c.start);
        EXPECT_EQ(text_end_x, c.end);
        Ink e = ink();
        EXPECT_GE(e.x0, c.start);
        EXPECT_LT(e.x1, c.end);
    }
}

TEST_F(Text, RightAlignedTextLeavesTheLastGapBeforeX) {
    const std::pair<const char *, uint8_t> cases[] = {{"MAIN MENU", 8}, {"W", 8},  {"SETUP", 9},
                                                      {"TEMP", 10},     {"%", 16}, {"2450", 24}};
    for (auto [text, size] : cases) {
        clear_frame_buffer();
        EXPECT_EQ(draw_text(158, 0, text, 0, size, ALIGN_RIGHT, COLOUR_WHITE), 158) << text;
        EXPECT_LE(ink().x1, 156) << text;
    }
}

TEST_F(Text, TwoJoinedCallsDrawAsOneString) {
    const std::vector<const char *> cases[] = {
        {"TEMP: ", "85 (29\260C)"}, // 176 is the degree sign
        {"RPM", "2450"},
        {"1", "23"},
    };
    for (uint8_t size : {8, 10, 12, 34}) {
        for (const auto &parts : cases) {
            std::string whole = std::string(parts[0]) + parts[1];
            clear_frame_buffer();
            int16_t end = draw_text(3, 30, whole.c_str(), 0, size, ALIGN_LEFT, COLOUR_WHITE);
            std::vector<uint8_t> one = screen();
            clear_frame_buffer();
            draw_text(3, 30, parts[0], 0, size, ALIGN_LEFT, COLOUR_WHITE);
            draw_text(text_end_x, 30, parts[1], 0, size, ALIGN_LEFT, COLOUR_WHITE);
            EXPECT_EQ(screen(), one) << whole << " in font " << +size;
            EXPECT_EQ(text_end_x, end);
        }
    }
}

TEST_F(Text, UnknownSizesDrawInFont8) {
    clear_frame_buffer();
    int16_t end8 = draw_text(80, 10, "MAP 25", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    std::vector<uint8_t> font8 = screen();
    for (uint8_t size : {0, 11, 7, 33, 255}) {
        clear_frame_buffer();
        EXPECT_EQ(draw_text(80, 10, "MAP 25", 0, size, ALIGN_CENTRE, COLOUR_WHITE), end8);
        EXPECT_EQ(screen(), font8) << "size " << +size;
    }
}

// The table has no entry for a code outside first..last: such a code draws
// nothing and does not move the pen, rather than reading past the record.
TEST_F(Text, CodesOutsideTheFontDrawNothing) {
    const std::pair<uint8_t, const char *> cases[] = {{9, "\xc8"}, {12, "\x80"}, {16, "\x1f"},
                                                      {20, ":"},   {34, "A"},    {24, "\xb0"}};
    for (auto [size, code] : cases) {
        clear_frame_buffer();
        EXPECT_EQ(draw_text(50, 10, code, 0, size, ALIGN_LEFT, COLOUR_WHITE), 50) << +size;
        std::string framed = std::string("1") + code + "1";
        int16_t plain = draw_text(0, 0, "11", 0, size, ALIGN_LEFT, COLOUR_WHITE);
        clear_frame_buffer();
        EXPECT_EQ(draw_text(0, 0, framed.c_str(), 0, size, ALIGN_CENTRE, COLOUR_WHITE) -
                      text_start_x,
                  plain);
    }
}

TEST_F(Text, InkTakesTheColourAndLeavesTheBackground) {
    fill_rect(0, 0, 159, 119, COLOUR_GREY);
    draw_text(2, 2, "O", 0, 12, ALIGN_LEFT, COLOUR_RED);
    std::set<int> colours = region_colours(0, 0, 159, 119);
    EXPECT_EQ(colours, (std::set<int>{COLOUR_GREY, COLOUR_RED}));
    EXPECT_EQ(frame_buffer[(2 + 11) * LCD_WIDTH + 2 + 7], COLOUR_GREY); // inside the O
}

TEST_F(Text, TextIsClippedAtTheEdgesWithoutWrapping) {
    draw_text(150, 0, "WWW", 0, 10, ALIGN_LEFT, COLOUR_WHITE);
    EXPECT_GE(ink().x0, 150);
    clear_frame_buffer();
    draw_text(-6, 110, "WWW", 0, 10, ALIGN_LEFT, COLOUR_WHITE);
    EXPECT_LT(ink().x1, 60);
}

} // namespace
