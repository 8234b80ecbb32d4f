#include "tests/loop/lcd_script_fixture.h"

namespace {

std::string repeated(const std::string &text, int times) {
    std::string out;
    while (times-- > 0) out += text;
    return out;
}

// Everything a pass reads or leaves behind that a driver could get wrong.
std::vector<long long> loop_values() {
    long long screen = (long long)(intptr_t)current_screen;
    return {pending_key,       lamp_red,       exio_present, blink_phase,
            power_off_request, rpm_pulse_rate, rpm,          map_adc,
            temp_adc,          map_slider,     temp_slider,  map_value,
            temp_value,        screen,         alarm_active, alarm_acknowledged};
}

std::vector<uint8_t> frame() {
    return std::vector<uint8_t>(frame_buffer, frame_buffer + LCD_PIXELS);
}


TEST_F(LcdScript, RunsThePassesAsTheWindowDoes) {
    // The MAP slider is never moved: only the power-on's MAP handler latches it.
    ASSERT_TRUE(run("temp 2674\nrpm 30000\nexio on\non\npass 2\nmap 2400\ntick 11\nkey F2\n"
                    "pass 3\nexio off\nkey PLUS\nkey MINUS\npass\ntick 4\n"))
        << script->error();
    const std::vector<long long> scripted = loop_values();
    const std::vector<uint8_t> scripted_frame = frame();

    reset_program_state();
    temp_slider_change(2674);
    rpm_slider_change(30000);
    power_on_sequence();
    rpm_slider_change(30000);
    map_slider_change(1);
    for (int i = 0; i < 2; i++) power_pass(1);
    map_slider_change(2400);
    for (int i = 0; i < 11; i++) timebase_tick();
    press_key(KEY_F2);
    for (int i = 0; i < 3; i++) power_pass(1);
    press_key(KEY_PLUS);
    press_key(KEY_MINUS);
    power_pass(0);
    for (int i = 0; i < 4; i++) timebase_tick();
    EXPECT_EQ(scripted, loop_values());
    EXPECT_TRUE(scripted_frame == frame());
}

TEST_F(LcdScript, PowerOnLatchesTheUnmovedRpmAndMapSliders) {
    ASSERT_TRUE(run("on\npass\n")) << script->error();
    EXPECT_EQ(rpm_pulse_rate, 1);
    EXPECT_EQ(map_adc, 1);
    EXPECT_EQ(temp_adc, 0); // the TEMP latch stays 0 until the slider moves
}

TEST_F(LcdScript, KeysDropWhileTheSlotIsFull) {
    ASSERT_TRUE(run("key F1\nkey F2\n"));
    EXPECT_EQ(pending_key, KEY_F1); // stored while off, like a click on the bezel
    ASSERT_TRUE(run("key F1\non\n"));
    EXPECT_EQ(pending_key, 0); // power-on empties the slot
    ASSERT_TRUE(run("on\nkey PUSH\nkey MINUS\nkey PLUS\n"));
    EXPECT_EQ(pending_key, KEY_PUSH);
}

TEST_F(LcdScript, PassesRunOnlyWhileOnTicksAlways) {
    EXPECT_FALSE(run("pass\n"));
    EXPECT_EQ(script->error_line(), 1);
    EXPECT_FALSE(run("on\npass\noff\npass 2\n"));
    EXPECT_EQ(script->error_line(), 4);
    EXPECT_NE(script->error().find("off"), std::string::npos) << script->error();
    EXPECT_EQ(lamp_red, LAMP_BRIGHT); // checked before anything ran: no pass lit it dark

    ASSERT_TRUE(run("tick 11\n")) << script->error();
    EXPECT_EQ(blink_phase, 1); // the timer runs whether on or off
}

TEST_F(LcdScript, BadLinesAreReportedWithTheirNumber) {
    struct bad {
        const char *script;
        int line;
    };
    const bad cases[] = {
        // the bad line is the last one
        {"on\nfrobnicate", 2},
        {"# comment\r\n\n  \non  # button\r\n  key F3", 5},
        {"key f1", 1},
        {"on now", 1},
        {"rpm", 1},
        {"rpm 12x", 1},
        {"temp 99999999999999999999", 1},
        {"exio maybe", 1},
        {"on\npass 2000000", 2},
        {"scale 0", 1},
        {"shot ../escape", 1},
        {"golden a/b", 1},
        {"expect screen nowhere", 1},
        {"expect lamp red", 1},
    };
    for (const bad &c : cases) {
        EXPECT_FALSE(run(c.script)) << c.script;
        EXPECT_EQ(script->error_line(), c.line) << c.script;
        std::string prefix = "line " + std::to_string(c.line) + ": ";
        EXPECT_EQ(script->error().rfind(prefix, 0), 0u) << script->error();
        const char *bad_line = strrchr(c.script, '\n') ? strrchr(c.script, '\n') + 1 : c.script;
        EXPECT_NE(script->error().find(bad_line), std::string::npos) << script->error();
    }
}

TEST_F(LcdScript, SlidersClampToTheirRanges) {
    struct move {
        const char *script;
        int32_t pulse_rate;
        uint16_t map_latch, temp_latch;
    };
    const move cases[] = {
        {"rpm 200000\n", 100000, 0, 0}, {"rpm 500\nrpm -7\n", 1, 0, 0},
        {"map 99999\n", 0, 4096, 0},    {"map 5\nmap 0\n", 0, 1, 0},
        {"temp 5000\n", 0, 0, 4096},    {"temp 9\ntemp -1\n", 0, 0, 0},
    };
    for (const move &c : cases) {
        ASSERT_TRUE(run(c.script)) << c.script << script->error();
        EXPECT_EQ(rpm_pulse_rate, c.pulse_rate) << c.script;
        EXPECT_EQ(map_slider, c.map_latch) << c.script;
        EXPECT_EQ(temp_slider, c.temp_latch) << c.script;
    }
}

TEST_F(LcdScript, ExpectationsCheckScreenAndLamp) {
    EXPECT_TRUE(run("expect screen run\nexpect lamp bright\n")) << script->error();
    EXPECT_FALSE(run("on\npass\nexpect lamp bright\n")); // no alarm: dark
    EXPECT_EQ(script->error_line(), 3);
    EXPECT_NE(script->error().find("dark"), std::string::npos) << script->error();
    // A MAP above the high alarm lights the lamp on the pass after the alarm.
    EXPECT_TRUE(run("temp 2674\nmap 1518\non\npass 6\nexpect lamp dark\nmap 3000\npass 20\n"
                    "expect lamp bright\n"))
        << script->error();
}

TEST_F(LcdScript, ShotsAreWritten) {
    ASSERT_TRUE(run("on\npass\nshot big\nscale 2\nshot small\ngolden exact\n", 3))
        << script->error();
    std::vector<uint32_t> argb;
    int w = 0, h = 0;
    ASSERT_TRUE(read_rgba_png(outdir + "/big.png", argb, w, h));
    EXPECT_EQ(w, 3 * LCD_WIDTH);
    EXPECT_EQ(h, 3 * LCD_HEIGHT);
    ASSERT_TRUE(read_rgba_png(outdir + "/small.png", argb, w, h));
    EXPECT_EQ(w, 2 * LCD_WIDTH);
    std::vector<uint8_t> indices;
    ASSERT_TRUE(read_indexed_png(outdir + "/exact.png", indices, w, h));
    EXPECT_EQ(w, LCD_WIDTH);
    EXPECT_EQ(h, LCD_HEIGHT);
    EXPECT_TRUE(indices == frame());
    EXPECT_NE(log.find("big.png: screen run, lamp dark\n"), std::string::npos) << log;
}

TEST_F(LcdScript, UnwritableShotIsAnError) {
    outdir += "/file";
    ASSERT_TRUE(std::ofstream(outdir).good());
    EXPECT_FALSE(run("shot a\n"));
    EXPECT_EQ(script->error_line(), 1);
    EXPECT_NE(script->error().find("cannot write"), std::string::npos) << script->error();
    outdir.erase(outdir.size() - 5);
}

TEST_F(LcdScript, MalformedScriptsEndWithTheLineNumber) {
    struct bad {
        std::string script;
        int line;
        const char *says;
    };
    const bad cases[] = {
        {"on\npass 99999999999", 2, "out of 0..1000000"},
        {"tick -5", 1, "out of 0..1000000"},
        {"tick 1000001", 1, "out of 0..1000000"},
        {"map 99999999999999999999999", 1, "not a number"},
        {"tick 0x10", 1, "not a number"},
        {"engine-timers maybe", 1, "engine-timers takes on or off"},
        {"expect golden", 1, "expect takes"},
        {"expect golden /nonexistent/g.png", 1, "/nonexistent/g.png is outside the goldens'"},
        {"expect golden ../g.png", 1, "../g.png is outside the goldens'"},
        {"expect golden nonexistent.png", 1, "no file nonexistent.png"},
        {"hold 10000\nhold 10000\n", 2, "more than 144000 ticks in all"},
        {"on\npass 1000000\nnote x\nhold 10\npass 440001", 5, "more than 1440000 passes"},
        {"on\nhold 3600\noff\nhold 3600\nhold 3600\nhold 3600\nhold 1", 7, "144000 ticks"},
        {"shot a\n" + repeated("shot b\n", 199) + "golden c\n", 201, "more than 200 pictures"},
        {"on\nrpm 1\x1B]52;c;aGk=\x07", 2, "not a number: 1\\x1B]52;c;aGk=\\x07"},
        {"on\n" + std::string(5000, 'x'), 2, "line longer than 4096"},
        {std::string("\x01\x02pass\xff", 7), 1, "\\x01\\x02pass\\xFF"},
        {"sho", 1, "unknown command"},
        {"\x1B[2Jboom", 1, "unknown command \\x1B[2Jboom"},
        {std::string("on\npass 3\0junk", 15), 2, "a NUL byte"},
        {"on\npass\noff\ntick\nfrobnicate", 5, "unknown command"},
    };
    for (const bad &c : cases) {
        EXPECT_FALSE(run(c.script)) << c.script;
        EXPECT_EQ(script->error_line(), c.line) << c.script;
        EXPECT_NE(script->error().find(c.says), std::string::npos) << script->error();
        EXPECT_LT(script->error().size(), 300u) << script->error();
        for (unsigned char ch : script->error()) EXPECT_GE(ch, 32) << script->error();
        // A bad line anywhere means nothing ran.
        EXPECT_EQ(lamp_red, LAMP_BRIGHT) << c.script;
        EXPECT_EQ(blink_phase, 0) << c.script;
    }
    // An editor's byte-order mark is skipped; the largest count runs.
    ASSERT_TRUE(run("\xEF\xBB\xBFon\npass\n")) << script->error();
    ASSERT_TRUE(run("tick 144000\n")) << script->error();
}

TEST_F(LcdScript, ExpectGoldenComparesTheFrame) {
    ASSERT_TRUE(run("on\npass\ngolden g\nexpect golden g.png\n")) << script->error();
    EXPECT_FALSE(more("map 3000\npass 40\nexpect golden ./g.png\n"));
    EXPECT_NE(script->error().find("the frame differs from"), std::string::npos) << script->error();

    const std::vector<uint8_t> small(10 * 10, COLOUR_WHITE);
    ASSERT_TRUE(write_indexed_png(outdir + "/small.png", small.data(), 10, 10, lcd_palette,
                                  LCD_PALETTE_SIZE));
    EXPECT_FALSE(run("expect golden small.png\n"));
    EXPECT_NE(script->error().find("is 10 x 10, not 160 x 120"), std::string::npos)
        << script->error();
    const uint32_t rgb[4] = {0};
    ASSERT_TRUE(write_rgb_png(outdir + "/rgb.png", rgb, 2, 2));
    EXPECT_FALSE(run("expect golden rgb.png\n"));
    EXPECT_NE(script->error().find("as an indexed PNG"), std::string::npos) << script->error();

    // What a golden file may be and is refused without reading it whole:
    // a truncated PNG, a header claiming a vast image, a pipe, a folder.
    ASSERT_TRUE(run("on\npass\ngolden whole\n")) << script->error();
    std::ifstream whole(outdir + "/whole.png", std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(whole)),
                          std::istreambuf_iterator<char>());
    std::ofstream(outdir + "/cut.png", std::ios::binary) << png.substr(0, png.size() / 2);
    std::string vast = png.substr(0, 33);
    vast.replace(16, 8, std::string("\x00\x0F\x42\x40\x00\x0F\x42\x40", 8)); // 1e6 x 1e6
    std::ofstream(outdir + "/vast.png", std::ios::binary) << vast << png.substr(33);
    ASSERT_EQ(mkfifo((outdir + "/pipe.png").c_str(), 0600), 0);
    for (const char *name : {"cut.png", "vast.png", "pipe.png", "."}) {
        EXPECT_FALSE(run("on\npass\nexpect golden " + std::string(name) + "\n")) << name;
        EXPECT_NE(script->error().find("cannot read"), std::string::npos) << script->error();
    }
}

// Pictures and expectations name the screen that drew the frame, not the one
// the next pass will draw.
TEST_F(LcdScript, ShotsNameTheScreenShown) {
    ASSERT_TRUE(run("rpm 30000\nmap 1518\ntemp 2674\non\npass 6\nkey PUSH\npass\nshot menu\n"
                    "expect screen run\n"))
        << script->error();
    EXPECT_STRNE(screen_name(current_screen), "run");
    EXPECT_NE(log.find("menu.png: screen run, lamp"), std::string::npos) << log;
    ASSERT_TRUE(more("pass\nexpect screen " + std::string(screen_name(current_screen)) + "\n"))
        << script->error();
}

// The engine timers, counted in ticks of the 100 ms timer while the instrument
// is on. RPM slider 30000 gives 5000 rpm, 6000 gives 1000 (HOBBS RPM and T/O RPM
// at their factory 1000), 5000 gives 830.
TEST_F(LcdScript, EngineTimersRunOnlyWhenSwitchedOnAndPowered) {
    struct timed {
        const char *what;
        const char *script;
        uint16_t hobbs_hours;
        uint8_t hobbs_hundredths;
        uint16_t maint_hours;
        uint8_t maint_hundredths;
    };
    const timed cases[] = {
        {"off by default", "rpm 30000\non\npass\ntick 720\n", 0, 0, 0, 0},
        {"a hundredth per 360 ticks", "engine-timers on\nrpm 30000\non\npass\ntick 719\n", 0, 1, 0,
         1},
        {"at HOBBS RPM", "engine-timers on\nrpm 6000\non\npass\ntick 720\n", 0, 2, 0, 2},
        {"below HOBBS RPM", "engine-timers on\nrpm 5000\non\npass\ntick 720\n", 0, 0, 0, 0},
        {"not while off", "engine-timers on\nrpm 30000\non\npass\noff\ntick 720\n", 0, 0, 0, 0},
        {"switched off again",
         "engine-timers on\nrpm 30000\non\npass\ntick 360\n"
         "engine-timers off\ntick 720\n",
         0, 1, 0, 1},
        {"part hundredths add up",
         "engine-timers on\nrpm 30000\non\npass\ntick 200\nrpm 1\n"
         "pass\ntick 500\nrpm 30000\npass\ntick 160\n",
         0, 1, 0, 1},
        {"a whole hour", "engine-timers on\nrpm 30000\non\npass\ntick 36000\n", 1, 0, 1, 0},
    };
    for (const timed &c : cases) {
        ASSERT_TRUE(run(c.script)) << c.what << ": " << script->error();
        EXPECT_EQ(timers.hobbs_hours, c.hobbs_hours) << c.what;
        EXPECT_EQ(timers.hobbs_hundredths, c.hobbs_hundredths) << c.what;
        EXPECT_EQ(timers.maint_hours, c.maint_hours) << c.what;
        EXPECT_EQ(timers.maint_hundredths, c.maint_hundredths) << c.what;
    }
}

TEST_F(LcdScript, HobbsAndMaintenanceTimesCarryIntoHours) {
    ASSERT_TRUE(run("engine-timers on\nrpm 30000\non\npass\n")) << script->error();
    timers.hobbs_hours = 9999;
    timers.hobbs_hundredths = 99;
    timers.maint_hours = 65535;
    timers.maint_hundredths = 99;
    ASSERT_TRUE(more("tick 360\n")) << script->error();
    EXPECT_EQ(timers.hobbs_hours, 10000);
    EXPECT_EQ(timers.hobbs_hundredths, 0);
    // The largest time holds.
    EXPECT_EQ(timers.maint_hours, 65535);
    EXPECT_EQ(timers.maint_hundredths, 99);
}

TEST_F(LcdScript, FlightTimeRunsWhileTheFlightTimerRuns) {
    // START FLIGHT? by F1 on the run screen, YES by F2.
    ASSERT_TRUE(
        run("temp 2674\nmap 1518\nengine-timers on\non\npass 3\nkey F1\npass\nkey F2\npass\n"
            "tick 599\n"))
        << script->error();
    ASSERT_EQ(flight_running, 1);
    EXPECT_EQ(flight_minutes, 0);
    ASSERT_TRUE(more("tick\n"));
    EXPECT_EQ(flight_minutes, 1);
    ASSERT_TRUE(more("tick 35400\n"));
    EXPECT_EQ(flight_hours, 1);
    EXPECT_EQ(flight_minutes, 0);
    // STOP FLIGHT? YES: the time stays.
    ASSERT_TRUE(more("key F1\npass\nkey F2\npass\ntick 6000\n"));
    EXPECT_EQ(flight_running, 0);
    EXPECT_EQ(flight_hours, 1);
    EXPECT_EQ(flight_minutes, 0);
    // A new flight starts at 0:00 and counts its first minute from its start.
    ASSERT_TRUE(more("tick 300\nkey F1\npass\nkey F2\npass\ntick 599\n"));
    EXPECT_EQ(flight_running, 1);
    EXPECT_EQ(flight_hours, 0);
    EXPECT_EQ(flight_minutes, 0);
    flight_hours = 255;
    flight_minutes = 59;
    ASSERT_TRUE(more("tick 1200\n"));
    EXPECT_EQ(flight_hours, 255);
    EXPECT_EQ(flight_minutes, 59);
}

TEST_F(LcdScript, DetectStartsAndStopsTheFlightByRpm) {
    ASSERT_TRUE(run("engine-timers on\nrpm 5000\non\npass\n")) << script->error();
    settings.flight_mode = 1;
    flight_hours = 3;
    ASSERT_TRUE(more("tick 1000\n"));
    EXPECT_EQ(flight_running, 0); // below T/O RPM
    EXPECT_EQ(flight_hours, 3);
    ASSERT_TRUE(more("rpm 6000\npass\ntick\n"));
    EXPECT_EQ(flight_running, 1); // at T/O RPM: started from 0:00
    EXPECT_EQ(flight_hours, 0);
    // Below for less than a minute, then back up: the flight goes on.
    ASSERT_TRUE(more("rpm 5000\npass\ntick 599\nrpm 6000\npass\ntick\nrpm 5000\npass\ntick 599\n"));
    EXPECT_EQ(flight_running, 1);
    EXPECT_EQ(flight_minutes, 2);
    ASSERT_TRUE(more("tick\n"));
    EXPECT_EQ(flight_running, 0); // a whole minute below
    EXPECT_EQ(flight_minutes, 2);
    // MANUAL: rpm starts nothing.
    settings.flight_mode = 0;
    ASSERT_TRUE(more("rpm 30000\npass\ntick 100\n"));
    EXPECT_EQ(flight_running, 0);
}

TEST(SessionRecorder, CountsRunsBetweenInputs) {
    session_recorder recorder;
    recorder.tick();
    recorder.tick();
    recorder.input("on");
    for (int i = 0; i < 3; i++) recorder.pass();
    recorder.tick();
    recorder.pass();
    EXPECT_EQ(recorder.script(), "tick 2\non\npass 3\ntick 1\npass 1\n");

    // Streaming writes the history, then each finished line; stopping writes the open run.
    std::string out;
    recorder.stream_to([&](const std::string &text) { out += text; });
    EXPECT_EQ(out, "tick 2\non\npass 3\ntick 1\n");
    recorder.input("key F1");
    recorder.pass();
    recorder.stream_to(nullptr);
    recorder.pass();
    EXPECT_EQ(out, "tick 2\non\npass 3\ntick 1\npass 1\nkey F1\npass 1\n");

    session_recorder idle;
    for (long long i = 0; i < session_recorder::MAX_RUN + 5; i++) idle.tick();
    EXPECT_EQ(idle.script(), "tick 1000000\ntick 5\n");
    EXPECT_EQ(session_recorder::MAX_RUN, lcd_script::MAX_COUNT);
}

} // namespace
