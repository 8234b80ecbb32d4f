// MAP SETUP: unit, gauge range, alarm and caution limits, filter,
// calibration, data source and EXIO address.
#pragma once
#include <stdint.h>

void map_setup_screen(void);

// A MAP limit in the unit in force: "%d" in millibar, "%.1f" of tenths of an
// inch of mercury. No unit text.
void format_map_value(char *out, uint8_t out_size, int16_t value);
