#include "core/timebase.h"

uint8_t fast_tick;
uint8_t blink_phase;
uint8_t slow_tick;
uint8_t slow_phase;
uint8_t mag_check_countdown;

void timebase_tick(void) {
    // blink_phase changes on the 11th tick and every 11 ticks after.
    uint8_t fast = fast_tick++;
    if (fast > 9) {
        fast_tick = 0;
        blink_phase = blink_phase ? 0 : 1;
    }
    // The 2-second events fall on the 20th tick and every 20 ticks after.
    uint8_t slow = slow_tick++;
    if (slow < 19) return;
    slow_tick = 0;
    slow_phase = slow_phase ? 0 : 1;
    if (mag_check_countdown != 0) mag_check_countdown--;
}
