#include "host/figures/lcd_description.h"

#include <algorithm>

namespace {

// The lines and then the notes, as one list.
std::vector<std::string> all_lines(const lcd_description &d) {
    std::vector<std::string> all = d.lines;
    all.insert(all.end(), d.notes.begin(), d.notes.end());
    return all;
}

bool among(const std::vector<std::string> &list, const std::string &s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

void add(std::string &out, const std::string &sentence) {
    if (sentence.empty()) return;
    out += (out.empty() ? "" : ". ") + sentence;
}

} // namespace

void lcd_announcer::tick() {
    if (ticks_since_ < ANNOUNCE_TICKS) ticks_since_++;
}

void lcd_announcer::user_input(bool engine_slider) {
    input_passes_ = INPUT_PASSES;
    slider_ = engine_slider;
}

// What is new since the last announcement: the whole text on another
// screen, else what an input changed: lines (those the focus says left
// out) and the focus; and the alarm state.
std::string lcd_announcer::changes(const lcd_description &now) const {
    if (!any_ || now.screen != said_.screen) return now.text;
    std::string out;
    const std::vector<std::string> all = all_lines(now), before = all_lines(said_);
    for (size_t i : input_lines_)
        if (i < all.size() && !among(before, all[i]) && now.focus.find(all[i]) == std::string::npos)
            add(out, all[i]);
    if (focus_changed_ && now.focus != said_.focus) add(out, now.focus);
    if (now.alarm != said_.alarm) add(out, now.alarm);
    return out;
}

bool lcd_announcer::offer(const lcd_description &now) {
    const bool attributed = input_passes_ > 0 && !(slider_ && now.run_screen);
    if (input_passes_ > 0) input_passes_--;
    if (any_ && now.screen == said_.screen) {
        const std::vector<std::string> all = all_lines(now), before = all_lines(said_);
        for (size_t i = 0; i < all.size(); i++)
            if (attributed && !among(before, all[i])) input_lines_.insert(i);
        focus_changed_ |= attributed && now.focus != said_.focus;
        // What moved on by itself (a live figure) is taken as known.
        if (input_lines_.empty() && !focus_changed_) {
            said_.lines = now.lines;
            said_.notes = now.notes;
            said_.focus = now.focus;
        }
    }
    if (ticks_since_ < ANNOUNCE_TICKS) return false;
    const std::string text = changes(now);
    const bool input_said = !input_lines_.empty() || focus_changed_;
    input_lines_.clear();
    focus_changed_ = false;
    if (text.empty()) return false;
    // What the input changed is said: later changes are the figures' own.
    if (input_said) input_passes_ = 0;
    announcement_ = text;
    said_ = now;
    any_ = true;
    ticks_since_ = 0;
    return true;
}
