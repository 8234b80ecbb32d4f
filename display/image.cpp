#include "display/image.h"

#include "display/primitives.h"

#include <string.h>

// Run-length image, all values little-endian:
//
//   offset  size  field
//   0       2     width in pixels
//   2       2     height in pixels
//   4       ...   pixel stream, row after row, top row first
//
// Each row starts at column 0 and is decoded until the column reaches the
// width. A control byte b >= 128 is a run: the next byte is a colour drawn
// b - 128 times (a run of 0 still consumes its colour). A control byte
// b < 128 is followed by b literal colour bytes. A run that overshoots the
// width ends the row. Every pixel is written, colour 0 included.

#define STAGING_SIZE 128

// The image store is read sequentially in 128-byte blocks.
struct image_reader {
    const uint8_t *next;
    uint32_t remaining;
    uint8_t block[STAGING_SIZE];
    uint8_t used;
    uint8_t filled;
};

// Returns 0 once the data is exhausted.
static int read_byte(struct image_reader *r, uint8_t *out) {
    if (r->used == r->filled) {
        if (r->remaining == 0) return 0;
        uint32_t n = r->remaining < STAGING_SIZE ? r->remaining : STAGING_SIZE;
        memcpy(r->block, r->next, n);
        r->next += n;
        r->remaining -= n;
        r->filled = (uint8_t)n;
        r->used = 0;
    }
    *out = r->block[r->used++];
    return 1;
}

// A run of one colour on a row: clipped once, then filled.
static void draw_run(int16_t x, uint16_t count, int16_t y, uint8_t colour) {
    if ((uint16_t)y >= LCD_HEIGHT) return;
    int32_t first = x, last = (int32_t)x + count - 1;
    if (first < 0) first = 0;
    if (last > LCD_WIDTH - 1) last = LCD_WIDTH - 1;
    if (first <= last)
        memset(&frame_buffer[y * LCD_WIDTH + first], colour, (size_t)(last - first + 1));
}

void draw_image(int16_t x, int16_t y, const uint8_t *image, uint32_t size) {
    if (size < 4) return;
    uint16_t width = (uint16_t)(image[0] | image[1] << 8);
    uint16_t height = (uint16_t)(image[2] | image[3] << 8);
    struct image_reader r = {image + 4, size - 4, {0}, 0, 0};
    for (uint16_t row = 0; row < height; row++) {
        uint16_t column = 0;
        while (column < width) {
            uint8_t b, colour;
            if (!read_byte(&r, &b)) return;
            if (b >= 128) {
                if (!read_byte(&r, &colour)) return;
                uint16_t count = (uint16_t)(b - 128);
                if (count > width - column) count = (uint16_t)(width - column);
                draw_run((int16_t)(x + column), count, (int16_t)(y + row), colour);
                column = (uint16_t)(column + count);
            } else {
                for (uint8_t i = 0; i < b; i++) {
                    if (!read_byte(&r, &colour)) return;
                    if (column < width)
                        put_pixel((int16_t)(x + column), (int16_t)(y + row), colour);
                    column++;
                }
            }
        }
    }
}
