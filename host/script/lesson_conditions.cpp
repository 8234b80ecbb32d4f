#include "host/script/lesson_conditions.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "host/figures/engine_figures.h"
#include "host/script/lcd_script.h"
#include "host/script/setting_table.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "display/menu.h"
#include "screens/run_screen.h"
#include "screens/security_gate.h"

#include <stdlib.h>
#include <strings.h>

namespace {

enum clause_kind {
    C_SCREEN,
    C_PAGE,
    C_LAMP,
    C_FIGURE,
    C_SETTING,
    C_ALARM,
    C_MAG,
    C_FLIGHT,
    C_EDITING,
    C_HAPPENED,
    C_MAX
};

// RPM read as the percentage the PERCENT mode shows, beside the sliders.
const int FIGURE_PERCENT = 3;

const char *const EVENTS[] = {"max_values_reset", "gate_opened", "mag_check", nullptr};
enum { EVENT_RESET, EVENT_GATE, EVENT_MAG };

const char *const PAGES[] = {"main", "timers", "max_values", "mag_check", nullptr};
enum { PAGE_MAIN, PAGE_TIMERS, PAGE_MAX_VALUES, PAGE_MAG_CHECK };


// Reads the words of one clause, from w[0] to the end.
class clause_reader {
  public:
    clause_reader(const std::vector<std::string> &w, lesson_clause &c, std::string &error)
        : w_(w), c_(c), error_(error) {}

    bool read() {
        const std::string &kind = w_[0];
        c_ = lesson_clause{0, 0, 0, 0, -1, "", ""};
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
        if (kind == "editing") {
            static const char *const EDITING[] = {"no", "yes", nullptr};
            return read_word(C_EDITING, EDITING, "editing takes ");
        }
        if (kind == "happened") return read_word(C_HAPPENED, EVENTS, "happened takes ");
        if (kind == "max") return read_max();
        return wrong("unknown condition \"" + printable(kind, 40) +
                     "\" (screen, page, lamp, rpm, map, temp, setting, alarm, mag, flight, "
                     "editing, happened, max)");
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
        if (w_.size() == 2) c_.which = word_index(words, w_[1]);
        if (w_.size() != 2 || c_.which < 0) return wrong(usage + words_text(words));
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
            if (w_.size() >= 3 && w_[2] == "%")
                c_.which = FIGURE_PERCENT;
            else if (w_.size() < 3 || strcasecmp(w_[2].c_str(), "rpm") != 0)
                at = 2;
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
        const int found = find_setting(w_[1]);
        if (found < 0) return wrong("no setting is named \"" + printable(w_[1], 40) + "\"");
        c_.kind = C_SETTING;
        c_.which = found;
        const std::vector<std::string> value(w_.begin() + 2, w_.end());
        setting_value read;
        if (!read_setting_value(found, value, read, error_)) return false;
        c_.value = read.number;
        c_.unit = read.unit;
        c_.label = read.text;
        return true;
    }

    bool read_alarm() {
        static const char *const WHICH[] = {"map", "rpm", "temp", nullptr};
        static const char *const SIDES[] = {"high", "low", nullptr};
        c_.kind = C_ALARM;
        if (w_.size() == 2 && w_[1] == "none") return true;
        const int bit = w_.size() >= 2 ? word_index(WHICH, w_[1]) : -1;
        const int side = w_.size() == 3 ? word_index(SIDES, w_[2]) : 0;
        if (bit < 0 || w_.size() > 3 || side < 0)
            return wrong("alarm takes none, or map, rpm or temp with high or low");
        c_.which = 1 << bit;
        c_.value = w_.size() == 3 ? side + 1 : 0;
        return true;
    }

    // "max" and a figure as rpm, map or temp take it; RPM only in rpm.
    bool read_max() {
        const std::vector<std::string> figure(w_.begin() + 1, w_.end());
        if (figure.empty() || (figure[0] != "rpm" && figure[0] != "map" && figure[0] != "temp"))
            return wrong("max takes rpm, map or temp and a figure");
        clause_reader reader(figure, c_, error_);
        if (!reader.read_figure()) return false;
        if (c_.which == FIGURE_PERCENT) return wrong("max rpm takes a figure in rpm");
        c_.kind = C_MAX;
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

// Where the screen shows a figure at all: RPM needs its display on and its
// source at hand, MAP its source, TEMP its display and a sensor.
bool rpm_shown() {
    return settings.rpm_display_on == 1 && !(settings.rpm_source != 0 && exio_present == 0);
}
bool map_shown() {
    return !(settings.map_source != 0 && exio_present == 0);
}
bool temp_shown() {
    return settings.temp_display_on == 1 && temp_raw <= TEMP_RAW_NO_SENSOR;
}
figure_unit map_unit_shown() {
    return settings.map_unit != 0 ? FIGURE_INHG : FIGURE_MB;
}
figure_unit temp_unit_shown() {
    return settings.temp_unit != 0 ? FIGURE_F : FIGURE_C;
}

uint16_t event_count(int event, const condition_marks &m) {
    const condition_marks now = marks_now();
    return event == EVENT_RESET  ? (uint16_t)(now.max_values_resets - m.max_values_resets)
           : event == EVENT_GATE ? (uint16_t)(now.gate_openings - m.gate_openings)
                                 : (uint16_t)(now.mag_checks_started - m.mag_checks_started);
}

bool figure_holds(const lesson_clause &c) {
    switch (c.which) {
    case SLIDER_RPM: return rpm_shown() && settings.rpm_display_mode == 0 && near(rpm, c);
    case FIGURE_PERCENT:
        return rpm_shown() && settings.rpm_display_mode == 1 && near(rpm_percent, c);
    case SLIDER_MAP: return map_shown() && map_unit_shown() == c.unit && near(map_value, c);
    default: return temp_shown() && temp_unit_shown() == c.unit && near(temp_value, c);
    }
}

// The maxima as MAX VALUES shows them: RPM and TEMP while their display is
// on, MAP and TEMP in the unit shown.
bool max_holds(const lesson_clause &c) {
    switch (c.which) {
    case SLIDER_RPM: return settings.rpm_display_on == 1 && near(max_rpm, c);
    case SLIDER_MAP: return map_unit_shown() == c.unit && near(max_map, c);
    default:
        return settings.temp_display_on == 1 && temp_unit_shown() == c.unit && near(max_temp, c);
    }
}

std::string max_now(const lesson_clause &c) {
    switch (c.which) {
    case SLIDER_RPM:
        return settings.rpm_display_on == 1 ? "max rpm is " + figure_text(max_rpm, FIGURE_RPM)
                                            : "max rpm is not shown";
    case SLIDER_MAP: return "max map is " + figure_text(max_map, map_unit_shown());
    default:
        return settings.temp_display_on == 1
                   ? "max temp is " + figure_text(max_temp, temp_unit_shown())
                   : "max temp is not shown";
    }
}

bool alarm_holds(const lesson_clause &c) {
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

bool clause_holds(const lesson_clause &c, const condition_marks &since) {
    switch (c.kind) {
    case C_SCREEN: return screen_on_display() == screen_table[c.which].handler;
    case C_PAGE:
        if (screen_on_display() != run_screen) return false;
        if (c.which == PAGE_MAG_CHECK) return mag_check_shown();
        if (c.which == PAGE_MAIN) return run_page == RUN_PAGE_MAIN && !mag_check_shown();
        return run_page == (c.which == PAGE_TIMERS ? RUN_PAGE_TIMERS : RUN_PAGE_MAX_VALUES);
    case C_LAMP: return (lamp_red == LAMP_BRIGHT) == (c.which == 1);
    case C_FIGURE: return figure_holds(c);
    case C_SETTING: {
        setting_value value;
        value.number = c.value;
        value.unit = c.unit;
        value.text = c.label;
        return setting_holds(c.which, value);
    }
    case C_ALARM: return alarm_holds(c);
    case C_MAG: return mag_check_shown() && near(mag_check_rpm - rpm, c);
    case C_FLIGHT: return (flight_running == 1) == (c.which == 1);
    case C_EDITING: return value_in_edit() == (c.which == 1);
    case C_HAPPENED: return event_count(c.which, since) != 0;
    case C_MAX: return max_holds(c);
    }
    return false;
}

std::string page_now() {
    if (screen_on_display() != run_screen)
        return std::string("the screen is ") + screen_name(screen_on_display());
    if (mag_check_shown()) return "the page is mag_check";
    return std::string("the page is ") + PAGES[run_page <= RUN_PAGE_MAX_VALUES ? run_page : 0];
}

std::string figure_now(const lesson_clause &c) {
    switch (c.which) {
    case SLIDER_RPM:
    case FIGURE_PERCENT:
        if (!rpm_shown()) return "rpm is not shown";
        return settings.rpm_display_mode == 1 ? "rpm is " + std::to_string(rpm_percent) + " %"
                                               : "rpm is " + figure_text(rpm, FIGURE_RPM);
    case SLIDER_MAP:
        return map_shown() ? "map is " + figure_text(map_value, map_unit_shown())
                           : "map is not shown (its source is EXIO, not connected)";
    default:
        return temp_shown() ? "temp is " + figure_text(temp_value, temp_unit_shown())
                            : "temp is not shown (---)";
    }
}

std::string alarms_now() {
    if (alarm_active == 0) return "no alarm is active";
    std::string out = "the alarms are";
    const char *const names[] = {"map", "rpm", "temp"};
    for (int bit = 0; bit < 3; bit++) {
        if (!(alarm_active & (1u << bit))) continue;
        lesson_clause high{C_ALARM, 1 << bit, 1, 0, -1, "", ""};
        out += std::string(" ") + names[bit] + (alarm_holds(high) ? " high" : " low");
        if (alarm_acknowledged & (1u << bit)) out += " (acknowledged)";
    }
    return out;
}

// What the instrument shows for a clause's subject.
std::string clause_now(const lesson_clause &c, const condition_marks &since) {
    switch (c.kind) {
    case C_SCREEN: return std::string("the screen is ") + screen_name(screen_on_display());
    case C_PAGE: return page_now();
    case C_LAMP: return lamp_red == LAMP_BRIGHT ? "the lamp is bright" : "the lamp is dark";
    case C_FIGURE: return figure_now(c);
    case C_SETTING: return std::string(setting_name(c.which)) + " is " + setting_text(c.which);
    case C_ALARM: return alarms_now();
    case C_MAG:
        return mag_check_shown() ? "the magneto check shows a drop of " +
                                       figure_text(mag_check_rpm - rpm, FIGURE_RPM)
                                 : "no magneto check runs";
    case C_FLIGHT: return flight_running == 1 ? "the flight runs" : "the flight is stopped";
    case C_EDITING: return value_in_edit() ? "a value is being edited" : "no value is being edited";
    case C_HAPPENED:
        return std::string(EVENTS[c.which]) + " happened " +
               std::to_string(event_count(c.which, since)) + " times";
    case C_MAX: return max_now(c);
    }
    return "";
}

} // namespace

bool lesson_condition::names_editing() const {
    for (const lesson_clause &c : clauses)
        if (c.kind == C_EDITING) return true;
    return false;
}

condition_marks marks_now() {
    return {max_values_resets, gate_openings, mag_checks_started};
}

bool value_in_edit() {
    return menu_editing != 0;
}

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
            error = words.empty() ? "a condition is missing" : "\"and\" joins two conditions";
            return false;
        }
        lesson_clause clause;
        if (!clause_reader(part, clause, error).read()) return false;
        for (const std::string &w : part) clause.text += (clause.text.empty() ? "" : " ") + w;
        clause.text = printable(clause.text, 80);
        condition.clauses.push_back(clause);
        part.clear();
    }
    return true;
}

bool condition_holds(const lesson_condition &condition, const condition_marks &since) {
    for (const lesson_clause &c : condition.clauses)
        if (!clause_holds(c, since)) return false;
    return !condition.clauses.empty();
}

std::string condition_report(const lesson_condition &condition, const condition_marks &since) {
    std::string out;
    for (const lesson_clause &c : condition.clauses) {
        if (!out.empty()) out += "; ";
        out += clause_holds(c, since) ? c.text + " holds"
                                      : clause_now(c, since) + ", expected " + c.text;
    }
    return out;
}
