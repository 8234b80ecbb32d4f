#include "host/shell/drawn_state.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/menu.h"
#include "screens/run_screen.h"

drawn_state lcd_drawn_state;

// The alarm bits whose quantity is above its high limit with that alarm on,
// by the same comparison as the alarm step.
static uint32_t alarms_high(void) {
    uint32_t high = 0;
    if (settings.map_high_alarm_on == 1 && map_value > settings.map_high_alarm) high |= ALARM_MAP;
    if (settings.rpm_high_alarm_on == 1 && rpm > settings.rpm_high_alarm) high |= ALARM_RPM;
    if (settings.temp_high_alarm_on == 1 && temp_value > settings.temp_high_alarm)
        high |= ALARM_TEMP;
    return high & alarm_active;
}

// Field by field: the record's padding stays as program start left it, so
// saved program states compare equal byte for byte.
void keep_drawn_state(void) {
    drawn_state &d = lcd_drawn_state;
    d.run_page = run_page;
    d.mag_check = mag_check_countdown;
    d.menu_selected = menu_selected;
    d.menu_top = menu_top;
    d.menu_editing = menu_editing;
    d.backlight_level = settings.backlight_level;
    d.alarm_active = alarm_active;
    d.alarm_acknowledged = alarm_acknowledged;
    d.alarm_high = alarms_high();
}
