#include "menus/temp_setup.h"

#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/menu.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/main_menu.h"
#include "menus/setup_page.h"
#include "screens/readouts.h"
#include "screens/screen.h"

#include <stdio.h>
#include <string.h>

#define ITEM_DISPLAY 0
#define ITEM_UNIT 1
#define ITEM_HIGH_ALARM_ON 2
#define ITEM_HIGH_ALARM 3
#define ITEM_LOW_ALARM_ON 4
#define ITEM_LOW_ALARM 5
#define ITEM_LABEL 6
#define ITEM_CAL 7
#define ITEM_COUNT 8

#define LABEL_LAST_CURSOR 3
#define CAL_LIMIT 20

void append_temp_unit(char *text, uint8_t size) {
    size_t used = strlen(text);
    if (used < size) snprintf(text + used, size - used, "%s", temp_unit_text());
}

static int16_t *alarm_limit(uint8_t item) {
    if (item == ITEM_HIGH_ALARM) return &settings.temp_high_alarm;
    if (item == ITEM_LOW_ALARM) return &settings.temp_low_alarm;
    return 0;
}

static void draw_limit_row(uint8_t item, const char *label) {
    char value[16];
    snprintf(value, sizeof value, "%d", *alarm_limit(item));
    append_temp_unit(value, sizeof value);
    draw_menu_row((int8_t)(item - menu_top), label, value);
}

static void draw_items(void) {
    int8_t top = (int8_t)menu_top;
    draw_menu_row(ITEM_DISPLAY - top,
                  "TEMP DISPLAY: ", OPTION_TEXT(off_on_names, settings.temp_display_on));
    if (settings.temp_display_on != 1) {
        draw_scroll_indicator(menu_selected, 1);
        return;
    }
    draw_menu_row(ITEM_UNIT - top, "TEMP UNIT: ", temp_unit_text());
    draw_menu_row(ITEM_HIGH_ALARM_ON - top,
                  "HIGH ALARM: ", OPTION_TEXT(off_on_names, settings.temp_high_alarm_on));
    draw_limit_row(ITEM_HIGH_ALARM, "HIGH ALARM: ");
    draw_menu_row(ITEM_LOW_ALARM_ON - top,
                  "LOW ALARM: ", OPTION_TEXT(off_on_names, settings.temp_low_alarm_on));
    draw_limit_row(ITEM_LOW_ALARM, "LOW ALARM: ");
    draw_label_edit_row(ITEM_LABEL - top, "LABEL: ", settings.temp_label);
    // The offset beside the live temperature, in Celsius whatever the unit.
    char value[24];
    snprintf(value, sizeof value,
             "%+d %d\xB0"
             "C",
             calibration.temp_cal, temp_c);
    draw_menu_row(ITEM_CAL - top, "CAL: ", value);
    draw_scroll_indicator(menu_selected, ITEM_COUNT);
}

static void edit_item(uint8_t key) {
    int16_t *limit = alarm_limit(menu_selected);
    if (limit) {
        uint8_t fahrenheit = settings.temp_unit == 1;
        *limit =
            (int16_t)stepped_value(*limit, key, fahrenheit ? -58 : -50, fahrenheit ? 302 : 150);
        return;
    }
    switch (menu_selected) {
    case ITEM_DISPLAY:
        settings.temp_display_on = toggled(settings.temp_display_on);
        break;
    case ITEM_UNIT:
        settings.temp_unit = toggled(settings.temp_unit);
        break;
    case ITEM_HIGH_ALARM_ON:
        settings.temp_high_alarm_on = toggled(settings.temp_high_alarm_on);
        break;
    case ITEM_LOW_ALARM_ON:
        settings.temp_low_alarm_on = toggled(settings.temp_low_alarm_on);
        break;
    case ITEM_LABEL: {
        char *c = &settings.temp_label[label_cursor % (LABEL_LAST_CURSOR + 1)];
        *c = edited_label_char(*c, key);
        break;
    }
    case ITEM_CAL:
        if (key == KEY_PLUS && calibration.temp_cal < CAL_LIMIT) calibration.temp_cal++;
        if (key == KEY_MINUS && calibration.temp_cal > -CAL_LIMIT) calibration.temp_cal--;
        break;
    default:
        break;
    }
}

static void push(void) {
    if (menu_editing == 0) {
        menu_editing = 1;
        label_cursor = 0;
    } else if (menu_selected == ITEM_LABEL && label_cursor < LABEL_LAST_CURSOR) {
        label_cursor++;
    } else {
        menu_editing = 0;
    }
}

void temp_setup_screen(void) {
    draw_title_bar("TEMP", "SETUP");
    scroll_to_selection();
    draw_items();
    uint8_t has_step = alarm_limit(menu_selected) != 0;
    if (has_step) draw_f2_label(edit_step == 1 ? "X1" : "X10");
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(main_menu_screen, 2);
        store_calibration();
        break;
    case KEY_F2:
        if (has_step) edit_step = edit_step == 1 ? 10 : 1;
        break;
    case KEY_PUSH:
        push();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        if (menu_editing)
            edit_item(pending_key);
        else if (settings.temp_display_on == 1)
            select_by_key(pending_key, ITEM_COUNT);
        break;
    default:
        break;
    }
    pending_key = 0;
}
