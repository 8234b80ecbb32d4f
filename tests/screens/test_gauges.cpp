#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/trig.h"
#include "host/shell/power_loop.h"
#include "screens/gauges.h"
#include "tests/support/frame_region.h"
#include "tests/support/golden.h"

#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <vector>

namespace {

uint8_t pixel(int x, int y) {
    return frame_buffer[y * LCD_WIDTH + x];
}

// The point at angle a and radius r on the gauge.
uint8_t gauge_pixel(int16_t a, int r) {
    return pixel(72 + (int)((double)cos_deg(a) * r), 76 + (int)((double)r * sin_deg(a)));
}

struct text_ink {
    std::vector<int> pixels;
    int16_t start, end;
};

// What a text call inks when drawn alone, and where it begins and ends.
text_ink measure(int16_t x, int16_t y, const char *text, uint8_t size, uint8_t align) {
    static uint8_t saved[LCD_PIXELS];
    memcpy(saved, frame_buffer, LCD_PIXELS);
    clear_frame_buffer();
    draw_text(x, y, text, 0, size, align, 1);
    text_ink t{{}, text_start_x, text_end_x};
    for (int i = 0; i < LCD_PIXELS; i++)
        if (frame_buffer[i]) t.pixels.push_back(i);
    memcpy(frame_buffer, saved, LCD_PIXELS);
    return t;
}

// Every pixel of the text shows in `colour`.
::testing::AssertionResult shows_text(int16_t x, int16_t y, const char *text, uint8_t size,
                                      uint8_t align, uint8_t colour) {
    text_ink t = measure(x, y, text, size, align);
    if (t.pixels.empty()) return ::testing::AssertionFailure() << "\"" << text << "\" has no ink";
    for (int i : t.pixels)
        if (frame_buffer[i] != colour)
            return ::testing::AssertionFailure()
                   << "\"" << text << "\" at (" << i % LCD_WIDTH << ", " << i / LCD_WIDTH << ") is "
                   << int(frame_buffer[i]);
    return ::testing::AssertionSuccess();
}

// The box (x0, y0)..(x1, y1) holds only `colours` and fills up to its edges,
// with nothing of its colour just outside them.
void expect_box(int x0, int y0, int x1, int y1, uint8_t box, std::set<int> colours) {
    EXPECT_EQ(region_colours(x0, y0, x1, y1), colours);
    for (int x : {x0, x1})
        for (int y : {y0, y1}) EXPECT_EQ(pixel(x, y), box) << x << ", " << y;
    EXPECT_NE(pixel(x0 - 1, y0), box);
    EXPECT_NE(pixel(x1 + 1, y0), box);
    EXPECT_NE(pixel(x0, y0 - 1), box);
    if (y1 + 1 < LCD_HEIGHT) {
        EXPECT_NE(pixel(x1, y1 + 1), box);
    }
}

// The point at angle a and radius r, truncated toward zero.
void gauge_point(int16_t a, int r, int16_t &x, int16_t &y) {
    x = (int16_t)(72 + (int)((double)cos_deg(a) * r));
    y = (int16_t)(76 + (int)((double)r * sin_deg(a)));
}

// The needle at angle a: white from radius 35 to 55, then black to 70.
::testing::AssertionResult shows_needle(int16_t a) {
    static uint8_t saved[LCD_PIXELS];
    memcpy(saved, frame_buffer, LCD_PIXELS);
    int16_t x35, y35, x55, y55, x70, y70;
    gauge_point(a, 35, x35, y35);
    gauge_point(a, 55, x55, y55);
    gauge_point(a, 70, x70, y70);
    clear_frame_buffer();
    draw_line(x35, y35, x55, y55, COLOUR_WHITE);
    draw_line(x55, y55, x70, y70, 1); // black, marked
    static uint8_t needle[LCD_PIXELS];
    memcpy(needle, frame_buffer, LCD_PIXELS);
    memcpy(frame_buffer, saved, LCD_PIXELS);
    for (int i = 0; i < LCD_PIXELS; i++) {
        if (!needle[i]) continue;
        uint8_t want = needle[i] == 1 ? COLOUR_BLACK : COLOUR_WHITE;
        if (frame_buffer[i] != want)
            return ::testing::AssertionFailure()
                   << "needle at " << a << ": (" << i % LCD_WIDTH << ", " << i / LCD_WIDTH
                   << ") is " << int(frame_buffer[i]);
    }
    return ::testing::AssertionSuccess();
}

// The rows of the red pixels in a column.
std::set<int> red_rows(int x) {
    std::set<int> rows;
    for (int y = 0; y < LCD_HEIGHT; y++)
        if (pixel(x, y) == COLOUR_RED) rows.insert(y);
    return rows;
}

// Factory settings (gauge 266..443 in tenths of an inch) with plain readings.
class GaugePages : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_program_state();
        power_on_sequence();
        map_value = 330;
        max_map = 390;
        rpm = 2400;
        rpm_percent = 40;
        temp_raw = 2700;
        temp_value = 53;
        blink_phase = 0;
        exio_present = 0;
    }
    static void gauge() {
        clear_frame_buffer();
        draw_map_gauge(70, 15, 35);
    }
    static void digital() {
        clear_frame_buffer();
        draw_digital_page();
    }
};

class MapGauge : public GaugePages {};
class DigitalPage : public GaugePages {};

TEST_F(MapGauge, FactoryBands) {
    map_value = 300; // needle at 180, clear of the samples
    gauge();
    struct {
        int16_t angle;
        uint8_t colour;
    } samples[] = {
        {150, COLOUR_RED},   {158, COLOUR_RED},   {160, COLOUR_YELLOW}, {171, COLOUR_YELLOW},
        {173, COLOUR_GREEN}, {227, COLOUR_GREEN}, {229, COLOUR_YELLOW}, {280, COLOUR_YELLOW},
        {282, COLOUR_RED},   {308, COLOUR_RED},
    };
    for (const auto &s : samples)
        for (int r : {57, 62, 68})
            EXPECT_EQ(gauge_pixel(s.angle, r), s.colour) << s.angle << " r " << r;

    // Pixel for pixel the five bands over their whole-degree ranges, except the
    // needle's black notch.
    static uint8_t drawn[LCD_PIXELS];
    memcpy(drawn, frame_buffer, LCD_PIXELS);
    clear_frame_buffer();
    draw_arc_band(72, 76, 15, 70, 150, 160, COLOUR_RED);
    draw_arc_band(72, 76, 15, 70, 160, 173, COLOUR_YELLOW);
    draw_arc_band(72, 76, 15, 70, 173, 229, COLOUR_GREEN);
    draw_arc_band(72, 76, 15, 70, 229, 282, COLOUR_YELLOW);
    draw_arc_band(72, 76, 15, 70, 282, 310, COLOUR_RED);
    int notch = 0;
    for (int i = 0; i < LCD_PIXELS; i++) {
        bool band_colour =
            drawn[i] == COLOUR_RED || drawn[i] == COLOUR_YELLOW || drawn[i] == COLOUR_GREEN;
        if (!frame_buffer[i]) {
            EXPECT_FALSE(band_colour) << "at " << i % LCD_WIDTH << ", " << i / LCD_WIDTH;
            continue;
        }
        if (i / LCD_WIDTH == 76 && i % LCD_WIDTH <= 37) { // the needle's row
            notch += drawn[i] == COLOUR_BLACK;
            continue;
        }
        EXPECT_EQ(drawn[i], frame_buffer[i]) << "at " << i % LCD_WIDTH << ", " << i / LCD_WIDTH;
    }
    EXPECT_EQ(notch, 16); // radius 55 to 70 along 180 degrees
}

TEST_F(MapGauge, NeedleAngles) {
    struct {
        int16_t value, angle;
    } cases[] = {{300, 180}, {354, 229}, {443, 310}, {500, 310}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        map_value = c.value;
        gauge();
        EXPECT_EQ(gauge_pixel(c.angle, 45), COLOUR_WHITE);
        EXPECT_EQ(gauge_pixel(c.angle, 62), COLOUR_BLACK);
        EXPECT_EQ(gauge_pixel(c.angle, 33), COLOUR_BLACK); // starts at radius 35
        EXPECT_TRUE(shows_needle(c.angle));
    }
    // Truncated, and held at the ends of the scale.
    struct {
        int16_t value, angle;
    } more[] = {{301, 181}, {353, 228}, {266, 150}, {100, 150}, {-32768, 150}, {32767, 310}};
    for (const auto &c : more) {
        map_value = c.value;
        gauge();
        EXPECT_TRUE(shows_needle(c.angle)) << "value " << c.value;
    }
}

// A zero range would divide by zero: the arc is one red band and the needle
// stands at an end of it.
TEST_F(MapGauge, ZeroRange) {
    settings.map_display_min = 350;
    settings.map_display_max = 350;
    struct {
        int16_t value, angle;
    } cases[] = {{351, 310}, {350, 150}, {200, 150}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        map_value = c.value;
        gauge();
        EXPECT_TRUE(shows_needle(c.angle));
        for (int16_t a : {152, 180, 230, 260, 300}) EXPECT_EQ(gauge_pixel(a, 62), COLOUR_RED) << a;
    }
}

// An inverted range mirrors the needle; the offsets come out as 149, 136, 80
// and 27, so only the two red bands are drawn.
TEST_F(MapGauge, InvertedRange) {
    settings.map_display_min = 443;
    settings.map_display_max = 266;
    struct {
        int16_t value, angle;
    } cases[] = {{330, 252}, {443, 150}, {266, 310}, {-32768, 310}, {32767, 150}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value);
        map_value = c.value;
        gauge();
        EXPECT_TRUE(shows_needle(c.angle));
        for (int16_t a : {152, 200, 240, 275, 305}) EXPECT_EQ(gauge_pixel(a, 62), COLOUR_RED) << a;
    }
    // The widest inverted range still converts only clamped values.
    settings.map_display_min = 32767;
    settings.map_display_max = -32768;
    map_value = 0;
    gauge();
    EXPECT_TRUE(shows_needle(229)); // 160 / -65535 x -32767 + 150 = 229.9988
}

TEST_F(MapGauge, Texts) {
    settings.temp_display_on = 0;
    gauge();
    EXPECT_TRUE(shows_text(130, 36, "\"Hg", 9, ALIGN_CENTRE, COLOUR_GREY));
    EXPECT_TRUE(shows_text(96, 54, "33.0", 24, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_TRUE(shows_text(60, 102, "MAX:", 9, ALIGN_LEFT, COLOUR_GREY));
    EXPECT_TRUE(shows_text(110, 102, "39.0", 9, ALIGN_LEFT, COLOUR_WHITE));

    settings.map_unit = 0;
    map_value = 1013;
    max_map = 1013;
    gauge();
    EXPECT_TRUE(shows_text(130, 36, "mB", 9, ALIGN_CENTRE, COLOUR_GREY));
    EXPECT_TRUE(shows_text(96, 54, "1013", 24, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_TRUE(shows_text(110, 102, "1013", 9, ALIGN_LEFT, COLOUR_WHITE));
}

// The temperature line replaces MAX on both pages; the unit follows the value.
TEST_F(GaugePages, TemperatureLine) {
    struct {
        bool digital;
        int16_t caption_x, value_x, gap;
        uint16_t raw;
        int16_t value;
        uint8_t unit;
        const char *text, *unit_text;
    } cases[] = {
        {false, 43, 105, 3, 2700, 53, 0, "53",
         "\xB0"
         "C"},
        {false, 43, 105, 3, 2200, -5, 0, "-5",
         "\xB0"
         "C"},
        {false, 43, 105, 3, 3801, 40, 1, "---",
         "\xB0"
         "F"},
        {true, 28, 90, 5, 2200, -5, 0, "-5",
         "\xB0"
         "C"},
        {true, 28, 90, 5, 3800, 120, 1, "120",
         "\xB0"
         "F"},
        {true, 28, 90, 5, 4095, 40, 0, "---",
         "\xB0"
         "C"},
    };
    strcpy(settings.temp_label, "CHT");
    settings.temp_high_alarm_on = 0;
    settings.temp_low_alarm_on = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << (c.digital ? "digital " : "gauge ") << c.text);
        temp_raw = c.raw;
        temp_value = c.value;
        settings.temp_unit = c.unit;
        if (c.digital)
            digital();
        else
            gauge();
        EXPECT_TRUE(shows_text(c.caption_x, 102, "CHT:", 9, ALIGN_LEFT, COLOUR_GREY));
        EXPECT_TRUE(shows_text(c.value_x, 102, c.text, 9, ALIGN_LEFT, COLOUR_WHITE));
        int16_t end = measure(c.value_x, 102, c.text, 9, ALIGN_LEFT).end;
        EXPECT_TRUE(
            shows_text((int16_t)(end + c.gap), 104, c.unit_text, 8, ALIGN_LEFT, COLOUR_GREY));
        EXPECT_EQ(
            region_ink(c.caption_x - 1, 102, 159, 119), // nothing else on the line
            (int)(measure(c.caption_x, 102, "CHT:", 9, ALIGN_LEFT).pixels.size() +
                  measure(c.value_x, 102, c.text, 9, ALIGN_LEFT).pixels.size() +
                  measure((int16_t)(end + c.gap), 104, c.unit_text, 8, ALIGN_LEFT).pixels.size()));
    }
}

// Gauge MAP box: columns text_start_x - 1 .. text_end_x, rows 60 .. 96.
TEST_F(MapGauge, MapHighlight) {
    struct {
        int16_t value;
        uint8_t blink, high_alarm_on, box;
        const char *text;
    } cases[] = {
        {354, 1, 1, 0, "35.4"}, {355, 0, 1, COLOUR_YELLOW, "35.5"}, {414, 1, 1, COLOUR_RED, "41.4"},
        {414, 0, 1, 0, "41.4"}, {420, 1, 0, COLOUR_RED, "42.0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " blink " << int(c.blink));
        map_value = c.value;
        blink_phase = c.blink;
        settings.map_high_alarm_on = c.high_alarm_on;
        gauge();
        text_ink t = measure(96, 54, c.text, 24, ALIGN_CENTRE);
        if (c.box == 0) {
            EXPECT_TRUE(shows_text(96, 54, c.text, 24, ALIGN_CENTRE, COLOUR_WHITE));
            EXPECT_EQ(region_colours(t.start - 1, 60, t.end, 96), std::set<int>{COLOUR_WHITE});
        } else if (c.box == COLOUR_YELLOW) {
            EXPECT_TRUE(shows_text(96, 54, c.text, 24, ALIGN_CENTRE, COLOUR_BLACK));
            expect_box(t.start - 1, 60, t.end, 96, COLOUR_YELLOW, {COLOUR_YELLOW});
        } else {
            EXPECT_TRUE(shows_text(96, 54, c.text, 24, ALIGN_CENTRE, COLOUR_WHITE));
            expect_box(t.start - 1, 60, t.end, 96, COLOUR_RED, {COLOUR_RED, COLOUR_WHITE});
        }
    }
}

// Temperature box: columns text_start_x - 1 .. text_end_x - 1, rows 103 .. 119,
// only from the alarm side whose switch is on.
TEST_F(GaugePages, TemperatureHighlight) {
    struct {
        int16_t value;
        uint16_t raw;
        uint8_t blink, high_on, alarm;
        const char *text;
    } cases[] = {
        {61, 2700, 1, 1, 1, "61"}, {61, 2700, 0, 1, 0, "61"}, {60, 2700, 1, 1, 0, "60"},
        {61, 2700, 1, 0, 0, "61"}, {-1, 2200, 1, 0, 1, "-1"}, {99, 3900, 1, 1, 1, "---"},
    };
    for (bool digital_page : {false, true}) {
        int16_t x = digital_page ? 90 : 105;
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << (digital_page ? "digital " : "gauge ") << c.value
                                            << " blink " << int(c.blink));
            temp_value = c.value;
            temp_raw = c.raw;
            blink_phase = c.blink;
            settings.temp_high_alarm_on = c.high_on;
            if (digital_page)
                digital();
            else
                gauge();
            text_ink t = measure(x, 102, c.text, 9, ALIGN_LEFT);
            EXPECT_TRUE(shows_text(x, 102, c.text, 9, ALIGN_LEFT, COLOUR_WHITE));
            if (c.alarm)
                expect_box(t.start - 1, 103, t.end - 1, 119, COLOUR_RED,
                           {COLOUR_RED, COLOUR_WHITE});
            else
                EXPECT_EQ(region_colours(t.start - 1, 103, t.end - 1, 119),
                          std::set<int>{COLOUR_WHITE});
        }
    }
}

TEST_F(GaugePages, ExioCrosses) {
    struct {
        bool digital;
        uint8_t map_source, rpm_source, exio, temp_on;
        std::set<int> left, right; // red rows in columns 0 and 159
    } cases[] = {
        {false, 1, 0, 0, 1, {0, 102}, {0, 102}},
        {false, 1, 0, 0, 0, {0, 119}, {0, 119}},
        {false, 1, 0, 1, 1, {}, {}},
        {false, 0, 1, 0, 1, {}, {}},
        {true, 0, 1, 0, 1, {22, 58}, {22, 58}},
        {true, 0, 1, 0, 0, {31, 67}, {31, 67}},
        {true, 1, 0, 0, 1, {64, 100}, {64, 100}},
        {true, 1, 0, 0, 0, {81, 117}, {81, 117}},
        {true, 1, 1, 0, 0, {31, 67, 81, 117}, {31, 67, 81, 117}},
        {true, 1, 1, 1, 0, {}, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.digital ? "digital" : "gauge") << " map " << int(c.map_source) << " rpm "
                     << int(c.rpm_source) << " exio " << int(c.exio) << " temp " << int(c.temp_on));
        settings.map_source = c.map_source;
        settings.rpm_source = c.rpm_source;
        settings.temp_display_on = c.temp_on;
        exio_present = c.exio;
        if (c.digital)
            digital();
        else
            gauge();
        EXPECT_EQ(red_rows(0), c.left);
        EXPECT_EQ(red_rows(159), c.right);
    }
    // The gauge's cross is drawn last, over everything.
    settings.map_source = 1;
    settings.temp_display_on = 1;
    exio_present = 0;
    gauge();
    for (int x = 0; x < LCD_WIDTH; x++) {
        EXPECT_EQ(pixel(x, (x * 102 + 79) / 159), COLOUR_RED) << x;
        EXPECT_EQ(pixel(x, 102 - (x * 102 + 79) / 159), COLOUR_RED) << x;
    }
}

// RPM row at yR (24, or 17 with the temperature line), MAP row at yM (75 or 57).
TEST_F(DigitalPage, RowsAndUnits) {
    struct {
        uint8_t mode, temp_on;
        int16_t y_rpm, y_map;
        const char *rpm_text;
    } cases[] = {
        {0, 0, 24, 75, "2400"},
        {0, 1, 17, 57, "2400"},
        {1, 0, 24, 75, "40"},
        {1, 1, 17, 57, "40"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(c.mode) << " temp " << int(c.temp_on));
        settings.rpm_display_mode = c.mode;
        settings.temp_display_on = c.temp_on;
        digital();
        EXPECT_TRUE(shows_text(127, c.y_rpm, c.rpm_text, 24, ALIGN_RIGHT, COLOUR_WHITE));
        EXPECT_TRUE(shows_text(125, c.y_map, "33.0", 24, ALIGN_RIGHT, COLOUR_WHITE));
        EXPECT_TRUE(shows_text(160, (int16_t)(c.y_map + 20), "\"Hg", 9, ALIGN_RIGHT, COLOUR_GREY));
        if (c.mode == 0) {
            EXPECT_TRUE(
                shows_text(160, (int16_t)(c.y_rpm + 20), "RPM", 8, ALIGN_RIGHT, COLOUR_GREY));
        } else {
            EXPECT_TRUE(
                shows_text(160, (int16_t)(c.y_rpm + 4), "RPM", 8, ALIGN_RIGHT, COLOUR_GREY));
            EXPECT_TRUE(
                shows_text(158, (int16_t)(c.y_rpm + 15), "%", 16, ALIGN_RIGHT, COLOUR_GREY));
        }
        // Below the descender of the MAP unit only the grey caption and unit reach.
        EXPECT_EQ(region_colours(0, 114, 159, 119).count(COLOUR_GREY), c.temp_on == 1 ? 1u : 0u);
    }
}

// Boxes over columns text_start_x .. text_end_x - 1, rows y + 6 .. y + 42.
// The RPM colour follows rpm also when the percentage is shown.
TEST_F(DigitalPage, Highlights) {
    struct {
        uint8_t mode, temp_on, blink;
        int32_t rpm, percent;
        int16_t map;
        uint8_t rpm_box, map_box;
        const char *rpm_text, *map_text;
    } cases[] = {
        {0, 0, 1, 5500, 0, 354, 0, 0, "5500", "35.4"},
        {0, 0, 0, 5501, 0, 355, COLOUR_YELLOW, COLOUR_YELLOW, "5501", "35.5"},
        {0, 1, 1, 5801, 0, 277, COLOUR_RED, COLOUR_RED, "5801", "27.7"},
        {0, 1, 0, 5801, 0, 277, 0, 0, "5801", "27.7"},
        {0, 0, 1, 499, 0, 420, COLOUR_RED, COLOUR_RED, "499", "42.0"},
        {1, 0, 1, 5600, 93, 300, COLOUR_YELLOW, 0, "93", "30.0"},
        {1, 1, 1, 5900, 98, 291, COLOUR_RED, COLOUR_YELLOW, "98", "29.1"},
        {1, 1, 1, 3000, 200, 300, 0, 0, "200", "30.0"},
    };
    settings.map_high_alarm_on = 0;
    settings.rpm_low_alarm_on = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "rpm " << c.rpm << " map " << c.map << " mode "
                                        << int(c.mode) << " blink " << int(c.blink));
        settings.rpm_display_mode = c.mode;
        settings.temp_display_on = c.temp_on;
        blink_phase = c.blink;
        rpm = c.rpm;
        rpm_percent = c.percent;
        map_value = c.map;
        digital();
        int16_t y_rpm = c.temp_on ? 17 : 24, y_map = c.temp_on ? 57 : 75;
        struct {
            int16_t x, y;
            uint8_t box;
            const char *text;
        } rows[] = {{127, y_rpm, c.rpm_box, c.rpm_text}, {125, y_map, c.map_box, c.map_text}};
        for (const auto &r : rows) {
            SCOPED_TRACE(r.text);
            text_ink t = measure(r.x, r.y, r.text, 24, ALIGN_RIGHT);
            int x0 = t.start, x1 = t.end - 1, y0 = r.y + 6, y1 = r.y + 42;
            if (r.box == 0) {
                EXPECT_TRUE(shows_text(r.x, r.y, r.text, 24, ALIGN_RIGHT, COLOUR_WHITE));
                EXPECT_EQ(region_colours(x0, y0, x1, y1).count(COLOUR_YELLOW) +
                              region_colours(x0, y0, x1, y1).count(COLOUR_RED),
                          0u);
            } else if (r.box == COLOUR_YELLOW) {
                EXPECT_TRUE(shows_text(r.x, r.y, r.text, 24, ALIGN_RIGHT, COLOUR_BLACK));
                expect_box(x0, y0, x1, y1, COLOUR_YELLOW, {COLOUR_YELLOW});
            } else {
                EXPECT_TRUE(shows_text(r.x, r.y, r.text, 24, ALIGN_RIGHT, COLOUR_WHITE));
                expect_box(x0, y0, x1, y1, COLOUR_RED, {COLOUR_RED, COLOUR_WHITE});
            }
        }
    }
}

// From the sliders through a pass: 1514 on the MAP slider reads 29.9 inches.
TEST_F(MapGauge, DrawnFromALivePass) {
    settings.map_filter = 0;
    map_slider_change(1514);
    power_pass(0);
    ASSERT_EQ(map_value, 299);
    gauge();
    EXPECT_TRUE(shows_text(96, 54, "29.9", 24, ALIGN_CENTRE, COLOUR_WHITE));
    EXPECT_TRUE(shows_needle(179)); // 160 / 177 x 33 + 150
}

struct golden_case {
    const char *name;
    bool digital;
    int16_t map;
    int32_t rpm;
    uint8_t blink, temp_on, mode, map_source, rpm_source;
};

TEST_F(GaugePages, Goldens) {
    const golden_case cases[] = {
        {"gauge_normal_max", false, 330, 2400, 0, 0, 0, 0, 0},
        {"gauge_normal_temperature", false, 330, 2400, 0, 1, 0, 0, 0},
        {"gauge_caution", false, 360, 2400, 0, 1, 0, 0, 0},
        {"gauge_alarm_blink_on", false, 420, 2400, 1, 1, 0, 0, 0},
        {"gauge_alarm_blink_off", false, 420, 2400, 0, 1, 0, 0, 0},
        {"gauge_exio_temperature", false, 330, 2400, 0, 1, 0, 1, 0},
        {"gauge_exio_max", false, 330, 2400, 0, 0, 0, 1, 0},
        {"digital_rpm_temperature", true, 330, 2400, 0, 1, 0, 0, 0},
        {"digital_rpm_no_temperature", true, 330, 2400, 0, 0, 0, 0, 0},
        {"digital_percent_temperature", true, 330, 2400, 0, 1, 1, 0, 0},
        {"digital_percent_no_temperature", true, 330, 2400, 0, 0, 1, 0, 0},
        {"digital_caution", true, 360, 5600, 0, 1, 0, 0, 0},
        {"digital_alarm_blink_on", true, 420, 5900, 1, 1, 0, 0, 0},
        {"digital_exio_temperature", true, 330, 2400, 0, 1, 0, 1, 1},
        {"digital_exio_no_temperature", true, 330, 2400, 0, 0, 0, 1, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        map_value = c.map;
        rpm = c.rpm;
        rpm_percent = c.rpm * 100 / settings.rpm_100_percent;
        blink_phase = c.blink;
        settings.temp_display_on = c.temp_on;
        settings.rpm_display_mode = c.mode;
        settings.map_source = c.map_source;
        settings.rpm_source = c.rpm_source;
        if (c.digital)
            digital();
        else
            gauge();
        EXPECT_TRUE(matches_golden(c.name));
    }
}

} // namespace
