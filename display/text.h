// The text call over the nine bitmap fonts.
#pragma once
#include <stdint.h>

#define ALIGN_CENTRE 0
#define ALIGN_LEFT 1
#define ALIGN_RIGHT 2

// Where the last text began after alignment, and the pen x after it.
extern int16_t text_start_x;
extern int16_t text_end_x;

// Draws a one-line string in font `size` (8, 9, 10, 12, 16, 20, 24, 30, 34;
// anything else is font 8), aligned on x, top of the cell at y. Returns text_end_x.
int16_t draw_text(int16_t x, int16_t y, const char *text, uint8_t reserved, uint8_t size,
                  uint8_t align, uint8_t colour);

// The texts drawn since forget_shown_texts(), in drawing order, with where
// its first character on the screen began, where it ended after alignment
// and its cell height, kept for the host's spoken description of the screen.
// Only characters with ink on the screen are kept; a long text is cut to
// fit; texts beyond SHOWN_TEXTS_MAX are not kept.
#define SHOWN_TEXTS_MAX 40
#define SHOWN_TEXT_SIZE 24
struct shown_text {
    int16_t x, end_x, y;
    uint8_t height, colour;
    char text[SHOWN_TEXT_SIZE];
};
extern struct shown_text shown_texts[SHOWN_TEXTS_MAX];
extern uint8_t shown_text_count;
void forget_shown_texts(void);
