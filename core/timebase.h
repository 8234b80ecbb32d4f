// The 100 ms timebase: blinking, the 2-second phase and the magneto-check countdown.
#pragma once
#include <stdint.h>

extern uint8_t fast_tick;
extern uint8_t blink_phase;
extern uint8_t slow_tick;
extern uint8_t slow_phase;
extern uint8_t mag_check_countdown;

// One tick of the 100 ms timer.
void timebase_tick(void);
