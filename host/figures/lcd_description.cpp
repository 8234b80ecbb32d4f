#include "host/figures/lcd_description.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "host/shell/drawn_state.h"
#include "host/figures/engine_figures.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "screens/run_screen.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Menu rows: the y of row 0 and the distance between rows.
const int ROW_TOP = 26;
const int ROW_HEIGHT = 15;

// Texts nearer than this in y read as one line.
const int SAME_LINE = 4;

// A text as it is said: the instrument's unit glyphs in words, other bytes
// outside printable ASCII left out.
std::string spoken(const char *text) {
    if (strcmp(text, "\"Hg") == 0) return "inHg";
    std::string out;
    for (const char *c = text; *c; c++) {
        const unsigned char b = (unsigned char)*c;
        const bool blank = b == ' ' || b == 0xB0;
        if (blank && (out.empty() || out.back() == ' ')) continue;
        if (blank || (b > 32 && b < 127)) out += blank ? ' ' : (char)b;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

bool engine_page_shown(screen_handler screen) {
    return screen == run_screen && lcd_drawn_state.run_page == 0 &&
           !(settings.rpm_display_on != 0 && lcd_drawn_state.mag_check != 0);
}

std::string screen_title(screen_handler screen) {
    if (screen == run_screen) {
        if (lcd_drawn_state.run_page == 1) return "Timers page";
        if (lcd_drawn_state.run_page == 2) return "Max values page";
        return engine_page_shown(screen) ? "Engine page" : "Magneto check";
    }
    std::string name = screen_name(screen);
    for (char &c : name)
        if (c == '_') c = ' ';
    const bool acronym = name.compare(0, 4, "map ") == 0 || name.compare(0, 4, "rpm ") == 0 ||
                         name.compare(0, 4, "adc ") == 0;
    for (size_t i = 0; i < (acronym ? 3 : 1) && i < name.size(); i++)
        name[i] = (char)toupper((unsigned char)name[i]);
    return name;
}

// The engine figures as the run screen's first page shows them.
std::string engine_figures() {
    std::string out;
    if (settings.rpm_display_on != 0)
        out += settings.rpm_display_mode == 1 ? "RPM " + std::to_string(rpm_percent) + " percent. "
                                              : "RPM " + figure_text(rpm, FIGURE_RPM) + ". ";
    if (settings.map_source != 0 && exio_present == 0)
        out += "MAP unavailable, no EXIO";
    else
        out += "MAP " + figure_text(map_value, settings.map_unit == 0 ? FIGURE_MB : FIGURE_INHG);
    if (settings.temp_display_on != 0)
        out += ". " + spoken(settings.temp_label) +
               (temp_raw > TEMP_RAW_NO_SENSOR
                    ? std::string(" no sensor")
                    : " " + figure_text(temp_value, settings.temp_unit == 1 ? FIGURE_F : FIGURE_C));
    return out;
}

// The texts drawn in the last pass, line by line; with `row_y` set, only
// those on that line. A text drawn again over itself (a highlight, a label
// being edited letter by letter) is said once.
std::string shown_words(int row_y = -1) {
    std::string out;
    int line_y = -1000, line_end = -1000;
    bool single_capital = false;
    for (int i = 0; i < shown_text_count; i++) {
        const shown_text &t = shown_texts[i];
        if (row_y >= 0 && t.y != row_y) continue;
        bool again = false;
        for (int j = 0; j < i && !again; j++) {
            const shown_text &u = shown_texts[j];
            again = u.y == t.y && ((u.x == t.x && strcmp(u.text, t.text) == 0) ||
                                   (strlen(t.text) == 1 && lcd_drawn_state.menu_editing &&
                                    u.x <= t.x && t.end_x <= u.end_x));
        }
        const std::string words = spoken(t.text);
        if (again || words.empty()) continue;
        // A text starting where a word ended, or a lower-case rest after a
        // capital drawn alone (the maker's name), continues that word.
        const bool continues =
            !out.empty() && isalnum((unsigned char)out.back()) &&
            isalnum((unsigned char)words[0]) &&
            (abs(t.x - line_end) <= 1 || (single_capital && islower((unsigned char)words[0])));
        if (!out.empty() && abs(t.y - line_y) >= SAME_LINE)
            out += ". ";
        else if (!out.empty() && !continues)
            out += " ";
        out += words;
        line_y = t.y;
        single_capital = words.size() == 1 && isupper((unsigned char)words[0]);
        line_end = t.end_x;
    }
    return out;
}

// The selected menu row and, while it is edited, its value.
std::string selection() {
    const int row = lcd_drawn_state.menu_selected - lcd_drawn_state.menu_top;
    if (row < 0 || row >= MENU_ROWS) return std::string();
    const int y = ROW_TOP + row * ROW_HEIGHT;
    // A menu row drawn selected has red text in it.
    bool selected_row = false;
    for (int i = 0; i < shown_text_count; i++)
        selected_row |= shown_texts[i].y == y && shown_texts[i].colour == COLOUR_RED;
    if (!selected_row) return std::string();
    return (lcd_drawn_state.menu_editing ? "Editing " : "Selected ") + shown_words(y);
}

std::string alarm_state() {
    static const struct {
        uint32_t bit;
        const char *name;
    } ALARMS[] = {{ALARM_MAP, "MAP"}, {ALARM_RPM, "RPM"}, {ALARM_TEMP, "TEMP"}};
    std::string fresh, known;
    for (const auto &a : ALARMS) {
        if ((lcd_drawn_state.alarm_active & a.bit) == 0) continue;
        std::string &list = (lcd_drawn_state.alarm_acknowledged & a.bit) ? known : fresh;
        list += (list.empty() ? "" : ", ") + std::string(a.name);
    }
    if (fresh.empty() && known.empty()) return "No alarm";
    std::string out;
    if (!fresh.empty()) out = "Alarm: " + fresh;
    if (!known.empty())
        out += (out.empty() ? "" : ". ") + std::string("Alarm acknowledged: ") + known;
    return out;
}

} // namespace

lcd_description describe_lcd(bool instrument_on) {
    if (!instrument_on) return {"Instrument off", "off"};
    const screen_handler screen = screen_on_display();
    const std::string title = screen_title(screen);
    const bool engine_page = engine_page_shown(screen);
    // Pages whose figures follow the sensors and the clock.
    const bool live = screen == run_screen || strcmp(screen_name(screen), "adc_values") == 0;
    const std::string body = engine_page ? engine_figures() : shown_words();
    const std::string chosen = selection();
    const std::string alarm = alarm_state();
    lcd_description d;
    d.text = title + ". " + body + (body.empty() ? "" : ". ") +
             (chosen.empty() ? "" : chosen + ". ") + alarm;
    d.substance = title + "|" + chosen + "|" + alarm + "|" + (live ? "" : body);
    return d;
}

const char *lamp_accessible_name(bool bright) {
    return bright ? "Alarm lamp: alarm" : "Alarm lamp: no alarm";
}

void lcd_announcer::tick() {
    if (ticks_since_ < ANNOUNCE_TICKS) ticks_since_++;
}

bool lcd_announcer::offer(const lcd_description &description) {
    if (any_ && description.substance == announced_) return false;
    if (ticks_since_ < ANNOUNCE_TICKS) return false;
    announced_ = description.substance;
    any_ = true;
    ticks_since_ = 0;
    return true;
}
