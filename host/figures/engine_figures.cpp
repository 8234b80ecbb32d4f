#include "host/figures/engine_figures.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"

#include <stdlib.h>
#include <strings.h>

#include <algorithm>

namespace {

struct unit_name {
    slider_id slider;
    figure_unit unit;
    const char *name;
};

const unit_name UNITS[] = {
    {SLIDER_RPM, FIGURE_RPM, "rpm"},   {SLIDER_MAP, FIGURE_MB, "mB"},
    {SLIDER_MAP, FIGURE_INHG, "inHg"}, {SLIDER_TEMP, FIGURE_C, "C"},
    {SLIDER_TEMP, FIGURE_F, "F"},
};

// Passes of the MAP filter before it is taken as settled; SLOW moves a
// quarter of the way a pass, so 64 passes cover any 16-bit step.
const int FILTER_SETTLE_PASSES = 64;

// The MAP the instrument settles at for a steady reading, from the filter's
// present state, in millibar.
int16_t settled_map_mb(uint16_t reading) {
    const uint32_t v = map_filter_input(reading);
    if (v == 0) return 0;
    uint32_t acc = map_filter_acc;
    for (int i = 0; i < FILTER_SETTLE_PASSES; i++) acc = map_filter_next(acc, v);
    return map_mb_for_filtered(map_filter_output(acc, v));
}

// What the instrument shows at a slider position, in the figure's unit.
int32_t shown_at(int32_t position, figure_unit unit) {
    switch (unit) {
    case FIGURE_RPM: return rpm_for_pulse_rate(position);
    case FIGURE_MB: return settled_map_mb((uint16_t)position);
    case FIGURE_INHG: return map_mb_to_inhg(settled_map_mb((uint16_t)position));
    case FIGURE_C: return temp_c_for_reading((uint16_t)position);
    case FIGURE_F: return celsius_to_fahrenheit(temp_c_for_reading((uint16_t)position));
    case FIGURE_RAW: break;
    }
    return position;
}

// While the instrument is off, figures are converted with the factory
// settings that the next power-on loads. Loading them also resets the
// maximum values, so the settings and the maxima are kept aside and put back.
class factory_settings_while_off {
  public:
    explicit factory_settings_while_off(bool off) : off_(off) {
        if (!off_) return;
        saved_settings_ = settings;
        saved_max_map_ = max_map;
        saved_max_rpm_ = max_rpm;
        saved_max_temp_ = max_temp;
        load_factory_defaults();
    }
    ~factory_settings_while_off() {
        if (!off_) return;
        settings = saved_settings_;
        max_map = saved_max_map_;
        max_rpm = saved_max_rpm_;
        max_temp = saved_max_temp_;
    }

  private:
    bool off_;
    settings_record saved_settings_;
    int16_t saved_max_map_;
    int32_t saved_max_rpm_;
    int16_t saved_max_temp_;
};

// The largest RPM the digital page has room for: a sixth digit falls off
// the left edge of the screen.
const int32_t RPM_SHOWN_IN_FULL = 99999;

} // namespace

int32_t slider_minimum(slider_id slider) {
    return slider == SLIDER_TEMP ? 0 : 1;
}

int32_t slider_maximum(slider_id slider) {
    return slider == SLIDER_RPM ? 100000 : 4096;
}

std::string unit_spelling(const std::string &word) {
    if (word == "\"Hg") return "inHg";
    if (word.compare(0, 2, "\xC2\xB0") == 0) return word.substr(2);
    if (word.compare(0, 1, "\xB0") == 0) return word.substr(1);
    return word;
}

bool parse_figure_unit(slider_id slider, const std::string &name, figure_unit &unit) {
    const std::string word = unit_spelling(name);
    for (const unit_name &u : UNITS) {
        if (u.slider == slider && strcasecmp(u.name, word.c_str()) == 0) {
            unit = u.unit;
            return true;
        }
    }
    return false;
}

bool parse_figure(const std::string &text, figure_unit unit, int32_t &figure) {
    const char *s = text.c_str();
    char *end = nullptr;
    const long whole = strtol(s, &end, 10);
    if (end == s || labs(whole) > 1000000) return false;
    if (unit != FIGURE_INHG) {
        figure = (int32_t)whole;
        return *end == '\0';
    }
    int32_t tenths = 0;
    if (*end == '.' && end[1] >= '0' && end[1] <= '9' && end[2] == '\0') {
        tenths = end[1] - '0';
    } else if (*end != '\0') {
        return false;
    }
    figure = (int32_t)(whole * 10 + (s[0] == '-' ? -tenths : tenths));
    return true;
}

// A unit's name as shown ("rpm", "inHg"); null for a raw position.
static const char *name_of(figure_unit unit) {
    for (const unit_name &u : UNITS)
        if (u.unit == unit) return u.name;
    return nullptr;
}

std::string figure_text(int32_t figure, figure_unit unit) {
    const char *name = name_of(unit);
    if (name == nullptr) return std::to_string(figure);
    if (unit != FIGURE_INHG) return std::to_string(figure) + " " + name;
    const int32_t a = abs(figure);
    return std::string(figure < 0 ? "-" : "") + std::to_string(a / 10) + "." +
           std::to_string(a % 10) + " " + name;
}

bool position_for_figure(slider_id slider, int32_t figure, figure_unit unit, bool instrument_on,
                         slider_choice &choice, std::string &error) {
    const int32_t lo = slider_minimum(slider);
    int32_t hi = slider_maximum(slider);
    if (unit == FIGURE_RAW) {
        choice = {figure < lo ? lo : figure > hi ? hi : figure, figure, true, false};
        return true;
    }
    if (slider == SLIDER_TEMP) hi = TEMP_RAW_NO_SENSOR;
    const factory_settings_while_off in_force(!instrument_on);
    if (slider == SLIDER_MAP && settings.map_source != 0) {
        error = "the MAP source is EXIO: no slider feeds the reading";
        return false;
    }
    // Every position in turn: the first run of positions that show the figure
    // gives its middle one, the least sensitive to rounding; otherwise the
    // first position of the nearest figure.
    int32_t least = 0, most = 0, run_start = -1, best = lo;
    int64_t best_distance = -1;
    for (int32_t p = lo; p <= hi; p++) {
        const int32_t shown = shown_at(p, unit);
        if (p == lo || shown < least) least = shown;
        if (p == lo || shown > most) most = shown;
        if (shown == figure) {
            if (run_start < 0) run_start = p;
            best = p;
            best_distance = 0;
            continue;
        }
        if (run_start >= 0) break;
        const int64_t distance = llabs((int64_t)shown - figure);
        if (best_distance < 0 || distance < best_distance) {
            best_distance = distance;
            best = p;
        }
    }
    if (run_start >= 0) {
        best = run_start + (best - run_start) / 2;
    } else if (figure < least || figure > most) {
        error = figure_text(figure, unit) + " is out of reach: the slider gives " +
                figure_text(least, unit) + " to " + figure_text(most, unit);
        if (slider == SLIDER_TEMP && figure > most)
            error += " (above, the screen reads --- for no sensor)";
        return false;
    }
    const int32_t shown = shown_at(best, unit);
    choice = {best, shown, shown == figure, unit == FIGURE_RPM && shown > RPM_SHOWN_IN_FULL};
    return true;
}

void figures_shown(slider_id slider, figure_unit unit, std::vector<int32_t> &shown) {
    const factory_settings_while_off factory(true);
    const uint32_t filter = map_filter_acc;
    map_filter_acc = 0;
    const int32_t hi = slider == SLIDER_TEMP ? TEMP_RAW_NO_SENSOR : slider_maximum(slider);
    shown.clear();
    for (int32_t p = slider_minimum(slider); p <= hi; p++) shown.push_back(shown_at(p, unit));
    map_filter_acc = filter;
    std::sort(shown.begin(), shown.end());
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
}

namespace {

figure_unit unit_in_force(slider_id slider) {
    switch (slider) {
    case SLIDER_RPM: return FIGURE_RPM;
    case SLIDER_MAP: return settings.map_unit == 0 ? FIGURE_MB : FIGURE_INHG;
    case SLIDER_TEMP: return settings.temp_unit == 1 ? FIGURE_F : FIGURE_C;
    }
    return FIGURE_RAW;
}

// False where the screen shows no figure for the slider: MAP from EXIO, a
// TEMP reading without a sensor.
bool figure_shown(slider_id slider, int32_t position) {
    return !(slider == SLIDER_MAP && settings.map_source != 0) &&
           !(slider == SLIDER_TEMP && position > TEMP_RAW_NO_SENSOR);
}

// Splits on blanks into at most `most` words; false if there are more.
bool split_words(const std::string &text, std::string words[], size_t most, size_t &count) {
    count = 0;
    size_t at = 0;
    while (true) {
        at = text.find_first_not_of(" \t", at);
        if (at == std::string::npos) return true;
        if (count == most) return false;
        const size_t end = text.find_first_of(" \t", at);
        words[count++] = text.substr(at, end == std::string::npos ? end : end - at);
        at = end;
    }
}

} // namespace

figure_unit shown_unit(slider_id slider, bool instrument_on) {
    const factory_settings_while_off in_force(!instrument_on);
    return unit_in_force(slider);
}

std::string figure_unit_name(figure_unit unit) {
    const char *name = name_of(unit);
    return name ? name : "";
}

std::string slider_figure(slider_id slider, int32_t position, bool instrument_on) {
    const factory_settings_while_off in_force(!instrument_on);
    if (!figure_shown(slider, position)) return slider == SLIDER_MAP ? "EXIO" : "---";
    const figure_unit unit = unit_in_force(slider);
    return figure_text(shown_at(position, unit), unit);
}

std::string slider_reading(slider_id slider, int32_t position, bool instrument_on) {
    return std::to_string(position) + "  " + slider_figure(slider, position, instrument_on);
}

std::string nearest_figure_warning(const slider_choice &choice, int32_t figure, figure_unit unit) {
    if (choice.exact) return std::string();
    return "no position shows " + figure_text(figure, unit) + "; " +
           figure_text(choice.shown, unit) + " at " + std::to_string(choice.position) + " instead";
}

std::string clipped_figure_warning(const slider_choice &choice, figure_unit unit) {
    if (!choice.clipped) return std::string();
    return "the screen has no room for the leading digit of " + figure_text(choice.shown, unit) +
           ": it reads " + std::to_string(choice.shown).substr(1);
}

bool enter_slider_figure(slider_id slider, const std::string &text, bool instrument_on,
                         int32_t &position, std::string &message) {
    std::string words[2];
    size_t count = 0;
    if (!split_words(text, words, 2, count) || count == 0) {
        message = "type a figure, optionally with its unit, or a position followed by raw";
        return false;
    }
    figure_unit unit = shown_unit(slider, instrument_on);
    if (count == 2) {
        if (strcasecmp(words[1].c_str(), "raw") == 0) {
            unit = FIGURE_RAW;
        } else if (!parse_figure_unit(slider, words[1], unit)) {
            message = "not a unit of this slider: " + words[1];
            return false;
        }
    }
    int32_t figure = 0;
    if (!parse_figure(words[0], unit, figure)) {
        message = unit == FIGURE_RAW
                      ? "not a position: " + words[0]
                      : "not a figure in " + std::string(name_of(unit)) + ": " + words[0];
        return false;
    }
    slider_choice choice;
    if (!position_for_figure(slider, figure, unit, instrument_on, choice, message)) return false;
    const std::string nearest = nearest_figure_warning(choice, figure, unit);
    const std::string clipped = clipped_figure_warning(choice, unit);
    message = nearest + (nearest.empty() || clipped.empty() ? "" : "; ") + clipped;
    position = choice.position;
    return true;
}

int32_t slider_page_position(slider_id slider, int32_t position, int direction,
                             bool instrument_on) {
    const int32_t lo = slider_minimum(slider), hi = slider_maximum(slider);
    const int32_t sign = direction < 0 ? -1 : 1;
    // Raw counts of about one step where no figure is shown: 10 mB, 5 C.
    const int32_t raw_step = slider == SLIDER_MAP ? 17 : 41;
    int32_t next = position + sign * raw_step;
    {
        const factory_settings_while_off in_force(!instrument_on);
        if (figure_shown(slider, position)) {
            // 100 rpm, 10 mB, 1.0 inHg (ten tenths), 5 degrees.
            const figure_unit unit = unit_in_force(slider);
            const int32_t step = unit == FIGURE_RPM                         ? 100
                                 : unit == FIGURE_MB || unit == FIGURE_INHG ? 10
                                                                            : 5;
            next = sign > 0 ? hi : lo;
            slider_choice choice;
            std::string refused;
            // The settings in force are loaded already: as if on.
            if (position_for_figure(slider, shown_at(position, unit) + sign * step, unit, true,
                                    choice, refused))
                next = choice.position;
        }
    }
    // Always a move, and never backwards.
    if ((next - position) * sign <= 0) next = position + sign;
    return next < lo ? lo : next > hi ? hi : next;
}
