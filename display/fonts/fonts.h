// The nine bitmap fonts, stored as records one after another, font 8 first.
// The record format is documented at the text code (display/text.cpp).
#pragma once
#include <stdint.h>

#define FONT_COUNT 9

// Size numbers in the order of the records: 8, 9, 10, 12, 16, 20, 24, 30, 34.
extern const uint8_t font_sizes[FONT_COUNT];

extern const uint8_t font_records[];
extern const uint32_t font_record_offsets[FONT_COUNT];
