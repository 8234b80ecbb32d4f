#include "screens/readouts.h"

#include <stdio.h>

#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"

// Alarm beyond the alarm limits, else caution beyond the caution limits.
static uint8_t limit_state(int32_t value, int32_t low_alarm, int32_t low_caution,
                           int32_t high_caution, int32_t high_alarm) {
    if (value < low_alarm || value > high_alarm) return READOUT_ALARM;
    if (value < low_caution || value > high_caution) return READOUT_CAUTION;
    return READOUT_NORMAL;
}

uint8_t map_readout_state(int16_t value) {
    return limit_state(value, settings.map_low_alarm, settings.map_low_caution,
                       settings.map_high_caution, settings.map_high_alarm);
}

uint8_t rpm_readout_state(int32_t value) {
    return limit_state(value, settings.rpm_low_alarm, settings.rpm_low_caution,
                       settings.rpm_high_caution, settings.rpm_high_alarm);
}

uint8_t temp_readout_state(int16_t value) {
    if (settings.temp_low_alarm_on == 1 && value < settings.temp_low_alarm) return READOUT_ALARM;
    if (settings.temp_high_alarm_on == 1 && value > settings.temp_high_alarm) return READOUT_ALARM;
    return READOUT_NORMAL;
}

void draw_highlight(uint8_t state, int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t x,
                    int16_t y, const char *text, uint8_t size, uint8_t align) {
    uint8_t box, ink;
    if (state == READOUT_ALARM && blink_phase == 1) {
        box = COLOUR_RED;
        ink = COLOUR_WHITE;
    } else if (state == READOUT_CAUTION) {
        box = COLOUR_YELLOW;
        ink = COLOUR_BLACK;
    } else {
        return;
    }
    fill_rect(x0, y0, x1, y1, box);
    draw_text(x, y, text, 0, size, align, ink);
}

void format_map_reading(char *out, uint8_t out_size, int16_t value) {
    if (settings.map_unit == 0)
        snprintf(out, out_size, "%u", (unsigned int)(int)value);
    else
        snprintf(out, out_size, "%.1f", value * 0.1);
}

// The same unit choices as the sensor conversions make.
const char *map_unit_text(void) {
    return map_unit_names[settings.map_unit == 0 ? 0 : 1];
}

const char *temp_unit_text(void) {
    return temp_unit_names[settings.temp_unit == 1 ? 1 : 0];
}

void format_caption(char *out, uint8_t out_size, const char *label) {
    snprintf(out, out_size, "%s:", label);
}
