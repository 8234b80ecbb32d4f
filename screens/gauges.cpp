#include "screens/gauges.h"

#include <stdio.h>

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/trig.h"
#include "screens/readouts.h"

#define GAUGE_CX 72
#define GAUGE_CY 76
#define ARC_START 150
#define ARC_SPAN 160
#define ARC_END 310

#define SOURCE_EXIO 1

// The point at angle a, radius r from the gauge centre, truncated toward zero.
static int16_t gauge_x(int16_t a, uint16_t r) {
    return (int16_t)(GAUGE_CX + (int32_t)((double)cos_deg(a) * (double)r));
}

static int16_t gauge_y(int16_t a, uint16_t r) {
    return (int16_t)(GAUGE_CY + (int32_t)((double)r * (double)sin_deg(a)));
}

// Two red diagonals over rows top..bottom: a readout fed by an absent EXIO unit.
static void draw_source_cross(uint8_t source, int16_t top, int16_t bottom) {
    if (source != SOURCE_EXIO || exio_present != 0) return;
    draw_line(0, top, 159, bottom, COLOUR_RED);
    draw_line(0, bottom, 159, top, COLOUR_RED);
}

// Caption, value (or "---" without a sensor) with its alarm box, and the unit
// `unit_gap` pixels after the value.
static void draw_temperature_line(int16_t caption_x, int16_t value_x, int16_t unit_gap) {
    char caption[LABEL_SIZE + 1];
    char value[8];
    format_caption(caption, sizeof caption, settings.temp_label);
    draw_text(caption_x, 102, caption, 0, 9, ALIGN_LEFT, COLOUR_GREY);
    if (temp_raw > TEMP_RAW_NO_SENSOR)
        snprintf(value, sizeof value, "---");
    else
        snprintf(value, sizeof value, "%d", temp_value);
    draw_text(value_x, 102, value, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
    draw_highlight(temp_readout_state(temp_value), (int16_t)(text_start_x - 1), 103,
                   (int16_t)(text_end_x - 1), 119, value_x, 102, value, 9, ALIGN_LEFT);
    draw_text((int16_t)(text_end_x + unit_gap), 104, temp_unit_text(), 0, 8, ALIGN_LEFT,
              COLOUR_GREY);
}

// Offset in degrees of a limit along the arc, 0..160. Clamped while still a
// float, so no range, inverted ones included, converts an out-of-range float.
static int16_t band_offset(int16_t limit, float scale) {
    float offset = (float)(limit - settings.map_display_min) / scale;
    if (offset < 0.0f) return 0;
    if (offset > (float)ARC_SPAN) return ARC_SPAN;
    return (int16_t)offset;
}

// Needle angle 150..310. A zero range cannot be divided by: the needle goes
// to the end of the arc on the value's side of the minimum.
static int16_t needle_angle(int32_t range) {
    if (range == 0) return map_value > settings.map_display_min ? ARC_END : ARC_START;
    float angle = (float)ARC_SPAN / (float)range * (float)(map_value - settings.map_display_min) +
                  (float)ARC_START;
    if (angle < (float)ARC_START) angle = (float)ARC_START;
    if (angle > (float)ARC_END) angle = (float)ARC_END;
    return (int16_t)angle;
}

void draw_map_gauge(uint16_t outer_radius, uint16_t band_width, uint16_t needle_inner_radius) {
    int32_t range = settings.map_display_max - settings.map_display_min;

    // A zero range has every offset 0, so the whole arc is one red band.
    int16_t o_la = 0, o_lc = 0, o_hc = 0, o_ha = 0;
    if (range != 0) {
        float scale = (float)(range * 0.00625);
        o_la = band_offset(settings.map_low_alarm, scale);
        o_lc = band_offset(settings.map_low_caution, scale);
        o_hc = band_offset(settings.map_high_caution, scale);
        o_ha = band_offset(settings.map_high_alarm, scale);
    }
    const struct {
        int16_t from, to;
        uint8_t colour;
    } bands[] = {
        {ARC_START, (int16_t)(ARC_START + o_la), COLOUR_RED},
        {(int16_t)(ARC_START + o_la), (int16_t)(ARC_START + o_lc), COLOUR_YELLOW},
        {(int16_t)(ARC_START + o_lc), (int16_t)(ARC_START + o_hc), COLOUR_GREEN},
        {(int16_t)(ARC_START + o_hc), (int16_t)(ARC_START + o_ha), COLOUR_YELLOW},
        {(int16_t)(ARC_START + o_ha), ARC_END, COLOUR_RED},
    };
    for (const auto &b : bands)
        if (b.from < b.to)
            draw_arc_band(GAUGE_CX, GAUGE_CY, (int16_t)band_width, (int16_t)outer_radius, b.from,
                          b.to, b.colour);

    int16_t a = needle_angle(range);
    uint16_t band_inner = (uint16_t)(outer_radius - band_width);
    draw_line(gauge_x(a, needle_inner_radius), gauge_y(a, needle_inner_radius),
              gauge_x(a, band_inner), gauge_y(a, band_inner), COLOUR_WHITE);
    draw_line(gauge_x(a, band_inner), gauge_y(a, band_inner), gauge_x(a, outer_radius),
              gauge_y(a, outer_radius), COLOUR_BLACK);

    draw_text(130, 36, map_unit_text(), 0, 9, ALIGN_CENTRE, COLOUR_GREY);

    char value[12];
    format_map_reading(value, sizeof value, map_value);
    draw_text(96, 54, value, 0, 24, ALIGN_CENTRE, COLOUR_WHITE);
    draw_highlight(map_readout_state(map_value), (int16_t)(text_start_x - 1), 60, text_end_x, 96,
                   96, 54, value, 24, ALIGN_CENTRE);

    if (settings.temp_display_on == 0) {
        char max_text[12];
        format_map_reading(max_text, sizeof max_text, max_map);
        draw_text(60, 102, "MAX:", 0, 9, ALIGN_LEFT, COLOUR_GREY);
        draw_text(110, 102, max_text, 0, 9, ALIGN_LEFT, COLOUR_WHITE);
        draw_source_cross(settings.map_source, 0, 119);
    } else {
        draw_temperature_line(43, 105, 3);
        draw_source_cross(settings.map_source, 0, 102);
    }
}

void draw_digital_page(void) {
    // The temperature line moves both rows up.
    uint8_t temp_rows = settings.temp_display_on != 0;
    int16_t y_rpm = temp_rows ? 17 : 24;
    int16_t y_map = temp_rows ? 57 : 75;
    char value[12];

    if (settings.rpm_display_mode == 1) {
        draw_text(160, (int16_t)(y_rpm + 4), "RPM", 0, 8, ALIGN_RIGHT, COLOUR_GREY);
        draw_text(158, (int16_t)(y_rpm + 15), "%", 0, 16, ALIGN_RIGHT, COLOUR_GREY);
        snprintf(value, sizeof value, "%ld", (long)rpm_percent);
    } else {
        draw_text(160, (int16_t)(y_rpm + 20), "RPM", 0, 8, ALIGN_RIGHT, COLOUR_GREY);
        snprintf(value, sizeof value, "%u", (unsigned int)rpm);
    }
    draw_text(127, y_rpm, value, 0, 24, ALIGN_RIGHT, COLOUR_WHITE);
    // The colour follows rpm also when the percentage is shown.
    draw_highlight(rpm_readout_state(rpm), text_start_x, (int16_t)(y_rpm + 6),
                   (int16_t)(text_end_x - 1), (int16_t)(y_rpm + 42), 127, y_rpm, value, 24,
                   ALIGN_RIGHT);
    if (temp_rows)
        draw_source_cross(settings.rpm_source, 22, 58);
    else
        draw_source_cross(settings.rpm_source, 31, 67);

    format_map_reading(value, sizeof value, map_value);
    draw_text(125, y_map, value, 0, 24, ALIGN_RIGHT, COLOUR_WHITE);
    draw_highlight(map_readout_state(map_value), text_start_x, (int16_t)(y_map + 6),
                   (int16_t)(text_end_x - 1), (int16_t)(y_map + 42), 125, y_map, value, 24,
                   ALIGN_RIGHT);
    draw_text(160, (int16_t)(y_map + 20), map_unit_text(), 0, 9, ALIGN_RIGHT, COLOUR_GREY);
    if (temp_rows)
        draw_source_cross(settings.map_source, 64, 100);
    else
        draw_source_cross(settings.map_source, 81, 117);

    if (settings.temp_display_on == 1) draw_temperature_line(28, 90, 5);
}
