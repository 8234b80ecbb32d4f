#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/trig.h"
#include "display/widgets.h"
#include "host/shell/power_loop.h"
#include "tests/support/frame_region.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

namespace {

class Widgets : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        build_trig_tables();
        edit_step = 1;
    }
};

const std::set<int> WHITE = {COLOUR_WHITE};
const std::set<int> RED = {COLOUR_RED};
const std::set<int> NONE = {};

uint8_t at(int x, int y) {
    return frame_buffer[y * LCD_WIDTH + x];
}

bool frame_is_empty() {
    return region_ink(0, 0, LCD_WIDTH - 1, LCD_HEIGHT - 1) == 0;
}

// Soft-key frame: rule on row 102, dividers at x 53 and 106 down to the bottom.
void expect_soft_key_frame() {
    EXPECT_EQ(region_colours(0, 102, 159, 102), WHITE);
    EXPECT_EQ(region_ink(0, 102, 159, 102), 160);
    EXPECT_EQ(region_ink(53, 102, 53, 119), 18);
    EXPECT_EQ(region_ink(106, 102, 106, 119), 18);
}

// Everything in the F1 cell below the rule, the middle cell and the F2 cell.
int f1_ink() {
    return region_ink(0, 103, 52, 119);
}
int middle_ink() {
    return region_ink(54, 103, 105, 119);
}
int f2_ink() {
    return region_ink(107, 103, 159, 119);
}

TEST_F(Widgets, RotarySymbolShape) {
    draw_rotary_symbol();
    const std::vector<std::string> expected = {
        ".............................................", // y 102
        ".............................................",
        "......................#......................", // top of the arc, (80,
                                                         // 104)
        "................#############................",
        "..............###...........###..............",
        "............###...............###............",
        "...........##...................##...........",
        "..##.....##.......................##......#..", // arrow tips (60, 109),
                                                         // (100, 109)
        "..####..##.........................##...###..",
        "..#######...........................#######..",
        "...#######..........................######...",
        "...#########......................########...",
        "...##########...................##########...",
        "...########.......................########...",
        "....#####...........................#####....",
        "....###...............................###....",
        "....#...................................#....", // y 118: (62, 118), (98,
                                                         // 118)
        ".............................................",
    };
    EXPECT_EQ(region_picture(58, 102, 102, 119), expected);
    EXPECT_EQ(region_colours(0, 0, 159, 119), WHITE);
    EXPECT_EQ(region_ink(0, 0, 159, 101), 0);
    EXPECT_EQ(region_ink(0, 0, 57, 119) + region_ink(103, 0, 159, 119), 0);
}

TEST_F(Widgets, RotarySymbolListedPixelsAndSpans) {
    draw_rotary_symbol();
    struct point {
        int x, y;
    };
    const point points[] = {
        {65, 112}, {80, 104},  {95, 111},                       // arc: first, 270 degrees, last
        {60, 109}, {70, 114},  {62, 118}, {61, 110}, {61, 111}, // left arrowhead
        {68, 114}, {100, 109}, {90, 114}, {98, 118}, {92, 114}, // right arrowhead
        {93, 114}, {99, 111},
    };
    for (const point &p : points) EXPECT_EQ(at(p.x, p.y), COLOUR_WHITE) << p.x << "," << p.y;
    struct span {
        int x, y0, y1;
    };
    const span spans[] = {
        {62, 111, 117}, {63, 111, 116}, {64, 112, 116}, {65, 113, 115},
        {66, 113, 115}, {67, 113, 115}, {94, 113, 115}, {95, 113, 115},
        {96, 112, 116}, {97, 112, 116}, {98, 111, 115},
    };
    for (const span &s : spans)
        EXPECT_EQ(region_ink(s.x, s.y0, s.x, s.y1), s.y1 - s.y0 + 1) << "x " << s.x;
}

std::vector<uint8_t> snapshot() {
    return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS);
}

// The soft keys as their parts: frame, optional F1 label centred at (26, 104), rotary symbol.
std::vector<uint8_t> soft_keys_from_parts(const char *label) {
    clear_frame_buffer();
    draw_hline(0, 159, 102, COLOUR_WHITE);
    draw_vline(102, 119, 53, COLOUR_WHITE);
    draw_vline(102, 119, 106, COLOUR_WHITE);
    if (label) draw_text(26, 104, label, 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_rotary_symbol();
    std::vector<uint8_t> parts = snapshot();
    clear_frame_buffer();
    return parts;
}

TEST_F(Widgets, SoftKeysOfEachKind) {
    const struct {
        uint8_t kind;
        const char *label;
        const char *golden;
    } cases[] = {
        {SOFT_KEYS_NONE, nullptr, "soft_keys_none"},
        {4, nullptr, nullptr},
        {255, nullptr, nullptr},
        {SOFT_KEYS_EXIT, "EXIT", "soft_keys_exit"},
        {SOFT_KEYS_BACK, "BACK", "soft_keys_back"},
        {SOFT_KEYS_DONE, "DONE", "soft_keys_done"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << (int)c.kind);
        const std::vector<uint8_t> expected = soft_keys_from_parts(c.label);
        draw_soft_keys(c.kind);
        expect_soft_key_frame();
        EXPECT_EQ(f1_ink() > 0, c.label != nullptr);
        EXPECT_TRUE(snapshot() == expected);
        if (c.golden) {
            EXPECT_TRUE(matches_golden(c.golden));
        }
    }
}

TEST_F(Widgets, YesNoKeysLabelBothCellsWithoutRotary) {
    draw_yes_no_keys();
    expect_soft_key_frame();
    EXPECT_EQ(middle_ink(), 0);
    EXPECT_GT(f1_ink(), 0);
    EXPECT_GT(f2_ink(), 0);
    EXPECT_EQ(region_colours(0, 0, 159, 119), WHITE);
    EXPECT_TRUE(matches_golden("yes_no_keys"));
}

TEST_F(Widgets, ScrollThumbRows) {
    const struct {
        uint16_t position, count;
        int top, bottom;
    } cases[] = {
        {0, 6, 30, 41}, {5, 6, 86, 97}, {0, 4, 30, 47}, {3, 4, 81, 98}, {12, 13, 92, 97},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " of " << c.count);
        clear_frame_buffer();
        draw_scroll_indicator(c.position, c.count);
        for (int y = 0; y < LCD_HEIGHT; y++) {
            const bool thumb = y >= c.top && y <= c.bottom;
            EXPECT_EQ(region_ink(153, y, 159, y), thumb ? 7 : (y >= 30 && y <= 98 ? 1 : 0))
                << "row " << y;
        }
        EXPECT_EQ(region_ink(0, 0, 152, 119), 0);
        EXPECT_EQ(region_colours(0, 0, 159, 119), WHITE);
    }
    clear_frame_buffer();
    draw_scroll_indicator(2, 6);
    EXPECT_TRUE(matches_golden("scroll_indicator"));
}

TEST_F(Widgets, ScrollIndicatorOfNoItemsIsTheTrackOnly) {
    draw_scroll_indicator(0, 0);
    EXPECT_EQ(region_ink(156, 30, 156, 98), 69);
    EXPECT_EQ(region_ink(0, 0, 159, 119), 69);
}

// Font 8 widths: "DIM: " advances 11 + 5 + 12 + 5 + 5 = 38, "50" 9 + 9 = 18.
const int LABEL_END = 38, VALUE_END = 56;

struct row_colours {
    std::set<int> label, value;
};

row_colours menu_row_colours(int8_t row) {
    const int y = row * 15 + 26;
    return {region_colours(0, y, LABEL_END - 1, y + 15),
            region_colours(LABEL_END, y, VALUE_END - 1, y + 15)};
}

TEST_F(Widgets, MenuRowColoursFollowSelectionAndEditing) {
    const struct {
        uint8_t selected, top, editing;
        int8_t row;
        std::set<int> label, value;
    } cases[] = {
        {2, 0, 0, 2, RED, RED},     // selected
        {2, 0, 1, 2, WHITE, RED},   // selected, being edited
        {2, 0, 0, 1, WHITE, WHITE}, // not selected
        {2, 0, 1, 3, WHITE, WHITE}, // not selected while another row edits
        {7, 5, 0, 2, RED, RED},     // selected through menu_top
        {7, 5, 1, 2, WHITE, RED},
        {7, 0, 0, 2, WHITE, WHITE}, // row 2 is item 2 when the list is at its top
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "selected " << (int)c.selected << " top " << (int)c.top
                                        << " editing " << (int)c.editing << " row " << (int)c.row);
        clear_frame_buffer();
        menu_selected = c.selected;
        menu_top = c.top;
        menu_editing = c.editing;
        draw_menu_row(c.row, "DIM: ", "50");
        const row_colours got = menu_row_colours(c.row);
        EXPECT_EQ(got.label, c.label);
        EXPECT_EQ(got.value, c.value);
        EXPECT_EQ(text_end_x, VALUE_END);
    }
}

TEST_F(Widgets, MenuRowGoldens) {
    menu_selected = 1;
    draw_menu_row(0, "DIM: ", "50");
    draw_menu_row(1, "BRIGHT: ", "100");
    draw_menu_row(4, "LEVEL: ", "7");
    EXPECT_TRUE(matches_golden("menu_rows_selected"));
    clear_frame_buffer();
    menu_editing = 1;
    draw_menu_row(0, "DIM: ", "50");
    draw_menu_row(1, "BRIGHT: ", "100");
    draw_menu_row(4, "LEVEL: ", "7");
    EXPECT_TRUE(matches_golden("menu_rows_editing"));
}

TEST_F(Widgets, RowsOutsideTheFiveDrawNothing) {
    for (int8_t row : {-1, 5, -128, 127}) {
        clear_frame_buffer();
        menu_selected = 0;
        menu_editing = 1;
        label_cursor = 0;
        draw_menu_row(row, "DIM: ", "50");
        draw_label_edit_row(row, "L: ", "ABCDEF");
        draw_menu_text_row(row, "TEXT", COLOUR_WHITE);
        EXPECT_TRUE(frame_is_empty()) << "row " << (int)row;
    }
    draw_menu_text_row(4, "TEXT", COLOUR_WHITE);
    EXPECT_GT(region_ink(0, 86, 159, 101), 0);
}

TEST_F(Widgets, ThirteenItemListShowsTheLastFive) {
    char labels[13][12];
    for (int i = 0; i < 13; i++) snprintf(labels[i], sizeof labels[i], "ITEM %d: ", i);
    menu_selected = 12;
    menu_top = menu_selected < 5 ? 0 : menu_selected - 4;
    for (int i = 0; i < 13; i++) draw_menu_row((int8_t)(i - menu_top), labels[i], "ON");
    const std::vector<uint8_t> list = snapshot();

    clear_frame_buffer();
    for (int i = 8; i <= 12; i++) {
        const int16_t y = (int16_t)((i - 8) * 15 + 26);
        const uint8_t colour = i == 12 ? COLOUR_RED : COLOUR_WHITE;
        draw_text(0, y, labels[i], 0, 8, ALIGN_LEFT, colour);
        draw_text(text_end_x, y, "ON", 0, 8, ALIGN_LEFT, colour);
    }
    EXPECT_TRUE(snapshot() == list);
    EXPECT_EQ(region_colours(0, 86, 159, 101), RED);
}

// "L: " advances 10 + 5 + 5 = 20; then A 20..29, B 30..40, C 41..51, D 52..62,
// E 63..72, F 73..82 (each cell its advance).
TEST_F(Widgets, LabelEditRowMarksTheCursorCharacter) {
    const int cell_start[] = {20, 30, 41, 52, 63, 73, 83};
    const int y = 2 * 15 + 26;
    menu_selected = 2;
    menu_editing = 1;
    for (uint8_t cursor = 0; cursor < 6; cursor++) {
        SCOPED_TRACE(testing::Message() << "cursor " << (int)cursor);
        clear_frame_buffer();
        label_cursor = cursor;
        draw_label_edit_row(2, "L: ", "ABCDEF");
        EXPECT_EQ(region_colours(0, y, 19, y + 15), WHITE);
        for (int i = 0; i < 6; i++)
            EXPECT_EQ(region_colours(cell_start[i], y, cell_start[i + 1] - 1, y + 15),
                      i == cursor ? RED : WHITE)
                << "character " << i;
        EXPECT_EQ(text_end_x, 83);
    }
    EXPECT_TRUE(matches_golden("label_edit_row_editing"));
}

TEST_F(Widgets, LabelEditRowWithoutEditingIsOneColour) {
    const struct {
        uint8_t selected, editing;
        std::set<int> colours;
    } cases[] = {
        {2, 0, RED},   // selected
        {1, 0, WHITE}, // other row selected
        {1, 1, WHITE}, // other row being edited: no cursor here
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "selected " << (int)c.selected << " editing " << (int)c.editing);
        clear_frame_buffer();
        menu_selected = c.selected;
        menu_editing = c.editing;
        label_cursor = 3;
        draw_label_edit_row(2, "L: ", "ABCDEF");
        EXPECT_EQ(region_colours(0, 56, 159, 71), c.colours);
    }
    clear_frame_buffer();
    menu_selected = 2;
    menu_editing = 0;
    draw_label_edit_row(2, "L: ", "ABCDEF");
    EXPECT_TRUE(matches_golden("label_edit_row_selected"));
}

TEST_F(Widgets, CodePageDigitsAndPrompts) {
    const uint8_t digits[4] = {1, 0, 9, 4};
    memcpy(entry_digits, digits, 4);
    menu_selected = 2;
    draw_code_page("SECURITY", "CODE", "ENTER SECURITY", "CODE", SOFT_KEYS_EXIT);
    // Font 20 digits advance 20: digit i centred on 50 + 20 i starts at 40 + 20
    // i.
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(region_colours(40 + 20 * i, 61, 59 + 20 * i, 101), i == 2 ? RED : WHITE)
            << "digit " << i;
    EXPECT_EQ(region_colours(0, 26, 159, 60), WHITE);
    expect_soft_key_frame();
    EXPECT_GT(f1_ink(), 0);
    EXPECT_TRUE(matches_golden("code_page"));
}

TEST_F(Widgets, CodePageKeys) {
    struct step {
        uint8_t key;
        uint8_t result;
        uint8_t digits[4];
        uint8_t selected;
    };
    const struct {
        const char *name;
        uint8_t digits[4];
        uint8_t selected;
        std::vector<step> steps;
    } cases[] = {
        {"plus wraps 9 to 0",
         {9, 9, 9, 9},
         1,
         {{KEY_PLUS, CODE_KEY_NONE, {9, 0, 9, 9}, 1}, {KEY_PLUS, CODE_KEY_NONE, {9, 1, 9, 9}, 1}}},
        {"minus wraps 0 to 9",
         {0, 0, 0, 0},
         3,
         {{KEY_MINUS, CODE_KEY_NONE, {0, 0, 0, 9}, 3},
          {KEY_MINUS, CODE_KEY_NONE, {0, 0, 0, 8}, 3}}},
        {"push walks the digits and completes on the fourth",
         {1, 2, 3, 4},
         0,
         {{KEY_PUSH, CODE_KEY_NONE, {1, 2, 3, 4}, 1},
          {KEY_PUSH, CODE_KEY_NONE, {1, 2, 3, 4}, 2},
          {KEY_PUSH, CODE_KEY_NONE, {1, 2, 3, 4}, 3},
          {KEY_PUSH, CODE_KEY_COMPLETE, {1, 2, 3, 4}, 3}}},
        {"each push changes only the next digit",
         {0, 0, 0, 0},
         0,
         {{KEY_PLUS, CODE_KEY_NONE, {1, 0, 0, 0}, 0},
          {KEY_PUSH, CODE_KEY_NONE, {1, 0, 0, 0}, 1},
          {KEY_MINUS, CODE_KEY_NONE, {1, 9, 0, 0}, 1}}},
        {"F1 leaves", {5, 6, 7, 8}, 2, {{KEY_F1, CODE_KEY_LEAVE, {5, 6, 7, 8}, 2}}},
        {"F2 and other codes do nothing",
         {5, 6, 7, 8},
         3,
         {{KEY_F2, CODE_KEY_NONE, {5, 6, 7, 8}, 3},
          {0, CODE_KEY_NONE, {5, 6, 7, 8}, 3},
          {9, CODE_KEY_NONE, {5, 6, 7, 8}, 3}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        memcpy(entry_digits, c.digits, 4);
        entry_digits[4] = entry_digits[5] = 0;
        menu_selected = c.selected;
        for (const step &s : c.steps) {
            pending_key = s.key;
            EXPECT_EQ(code_page_key(s.key), s.result) << "key " << (int)s.key;
            EXPECT_EQ(memcmp(entry_digits, s.digits, 4), 0) << "key " << (int)s.key;
            EXPECT_EQ(menu_selected, s.selected) << "key " << (int)s.key;
            EXPECT_EQ(pending_key, s.key) << "the caller consumes the key";
        }
        EXPECT_EQ(entry_digits[4] | entry_digits[5], 0);
    }
}

TEST_F(Widgets, EnteredCodeKeepsLeadingZeros) {
    const struct {
        uint8_t digits[4];
        uint16_t code;
    } cases[] = {{{1, 2, 3, 4}, 1234}, {{0, 0, 4, 2}, 42}, {{9, 9, 9, 9}, 9999}, {{0, 0, 0, 0}, 0}};
    for (const auto &c : cases) {
        memcpy(entry_digits, c.digits, 4);
        EXPECT_EQ(entered_code(), c.code);
    }
}

} // namespace
