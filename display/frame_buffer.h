// The instrument's 160 x 120 display memory: one palette index per pixel.
#pragma once
#include <stdint.h>

#define LCD_WIDTH 160
#define LCD_HEIGHT 120
#define LCD_PIXELS (LCD_WIDTH * LCD_HEIGHT)

// Palette indices the screens draw with.
#define COLOUR_BLACK 0
#define COLOUR_RED 9
#define COLOUR_GREEN 10
#define COLOUR_YELLOW 11
#define COLOUR_WHITE 15
#define COLOUR_GREY 229

// Row-major: index y * 160 + x.
extern uint8_t frame_buffer[LCD_PIXELS];

void clear_frame_buffer(void);
