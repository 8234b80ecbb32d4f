// The note board on a fake clock: each note stays readable for its minimum
// time however fast the script reaches the next, and the list keeps them all.
#include "host/lcd_script.h"
#include "host/note_board.h"
#include "host/power_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int64_t MIN = note_board::MIN_SHOW_MS;

// At time `at`: post `note` (when given), then update; the note shown after.
struct moment {
    int64_t at;
    const char *note;
    const char *shown;
};

std::vector<std::string> listed(const note_board &board) {
    std::vector<std::string> notes;
    for (size_t i = 0; i < board.listed(); i++) notes.push_back(board.note(i));
    return notes;
}

struct timeline {
    const char *name;
    std::vector<moment> moments;
};

class NoteBoardTimeline : public ::testing::TestWithParam<timeline> {};

TEST_P(NoteBoardTimeline, ShowsEachNoteForItsMinimumTime) {
    note_board board;
    for (const moment &m : GetParam().moments) {
        if (m.note) board.post(m.note, m.at);
        board.update(m.at);
        EXPECT_EQ(board.shown(), m.shown) << "at " << m.at << " ms";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Timelines, NoteBoardTimeline,
    ::testing::Values(
        timeline{"FirstAtOnce", {{0, nullptr, ""}, {40, "A", "A"}}},
        timeline{"SoonerWaits",
                 {{1000, "A", "A"},
                  {2000, "B", "A"},
                  {1000 + MIN - 1, nullptr, "A"},
                  {1000 + MIN, nullptr, "B"},
                  {1000 + 2 * MIN, nullptr, "B"}}},
        timeline{"LaterAtOnce", {{0, "A", "A"}, {MIN, "B", "B"}, {3 * MIN, "C", "C"}}},
        // Three in one frame: each gets its full time from when it is shown,
        // even when the front end looks late.
        timeline{"SameFrame",
                 {{0, "A", "A"},
                  {0, "B", "A"},
                  {0, "C", "A"},
                  {MIN + 300, nullptr, "B"},
                  {2 * MIN + 299, nullptr, "B"},
                  {2 * MIN + 300, nullptr, "C"}}},
        // A note waiting behind others waits even after a long quiet spell.
        timeline{"QueueBeforeNew",
                 {{0, "A", "A"}, {100, "B", "A"}, {10 * MIN, "C", "B"}, {11 * MIN, nullptr, "C"}}},
        // The last note stays when the script has ended.
        timeline{"LastStays",
                 {{0, "A", "A"}, {0, "B", "A"}, {MIN, nullptr, "B"}, {1000 * MIN, nullptr, "B"}}}),
    [](const ::testing::TestParamInfo<timeline> &info) { return info.param.name; });

TEST(NoteBoard, ListsEveryNoteInTheOrderReached) {
    note_board board;
    board.post("A", 0);
    board.post("B", 10);
    board.post("A", 20);
    EXPECT_EQ(listed(board), (std::vector<std::string>{"A"}));
    EXPECT_EQ(board.waiting(), 2u);
    for (int64_t t = 0; t <= 3 * MIN; t += 100) board.update(t);
    EXPECT_EQ(listed(board), (std::vector<std::string>{"A", "B", "A"}));
    EXPECT_EQ(board.waiting(), 0u);
}

// A flood of notes lags a few turns at most: the oldest waiting ones go to
// the list unshown, and the list still holds every note in order.
TEST(NoteBoard, FloodLagsAFewTurnsAtMost) {
    note_board board;
    std::vector<std::string> posted;
    for (size_t i = 0; i < note_board::MAX_WAITING + 20; i++) {
        posted.push_back("note " + std::to_string(i));
        board.post(posted.back(), 0);
    }
    EXPECT_EQ(board.waiting(), note_board::MAX_WAITING);
    int64_t t = 0;
    for (size_t turn = 0; turn < note_board::MAX_WAITING; turn++) board.update(t += MIN);
    EXPECT_EQ(board.shown(), posted.back());
    EXPECT_EQ(listed(board), posted);
}

TEST(NoteBoard, ClearForgetsEverything) {
    note_board board;
    board.post("A", 0);
    board.post("B", 0);
    board.clear();
    EXPECT_EQ(board.shown(), "");
    EXPECT_EQ(board.listed(), 0u);
    EXPECT_EQ(board.waiting(), 0u);
    board.post("C", 1);
    EXPECT_EQ(board.shown(), "C");
}

class no_files : public frame_files {
  public:
    bool write_frame(const std::string &name, const uint8_t *, int, bool,
                     std::string &where) override {
        where = name;
        return true;
    }
    bool read_golden(const std::string &, uint8_t *, std::string &error) override {
        error = "none";
        return false;
    }
};

// The script hands over every note, also two reached in one step, where its
// caption keeps only the last.
TEST(NoteBoard, ScriptHandsOverEveryNote) {
    reset_program_state();
    no_files files;
    lcd_script script(files, 1, [](const std::string &) {});
    std::vector<std::string> notes;
    script.notes_to([&](const std::string &text) { notes.push_back(text); });
    ASSERT_TRUE(script.load("note One  # a comment\nnote Two <b>\non\nhold 0.1\nnote\n"));
    EXPECT_EQ(script.advance(), lcd_script::STEP_TICK);
    EXPECT_EQ(notes, (std::vector<std::string>{"One", "Two <b>"}));
    EXPECT_EQ(script.caption(), "Two <b>");
    script.notes_to(nullptr);
    for (lcd_script::step s = script.advance(); s != lcd_script::STEP_DONE; s = script.advance())
        s == lcd_script::STEP_TICK ? script.tick() : script.pass();
    EXPECT_EQ(notes.size(), 2u);
}

} // namespace
