// MISC SETUP with BACKLIGHT, INFORMATION and DEFAULT SETTINGS, ADC VALUES,
// and SECURITY SETUP with the code change.
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "menus/main_menu.h"
#include "menus/misc_setup.h"
#include "menus/security_setup.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "screens/security_gate.h"
#include "tests/support/frame_region.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

const int MISC_ITEM = 4, ADC_ITEM = 5;
const int BACKLIGHT = 0, SECURITY = 1, INFO = 2, DEFAULTS = 3;

class MiscSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        open_main_menu_item(MISC_ITEM);
        ASSERT_EQ(current_screen, misc_setup_screen);
    }
    void open(int item) {
        while (menu_selected != item) key(KEY_PLUS);
        key(KEY_PUSH);
    }
};

TEST_F(MiscSetup, ItemsOpenTheirPagesAndComeBackOnThem) {
    key(KEY_MINUS);
    EXPECT_EQ(menu_selected, DEFAULTS);
    key(KEY_PLUS);
    EXPECT_EQ(menu_selected, BACKLIGHT);
    const struct {
        int item;
        screen_handler page;
    } pages[] = {{BACKLIGHT, backlight_screen},
                 {SECURITY, security_setup_screen},
                 {INFO, info_screen},
                 {DEFAULTS, default_settings_screen}};
    for (const auto &p : pages) {
        open(p.item);
        EXPECT_EQ(current_screen, p.page);
        EXPECT_EQ(menu_selected, 0);
        key(KEY_F1);
        EXPECT_EQ(current_screen, misc_setup_screen);
        EXPECT_EQ(menu_selected, p.item);
    }
    key(KEY_F1);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, MISC_ITEM);
}

// The right edge of the level bar on row 90.
int level_bar_end() {
    int end = -1;
    for (int x = 11; x < 150; x++)
        if (frame_buffer[90 * LCD_WIDTH + x] == COLOUR_RED) end = x;
    return end;
}

TEST_F(MiscSetup, ManualLevelMovesInTensWithinTenToHundred) {
    open(BACKLIGHT);
    passes(1);
    EXPECT_EQ(level_bar_end(), 149);
    key(KEY_PLUS);
    EXPECT_EQ(settings.backlight_level, 100);
    for (int i = 0; i < 10; i++) key(KEY_MINUS);
    EXPECT_EQ(settings.backlight_level, 10);
    passes(1);
    EXPECT_EQ(level_bar_end(), 23);
    EXPECT_EQ(menu_selected, 0); // the selection stays on the mode row
}

TEST_F(MiscSetup, AutoModeEdits) {
    struct Case {
        int row;
        int start;
        const char *steps; // F2 presses: 100 -> 1000
        uint8_t key;
        int expected;
    } cases[] = {
        {1, 4000, "", KEY_PLUS, 100},   {1, 100, "", KEY_MINUS, 4000},
        {1, 3500, "2", KEY_PLUS, 100},  {1, 600, "2", KEY_MINUS, 4000},
        {1, 500, "2", KEY_MINUS, 4000}, // below 0 in 16 bits: still wraps to 4000
        {1, 300, "22", KEY_PLUS, 400},  // F2 twice: back to 100
        {2, 10, "", KEY_MINUS, 10},     {2, 95, "", KEY_PLUS, 100},
        {3, 100, "", KEY_PLUS, 100},    {3, 20, "", KEY_MINUS, 10},
    };
    for (const Case &c : cases) {
        SetUp();
        open(BACKLIGHT);
        settings.backlight_mode = 1;
        settings.backlight_threshold = (uint16_t)c.start;
        settings.backlight_dim = (uint8_t)c.start;
        settings.backlight_bright = (uint8_t)c.start;
        for (int i = 0; i < c.row; i++) key(KEY_PLUS);
        EXPECT_EQ(edit_step, 100);
        keys(c.steps);
        key(KEY_PUSH);
        key(c.key);
        int actual = c.row == 1   ? settings.backlight_threshold
                     : c.row == 2 ? settings.backlight_dim
                                  : settings.backlight_bright;
        EXPECT_EQ(actual, c.expected) << "row " << c.row << " from " << c.start;
    }
}

TEST_F(MiscSetup, SwitchingToManualWhileEditing) {
    open(BACKLIGHT);
    settings.backlight_mode = 1;
    keys("P+"); // MANUAL: the instructions and the bar replace rows 1..3
    EXPECT_EQ(settings.backlight_mode, 0);
    passes(1);
    EXPECT_GT(region_ink(10, 85, 150, 97), 0);
    keys("+-+"); // still editing: the mode toggles, the level stays
    EXPECT_EQ(settings.backlight_mode, 1);
    EXPECT_EQ(settings.backlight_level, 100);
    keys("+P-"); // MANUAL, pushed: now the rotary control sets the level
    EXPECT_EQ(settings.backlight_mode, 0);
    EXPECT_EQ(settings.backlight_level, 90);
}

TEST_F(MiscSetup, CanLineListsTheUnitsOnTheBus) {
    open(INFO);
    passes(1, 0);
    uint8_t without[LCD_PIXELS];
    memcpy(without, frame_buffer, sizeof without);
    EXPECT_TRUE(matches_golden("info_can_error"));
    passes(1, 1);
    EXPECT_TRUE(matches_golden("info_can_exio"));
    bus_unit_a_present = 1; // another unit alone also makes the bus OK
    passes(1, 0);
    EXPECT_NE(memcmp(without, frame_buffer, LCD_PIXELS), 0);
    bus_unit_a_present = 0;
    keys("P+-2"); // all other keys are consumed without effect
    EXPECT_EQ(current_screen, info_screen);
}

TEST_F(MiscSetup, LoadDefaultSettingsKeepsCalibrationAndTimes) {
    settings.map_unit = 0;
    settings.security_code = 7777;
    calibration.map_cal_internal = 12;
    timers.hobbs_hours = 312;
    open(DEFAULTS);
    keys("P+-"); // nothing but YES and NO
    EXPECT_EQ(current_screen, default_settings_screen);
    key(KEY_F1); // NO
    EXPECT_EQ(settings.map_unit, 0);
    EXPECT_EQ(menu_selected, DEFAULTS);
    key(KEY_PUSH);
    key(KEY_F2); // YES
    EXPECT_EQ(current_screen, done_message_screen);
    EXPECT_EQ(settings.map_unit, 1);
    EXPECT_EQ(settings.security_code, FACTORY_SECURITY_CODE);
    EXPECT_EQ(calibration.map_cal_internal, 12);
    EXPECT_EQ(timers.hobbs_hours, 312);
    key(KEY_MINUS);
    EXPECT_EQ(current_screen, misc_setup_screen);
    EXPECT_EQ(menu_selected, DEFAULTS);
}

TEST(AdcValues, FollowTheSlidersEveryPass) {
    open_main_menu_item(ADC_ITEM);
    ASSERT_EQ(current_screen, adc_values_screen);
    passes(1);
    uint8_t before[LCD_PIXELS];
    memcpy(before, frame_buffer, sizeof before);
    map_slider_change(1514);
    passes(1);
    EXPECT_NE(memcmp(before, frame_buffer, LCD_PIXELS), 0);
    EXPECT_EQ(map_raw, 1514);
    keys("P+-2");
    EXPECT_EQ(current_screen, adc_values_screen);
    key(KEY_F1);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, ADC_ITEM);
}

class SecuritySetup : public MiscSetup {
  protected:
    void SetUp() override {
        MiscSetup::SetUp();
        open(SECURITY);
        ASSERT_EQ(current_screen, security_setup_screen);
    }
};

TEST_F(SecuritySetup, OffHasOneRowAndTheSelectionStays) {
    keys("+-");
    EXPECT_EQ(menu_selected, 0);
    keys("P+P"); // ON: CHANGE CODE appears
    EXPECT_EQ(settings.security_on, 1);
    keys("+");
    EXPECT_EQ(menu_selected, 1);
    keys("+");
    EXPECT_EQ(menu_selected, 0);
}

TEST_F(SecuritySetup, CodeChange) {
    struct Case {
        uint16_t current, fresh, confirm;
        uint16_t expected_code;
        uint8_t outcome;
    } cases[] = {
        {FACTORY_SECURITY_CODE, 2468, 2468, 2468, 1},
        {MASTER_CODE, 9, 9, 9, 1},
        {1235, 0, 0, FACTORY_SECURITY_CODE, 0}, // wrong current code: ERROR at once
        {FACTORY_SECURITY_CODE, 2468, 2478, FACTORY_SECURITY_CODE, 0},
    };
    for (const Case &c : cases) {
        SetUp();
        keys("P+P+P"); // security ON, CHANGE CODE
        ASSERT_EQ(current_screen, check_code_screen);
        dial_code(c.current);
        if (current_screen == new_code_screen) {
            EXPECT_EQ(menu_selected, 0);
            dial_code(c.fresh);
            ASSERT_EQ(current_screen, confirm_code_screen);
            dial_code(c.confirm);
        }
        EXPECT_EQ(current_screen, code_result_screen);
        EXPECT_EQ(pending_code, c.outcome);
        EXPECT_EQ(settings.security_code, c.expected_code);
        key(KEY_F2);
        EXPECT_EQ(current_screen, security_setup_screen);
        EXPECT_EQ(menu_selected, 1);
    }
}

TEST_F(SecuritySetup, CodePagesGoBackOnF1) {
    settings.security_on = 1;
    const screen_handler pages[] = {check_code_screen, new_code_screen, confirm_code_screen};
    for (screen_handler page : pages) {
        current_screen = page;
        keys("+2P");
        EXPECT_EQ(current_screen, page);
        key(KEY_F1);
        EXPECT_EQ(current_screen, security_setup_screen);
        EXPECT_EQ(menu_selected, 1);
    }
}

TEST_F(SecuritySetup, SecurityOnGuardsTheMainMenu) {
    keys("P+P11"); // ON, then back to MISC SETUP and the main menu
    key(KEY_F1);   // the run screen
    ASSERT_EQ(current_screen, run_screen);
    key(KEY_PUSH);
    EXPECT_EQ(current_screen, security_gate_screen);
    dial_code(FACTORY_SECURITY_CODE);
    EXPECT_EQ(current_screen, main_menu_screen);
}

TEST_F(MiscSetup, Goldens) {
    passes(1);
    EXPECT_TRUE(matches_golden("misc_setup"));
    open(BACKLIGHT);
    settings.backlight_level = 60;
    passes(1);
    EXPECT_TRUE(matches_golden("backlight_manual"));
    settings.backlight_mode = 1;
    keys("+2"); // THRESHOLD, step X1000
    passes(1);
    EXPECT_TRUE(matches_golden("backlight_auto"));
    keys("1+P");
    settings.security_on = 1;
    passes(1);
    EXPECT_TRUE(matches_golden("security_setup_on"));
    keys("+P+");
    passes(1);
    EXPECT_TRUE(matches_golden("check_code"));
    keys("11++P");
    passes(1);
    EXPECT_TRUE(matches_golden("default_settings"));
    key(KEY_F1);
    current_screen = adc_values_screen;
    map_slider_change(1514);
    temp_slider_change(2757);
    passes(20); // the filtered pressure settles
    EXPECT_TRUE(matches_golden("adc_values"));
}

} // namespace
