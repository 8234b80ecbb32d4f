// A seeded random walk of keys, slider moves, the EXIO switch and ticks from
// every screen, with settings that change what the pages draw; at every pass
// the description is checked against the texts that pass drew and the
// records. OMNIRA_WALK_PASSES sets a longer walk.
#include "core/alarms.h"
#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "core/timebase.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "host/figures/lcd_description.h"
#include "host/figures/lcd_lines.h"
#include "host/shell/drawn_state.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/screen.h"
#include "tests/support/instrument.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <random>
#include <set>
#include <string>

namespace {

std::string without_blanks(const std::string &s) {
    std::string out;
    for (char c : s)
        if (c != ' ') out += c;
    return out;
}

bool is_menu_row(int y) {
    return y >= 26 && y <= 86 && (y - 26) % 15 == 0;
}

// Every mismatch between the description and the frame, as text.
std::string mismatches(const lcd_description &d, const settings_record &drawn_settings,
                       uint32_t acknowledged_before) {
    std::string out;
    std::string lines, said;
    for (const std::string &l : d.lines) lines += l + "|";
    // Every drawn text is said, and nothing else is.
    std::string drawn;
    for (int i = 0; i < shown_text_count; i++) {
        const std::string w = spoken(shown_texts[i].text);
        if (w.empty() || shown_text_repeated(i)) continue;
        drawn += without_blanks(w);
        if (lines.find(w) == std::string::npos) out += "unsaid '" + w + "'; ";
    }
    for (const std::string &l : d.lines) said += without_blanks(l);
    if (said.size() != drawn.size()) out += "said " + said + " for drawn " + drawn + "; ";
    if (shown_text_count >= SHOWN_TEXTS_MAX) out += "texts beyond the record; ";

    // The selected row, digit or label character.
    std::string row_focus, digit_focus;
    int cells = 0, red_cell = -1, characters = 0, cursor = -1;
    char digit = 0;
    for (int i = 0; i < shown_text_count; i++) {
        const shown_text &t = shown_texts[i];
        if (t.y == 61 && t.height > 20 && t.text[0] >= '0' && t.text[0] <= '9') {
            if (t.colour == COLOUR_RED) red_cell = cells, digit = t.text[0];
            cells++;
        }
        if (is_menu_row(t.y) && t.colour == COLOUR_RED && row_focus.empty()) {
            row_focus = lcd_drawn_state.menu_editing ? "Editing " : "Selected ";
            for (int j = 0; j < shown_text_count; j++)
                if (shown_texts[j].y == t.y && !shown_text_repeated(j)) {
                    const std::string w = spoken(shown_texts[j].text);
                    if (d.focus.find(w) == std::string::npos) out += "focus lacks " + w + "; ";
                }
            for (int j = 0; j < shown_text_count; j++)
                if (shown_texts[j].y == t.y && shown_text_repeated(j) &&
                    strlen(shown_texts[j].text) == 1) {
                    if (shown_texts[j].colour == COLOUR_RED) cursor = characters;
                    characters++;
                }
        }
    }
    if (red_cell >= 0) {
        digit_focus = "Digit " + std::to_string(red_cell + 1) + " of " + std::to_string(cells) +
                      ": " + std::string(1, digit);
        if (d.focus != digit_focus) out += "focus '" + d.focus + "' not " + digit_focus + "; ";
    } else if (!row_focus.empty()) {
        if (d.focus.compare(0, row_focus.size(), row_focus) != 0)
            out += "focus '" + d.focus + "' not " + row_focus + "; ";
        if (cursor >= 0 &&
            d.focus.find(", character " + std::to_string(cursor + 1) + ": ") == std::string::npos)
            out += "no label cursor in '" + d.focus + "'; ";
    } else if (!d.focus.empty() && d.screen != "Main menu") {
        out += "focus '" + d.focus + "' with nothing selected; ";
    }

    // The alarms, high or low, acknowledged or not, as the pass found them.
    const settings_record &s = drawn_settings;
    const struct {
        uint32_t bit;
        const char *name;
        bool high;
    } alarms[] = {
        {ALARM_MAP, "MAP", s.map_high_alarm_on == 1 && map_value > s.map_high_alarm},
        {ALARM_RPM, "RPM", s.rpm_high_alarm_on == 1 && rpm > s.rpm_high_alarm},
        {ALARM_TEMP, "TEMP", s.temp_high_alarm_on == 1 && temp_value > s.temp_high_alarm},
    };
    std::string fresh, known;
    for (const auto &a : alarms) {
        if (!(alarm_active & a.bit)) continue;
        // A key acknowledges only after the frame is drawn.
        std::string &list = (acknowledged_before & a.bit) ? known : fresh;
        list += (list.empty() ? "" : ", ") + std::string(a.name) + (a.high ? " high" : " low");
    }
    std::string alarm = fresh.empty() ? "" : "Alarm: " + fresh;
    if (!known.empty()) alarm += (alarm.empty() ? "" : ". ") + ("Alarm acknowledged: " + known);
    if (alarm.empty()) alarm = "No alarm";
    if (d.alarm != alarm) out += "alarm '" + d.alarm + "' not '" + alarm + "'; ";

    // Crossed-out readings and the backlight's bar.
    std::string notes;
    for (const std::string &n : d.notes) notes += n + "|";
    const bool engine = d.screen == "Engine page" && exio_present == 0;
    const bool rpm_crossed = engine && s.rpm_display_on != 0 && s.rpm_source == 1;
    if (rpm_crossed != (notes.find("RPM crossed out") != std::string::npos))
        out += "RPM cross '" + notes + "'; ";
    if ((engine && s.map_source == 1) != (notes.find("MAP crossed out") != std::string::npos))
        out += "MAP cross '" + notes + "'; ";
    bool bar = false;
    for (int i = 0; i < shown_text_count; i++)
        bar |= strcmp(shown_texts[i].text, "THE BACKLIGHT") == 0;
    if (bar &&
        notes.find("Level " + std::to_string(s.backlight_level) + " %|") == std::string::npos)
        out += "no level in '" + notes + "'; ";
    return out;
}

// Settings that change what the pages draw, chosen at random.
void vary_settings(std::mt19937 &rng) {
    auto coin = [&] { return (uint8_t)(rng() % 2); };
    settings.rpm_display_on = rng() % 4 != 0;
    settings.rpm_display_mode = coin();
    settings.rpm_source = rng() % 3 == 0;
    settings.map_source = rng() % 3 == 0;
    settings.map_unit = coin();
    settings.temp_unit = coin();
    settings.temp_display_on = rng() % 4 != 0;
    settings.backlight_mode = coin();
    settings.security_on = rng() % 3 == 0;
    settings.flight_mode = coin();
}

int walk_passes() {
    const char *env = getenv("OMNIRA_WALK_PASSES");
    return env && atoi(env) > 0 ? atoi(env) : 4000;
}

} // namespace

TEST(LcdWalk, DescriptionSaysWhatEveryPassDrew) {
    std::mt19937 rng(20261210);
    const int total = walk_passes();
    const int episode = 40;
    int checked = 0, failed = 0;
    std::string first;
    std::set<std::string> seen;
    // Announcements, one tick a pass: no more than the inputs, screens and
    // alarm states that came, and shorter than the description unless a new
    // screen is said whole.
    lcd_announcer announcer;
    int announced = 0, causes = 0;
    std::string screen, alarm, long_one;
    for (int e = 0; checked < total; e++) {
        start_program_and_power_on({(int32_t)(rng() % 100001), (uint16_t)(rng() % 4097)});
        temp_slider = (uint16_t)(rng() % 4097);
        vary_settings(rng);
        uint8_t exio = rng() % 2;
        // Every screen in turn, opened on its first item.
        current_screen = screen_table[e % screen_table_size].handler;
        enter_menu(0);
        for (int p = 0; p < episode && checked < total; p++) {
            const unsigned r = rng() % 100;
            causes += r < 60;
            if (r < 60) announcer.user_input(r >= 40 && r < 55);
            if (r < 40) {
                press_key((uint8_t)(KEY_F1 + rng() % 5));
            } else if (r < 55) {
                const int32_t position = (int32_t)(rng() % 4097);
                switch (rng() % 3) {
                case 0: rpm_slider_change(position * 24); break;
                case 1: map_slider_change((uint16_t)position); break;
                default: temp_slider_change((uint16_t)position); break;
                }
            } else if (r < 60) {
                exio = !exio;
            } else if (r < 85) {
                ticks(1 + (int)(rng() % 3));
            }
            const settings_record drawn_settings = settings;
            const uint32_t acknowledged = alarm_acknowledged;
            power_pass(exio);
            const std::string wrong = mismatches(describe_lcd(true), drawn_settings, acknowledged);
            checked++;
            const lcd_description d = describe_lcd(true);
            causes += (d.screen != screen) + (d.alarm != alarm);
            screen = d.screen;
            alarm = d.alarm;
            announcer.tick();
            if (announcer.offer(d)) {
                announced++;
                const std::string &a = announcer.announcement();
                if (a != d.text && a.size() >= d.text.size()) long_one = a;
            }
            seen.insert(screen_name(screen_on_display()));
            if (!wrong.empty() && failed++ == 0)
                first = std::string(screen_name(screen_on_display())) + ": " + wrong + "\n" +
                        describe_lcd(true).text;
        }
    }
    EXPECT_EQ(failed, 0) << "of " << checked << " passes; the first: " << first;
    EXPECT_EQ((int)seen.size(), screen_table_size) << "screens described";
    EXPECT_GT(announced, 0);
    EXPECT_LE(announced, causes);
    EXPECT_EQ(long_one, "") << "a change said at length";
}
