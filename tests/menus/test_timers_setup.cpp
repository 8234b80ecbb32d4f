// TIMERS SETUP, the two time pages and the Hobbs code pages.
#include "core/keys.h"
#include "core/settings.h"
#include "display/menu.h"
#include "menus/hobbs_code.h"
#include "menus/main_menu.h"
#include "menus/timers_setup.h"
#include "screens/messages.h"
#include "screens/screen.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const int TIMERS_ITEM = 3;
const int HOBBS_RPM = 0, SET_HOBBS_TIME = 1, HOBBS_CODE = 2, SET_MAINT_TIME = 3, FLIGHT = 4,
          TAKEOFF_RPM = 5;

class TimersSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        open_main_menu_item(TIMERS_ITEM);
        ASSERT_EQ(current_screen, timers_setup_screen);
    }
    void select(int item) {
        while (menu_selected != item) key(KEY_PLUS);
    }
    std::vector<int> cells(int count) {
        return std::vector<int>(entry_digits, entry_digits + count);
    }
};

TEST_F(TimersSetup, RpmSettingsWrapAtBothEnds) {
    struct Case {
        int item;
        int32_t start;
        const char *steps;
        uint8_t key;
        int32_t expected;
    } cases[] = {
        {HOBBS_RPM, 99000, "", KEY_PLUS, 100},     {HOBBS_RPM, 100, "", KEY_MINUS, 99000},
        {HOBBS_RPM, 98950, "22", KEY_PLUS, 100},   {HOBBS_RPM, 5000, "222", KEY_MINUS, 4000},
        {TAKEOFF_RPM, 99000, "", KEY_PLUS, 100},   {TAKEOFF_RPM, 100, "", KEY_MINUS, 99000},
        {TAKEOFF_RPM, 98950, "22", KEY_PLUS, 100},
    };
    for (const Case &c : cases) {
        SetUp();
        settings.flight_mode = 1;
        int32_t *field = c.item == HOBBS_RPM ? &settings.hobbs_rpm : &settings.takeoff_rpm;
        *field = c.start;
        select(c.item);
        keys(c.steps);
        key(KEY_PUSH);
        key(c.key);
        EXPECT_EQ(*field, c.expected) << "item " << c.item << " from " << c.start;
    }
}

TEST_F(TimersSetup, TakeoffRpmOnlyWithDetect) {
    key(KEY_MINUS);
    EXPECT_EQ(menu_selected, FLIGHT);
    keys("P+P"); // DETECT
    EXPECT_EQ(settings.flight_mode, 1);
    keys("+");
    EXPECT_EQ(menu_selected, TAKEOFF_RPM);
    keys("+-");
    EXPECT_EQ(menu_selected, TAKEOFF_RPM);
    key(KEY_F2); // numeric: the step goes up, the next move resets it
    EXPECT_EQ(edit_step, 10);
    keys("-");
    EXPECT_EQ(edit_step, 1);
    keys("P-P"); // MANUAL again: item 4 wraps straight to 0
    keys("+");
    EXPECT_EQ(menu_selected, HOBBS_RPM);
    keys("--+2"); // F2 on an action row does nothing
    EXPECT_EQ(edit_step, 1);
}

TEST_F(TimersSetup, HobbsTimeIsPreloadedAndStoredInTenths) {
    timers.hobbs_hours = 312;
    timers.hobbs_hundredths = 47;
    select(SET_HOBBS_TIME);
    key(KEY_PUSH);
    ASSERT_EQ(current_screen, set_hobbs_time_screen);
    EXPECT_EQ(cells(6), (std::vector<int>{0, 3, 1, 2, 4, 7}));
    keys("PPPPP");
    EXPECT_EQ(current_screen, timers_setup_screen);
    EXPECT_EQ(menu_selected, SET_HOBBS_TIME);
    EXPECT_EQ(timers.hobbs_hours, 312);
    EXPECT_EQ(timers.hobbs_hundredths, 40); // the hundredths digit is dropped
}

TEST_F(TimersSetup, LargestTimesAndLeavingWithoutStoring) {
    select(SET_HOBBS_TIME);
    key(KEY_PUSH);
    keys("-P-P-P-P-P"); // 9999.9
    EXPECT_EQ(timers.hobbs_hours, 9999);
    EXPECT_EQ(timers.hobbs_hundredths, 90);
    select(SET_MAINT_TIME);
    key(KEY_PUSH);
    ASSERT_EQ(current_screen, set_maint_time_screen);
    keys("-P-P-+-+"); // 99 and a digit being dialled
    key(KEY_F1);
    EXPECT_EQ(current_screen, timers_setup_screen);
    EXPECT_EQ(menu_selected, SET_MAINT_TIME);
    EXPECT_EQ(timers.maint_hours, 0);
    timers.maint_hundredths = 55;
    key(KEY_PUSH);
    keys("-P-P-P");
    EXPECT_EQ(timers.maint_hours, 999);
    EXPECT_EQ(timers.maint_hundredths, 0);
}

// A record beyond what the pages can set shows the largest time they can.
TEST_F(TimersSetup, PreloadClampsTimesBeyondThePages) {
    struct Case {
        uint16_t hours;
        uint8_t hundredths;
        std::vector<int> cells;
    } cases[] = {
        {12345, 6, {9, 9, 9, 9, 9, 9}},
        {65535, 255, {9, 9, 9, 9, 9, 9}},
        {7, 250, {0, 0, 0, 7, 9, 9}},
    };
    for (const Case &c : cases) {
        entry_digits[5] = 0;
        timers.hobbs_hours = c.hours;
        timers.hobbs_hundredths = c.hundredths;
        preload_hobbs_time();
        EXPECT_EQ(cells(6), c.cells) << c.hours << " h " << int(c.hundredths);
    }
    timers.maint_hours = 1500;
    preload_maint_time();
    EXPECT_EQ(cells(3), (std::vector<int>{9, 9, 9}));
}

// The Hobbs code: dialled on the ENTER CURRENT, ENTER NEW and CONFIRM NEW pages.
TEST_F(TimersSetup, HobbsCodeChange) {
    struct Case {
        uint16_t stored, current, fresh, confirm;
        uint16_t expected_code;
        uint8_t outcome; // pending_code on the result page
    } cases[] = {
        {0, 0, 1357, 1357, 1357, 1}, // no code yet: the current one is 0000
        {1357, 1357, 42, 42, 42, 1},       {1357, MASTER_CODE, 2468, 2468, 2468, 1},
        {1357, 1358, 0, 0, 1357, 0}, // wrong current code: ERROR at once
        {1357, 1357, 2468, 2469, 1357, 0}, {1357, 1357, 0, 0, 0, 1}, // 0000 removes the guard
    };
    for (const Case &c : cases) {
        SetUp();
        settings.hobbs_code = c.stored;
        select(HOBBS_CODE);
        key(KEY_PUSH);
        ASSERT_EQ(current_screen, enter_current_hobbs_code_screen);
        dial_code(c.current);
        if (current_screen == enter_new_hobbs_code_screen) {
            dial_code(c.fresh);
            ASSERT_EQ(current_screen, confirm_new_hobbs_code_screen);
            EXPECT_EQ(cells(4), (std::vector<int>{0, 0, 0, 0})); // dialled again from 0000
            EXPECT_EQ(menu_selected, 0);
            dial_code(c.confirm);
        }
        EXPECT_EQ(current_screen, code_result_screen);
        EXPECT_EQ(pending_code, c.outcome);
        EXPECT_EQ(settings.hobbs_code, c.expected_code);
        key(KEY_PUSH);
        EXPECT_EQ(current_screen, timers_setup_screen);
        EXPECT_EQ(menu_selected, HOBBS_CODE);
    }
}

TEST_F(TimersSetup, HobbsCodeGuardsTheHobbsTime) {
    timers.hobbs_hours = 25;
    settings.hobbs_code = 1357;
    select(SET_HOBBS_TIME);
    key(KEY_PUSH);
    ASSERT_EQ(current_screen, enter_hobbs_code_screen);
    dial_code(1358);
    EXPECT_EQ(current_screen, code_result_screen);
    EXPECT_EQ(pending_code, 0);
    key(KEY_F2);
    EXPECT_EQ(current_screen, timers_setup_screen);
    EXPECT_EQ(menu_selected, SET_HOBBS_TIME);
    const uint16_t accepted[] = {1357, MASTER_CODE};
    for (uint16_t code : accepted) {
        key(KEY_PUSH);
        EXPECT_EQ(cells(4), (std::vector<int>{0, 0, 0, 0}));
        dial_code(code);
        EXPECT_EQ(current_screen, set_hobbs_time_screen);
        EXPECT_EQ(menu_selected, 0);
        EXPECT_EQ(cells(5), (std::vector<int>{0, 0, 2, 5, 0})); // the Hobbs time, preloaded
        key(KEY_F1);
    }
}

TEST_F(TimersSetup, F1OnEveryCodePageGoesBackToItsItem) {
    struct Case {
        screen_handler page;
        int item;
    } cases[] = {
        {enter_hobbs_code_screen, SET_HOBBS_TIME},
        {enter_current_hobbs_code_screen, HOBBS_CODE},
        {enter_new_hobbs_code_screen, HOBBS_CODE},
        {confirm_new_hobbs_code_screen, HOBBS_CODE},
    };
    for (const Case &c : cases) {
        settings.hobbs_code = 1357;
        current_screen = c.page;
        keys("+P+");
        key(KEY_F1);
        EXPECT_EQ(current_screen, timers_setup_screen);
        EXPECT_EQ(menu_selected, c.item);
        EXPECT_EQ(settings.hobbs_code, 1357);
    }
}

TEST_F(TimersSetup, Goldens) {
    passes(1);
    EXPECT_TRUE(matches_golden("timers_setup_manual"));
    settings.flight_mode = 1;
    settings.takeoff_rpm = 2300;
    keys("-2"); // T/O RPM, step X10
    passes(1);
    EXPECT_TRUE(matches_golden("timers_setup_detect"));
    timers.hobbs_hours = 312;
    timers.hobbs_hundredths = 47;
    select(SET_HOBBS_TIME);
    keys("P+P"); // the second digit selected
    passes(1);
    EXPECT_TRUE(matches_golden("set_hobbs_time"));
    timers.maint_hours = 25;
    key(KEY_F1);
    select(SET_MAINT_TIME);
    key(KEY_PUSH);
    passes(1);
    EXPECT_TRUE(matches_golden("set_maint_time"));
    key(KEY_F1);
    select(HOBBS_CODE);
    keys("P+");
    passes(1);
    EXPECT_TRUE(matches_golden("enter_current_hobbs_code"));
}

} // namespace
