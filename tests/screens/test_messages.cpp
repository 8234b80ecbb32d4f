#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/messages.h"
#include "screens/screen.h"
#include "tests/support/frame_region.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// A screen for the messages to return to, other than the run screen.
int opener_calls;
void opener_screen(void) {
    opener_calls++;
}

struct message_page {
    const char *name;
    screen_handler handler;
};

const message_page pages[] = {
    {"done_message", done_message_screen},
    {"code_result", code_result_screen},
};

class Messages : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        opener_calls = 0;
    }

    void open(screen_handler page) {
        message_return_screen = opener_screen;
        current_screen = page;
    }
};

TEST_F(Messages, AnyKeyReturnsToTheOpenerAndIsConsumed) {
    for (const message_page &page : pages) {
        for (uint8_t key : {KEY_F1, KEY_F2, KEY_PUSH, KEY_PLUS, KEY_MINUS}) {
            SCOPED_TRACE(testing::Message() << page.name << " key " << (int)key);
            open(page.handler);
            menu_selected = 3;
            menu_top = 1;
            pending_code = 1;
            press_key(key);
            passes(1);
            EXPECT_EQ(current_screen, opener_screen);
            EXPECT_EQ(pending_key, 0);
            EXPECT_EQ(opener_calls, 0) << "the switch takes effect on the next pass";
            EXPECT_EQ(menu_selected, 3);
            EXPECT_EQ(menu_top, 1);
            EXPECT_EQ(pending_code, 1);
            passes(1);
            EXPECT_EQ(opener_calls, 1);
            opener_calls = 0;
        }
    }
}

TEST_F(Messages, WithoutAKeyThePageStays) {
    for (const message_page &page : pages) {
        SCOPED_TRACE(page.name);
        open(page.handler);
        passes(3);
        EXPECT_EQ(current_screen, page.handler);
        EXPECT_EQ(opener_calls, 0);
        EXPECT_STREQ(screen_name(page.handler), page.name);
    }
}

TEST_F(Messages, DonePageHasNoSoftKeys) {
    open(done_message_screen);
    passes(1);
    EXPECT_EQ(region_ink(0, 102, 159, 119), 0);
    // The icon is 50 x 50 at (10, 45); its outline is white, its fill red.
    EXPECT_EQ(region_colours(10, 45, 59, 94), (std::set<int>{COLOUR_RED, COLOUR_WHITE}));
    EXPECT_TRUE(matches_golden("done_message"));
}

TEST_F(Messages, CodeResultShowsChangedOnlyForOne) {
    const struct {
        uint16_t pending;
        const char *golden;
    } cases[] = {{1, "code_result_changed"}, {0, "code_result_error"}};
    std::vector<uint8_t> error;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.golden);
        open(code_result_screen);
        pending_code = c.pending;
        passes(1);
        EXPECT_GT(region_ink(0, 103, 52, 119), 0) << "BACK";
        EXPECT_GT(region_ink(54, 103, 105, 119), 0) << "rotary symbol";
        EXPECT_EQ(region_colours(5, 40, 54, 89), (std::set<int>{COLOUR_RED, COLOUR_WHITE}));
        EXPECT_TRUE(matches_golden(c.golden));
        if (c.pending == 0) error.assign(frame_buffer, frame_buffer + LCD_PIXELS);
    }
    for (uint16_t other : {2, 65535}) {
        open(code_result_screen);
        pending_code = other;
        passes(1);
        EXPECT_EQ(memcmp(error.data(), frame_buffer, LCD_PIXELS), 0) << other << " shows ERROR";
    }
}

} // namespace
