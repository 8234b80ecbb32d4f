// draw_image on any input. Layout: x (2 bytes, little-endian), y (2), then
// the image data, passed with its exact size.
#include "display/frame_buffer.h"
#include "display/image.h"
#include "tests/fuzz/fuzz_check.h"

#include <string.h>

#define HEADER 4
#define UNTOUCHED 0xA5

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < HEADER) return 0;
    int16_t x = fuzz_i16(data), y = fuzz_i16(data + 2);
    const uint8_t *image = data + HEADER;
    uint32_t image_size = (uint32_t)(size - HEADER);

    memset(frame_buffer, UNTOUCHED, sizeof frame_buffer);
    draw_image(x, y, image, image_size);
    if (image_size < 4) {
        for (int i = 0; i < LCD_PIXELS; i++)
            fuzz_require(frame_buffer[i] == UNTOUCHED, "a headerless image draws nothing");
        return 0;
    }

    // Only the image's own rectangle may change; its corner coordinates wrap
    // as 16-bit numbers, as the decoder computes them.
    uint16_t width = (uint16_t)(image[0] | image[1] << 8);
    uint16_t height = (uint16_t)(image[2] | image[3] << 8);
    for (int py = 0; py < LCD_HEIGHT; py++) {
        for (int px = 0; px < LCD_WIDTH; px++) {
            if (frame_buffer[py * LCD_WIDTH + px] == UNTOUCHED) continue;
            uint16_t column = (uint16_t)(px - x), row = (uint16_t)(py - y);
            fuzz_require(column < width && row < height, "pixels stay inside the image");
        }
    }
    return 0;
}
