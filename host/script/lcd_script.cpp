// lcd_script: reading and checking a script, the lesson's lines included.
#include "host/script/lcd_script.h"

#include "core/keys.h"
#include "host/script/script_internal.h"
#include "host/script/setting_table.h"
#include "host/shell/screen_table.h"
#include "host/text/printable.h"

#include <errno.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <istream>

namespace {

const long long MAX_COUNT = lcd_script::MAX_COUNT;

bool slider_named(const std::string &name, slider_id &slider) {
    if (name == "rpm")
        slider = SLIDER_RPM;
    else if (name == "map")
        slider = SLIDER_MAP;
    else if (name == "temp")
        slider = SLIDER_TEMP;
    else
        return false;
    return true;
}

// Seconds with at most one decimal, as ticks of 100 ms.
bool parse_seconds(const std::string &text, long long &ticks) {
    int32_t tenths = 0;
    if (text.empty() || text[0] == '-' || !parse_figure(text, FIGURE_INHG, tenths)) return false;
    ticks = tenths;
    return ticks <= MAX_COUNT;
}

// How much of a bad line an error message repeats.
const size_t QUOTED_LENGTH = 80;

struct key_name {
    const char *name;
    uint8_t code;
};

const key_name KEYS[] = {
    {"F1", KEY_F1}, {"F2", KEY_F2}, {"PUSH", KEY_PUSH}, {"PLUS", KEY_PLUS}, {"MINUS", KEY_MINUS},
};

// The text of a line after its command word, without its comment and the
// blanks around it.
std::string text_after(const std::string &line, const std::string &word) {
    const std::string text = line.substr(0, line.find('#'));
    const size_t from = text.find_first_not_of(" \t", text.find(word) + word.size());
    const size_t to = text.find_last_not_of(" \t\r");
    return from == std::string::npos ? "" : text.substr(from, to - from + 1);
}

// A whole decimal integer, sign allowed.
bool parse_integer(const std::string &text, long long &value) {
    if (text.empty()) return false;
    errno = 0;
    char *end = nullptr;
    value = strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool valid_shot_name(const std::string &name) {
    if (name.empty() || name[0] == '.') return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '_' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

bool known_screen(const std::string &name) {
    for (int i = 0; i < screen_table_size; i++)
        if (name == screen_table[i].name) return true;
    return false;
}

// Text from a script as a message repeats it, cut after QUOTED_LENGTH characters.
std::string quoted(const std::string &text) {
    return printable(text, QUOTED_LENGTH);
}

} // namespace

bool key_code(const std::string &name, uint8_t &code) {
    for (const key_name &k : KEYS)
        if (name == k.name) {
            code = k.code;
            return true;
        }
    return false;
}

std::vector<std::string> script_words(const std::string &line) {
    const std::string text = line.substr(0, line.find('#'));
    std::vector<std::string> words;
    const char *const blanks = " \t\n\v\f\r";
    for (size_t at = text.find_first_not_of(blanks); at != std::string::npos;) {
        const size_t end = text.find_first_of(blanks, at);
        words.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? end : text.find_first_not_of(blanks, end);
    }
    return words;
}

lcd_script::lcd_script(frame_files &files, int scale, script_report report)
    : files_(files), scale_(scale), report_(std::move(report)) {}

bool lcd_script::fail(int number, const std::string &line, const std::string &message) {
    error_line_ = number;
    error_ = number == 0 ? printable(message)
                         : "line " + std::to_string(number) + ": " + printable(message) + ": \"" +
                               quoted(line) + "\"";
    message_ = printable(message);
    check_failed_ = false;
    failed_ = true;
    return false;
}

// A failed expectation: the script stops there, or with keep_going notes it
// and goes on. Its message carries the script's time.
bool lcd_script::fail_check(const command &c, const std::string &message) {
    const std::string timed = "at " + script_time(ticks_played_) + ": " + message;
    if (keep_going_ || update_goldens_) {
        failures_.push_back({c.number, printable(timed)});
        return true;
    }
    fail(c.number, source(c), message);
    message_ = printable(timed);
    check_failed_ = true;
    return false;
}

std::string script_time(long long ticks) {
    const long long seconds = ticks / 10;
    char text[40];
    if (seconds >= 3600)
        snprintf(text, sizeof text, "%lld:%02lld:%02lld.%lld", seconds / 3600, seconds / 60 % 60,
                 seconds % 60, ticks % 10);
    else
        snprintf(text, sizeof text, "%lld:%02lld.%lld", seconds / 60, seconds % 60, ticks % 10);
    return text;
}

bool lcd_script::load(std::istream &in) {
    // Reads one byte past the cap, so that a longer script is refused
    // without being read whole.
    std::string text(MAX_SCRIPT_BYTES + 1, '\0');
    in.read(&text[0], (std::streamsize)text.size());
    text.resize((size_t)in.gcount());
    return load(std::move(text));
}

bool lcd_script::load(std::string text) {
    commands_.clear();
    conditions_.clear();
    steps_.clear();
    showing_ = false;
    next_ = 0;
    started_ = false;
    failed_ = false;
    error_.clear();
    message_.clear();
    error_line_ = 0;
    check_failed_ = false;
    failures_.clear();
    updated_.clear();
    ticks_played_ = 0;
    total_ticks_ = total_passes_ = 0;
    pictures_ = 0;
    rehearsal_started_ = false;
    rehearsal_state_.bytes.clear();
    work_done_ = 0;
    text_ = std::move(text);
    if (text_.size() > MAX_SCRIPT_BYTES) {
        text_.clear();
        return fail(0, "",
                    "the script is longer than " + std::to_string(MAX_SCRIPT_BYTES) +
                        " bytes (1 MB)");
    }
    bool running = panel_.running;
    size_t at = text_.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    for (int number = 1; at < text_.size(); number++) {
        size_t end = text_.find('\n', at);
        if (end == std::string::npos) end = text_.size();
        size_t length = end - at;
        if (length > (size_t)MAX_LINE)
            return fail(number, text_.substr(at, MAX_LINE),
                        "line longer than " + std::to_string(MAX_LINE));
        if (length > 0 && text_[at + length - 1] == '\r') length--;
        const size_t count = commands_.size();
        if (!parse(text_.substr(at, length), number, running)) {
            commands_.clear();
            return false;
        }
        if (commands_.size() > count) {
            commands_.back().at = (uint32_t)at;
            commands_.back().length = (uint32_t)length;
        }
        at = end + 1;
    }
    if (!steps_.empty() && steps_.back().until == SIZE_MAX) {
        const lesson_step &open = steps_.back();
        const command &ask = commands_[open.first - 1];
        fail(open.line, source(ask), "the step has no until");
        commands_.clear();
        return false;
    }
    return true;
}

std::string lcd_script::source(const command &c) const {
    return text_.substr(c.at, c.length);
}

// Adds a line's ticks and passes to the script's totals; refuses the line
// that takes them past a limit.
bool lcd_script::count_work(int number, const std::string &line, long long ticks,
                            long long passes) {
    total_ticks_ += ticks;
    total_passes_ += passes;
    if (total_ticks_ > MAX_TOTAL_TICKS)
        return fail(number, line,
                    "the script runs more than " + std::to_string(MAX_TOTAL_TICKS) +
                        " ticks in all (4 hours), the limit, by this line");
    if (total_passes_ > MAX_TOTAL_PASSES)
        return fail(number, line,
                    "the script runs more than " + std::to_string(MAX_TOTAL_PASSES) +
                        " passes in all, the limit, by this line");
    return true;
}

// Checks one line and appends what it does; `running` follows on and off, so
// that a pass while off is found before anything runs.
bool lcd_script::parse(const std::string &line, int number, bool &running) {
    if (line.find('\0') != std::string::npos) return fail(number, line, "a NUL byte in the line");
    const std::vector<std::string> w = script_words(line);
    if (w.empty()) return true;
    const std::string &cmd = w[0];
    const size_t args = w.size() - 1;
    command c{-1, number, 0, 0, 0, args > 0 ? w[1] : std::string(), {}, 1, 0, false, {}};
    slider_move &first = c.legs[0];
    first = {SLIDER_RPM, FIGURE_RAW, 0};

    // Commands taking an optional count or a required number share this.
    auto number_arg = [&](bool optional, long long lo, long long hi, const char *what) {
        c.value = 1;
        if (args == 0 && optional) return true;
        if (args != 1) return fail(number, line, cmd + " takes " + what);
        if (!parse_integer(w[1], c.value))
            return fail(number, line, "not a number: " + quoted(w[1]));
        if (c.value < lo || c.value > hi)
            return fail(number, line,
                        what + (" out of " + std::to_string(lo) + ".." + std::to_string(hi)));
        return true;
    };
    auto on_off = [&]() {
        if (args != 1 || (w[1] != "on" && w[1] != "off"))
            return fail(number, line, cmd + " takes on or off");
        c.value = w[1] == "on";
        return true;
    };
    auto no_args = [&]() { return args == 0 || fail(number, line, cmd + " takes no argument"); };
    // A slider's target from words[at]: a position, or a figure and its unit.
    auto target = [&](slider_move &move, size_t at, size_t count) {
        if (count == 1) {
            if (!parse_integer(w[at], move.value))
                return fail(number, line, "not a number: " + quoted(w[at]));
            return true;
        }
        if (count != 2)
            return fail(number, line,
                        cmd + " takes a position, or a figure and its unit (" +
                            (move.slider == SLIDER_RPM   ? "rpm"
                             : move.slider == SLIDER_MAP ? "mB or inHg"
                                                         : "C or F") +
                            ")");
        if (!parse_figure_unit(move.slider, w[at + 1], move.unit))
            return fail(number, line, "not a unit of " + w[at - 1] + ": " + quoted(w[at + 1]));
        int32_t figure = 0;
        if (!parse_figure(w[at], move.unit, figure))
            return fail(number, line, "not a figure in " + w[at + 1] + ": " + quoted(w[at]));
        move.value = figure;
        return true;
    };
    // The legs of a ramp, words 1 up to the seconds: each a slider's name,
    // then its target, with the unit when the next word is one of its units.
    auto ramp_legs = [&]() {
        const size_t end = w.size() - 1;
        c.leg_count = 0;
        for (size_t at = 1; at < end;) {
            slider_move move{SLIDER_RPM, FIGURE_RAW, 0};
            if (!slider_named(w[at], move.slider))
                return fail(number, line, "ramp takes rpm, map or temp, a target and seconds");
            for (int i = 0; i < c.leg_count; i++)
                if (c.legs[i].slider == move.slider)
                    return fail(number, line, "ramp moves " + w[at] + " twice");
            if (c.leg_count == MAX_RAMP_LEGS)
                return fail(number, line, "ramp takes rpm, map or temp, a target and seconds");
            // Its target runs to the next slider's name; "rpm" right after
            // an RPM figure is its unit.
            figure_unit unit;
            size_t next = at + 1;
            slider_id named;
            while (next < end &&
                   !(slider_named(w[next], named) &&
                     !(next == at + 2 && parse_figure_unit(move.slider, w[next], unit))))
                next++;
            const size_t count = next - at - 1;
            if (!target(move, at + 1, count)) return false;
            c.legs[c.leg_count++] = move;
            at += 1 + count;
        }
        return true;
    };

    if (cmd == "answer") {
        const std::string played = text_after(line, "answer");
        const std::string first = played.substr(0, played.find_first_of(" \t"));
        if (steps_.empty() || steps_.back().until != SIZE_MAX)
            return fail(number, line, "an answer belongs to a step, between its ask and its until");
        if (played.empty() || first == "answer" || first == "ask" || first == "until" ||
            first == "hint" || first == "well")
            return fail(number, line, "answer takes a line of inputs to play");
        const size_t count = commands_.size();
        if (!parse(played, number, running)) return false;
        if (commands_.size() == count) return fail(number, line, "answer takes a line to play");
        commands_.back().answer = true;
        return true;
    } else if (cmd == "ask" || cmd == "hint" || cmd == "well" || cmd == "until") {
        if (!parse_lesson_line(w, line, number, running, c)) return false;
    } else if (cmd == "on" || cmd == "off") {
        if (!no_args()) return false;
        c.op = cmd == "on" ? OP_ON : OP_OFF;
        running = cmd == "on";
    } else if (cmd == "key") {
        if (args != 1) return fail(number, line, "key takes F1, F2, PUSH, PLUS or MINUS");
        uint8_t code = 0;
        if (key_code(w[1], code)) c.value = code;
        if (c.value == 0)
            return fail(number, line,
                        "unknown key " + quoted(w[1]) + " (F1, F2, PUSH, PLUS, MINUS)");
        c.op = OP_KEY;
    } else if (slider_named(cmd, first.slider)) {
        if (!target(first, 1, args)) return false;
        c.op = OP_SLIDER;
    } else if (cmd == "ramp") {
        if (args < 3 || !slider_named(w[1], first.slider))
            return fail(number, line, "ramp takes rpm, map or temp, a target and seconds");
        if (!ramp_legs()) return false;
        if (!parse_seconds(w.back(), c.ticks))
            return fail(number, line,
                        "seconds out of 0..100000.0, one decimal: " + quoted(w.back()));
        c.op = OP_RAMP;
        if (!count_work(number, line, c.ticks, running ? c.ticks * PASSES_PER_TICK : 0))
            return false;
    } else if (cmd == "hold") {
        if (args != 1 || !parse_seconds(w[1], c.ticks))
            return fail(number, line, "hold takes seconds, 0..100000.0 with one decimal");
        c.op = OP_HOLD;
        if (!count_work(number, line, c.ticks, running ? c.ticks * PASSES_PER_TICK : 0))
            return false;
    } else if (cmd == "note") {
        c.word = text_after(line, "note");
        c.op = OP_NOTE;
    } else if (cmd == "set") {
        if (args < 2) return fail(number, line, "set takes a setting's name and its value");
        const int index = find_setting(w[1]);
        if (index < 0) return fail(number, line, "no setting is named \"" + printable(w[1], 40) + "\"");
        std::string why;
        if (!read_setting_value(index, {w.begin() + 2, w.end()}, c.setting, why))
            return fail(number, line, why);
        c.op = OP_SET;
        c.value = index;
    } else if (cmd == "exio") {
        if (!on_off()) return false;
        c.op = OP_EXIO;
    } else if (cmd == "engine-timers") {
        if (!on_off()) return false;
        c.op = OP_ENGINE_TIMERS;
    } else if (cmd == "tick") {
        if (!number_arg(true, 0, MAX_COUNT, "a count")) return false;
        c.op = OP_TICK;
        if (!count_work(number, line, c.value, 0)) return false;
    } else if (cmd == "pass") {
        if (!number_arg(true, 0, MAX_COUNT, "a count")) return false;
        if (!running) return fail(number, line, "the instrument is off: no pass runs");
        c.op = OP_PASS;
        if (!count_work(number, line, 0, c.value)) return false;
    } else if (cmd == "scale") {
        if (!number_arg(false, MIN_SCALE, MAX_SCALE, "a scale")) return false;
        c.op = OP_SCALE;
    } else if (cmd == "shot" || cmd == "golden" || cmd == "state") {
        if (args != 1 || !valid_shot_name(w[1]))
            return fail(number, line, cmd + " takes a file name of letters, digits, _ - .");
        c.op = cmd == "shot" ? OP_SHOT : cmd == "golden" ? OP_GOLDEN : OP_STATE;
        if (++pictures_ > MAX_PICTURES)
            return fail(number, line,
                        "the script writes more than " + std::to_string(MAX_PICTURES) +
                            " pictures, the limit");
    } else if (cmd == "expect" && args == 2 && w[1] == "screen") {
        if (!known_screen(w[2])) return fail(number, line, "no screen is named " + quoted(w[2]));
        c.op = OP_EXPECT_SCREEN;
        c.word = w[2];
    } else if (cmd == "expect" && args == 2 && w[1] == "lamp" &&
               (w[2] == "bright" || w[2] == "dark")) {
        c.op = OP_EXPECT_LAMP;
        c.word = w[2];
    } else if (cmd == "expect" && args == 2 && w[1] == "golden") {
        c.op = OP_EXPECT_GOLDEN;
        c.word = w[2];
    } else if (cmd == "expect") {
        if (!parse_expectation(w, line, number, running, c)) return false;
    } else {
        return fail(number, line, "unknown command " + quoted(cmd));
    }
    commands_.push_back(c);
    return true;
}

// The lines that make a lesson: a step opens with `ask`, has at most one hint
// and one well, and closes with `until`.
bool lcd_script::parse_lesson_line(const std::vector<std::string> &w, const std::string &line,
                                   int number, bool running, command &c) {
    const std::string &cmd = w[0];
    const bool open = !steps_.empty() && steps_.back().until == SIZE_MAX;
    if (cmd == "ask") {
        if (open) return fail(number, line, "the step before has no until");
        steps_.push_back({printable(text_after(line, "ask")), "", "", commands_.size() + 1,
                          SIZE_MAX, 0, number});
        if (steps_.back().task.empty()) return fail(number, line, "ask takes the task's text");
        c.op = OP_ASK;
        c.value = (long long)steps_.size() - 1;
        return true;
    }
    if (steps_.empty()) return fail(number, line, cmd + " belongs to a step: ask first");
    lesson_step &step = steps_.back();
    if (cmd == "hint" || cmd == "well") {
        std::string &text = cmd == "hint" ? step.hint : step.well;
        if (!text.empty()) return fail(number, line, "the step has a " + cmd + " already");
        text = printable(text_after(line, cmd));
        if (text.empty()) return fail(number, line, cmd + " takes a text");
        c.op = cmd == "hint" ? OP_HINT : OP_WELL;
        return true;
    }
    if (!open) return fail(number, line, "the step has an until already: ask opens the next");
    c.ticks = DEFAULT_WAIT_TICKS;
    bool timed = false;
    if (!parse_timed_condition(w, line, number, 3, text_after(line, "until"), c, timed)) return false;
    if (timed) step.within = c.ticks;
    c.op = OP_UNTIL;
    step.until = commands_.size();
    return count_work(number, line, c.ticks, running ? c.ticks * PASSES_PER_TICK : 0);
}

// A condition, with `within SECONDS` at its end when the line has at least
// `least_words` words, kept for `c`; c.ticks becomes the seconds given.
bool lcd_script::parse_timed_condition(const std::vector<std::string> &w, const std::string &line,
                                       int number, size_t least_words, std::string condition,
                                       command &c, bool &timed) {
    timed = w.size() >= least_words && w[w.size() - 2] == "within";
    if (timed) {
        if (!parse_seconds(w.back(), c.ticks) || c.ticks == 0)
            return fail(number, line, "within takes seconds, 0.1..100000.0 with one decimal");
        condition = condition.substr(0, condition.rfind("within"));
    }
    lesson_condition parsed;
    std::string problem;
    if (!parse_condition(condition, parsed, problem)) return fail(number, line, problem);
    conditions_.push_back(parsed);
    c.value = (long long)conditions_.size() - 1;
    return true;
}

// `expect CONDITION [within SECONDS]`: a lesson's condition, checked at once
// or waited for as `until` waits with no student.
bool lcd_script::parse_expectation(const std::vector<std::string> &w, const std::string &line,
                                   int number, bool running, command &c) {
    if (w.size() == 1 || w[1] == "golden")
        return fail(number, line, "expect takes a condition, or golden FILE");
    c.ticks = 0;
    bool timed = false;
    if (!parse_timed_condition(w, line, number, 4, text_after(line, "expect"), c, timed)) return false;
    c.op = OP_EXPECT;
    return count_work(number, line, c.ticks, running ? c.ticks * PASSES_PER_TICK : 0);
}
