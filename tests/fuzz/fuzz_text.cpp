// draw_text on any input. Layout: x (2 bytes, little-endian), y (2), size,
// alignment, colour, then the text; the text ends at a zero byte or at the
// end of the input, copied to a buffer of exactly its length.
#include "display/frame_buffer.h"
#include "display/text.h"
#include "tests/fuzz/fuzz_check.h"

#include <string.h>

#define HEADER 7

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < HEADER) return 0;
    int16_t x = fuzz_i16(data), y = fuzz_i16(data + 2);
    uint8_t font = data[4], align = data[5], colour = data[6];
    size_t length = size - HEADER;
    char *text = (char *)malloc(length + 1);
    memcpy(text, data + HEADER, length);
    text[length] = 0;

    clear_frame_buffer();
    int16_t end = draw_text(x, y, text, 0, font, align, colour);
    free(text);

    fuzz_require(end == text_end_x, "the result is text_end_x");
    if (align == ALIGN_LEFT) fuzz_require(text_start_x == x, "left text starts at x");
    for (int i = 0; i < LCD_PIXELS; i++)
        fuzz_require(frame_buffer[i] == 0 || frame_buffer[i] == colour,
                     "only the text colour is drawn");
    return 0;
}
