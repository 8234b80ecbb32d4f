// The lesson library: every lesson of the course plays from its answers;
// without any one step's answers, or without the last input of a step, it
// fails at that step; and the wrong moves students made fail where the
// lesson must catch them, while other right ways go through.
#include "host/png/png_io.h"
#include "host/script/lcd_script.h"
#include "host/shell/program_state.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string read_text(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string first_word(const std::string &line) {
    const std::vector<std::string> w = script_words(line);
    return w.empty() ? "" : w[0];
}

// The lessons in course order.
std::vector<std::string> course() {
    std::vector<std::string> names;
    std::istringstream list(read_text(LESSON_DIR "/course.list"));
    for (std::string line; std::getline(list, line);)
        if (!first_word(line).empty()) names.push_back(first_word(line));
    return names;
}

// A lesson's lines and, for each step, the index of its ask and its until.
struct lesson_text {
    std::vector<std::string> lines;
    std::vector<std::pair<size_t, size_t>> steps;
};

lesson_text split(const std::vector<std::string> &lines) {
    lesson_text lesson;
    lesson.lines = lines;
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string word = first_word(lines[i]);
        if (word == "ask") lesson.steps.push_back({i, 0});
        if (word == "until") lesson.steps.back().second = i;
    }
    return lesson;
}

lesson_text read_lesson(const std::string &name) {
    std::vector<std::string> lines;
    std::istringstream in(read_text(LESSON_DIR "/" + name));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return split(lines);
}

bool is_answer(const std::string &line) {
    return first_word(line) == "answer";
}

// The word an answer line plays: key, rpm, hold...
std::string played(const std::string &line) {
    const std::vector<std::string> w = script_words(line);
    return w.size() > 1 ? w[1] : "";
}

bool is_input(const std::string &line) {
    for (const char *input : {"key", "rpm", "map", "temp", "ramp", "exio", "on", "off"})
        if (played(line) == input) return true;
    return false;
}

struct outcome {
    bool passed;
    int line; // of the failure
    std::string error;
};

outcome play(const std::vector<std::string> &lines) {
    std::string text;
    for (const std::string &line : lines) text += line + "\n";
    reset_program_state();
    png_frame_files files{".", "."};
    lcd_script script(files, 1, [](const std::string &) {});
    const bool passed = script.run(text);
    return {passed, script.error_line(), script.error()};
}

// Whether `lines` played fail at step `step` (0-based), as a step not done.
::testing::AssertionResult fails_at(const std::vector<std::string> &lines, size_t step) {
    const outcome o = play(lines);
    const lesson_text lesson = split(lines);
    const std::string named = "step " + std::to_string(step + 1) + " (";
    if (!o.passed && o.line == (int)lesson.steps[step].second + 1 &&
        o.error.find(named) != std::string::npos && o.error.find("not done") != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << (o.passed ? "it played to its end" : "it failed with: " + o.error);
}

TEST(LessonLibrary, EveryLessonPlaysFromItsAnswers) {
    const std::vector<std::string> names = course();
    ASSERT_EQ(names.size(), 6u);
    for (const std::string &name : names) {
        const outcome o = play(read_lesson(name).lines);
        EXPECT_TRUE(o.passed) << name << ": " << o.error;
    }
}

// Each step's answers do something its condition needs: a lesson played
// without them fails at that step.
TEST(LessonLibrary, WithoutAStepsAnswersALessonFailsAtThatStep) {
    for (const std::string &name : course()) {
        const lesson_text lesson = read_lesson(name);
        for (size_t step = 0; step < lesson.steps.size(); step++) {
            std::vector<std::string> lines;
            for (size_t i = 0; i < lesson.lines.size(); i++)
                if (!(i > lesson.steps[step].first && i < lesson.steps[step].second &&
                      is_answer(lesson.lines[i])))
                    lines.push_back(lesson.lines[i]);
            EXPECT_TRUE(fails_at(lines, step)) << name << " step " << step + 1;
        }
    }
}

// A step's last input (the push that keeps a value, the last F1 back) is
// part of what it teaches: without it the lesson fails at that step.
TEST(LessonLibrary, WithoutAStepsLastInputALessonFailsAtThatStep) {
    for (const std::string &name : course()) {
        const lesson_text lesson = read_lesson(name);
        for (size_t step = 0; step < lesson.steps.size(); step++) {
            size_t last = 0;
            for (size_t i = lesson.steps[step].first; i < lesson.steps[step].second; i++)
                if (is_answer(lesson.lines[i]) && is_input(lesson.lines[i])) last = i;
            ASSERT_NE(last, 0u) << name << " step " << step + 1 << " has no input";
            std::vector<std::string> lines = lesson.lines;
            lines.erase(lines.begin() + (long)last);
            EXPECT_TRUE(fails_at(lines, step))
                << name << " step " << step + 1 << " without \"" << lesson.lines[last] << "\"";
        }
    }
}

// Answers written short, "; " between lines: a key's name (with *N for N
// of them) is that key and the half second a student takes; any other text
// is a line of its own.
std::vector<std::string> answers(const std::string &text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find("; ", at);
        if (end == std::string::npos) end = text.size();
        std::string part = text.substr(at, end - at);
        at = end + 2;
        const size_t star = part.find('*');
        const int count = star == std::string::npos ? 1 : std::stoi(part.substr(star + 1));
        const std::string key = part.substr(0, star);
        const bool is_key =
            key == "F1" || key == "F2" || key == "PUSH" || key == "PLUS" || key == "MINUS";
        for (int i = 0; i < count; i++) {
            lines.push_back("answer " + (is_key ? "key " + key : part));
            if (is_key) lines.push_back("answer hold 0.5");
        }
    }
    return lines;
}

struct student_case {
    const char *lesson;
    std::vector<std::pair<size_t, const char *>> steps; // 1-based step, its answers
    size_t fails_at;                                    // 0: plays to its end
    const char *what;
};

TEST(LessonLibrary, StudentsMovesFailWhereTheLessonMustCatchThem) {
    const student_case cases[] = {
        {"security_code.txt",
         {{4, "PLUS; F1; F1"}},
         4,
         "two F1 reach the main menu, not the run screen"},
        {"security_code.txt", {{5, "PUSH; PUSH*4"}}, 5, "0000 dialled: the gate says ERROR"},
        {"security_code.txt", {{2, "PUSH; PLUS"}}, 2, "SECURITY ON still in editing"},
        {"alarm_max_values.txt", {{4, "MINUS*2"}}, 4, "back without the F1 RESET"},
        {"alarm_max_values.txt",
         {{2, "ramp map 20.0 inHg 2"}},
         2,
         "a sweep through the green to the low alarm"},
        {"alarm_max_values.txt",
         {{2, "ramp map 20.0 inHg 1"}},
         2,
         "a fast sweep through the green"},
        {"alarm_max_values.txt", {{2, "map 29.0 inHg"}}, 2, "29.0 inHg is yellow, not green"},
        {"alarm_max_values.txt", {{2, "map 35.5 inHg"}}, 2, "35.5 inHg is yellow, not green"},
        {"alarm_max_values.txt",
         {{2, "ramp map 20.0 inHg 2; ramp map 30.0 inHg 2"}},
         0,
         "down too far, then back into the green"},
        {"alarm_max_values.txt", {{2, "map 29.5 inHg"}}, 0, "29.5 inHg is green"},
        {"magneto_check.txt",
         {{2, "F2; rpm 3920 rpm"}},
         2,
         "a drop of 80, 60 from the other side's 140"},
        {"magneto_check.txt",
         {{3, "rpm 4000 rpm; F2*2; rpm 3845 rpm"}},
         3,
         "a drop of 155, 55 from the first"},
        {"magneto_check.txt", {{3, "F2*2; rpm 3760 rpm"}}, 3, "the new check from 3900, not 4000"},
        {"magneto_check.txt",
         {{3, "rpm 3860 rpm"}},
         3,
         "no new check: the first one's drop of 140"},
        {"magneto_check.txt",
         {{3, "hold 120; rpm 4000 rpm; F2; rpm 3860 rpm"}},
         0,
         "the first check over after two minutes: one F2 starts the next"},
        {"magneto_check.txt",
         {{2, "F2; ramp rpm 3900 rpm 1"}},
         0,
         "a drag that ends on 3900 does it too"},
        {"map_limit_units.txt",
         {{2, "PLUS*4; PUSH; MINUS*3; F2; MINUS"}},
         2,
         "40.0 still in editing"},
        {"map_limit_units.txt", {{3, "MINUS*4; PUSH; PLUS"}}, 3, "mB still in editing"},
        {"map_limit_units.txt",
         {{3, "MINUS*4; PUSH; PLUS; PUSH; PLUS*4; PUSH; PLUS; PUSH"}},
         3,
         "HIGH ALARM changed before the step is done"},
        {"map_limit_units.txt",
         {{2, "PLUS*4; PUSH; F2; MINUS; F2*2; MINUS*3; PUSH"},
          {4, "PLUS*4; PUSH; F2*2; PLUS; F2*2; MINUS*5; PUSH"}},
         4,
         "the old hint followed after 40.0 set from X1.0: 495 mB"},
        {"map_limit_units.txt",
         {{2, "PLUS*4; PUSH; F2; MINUS; F2*2; MINUS*3; PUSH"},
          {4, "PLUS*4; PUSH; F2*3; PLUS; F2*2; MINUS*5; PUSH"}},
         0,
         "the hint followed after 40.0 set from X1.0"},
        {"flight_timer.txt",
         {{3, "PUSH; PLUS*3; PUSH; PLUS*4; PUSH; PLUS"}},
         3,
         "DETECT still in editing"},
        {"flight_timer.txt", {{4, "F1*2; ramp rpm 990 rpm 2"}}, 4, "below T/O RPM"},
        {"run_screen.txt",
         {{4, "PUSH; PLUS; PUSH*2; PLUS; PUSH; F1*2; PLUS"}},
         4,
         "MAX VALUES, not the MAP gauge"},
    };
    for (const student_case &c : cases) {
        const lesson_text lesson = read_lesson(c.lesson);
        std::vector<std::string> lines;
        for (size_t i = 0; i < lesson.lines.size(); i++) {
            size_t step = 0;
            while (step < lesson.steps.size() && i > lesson.steps[step].second) step++;
            const char *replaced = nullptr;
            for (const auto &s : c.steps)
                if (s.first == step + 1) replaced = s.second;
            if (replaced && i == lesson.steps[step].second) {
                const std::vector<std::string> played_instead = answers(replaced);
                lines.insert(lines.end(), played_instead.begin(), played_instead.end());
            }
            if (!(replaced && is_answer(lesson.lines[i]))) lines.push_back(lesson.lines[i]);
        }
        if (c.fails_at == 0) {
            const outcome o = play(lines);
            EXPECT_TRUE(o.passed) << c.lesson << ": " << c.what << ": " << o.error;
        } else {
            EXPECT_TRUE(fails_at(lines, c.fails_at - 1)) << c.lesson << ": " << c.what;
        }
    }
}

} // namespace
