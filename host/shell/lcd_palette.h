// The LCD's fixed colour palette: 0x00RRGGBB per frame-buffer colour index.
#pragma once
#include <stdint.h>

#define LCD_PALETTE_SIZE 246

extern const uint32_t lcd_palette[LCD_PALETTE_SIZE];

// The entry of a frame-buffer index; indices 246..255 have none and show black.
uint32_t palette_colour(uint8_t index);
