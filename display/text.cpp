#include "display/text.h"

#include <string.h>

#include "display/fonts/fonts.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"

// Font record, all multi-byte values little-endian:
//
//   offset         size  field
//   0              2     zero
//   2              2     first character code
//   4              2     last character code
//   6              1     per-font byte, not read here
//   7              1     cell height in pixel rows
//   8              4 * n character table, one entry per code first..last
//   8 + 4n         ...   glyph bitmaps
//
// Character table entry: byte 0 = bits 16..23 of the glyph offset, byte 1 =
// glyph width in pixels, bytes 2..3 = bits 0..15 of the offset; the offset
// counts from the start of the record. A glyph is cell-height rows, top row
// first, each ceil(width / 8) bytes; the most significant bit is the leftmost
// pixel, a 1 bit is ink.

int16_t text_start_x;
int16_t text_end_x;

#define FONT_34 34

static const uint8_t *select_font(uint8_t size) {
    for (uint8_t i = 0; i < FONT_COUNT; i++)
        if (font_sizes[i] == size) return font_records + font_record_offsets[i];
    return font_records + font_record_offsets[0];
}

static uint16_t read_u16(const uint8_t *p) {
    return (uint16_t)(p[0] | p[1] << 8);
}

// The table entry of a code, or 0 for a code the font does not hold.
static const uint8_t *char_entry(const uint8_t *font, uint8_t code) {
    uint16_t first = read_u16(font + 2), last = read_u16(font + 4);
    if (code < first || code > last) return 0;
    return font + 8 + 4 * (code - first);
}

// Width + 1; in font 34 width - 1, since its glyphs carry their own spacing.
static int16_t advance(const uint8_t *entry, uint8_t size) {
    if (!entry) return 0;
    return size == FONT_34 ? entry[1] - 1 : entry[1] + 1;
}

// Every 1 bit of the glyph's rows is drawn; blank bytes are skipped, and a
// glyph whose box lies on the screen is written without a clip per pixel.
static void draw_glyph(const uint8_t *font, const uint8_t *entry, int16_t x, int16_t y,
                       uint8_t colour) {
    uint8_t height = font[7];
    uint8_t row_bytes = (uint8_t)((entry[1] + 7) / 8);
    const uint8_t *bits = font + ((uint32_t)entry[0] << 16 | read_u16(entry + 2));
    int on_screen = x >= 0 && x + row_bytes * 8 <= LCD_WIDTH && y >= 0 && y + height <= LCD_HEIGHT;
    for (uint8_t j = 0; j < height; j++) {
        for (uint8_t b = 0; b < row_bytes; b++) {
            uint8_t byte = *bits++;
            if (byte == 0) continue;
            int16_t left = (int16_t)(x + b * 8);
            if (on_screen) {
                // One store per set bit, leftmost first.
                uint8_t *p = &frame_buffer[(y + j) * LCD_WIDTH + left];
                for (unsigned ink = byte; ink; ink &= ink - 1) p[7 - __builtin_ctz(ink)] = colour;
            } else {
                for (uint8_t i = 0; i < 8; i++)
                    if (byte & (0x80 >> i))
                        put_pixel((int16_t)(left + i), (int16_t)(y + j), colour);
            }
        }
    }
}

struct shown_text shown_texts[SHOWN_TEXTS_MAX];
uint8_t shown_text_count;

void forget_shown_texts(void) {
    shown_text_count = 0;
}

// Whether any ink of the glyph drawn at x falls on the screen's columns.
static int ink_on_screen(const uint8_t *font, const uint8_t *entry, int16_t x) {
    if (x >= 0 && x + entry[1] <= LCD_WIDTH) return 1;
    uint8_t row_bytes = (uint8_t)((entry[1] + 7) / 8);
    const uint8_t *bits = font + ((uint32_t)entry[0] << 16 | read_u16(entry + 2));
    for (uint16_t b = 0; b < font[7] * row_bytes; b++)
        for (uint8_t i = 0; i < 8; i++) {
            int16_t column = (int16_t)(x + b % row_bytes * 8 + i);
            if ((bits[b] & (0x80 >> i)) && column >= 0 && column < LCD_WIDTH) return 1;
        }
    return 0;
}

// Keeps the characters with ink on the screen (blanks within it), and
// where the first of them begins.
static void keep_shown_text(const uint8_t *font, uint8_t size, int16_t y, const char *text,
                            uint8_t colour) {
    if (shown_text_count >= SHOWN_TEXTS_MAX) return;
    struct shown_text *t = &shown_texts[shown_text_count++];
    uint8_t kept = 0;
    int16_t pen = text_start_x;
    t->x = text_end_x;
    for (const uint8_t *c = (const uint8_t *)text; *c; c++) {
        const uint8_t *entry = char_entry(font, *c);
        if (!entry) continue;
        const int shown = *c == ' ' ? pen >= 0 && pen < LCD_WIDTH : ink_on_screen(font, entry, pen);
        if (shown && kept < SHOWN_TEXT_SIZE - 1) {
            if (kept == 0) t->x = pen;
            t->text[kept++] = (char)*c;
        }
        pen = (int16_t)(pen + advance(entry, size));
    }
    t->text[kept] = '\0';
    t->end_x = text_end_x;
    t->y = y;
    t->height = font[7];
    t->colour = colour;
}

int16_t draw_text(int16_t x, int16_t y, const char *text, uint8_t reserved, uint8_t size,
                  uint8_t align, uint8_t colour) {
    (void)reserved;
    const uint8_t *font = select_font(size);
    const uint8_t *s = (const uint8_t *)text;

    int16_t pen = x;
    if (align != ALIGN_LEFT) {
        uint16_t total = 0;
        for (const uint8_t *c = s; *c; c++)
            total = (uint16_t)(total + advance(char_entry(font, *c), size));
        pen = align == ALIGN_RIGHT ? (int16_t)(x - total) : (int16_t)(x - (total >> 1));
    }
    text_start_x = pen;
    for (const uint8_t *c = s; *c; c++) {
        const uint8_t *entry = char_entry(font, *c);
        if (!entry) continue;
        draw_glyph(font, entry, pen, y, colour);
        pen = (int16_t)(pen + advance(entry, size));
    }
    text_end_x = pen;
    keep_shown_text(font, size, y, text, colour);
    return pen;
}
