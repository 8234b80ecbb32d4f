#include "tests/support/instrument.h"

#include "core/timebase.h"
#include "host/power_loop.h"

void power_on(const panel &p) {
    power_on_sequence();
    rpm_slider_change(p.rpm);
    map_slider_change(p.map);
}

void start_program_and_power_on(const panel &p) {
    reset_program_state();
    power_on(p);
}

void passes(int n, uint8_t exio) {
    for (int i = 0; i < n; i++) power_pass(exio);
}

void ticks(int n) {
    for (int i = 0; i < n; i++) timebase_tick();
}

void key(uint8_t code) {
    press_key(code);
    passes(1);
}
