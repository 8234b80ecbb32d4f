// Pixel, span, rectangle, line, arc and band primitives over frame_buffer.
// Every pixel is clipped on its own; nothing outside the screen is written.
#pragma once
#include "display/frame_buffer.h"

#include <stdint.h>

// Coordinates are compared as unsigned 16-bit numbers, so negative ones fall
// off the screen like those past the right or bottom edge. Inline: every
// drawing call goes through it.
inline void put_pixel(int16_t x, int16_t y, uint8_t colour) {
    if ((uint16_t)x < LCD_WIDTH && (uint16_t)y < LCD_HEIGHT)
        frame_buffer[(uint16_t)y * LCD_WIDTH + (uint16_t)x] = colour;
}
void draw_hline(int16_t x0, int16_t x1, int16_t y, uint8_t colour);
void draw_vline(int16_t y0, int16_t y1, int16_t x, uint8_t colour);
void draw_rect(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour);
void fill_rect(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour);
void draw_line(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour);
void draw_thick_line(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour);
// Angles a0 .. a1 - 1 in whole degrees; 0 points right, 90 down.
void draw_arc(int16_t cx, int16_t cy, int16_t radius, int16_t a0, int16_t a1, uint8_t colour);
void draw_arc_band(int16_t cx, int16_t cy, int16_t width, int16_t radius, int16_t a0, int16_t a1,
                   uint8_t colour);
