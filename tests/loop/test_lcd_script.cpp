#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/shell/engine_timers.h"
#include "host/shell/lcd_palette.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "host/script/session_recorder.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "host/png/png_io.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

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

class LcdScript : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        std::string pattern = (std::filesystem::temp_directory_path() / "lcdshot-XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        outdir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(outdir); }

    bool run(const std::string &text, int scale = 4) {
        log.clear();
        reset_program_state();
        files = std::make_unique<png_frame_files>(outdir, outdir);
        script = std::make_unique<lcd_script>(*files, scale,
                                              [this](const std::string &line) { log += line; });
        return script->run(text);
    }

    // Goes on with the same script, after the test changed a setting.
    bool more(const std::string &text) { return script->run(text); }

    std::string outdir;
    std::string log; // what the script reported
    std::unique_ptr<png_frame_files> files;
    std::unique_ptr<lcd_script> script;
};

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

// Figures reach the instrument as the slider position that makes it show
// them, under the settings in force; the passes after it show the figure.
TEST_F(LcdScript, FiguresBecomeThePositionsThatShowThem) {
    struct figure_case {
        const char *what;
        std::function<void()> settings_change;
        const char *line;
        std::function<long long()> shown;
        long long expected;
        const char *log_or_error; // a warning on the log, or the error
    };
    auto no_change = [] {};
    auto rpm_shown = [] { return (long long)rpm; };
    auto mb_shown = [] { return (long long)map_mb; };
    auto temp_c_shown = [] { return (long long)temp_c; };
    // The screen reads "---" (no sensor) for a TEMP reading above 3800.
    auto temp_figure_on_screen = [] { return temp_raw > 3800 ? -1000LL : temp_c; };
    const figure_case cases[] = {
        {"rpm", no_change, "rpm 2400 rpm", rpm_shown, 2400, nullptr},
        {"inHg, the factory unit", no_change, "map 30.0 inHg", [] { return (long long)map_value; },
         300, nullptr},
        {"mB", no_change, "map 1015 mB", mb_shown, 1015, nullptr},
        {"C", no_change, "temp 85 C", temp_c_shown, 85, nullptr},
        {"F", no_change, "temp 185 F", [] { return (long long)celsius_to_fahrenheit(temp_c); }, 185,
         nullptr},
        {"a calibration offset", [] { calibration.temp_cal = -7; }, "temp 85 C", temp_c_shown, 85,
         nullptr},
        {"a MAP calibration offset", [] { calibration.map_cal_internal = 20; }, "map 1015 mB",
         mb_shown, 1015, nullptr},
        {"PULSES/REV 2.0", [] { settings.rpm_pulses_per_rev = 20; }, "rpm 2400 rpm", rpm_shown,
         2400, nullptr},
        {"the top of the RPM slider", no_change, "rpm 16666 rpm", rpm_shown, 16666, nullptr},
        {"the bottom of the TEMP slider", no_change, "temp -273 C", temp_c_shown, -273, nullptr},
        {"no exact position: the nearest", [] { settings.rpm_increment = 4; }, "rpm 2449 rpm",
         rpm_shown, 2400, "warning: no position shows 2449 rpm; 2400 rpm at"},
        {"beyond the RPM slider", no_change, "rpm 16667 rpm", nullptr, 0,
         "16667 rpm is out of reach: the slider gives 0 rpm to 16666 rpm"},
        {"beyond the TEMP slider", no_change, "temp 500 C", nullptr, 0, "out of reach"},
        {"MAP from EXIO", [] { settings.map_source = 1; }, "map 30.0 inHg", nullptr, 0,
         "the MAP source is EXIO"},
        {"the last TEMP reading with a sensor", no_change, "temp 186 C", temp_figure_on_screen, 186,
         nullptr},
        {"a TEMP figure only shown without a sensor", no_change, "temp 187 C", nullptr, 0,
         "187 C is out of reach: the slider gives -273 C to 186 C"},
        {"a key waiting for its pass", [] { press_key(KEY_MINUS); }, "rpm 2400 rpm", nullptr, 0,
         "let a pass run first (pass 1)"},
        {"six digits on a five-digit screen",
         [] {
             settings.rpm_pulses_per_rev = 10;
             settings.rpm_increment = 4;
         },
         "rpm 100000 rpm", rpm_shown, 100000,
         "warning: the screen has no room for the leading digit of 100000 rpm: it reads 00000"},
        {"a ramp of no time", no_change, "ramp rpm 2400 rpm 0", rpm_shown, 2400, nullptr},
        {"a MAP ramp bringing the filter from below after a jump from above", no_change,
         "map 4000\nhold 3\nmap 300\nramp map 2165 mB 0.5", mb_shown, 2165, nullptr},
    };
    for (const figure_case &c : cases) {
        ASSERT_TRUE(run("on\npass\n")) << script->error();
        c.settings_change();
        const bool ok = more(std::string(c.line) + "\nhold 3\n");
        if (!c.shown) {
            EXPECT_FALSE(ok) << c.what;
            EXPECT_NE(script->error().find(c.log_or_error), std::string::npos) << script->error();
            continue;
        }
        ASSERT_TRUE(ok) << c.what << ": " << script->error();
        EXPECT_EQ(c.shown(), c.expected) << c.what;
        if (c.log_or_error)
            EXPECT_NE(log.find(c.log_or_error), std::string::npos) << log;
        else
            EXPECT_EQ(log.find("warning"), std::string::npos) << log;
    }
    // Before the first power-on, figures are those of the factory settings.
    ASSERT_TRUE(run("rpm 2400 rpm\non\npass\n")) << script->error();
    EXPECT_EQ(rpm, 2400);
    EXPECT_EQ(settings.rpm_pulses_per_rev, 60);

    // After "off" too: those the next power-on loads, the records untouched.
    ASSERT_TRUE(run("on\nhold 1\n")) << script->error();
    settings.rpm_pulses_per_rev = 30;
    settings.map_source = 1;
    ASSERT_TRUE(more("rpm 2400 rpm\nhold 1\noff\n")) << script->error();
    const settings_record before = settings;
    const std::vector<long long> maxima = {max_map, max_rpm, max_temp};
    ASSERT_TRUE(more("rpm 2400 rpm\nmap 30.0 inHg\n")) << script->error();
    EXPECT_EQ(memcmp(&settings, &before, sizeof settings), 0);
    EXPECT_EQ((std::vector<long long>{max_map, max_rpm, max_temp}), maxima);
    ASSERT_TRUE(more("on\nhold 3\n")) << script->error();
    EXPECT_EQ(rpm, 2400);
    EXPECT_EQ(map_value, 300);
}

// hold and ramp let real time pass as a 60 Hz screen does: a tick, then six
// passes while on, ticks alone while off; a ramp moves in even steps.
TEST_F(LcdScript, HoldAndRampRunTicksAndPasses) {
    struct timed_case {
        const char *script;
        int ticks, passes;
    };
    const timed_case cases[] = {
        {"on\nhold 2.5\n", 25, 150},
        {"hold 1\n", 10, 0},
        {"on\nramp rpm 5000 0.3\n", 3, 18},
        {"on\nhold 0\n", 0, 0},
    };
    for (const timed_case &c : cases) {
        ASSERT_TRUE(run(c.script)) << script->error();
        long long ticks = 0, passes = 0;
        ASSERT_TRUE(script->load(c.script));
        reset_program_state();
        for (lcd_script::step s; (s = script->advance()) != lcd_script::STEP_DONE;) {
            ASSERT_NE(s, lcd_script::STEP_FAILED) << script->error();
            if (s == lcd_script::STEP_TICK) {
                script->tick();
                ticks++;
            } else {
                script->pass();
                passes++;
            }
        }
        EXPECT_EQ(ticks, c.ticks) << c.script;
        EXPECT_EQ(passes, c.passes) << c.script;
    }
    std::vector<int32_t> steps;
    ASSERT_TRUE(run("rpm 1000\non\n"));
    ASSERT_TRUE(script->load("ramp rpm 2000 0.4\n"));
    for (lcd_script::step s; (s = script->advance()) != lcd_script::STEP_DONE;) {
        if (s == lcd_script::STEP_TICK) {
            steps.push_back(script->panel().rpm_position);
            script->tick();
        } else {
            script->pass();
        }
    }
    EXPECT_EQ(steps, (std::vector<int32_t>{1250, 1500, 1750, 2000}));
    EXPECT_FALSE(run("on\nramp rpm 2000 rpm\n"));
    EXPECT_FALSE(run("hold -1\n"));
    EXPECT_FALSE(run("note x\nmap 30 mph\n"));
    EXPECT_TRUE(log.empty()) << log; // the bad script ran nothing, not even the note
}

// One ramp line moves several sliders together, each leg in its own even
// steps over the same ticks; each leg is read as a single ramp reads it.
TEST_F(LcdScript, RampMovesSeveralSlidersTogether) {
    ASSERT_TRUE(run("rpm 1000\nmap 1000\ntemp 1000\non\n"));
    ASSERT_TRUE(script->load("ramp rpm 2000 map 2000 temp 0 0.4\n"));
    std::vector<std::vector<int32_t>> steps;
    for (lcd_script::step s; (s = script->advance()) != lcd_script::STEP_DONE;) {
        ASSERT_NE(s, lcd_script::STEP_FAILED) << script->error();
        if (s == lcd_script::STEP_PASS) {
            script->pass();
            continue;
        }
        const panel_state &p = script->panel();
        steps.push_back({p.rpm_position, p.map_position, p.temp_position});
        script->tick();
    }
    EXPECT_EQ(steps, (std::vector<std::vector<int32_t>>{
                         {1250, 1250, 750}, {1500, 1500, 500}, {1750, 1750, 250}, {2000, 2000, 0}}));

    // Figures with units, "rpm" both a slider and its unit, then the passes show them.
    ASSERT_TRUE(run("on\npass\nramp rpm 2400 rpm map 25.0 inHg temp 80 C 1\nhold 3\n"))
        << script->error();
    EXPECT_EQ(rpm, 2400);
    EXPECT_EQ(map_value, 250);
    EXPECT_EQ(temp_c, 80);
    EXPECT_EQ(log.find("warning"), std::string::npos) << log;

    struct bad_ramp {
        const char *line;
        const char *error;
    };
    const bad_ramp bad[] = {
        {"ramp map 2000 temp 1 map 30 inHg 1", "ramp moves map twice"},
        {"ramp rpm 2000 map 1", "a figure and its unit (mB or inHg)"},
        {"ramp rpm 2000 map 25 mph 1", "not a unit of map: mph"},
        {"ramp rpm 2000 volts 3 1", "ramp takes a position, or a figure and its unit"},
        {"ramp temp 500 C map 30 1", "out of reach"},
    };
    for (const bad_ramp &b : bad) {
        EXPECT_FALSE(run(std::string("on\n") + b.line + "\n")) << b.line;
        EXPECT_NE(script->error().find(b.error), std::string::npos) << script->error();
    }
}

// A front end playing in real time rehearses first: a script that fails late
// plays nothing and leaves the live instrument as it was; a good one is ready
// at program start with its caption.
TEST_F(LcdScript, PrepareRehearsesTheWholeScript) {
    ASSERT_TRUE(run("on\nmap 2000\npass 3\nkey F2\n"));
    program_state live, after;
    save_program_state(live);
    EXPECT_FALSE(script->prepare("note Start\non\nhold 1\nrpm 99999 rpm\n"));
    EXPECT_EQ(script->error_line(), 4);
    save_program_state(after);
    EXPECT_TRUE(after.bytes == live.bytes);
    ASSERT_TRUE(script->prepare("note Start\non\nhold 1\n")) << script->error();
    EXPECT_EQ(fast_tick, 0);
    EXPECT_EQ(script->advance(), lcd_script::STEP_TICK);
    EXPECT_EQ(script->caption(), "Start");
    EXPECT_TRUE(script->panel().running);
}

// Rehearsed in slices between the live instrument's own passes and ticks,
// a script leaves them exactly as they run without it, passed or refused.
TEST_F(LcdScript, RehearsalInSlicesLeavesTheLiveInstrumentAlone) {
    const auto live_steps = [](int step) {
        if (step % 7 == 3) press_key(step % 2 ? KEY_PLUS : KEY_MINUS);
        if (step % 6 == 0) host_timer_tick(1);
        power_pass(0);
    };
    const struct {
        const char *text;
        lcd_script::rehearsal outcome;
    } cases[] = {
        {"on\nrpm 2400 rpm\nhold 60\nkey F2\nhold 1\n", lcd_script::REHEARSED},
        {"on\nhold 60\nexpect screen map_setup\n", lcd_script::REFUSED},
    };
    for (const auto &c : cases) {
        const std::string text = c.text;
        ASSERT_TRUE(run(""));
        power_on_sequence();
        map_slider_change(1522);
        int steps = 0;
        for (; steps < 50; steps++) live_steps(steps);
        program_state alone;
        {
            const program_state start = [] {
                program_state s;
                save_program_state(s);
                return s;
            }();
            for (int i = 50; i < 400; i++) live_steps(i);
            save_program_state(alone);
            restore_program_state(start);
        }
        ASSERT_TRUE(script->load(text)) << script->error();
        lcd_script::rehearsal outcome = lcd_script::REHEARSING;
        // 600 ticks and 3600 passes take more than 350 slices of 10.
        for (; steps < 400; steps++) {
            ASSERT_EQ(script->rehearse(10), lcd_script::REHEARSING);
            EXPECT_LE(script->work_done(), script->work_total());
            live_steps(steps);
        }
        program_state interleaved;
        save_program_state(interleaved);
        EXPECT_TRUE(interleaved.bytes == alone.bytes) << text;
        while ((outcome = script->rehearse(1000)) == lcd_script::REHEARSING) {
        }
        EXPECT_EQ(outcome, c.outcome) << text;
    }
}

TEST(Printable, KeepsTextAndEscapesWhatActsOnATerminalOrAPage) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain 30.0 inHg", "plain 30.0 inHg"},
        {"85 \xC2\xB0"
         "C \xE2\x80\x94 \xF0\x9F\x9B\xA9",
         "85 \xC2\xB0"
         "C \xE2\x80\x94 \xF0\x9F\x9B\xA9"},
        {"\x1B[2J\x07\x7F\t", "\\x1B[2J\\x07\\x7F\\x09"},
        {"\xC2\x9B"
         "31m",
         "\\u{009B}31m"}, // a C1 control
        {"ok \xE2\x80\xAE"
         "kcab",
         "ok \\u{202E}kcab"},                                 // a right-to-left override
        {"\xE2\x81\xA6x\xE2\x80\x8F", "\\u{2066}x\\u{200F}"}, // an isolate, a mark
        {"\xFF\xC3(\xE0\x80\xAF\xED\xA0\x80", "\\xFF\\xC3(\\xE0\\x80\\xAF\\xED\\xA0\\x80"},
        {"\xE2\x80", "\\xE2\\x80"}, // cut short at the end
    };
    for (const auto &c : cases) EXPECT_EQ(printable(c.in), c.out) << c.in;
    EXPECT_EQ(printable("abcdef", 3), "abc...");
    EXPECT_EQ(printable("\xC2\xB0\xC2\xB0", 1), "\xC2\xB0...");
}
