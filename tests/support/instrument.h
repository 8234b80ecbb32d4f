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

// Clicks with a pass each: '1' F1, '2' F2, 'P' push, '+' and '-' the rotary control.
void keys(const char *sequence);

// On a code page: sets each of the four digits from 0 with "+" or "-" and
// pushes through them, completing the entry.
void dial_code(uint16_t code);

// From power-on (alarms acknowledged) through the main menu into item `item`.
void open_main_menu_item(uint8_t item, const panel &p = panel());
