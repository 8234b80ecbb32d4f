#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "menus/main_menu.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

class MainMenu : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        passes(1);
        key(KEY_F2); // acknowledge the alarms of the cold engine
        key(KEY_PUSH);
        ASSERT_EQ(current_screen, main_menu_screen);
    }
};

// The first and last rows of the scroll thumb.
std::pair<int, int> thumb_rows() {
    int first = -1, last = -1;
    for (int y = 26; y < 102; y++) {
        if (frame_buffer[y * LCD_WIDTH + 154] == COLOUR_WHITE) {
            if (first < 0) first = y;
            last = y;
        }
    }
    return {first, last};
}

TEST_F(MainMenu, RotaryWrapsBothWays) {
    for (int i = 0; i < 6; i++) key(KEY_PLUS);
    EXPECT_EQ(menu_selected, 0);
    key(KEY_MINUS);
    EXPECT_EQ(menu_selected, 5);
    key(KEY_PLUS);
    EXPECT_EQ(menu_selected, 0);
}

TEST_F(MainMenu, ThumbFollowsTheItem) {
    passes(1);
    EXPECT_EQ(thumb_rows(), std::make_pair(30, 41));
    key(KEY_MINUS);
    passes(1);
    EXPECT_EQ(thumb_rows(), std::make_pair(86, 97));
}

TEST_F(MainMenu, ExitReturnsToTheRunScreenWithTheMenuStateReset) {
    key(KEY_PLUS);
    edit_step = 100;
    key(KEY_F1);
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(menu_selected, 0);
    EXPECT_EQ(edit_step, 1);
}

TEST_F(MainMenu, F2IsConsumedWithoutEffect) {
    key(KEY_PLUS);
    key(KEY_F2);
    EXPECT_EQ(pending_key, 0);
    EXPECT_EQ(menu_selected, 1);
    EXPECT_EQ(current_screen, main_menu_screen);
}

TEST_F(MainMenu, AnItemBeyondTheListShowsTheFirst) {
    passes(1);
    uint8_t first[LCD_PIXELS];
    memcpy(first, frame_buffer, sizeof first);
    menu_selected = 9;
    passes(1);
    // Only the scroll thumb differs.
    for (int y = 0; y < LCD_HEIGHT; y++)
        for (int x = 0; x < 150; x++)
            ASSERT_EQ(frame_buffer[y * LCD_WIDTH + x], first[y * LCD_WIDTH + x]) << x << "," << y;
}

TEST_F(MainMenu, EveryItemGolden) {
    const char *names[] = {"main_menu_map",    "main_menu_rpm",  "main_menu_temp",
                           "main_menu_timers", "main_menu_misc", "main_menu_adc"};
    for (const char *name : names) {
        passes(1);
        EXPECT_TRUE(matches_golden(name));
        key(KEY_PLUS);
    }
}

} // namespace
