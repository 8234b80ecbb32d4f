// The state the last frame was drawn from, kept by each pass for the LCD's
// description in words.
#pragma once
#include <stdint.h>

// The state the last frame was drawn from, which the description reads: a
// screen acts on its key after drawing, so the records may have moved on.
// alarm_high holds the bits of the active alarms that are above their
// high limit (the others are below their low one).
struct drawn_state {
    uint8_t run_page, mag_check, menu_selected, menu_top, menu_editing, backlight_level;
    uint32_t alarm_active, alarm_acknowledged, alarm_high;
};
extern drawn_state lcd_drawn_state;

// Kept by each pass just before the screen draws.
void keep_drawn_state(void);
