#include "display/frame_buffer.h"

#include <string.h>

uint8_t frame_buffer[LCD_PIXELS];

void clear_frame_buffer(void) { memset(frame_buffer, 0, sizeof frame_buffer); }
