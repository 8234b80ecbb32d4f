// The player that the window and the page share: at every speed, after a
// seek, a step or a restart, the frame at a tick is the one lcdshot's run of
// the same script shows there, and the session it leaves replays to it.
#include "core/alarms.h"
#include "core/sensors.h"
#include "display/frame_buffer.h"
#include "host/shell/power_loop.h"
#include "host/playback/script_player.h"

#include "tests/support/no_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Three checkpoints' worth, with passes of its own between ticks, a ramp,
// keys, an alarm and notes.
const std::string SCRIPT = "rpm 30000\nmap 1522\ntemp 2674\non\nnote Start\nhold 10\n"
                           "ramp rpm 2400 rpm 20\nnote Mid\nkey F2\npass 3\nhold 31\n"
                           "map 4000\nhold 5\nkey PLUS\ntick 7\npass 2\nnote End\nhold 2.1\n";

std::string frame_and_lamp() {
    return std::string((const char *)frame_buffer, LCD_PIXELS) + (char)lamp_red;
}

// lcdshot's run of `text`: the frame at every tick (before the next one).
std::vector<std::string> lcdshot_frames(const std::string &text) {
    no_files files;
    lcd_script script(files, 1, [](const std::string &) {});
    reset_program_state();
    EXPECT_TRUE(script.load(text));
    std::vector<std::string> frames;
    for (;;) {
        const lcd_script::step next = script.advance();
        if (next == lcd_script::STEP_PASS) {
            script.pass();
            continue;
        }
        frames.push_back(frame_and_lamp());
        if (next != lcd_script::STEP_TICK) return frames;
        script.tick();
    }
}

class ScriptPlayer : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        expected = lcdshot_frames(SCRIPT);
        reset_program_state();
        player.echo_to(&session);
        ASSERT_TRUE(player.load(SCRIPT));
        while (player.check(100) == lcd_script::REHEARSING) {
        }
        ASSERT_EQ(player.status(), script_player::PLAYING) << player.error();
    }
    no_files files;
    session_recorder session;
    script_player player{files, [](const std::string &) {}};
    std::vector<std::string> expected;
};

TEST_F(ScriptPlayer, TimelineHoldsEveryTickWithItsNotes) {
    ASSERT_EQ(player.length() + 1, (long long)expected.size());
    EXPECT_EQ(player.length(), 688);
    ASSERT_EQ(player.notes().size(), 3u);
    EXPECT_EQ(player.notes()[0].tick, 0);
    EXPECT_EQ(player.notes()[1].text, "Mid");
    EXPECT_EQ(player.notes()[1].tick, 300);
    EXPECT_EQ(player.notes()[2].tick, 667);
    const timeline_sample &cruise = player.timeline()[305];
    EXPECT_EQ(cruise.rpm, 2400);
    EXPECT_EQ(cruise.map, 300); // 30.0 inHg, the factory unit
    EXPECT_TRUE(cruise.map_in_inhg);
    EXPECT_TRUE(player.timeline()[650].lamp_bright); // MAP above its alarm, unacknowledged
    EXPECT_FALSE(player.timeline()[299].lamp_bright);
}

// Every speed plays lcdshot's frames at each tick it stops on, to the end.
TEST_F(ScriptPlayer, EverySpeedShowsLcdshotsFrames) {
    for (int speed : script_player::SPEEDS) {
        player.restart();
        player.set_speed(speed);
        int calls = 0;
        while (player.status() == script_player::PLAYING && calls++ < 10000) {
            player.run_for(16.7);
            if (player.status() == script_player::PLAYING) {
                ASSERT_TRUE(frame_and_lamp() == expected[player.position()])
                    << "speed " << speed << ", tick " << player.position();
            }
        }
        EXPECT_EQ(player.status(), script_player::ENDED);
        EXPECT_TRUE(frame_and_lamp() == expected.back());
        EXPECT_NEAR(calls, 688 * 100 / 16.7 / speed, 3) << speed;
    }
}

// Seeks anywhere, forward and back, across checkpoints; the session it
// leaves replays in lcdshot to the same frame.
TEST_F(ScriptPlayer, SeekingShowsTheFrameOfTheTick) {
    for (long long tick : {0LL, 450LL, 1LL, 299LL, 300LL, 301LL, 688LL, 600LL, 37LL}) {
        player.seek(tick);
        ASSERT_EQ(player.position(), tick);
        ASSERT_TRUE(frame_and_lamp() == expected[tick]) << tick;
        const std::string here = frame_and_lamp();
        const std::vector<std::string> replay = lcdshot_frames(session.script());
        EXPECT_TRUE(replay.back() == here) << tick;
        player.seek(tick); // the replay above used the program state
    }
    EXPECT_EQ(player.status(), script_player::PAUSED); // back from the end
}

TEST_F(ScriptPlayer, PausedPlayerStepsOneTickAtATime) {
    player.seek(298);
    player.pause();
    player.run_for(5000);
    EXPECT_EQ(player.position(), 298);
    for (long long tick = 299; tick <= 302; tick++) {
        player.step();
        ASSERT_EQ(player.position(), tick);
        EXPECT_TRUE(frame_and_lamp() == expected[tick]);
    }
    player.seek(5000);
    EXPECT_EQ(player.position(), 688);
    EXPECT_EQ(player.status(), script_player::PAUSED);
    player.resume();
    player.run_for(0);
    EXPECT_EQ(player.status(), script_player::ENDED);
    player.seek(687);
    EXPECT_EQ(player.status(), script_player::PAUSED);
}

} // namespace

// A ramp moving three sliders across a checkpoint: seeking into it, before
// and after the checkpoint, shows lcdshot's frame with every slider where
// the ramp has it.
TEST(ScriptPlayerRamp, SeekingIntoARampOfSeveralSliders) {
    const std::string text = "on\nhold 20\nramp rpm 2400 rpm map 25.0 inHg temp 80 C 30\nhold 1\n";
    const std::vector<std::string> expected = lcdshot_frames(text);
    no_files files;
    script_player player{files, [](const std::string &) {}};
    reset_program_state();
    ASSERT_TRUE(player.load(text));
    while (player.check(100) == lcd_script::REHEARSING) {
    }
    ASSERT_EQ(player.status(), script_player::PLAYING) << player.error();
    for (long long tick : {350LL, 250LL, 499LL, 301LL, 450LL}) {
        player.seek(tick);
        EXPECT_TRUE(frame_and_lamp() == expected[(size_t)tick]) << tick;
    }
    player.seek(350);
    const panel_state &p = player.script().panel();
    EXPECT_GT(p.rpm_position, 1);
    EXPECT_GT(p.map_position, 1);
    EXPECT_GT(p.temp_position, 0);
}
