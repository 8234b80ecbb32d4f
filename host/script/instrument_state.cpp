#include "host/script/instrument_state.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "host/figures/engine_figures.h"
#include "host/script/setting_table.h"
#include "host/shell/drawn_state.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "host/text/printable.h"
#include "screens/readouts.h"
#include "screens/run_screen.h"

#include <stdio.h>

namespace {

// A JSON string of text made printable first (host/text/printable.h).
std::string json_text(const std::string &text) {
    std::string out = "\"";
    for (char c : printable(text)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// {"value": 30.0, "unit": "inHg"} of a figure in its unit, with the text
// drawn when `text` is given.
std::string figure_json(int32_t figure, figure_unit unit, const char *text = nullptr) {
    std::string value = figure_text(figure, unit);
    value = value.substr(0, value.find(' '));
    std::string out = "{\"value\": " + value + ", \"unit\": " + json_text(figure_unit_name(unit));
    if (text) out += ", \"text\": " + json_text(text);
    return out + "}";
}

figure_unit map_unit() {
    return settings.map_unit == 0 ? FIGURE_MB : FIGURE_INHG;
}

figure_unit temp_unit() {
    return settings.temp_unit == 1 ? FIGURE_F : FIGURE_C;
}

const char *page_name(screen_handler screen) {
    if (screen != run_screen) return nullptr;
    if (lcd_drawn_state.run_page == RUN_PAGE_TIMERS) return "timers";
    if (lcd_drawn_state.run_page == RUN_PAGE_MAX_VALUES) return "max_values";
    return settings.rpm_display_on != 0 && lcd_drawn_state.mag_check != 0 ? "mag_check" : "main";
}

std::string readings_json() {
    char text[16];
    std::string rpm_json = "null", map_json = "null", temp_json = "null";
    if (settings.rpm_display_on != 0) {
        if (settings.rpm_display_mode == 1) {
            snprintf(text, sizeof text, "%ld", (long)rpm_percent);
            rpm_json = "{\"value\": " + std::string(text) +
                       ", \"unit\": \"%\", \"text\": " + json_text(text) + "}";
        } else {
            snprintf(text, sizeof text, "%u", (unsigned)rpm);
            rpm_json = figure_json(rpm, FIGURE_RPM, text);
        }
    }
    if (!(settings.map_source != 0 && exio_present == 0)) {
        format_map_reading(text, sizeof text, map_value);
        map_json = figure_json(map_value, map_unit(), text);
    }
    if (settings.temp_display_on != 0 && temp_raw <= TEMP_RAW_NO_SENSOR) {
        snprintf(text, sizeof text, "%d", temp_value);
        temp_json = figure_json(temp_value, temp_unit(), text);
    }
    return "{\"rpm\": " + rpm_json + ", \"map\": " + map_json + ", \"temp\": " + temp_json + "}";
}

// Each alarm as the frame shows it: its side from the value against the
// limits, and whether a key has acknowledged it.
std::string alarms_json() {
    const bool high[] = {map_value > settings.map_high_alarm, rpm > settings.rpm_high_alarm,
                         temp_value > settings.temp_high_alarm};
    const uint32_t bits[] = {ALARM_MAP, ALARM_RPM, ALARM_TEMP};
    const char *const names[] = {"map", "rpm", "temp"};
    std::string out = "{";
    for (int i = 0; i < 3; i++) {
        out += (i ? ", \"" : "\"") + std::string(names[i]) + "\": ";
        if (!(lcd_drawn_state.alarm_active & bits[i])) {
            out += "null";
            continue;
        }
        out += std::string("{\"side\": \"") + (high[i] ? "high" : "low") +
               "\", \"acknowledged\": " +
               ((lcd_drawn_state.alarm_acknowledged & bits[i]) ? "true" : "false") + "}";
    }
    return out + "}";
}

std::string hours_json(uint16_t hours, uint8_t hundredths) {
    char text[16];
    snprintf(text, sizeof text, "%u.%02u", (unsigned)hours, (unsigned)hundredths);
    return text;
}

std::string settings_json() {
    std::string out = "{";
    for (int i = 0; i < setting_count(); i++)
        out += (i ? ", " : "") + json_text(setting_name(i)) + ": " + json_text(setting_text(i));
    return out + "}";
}

} // namespace

std::string instrument_state_json(bool instrument_on, long long ticks) {
    const screen_handler screen = screen_on_display();
    const char *page = page_name(screen);
    char time[32];
    snprintf(time, sizeof time, "%lld.%lld", ticks / 10, ticks % 10);
    std::string out = "{\n  \"version\": 1,\n  \"time\": " + std::string(time) +
                      ",\n  \"on\": " + (instrument_on ? "true" : "false") +
                      ",\n  \"screen\": " + json_text(screen_name(screen)) +
                      ",\n  \"page\": " + (page ? json_text(page) : "null") +
                      ",\n  \"lamp\": " + (lamp_red == LAMP_BRIGHT ? "\"bright\"" : "\"dark\"");
    out += ",\n  \"readings\": " + readings_json();
    out += ",\n  \"alarms\": " + alarms_json();
    out += ",\n  \"max\": {\"rpm\": " + figure_json(max_rpm, FIGURE_RPM) +
           ", \"map\": " + figure_json(max_map, map_unit()) +
           ", \"temp\": " + figure_json(max_temp, temp_unit()) + "}";
    out += ",\n  \"timers\": {\"flight\": {\"running\": " +
           std::string(flight_running ? "true" : "false") +
           ", \"hours\": " + std::to_string(flight_hours) +
           ", \"minutes\": " + std::to_string(flight_minutes) +
           "}, \"hobbs_hours\": " + hours_json(timers.hobbs_hours, timers.hobbs_hundredths) +
           ", \"maintenance_hours\": " + hours_json(timers.maint_hours, timers.maint_hundredths) +
           "}";
    out += ",\n  \"settings\": " + settings_json() + "\n}\n";
    return out;
}
