// Run-length colour images (the icons).
#pragma once
#include <stdint.h>

// Paints the image with its top left corner at (x, y); size is the length of
// the data in bytes, so a malformed image can never be read past its end.
void draw_image(int16_t x, int16_t y, const uint8_t *image, uint32_t size);
