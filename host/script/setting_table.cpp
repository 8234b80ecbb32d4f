#include "host/script/setting_table.h"

#include "core/settings.h"
#include "host/figures/engine_figures.h"
#include "host/text/printable.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>

namespace {

// How a setting is held and shown.
enum setting_kind {
    S_MAP,     // int16 in the MAP unit shown
    S_TEMP,    // int16 in the TEMP unit shown
    S_RPM,     // int32 rpm
    S_TENTHS,  // int16 tenths, shown with a decimal
    S_CODE,    // uint16 four digits
    S_OPTION,  // uint8 index of a word
    S_SIGNED,  // int8 calibration offset, shown with its sign
    S_PERCENT, // uint8 in steps of 10
    S_NUMBER,  // uint16 plain number
    S_ADDRESS, // uint8 shown one up
    S_LABEL,   // char[LABEL_SIZE] text
    S_HOBBS,   // the Hobbs time, tenths of an hour
    S_MAINT,   // the maintenance time, hours
};

const char *const OFF_ON[] = {"OFF", "ON", nullptr};
const char *const MAP_UNITS[] = {"mB", "inHg", nullptr};
const char *const FILTERS[] = {"NONE", "FAST", "SLOW", nullptr};
const char *const SOURCES[] = {"INTERNAL", "EXIO", nullptr};
const char *const RPM_MODES[] = {"RPM", "PERCENT", nullptr};
const char *const INCREMENTS[] = {"1RPM", "5RPM", "10RPM", "50RPM", "100RPM", nullptr};
const char *const TEMP_UNITS[] = {"C", "F", nullptr};
const char *const FLIGHT_MODES[] = {"MANUAL", "DETECT", nullptr};
const char *const BACKLIGHT_MODES[] = {"MANUAL", "AUTO", nullptr};

struct setting_entry {
    const char *name;
    setting_kind kind;
    void *field;
    int32_t minimum, maximum; // as the page edits it (a label: its length)
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
    {"map_cal_internal", S_SIGNED, &calibration.map_cal_internal, -50, 50, nullptr},
    {"map_cal_exio", S_SIGNED, &calibration.map_cal_exio, -50, 50, nullptr},
    {"map_source", S_OPTION, &settings.map_source, 0, 0, SOURCES},
    {"exio_address", S_ADDRESS, &settings.exio_address, 1, 4, nullptr},
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
    {"rpm_increment", S_OPTION, &settings.rpm_increment, 0, 0, INCREMENTS},
    {"rpm_label", S_LABEL, settings.rpm_label, 0, 6, nullptr},
    {"rpm_source", S_OPTION, &settings.rpm_source, 0, 0, SOURCES},
    {"temp_display_on", S_OPTION, &settings.temp_display_on, 0, 0, OFF_ON},
    {"temp_unit", S_OPTION, &settings.temp_unit, 0, 0, TEMP_UNITS},
    {"temp_high_alarm_on", S_OPTION, &settings.temp_high_alarm_on, 0, 0, OFF_ON},
    {"temp_high_alarm", S_TEMP, &settings.temp_high_alarm, 0, 0, nullptr},
    {"temp_low_alarm_on", S_OPTION, &settings.temp_low_alarm_on, 0, 0, OFF_ON},
    {"temp_low_alarm", S_TEMP, &settings.temp_low_alarm, 0, 0, nullptr},
    {"temp_label", S_LABEL, settings.temp_label, 0, 4, nullptr},
    {"temp_cal", S_SIGNED, &calibration.temp_cal, -20, 20, nullptr},
    {"hobbs_rpm", S_RPM, &settings.hobbs_rpm, 100, RPM_TOP, nullptr},
    {"hobbs_time", S_HOBBS, &timers, 0, 99999, nullptr},
    {"hobbs_code", S_CODE, &settings.hobbs_code, 0, 9999, nullptr},
    {"maint_time", S_MAINT, &timers.maint_hours, 0, 999, nullptr},
    {"flight_mode", S_OPTION, &settings.flight_mode, 0, 0, FLIGHT_MODES},
    {"takeoff_rpm", S_RPM, &settings.takeoff_rpm, 100, RPM_TOP, nullptr},
    {"security_on", S_OPTION, &settings.security_on, 0, 0, OFF_ON},
    {"security_code", S_CODE, &settings.security_code, 0, 9999, nullptr},
    {"backlight_mode", S_OPTION, &settings.backlight_mode, 0, 0, BACKLIGHT_MODES},
    {"backlight_level", S_PERCENT, &settings.backlight_level, 10, 100, nullptr},
    {"backlight_threshold", S_NUMBER, &settings.backlight_threshold, 100, 4000, nullptr},
    {"backlight_dim", S_PERCENT, &settings.backlight_dim, 10, 100, nullptr},
    {"backlight_bright", S_PERCENT, &settings.backlight_bright, 10, 100, nullptr},
};
const int SETTING_COUNT = sizeof SETTINGS / sizeof SETTINGS[0];


int32_t field_value(const setting_entry &s) {
    switch (s.kind) {
    case S_MAP:
    case S_TEMP:
    case S_TENTHS: return *(const int16_t *)s.field;
    case S_RPM: return *(const int32_t *)s.field;
    case S_CODE:
    case S_NUMBER:
    case S_MAINT: return *(const uint16_t *)s.field;
    case S_OPTION:
    case S_PERCENT: return *(const uint8_t *)s.field;
    case S_SIGNED: return *(const int8_t *)s.field;
    case S_ADDRESS: return *(const uint8_t *)s.field + 1;
    case S_HOBBS: return timers.hobbs_hours * 10 + timers.hobbs_hundredths / 10;
    case S_LABEL: return 0;
    }
    return 0;
}

// The unit a MAP or TEMP limit's page shows it in now.
int shown_limit_unit(const setting_entry &s) {
    if (s.kind == S_MAP) return settings.map_unit != 0 ? FIGURE_INHG : FIGURE_MB;
    return settings.temp_unit != 0 ? FIGURE_F : FIGURE_C;
}

// The numbers a MAP or TEMP limit can hold: what the page sets in either
// unit, since a unit change keeps the number.
void limit_numbers(setting_kind kind, int32_t &lo, int32_t &hi) {
    lo = kind == S_MAP ? 73 : -58;
    hi = kind == S_MAP ? 2500 : 302;
}

std::string label_text(const setting_entry &s) {
    return std::string((const char *)s.field, strnlen((const char *)s.field, (size_t)s.maximum));
}

std::string without_trailing_blanks(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string tenths_text(int32_t v) {
    char text[24];
    snprintf(text, sizeof text, "%s%d.%d", v < 0 ? "-" : "", (int)(v < 0 ? -v : v) / 10,
             (int)(v < 0 ? -v : v) % 10);
    return text;
}

std::string bound_text(const setting_entry &s, int32_t v) {
    return s.kind == S_TENTHS || s.kind == S_HOBBS ? tenths_text(v)
           : s.kind == S_SIGNED                    ? (v > 0 ? "+" : "") + std::to_string(v)
                                                   : std::to_string(v);
}

} // namespace

int word_index(const char *const *list, const std::string &word) {
    for (int i = 0; list[i]; i++)
        if (strcasecmp(list[i], word.c_str()) == 0) return i;
    return -1;
}

std::string words_text(const char *const *list) {
    std::string out;
    for (int i = 0; list[i]; i++) out += (i ? ", " : "") + std::string(list[i]);
    return out;
}

int setting_count() {
    return SETTING_COUNT;
}

const char *setting_name(int index) {
    return index >= 0 && index < SETTING_COUNT ? SETTINGS[index].name : "";
}

int find_setting(const std::string &name) {
    for (int i = 0; i < SETTING_COUNT; i++)
        if (name == SETTINGS[i].name) return i;
    return -1;
}

bool read_setting_value(int index, const std::vector<std::string> &words, setting_value &value,
                        std::string &error) {
    const setting_entry &s = SETTINGS[index];
    const std::string name = s.name;
    value = setting_value();
    if (words.empty()) return (error = name + " takes a value"), false;
    const std::string &first = words[0];
    switch (s.kind) {
    case S_OPTION: {
        const std::string word = s.options == MAP_UNITS || s.options == TEMP_UNITS
                                     ? unit_spelling(first)
                                     : first;
        value.number = word_index(s.options, word);
        if (words.size() != 1 || value.number < 0)
            return (error = name + " is one of " + words_text(s.options)), false;
        return true;
    }
    case S_LABEL: {
        std::string text;
        for (const std::string &w : words) text += (text.empty() ? "" : " ") + w;
        // Quotes keep blanks at the ends: "OIL ".
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
            text = text.substr(1, text.size() - 2);
        bool fits = text.size() <= (size_t)s.maximum;
        for (char c : text) fits = fits && c >= 32 && c <= 126;
        if (!fits)
            return (error = name + " is up to " + std::to_string(s.maximum) +
                            " characters a label can show"),
                   false;
        value.text = text;
        return true;
    }
    case S_MAP:
    case S_TEMP: {
        figure_unit unit = FIGURE_RAW;
        const slider_id slider = s.kind == S_MAP ? SLIDER_MAP : SLIDER_TEMP;
        if (words.size() != 2 || !parse_figure_unit(slider, words[1], unit))
            return (error = name + " takes a value and its unit (" +
                            (s.kind == S_MAP ? "mB or inHg" : "C or F") + ")"),
                   false;
        value.unit = unit;
        int32_t lo, hi;
        limit_numbers(s.kind, lo, hi);
        if (!parse_figure(first, unit, value.number) || value.number < lo ||
            value.number > hi)
            return (error = name + " shows from " + figure_text(lo, unit) + " to " +
                            figure_text(hi, unit)),
                   false;
        return true;
    }
    default: break;
    }
    const bool with_unit = (s.kind == S_RPM && words.size() == 2 &&
                            strcasecmp(words[1].c_str(), "rpm") == 0) ||
                           (s.kind == S_PERCENT && words.size() == 2 && words[1] == "%");
    std::string number = first;
    if (s.kind == S_PERCENT && number.size() > 1 && number.back() == '%') number.pop_back();
    if (words.size() != 1 && !with_unit) return (error = name + " takes one value"), false;
    if (s.kind == S_CODE && number.size() != 4) return (error = name + " takes four digits"), false;
    const bool tenths = s.kind == S_TENTHS || s.kind == S_HOBBS;
    const bool sign = s.kind == S_SIGNED && (number[0] == '+' || number[0] == '-');
    const bool negative = sign && number[0] == '-';
    if (sign) number.erase(0, 1);
    bool read = !number.empty() && number[0] != '-' && number[0] != '+' &&
                parse_figure(number, tenths ? FIGURE_INHG : FIGURE_RPM, value.number);
    if (negative) value.number = -value.number;
    if (read && s.kind == S_PERCENT) read = value.number % 10 == 0;
    if (!read || value.number < s.minimum || value.number > s.maximum)
        return (error = name + " is set from " + bound_text(s, s.minimum) + " to " +
                        bound_text(s, s.maximum) + (s.kind == S_PERCENT ? " in steps of 10" : "")),
               false;
    return true;
}

bool setting_holds(int index, const setting_value &value) {
    const setting_entry &s = SETTINGS[index];
    if (s.kind == S_LABEL) return without_trailing_blanks(label_text(s)) == without_trailing_blanks(value.text);
    if ((s.kind == S_MAP || s.kind == S_TEMP) && shown_limit_unit(s) != value.unit) return false;
    return field_value(s) == value.number;
}

std::string setting_text(int index) {
    const setting_entry &s = SETTINGS[index];
    const int32_t v = field_value(s);
    switch (s.kind) {
    case S_OPTION:
        for (int i = 0; s.options[i]; i++)
            if (i == v) return s.options[i];
        return std::to_string(v);
    case S_MAP:
    case S_TEMP: return figure_text(v, (figure_unit)shown_limit_unit(s));
    case S_LABEL: {
        const std::string text = label_text(s);
        const bool quoted = text.empty() || text.front() == ' ' || text.back() == ' ';
        return quoted ? "\"" + text + "\"" : text;
    }
    case S_CODE: {
        char text[8];
        snprintf(text, sizeof text, "%04d", (int)v);
        return text;
    }
    default: return bound_text(s, v);
    }
}

bool setting_unit_in_force(int index, int unit) {
    const setting_entry &s = SETTINGS[index];
    return (s.kind != S_MAP && s.kind != S_TEMP) || shown_limit_unit(s) == unit;
}

void apply_setting(int index, const setting_value &value) {
    const setting_entry &s = SETTINGS[index];
    const int32_t v = value.number;
    switch (s.kind) {
    case S_MAP:
    case S_TEMP:
    case S_TENTHS: *(int16_t *)s.field = (int16_t)v; break;
    case S_RPM: *(int32_t *)s.field = v; break;
    case S_CODE:
    case S_NUMBER:
    case S_MAINT: *(uint16_t *)s.field = (uint16_t)v; break;
    case S_OPTION:
    case S_PERCENT: *(uint8_t *)s.field = (uint8_t)v; break;
    case S_SIGNED: *(int8_t *)s.field = (int8_t)v; break;
    case S_ADDRESS: *(uint8_t *)s.field = (uint8_t)(v - 1); break;
    case S_HOBBS:
        timers.hobbs_hours = (uint16_t)(v / 10);
        timers.hobbs_hundredths = (uint8_t)(v % 10 * 10);
        break;
    case S_LABEL: {
        char *label = (char *)s.field;
        memset(label, 0, (size_t)s.maximum + 1);
        memcpy(label, value.text.data(), value.text.size());
        break;
    }
    }
}
