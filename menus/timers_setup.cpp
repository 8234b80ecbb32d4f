#include "menus/timers_setup.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/hobbs_code.h"
#include "menus/main_menu.h"
#include "menus/setup_page.h"
#include "screens/screen.h"

#include <stdio.h>

#define ITEM_HOBBS_RPM 0
#define ITEM_SET_HOBBS_TIME 1
#define ITEM_HOBBS_CODE 2
#define ITEM_SET_MAINT_TIME 3
#define ITEM_FLIGHT 4
#define ITEM_TAKEOFF_RPM 5

#define RPM_MIN 100
#define RPM_MAX 99000

// `count` digits of `value`, leading zeros included, into cells from `first`.
static void preload_digits(uint8_t first, uint8_t count, uint32_t value) {
    char text[12];
    snprintf(text, sizeof text, "%0*lu", count, (unsigned long)value);
    for (uint8_t i = 0; i < count; i++) entry_digits[first + i] = (uint8_t)(text[i] - '0');
}

void preload_hobbs_time(void) {
    uint32_t hours = timers.hobbs_hours, hundredths = timers.hobbs_hundredths;
    if (hours > 9999) {
        hours = 9999;
        hundredths = 99;
    }
    if (hundredths > 99) hundredths = 99;
    preload_digits(0, 4, hours);
    preload_digits(4, 2, hundredths);
}

void preload_maint_time(void) {
    preload_digits(0, 3, timers.maint_hours > 999 ? 999 : timers.maint_hours);
}

static uint8_t detect_mode(void) {
    return settings.flight_mode == 1;
}
static uint8_t item_count(void) {
    return detect_mode() ? 6 : 5;
}

static void draw_rpm_row(uint8_t item, const char *label, int32_t value) {
    char text[16];
    snprintf(text, sizeof text, "%ld", (long)value);
    draw_menu_row((int8_t)(item - menu_top), label, text);
    draw_step_label(item);
}

static void draw_action_row(uint8_t item, const char *text) {
    draw_menu_text_row((int8_t)(item - menu_top), text,
                       item == menu_selected ? COLOUR_RED : COLOUR_WHITE);
}

static void draw_items(void) {
    draw_rpm_row(ITEM_HOBBS_RPM, "HOBBS RPM: ", settings.hobbs_rpm);
    draw_action_row(ITEM_SET_HOBBS_TIME, "SET HOBBS TIME");
    draw_action_row(ITEM_HOBBS_CODE, "HOBBS CODE");
    draw_action_row(ITEM_SET_MAINT_TIME, "SET MAINT TIME");
    draw_menu_row((int8_t)(ITEM_FLIGHT - menu_top),
                  "FLIGHT: ", OPTION_TEXT(flight_mode_names, settings.flight_mode));
    if (detect_mode()) draw_rpm_row(ITEM_TAKEOFF_RPM, "T/O RPM: ", settings.takeoff_rpm);
}

static void push(void) {
    switch (menu_selected) {
    case ITEM_SET_HOBBS_TIME:
        enter_menu(0);
        if (settings.hobbs_code == 0) {
            preload_hobbs_time();
            current_screen = set_hobbs_time_screen;
        } else {
            clear_code_entry();
            current_screen = enter_hobbs_code_screen;
        }
        break;
    case ITEM_HOBBS_CODE:
        clear_code_entry();
        open_page_on(enter_current_hobbs_code_screen, 0);
        break;
    case ITEM_SET_MAINT_TIME:
        preload_maint_time();
        open_page_on(set_maint_time_screen, 0);
        break;
    default:
        toggle_editing();
        break;
    }
}

static void edit_item(uint8_t key) {
    switch (menu_selected) {
    case ITEM_HOBBS_RPM:
        settings.hobbs_rpm = stepped_value(settings.hobbs_rpm, key, RPM_MIN, RPM_MAX);
        break;
    case ITEM_FLIGHT:
        settings.flight_mode = toggled(settings.flight_mode);
        break;
    case ITEM_TAKEOFF_RPM:
        settings.takeoff_rpm = stepped_value(settings.takeoff_rpm, key, RPM_MIN, RPM_MAX);
        break;
    default:
        break;
    }
}

void timers_setup_screen(void) {
    draw_title_bar("TIMERS", "SETUP");
    scroll_to_selection();
    draw_items();
    draw_scroll_indicator(menu_selected, item_count());
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(main_menu_screen, 3);
        break;
    case KEY_F2:
        if (menu_selected == ITEM_HOBBS_RPM || menu_selected == ITEM_TAKEOFF_RPM) next_edit_step();
        break;
    case KEY_PUSH:
        push();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        if (menu_editing) {
            edit_item(pending_key);
        } else {
            select_by_key(pending_key, item_count());
            edit_step = 1;
        }
        break;
    default:
        break;
    }
    pending_key = 0;
}

// Digit entry on a time page; F1 and completion go back to TIMERS SETUP on `item`.
static void time_page_keys(uint8_t last_cell, uint8_t item, void (*store)(void)) {
    if (pending_key == 0) return;
    switch (digit_entry_key(pending_key, last_cell)) {
    case CODE_KEY_LEAVE:
        open_page_on(timers_setup_screen, item);
        break;
    case CODE_KEY_COMPLETE:
        store();
        store_timers();
        open_page_on(timers_setup_screen, item);
        break;
    default:
        break;
    }
    pending_key = 0;
}

// The tenths digit is kept in hundredths; the hundredths digit is dropped.
static void store_hobbs_time(void) {
    timers.hobbs_hours = (uint16_t)(entry_digits[0] * 1000 + entry_digits[1] * 100 +
                                    entry_digits[2] * 10 + entry_digits[3]);
    timers.hobbs_hundredths = (uint8_t)(entry_digits[4] * 10);
}

static void store_maint_time(void) {
    timers.maint_hours = (uint16_t)(entry_digits[0] * 100 + entry_digits[1] * 10 + entry_digits[2]);
    timers.maint_hundredths = 0;
}

void set_hobbs_time_screen(void) {
    static const int16_t xs[5] = {35, 55, 75, 95, 130};
    draw_entry_heading("HOBBS", "TIME", "SET HOBBS", "TIME");
    draw_entry_digits(xs, 5);
    draw_text(107, 61, ".", 0, 20, ALIGN_LEFT, COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    time_page_keys(4, ITEM_SET_HOBBS_TIME, store_hobbs_time);
}

void set_maint_time_screen(void) {
    static const int16_t xs[3] = {50, 70, 90};
    draw_entry_heading("MAINT", "TIMER", "SET MAINTENANCE", "TIME");
    draw_entry_digits(xs, 3);
    draw_text(105, 79, "HOURS", 0, 8, ALIGN_LEFT, COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    time_page_keys(2, ITEM_SET_MAINT_TIME, store_maint_time);
}
