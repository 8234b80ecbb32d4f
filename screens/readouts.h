// The value texts, unit texts and caution/alarm highlights shared by the
// run-screen pages.
#pragma once
#include <stdint.h>

#define READOUT_NORMAL 0
#define READOUT_CAUTION 1
#define READOUT_ALARM 2

// MAP and RPM compare their limits whatever the alarm switches say; the
// temperature has no caution, and each alarm side counts only while its
// switch is on. Equality with a limit is inside it.
uint8_t map_readout_state(int16_t value);
uint8_t rpm_readout_state(int32_t value);
uint8_t temp_readout_state(int16_t value);

// Caution: a yellow box with the text redrawn black. Alarm: while
// blink_phase is 1, a red box with the text redrawn white. The box is
// (x0, y0)..(x1, y1); the text is drawn again at (x, y) as first drawn.
void draw_highlight(uint8_t state, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t x,
                    int16_t y, const char *text, uint8_t size, uint8_t align);

// A MAP reading: "%u" in millibar, "%.1f" of tenths of an inch of mercury.
void format_map_reading(char *out, uint8_t out_size, int16_t value);
// "mB", or a double quote followed by "Hg".
const char *map_unit_text(void);
// The degree sign followed by C or F.
const char *temp_unit_text(void);
// The label followed by ":".
void format_caption(char *out, uint8_t out_size, const char *label);
