// The note board on a fake clock: each note stays readable for its minimum
// time however fast the script reaches the next, and the list keeps them all.
#include "host/playback/note_board.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int64_t MIN = note_board::MIN_SHOW_MS;

std::vector<std::string> listed(const note_board &board) {
    std::vector<std::string> notes;
    for (size_t i = 0; i < board.listed(); i++) notes.push_back(board.note(i));
    return notes;
}

// At time `at`: post `note` (when given), then update; the note shown after.
struct moment {
    int64_t at;
    const char *note;
    const char *shown;
};

TEST(NoteBoard, ShowsEachNoteForItsMinimumTime) {
    const std::vector<std::vector<moment>> timelines = {
        {{0, nullptr, ""}, {40, "A", "A"}, {40 + MIN, "B", "B"}, {40 + 9 * MIN, "C", "C"}},
        // Sooner notes wait; each gets its full time from when it is shown,
        // even when the front end looks late; the last one stays.
        {{1000, "A", "A"},
         {1000, "B", "A"},
         {2000, "C", "A"},
         {1000 + MIN - 1, nullptr, "A"},
         {1000 + MIN + 300, nullptr, "B"},
         {1000 + 2 * MIN + 299, nullptr, "B"},
         {1000 + 2 * MIN + 300, nullptr, "C"},
         {1000 * MIN, nullptr, "C"}},
        // A waiting note keeps its place before a new one after a long gap.
        {{0, "A", "A"}, {100, "B", "A"}, {10 * MIN, "C", "B"}, {11 * MIN, nullptr, "C"}},
    };
    for (const std::vector<moment> &timeline : timelines) {
        note_board board;
        for (const moment &m : timeline) {
            if (m.note) board.post(m.note, m.at);
            board.update(m.at);
            EXPECT_EQ(board.shown(), m.shown) << "at " << m.at << " ms";
        }
        EXPECT_EQ(board.waiting(), 0u);
    }
}

// A flood of notes lags a few turns at most: the oldest waiting ones go to
// the list unshown, and the list holds every note in order.
TEST(NoteBoard, FloodLagsAFewTurnsAtMost) {
    note_board board;
    std::vector<std::string> posted;
    for (size_t i = 0; i < note_board::MAX_WAITING + 20; i++) {
        posted.push_back("note " + std::to_string(i % 3));
        board.post(posted.back(), 0);
    }
    EXPECT_EQ(board.waiting(), note_board::MAX_WAITING);
    for (size_t turn = 1; turn <= note_board::MAX_WAITING; turn++) board.update(turn * MIN);
    EXPECT_EQ(listed(board), posted);
    board.clear();
    EXPECT_EQ(board.listed() + board.waiting() + board.shown().size(), 0u);
}

} // namespace
