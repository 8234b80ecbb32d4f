// Figures, holds and ramps, the rehearsal before a script plays, and the
// printable form of what scripts report.
#include "tests/loop/lcd_script_fixture.h"

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
