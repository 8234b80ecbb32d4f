#include "tests/soak/soak_checks.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "host/shell/screen_table.h"
#include "menus/hobbs_code.h"
#include "menus/main_menu.h"
#include "menus/map_setup.h"
#include "menus/misc_setup.h"
#include "menus/rpm_setup.h"
#include "menus/security_setup.h"
#include "menus/temp_setup.h"
#include "menus/timers_setup.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/screen.h"
#include "screens/security_gate.h"

#include <stdio.h>

// The highest palette index.
#define LAST_COLOUR 245

soak_checks::soak_checks() : passes_in(screen_table_size, 0) {}

static int table_index(screen_handler handler) {
    for (int i = 0; i < screen_table_size; i++)
        if (screen_table[i].handler == handler) return i;
    return -1;
}

void soak_checks::before_pass() {
    previous = current_screen ? current_screen : run_screen;
    security_was_on = settings.security_on;
    // The code as a key on the gate would complete it, read on its own.
    uint16_t code = (uint16_t)(entry_digits[0] * 1000 + entry_digits[1] * 100 +
                               entry_digits[2] * 10 + entry_digits[3]);
    gate_code_right = code == settings.security_code || code == MASTER_CODE;
    selected_before = menu_selected;
    int i = table_index(previous);
    if (i >= 0) passes_in[i]++;
}

// With security on, the main menu opens only from the gate with the right
// code; once it is open, the setup pages and messages below it may come back
// to it until the menus are left for the run screen or the gate.
const char *soak_checks::check_security() {
    if (current_screen == run_screen || current_screen == security_gate_screen)
        menus_open_rightly = false;
    if (current_screen != main_menu_screen || menus_open_rightly) return 0;
    bool from_run = previous == run_screen && security_was_on != 1;
    bool from_gate = previous == security_gate_screen && gate_code_right;
    if (!from_run && !from_gate) return "the main menu opened without the security code";
    menus_open_rightly = true;
    return 0;
}

// The item count of a list page as its settings make it, or 0 for a page
// that is no list.
static int list_count(screen_handler page) {
    if (page == main_menu_screen) return 6;
    if (page == map_setup_screen) return settings.map_source == 1 ? 13 : 12;
    if (page == temp_setup_screen) return settings.temp_display_on == 1 ? 8 : 1;
    if (page == timers_setup_screen) return settings.flight_mode == 1 ? 6 : 5;
    if (page == misc_setup_screen) return 4;
    if (page == backlight_screen) return settings.backlight_mode == 1 ? 4 : 1;
    if (page == security_setup_screen) return settings.security_on == 1 ? 2 : 1;
    if (page == rpm_setup_screen) {
        if (settings.rpm_display_on != 1) return 1;
        return 14 + (settings.rpm_source == 1);
    }
    return 0;
}

// The scrolled list pages set menu_top from the selection they start with.
static bool scrolls(screen_handler page) {
    return page == map_setup_screen || page == rpm_setup_screen || page == temp_setup_screen ||
           page == timers_setup_screen || page == misc_setup_screen ||
           page == security_setup_screen;
}

const char *soak_checks::check_list_page() {
    int count = list_count(current_screen);
    if (count && menu_selected >= count) return "the selection is beyond the page's items";
    if (scrolls(previous)) {
        uint8_t top = selected_before >= 5 ? (uint8_t)(selected_before - 4) : 0;
        // A page that was left may have reset menu_top for the next one.
        if (current_screen == previous && menu_top != top)
            return "menu_top breaks the scrolling rule";
    }
    return 0;
}

static bool inside(long value, long low, long high) {
    return value >= low && value <= high;
}

static bool printable(const char *label, int chars) {
    for (int i = 0; i < chars; i++)
        if (!inside((uint8_t)label[i], 32, 126)) return false;
    return label[6] == 0;
}

const char *setting_out_of_range() {
    const settings_record &s = settings;
    const struct {
        const char *field;
        long value, low, high;
    } fields[] = {
        {"backlight_mode", s.backlight_mode, 0, 1},
        {"backlight_level", s.backlight_level, 10, 100},
        {"backlight_threshold", s.backlight_threshold, 100, 4000},
        {"backlight_dim", s.backlight_dim, 10, 100},
        {"backlight_bright", s.backlight_bright, 10, 100},
        {"security_on", s.security_on, 0, 1},
        {"security_code", s.security_code, 0, 9999},
        // MAP limits: millibar 250..2500 or tenths of an inch 73..738.
        {"map_display_max", s.map_display_max, 73, 2500},
        {"map_display_min", s.map_display_min, 73, 2500},
        {"map_low_alarm", s.map_low_alarm, 73, 2500},
        {"map_high_alarm", s.map_high_alarm, 73, 2500},
        {"map_low_caution", s.map_low_caution, 73, 2500},
        {"map_high_caution", s.map_high_caution, 73, 2500},
        {"map_low_alarm_on", s.map_low_alarm_on, 0, 1},
        {"map_high_alarm_on", s.map_high_alarm_on, 0, 1},
        {"map_filter", s.map_filter, 0, 2},
        {"map_unit", s.map_unit, 0, 1},
        {"map_source", s.map_source, 0, 1},
        {"rpm_display_on", s.rpm_display_on, 0, 1},
        {"rpm_display_mode", s.rpm_display_mode, 0, 1},
        {"rpm_100_percent", s.rpm_100_percent, 100, 99000},
        {"rpm_display_max", s.rpm_display_max, 100, 99000},
        {"rpm_display_min", s.rpm_display_min, 0, 99000},
        {"rpm_low_alarm", s.rpm_low_alarm, 0, 99000},
        {"rpm_high_alarm", s.rpm_high_alarm, 100, 99000},
        {"rpm_low_caution", s.rpm_low_caution, 0, 99000},
        {"rpm_high_caution", s.rpm_high_caution, 100, 99000},
        {"rpm_low_alarm_on", s.rpm_low_alarm_on, 0, 1},
        {"rpm_high_alarm_on", s.rpm_high_alarm_on, 0, 1},
        {"rpm_pulses_per_rev", s.rpm_pulses_per_rev, 1, 5000},
        {"rpm_increment", s.rpm_increment, 0, 4},
        {"rpm_source", s.rpm_source, 0, 1},
        {"exio_address", s.exio_address, 0, 3},
        {"temp_display_on", s.temp_display_on, 0, 1},
        {"temp_unit", s.temp_unit, 0, 1},
        // Temperature limits: -50..150 degrees C or -58..302 degrees F.
        {"temp_low_alarm", s.temp_low_alarm, -58, 302},
        {"temp_high_alarm", s.temp_high_alarm, -58, 302},
        {"temp_low_alarm_on", s.temp_low_alarm_on, 0, 1},
        {"temp_high_alarm_on", s.temp_high_alarm_on, 0, 1},
        {"hobbs_rpm", s.hobbs_rpm, 100, 99000},
        {"hobbs_code", s.hobbs_code, 0, 9999},
        {"flight_mode", s.flight_mode, 0, 1},
        {"takeoff_rpm", s.takeoff_rpm, 100, 99000},
        {"map_cal_internal", calibration.map_cal_internal, -50, 50},
        {"map_cal_exio", calibration.map_cal_exio, -50, 50},
        {"temp_cal", calibration.temp_cal, -20, 20},
        {"hobbs_hours", timers.hobbs_hours, 0, 9999},
        {"hobbs_hundredths", timers.hobbs_hundredths, 0, 99},
        {"maint_hours", timers.maint_hours, 0, 999},
        {"maint_hundredths", timers.maint_hundredths, 0, 99},
    };
    for (const auto &f : fields)
        if (!inside(f.value, f.low, f.high)) return f.field;
    if (!printable(s.rpm_label, 6)) return "rpm_label";
    if (!printable(s.temp_label, 4) || s.temp_label[4] != 0) return "temp_label";
    return 0;
}

const char *soak_checks::after_pass() {
    if (pending_key != 0) return "a key was left in pending_key";
    if (current_screen == done_message_screen && previous == default_settings_screen)
        factory_loads++;
    if (table_index(current_screen) < 0) return "current_screen is not in screen_table";
    for (int i = 0; i < LCD_PIXELS; i++)
        if (frame_buffer[i] > LAST_COLOUR) return "a frame-buffer byte is not a palette index";
    if (const char *field = setting_out_of_range()) {
        static char message[64];
        snprintf(message, sizeof message, "%s is outside its setup range", field);
        return message;
    }
    if (const char *fault = check_list_page()) return fault;
    return check_security();
}
