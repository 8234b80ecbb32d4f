#include "tests/support/instrument.h"

#include "core/keys.h"
#include "core/timebase.h"
#include "host/shell/power_loop.h"

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

void keys(const char *sequence) {
    for (const char *c = sequence; *c; c++) {
        switch (*c) {
        case '1':
            key(KEY_F1);
            break;
        case '2':
            key(KEY_F2);
            break;
        case 'P':
            key(KEY_PUSH);
            break;
        case '+':
            key(KEY_PLUS);
            break;
        case '-':
            key(KEY_MINUS);
            break;
        default:
            break;
        }
    }
}

void dial_code(uint16_t code) {
    const uint8_t digits[] = {(uint8_t)(code / 1000 % 10), (uint8_t)(code / 100 % 10),
                              (uint8_t)(code / 10 % 10), (uint8_t)(code % 10)};
    for (uint8_t d : digits) {
        if (d <= 5)
            for (uint8_t i = 0; i < d; i++) key(KEY_PLUS);
        else
            for (uint8_t i = d; i < 10; i++) key(KEY_MINUS);
        key(KEY_PUSH);
    }
}

void open_main_menu_item(uint8_t item, const panel &p) {
    start_program_and_power_on(p);
    passes(1);
    key(KEY_F2); // acknowledges the alarms of a cold engine
    key(KEY_PUSH);
    for (uint8_t i = 0; i < item; i++) key(KEY_PLUS);
    key(KEY_PUSH);
}
