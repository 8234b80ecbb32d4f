// The settings record with its factory values, the calibration and timer
// records beside it, the option-name tables and the persistence hooks.
#pragma once
#include <stdint.h>

// Factory security code, and the master code that every code check accepts.
#define FACTORY_SECURITY_CODE 1234
#define MASTER_CODE 4321
extern const uint16_t master_code;

#define LABEL_SIZE 7

struct settings_record {
    uint8_t backlight_mode;
    uint8_t backlight_level;
    uint16_t backlight_threshold;
    uint8_t backlight_dim;
    uint8_t backlight_bright;
    uint8_t security_on;
    uint16_t security_code;
    int16_t map_display_max;
    int16_t map_display_min;
    int16_t map_low_alarm;
    uint8_t map_low_alarm_on;
    int16_t map_high_alarm;
    int16_t map_low_caution;
    int16_t map_high_caution;
    uint8_t map_high_alarm_on;
    uint8_t map_filter;
    uint8_t map_unit;
    uint8_t map_source;
    uint8_t rpm_display_on;
    uint8_t rpm_display_mode;
    int32_t rpm_100_percent;
    int32_t rpm_display_max;
    int32_t rpm_display_min;
    int32_t rpm_low_alarm;
    uint8_t rpm_low_alarm_on;
    int32_t rpm_high_alarm;
    uint8_t rpm_high_alarm_on;
    int32_t rpm_low_caution;
    int32_t rpm_high_caution;
    int16_t rpm_pulses_per_rev;
    uint8_t rpm_increment;
    char rpm_label[LABEL_SIZE];
    uint8_t rpm_source;
    uint8_t exio_address;
    uint8_t temp_display_on;
    uint8_t temp_unit;
    int16_t temp_low_alarm;
    int16_t temp_high_alarm;
    uint8_t temp_low_alarm_on;
    uint8_t temp_high_alarm_on;
    char temp_label[LABEL_SIZE];
    int32_t hobbs_rpm;
    uint16_t hobbs_code;
    uint8_t flight_mode;
    int32_t takeoff_rpm;
};

struct calibration_record {
    int8_t map_cal_internal;
    int8_t map_cal_exio;
    int8_t temp_cal;
};

struct timer_record {
    uint8_t hobbs_hundredths;
    uint16_t hobbs_hours;
    uint8_t maint_hundredths;
    uint16_t maint_hours;
};

extern struct settings_record settings;
extern struct calibration_record calibration;
extern struct timer_record timers;

// Every setting to its factory value, then the maxima to the live values.
void load_factory_defaults(void);

// Persistence hooks: called where a record changed; nothing is stored.
void store_settings(void);
void store_calibration(void);
void store_timers(void);
void store_max_values(void);

// Option names: zero-terminated records of one width, indexed by the option value.
#define OFF_ON_WIDTH 4
#define BACKLIGHT_MODE_WIDTH 7
#define MAP_UNIT_WIDTH 7
#define FILTER_WIDTH 5
#define INCREMENT_WIDTH 7
#define SOURCE_WIDTH 9
#define TEMP_UNIT_WIDTH 3
#define FLIGHT_MODE_WIDTH 9

extern const char off_on_names[2][OFF_ON_WIDTH];
extern const char backlight_mode_names[2][BACKLIGHT_MODE_WIDTH];
extern const char map_unit_names[2][MAP_UNIT_WIDTH];
extern const char filter_names[3][FILTER_WIDTH];
extern const char increment_names[5][INCREMENT_WIDTH];
extern const char source_names[2][SOURCE_WIDTH];
extern const char temp_unit_names[2][TEMP_UNIT_WIDTH];
extern const char flight_mode_names[2][FLIGHT_MODE_WIDTH];
