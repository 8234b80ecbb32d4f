#include "host/lessons/lesson_announcer.h"

#include "host/text/printable.h"

std::string lesson_announcer::heard(const lesson_player *lesson) {
    const std::string now[] = {lesson ? lesson->well() : std::string(),
                               lesson ? lesson->shown_task() : std::string(),
                               lesson ? lesson->hint_text() : std::string()};
    std::string *said[] = {&well_, &task_, &hint_};
    std::string out;
    for (int i = 0; i < 3; i++) {
        if (now[i] == *said[i]) continue;
        *said[i] = now[i];
        if (!now[i].empty()) out += (out.empty() ? "" : " ") + printable(now[i]);
    }
    return out;
}
