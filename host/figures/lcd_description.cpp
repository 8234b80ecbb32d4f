#include "host/figures/lcd_description.h"

#include "core/alarms.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/text.h"
#include "host/figures/lcd_lines.h"
#include "host/shell/drawn_state.h"
#include "host/shell/power_loop.h"
#include "host/shell/screen_table.h"
#include "menus/main_menu.h"
#include "menus/misc_setup.h"
#include "screens/run_screen.h"

#include <ctype.h>
#include <string.h>

namespace {

// Menu rows: the y of row 0 and the distance between rows.
const int ROW_TOP = 26;
const int ROW_HEIGHT = 15;
// The row of the cells on a digit-entry page.
const int DIGIT_ROW_Y = 61;
// The main menu's item, in two lines.
const int ITEM_LINE1_Y = 46;
const int ITEM_LINE2_Y = 64;

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

// The words of the line whose highest cell is at y.
std::string line_at(const std::vector<drawn_line> &lines, int y) {
    for (const drawn_line &l : lines)
        if (l.top == y) return l.words;
    return std::string();
}

// The selected menu row (the one drawn with red text) and, while it is
// edited, its value; on a label, the character at the cursor.
std::string row_focus(const std::vector<drawn_line> &lines) {
    for (int row = 0; row < 5; row++) {
        const int y = ROW_TOP + row * ROW_HEIGHT;
        bool red = false;
        int characters = 0, cursor = -1;
        char under = 0;
        for (int i = 0; i < shown_text_count; i++) {
            const shown_text &t = shown_texts[i];
            if (t.y != y) continue;
            red |= t.colour == COLOUR_RED;
            if (strlen(t.text) == 1 && shown_text_repeated(i)) {
                if (t.colour == COLOUR_RED) {
                    cursor = characters;
                    under = t.text[0];
                }
                characters++;
            }
        }
        if (!red) continue;
        std::string out =
            (lcd_drawn_state.menu_editing ? "Editing " : "Selected ") + line_at(lines, y);
        if (cursor >= 0)
            out += ", character " + std::to_string(cursor + 1) + ": " +
                   (under == ' ' ? std::string("blank") : std::string(1, under));
        return out;
    }
    return std::string();
}

// The red cell of a digit-entry page: "Digit 2 of 4: 0".
std::string digit_focus() {
    int cells = 0, selected = -1;
    char digit = 0;
    for (int i = 0; i < shown_text_count; i++) {
        const shown_text &t = shown_texts[i];
        if (t.y != DIGIT_ROW_Y || !isdigit((unsigned char)t.text[0])) continue;
        if (t.colour == COLOUR_RED) {
            selected = cells;
            digit = t.text[0];
        }
        cells++;
    }
    if (selected < 0) return std::string();
    return "Digit " + std::to_string(selected + 1) + " of " + std::to_string(cells) + ": " +
           std::string(1, digit);
}

std::string focus(screen_handler screen, const std::vector<drawn_line> &lines) {
    if (screen == run_screen) return std::string();
    if (screen == main_menu_screen)
        return "Selected " + line_at(lines, ITEM_LINE1_Y) + " " + line_at(lines, ITEM_LINE2_Y);
    const std::string digit = digit_focus();
    return digit.empty() ? row_focus(lines) : digit;
}

// What the frame shows other than in text.
std::vector<std::string> notes(screen_handler screen) {
    std::vector<std::string> out;
    if (engine_page_shown(screen) && exio_present == 0) {
        if (settings.rpm_display_on != 0 && settings.rpm_source == 1)
            out.push_back("RPM crossed out, no EXIO");
        if (settings.map_source == 1) out.push_back("MAP crossed out, no EXIO");
    }
    // The MANUAL page, known by its prompt, draws the level as a bar.
    bool manual = false;
    for (int i = 0; i < shown_text_count; i++)
        manual |= strcmp(shown_texts[i].text, "THE BACKLIGHT") == 0;
    if (screen == backlight_screen && manual)
        out.push_back("Level " + std::to_string(lcd_drawn_state.backlight_level) + " %");
    return out;
}

std::string alarm_state() {
    static const struct {
        uint32_t bit;
        const char *name;
    } ALARMS[] = {{ALARM_MAP, "MAP"}, {ALARM_RPM, "RPM"}, {ALARM_TEMP, "TEMP"}};
    const drawn_state &d = lcd_drawn_state;
    std::string fresh, known;
    for (const auto &a : ALARMS) {
        if ((d.alarm_active & a.bit) == 0) continue;
        std::string &list = (d.alarm_acknowledged & a.bit) ? known : fresh;
        list += (list.empty() ? "" : ", ") + std::string(a.name) +
                ((d.alarm_high & a.bit) ? " high" : " low");
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
    lcd_description d;
    if (!instrument_on) {
        d.text = d.screen = "Instrument off";
        return d;
    }
    const screen_handler screen = screen_on_display();
    d.screen = screen_title(screen);
    const std::vector<drawn_line> lines = drawn_lines();
    for (const drawn_line &l : lines) d.lines.push_back(l.words);
    d.notes = notes(screen);
    d.focus = focus(screen, lines);
    d.alarm = alarm_state();
    d.run_screen = screen == run_screen;
    d.text = d.screen + ". ";
    for (const std::string &l : d.lines) d.text += l + ". ";
    for (const std::string &n : d.notes) d.text += n + ". ";
    if (!d.focus.empty()) d.text += d.focus + ". ";
    d.text += d.alarm;
    return d;
}

const char *lamp_accessible_name(bool bright) {
    if (bright) return "Alarm lamp: alarm";
    return (alarm_active & alarm_acknowledged) ? "Alarm lamp: alarm acknowledged"
                                               : "Alarm lamp: no alarm";
}
