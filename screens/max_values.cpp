#include "screens/max_values.h"

#include "core/alarms.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"
#include "screens/readouts.h"

#include <stdio.h>

#define RPM_LINE_Y 56

// In PERCENT mode the line shows the figure and the percentage in turn, two
// seconds each; the highlight always judges the figure.
void draw_max_rpm_line(void) {
    char text[16];
    if (settings.rpm_display_mode == 0 || slow_phase == 0) {
        snprintf(text, sizeof text, "%ld", (long)max_rpm);
    } else if (settings.rpm_display_mode == 1) {
        draw_text(160, RPM_LINE_Y, "%", 0, 9, ALIGN_RIGHT, COLOUR_GREY);
        snprintf(text, sizeof text, "%ld", (long)(max_rpm * 100 / settings.rpm_100_percent));
    } else {
        return;
    }
    draw_text(142, RPM_LINE_Y, text, 0, 9, ALIGN_RIGHT, COLOUR_WHITE);
    draw_highlight(rpm_readout_state(max_rpm), (int16_t)(text_start_x - 2), RPM_LINE_Y + 1,
                   (int16_t)(text_end_x - 1), RPM_LINE_Y + 17, 142, RPM_LINE_Y, text, 9,
                   ALIGN_RIGHT);
}

static void draw_caption(int16_t y, const char *label) {
    char caption[LABEL_SIZE + 1];
    format_caption(caption, sizeof caption, label);
    draw_text(0, y, caption, 0, 9, ALIGN_LEFT, COLOUR_GREY);
}

static void draw_max_temp_line(int16_t y) {
    char text[8];
    draw_caption(y, settings.temp_label);
    snprintf(text, sizeof text, "%d", max_temp);
    draw_text(120, y, text, 0, 9, ALIGN_RIGHT, COLOUR_WHITE);
    draw_highlight(temp_readout_state(max_temp), (int16_t)(text_start_x - 1), (int16_t)(y + 1),
                   (int16_t)(text_end_x - 1), (int16_t)(y + 17), 120, y, text, 9, ALIGN_RIGHT);
    draw_text(125, (int16_t)(y + 2), temp_unit_text(), 0, 8, ALIGN_LEFT, COLOUR_GREY);
}

void draw_max_values_page(void) {
    char text[12];
    draw_text(80, 5, "MAX VALUES", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_hline(0, 159, 25, COLOUR_WHITE);
    draw_text(0, 36, "MAP:", 0, 9, ALIGN_LEFT, COLOUR_GREY);
    format_map_reading(text, sizeof text, max_map);
    draw_text(120, 36, text, 0, 9, ALIGN_RIGHT, COLOUR_WHITE);
    draw_highlight(map_readout_state(max_map), (int16_t)(text_start_x - 1), 37,
                   (int16_t)(text_end_x - 1), 53, 120, 36, text, 9, ALIGN_RIGHT);
    draw_text(125, 36, map_unit_text(), 0, 9, ALIGN_LEFT, COLOUR_GREY);
    if (settings.rpm_display_on == 1) {
        draw_caption(RPM_LINE_Y, settings.rpm_label);
        draw_max_rpm_line();
    }
    if (settings.temp_display_on == 1) draw_max_temp_line(settings.rpm_display_on == 1 ? 76 : 56);
    draw_hline(0, 159, 102, COLOUR_WHITE);
    draw_vline(102, 119, 53, COLOUR_WHITE);
    draw_vline(102, 119, 106, COLOUR_WHITE);
    draw_text(26, 104, "RESET", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
}
