#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "host/figures/lcd_description.h"
#include "host/shell/power_loop.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Power-on at 2400 rpm, 30.0 inHg and 50 C, the MAP filter settled.
void engine_running() {
    start_program_and_power_on({14400, 1522});
    temp_slider = 2674;
    passes(70);
}

bool says(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

} // namespace

// Each kind of screen is named, with what it shows: figures with units,
// the selection or the value being edited, and the alarm state.
TEST(LcdDescription, NamesEachKindOfScreenWithWhatItShows) {
    struct screen_case {
        const char *keys; // after the engine runs and its alarms are acknowledged
        const char *says[3];
    };
    const screen_case cases[] = {
        {"", {"Engine page. RPM 2400 rpm. MAP 30.0 inHg. TEMP 50 C", "No alarm"}},
        {"+", {"Timers page. TIMERS. FLIGHT: 0", "HOBBS: 0.0"}},
        {"++", {"Max values page", "MAX"}},
        {"P", {"Main menu. Qirel MAIN MENU. MAP. SETUP. EXIT"}},
        {"P+", {"Main menu", "RPM. SETUP"}},
        {"PP", {"MAP setup", "Selected MAP UNIT: inHg"}},
        {"PP+P", {"MAP setup", "Editing DISPLAY MAX: 44.3"}},
        {"PP+P+", {"Editing DISPLAY MAX: 44.4"}},
        {"2", {"Magneto check", "MAG CHECK"}},
        {"P++++P",
         {"Misc setup. Qirel MISC. SETUP. BACKLIGHT. SECURITY SETUP", "Selected BACKLIGHT"}},
        {"P++++P++P",
         {"Info. Qirel INFO. MODEL: QX-40. FIRMWARE: V1.00. CAN: ERROR. BACK. No alarm"}},
        {"P+++++P", {"ADC values", "MAP: 1522 (1018mB). TEMP: 2674 (50 C)"}},
    };
    for (const screen_case &c : cases) {
        engine_running();
        keys(c.keys);
        passes(1);
        const std::string text = describe_lcd(true).text;
        for (const char *part : c.says)
            if (part) {
                EXPECT_TRUE(says(text, part)) << c.keys << ": " << text;
            }
    }
    EXPECT_EQ(describe_lcd(false).text, "Instrument off");

    engine_running();
    settings.security_on = 1;
    keys("P");
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text,
                     "Security gate. Qirel SECURITY. CODE. ENTER SECURITY. CODE. 0000. EXIT"))
        << describe_lcd(true).text;
}

TEST(LcdDescription, SaysAlarmsNoSensorAndAbsentExio) {
    engine_running();
    settings.rpm_high_alarm = 2000;
    passes(1);
    EXPECT_TRUE(says(describe_lcd(true).text, "Alarm: RPM")) << describe_lcd(true).text;
    key(KEY_F2);
    temp_slider = 3900;
    settings.map_source = 1;
    passes(1);
    const std::string text = describe_lcd(true).text;
    EXPECT_TRUE(says(text, "Alarm acknowledged: RPM")) << text;
    EXPECT_TRUE(says(text, "MAP unavailable")) << text;
    EXPECT_TRUE(says(text, "TEMP no sensor")) << text;
}

// Live figures and the blinking of an alarm leave the substance alone; a
// new page, selection or edited value changes it.
TEST(LcdDescription, SubstanceChangesOnlyWithTheScreensMeaning) {
    engine_running();
    const std::string engine = describe_lcd(true).substance;
    rpm_slider_change(20000);
    map_slider = 2000;
    passes(15);
    EXPECT_EQ(describe_lcd(true).substance, engine);
    keys("PP");
    const std::string menu = describe_lcd(true).substance;
    EXPECT_NE(menu, engine);
    keys("+");
    const std::string next_item = describe_lcd(true).substance;
    EXPECT_NE(next_item, menu);
    keys("P+");
    EXPECT_NE(describe_lcd(true).substance, next_item);
}

// However often it is offered, a description is announced only when its
// substance changes, and at most once every ANNOUNCE_TICKS ticks; a change
// held back is announced when the interval is over.
TEST(LcdDescription, AnnouncedOnChangeAtMostOncePerInterval) {
    lcd_announcer announcer;
    const lcd_description engine{"Engine page. RPM 2400 rpm", "engine"};
    const lcd_description live{"Engine page. RPM 2410 rpm", "engine"};
    const lcd_description menu{"Main menu", "menu"};
    int announced = 0;
    for (int frame = 0; frame < 300; frame++) {
        if (frame % 3 == 0) announcer.tick();
        announced += announcer.offer(frame % 2 ? engine : live);
    }
    EXPECT_EQ(announced, 1);
    EXPECT_TRUE(announcer.offer(menu));
    EXPECT_FALSE(announcer.offer(engine)) << "within the interval";
    for (int i = 0; i < lcd_announcer::ANNOUNCE_TICKS - 1; i++) {
        announcer.tick();
        EXPECT_FALSE(announcer.offer(engine));
    }
    announcer.tick();
    EXPECT_TRUE(announcer.offer(engine));
    EXPECT_FALSE(announcer.offer(engine));
}
