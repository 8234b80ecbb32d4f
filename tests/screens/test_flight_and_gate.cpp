#include "core/keys.h"
#include "core/settings.h"
#include "display/menu.h"
#include "host/shell/power_loop.h"
#include "menus/main_menu.h"
#include "screens/flight_prompt.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "screens/security_gate.h"
#include "tests/support/golden.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

namespace {

class FlightPrompt : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        passes(1);
        key(KEY_F2); // acknowledge the alarms of the cold engine
        key(KEY_F1);
        ASSERT_EQ(current_screen, flight_prompt_screen);
    }
};

TEST_F(FlightPrompt, OnlyYesStartsAFlight) {
    flight_hours = 3;
    flight_minutes = 20;
    const uint8_t no_keys[] = {KEY_F1, KEY_PUSH, KEY_PLUS, KEY_MINUS};
    for (uint8_t k : no_keys) {
        current_screen = flight_prompt_screen;
        key(k);
        EXPECT_EQ(current_screen, run_screen);
        EXPECT_EQ(flight_running, 0);
        EXPECT_EQ(flight_hours, 3);
        EXPECT_EQ(pending_key, 0);
    }
    current_screen = flight_prompt_screen;
    key(KEY_F2);
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(flight_running, 1);
    EXPECT_EQ(flight_hours, 0);
    EXPECT_EQ(flight_minutes, 0);
}

TEST_F(FlightPrompt, YesOnStopKeepsTheTime) {
    flight_running = 1;
    flight_hours = 1;
    flight_minutes = 42;
    key(KEY_F2);
    EXPECT_EQ(flight_running, 0);
    EXPECT_EQ(flight_hours, 1);
    EXPECT_EQ(flight_minutes, 42);
}

TEST_F(FlightPrompt, ComesBackOnThePageItLeft) {
    key(KEY_F1);
    run_page = 1;
    key(KEY_F1);
    ASSERT_EQ(current_screen, flight_prompt_screen);
    key(KEY_F1);
    EXPECT_EQ(run_page, 1);
}

TEST_F(FlightPrompt, Goldens) {
    passes(1);
    EXPECT_TRUE(matches_golden("flight_prompt_start"));
    flight_running = 1;
    passes(1);
    EXPECT_TRUE(matches_golden("flight_prompt_stop"));
}

class SecurityGate : public ::testing::Test {
  protected:
    void SetUp() override {
        start_program_and_power_on();
        passes(1);
        key(KEY_F2); // acknowledge the alarms of the cold engine
        settings.security_on = 1;
        key(KEY_PUSH);
        ASSERT_EQ(current_screen, security_gate_screen);
    }
    void enter(uint16_t code) { dial_code(code); }
};

TEST_F(SecurityGate, StoredCodeOpensTheMainMenu) {
    enter(FACTORY_SECURITY_CODE);
    EXPECT_EQ(current_screen, main_menu_screen);
    EXPECT_EQ(menu_selected, 0);
    for (int i = 0; i < 4; i++) EXPECT_EQ(entry_digits[i], 0);
}

TEST_F(SecurityGate, MasterCodeOpensTheMainMenu) {
    settings.security_code = 9999;
    enter(MASTER_CODE);
    EXPECT_EQ(current_screen, main_menu_screen);
}

TEST_F(SecurityGate, LeadingZerosAreEntered) {
    settings.security_code = 42;
    enter(42);
    EXPECT_EQ(current_screen, main_menu_screen);
}

TEST_F(SecurityGate, WrongCodeShowsTheErrorThenTheRunScreen) {
    enter(1235);
    EXPECT_EQ(current_screen, code_result_screen);
    EXPECT_EQ(pending_code, 0);
    key(KEY_F2);
    EXPECT_EQ(current_screen, run_screen);
    key(KEY_PUSH); // every attempt starts again from 0000 on the first digit
    EXPECT_EQ(current_screen, security_gate_screen);
    EXPECT_EQ(menu_selected, 0);
    for (int i = 0; i < 4; i++) EXPECT_EQ(entry_digits[i], 0);
}

TEST_F(SecurityGate, PushMovesTheSelectedDigitAndOnlyItChanges) {
    key(KEY_MINUS);
    EXPECT_EQ(entry_digits[0], 9);
    key(KEY_PLUS);
    EXPECT_EQ(entry_digits[0], 0);
    key(KEY_PUSH);
    EXPECT_EQ(menu_selected, 1);
    key(KEY_PLUS);
    key(KEY_F2); // nothing
    const uint8_t expected[] = {0, 1, 0, 0};
    for (int i = 0; i < 4; i++) EXPECT_EQ(entry_digits[i], expected[i]);
    EXPECT_EQ(current_screen, security_gate_screen);
}

TEST_F(SecurityGate, ExitKeepsTheDigits) {
    key(KEY_PLUS);
    key(KEY_F1);
    EXPECT_EQ(current_screen, run_screen);
    EXPECT_EQ(entry_digits[0], 1);
}

TEST_F(SecurityGate, Golden) {
    key(KEY_PLUS);
    key(KEY_PUSH);
    key(KEY_MINUS);
    passes(1);
    EXPECT_TRUE(matches_golden("security_gate"));
}

} // namespace
