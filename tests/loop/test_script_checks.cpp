// The script language's checks: `expect CONDITION [within S]` with the
// failure texts, keep-going, the script's time, a failed golden's pictures,
// golden updates, and the state as data against what the screen shows.
#include "display/frame_buffer.h"
#include "display/text.h"
#include "host/png/png_io.h"
#include "host/runner/script_runner.h"
#include "host/script/instrument_state.h"
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const std::string CRUISE = "rpm 5000 rpm\nmap 30.0 inHg\ntemp 50 C\non\nhold 1\n";

class ScriptChecks : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "checks-XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        dir = pattern;
        options.outdir = dir;
        options.goldens = dir;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    script_run_result run(const std::string &text) {
        log.clear();
        return run_script(text, "t", options, [this](const std::string &line) { log += line; });
    }

    std::string dir, log;
    script_run_options options;
};

// The failure of the one expect at line 6, or "" when it held.
std::string failure_of(const script_run_result &r) {
    if (r.result == script_run_result::PASSED) return "";
    if (r.result == script_run_result::NOT_RUN) return "not run: " + r.error;
    EXPECT_EQ(r.failures.size(), 1u);
    EXPECT_EQ(r.failures[0].line, 6);
    return r.failures[0].message;
}

TEST_F(ScriptChecks, ExpectTakesEveryConditionAndSaysWhatTheInstrumentShowed) {
    struct row {
        const char *expect;
        const char *failure; // "" when it holds
    };
    const row rows[] = {
        {"rpm 5000", ""},
        {"rpm 4000 +-10", "at 0:01.0: rpm is 5000 rpm, expected rpm 4000 +-10"},
        {"map 30.0 inHg and rpm 5000 and temp 50 C", ""},
        {"map 29.0 inHg +-0.5 and rpm 5000",
         "at 0:01.0: map is 30.0 inHg, expected map 29.0 inHg +-0.5; rpm 5000 holds"},
        {"temp 60 C", "at 0:01.0: temp is 50 C, expected temp 60 C"},
        {"page main and screen run", ""},
        {"page timers", "at 0:01.0: the page is main, expected page timers"},
        {"lamp dark and alarm none", ""},
        {"alarm none and lamp bright",
         "at 0:01.0: alarm none holds; the lamp is dark, expected lamp bright"},
        {"alarm map high", "at 0:01.0: no alarm is active, expected alarm map high"},
        {"setting map_unit inHg and setting map_high_alarm 41.3 inHg", ""},
        {"setting map_high_alarm 40.0 inHg",
         "at 0:01.0: map_high_alarm is 41.3 inHg, expected setting map_high_alarm 40.0 inHg"},
        {"flight stopped and editing no", ""},
        {"flight running", "at 0:01.0: the flight is stopped, expected flight running"},
        {"mag drop 100", "at 0:01.0: no magneto check runs, expected mag drop 100"},
        {"happened max_values_reset",
         "at 0:01.0: max_values_reset happened 0 times, expected happened max_values_reset"},
        // With `within` the script's time runs on while it waits.
        {"rpm 5000 within 3", ""},
        {"rpm 6000 within 0.5", "at 0:01.5: not within 0.5 s: rpm is 5000 rpm, expected rpm 6000"},
        // The lines of before keep their texts.
        {"screen main_menu", "at 0:01.0: the screen is run"},
        {"lamp bright", "at 0:01.0: the lamp is dark"},
    };
    for (const row &r : rows)
        EXPECT_EQ(failure_of(run(CRUISE + "expect " + r.expect + "\n")), r.failure) << r.expect;
}

TEST_F(ScriptChecks, WithinWaitsAsHoldRunsAndGoesOnOnceItHolds) {
    // The push opens the main menu at the next pass: the wait ends at the
    // first pass that shows it, long before its time is up.
    const script_run_result r =
        run(CRUISE + "key PUSH\nexpect screen main_menu within 5\nexpect screen main_menu\n");
    EXPECT_EQ(r.result, script_run_result::PASSED) << failure_of(r);
    EXPECT_LE(r.ticks, 11);
    // A wait counts toward the script's limit of ticks.
    const script_run_result long_wait = run("on\nhold 14000\nexpect rpm 9 within 400.1\n");
    EXPECT_EQ(long_wait.result, script_run_result::NOT_RUN);
    EXPECT_NE(long_wait.error.find("144000 ticks"), std::string::npos) << long_wait.error;
}

TEST_F(ScriptChecks, BadExpectLinesAreRefusedBeforeAnythingRuns) {
    const char *const lines[][2] = {
        {"expect", "expect takes a condition, or golden FILE"},
        {"expect golden", "expect takes a condition, or golden FILE"},
        {"expect frobnicate 3", "unknown condition"},
        {"expect rpm 5000 within 0", "within takes seconds"},
        {"expect rpm 5000 within soon", "within takes seconds"},
        {"expect setting nothing 1", "no setting is named"},
    };
    for (const auto &l : lines) {
        const script_run_result r = run(std::string("on\npass\n") + l[0] + "\n");
        EXPECT_EQ(r.result, script_run_result::NOT_RUN) << l[0];
        EXPECT_EQ(r.error_line, 3) << l[0];
        EXPECT_NE(r.error.find(l[1]), std::string::npos) << r.error;
    }
}

TEST_F(ScriptChecks, KeepGoingReportsEveryFailureInOrder) {
    const std::string text =
        CRUISE + "expect rpm 1\nhold 0.5\nexpect rpm 5000\nexpect lamp bright\n";
    const script_run_result stops = run(text);
    ASSERT_EQ(stops.failures.size(), 1u);
    options.keep_going = true;
    const script_run_result all = run(text);
    EXPECT_EQ(all.result, script_run_result::FAILED);
    ASSERT_EQ(all.failures.size(), 2u);
    EXPECT_EQ(all.failures[0].line, 6);
    EXPECT_EQ(all.failures[1].line, 9);
    EXPECT_EQ(all.failures[1].message, "at 0:01.5: the lamp is dark");
    EXPECT_EQ(all.ticks, 15); // ran to its end
}

TEST(ScriptTime, ReadsAsAClockWithTenths) {
    const std::pair<long long, const char *> rows[] = {
        {0, "0:00.0"}, {314, "0:31.4"}, {6001, "10:00.1"}, {36005, "1:00:00.5"}};
    for (const auto &r : rows) EXPECT_EQ(script_time(r.first), r.second);
}

TEST_F(ScriptChecks, AFailedGoldenLeavesTheActualFrameAndTheDifference) {
    ASSERT_EQ(run(CRUISE + "golden g\n").result, script_run_result::PASSED);
    const script_run_result r = run(CRUISE + "key PLUS\nhold 0.5\nexpect golden g.png\n");
    ASSERT_EQ(r.result, script_run_result::FAILED);
    const std::string &m = r.failures[0].message;
    EXPECT_EQ(m.rfind("at 0:01.5: the frame differs from g.png in ", 0), 0u) << m;
    EXPECT_NE(m.find(dir + "/g-actual.png"), std::string::npos) << m;
    EXPECT_NE(m.find(dir + "/g-diff.png"), std::string::npos) << m;
    // The colours by name or RGB, never as palette indices alone.
    EXPECT_NE(m.find(" instead of #"), std::string::npos) << m;
    std::vector<uint8_t> actual;
    int width = 0, height = 0;
    ASSERT_TRUE(read_indexed_png(dir + "/g-actual.png", actual, width, height));
    EXPECT_TRUE(std::equal(actual.begin(), actual.end(), frame_buffer));
    std::vector<uint32_t> diff;
    ASSERT_TRUE(read_rgba_png(dir + "/g-diff.png", diff, width, height));
    EXPECT_EQ(width, (3 * LCD_WIDTH + 8) * 4);
    EXPECT_EQ(height, LCD_HEIGHT * 4);
}

TEST_F(ScriptChecks, UpdateWritesOnlyTheGoldensThatChanged) {
    ASSERT_EQ(run(CRUISE + "golden a\ngolden b\n").result, script_run_result::PASSED);
    options.update_goldens = true;
    // b stays; a now shows another page; c is new; the rpm failure is passed by.
    const script_run_result r = run(CRUISE + "expect golden b.png\nexpect rpm 1\nkey PLUS\n"
                                             "hold 0.5\nexpect golden a.png\nexpect golden "
                                             "sub/c.png\nshot not_written\n");
    EXPECT_EQ(r.result, script_run_result::FAILED);
    ASSERT_EQ(r.updated.size(), 2u);
    EXPECT_EQ(r.updated[0], dir + "/a.png");
    EXPECT_EQ(r.updated[1], dir + "/sub/c.png");
    EXPECT_FALSE(std::filesystem::exists(dir + "/not_written.png"));
    options.update_goldens = false;
    EXPECT_EQ(
        run(CRUISE + "key PLUS\nhold 0.5\nexpect golden a.png\nexpect golden sub/c.png\n").result,
        script_run_result::PASSED);
}

// Whether the last pass drew `text`.
bool drawn(const std::string &text) {
    for (int i = 0; i < shown_text_count; i++)
        if (text == shown_texts[i].text) return true;
    return false;
}

bool has(const std::string &json, const std::string &part) {
    return json.find(part) != std::string::npos;
}

TEST_F(ScriptChecks, TheStateSaysWhatTheScreenShows) {
    // The digital page: each reading is a text drawn, in the unit shown.
    ASSERT_EQ(run(CRUISE + "state s\n").result, script_run_result::PASSED);
    std::string json = instrument_state_json(true, 10);
    EXPECT_TRUE(has(json, "\"screen\": \"run\",\n  \"page\": \"main\""));
    EXPECT_TRUE(has(json, "\"rpm\": {\"value\": 5000, \"unit\": \"rpm\", \"text\": \"5000\"}"));
    EXPECT_TRUE(has(json, "\"map\": {\"value\": 30.0, \"unit\": \"inHg\", \"text\": \"30.0\"}"));
    EXPECT_TRUE(drawn("5000") && drawn("30.0") && drawn("50"));
    EXPECT_TRUE(std::filesystem::exists(dir + "/s.json"));

    // No sensor: the screen reads --- and the state null; the TEMP low alarm.
    ASSERT_EQ(run(CRUISE + "temp 4096\nhold 1\n").result, script_run_result::PASSED);
    json = instrument_state_json(true, 20);
    EXPECT_TRUE(drawn("---"));
    EXPECT_TRUE(has(json, "\"temp\": null}")) << json;

    // MAX VALUES: the page and the maxima drawn on it.
    ASSERT_EQ(run(CRUISE + "rpm 5500 rpm\nhold 1\nrpm 5000 rpm\nkey PLUS\nhold 0.5\nkey PLUS\n"
                           "hold 0.5\n")
                  .result,
              script_run_result::PASSED);
    json = instrument_state_json(true, 20);
    EXPECT_TRUE(has(json, "\"page\": \"max_values\"")) << json;
    EXPECT_TRUE(has(json, "\"max\": {\"rpm\": {\"value\": 5500, \"unit\": \"rpm\"}")) << json;
    EXPECT_TRUE(drawn("5500"));

    // An alarm acknowledged, and a menu with no run-screen page.
    ASSERT_EQ(run(CRUISE + "map 45.0 inHg\nhold 1\nkey F1\nhold 0.5\n").result,
              script_run_result::PASSED);
    json = instrument_state_json(true, 15);
    EXPECT_TRUE(has(json, "\"map\": {\"side\": \"high\", \"acknowledged\": true}")) << json;
    EXPECT_TRUE(has(json, "\"lamp\": \"dark\""));
    ASSERT_EQ(run(CRUISE + "key PUSH\nhold 0.5\n").result, script_run_result::PASSED);
    json = instrument_state_json(true, 15);
    EXPECT_TRUE(has(json, "\"screen\": \"main_menu\",\n  \"page\": null")) << json;
    EXPECT_TRUE(has(json, "\"time\": 1.5"));
    EXPECT_TRUE(has(json, "\"settings\": {\"map_unit\": \"inHg\""));
}

} // namespace
