#include "core/timebase.h"
#include "host/shell/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

namespace {

class Timebase : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
};

TEST_F(Timebase, BlinkPhaseChangesEveryElevenTicks) {
    int changes[4], found = 0;
    uint8_t last = blink_phase;
    for (int tick = 1; tick <= 44 && found < 4; tick++) {
        timebase_tick();
        if (blink_phase != last) changes[found++] = tick;
        last = blink_phase;
    }
    ASSERT_EQ(found, 4);
    EXPECT_EQ(changes[0], 11);
    EXPECT_EQ(changes[1], 22);
    EXPECT_EQ(changes[2], 33);
    EXPECT_EQ(changes[3], 44);
}

TEST_F(Timebase, SlowPhaseChangesEveryTwentyTicks) {
    ticks(19);
    EXPECT_EQ(slow_phase, 0);
    ticks(1);
    EXPECT_EQ(slow_phase, 1);
    ticks(19);
    EXPECT_EQ(slow_phase, 1);
    ticks(1);
    EXPECT_EQ(slow_phase, 0);
}

TEST_F(Timebase, CountdownStepsEveryTwoSecondsAndStopsAtZero) {
    mag_check_countdown = 2;
    ticks(20);
    EXPECT_EQ(mag_check_countdown, 1);
    ticks(20);
    EXPECT_EQ(mag_check_countdown, 0);
    ticks(20);
    EXPECT_EQ(mag_check_countdown, 0);
}

TEST_F(Timebase, MagnetoCheckLastsBetween118And120Seconds) {
    int shortest = 1 << 30, longest = 0;
    for (int offset = 0; offset < 20; offset++) {
        reset_program_state();
        ticks(offset);
        mag_check_countdown = 60;
        int elapsed = 0;
        while (mag_check_countdown != 0) {
            timebase_tick();
            elapsed++;
        }
        shortest = elapsed < shortest ? elapsed : shortest;
        longest = elapsed > longest ? elapsed : longest;
    }
    EXPECT_EQ(shortest, 1181); // started just before a 2-second event
    EXPECT_EQ(longest, 1200);  // started just after one
}

TEST_F(Timebase, PowerOnKeepsTheTimebase) {
    ticks(15);
    mag_check_countdown = 9;
    power_on();
    EXPECT_EQ(blink_phase, 1);
    EXPECT_EQ(mag_check_countdown, 9);
    ticks(7); // the 22nd tick
    EXPECT_EQ(blink_phase, 0);
}

} // namespace
