// Drives the instrument as the window does: power-on with the sliders where
// they stand, then passes and timer ticks.
#pragma once
#include <stdint.h>

struct panel {
    int32_t rpm = 1;
    uint16_t map = 1;
    uint8_t exio = 0;
};

// Program start state, then the power-on sequence with the RPM and MAP slider
// handlers run for the given positions.
void start_program_and_power_on(const panel &p = panel());

// "&On" again on an instrument whose state is kept.
void power_on(const panel &p = panel());

void passes(int n, uint8_t exio = 0);

// A click on a key, then the pass that handles it.
void key(uint8_t code);
void ticks(int n);
