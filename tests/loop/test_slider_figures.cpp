#include "core/sensors.h"
#include "core/settings.h"
#include "host/figures/engine_figures.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>

namespace {

void factory_settings_on() {
    start_program_and_power_on();
    passes(1);
}

} // namespace

// What each slider shows beside its raw position, under the settings in
// force: each unit, a calibration offset, no sensor, EXIO; factory settings
// while the instrument is off.
TEST(SliderFigures, ReadingsBesideTheSliders) {
    struct reading_case {
        const char *what;
        std::function<void()> change;
        slider_id slider;
        int32_t position;
        const char *reading;
    };
    auto none = [] {};
    const reading_case cases[] = {
        {"rpm", none, SLIDER_RPM, 30000, "30000  5000 rpm"},
        {"rpm in percent", [] { settings.rpm_display_mode = 1; }, SLIDER_RPM, 72772,
         "72772  202 %"},
        {"rpm from an absent EXIO", [] { settings.rpm_source = 1; }, SLIDER_RPM, 30000,
         "30000  5000 rpm crossed out, no EXIO"},
        {"rpm beyond five digits",
         [] {
             settings.rpm_pulses_per_rev = 1;
             settings.rpm_increment = 2;
         },
         SLIDER_RPM, 100000, "100000  00000 rpm"},
        {"inHg", none, SLIDER_MAP, 1522, "1522  30.0 inHg"},
        {"mB", [] { settings.map_unit = 0; }, SLIDER_MAP, 1514, "1514  1013 mB"},
        {"MAP calibration", [] { calibration.map_cal_internal = -50; }, SLIDER_MAP, 30,
         "30  0.0 inHg"},
        {"MAP from EXIO", [] { settings.map_source = 1; }, SLIDER_MAP, 1522, "1522  EXIO"},
        {"C", none, SLIDER_TEMP, 2674, "2674  50 C"},
        {"F", [] { settings.temp_unit = 1; }, SLIDER_TEMP, 2674, "2674  122 F"},
        {"TEMP calibration", [] { calibration.temp_cal = -7; }, SLIDER_TEMP, 2674, "2674  43 C"},
        {"no TEMP sensor", none, SLIDER_TEMP, 3801, "3801  ---"},
        {"the last TEMP reading", none, SLIDER_TEMP, 3800, "3800  186 C"},
    };
    for (const reading_case &c : cases) {
        factory_settings_on();
        c.change();
        EXPECT_EQ(slider_reading(c.slider, c.position, true), c.reading) << c.what;
    }
    factory_settings_on();
    settings.temp_unit = 1;
    settings.map_source = 1;
    EXPECT_EQ(slider_reading(SLIDER_TEMP, 2674, false), "2674  50 C") << "off: factory settings";
    EXPECT_EQ(slider_reading(SLIDER_MAP, 1522, false), "1522  30.0 inHg");
    EXPECT_EQ(settings.temp_unit, 1) << "the records left as they were";
}

// A typed figure goes where the script language puts it, with its warning
// or its refusal.
TEST(SliderFigures, TypedEntries) {
    struct entry_case {
        std::function<void()> change;
        slider_id slider;
        const char *typed;
        const char *shown; // beside the slider afterwards; null when refused
        const char *message;
    };
    auto none = [] {};
    const entry_case cases[] = {
        {none, SLIDER_RPM, "2400", "2400 rpm", ""},
        {[] { settings.rpm_increment = 4; }, SLIDER_RPM, "2449", "2400 rpm",
         "no position shows 2449 rpm; 2400 rpm at 14100 instead"},
        {none, SLIDER_RPM, "16667", nullptr,
         "16667 rpm is out of reach: the slider gives 0 rpm to 16666 rpm"},
        {none, SLIDER_RPM, "30000 raw", "30000  5000 rpm", ""},
        {none, SLIDER_MAP, "30.0", "30.0 inHg", ""},
        {none, SLIDER_MAP, "1013 mB", "29.9 inHg", ""},
        {[] { settings.map_source = 1; }, SLIDER_MAP, "30.0", nullptr,
         "the MAP source is EXIO: no slider feeds the reading"},
        {none, SLIDER_TEMP, "500", nullptr, "500 C is out of reach"},
        {none, SLIDER_TEMP, "30.5", nullptr, "not a figure in C: 30.5"},
        {none, SLIDER_TEMP, "50 rpm", nullptr, "not a unit of this slider: rpm"},
        {none, SLIDER_TEMP, "", nullptr, "type a figure"},
    };
    for (const entry_case &c : cases) {
        factory_settings_on();
        c.change();
        int32_t position = -5;
        std::string message;
        EXPECT_EQ(enter_slider_figure(c.slider, c.typed, true, position, message),
                  c.shown != nullptr)
            << c.typed;
        EXPECT_EQ(message.compare(0, strlen(c.message), c.message), 0)
            << c.typed << ": " << message;
        if (!c.shown) continue;
        const std::string reading = slider_reading(c.slider, position, true);
        EXPECT_EQ(reading.substr(reading.size() - strlen(c.shown)), c.shown) << c.typed;
    }
}

// Page Up and Page Down: an engine step in the unit shown, the end of the
// range beyond it, raw counts where no figure is shown.
TEST(SliderFigures, PageSteps) {
    factory_settings_on();
    auto shown_after = [](slider_id slider, int32_t from, int direction) {
        const std::string r =
            slider_reading(slider, slider_page_position(slider, from, direction, true), true);
        return r.substr(r.find("  ") + 2);
    };
    EXPECT_EQ(shown_after(SLIDER_RPM, 14400, 1), "2500 rpm");
    EXPECT_EQ(shown_after(SLIDER_RPM, 14400, -1), "2300 rpm");
    EXPECT_EQ(shown_after(SLIDER_MAP, 1522, 1), "31.0 inHg");
    EXPECT_EQ(shown_after(SLIDER_MAP, 1522, -1), "29.0 inHg");
    EXPECT_EQ(shown_after(SLIDER_TEMP, 2674, 1), "55 C");
    EXPECT_EQ(slider_page_position(SLIDER_RPM, 100000, 1, true), 100000);
    EXPECT_EQ(slider_page_position(SLIDER_RPM, 3, -1, true), 1);
    EXPECT_EQ(slider_page_position(SLIDER_TEMP, 3790, 1, true), 4096) << "beyond the last figure";
    EXPECT_EQ(slider_page_position(SLIDER_TEMP, 4000, -1, true), 4000 - 41) << "no sensor";
    settings.map_unit = 0;
    EXPECT_EQ(shown_after(SLIDER_MAP, 1514, 1), "1023 mB");
}
