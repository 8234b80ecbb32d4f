#include "host/power_loop.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/trig.h"
#include "host/engine_timers.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

#include <string.h>

uint8_t power_off_request;
uint16_t map_slider;
uint16_t temp_slider;
uint8_t lamp_red = LAMP_BRIGHT;
screen_handler shown_screen;

screen_handler screen_on_display(void) {
    return shown_screen ? shown_screen : current_screen;
}

void press_key(uint8_t code) {
    if (pending_key == 0) pending_key = code;
}

void rpm_slider_change(int32_t position) {
    rpm_pulse_rate = position;
}
void map_slider_change(uint16_t position) {
    map_slider = position;
}
void temp_slider_change(uint16_t position) {
    temp_slider = position;
}

void power_on_sequence(void) {
    power_off_request = 0;
    load_factory_defaults();
    current_screen = run_screen;
    build_trig_tables();
    edit_step = 1;
    alarm_active = 0;
    alarm_acknowledged = 0;
    pending_key = 0;
    run_page = 0;
}

void power_pass(uint8_t exio_checked) {
    lamp_red = lamp_red_level();
    map_adc = map_slider;
    temp_adc = temp_slider;
    exio_present = exio_checked ? 1 : 0;
    update_rpm();
    update_map();
    update_temperature();
    clear_frame_buffer();
    shown_screen = current_screen ? current_screen : run_screen;
    shown_screen();
}

#define ZERO(record) memset(&(record), 0, sizeof(record))

void reset_program_state(void) {
    ZERO(frame_buffer);
    ZERO(sin_table);
    ZERO(cos_table);
    ZERO(sin_table_neg);
    ZERO(cos_table_neg);
    ZERO(text_start_x);
    ZERO(text_end_x);
    ZERO(pending_key);
    ZERO(settings);
    ZERO(calibration);
    ZERO(timers);
    ZERO(rpm_pulse_rate);
    ZERO(map_adc);
    ZERO(exio_map_reading);
    ZERO(temp_adc);
    ZERO(exio_present);
    ZERO(light_sensor_adc);
    ZERO(bus_unit_c_present);
    ZERO(bus_unit_a_present);
    ZERO(rpm);
    ZERO(rpm_percent);
    ZERO(map_raw);
    ZERO(map_filter_acc);
    ZERO(map_mb);
    ZERO(map_value);
    ZERO(temp_raw);
    ZERO(temp_c);
    ZERO(temp_value);
    ZERO(alarm_active);
    ZERO(alarm_acknowledged);
    ZERO(max_map);
    ZERO(max_rpm);
    ZERO(max_temp);
    ZERO(fast_tick);
    ZERO(blink_phase);
    ZERO(slow_tick);
    ZERO(slow_phase);
    ZERO(mag_check_countdown);
    ZERO(menu_selected);
    ZERO(menu_top);
    ZERO(menu_editing);
    ZERO(edit_step);
    ZERO(pending_code);
    ZERO(entry_digits);
    ZERO(label_cursor);
    message_return_screen = run_screen;
    ZERO(run_page);
    ZERO(mag_check_rpm);
    ZERO(flight_running);
    ZERO(flight_hours);
    ZERO(flight_minutes);
    current_screen = run_screen;
    power_off_request = 0;
    map_slider = 0;
    temp_slider = 0;
    lamp_red = LAMP_BRIGHT;
    shown_screen = nullptr;
    reset_engine_timers();
}
