// What a front end says of a lesson for a screen reader: the well-done text,
// the task (or the summary at the end) and the hint, each once a step when
// it shows, joined in that order, as printable text.
#pragma once
#include "host/lessons/lesson_player.h"

#include <string>

class lesson_announcer {
  public:
    // The lesson as it is now (null: none); the text new since the last
    // call, empty when nothing is.
    std::string heard(const lesson_player *lesson);

  private:
    // The well-done text, the task and the hint last said, and their step.
    static const int TEXTS = 3;
    struct said {
        std::string text;
        int step = 0;
    } said_[TEXTS];
};
