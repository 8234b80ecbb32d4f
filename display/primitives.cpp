#include "display/primitives.h"

#include "display/frame_buffer.h"
#include "display/trig.h"

#include <string.h>

// Spans run from the first bound up to the second as unsigned numbers. Every
// value past the screen edge is clipped anyway, so the loop stops there: that
// also ends a span whose second bound is 65535.
static uint16_t last_visible(int16_t bound, uint16_t limit) {
    return (uint16_t)bound < limit ? (uint16_t)bound : limit - 1;
}

// The visible part of the span is one run of bytes.
void draw_hline(int16_t x0, int16_t x1, int16_t y, uint8_t colour) {
    uint16_t start = (uint16_t)x0, end = last_visible(x1, LCD_WIDTH);
    if ((uint16_t)y >= LCD_HEIGHT || start > end) return;
    memset(&frame_buffer[(uint16_t)y * LCD_WIDTH + start], colour, (size_t)(end - start + 1));
}

void draw_vline(int16_t y0, int16_t y1, int16_t x, uint8_t colour) {
    uint16_t end = last_visible(y1, LCD_HEIGHT);
    for (uint16_t y = (uint16_t)y0; y <= end; y++) put_pixel(x, (int16_t)y, colour);
}

void draw_rect(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour) {
    if (y0 == y1) return;
    draw_vline(y0, y1, x0, colour);
    draw_hline(x0, x1, y0, colour);
    draw_vline(y0, y1, x1, colour);
    draw_hline(x0, x1, y1, colour);
}

void fill_rect(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour) {
    if (y0 == y1) return;
    uint16_t end = last_visible(y1, LCD_HEIGHT);
    for (uint16_t y = (uint16_t)y0; y <= end; y++) draw_hline(x0, x1, (int16_t)y, colour);
}

typedef void (*pen)(int16_t x, int16_t y, uint8_t colour);

// A plus of five pixels; away from the edges without a clip test per pixel.
static void plus_pen(int16_t x, int16_t y, uint8_t colour) {
    if (x >= 1 && x < LCD_WIDTH - 1 && y >= 1 && y < LCD_HEIGHT - 1) {
        uint8_t *p = &frame_buffer[y * LCD_WIDTH + x];
        p[0] = p[-1] = p[1] = p[-LCD_WIDTH] = p[LCD_WIDTH] = colour;
        return;
    }
    put_pixel(x, y, colour);
    put_pixel(x - 1, y, colour);
    put_pixel(x + 1, y, colour);
    put_pixel(x, y - 1, colour);
    put_pixel(x, y + 1, colour);
}

// Bresenham in 16-bit arithmetic. The distances are taken from the unsigned
// coordinates and held as signed 16-bit counts, so wide spans wrap; a count
// that comes out negative draws nothing, and the int32 loop counter ends even
// where a 16-bit one would wrap forever. Inlined into each line call, so the
// pen is a direct call the compiler can inline too.
__attribute__((always_inline)) static inline void bresenham(int16_t x0, int16_t y0, int16_t x1,
                                                            int16_t y1, uint8_t colour, pen plot) {
    uint16_t ux0 = (uint16_t)x0, uy0 = (uint16_t)y0, ux1 = (uint16_t)x1, uy1 = (uint16_t)y1;
    int16_t dx = (int16_t)(ux1 > ux0 ? ux1 - ux0 : ux0 - ux1);
    int16_t dy = (int16_t)(uy1 > uy0 ? uy1 - uy0 : uy0 - uy1);
    int16_t sx = ux0 > ux1 ? -1 : 1;
    int16_t sy = uy0 > uy1 ? -1 : 1;
    int16_t x = x0, y = y0;
    if (dx >= dy) {
        int16_t e = (int16_t)(2 * dy - dx);
        for (int32_t i = 0; i < (int32_t)dx + 1; i++) {
            plot(x, y, colour);
            if (e > 0) {
                x = (int16_t)(x + sx);
                y = (int16_t)(y + sy);
                e = (int16_t)(e + 2 * dy - 2 * dx);
            } else {
                x = (int16_t)(x + sx);
                e = (int16_t)(e + 2 * dy);
            }
        }
    } else {
        int16_t e = (int16_t)(2 * dx - dy);
        for (int32_t i = 0; i < (int32_t)dy + 1; i++) {
            plot(x, y, colour);
            if (e > 0) {
                x = (int16_t)(x + sx);
                y = (int16_t)(y + sy);
                e = (int16_t)(e + 2 * dx - 2 * dy);
            } else {
                y = (int16_t)(y + sy);
                e = (int16_t)(e + 2 * dx);
            }
        }
    }
}

void draw_line(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour) {
    bresenham(x0, y0, x1, y1, colour, put_pixel);
}

void draw_thick_line(int16_t x0, int16_t y0, int16_t x1, int16_t y1, uint8_t colour) {
    bresenham(x0, y0, x1, y1, colour, plus_pen);
}

// trunc(cos(a) * r) and trunc(r * sin(a)) in double precision, r unsigned.
static int16_t polar_dx(int16_t a, uint16_t r) {
    return (int16_t)(int32_t)((double)cos_deg(a) * (double)r);
}

static int16_t polar_dy(int16_t a, uint16_t r) {
    return (int16_t)(int32_t)((double)r * (double)sin_deg(a));
}

// The angle loops draw a0 first and stop before a1; with a1 <= a0 they draw
// a0 alone instead of wrapping round the whole 16-bit range.
void draw_arc(int16_t cx, int16_t cy, int16_t radius, int16_t a0, int16_t a1, uint8_t colour) {
    uint16_t r = (uint16_t)radius;
    int16_t a = a0;
    do {
        put_pixel((int16_t)(cx + polar_dx(a, r)), (int16_t)(cy + polar_dy(a, r)), colour);
        a++;
    } while (a < a1);
}

void draw_arc_band(int16_t cx, int16_t cy, int16_t width, int16_t radius, int16_t a0, int16_t a1,
                   uint8_t colour) {
    uint16_t outer = (uint16_t)radius;
    uint16_t inner = (uint16_t)((uint16_t)radius - (uint16_t)width);
    int16_t a = a0;
    do {
        draw_thick_line((int16_t)(cx + polar_dx(a, outer)), (int16_t)(cy + polar_dy(a, outer)),
                        (int16_t)(cx + polar_dx(a, inner)), (int16_t)(cy + polar_dy(a, inner)),
                        colour);
        a++;
    } while (a < a1);
}
