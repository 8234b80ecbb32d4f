// The LCD's fixed colour palette: 0x00RRGGBB per frame-buffer colour index.
#pragma once
#include <stdint.h>

#include <string>

#define LCD_PALETTE_SIZE 246

extern const uint32_t lcd_palette[LCD_PALETTE_SIZE];

// The entry of a frame-buffer index; indices 246..255 have none and show black.
uint32_t palette_colour(uint8_t index);

// An index's colour as a person reads it: "#FF0000 red", the name for the
// basic colours only ("#3C8080" otherwise); "index 250 (no colour)" past the
// palette.
std::string palette_colour_text(uint8_t index);
