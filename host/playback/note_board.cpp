#include "host/playback/note_board.h"

void note_board::clear() {
    *this = note_board();
}

void note_board::post(const std::string &text, int64_t now) {
    if (waiting_.empty() && (!any_shown_ || now - shown_at_ >= MIN_SHOW_MS)) {
        show(text, now);
        return;
    }
    if (waiting_.size() == MAX_WAITING) {
        listed_.push_back(waiting_.front());
        waiting_.pop_front();
    }
    waiting_.push_back(text);
}

void note_board::update(int64_t now) {
    if (waiting_.empty() || now - shown_at_ < MIN_SHOW_MS) return;
    show(waiting_.front(), now);
    waiting_.pop_front();
}

void note_board::show(const std::string &text, int64_t now) {
    shown_ = text;
    any_shown_ = true;
    shown_at_ = now;
    listed_.push_back(text);
}

void note_board::flush() {
    if (waiting_.empty()) return;
    while (waiting_.size() > 1) {
        listed_.push_back(waiting_.front());
        waiting_.pop_front();
    }
    show(waiting_.front(), shown_at_);
    waiting_.clear();
}
