#include "host/lcd_script.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "host/engine_timers.h"
#include "host/power_loop.h"
#include "host/screen_table.h"
#include "screens/screen.h"
#include "tools/png/png_io.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

namespace {

const long long RPM_MIN = 1, RPM_MAX = 100000;
const long long MAP_MIN = 1, MAP_MAX = 4096;
const long long TEMP_MIN = 0, TEMP_MAX = 4096;
const long long MAX_COUNT = lcd_script::MAX_COUNT;

// How much of a bad line an error message repeats.
const size_t QUOTED_LENGTH = 80;

struct key_name {
    const char *name;
    uint8_t code;
};

const key_name KEYS[] = {
    {"F1", KEY_F1}, {"F2", KEY_F2}, {"PUSH", KEY_PUSH}, {"PLUS", KEY_PLUS}, {"MINUS", KEY_MINUS},
};

// The words of a line with its comment removed.
std::vector<std::string> split(const std::string &line) {
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// A whole decimal integer, sign allowed.
bool parse_integer(const std::string &text, long long &value) {
    if (text.empty()) return false;
    errno = 0;
    char *end = nullptr;
    value = strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

long long clamp(long long v, long long lo, long long hi) {
    return v < lo ? lo : v > hi ? hi : v;
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

const char *lamp_name() {
    return lamp_red == LAMP_BRIGHT ? "bright" : "dark";
}

// A line as an error message quotes it: control and non-ASCII bytes as \xNN,
// cut after QUOTED_LENGTH characters.
std::string quoted(const std::string &line) {
    std::string out;
    for (unsigned char c : line.substr(0, QUOTED_LENGTH)) {
        if (c >= 32 && c < 127) {
            out += (char)c;
        } else {
            char hex[5];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (line.size() > QUOTED_LENGTH) out += "...";
    return out;
}

// Compares the frame buffer with an indexed 160 x 120 PNG; an empty result
// means they are equal.
std::string compare_golden(const std::string &path) {
    std::vector<uint8_t> golden;
    int width = 0, height = 0;
    if (!read_indexed_png(path, golden, width, height))
        return "cannot read " + path + " as an indexed PNG";
    if (width != LCD_WIDTH || height != LCD_HEIGHT)
        return path + " is " + std::to_string(width) + " x " + std::to_string(height) +
               ", not 160 x 120";
    int differing = 0, first = -1;
    for (int i = 0; i < LCD_PIXELS; i++) {
        if (golden[i] == frame_buffer[i]) continue;
        if (first < 0) first = i;
        differing++;
    }
    if (differing == 0) return "";
    return "the frame differs from " + path + " in " + std::to_string(differing) +
           " pixels, first at (" + std::to_string(first % LCD_WIDTH) + ", " +
           std::to_string(first / LCD_WIDTH) + "): " + std::to_string(frame_buffer[first]) +
           " instead of " + std::to_string(golden[first]);
}

} // namespace

lcd_script::lcd_script(const std::string &outdir, int scale, std::ostream &log)
    : outdir_(outdir), scale_(scale), log_(log) {
    reset_program_state();
}

bool lcd_script::fail(int number, const std::string &line, const std::string &message) {
    error_line_ = number;
    error_ = "line " + std::to_string(number) + ": " + message + ": \"" + quoted(line) + "\"";
    return false;
}

bool lcd_script::run(std::istream &in) {
    int number = 0;
    std::string line;
    for (;;) {
        // Reads at most MAX_LINE characters of a line, so that a file without
        // line breaks cannot fill the memory.
        line.clear();
        bool ended = false;
        for (int c; (c = in.get()) != EOF;) {
            if (c == '\n') {
                ended = true;
                break;
            }
            if (line.size() == (size_t)MAX_LINE)
                return fail(number + 1, line, "line longer than " + std::to_string(MAX_LINE));
            line += (char)c;
        }
        if (!ended && line.empty()) return true;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!run_line(line, ++number)) return false;
        if (!ended) return true;
    }
}

bool lcd_script::run_line(const std::string &line, int number) {
    const std::vector<std::string> w = split(line);
    if (w.empty()) return true;
    const std::string &cmd = w[0];
    const size_t args = w.size() - 1;

    // Commands taking an optional count or a required number share this.
    long long n = 1;
    auto number_arg = [&](bool optional, long long lo, long long hi, const char *what) {
        if (args == 0 && optional) return true;
        if (args != 1) return fail(number, line, std::string(cmd) + " takes " + what);
        if (!parse_integer(w[1], n)) return fail(number, line, "not a number: " + w[1]);
        if (n < lo || n > hi)
            return fail(number, line,
                        what + (" out of " + std::to_string(lo) + ".." + std::to_string(hi)));
        return true;
    };
    auto no_args = [&]() { return args == 0 || fail(number, line, cmd + " takes no argument"); };

    if (cmd == "on") {
        if (!no_args()) return false;
        // "&On": the power-on sequence, then the RPM and MAP slider handlers.
        power_on_sequence();
        rpm_slider_change(panel_.rpm_position);
        map_slider_change(panel_.map_position);
        panel_.running = true;
        return true;
    }
    if (cmd == "off") {
        if (!no_args()) return false;
        power_off_request = 1;
        panel_.running = false;
        return true;
    }
    if (cmd == "key") {
        if (args != 1) return fail(number, line, "key takes F1, F2, PUSH, PLUS or MINUS");
        for (const key_name &k : KEYS) {
            if (w[1] == k.name) {
                press_key(k.code);
                return true;
            }
        }
        return fail(number, line, "unknown key " + w[1] + " (F1, F2, PUSH, PLUS, MINUS)");
    }
    // A slider's change event fires only when its position changes.
    if (cmd == "rpm") {
        if (!number_arg(false, LLONG_MIN, LLONG_MAX, "a position")) return false;
        int32_t p = (int32_t)clamp(n, RPM_MIN, RPM_MAX);
        if (p != panel_.rpm_position) rpm_slider_change(panel_.rpm_position = p);
        return true;
    }
    if (cmd == "map") {
        if (!number_arg(false, LLONG_MIN, LLONG_MAX, "a position")) return false;
        uint16_t p = (uint16_t)clamp(n, MAP_MIN, MAP_MAX);
        if (p != panel_.map_position) map_slider_change(panel_.map_position = p);
        return true;
    }
    if (cmd == "temp") {
        if (!number_arg(false, LLONG_MIN, LLONG_MAX, "a position")) return false;
        uint16_t p = (uint16_t)clamp(n, TEMP_MIN, TEMP_MAX);
        if (p != panel_.temp_position) temp_slider_change(panel_.temp_position = p);
        return true;
    }
    if (cmd == "exio") {
        if (args != 1 || (w[1] != "on" && w[1] != "off"))
            return fail(number, line, "exio takes on or off");
        panel_.exio_checked = w[1] == "on";
        return true;
    }
    if (cmd == "tick") {
        if (!number_arg(true, 0, MAX_COUNT, "a count")) return false;
        for (long long i = 0; i < n; i++) host_timer_tick(panel_.running ? 1 : 0);
        return true;
    }
    if (cmd == "pass") {
        if (!number_arg(true, 0, MAX_COUNT, "a count")) return false;
        if (!panel_.running) return fail(number, line, "the instrument is off: no pass runs");
        for (long long i = 0; i < n; i++) power_pass(panel_.exio_checked ? 1 : 0);
        return true;
    }
    if (cmd == "engine-timers") {
        if (args != 1 || (w[1] != "on" && w[1] != "off"))
            return fail(number, line, "engine-timers takes on or off");
        engine_timers_on = w[1] == "on" ? 1 : 0;
        return true;
    }
    if (cmd == "scale") {
        if (!number_arg(false, MIN_SCALE, MAX_SCALE, "a scale")) return false;
        scale_ = (int)n;
        return true;
    }
    if (cmd == "shot" || cmd == "golden") {
        if (args != 1 || !valid_shot_name(w[1]))
            return fail(number, line, cmd + " takes a file name of letters, digits, _ - .");
        std::error_code ec;
        std::filesystem::create_directories(outdir_, ec);
        const std::string path = (std::filesystem::path(outdir_) / (w[1] + ".png")).string();
        bool written = cmd == "shot" ? write_lcd_png(path, frame_buffer, scale_)
                                     : write_lcd_indexed_png(path, frame_buffer);
        if (!written) return fail(number, line, "cannot write " + path);
        log_ << path << ": screen " << screen_name(current_screen) << ", lamp " << lamp_name()
             << "\n";
        return true;
    }
    if (cmd == "expect") {
        if (args == 2 && w[1] == "screen") {
            if (!known_screen(w[2])) return fail(number, line, "no screen is named " + w[2]);
            const char *is = screen_name(current_screen);
            if (w[2] != is) return fail(number, line, std::string("the screen is ") + is);
            return true;
        }
        if (args == 2 && w[1] == "lamp" && (w[2] == "bright" || w[2] == "dark")) {
            if (w[2] != lamp_name())
                return fail(number, line, std::string("the lamp is ") + lamp_name());
            return true;
        }
        if (args == 2 && w[1] == "golden") {
            const std::string problem = compare_golden(w[2]);
            return problem.empty() || fail(number, line, problem);
        }
        return fail(number, line, "expect takes screen NAME, lamp bright|dark or golden FILE");
    }
    return fail(number, line, "unknown command " + cmd);
}
