#include "host/lessons/lesson_announcer.h"

#include "host/text/printable.h"

std::string lesson_announcer::heard(const lesson_player *lesson) {
    if (!lesson) {
        for (said &s : said_) s = said();
        return std::string();
    }
    // A text is the step's: the hint that Show me hides and brings back is
    // the same, the same well-done text after another step is new.
    const int step = lesson->step_number();
    const std::string now[TEXTS] = {lesson->well(), lesson->shown_task(), lesson->hint_text()};
    std::string out;
    for (int i = 0; i < TEXTS; i++) {
        if (now[i].empty() || (now[i] == said_[i].text && step == said_[i].step)) continue;
        said_[i] = {now[i], step};
        out += (out.empty() ? "" : " ") + printable(now[i]);
    }
    return out;
}
