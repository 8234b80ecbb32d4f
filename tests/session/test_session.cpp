// The session every front end drives, tested once, headless: time from
// elapsed milliseconds, inputs that record and replay, the check, playback,
// seek and take-over, the golden rule, printable texts and non-UTF-8 bytes.
#include "core/keys.h"
#include "display/frame_buffer.h"
#include "host/session/bindings.h"
#include "host/session/session.h"
#include "host/shell/power_loop.h"
#include "host/shell/program_state.h"

#include "tests/support/no_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// lcdshot's frame after running `text` from program start.
std::string lcdshot_frame(const std::string &text) {
    no_files files;
    lcd_script script(files, 1, [](const std::string &) {});
    reset_program_state();
    EXPECT_TRUE(script.run(text)) << script.error();
    return std::string((const char *)frame_buffer, LCD_PIXELS);
}

std::string frame() {
    return std::string((const char *)frame_buffer, LCD_PIXELS);
}

// Plays the session's script to its end, a frame's time a call.
void play_to_end(session &s) {
    for (int i = 0; i < 100000 && s.playing(); i++) s.elapse(16);
}

const std::string SCRIPT = "# Run up\nrpm 30000\nmap 1522\non\nnote Start\nhold 10\n"
                           "note Middle\nramp rpm 2400 rpm 20\nnote End\nkey PLUS\nhold 3\n";

class Session : public ::testing::Test {
  protected:
    void SetUp() override { reset_program_state(); }
};

TEST_F(Session, ElapsedTimeBecomesTicksWithTheRestCarriedAndCapped) {
    struct {
        double ms[3];
        const char *ticks; // as the recording counts them
    } cases[] = {
        {{250, 0, 0}, "tick 2\n"},    // a late timer: two ticks, 50 ms carried
        {{250, 50, 0}, "tick 3\n"},   // the carry makes the third
        {{99.9, 0.1, 0}, "tick 1\n"}, // ticks from the sum, never per call
        {{60000, 0, 0}, "tick 50\n"}, // a long stall makes up at most 50
        {{60000, 99, 0}, "tick 50\n"},
    };
    for (const auto &c : cases) {
        reset_program_state();
        session s;
        for (double ms : c.ms) s.elapse(ms);
        EXPECT_EQ(s.recording(), std::string(session::RECORDING_HEADER) + c.ticks)
            << c.ms[0] << " " << c.ms[1];
    }
}

TEST_F(Session, LiveInputsRecordedReplayToTheSameFrame) {
    session s;
    s.move_slider(SLIDER_RPM, 30000);
    s.move_slider(SLIDER_MAP, 1522);
    s.power_on();
    ASSERT_TRUE(s.loop_running());
    for (int i = 0; i < 20; i++) {
        s.pass();
        if (i % 3 == 0) s.elapse(100);
    }
    s.key(KEY_PLUS);
    s.set_exio(true);
    s.move_slider(SLIDER_TEMP, 2674);
    s.page_slider(SLIDER_RPM, 1);
    for (int i = 0; i < 12; i++) s.pass();
    s.elapse(100);
    s.pass();
    const std::string live = frame();
    EXPECT_NE(s.slider_text(SLIDER_RPM).find(" 5100 rpm"), std::string::npos)
        << "Page Up: 100 rpm more";
    EXPECT_EQ(lcdshot_frame(s.recording()), live);
}

TEST_F(Session, AScriptPlaysToLcdshotsFrameThenTheInstrumentRunsOnLive) {
    session s;
    ASSERT_TRUE(s.play_script(SCRIPT, "Run up", "a test", ""));
    EXPECT_FALSE(s.checking()) << "a short script is checked at once";
    EXPECT_FALSE(s.loop_running()) << "its passes are the script's";
    s.set_speed(16);
    while (s.playing() && s.timeline_position() < 150) s.elapse(16);
    EXPECT_EQ(s.notes().shown(), "Middle") << "the notes keep step with the frames at x16";
    play_to_end(s);
    EXPECT_EQ(s.take_alert(), "");
    const std::string played = frame();
    EXPECT_EQ(s.status(), "Run up: ended; the instrument runs on live");
    EXPECT_TRUE(s.loop_running());
    EXPECT_EQ(s.notes().shown(), "End") << "none comes after the end";
    EXPECT_EQ(s.notes().listed(), 3u);
    EXPECT_EQ(lcdshot_frame(SCRIPT), played);
    // The timeline goes on with the live session.
    const size_t played_ticks = s.timeline().size();
    s.elapse(300);
    EXPECT_EQ(s.timeline().size(), played_ticks + 3);
    EXPECT_EQ(s.timeline_position(), (long long)played_ticks + 2);
}

TEST_F(Session, AUsersInputTakesOverWhereTheScriptIs) {
    session s;
    ASSERT_TRUE(s.play_script(SCRIPT, "Run up", "a test", ""));
    s.elapse(1500);
    ASSERT_TRUE(s.playing());
    const long long position = s.timeline_position();
    s.key(KEY_F1);
    EXPECT_FALSE(s.playing());
    EXPECT_EQ(s.status(), "Run up: stopped; the instrument runs on live");
    EXPECT_EQ(s.panel().rpm_position, 30000) << "the controls stay where the script left them";
    EXPECT_EQ(s.timeline_position(), position);
    EXPECT_TRUE(s.loop_running());
    EXPECT_NE(s.recording().find("key F1\n"), std::string::npos);
}

TEST_F(Session, ARefusedScriptChangesNothingAndSaysWhy) {
    session s;
    s.power_on();
    s.pass();
    program_state before, after;
    save_program_state(before);
    const std::string recorded = s.recording();
    EXPECT_FALSE(s.play_script("on\nhold 1\nkey NOPE\n", "Bad", "the file bad.txt", ""));
    EXPECT_EQ(s.take_alert(),
              "The scenario \"Bad\" from the file bad.txt has an error and plays nothing:\n"
              "line 3: unknown key NOPE (F1, F2, PUSH, PLUS, MINUS): \"key NOPE\"");
    EXPECT_EQ(s.take_alert(), "") << "an alert is given once";
    save_program_state(after);
    EXPECT_EQ(before.bytes, after.bytes);
    EXPECT_EQ(s.recording(), recorded);
    EXPECT_TRUE(s.loop_running());
}

TEST_F(Session, ALongCheckRunsInSlicesAndCanBeCancelled) {
    session s;
    const std::string lengthy = "on\nhold 3000\n";
    ASSERT_TRUE(s.play_script(lengthy, "Long", "a test", ""));
    ASSERT_TRUE(s.checking());
    EXPECT_LT(s.check_progress(), 1.0);
    EXPECT_TRUE(s.check_slice());
    s.cancel_check();
    EXPECT_FALSE(s.checking());
    EXPECT_FALSE(s.playing());
    EXPECT_EQ(s.status(), "Off");
}

TEST_F(Session, SeekListsThePassedNotesAndShowsTheOneInForce) {
    session s;
    ASSERT_TRUE(s.play_script(SCRIPT, "Run up", "a test", ""));
    s.seek(150); // inside the ramp
    EXPECT_EQ(s.timeline_position(), 150);
    ASSERT_EQ(s.notes().listed(), 2u);
    EXPECT_EQ(s.notes().note(0), "Start");
    EXPECT_EQ(s.notes().shown(), "Middle");
    const unsigned epoch = s.notes_epoch();
    s.seek(0);
    EXPECT_NE(s.notes_epoch(), epoch) << "a front end's list starts again";
}

TEST_F(Session, SeekingStopsAStreamedRecording) {
    session s;
    ASSERT_TRUE(s.play_script(SCRIPT, "Run up", "a test", ""));
    std::string streamed;
    s.record_to([&](const std::string &line) { streamed += line; });
    s.seek(40);
    EXPECT_FALSE(s.recording_streamed());
    EXPECT_EQ(s.status(), "The recording stopped: the playback moved");
}

TEST_F(Session, SpeedsStepThroughTheListAndStopAtItsEnds) {
    session s;
    ASSERT_TRUE(s.play_script(SCRIPT, "Run up", "a test", ""));
    const int up[] = {2, 4, 8, 16, 16};
    for (int speed : up) {
        s.change_speed(1);
        EXPECT_EQ(s.speed(), speed);
    }
    for (int i = 0; i < 6; i++) s.change_speed(-1);
    EXPECT_EQ(s.speed(), 1);
}

// Goldens: the library's by name, a file's through the front end's reader
// with the script's folder, and none where the front end reads no files.
TEST_F(Session, GoldensComeFromTheLibraryOrTheFrontEndsReader) {
    const std::string script = "on\npass\nexpect golden goldens/x.png\n";
    std::string asked;
    session reading(
        [&](const std::string &folder, const std::string &name, uint8_t *, std::string &error) {
            asked = folder + "|" + name;
            error = "golden " + name + " is outside the goldens' folder";
            return false;
        });
    EXPECT_FALSE(reading.play_script(script, "S", "the file s.txt", "/some/folder"));
    EXPECT_EQ(asked, "/some/folder|goldens/x.png");
    EXPECT_NE(reading.take_alert().find("outside the goldens' folder"), std::string::npos);

    reset_program_state();
    session page;
    EXPECT_FALSE(page.play_script(script, "S", "a link", "/some/folder"));
    EXPECT_NE(page.take_alert().find("only the library's goldens"), std::string::npos);

    reset_program_state();
    lcdshot_frame("on\npass\n");
    page.library(LIBRARY_SCENARIOS).add_golden("goldens/x.png", frame_buffer);
    reset_program_state();
    EXPECT_TRUE(page.play_script(script, "S", "the library", ""));
    EXPECT_EQ(page.take_alert(), "");
}

// Bytes that are not UTF-8 play as lcdshot plays them, and every text the
// session hands a front end is printable: no bidirectional control survives.
TEST_F(Session, NonUtf8BytesPlayAndEveryTextIsPrintable) {
    session s;
    const std::string latin1 =
        "# Caf\xE9 \xE2\x80\xAEtxet\non\nnote " + std::string(3000, '\xE9') + "\nhold 1\n";
    ASSERT_TRUE(s.play_script(latin1, script_title(latin1, "x"), "the file caf\xE9.txt", ""))
        << s.take_alert();
    EXPECT_EQ(s.playing_title(), "Caf\\xE9 \\u{202E}txet");
    EXPECT_EQ(s.status().find('\xE2'), std::string::npos);
    EXPECT_EQ(s.notes().shown().substr(0, 8), "\\xE9\\xE9");
    EXPECT_EQ(link_offer_text("# \xE2\x80\xAEkcatta\non\n"),
              "This link carries a script: \"\\u{202E}kcatta\", 2 lines, 15 bytes. Play it?");
}

// The chooser starts from what each log holds, never the last log's choice.
TEST_F(Session, EachDataLogStartsFromItsOwnColumnsAndUnits) {
    session s;
    ASSERT_TRUE(s.open_log("time,rpm,map,oil_temp_f\n0,2400,30.0,150\n1,2400,30.0,151\n", "a.csv"));
    EXPECT_EQ(s.log_column[LOG_TEMP], 3);
    s.log_temp_unit = FIGURE_F;
    s.log_column[LOG_MAP] = -1;
    ASSERT_TRUE(s.open_log("time,rpm,map,oil_temp_c\n0,2400,30.0,150\n", "b.csv"));
    EXPECT_EQ(s.log_temp_unit, FIGURE_RAW);
    EXPECT_EQ(s.log_column[LOG_MAP], 2);
    EXPECT_FALSE(s.open_log("", "empty\xE2\x80\xAE.csv"));
    EXPECT_EQ(s.take_alert().find('\xE2'), std::string::npos);
    EXPECT_EQ(s.log_name(), "b.csv") << "a refused log leaves the last one";
}

TEST_F(Session, LibraryFollowsItsCourseThenFileNames) {
    session s;
    script_library &library = s.library(LIBRARY_SCENARIOS);
    library.add("zulu.txt", "# Zulu\non\n");
    library.add("alpha.txt", "on\n");
    library.add("mike.txt", "#   Mike  \non\n");
    library.set_course("# the course\nmike.txt\nzulu.txt\n");
    const char *titles[] = {"Mike", "Zulu", "alpha"};
    ASSERT_EQ(library.entries().size(), 3u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(library.entries()[i].title, titles[i]);
    EXPECT_EQ(library.find("alpha"), 2);
}

// A lesson through Hint, Show me and Skip, with the student's inputs live.
TEST_F(Session, ALessonThroughHintShowMeAndSkip) {
    const std::string lesson = "# Pages\ntemp 45 C\nmap 30.0 inHg\nrpm 2400 rpm\non\nhold 2\n"
                               "ask Turn the knob up.\nhint Press +.\nanswer key PLUS\n"
                               "answer hold 0.5\nuntil page timers within 20\nwell Timers.\n"
                               "ask Up once more.\nanswer key PLUS\nanswer hold 0.5\n"
                               "until page max_values within 20\n"
                               "ask Back down.\nanswer key MINUS\nanswer hold 0.5\n"
                               "until page timers within 20\n";
    session s;
    s.library(LIBRARY_LESSONS).add("pages.txt", lesson);
    ASSERT_TRUE(s.play_library(LIBRARY_LESSONS, 0)) << s.take_alert();
    ASSERT_TRUE(s.lesson_waiting());
    EXPECT_EQ(s.lesson_title(), "Pages");
    EXPECT_TRUE(s.loop_running()) << "the student works the live instrument";
    s.lesson_hint();
    EXPECT_EQ(s.lesson()->hint_text(), "Press +.");
    // Wrong moves first: Show me starts from where the step began, and plays
    // at the pace its lines give, the key it presses lit for a moment.
    s.key(KEY_PUSH);
    for (int i = 0; i < 12; i++) s.pass();
    s.lesson_show_me();
    EXPECT_TRUE(s.lesson_showing());
    EXPECT_EQ(s.lesson()->showing(), "answer key PLUS") << "named before it plays, never the hint";
    EXPECT_FALSE(s.loop_running()) << "the lesson's passes are its own";
    s.elapse(16);
    EXPECT_EQ(s.lesson()->shown_key(), KEY_PLUS);
    EXPECT_EQ(s.lesson()->showing(), "answer hold 0.5");
    EXPECT_FALSE(s.lesson()->task().empty()) << "the task stays in view while it is shown";
    s.elapse(400);
    EXPECT_EQ(s.lesson()->shown_key(), 0);
    EXPECT_TRUE(s.lesson_showing());
    s.elapse(200);
    EXPECT_FALSE(s.lesson_showing());
    for (int i = 0; i < 30 && s.lesson()->step_number() == 1; i++) {
        s.pass();
        s.elapse(100);
    }
    EXPECT_EQ(s.lesson()->step_number(), 2);
    EXPECT_EQ(s.recording().find("key PUSH"), std::string::npos)
        << "the wrong moves left the recording with the step's start";
    s.key(KEY_PLUS); // the student's own move
    for (int i = 0; i < 30 && s.lesson()->step_number() == 2; i++) {
        s.pass();
        s.elapse(100);
    }
    EXPECT_EQ(s.lesson()->step_number(), 3);
    s.lesson_skip();
    for (int i = 0; i < 30 && s.lesson_waiting(); i++) {
        s.pass();
        s.elapse(100);
    }
    EXPECT_EQ(s.lesson()->status(), lesson_player::FINISHED);
    const lesson_summary &summary = s.lesson()->summary();
    EXPECT_EQ(summary.shown, 1);
    EXPECT_EQ(summary.unaided, 1);
    EXPECT_EQ(summary.skipped, 1);
    s.lesson_leave();
    EXPECT_EQ(s.lesson(), nullptr);
}

// Each lesson text said once, the step's well-done text before the next task.
TEST_F(Session, LessonTextsAreSaidOnceEachAsTheyChange) {
    const std::string lesson = "# Pages\ntemp 45 C\nmap 30.0 inHg\nrpm 2400 rpm\non\nhold 2\n"
                               "ask Turn the knob up.\nhint Press +.\nanswer key PLUS\n"
                               "answer hold 0.5\nuntil page timers within 20\nwell Timers.\n"
                               "ask Up once more.\nanswer key PLUS\nanswer hold 0.5\n"
                               "until page max_values within 20\n";
    session s;
    s.library(LIBRARY_LESSONS).add("pages.txt", lesson);
    ASSERT_TRUE(s.play_library(LIBRARY_LESSONS, 0)) << s.take_alert();
    EXPECT_EQ(s.lesson_announcement(), "Turn the knob up.");
    EXPECT_EQ(s.lesson_announcement(), "") << "said once";
    s.lesson_hint();
    EXPECT_EQ(s.lesson_announcement(), "Press +.");
    // Show me hides the hint while it plays; it comes back unsaid.
    s.lesson_show_me();
    for (int i = 0; i < 30 && s.lesson_showing(); i++) {
        s.elapse(100);
        EXPECT_EQ(s.lesson_announcement(), "");
    }
    for (int i = 0; i < 30 && s.lesson()->step_number() == 1; i++) {
        s.pass();
        s.elapse(100);
    }
    EXPECT_EQ(s.lesson_announcement(), "Timers. Up once more.");
    s.lesson_leave();
    EXPECT_EQ(s.lesson_announcement().rfind("0 of 2 steps done on your own", 0), 0u);
    s.lesson_leave();
    EXPECT_EQ(s.lesson_announcement(), "");
    ASSERT_TRUE(s.play_library(LIBRARY_LESSONS, 0));
    EXPECT_EQ(s.lesson_announcement(), "Turn the knob up.") << "a lesson again is said again";
}

TEST(Bindings, KeysOfBothFrontEndsFromOneTable) {
    struct {
        const char *code, *character;
        int front_end;
        panel_action action;
    } cases[] = {
        {"Enter", "", IN_PAGE, ACT_PUSH},
        {"NumpadEnter", "", IN_WINDOW, ACT_PUSH},
        {"Space", " ", IN_BOTH, ACT_PUSH},
        {"Equal", "+", IN_PAGE, ACT_PLUS},
        {"ArrowDown", "", IN_WINDOW, ACT_MINUS},
        {"KeyI", "i", IN_PAGE, ACT_ON},
        {"BracketRight", "]", IN_PAGE, ACT_FASTER},
        {"KeyQ", "q", IN_WINDOW, ACT_NONE},
        {"", "", IN_BOTH, ACT_NONE},
    };
    for (const auto &c : cases)
        EXPECT_EQ(key_action(c.code, c.character, c.front_end), c.action) << c.code;
    EXPECT_NE(bindings_help(IN_WINDOW).find("Ctrl+Q: "), std::string::npos);
    EXPECT_EQ(bindings_help(IN_PAGE).find("Ctrl+Q"), std::string::npos);
}

} // namespace
