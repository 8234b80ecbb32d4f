#include "core/settings.h"

#include "core/alarms.h"

#include <string.h>

struct settings_record settings;
struct calibration_record calibration;
struct timer_record timers;

const uint16_t master_code = MASTER_CODE;

void load_factory_defaults(void) {
    settings.backlight_mode = 0;
    settings.backlight_level = 100;
    settings.backlight_threshold = 300;
    settings.backlight_dim = 10;
    settings.backlight_bright = 100;
    settings.security_on = 0;
    settings.security_code = FACTORY_SECURITY_CODE;
    settings.map_display_max = 443;
    settings.map_display_min = 266;
    settings.map_low_alarm = 278;
    settings.map_low_alarm_on = 1;
    settings.map_high_alarm = 413;
    settings.map_low_caution = 292;
    settings.map_high_caution = 354;
    settings.map_high_alarm_on = 1;
    settings.map_filter = 1;
    settings.map_unit = 1;
    settings.map_source = 0;
    settings.rpm_display_on = 1;
    settings.rpm_display_mode = 0;
    settings.rpm_100_percent = 6000;
    settings.rpm_display_max = 6000;
    settings.rpm_display_min = 0;
    settings.rpm_low_alarm = 500;
    settings.rpm_low_alarm_on = 0;
    settings.rpm_high_alarm = 5800;
    settings.rpm_high_alarm_on = 1;
    settings.rpm_low_caution = 1000;
    settings.rpm_high_caution = 5500;
    settings.rpm_pulses_per_rev = 60;
    settings.rpm_increment = 0;
    memcpy(settings.rpm_label, "ENGINE", 7);
    settings.rpm_source = 0;
    settings.exio_address = 0;
    settings.temp_display_on = 1;
    settings.temp_unit = 0;
    settings.temp_low_alarm = 0;
    settings.temp_high_alarm = 60;
    settings.temp_low_alarm_on = 1;
    settings.temp_high_alarm_on = 1;
    memcpy(settings.temp_label, "TEMP", 5);
    settings.hobbs_rpm = 1000;
    settings.hobbs_code = 0;
    settings.flight_mode = 0;
    settings.takeoff_rpm = 1000;
    reset_max_values();
    store_settings();
}

// Every record lives in memory for the life of the program.
void store_settings(void) {}
void store_calibration(void) {}
void store_timers(void) {}
void store_max_values(void) {}

// Each table is a row of equal-width zero-terminated records.
const char off_on_names[2][OFF_ON_WIDTH] = {"OFF", "ON"};
const char backlight_mode_names[2][BACKLIGHT_MODE_WIDTH] = {"MANUAL", "AUTO"};
const char map_unit_names[2][MAP_UNIT_WIDTH] = {"mB", "\"Hg"};
const char filter_names[3][FILTER_WIDTH] = {"NONE", "FAST", "SLOW"};
const char increment_names[5][INCREMENT_WIDTH] = {"1RPM", "5RPM", "10RPM", "50RPM", "100RPM"};
const char source_names[2][SOURCE_WIDTH] = {"INTERNAL", "EXIO"};
const char temp_unit_names[2][TEMP_UNIT_WIDTH] = {"\xB0" "C", "\xB0" "F"};
const char flight_mode_names[2][FLIGHT_MODE_WIDTH] = {"MANUAL", "DETECT"};
