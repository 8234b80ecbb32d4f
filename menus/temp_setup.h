// TEMP SETUP: display on/off, unit, alarm limits, label and calibration.
#pragma once
#include <stdint.h>

void temp_setup_screen(void);

// Appends "°C" or "°F", after temp_unit, to the number in `text`.
void append_temp_unit(char *text, uint8_t size);
