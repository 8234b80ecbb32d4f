// The texts a pass drew, as lines a screen reader says: the words of the
// description of the LCD.
#pragma once
#include <string>
#include <vector>

// A drawn text as it is said: the inches-of-mercury unit as "inHg", the
// degree sign as a blank, other bytes outside printable ASCII left out,
// blanks run together and trimmed.
std::string spoken(const char *text);

// Whether shown_texts[i] only repeats what an earlier text drew: the same
// text again in the same place (a highlight), or one character drawn over
// an earlier text on its row (a label being edited).
bool shown_text_repeated(int i);

// The texts of the last pass as lines, top to bottom: texts whose cells
// share at least half the rows of the shorter of text and line are a line, said left to
// right (top first where they stand over each other). Neighbours in one font
// that touch make one word, as do ":" and "." with what stands close to them.
struct drawn_line {
    int top; // the row of the highest cell
    std::string words;
};
std::vector<drawn_line> drawn_lines();
