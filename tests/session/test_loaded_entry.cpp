// What a link and the library's lists name (the entry the session holds
// now), and where a key goes by what has the focus.
#include "core/keys.h"
#include "host/session/bindings.h"
#include "host/session/session.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string LESSON = "# Up\ntemp 45 C\nmap 30.0 inHg\nrpm 2400 rpm\non\nhold 2\n"
                           "ask Turn the knob up.\nanswer key PLUS\nanswer hold 0.5\n"
                           "until page timers within 20\n";

void play_to_end(session &s) {
    for (int i = 0; i < 100000 && s.playing(); i++) s.elapse(16);
}

class Loaded : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        s.library(LIBRARY_SCENARIOS)
            .add("first.txt", "# First\nrpm 30000\non\nnote One\nhold 20\n");
        s.library(LIBRARY_SCENARIOS).add("second.txt", "# Second\non\nhold 20\n");
        s.library(LIBRARY_LESSONS).add("up.txt", LESSON);
    }
    void expect(library_kind kind, int index, const char *when) {
        EXPECT_EQ(s.loaded_kind(), kind) << when;
        EXPECT_EQ(s.loaded_index(), index) << when;
    }
    session s;
};

TEST_F(Loaded, TheLibrarysScriptUntilInputsGoOnFromIt) {
    expect(LIBRARY_KINDS, -1, "at the start");
    ASSERT_TRUE(s.play_library(LIBRARY_SCENARIOS, 1));
    expect(LIBRARY_SCENARIOS, 1, "playing");
    s.seek(5);
    s.restart();
    expect(LIBRARY_SCENARIOS, 1, "after a seek and a restart");
    play_to_end(s);
    expect(LIBRARY_SCENARIOS, 1, "after its end");
    s.key(KEY_PLUS);
    expect(LIBRARY_KINDS, -1, "a key of the user's own");
    ASSERT_TRUE(s.play_library(LIBRARY_SCENARIOS, 0));
    EXPECT_FALSE(s.play_script("on\nbogus\n", "Typo", "a file", ""));
    expect(LIBRARY_SCENARIOS, 0, "a refused script changes nothing");
    EXPECT_NE(s.take_alert(), "");
    ASSERT_TRUE(s.play_script("on\nhold 2\n", "Own", "a file", ""));
    expect(LIBRARY_KINDS, -1, "a script from a file");
}

TEST_F(Loaded, ALessonFromTheLibraryWithTheStudentsInputsAndNoEarlierTimeline) {
    ASSERT_TRUE(s.play_library(LIBRARY_SCENARIOS, 0));
    play_to_end(s);
    ASSERT_FALSE(s.timeline().empty());
    ASSERT_TRUE(s.play_library(LIBRARY_LESSONS, 0)) << s.take_alert();
    expect(LIBRARY_LESSONS, 0, "a lesson");
    EXPECT_TRUE(s.timeline().empty()) << "the scenario's timeline went with it";
    EXPECT_TRUE(s.timeline_notes().empty());
    s.key(KEY_PUSH);
    expect(LIBRARY_LESSONS, 0, "the student's key");
    s.lesson_leave();
    expect(LIBRARY_LESSONS, 0, "the summary");
    s.lesson_leave();
    expect(LIBRARY_KINDS, -1, "closed");
}

TEST(RouteKey, TheFocusKeepsOnlyWhatItUses) {
    struct {
        const char *code, *character;
        key_focus focus;
        bool combined;
        key_route_kind kind;
        int action_or_direction;
    } cases[] = {
        {"Enter", "", FOCUS_NONE, false, ROUTE_ACTION, ACT_PUSH},
        {"Enter", "", FOCUS_BUTTON, false, ROUTE_KEEP, 0}, // the button presses itself
        {"Enter", "", FOCUS_SLIDER_POINTER, false, ROUTE_ACTION, ACT_PUSH},
        {"Equal", "+", FOCUS_SLIDER_POINTER, false, ROUTE_ACTION, ACT_PLUS},
        {"Equal", "+", FOCUS_SLIDER_KEYBOARD, false, ROUTE_SLIDER_STEP, 1},
        {"ArrowUp", "", FOCUS_SLIDER_KEYBOARD, false, ROUTE_KEEP, 0},
        {"PageUp", "", FOCUS_SLIDER_POINTER, false, ROUTE_SLIDER_PAGE, 1},
        {"PageDown", "", FOCUS_SLIDER_ENTRY, false, ROUTE_SLIDER_PAGE, -1},
        {"PageUp", "", FOCUS_NONE, false, ROUTE_KEEP, 0},
        {"F1", "", FOCUS_SLIDER_ENTRY, false, ROUTE_ACTION, ACT_F1},
        {"Digit1", "1", FOCUS_SLIDER_ENTRY, false, ROUTE_KEEP, 0},
        {"Equal", "+", FOCUS_SLIDER_ENTRY, false, ROUTE_KEEP, 0},
        {"KeyO", "o", FOCUS_BUTTON, false, ROUTE_ACTION, ACT_OFF},
        {"F1", "", FOCUS_NONE, true, ROUTE_KEEP, 0},
        {"KeyA", "a", FOCUS_NONE, false, ROUTE_KEEP, 0},
    };
    for (const auto &c : cases) {
        const key_route r = route_key(c.code, c.character, c.focus, c.combined, IN_PAGE);
        EXPECT_EQ(r.kind, c.kind) << c.code << " with focus " << c.focus;
        EXPECT_EQ(r.kind == ROUTE_ACTION ? (int)r.action : r.direction, c.action_or_direction)
            << c.code << " with focus " << c.focus;
    }
}

} // namespace
