#include "host/script/lesson_conditions.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "host/figures/engine_figures.h"
#include "host/script/lcd_script.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/run_screen.h"

#include <stdlib.h>
#include <strings.h>

namespace {

enum clause_kind { C_SCREEN, C_PAGE, C_LAMP, C_FIGURE, C_SETTING, C_ALARM, C_MAG, C_FLIGHT };

// How a setting is held and shown: MAP limits in the MAP unit shown, TEMP
// limits in the TEMP unit shown, speeds in rpm, tenths shown with a decimal,
// a four-digit code, or one of a list of option words.
enum setting_kind { S_MAP, S_TEMP, S_RPM, S_TENTHS, S_CODE, S_OPTION };

const char *const OFF_ON[] = {"OFF", "ON", nullptr};
const char *const MAP_UNITS[] = {"mB", "inHg", nullptr};
const char *const FILTERS[] = {"NONE", "FAST", "SLOW", nullptr};
const char *const SOURCES[] = {"INTERNAL", "EXIO", nullptr};
const char *const RPM_MODES[] = {"RPM", "PERCENT", nullptr};
const char *const TEMP_UNITS[] = {"C", "F", nullptr};
const char *const FLIGHT_MODES[] = {"MANUAL", "DETECT", nullptr};
const char *const BACKLIGHT_MODES[] = {"MANUAL", "AUTO", nullptr};

struct setting_entry {
    const char *name;
    setting_kind kind;
    void *field;
    int32_t minimum, maximum; // for S_RPM, S_TENTHS and S_CODE, as the page edits it
    const char *const *options;
};

const int32_t RPM_TOP = 99000;

const setting_entry SETTINGS[] = {
    {"map_unit", S_OPTION, &settings.map_unit, 0, 0, MAP_UNITS},
    {"map_display_max", S_MAP, &settings.map_display_max, 0, 0, nullptr},
    {"map_display_min", S_MAP, &settings.map_display_min, 0, 0, nullptr},
    {"map_high_alarm_on", S_OPTION, &settings.map_high_alarm_on, 0, 0, OFF_ON},
    {"map_high_alarm", S_MAP, &settings.map_high_alarm, 0, 0, nullptr},
    {"map_high_caution", S_MAP, &settings.map_high_caution, 0, 0, nullptr},
    {"map_low_caution", S_MAP, &settings.map_low_caution, 0, 0, nullptr},
    {"map_low_alarm_on", S_OPTION, &settings.map_low_alarm_on, 0, 0, OFF_ON},
    {"map_low_alarm", S_MAP, &settings.map_low_alarm, 0, 0, nullptr},
    {"map_filter", S_OPTION, &settings.map_filter, 0, 0, FILTERS},
    {"map_source", S_OPTION, &settings.map_source, 0, 0, SOURCES},
    {"rpm_display_on", S_OPTION, &settings.rpm_display_on, 0, 0, OFF_ON},
    {"rpm_display_mode", S_OPTION, &settings.rpm_display_mode, 0, 0, RPM_MODES},
    {"rpm_100_percent", S_RPM, &settings.rpm_100_percent, 100, RPM_TOP, nullptr},
    {"rpm_display_max", S_RPM, &settings.rpm_display_max, 100, RPM_TOP, nullptr},
    {"rpm_display_min", S_RPM, &settings.rpm_display_min, 0, RPM_TOP, nullptr},
    {"rpm_high_alarm_on", S_OPTION, &settings.rpm_high_alarm_on, 0, 0, OFF_ON},
    {"rpm_high_alarm", S_RPM, &settings.rpm_high_alarm, 100, RPM_TOP, nullptr},
    {"rpm_high_caution", S_RPM, &settings.rpm_high_caution, 100, RPM_TOP, nullptr},
    {"rpm_low_caution", S_RPM, &settings.rpm_low_caution, 0, RPM_TOP, nullptr},
    {"rpm_low_alarm_on", S_OPTION, &settings.rpm_low_alarm_on, 0, 0, OFF_ON},
    {"rpm_low_alarm", S_RPM, &settings.rpm_low_alarm, 0, RPM_TOP, nullptr},
    {"rpm_pulses_per_rev", S_TENTHS, &settings.rpm_pulses_per_rev, 1, 5000, nullptr},
    {"rpm_source", S_OPTION, &settings.rpm_source, 0, 0, SOURCES},
    {"temp_display_on", S_OPTION, &settings.temp_display_on, 0, 0, OFF_ON},
    {"temp_unit", S_OPTION, &settings.temp_unit, 0, 0, TEMP_UNITS},
    {"temp_high_alarm_on", S_OPTION, &settings.temp_high_alarm_on, 0, 0, OFF_ON},
    {"temp_high_alarm", S_TEMP, &settings.temp_high_alarm, 0, 0, nullptr},
    {"temp_low_alarm_on", S_OPTION, &settings.temp_low_alarm_on, 0, 0, OFF_ON},
    {"temp_low_alarm", S_TEMP, &settings.temp_low_alarm, 0, 0, nullptr},
    {"hobbs_rpm", S_RPM, &settings.hobbs_rpm, 100, RPM_TOP, nullptr},
    {"flight_mode", S_OPTION, &settings.flight_mode, 0, 0, FLIGHT_MODES},
    {"takeoff_rpm", S_RPM, &settings.takeoff_rpm, 100, RPM_TOP, nullptr},
    {"security_on", S_OPTION, &settings.security_on, 0, 0, OFF_ON},
    {"security_code", S_CODE, &settings.security_code, 0, 9999, nullptr},
    {"backlight_mode", S_OPTION, &settings.backlight_mode, 0, 0, BACKLIGHT_MODES},
};
const int SETTING_COUNT = sizeof SETTINGS / sizeof SETTINGS[0];

int32_t setting_value(const setting_entry &s) {
    switch (s.kind) {
    case S_MAP:
    case S_TEMP:
    case S_TENTHS: return *(const int16_t *)s.field;
    case S_RPM: return *(const int32_t *)s.field;
    case S_CODE: return *(const uint16_t *)s.field;
    case S_OPTION: return *(const uint8_t *)s.field;
    }
    return 0;
}

const char *const PAGES[] = {"main", "timers", "max_values", "mag_check", nullptr};
enum { PAGE_MAIN, PAGE_TIMERS, PAGE_MAX_VALUES, PAGE_MAG_CHECK };

// The index of `word` in a null-ended list, any case; -1 when absent.
int index_of(const char *const *list, const std::string &word) {
    for (int i = 0; list[i]; i++)
        if (strcasecmp(list[i], word.c_str()) == 0) return i;
    return -1;
}

std::string joined(const char *const *list) {
    std::string out;
    for (int i = 0; list[i]; i++) out += (i ? ", " : "") + std::string(list[i]);
    return out;
}

// The range of MAP and TEMP limits the setup pages allow, in a unit.
void limit_range(setting_kind kind, int unit, int32_t &lo, int32_t &hi) {
    if (kind == S_MAP) {
        lo = unit == FIGURE_INHG ? 73 : 250;
        hi = unit == FIGURE_INHG ? 738 : 2500;
    } else {
        lo = unit == FIGURE_F ? -58 : -50;
        hi = unit == FIGURE_F ? 302 : 150;
    }
}

// Reads the words of one clause, from w[0] to the end.
class clause_reader {
  public:
    clause_reader(const std::vector<std::string> &w, lesson_clause &c, std::string &error)
        : w_(w), c_(c), error_(error) {}

    bool read() {
        const std::string &kind = w_[0];
        c_ = lesson_clause{0, 0, 0, 0, -1};
        if (kind == "screen") return read_screen();
        if (kind == "page") return read_word(C_PAGE, PAGES, "page takes ");
        if (kind == "lamp") {
            static const char *const LAMPS[] = {"dark", "bright", nullptr};
            return read_word(C_LAMP, LAMPS, "lamp takes ");
        }
        if (kind == "flight") {
            static const char *const FLIGHT[] = {"stopped", "running", nullptr};
            return read_word(C_FLIGHT, FLIGHT, "flight takes ");
        }
        if (kind == "rpm" || kind == "map" || kind == "temp") return read_figure();
        if (kind == "setting") return read_setting();
        if (kind == "alarm") return read_alarm();
        if (kind == "mag") return read_mag();
        return wrong("unknown condition \"" + printable(kind, 40) +
                     "\" (screen, page, lamp, rpm, map, temp, setting, alarm, mag, flight)");
    }

  private:
    bool wrong(const std::string &message) {
        error_ = message;
        return false;
    }

    bool read_screen() {
        if (w_.size() != 2) return wrong("screen takes a screen's name");
        for (int i = 0; i < screen_table_size; i++) {
            if (w_[1] == screen_table[i].name) {
                c_.kind = C_SCREEN;
                c_.which = i;
                return true;
            }
        }
        return wrong("no screen is named \"" + printable(w_[1], 40) + "\"");
    }

    bool read_word(clause_kind kind, const char *const *words, const std::string &usage) {
        c_.kind = kind;
        if (w_.size() == 2) c_.which = index_of(words, w_[1]);
        if (w_.size() != 2 || c_.which < 0) return wrong(usage + joined(words));
        return true;
    }

    // An optional "+-T" (or "+- T") from w[at], in the unit of the figure.
    bool read_spread(size_t at) {
        if (at == w_.size()) return true;
        std::string text = w_[at].compare(0, 2, "+-") == 0 ? w_[at].substr(2) : std::string();
        if (w_[at] == "+-" && at + 2 == w_.size())
            text = w_[at + 1];
        else if (at + 1 != w_.size() || text.empty())
            return wrong("a tolerance is written +-T after the value");
        const figure_unit unit = c_.unit == FIGURE_INHG ? FIGURE_INHG : FIGURE_RPM;
        if (text[0] == '-' || !parse_figure(text, unit, c_.spread))
            return wrong("not a tolerance: \"" + printable(text, 40) + "\"");
        return true;
    }

    bool read_figure() {
        const std::string &kind = w_[0];
        const slider_id slider = kind == "rpm"   ? SLIDER_RPM
                                 : kind == "map" ? SLIDER_MAP
                                                 : SLIDER_TEMP;
        c_.kind = C_FIGURE;
        c_.which = slider;
        size_t at = 3;
        figure_unit unit = FIGURE_RPM;
        if (slider == SLIDER_RPM) {
            if (w_.size() < 3 || strcasecmp(w_[2].c_str(), "rpm") != 0) at = 2;
        } else if (w_.size() < 3 || !parse_figure_unit(slider, w_[2], unit)) {
            return wrong(kind + " takes a figure and its unit (" +
                         (slider == SLIDER_MAP ? "mB or inHg" : "C or F") + ")");
        }
        c_.unit = unit;
        if (w_.size() < 2 || !parse_figure(w_[1], unit, c_.value))
            return wrong("not a figure of " + kind + ": \"" +
                         printable(w_.size() < 2 ? "" : w_[1], 40) + "\"");
        return read_spread(at);
    }

    bool read_setting() {
        if (w_.size() < 3) return wrong("setting takes a setting's name and its value");
        int found = -1;
        for (int i = 0; i < SETTING_COUNT; i++)
            if (w_[1] == SETTINGS[i].name) found = i;
        if (found < 0) return wrong("no setting is named \"" + printable(w_[1], 40) + "\"");
        const setting_entry &s = SETTINGS[found];
        c_.kind = C_SETTING;
        c_.which = found;
        const std::string &value = w_[2];
        const std::string name = s.name;
        switch (s.kind) {
        case S_OPTION:
            c_.value = index_of(s.options, value);
            if (w_.size() != 3 || c_.value < 0)
                return wrong(name + " is one of " + joined(s.options));
            return true;
        case S_MAP:
        case S_TEMP: {
            figure_unit unit = FIGURE_RAW;
            const slider_id slider = s.kind == S_MAP ? SLIDER_MAP : SLIDER_TEMP;
            if (w_.size() != 4 || !parse_figure_unit(slider, w_[3], unit))
                return wrong(name + " takes a value and its unit (" +
                             (s.kind == S_MAP ? "mB or inHg" : "C or F") + ")");
            c_.unit = unit;
            int32_t lo, hi;
            limit_range(s.kind, unit, lo, hi);
            if (!parse_figure(value, unit, c_.value) || c_.value < lo || c_.value > hi)
                return wrong(name + " is set from " + figure_text(lo, unit) + " to " +
                             figure_text(hi, unit));
            return true;
        }
        default: break;
        }
        const bool rpm_unit =
            s.kind == S_RPM && w_.size() == 4 && strcasecmp(w_[3].c_str(), "rpm") == 0;
        if (w_.size() != 3 && !rpm_unit) return wrong(name + " takes one value");
        const figure_unit read_as = s.kind == S_TENTHS ? FIGURE_INHG : FIGURE_RPM;
        if (s.kind == S_CODE && value.size() != 4) return wrong(name + " takes four digits");
        if (!parse_figure(value, read_as, c_.value) || c_.value < s.minimum || c_.value > s.maximum)
            return wrong(name + " is set from " + shown(s, s.minimum) + " to " +
                         shown(s, s.maximum));
        return true;
    }

    static std::string shown(const setting_entry &s, int32_t v) {
        if (s.kind == S_TENTHS) return std::to_string(v / 10) + "." + std::to_string(v % 10);
        return std::to_string(v);
    }

    bool read_alarm() {
        static const char *const WHICH[] = {"map", "rpm", "temp", nullptr};
        static const char *const SIDES[] = {"high", "low", nullptr};
        c_.kind = C_ALARM;
        if (w_.size() == 2 && w_[1] == "none") return true;
        const int bit = w_.size() >= 2 ? index_of(WHICH, w_[1]) : -1;
        const int side = w_.size() == 3 ? index_of(SIDES, w_[2]) : 0;
        if (bit < 0 || w_.size() > 3 || side < 0)
            return wrong("alarm takes none, or map, rpm or temp with high or low");
        c_.which = 1 << bit;
        c_.value = w_.size() == 3 ? side + 1 : 0;
        return true;
    }

    bool read_mag() {
        c_.kind = C_MAG;
        c_.unit = FIGURE_RPM;
        if (w_.size() < 3 || w_[1] != "drop" || !parse_figure(w_[2], FIGURE_RPM, c_.value) ||
            c_.value < 0)
            return wrong("mag takes drop N, the fall in rpm the check shows");
        return read_spread(3);
    }

    const std::vector<std::string> &w_;
    lesson_clause &c_;
    std::string &error_;
};

bool near(int32_t shown, const lesson_clause &c) {
    return llabs((long long)shown - c.value) <= c.spread;
}

bool mag_check_shown() {
    return screen_on_display() == run_screen && run_page == RUN_PAGE_MAIN &&
           settings.rpm_display_on == 1 && mag_check_countdown != 0;
}

bool clause_holds(const lesson_clause &c) {
    switch (c.kind) {
    case C_SCREEN: return screen_on_display() == screen_table[c.which].handler;
    case C_PAGE:
        if (screen_on_display() != run_screen) return false;
        if (c.which == PAGE_MAG_CHECK) return mag_check_shown();
        if (c.which == PAGE_MAIN) return run_page == RUN_PAGE_MAIN && !mag_check_shown();
        return run_page == (c.which == PAGE_TIMERS ? RUN_PAGE_TIMERS : RUN_PAGE_MAX_VALUES);
    case C_LAMP: return (lamp_red == LAMP_BRIGHT) == (c.which == 1);
    case C_FIGURE:
        if (c.which == SLIDER_RPM) return near(rpm, c);
        if (c.which == SLIDER_MAP)
            return (settings.map_unit != 0) == (c.unit == FIGURE_INHG) && near(map_value, c);
        return (settings.temp_unit != 0) == (c.unit == FIGURE_F) && near(temp_value, c);
    case C_SETTING: {
        const setting_entry &s = SETTINGS[c.which];
        if (s.kind == S_MAP && (settings.map_unit != 0) != (c.unit == FIGURE_INHG)) return false;
        if (s.kind == S_TEMP && (settings.temp_unit != 0) != (c.unit == FIGURE_F)) return false;
        return setting_value(s) == c.value;
    }
    case C_ALARM: {
        if (c.which == 0) return alarm_active == 0;
        if (!(alarm_active & (uint32_t)c.which)) return false;
        if (c.value == 0) return true;
        const bool high = c.value == 1;
        if (c.which == ALARM_MAP)
            return high ? map_value > settings.map_high_alarm : map_value < settings.map_low_alarm;
        if (c.which == ALARM_RPM)
            return high ? rpm > settings.rpm_high_alarm : rpm < settings.rpm_low_alarm;
        return high ? temp_value > settings.temp_high_alarm : temp_value < settings.temp_low_alarm;
    }
    case C_MAG: return mag_check_shown() && near(mag_check_rpm - rpm, c);
    case C_FLIGHT: return (flight_running == 1) == (c.which == 1);
    }
    return false;
}

} // namespace

bool parse_condition(const std::string &text, lesson_condition &condition, std::string &error) {
    condition.clauses.clear();
    const std::vector<std::string> words = script_words(text);
    std::vector<std::string> part;
    for (size_t i = 0; i <= words.size(); i++) {
        if (i < words.size() && words[i] != "and") {
            part.push_back(words[i]);
            continue;
        }
        if (part.empty()) {
            error = words.empty() ? "until takes a condition" : "\"and\" joins two conditions";
            return false;
        }
        lesson_clause clause;
        if (!clause_reader(part, clause, error).read()) return false;
        condition.clauses.push_back(clause);
        part.clear();
    }
    return true;
}

bool condition_holds(const lesson_condition &condition) {
    for (const lesson_clause &c : condition.clauses)
        if (!clause_holds(c)) return false;
    return !condition.clauses.empty();
}
