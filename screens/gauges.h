// Page 0 of the run screen: the analogue MAP gauge and the digital RPM/MAP page.
#pragma once
#include <stdint.h>

// The arc with its limit bands and needle, the MAP value with its unit and a
// bottom line with the maximum MAP or the temperature.
void draw_map_gauge(uint16_t outer_radius, uint16_t band_width, uint16_t needle_inner_radius);

// Large RPM and MAP values with their units and the optional temperature line.
void draw_digital_page(void);
