#include "host/shell/power_loop.h"

#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/trig.h"
#include "host/shell/drawn_state.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

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
    forget_shown_texts();
    keep_drawn_state();
    shown_screen = current_screen ? current_screen : run_screen;
    shown_screen();
}
