#include "core/alarms.h"

#include "core/sensors.h"
#include "core/settings.h"

uint32_t alarm_active;
uint32_t alarm_acknowledged;

int16_t max_map;
int32_t max_rpm;
int16_t max_temp;

// An on/off setting counts as on only when it holds exactly 1.
static void set_alarm(uint32_t bit, int32_t x, int32_t low, uint8_t low_on, int32_t high,
                      uint8_t high_on) {
    if ((x < low && low_on == 1) || (x > high && high_on == 1)) {
        alarm_active |= bit;
    } else {
        alarm_active &= ~bit;
        alarm_acknowledged &= ~bit;
    }
}

void check_map_alarm(void) {
    if (map_value > max_map) {
        max_map = map_value;
        store_max_values();
    }
    set_alarm(ALARM_MAP, map_value, settings.map_low_alarm, settings.map_low_alarm_on,
              settings.map_high_alarm, settings.map_high_alarm_on);
}

void check_rpm_alarm(void) {
    if (rpm > max_rpm) {
        max_rpm = rpm;
        store_max_values();
    }
    set_alarm(ALARM_RPM, rpm, settings.rpm_low_alarm, settings.rpm_low_alarm_on,
              settings.rpm_high_alarm, settings.rpm_high_alarm_on);
}

void check_temp_alarm(void) {
    if (temp_value > max_temp) {
        max_temp = temp_value;
        store_max_values();
    }
    set_alarm(ALARM_TEMP, temp_value, settings.temp_low_alarm, settings.temp_low_alarm_on,
              settings.temp_high_alarm, settings.temp_high_alarm_on);
}

void reset_max_values(void) {
    max_map = map_value;
    max_rpm = rpm;
    max_temp = temp_value;
    store_max_values();
}

uint8_t acknowledge_alarms(void) {
    static const uint32_t order[] = {ALARM_MAP, ALARM_RPM, ALARM_TEMP};
    uint8_t acknowledged = 0;
    for (uint32_t bit : order) {
        if ((alarm_active & bit) && !(alarm_acknowledged & bit)) {
            alarm_acknowledged |= bit;
            acknowledged = 1;
        }
    }
    return acknowledged;
}

uint8_t lamp_red_level(void) {
    uint32_t unacknowledged = alarm_active & ~alarm_acknowledged & (ALARM_MAP | ALARM_RPM | ALARM_TEMP);
    return unacknowledged ? LAMP_BRIGHT : LAMP_DARK;
}
