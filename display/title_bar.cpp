#include "display/title_bar.h"

#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"

void draw_title_bar(const char *name1, const char *name2) {
    draw_text(0, 0, "Q", 0, 12, ALIGN_LEFT, COLOUR_RED);
    draw_text(15, 0, "irel", 0, 12, ALIGN_LEFT, COLOUR_WHITE);
    draw_text(158, 0, name1, 0, 8, ALIGN_RIGHT, COLOUR_RED);
    draw_text(158, 11, name2, 0, 8, ALIGN_RIGHT, COLOUR_RED);
    draw_hline(0, 159, 25, COLOUR_WHITE);
}
