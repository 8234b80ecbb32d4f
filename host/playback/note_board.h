// The notes of a playing script as a reader sees them. The playback keeps its
// pace and only the notes lag: the note shown stays for at least
// MIN_SHOW_MS of real time, and a note that comes sooner waits its turn.
// The front end posts each note as the script reaches it and brings the
// board up to date as real time passes, both with the time in milliseconds
// of any clock that never goes back; it shows shown() and the list so far.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <deque>
#include <string>
#include <vector>

class note_board {
  public:
    // The least time a note is shown, in milliseconds of real time.
    static constexpr int64_t MIN_SHOW_MS = 2500;
    // Notes that wait at most: one more sends the oldest waiting one to the
    // list unshown, so that the notes never lag more than a few turns behind.
    static constexpr size_t MAX_WAITING = 8;

    // Forgets every note, for a new script.
    void clear();
    // A note the script reached at time `now`: shown at once when the note
    // shown has had its time and none waits, else it waits.
    void post(const std::string &text, int64_t now);
    // The script ended: the notes still waiting are listed, the last shown.
    void flush();
    // A note the script passed unseen (before the moment sought): listed only.
    void passed(const std::string &text) { listed_.push_back(text); }
    // At time `now`: the next waiting note is shown once the one shown has
    // had its time.
    void update(int64_t now);

    // The note to show, empty before the first.
    const std::string &shown() const { return shown_; }
    // The notes so far in the order the script reached them: every one shown,
    // and any sent on unshown; note(i) is the i-th since clear().
    size_t listed() const { return listed_.size(); }
    const std::string &note(size_t i) const { return listed_[i]; }
    // Notes reached but not yet shown.
    size_t waiting() const { return waiting_.size(); }

  private:
    void show(const std::string &text, int64_t now);

    std::string shown_;
    bool any_shown_ = false;
    int64_t shown_at_ = 0;
    std::deque<std::string> waiting_;
    std::vector<std::string> listed_;
};
