// MAP, RPM and TEMP SETUP, driven by keys from power-on.
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "menus/main_menu.h"
#include "menus/map_setup.h"
#include "menus/rpm_setup.h"
#include "menus/temp_setup.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "tests/support/frame_region.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

const int MAP_ITEM = 0, RPM_ITEM = 1, TEMP_ITEM = 2;

// Ink in the right-hand soft-key cell, where the step label stands.
int step_label_ink() {
    return region_ink(107, 103, 159, 119);
}

// The first and last rows of the scroll thumb.
std::pair<int, int> thumb_rows() {
    int first = -1, last = -1;
    for (int y = 26; y < 102; y++)
        if (frame_buffer[y * LCD_WIDTH + 154] == COLOUR_WHITE) {
            if (first < 0) first = y;
            last = y;
        }
    return {first, last};
}

// ---- MAP SETUP ----

class MapSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        open_main_menu_item(MAP_ITEM);
        ASSERT_EQ(current_screen, map_setup_screen);
    }
    // Browses to `item` from the first one.
    void select(int item) {
        for (int i = 0; i < item; i++) key(KEY_PLUS);
        ASSERT_EQ(menu_selected, item);
    }
};

TEST_F(MapSetup, LimitEditsWrapToTheOtherEnd) {
    struct Case {
        uint8_t unit;
        int item;
        int16_t start;
        const char *steps; // F2 presses before editing
        uint8_t key;
        int16_t expected;
    } cases[] = {
        {0, 1, 2000, "222", KEY_PLUS, 250}, // 3000 passes 2500: the minimum, not 500
        {0, 2, 250, "", KEY_MINUS, 2500},
        {0, 4, 2499, "", KEY_PLUS, 2500}, // the maximum itself is allowed
        {0, 8, 260, "2", KEY_MINUS, 250},
        {1, 1, 1000, "", KEY_PLUS, 73},   // above the inch range after a unit switch
        {1, 1, 1000, "", KEY_MINUS, 999}, // decreases normally
        {1, 5, 738, "", KEY_PLUS, 73},
        {1, 6, 80, "2", KEY_MINUS, 738},
        {1, 8, 443, "22", KEY_PLUS, 543}, // "X10.0" is a step of 100 tenths
        {0, 1, 32000, "", KEY_PLUS, 250}, // no 16-bit overflow near the type's end
    };
    for (const Case &c : cases) {
        SetUp();
        settings.map_unit = c.unit;
        int16_t *fields[] = {nullptr,
                             &settings.map_display_max,
                             &settings.map_display_min,
                             nullptr,
                             &settings.map_high_alarm,
                             &settings.map_high_caution,
                             &settings.map_low_caution,
                             nullptr,
                             &settings.map_low_alarm};
        *fields[c.item] = c.start;
        select(c.item);
        keys(c.steps);
        key(KEY_PUSH);
        key(c.key);
        EXPECT_EQ(*fields[c.item], c.expected) << "item " << c.item << " from " << c.start;
    }
}

TEST_F(MapSetup, InchStepStopsAtTen) {
    select(1);
    keys("22"); // X1.0, X10.0
    EXPECT_EQ(edit_step, 100);
    passes(1);
    EXPECT_GT(step_label_ink(), 0);
    key(KEY_F2); // 1000 for the rest of this pass
    EXPECT_EQ(edit_step, 1000);
    passes(1); // the next pass starts again at 1, shown as "X0.1"
    EXPECT_EQ(edit_step, 1);
    settings.map_unit = 0; // in millibar 1000 is a step like the others
    keys("222");
    passes(1);
    EXPECT_EQ(edit_step, 1000);
}

TEST_F(MapSetup, StepSurvivesMovesAndF2OnlyActsOnNumbers) {
    select(1);
    key(KEY_F2);
    EXPECT_EQ(edit_step, 10);
    keys("+++"); // HIGH ALARM limit: the step is kept
    EXPECT_EQ(edit_step, 10);
    keys("+++++"); // FILTER
    key(KEY_F2);
    EXPECT_EQ(edit_step, 10);
    passes(1);
    EXPECT_EQ(step_label_ink(), 0);
}

TEST_F(MapSetup, UnitSwitchKeepsTheNumbers) {
    key(KEY_PUSH);
    key(KEY_PLUS);
    EXPECT_EQ(settings.map_unit, 0);
    EXPECT_EQ(settings.map_display_max, 443);
    EXPECT_EQ(settings.map_high_alarm, 413);
    keys("P+P-"); // browsing to DISPLAY MAX and one down in millibar: below 250, wraps
    EXPECT_EQ(settings.map_display_max, 442);
}

TEST_F(MapSetup, ExioAddressRowComesWithTheExioSource) {
    key(KEY_MINUS); // from item 0 to the last: DATA
    EXPECT_EQ(menu_selected, 11);
    keys("P+P"); // DATA: EXIO
    EXPECT_EQ(settings.map_source, 1);
    keys("+");
    EXPECT_EQ(menu_selected, 12);
    keys("P-"); // EXIO ADDRESS 1 -> 4
    EXPECT_EQ(settings.exio_address, 3);
    keys("+");
    EXPECT_EQ(settings.exio_address, 0);
    keys("P+"); // after the address comes the first item
    EXPECT_EQ(menu_selected, 0);
    key(KEY_MINUS);
    EXPECT_EQ(menu_selected, 12);
}

TEST_F(MapSetup, CalibrationClampsForEachSource) {
    select(10);
    key(KEY_PUSH);
    for (int i = 0; i < 60; i++) key(KEY_PLUS);
    EXPECT_EQ(calibration.map_cal_internal, 50);
    EXPECT_EQ(calibration.map_cal_exio, 0);
    settings.map_source = 1;
    for (int i = 0; i < 60; i++) key(KEY_MINUS);
    EXPECT_EQ(calibration.map_cal_exio, -50);
    EXPECT_EQ(calibration.map_cal_internal, 50);
}

TEST_F(MapSetup, FilterCyclesBothWays) {
    select(9);
    key(KEY_PUSH);
    const uint8_t up[] = {2, 0, 1};
    for (uint8_t expected : up) {
        key(KEY_PLUS);
        EXPECT_EQ(settings.map_filter, expected);
    }
    key(KEY_MINUS);
    EXPECT_EQ(settings.map_filter, 0);
    key(KEY_MINUS);
    EXPECT_EQ(settings.map_filter, 2);
}

TEST_F(MapSetup, BackReturnsToTheMainMenuOnMapSetup) {
    select(4);
    keys("P");
    key(KEY_F1);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, MAP_ITEM);
    EXPECT_EQ(menu_editing, 0);
}

TEST(FormatMapValue, SignedMillibarAndTenthsOfAnInch) {
    struct {
        uint8_t unit;
        int16_t value;
        const char *text;
    } cases[] = {{0, 1013, "1013"}, {0, -5, "-5"}, {1, 443, "44.3"}, {2, 73, "7.3"}, {1, 0, "0.0"}};
    for (const auto &c : cases) {
        settings.map_unit = c.unit;
        char out[12];
        format_map_value(out, sizeof out, c.value);
        EXPECT_STREQ(out, c.text);
    }
}

TEST_F(MapSetup, Goldens) {
    passes(1);
    EXPECT_TRUE(matches_golden("map_setup_top"));
    keys("+22P"); // DISPLAY MAX being edited, step "X10.0"
    passes(1);
    EXPECT_TRUE(matches_golden("map_setup_editing_inches"));
    settings.map_unit = 0;
    settings.map_source = 1;
    calibration.map_cal_exio = -7;
    keys("P--"); // the last item, EXIO ADDRESS; the rows scroll
    passes(1);
    EXPECT_TRUE(matches_golden("map_setup_bottom_exio"));
}

// ---- RPM SETUP ----

class RpmSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        open_main_menu_item(RPM_ITEM);
        ASSERT_EQ(current_screen, rpm_setup_screen);
    }
};

TEST_F(RpmSetup, DisplayOffLeavesOneItem) {
    keys("P+P"); // RPM DISPLAY: OFF
    EXPECT_EQ(settings.rpm_display_on, 0);
    keys("+-+");
    EXPECT_EQ(menu_selected, 0);
    passes(1);
    EXPECT_EQ(thumb_rows(), std::make_pair(30, 98)); // one item: the whole track
}

TEST_F(RpmSetup, PercentSwapsIncrementForRpm100) {
    keys("+P+P"); // DISPLAY: PERCENT
    EXPECT_EQ(settings.rpm_display_mode, 1);
    EXPECT_EQ(menu_selected, 1);
    keys("+P+P"); // item 2 is now RPM 100%
    EXPECT_EQ(settings.rpm_100_percent, 6001);
    // In PERCENT PULSES/REV is item 11 and INCREMENT is gone: LABEL follows.
    keys("+++++++++"); // to item 11
    keys("P-P");
    EXPECT_EQ(settings.rpm_pulses_per_rev, 59);
    keys("+P+PP"); // item 12 is the label: its first character
    EXPECT_EQ(settings.rpm_label[0], 'F');
    EXPECT_EQ(settings.rpm_increment, 0);
}

TEST_F(RpmSetup, PulsesPerRevWrapAndItsPlaceInRpmMode) {
    for (int i = 0; i < 10; i++) key(KEY_PLUS);
    settings.rpm_pulses_per_rev = 1;
    keys("P-");
    EXPECT_EQ(settings.rpm_pulses_per_rev, 5000);
    key(KEY_PLUS);
    EXPECT_EQ(settings.rpm_pulses_per_rev, 1);
    keys("P+P+"); // INCREMENT follows in RPM mode
    EXPECT_EQ(settings.rpm_increment, 1);
}

TEST_F(RpmSetup, SpeedLimitsWrapAndStepResetsOnEveryMove) {
    struct Case {
        int moves;
        int32_t start;
        const char *steps;
        uint8_t key;
        int32_t expected;
    } cases[] = {
        {2, 98950, "22", KEY_PLUS, 100}, // DISPLAY MAX: the minimum, not 50
        {2, 100, "", KEY_MINUS, 99000},
        {3, 0, "", KEY_MINUS, 99000}, // DISPLAY MIN goes down to 0
        {3, 99000, "", KEY_PLUS, 0},
        {5, 100, "", KEY_MINUS, 99000}, // HIGH ALARM only to 100
        {6, 5500, "222", KEY_PLUS, 6500},
        {7, 0, "", KEY_MINUS, 99000}, // LOW CAUTION down to 0
        {9, 99000, "", KEY_PLUS, 0},  // LOW ALARM
    };
    for (const Case &c : cases) {
        SetUp();
        int32_t *fields[] = {nullptr,
                             nullptr,
                             &settings.rpm_display_max,
                             &settings.rpm_display_min,
                             nullptr,
                             &settings.rpm_high_alarm,
                             &settings.rpm_high_caution,
                             &settings.rpm_low_caution,
                             nullptr,
                             &settings.rpm_low_alarm};
        *fields[c.moves] = c.start;
        for (int i = 0; i < c.moves; i++) key(KEY_PLUS);
        keys(c.steps);
        key(KEY_PUSH);
        key(c.key);
        EXPECT_EQ(*fields[c.moves], c.expected) << "item " << c.moves;
    }
    SetUp();
    keys("++2+"); // a move resets the step
    EXPECT_EQ(edit_step, 1);
    keys("2-");
    EXPECT_EQ(edit_step, 1);
}

TEST_F(RpmSetup, LabelIsEditedCharacterByCharacter) {
    for (int i = 0; i < 12; i++) key(KEY_PLUS);
    settings.rpm_label[0] = ' ';
    settings.rpm_label[5] = '~';
    keys("P-"); // blank wraps to tilde
    EXPECT_EQ(settings.rpm_label[0], '~');
    key(KEY_PLUS);
    EXPECT_EQ(settings.rpm_label[0], ' ');
    keys("PPPPP+"); // the sixth: tilde wraps to blank
    EXPECT_EQ(label_cursor, 5);
    EXPECT_EQ(settings.rpm_label[5], ' ');
    EXPECT_EQ(menu_editing, 1);
    key(KEY_PUSH); // the push after the sixth ends the edit
    EXPECT_EQ(menu_editing, 0);
    EXPECT_EQ(settings.rpm_label[6], '\0');
}

TEST_F(RpmSetup, ExioAddressIsTheMapPagesOne) {
    for (int i = 0; i < 13; i++) key(KEY_PLUS);
    keys("P+P+P+"); // DATA: EXIO, then the address up to 2
    EXPECT_EQ(settings.rpm_source, 1);
    EXPECT_EQ(settings.exio_address, 1);
    keys("P1");
    current_screen = map_setup_screen;
    enter_menu(0);
    settings.map_source = 1;
    key(KEY_MINUS);
    keys("P+"); // the MAP page edits the same address
    EXPECT_EQ(settings.exio_address, 2);
}

TEST_F(RpmSetup, Goldens) {
    passes(1);
    EXPECT_TRUE(matches_golden("rpm_setup_top"));
    keys("+P+P"); // PERCENT
    keys("+2");   // RPM 100% with step "X10"
    passes(1);
    EXPECT_TRUE(matches_golden("rpm_setup_percent"));
    settings.rpm_display_mode = 0;
    for (int i = 0; i < 10; i++) key(KEY_PLUS);
    keys("PP+"); // the label's second character being edited
    passes(1);
    EXPECT_TRUE(matches_golden("rpm_setup_label_editing"));
    keys("PPPP");
    settings.rpm_display_on = 0;
    enter_menu(0);
    passes(1);
    EXPECT_TRUE(matches_golden("rpm_setup_display_off"));
}

// ---- TEMP SETUP ----

class TempSetup : public ::testing::Test {
  protected:
    void SetUp() override {
        open_main_menu_item(TEMP_ITEM);
        ASSERT_EQ(current_screen, temp_setup_screen);
    }
};

TEST_F(TempSetup, DisplayOffLocksTheSelection) {
    keys("P+");
    EXPECT_EQ(settings.temp_display_on, 0);
    key(KEY_PLUS); // still editing: toggles
    EXPECT_EQ(settings.temp_display_on, 1);
    keys("+P+-"); // off again; browsing moves nothing
    EXPECT_EQ(settings.temp_display_on, 0);
    EXPECT_EQ(menu_selected, 0);
}

TEST_F(TempSetup, LimitsWrapInTheUnitInForce) {
    struct Case {
        uint8_t unit;
        int item;
        int16_t start;
        const char *steps;
        uint8_t key;
        int16_t expected;
    } cases[] = {
        {0, 3, 250, "", KEY_PLUS, -50}, // above the Celsius range after a switch
        {0, 3, 250, "", KEY_MINUS, 249}, {0, 3, 145, "2", KEY_PLUS, -50},
        {0, 5, -50, "", KEY_MINUS, 150}, {1, 5, -58, "", KEY_MINUS, 302},
        {1, 3, 300, "2", KEY_PLUS, -58}, {1, 3, 60, "22", KEY_PLUS, 61}, // F2 twice: back to X1
    };
    for (const Case &c : cases) {
        SetUp();
        settings.temp_unit = c.unit;
        int16_t *field = c.item == 3 ? &settings.temp_high_alarm : &settings.temp_low_alarm;
        *field = c.start;
        for (int i = 0; i < c.item; i++) key(KEY_PLUS);
        keys(c.steps);
        key(KEY_PUSH);
        key(c.key);
        EXPECT_EQ(*field, c.expected) << "item " << c.item << " from " << c.start;
    }
}

TEST_F(TempSetup, UnitSwitchStepAndSelectionRules) {
    keys("+P+P");
    EXPECT_EQ(settings.temp_unit, 1);
    EXPECT_EQ(settings.temp_high_alarm, 60); // reads 60°F now
    keys("+2");                              // HIGH ALARM on/off: F2 changes nothing
    EXPECT_EQ(edit_step, 1);
    keys("+2+"); // HIGH ALARM limit: X10, and moving keeps it
    EXPECT_EQ(edit_step, 10);
    keys("-----");
    EXPECT_EQ(menu_selected, 7);
}

TEST_F(TempSetup, CalibrationClampsAndTheLabelHasFourCharacters) {
    key(KEY_MINUS);
    key(KEY_PUSH);
    for (int i = 0; i < 25; i++) key(KEY_PLUS);
    EXPECT_EQ(calibration.temp_cal, 20);
    for (int i = 0; i < 45; i++) key(KEY_MINUS);
    EXPECT_EQ(calibration.temp_cal, -20);
    keys("P-P"); // the label
    keys("+P+P+P+");
    EXPECT_STREQ(settings.temp_label, "UFNQ");
    EXPECT_EQ(menu_editing, 1);
    key(KEY_PUSH); // the push on the fourth ends the edit
    EXPECT_EQ(menu_editing, 0);
    key(KEY_F1);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, TEMP_ITEM);
    EXPECT_EQ(calibration.temp_cal, -20); // kept across power cycles too
}

TEST(AppendTempUnit, AfterTheUnitInForce) {
    char text[8] = "60";
    settings.temp_unit = 1;
    append_temp_unit(text, sizeof text);
    EXPECT_STREQ(text, "60\xB0"
                       "F");
    char tight[5] = "-273";
    append_temp_unit(tight, sizeof tight); // no room: the number stays whole
    EXPECT_STREQ(tight, "-273");
}

TEST_F(TempSetup, Goldens) {
    temp_slider_change(2757);
    calibration.temp_cal = 3;
    passes(1);
    EXPECT_TRUE(matches_golden("temp_setup_top"));
    keys("--P+P"); // the label, its second character being edited
    passes(1);
    EXPECT_TRUE(matches_golden("temp_setup_label_editing"));
    keys("PPP1P");
    settings.temp_display_on = 0;
    passes(1);
    EXPECT_TRUE(matches_golden("temp_setup_display_off"));
}

// ---- The settings act at once ----

TEST(SetupEffects, LowerMapHighAlarmLightsTheLampAfterLeaving) {
    panel p;
    p.map = 1514; // 29.9 inches
    open_main_menu_item(MAP_ITEM, p);
    temp_slider_change(2500);
    settings.map_filter = 0;
    keys("++++2P");
    for (int i = 0; i < 15; i++) key(KEY_MINUS); // 41.3 -> 26.3 inches
    keys("P1");                                  // back to the main menu
    key(KEY_F1);                                 // and the run screen
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(alarm_active & ALARM_MAP, (uint32_t)ALARM_MAP);
    passes(1);
    EXPECT_EQ(lamp_red, LAMP_BRIGHT);
}

TEST(SetupEffects, NewRpmLabelShowsOnTheMagnetoCheck) {
    open_main_menu_item(RPM_ITEM);
    for (int i = 0; i < 12; i++) key(KEY_PLUS);
    keys("P+PPPPPP1"); // "FNGINE"
    keys("1");
    EXPECT_EQ(current_screen, run_screen);
    key(KEY_F2);
    passes(1);
    uint8_t with_new_label[LCD_PIXELS];
    memcpy(with_new_label, frame_buffer, sizeof with_new_label);
    memcpy(settings.rpm_label, "ENGINE", 7);
    passes(1);
    EXPECT_NE(memcmp(with_new_label, frame_buffer, LCD_PIXELS), 0);
    EXPECT_STREQ(settings.rpm_label, "ENGINE");
}

} // namespace
