#include "menus/map_setup.h"

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

#define ITEM_UNIT 0
#define ITEM_HIGH_ALARM_ON 3
#define ITEM_LOW_ALARM_ON 7
#define ITEM_FILTER 9
#define ITEM_CAL 10
#define ITEM_SOURCE 11
#define ITEM_EXIO_ADDRESS 12

#define CAL_LIMIT 50
#define EXIO_ADDRESS_LAST 3

void format_map_value(char *out, uint8_t out_size, int16_t value) {
    if (settings.map_unit == 0)
        snprintf(out, out_size, "%d", value);
    else
        snprintf(out, out_size, "%.1f", value * 0.1);
}

static uint8_t in_inches(void) {
    return settings.map_unit != 0;
}

// The six limits, by item; 0 for the other items.
static int16_t *map_limit(uint8_t item) {
    switch (item) {
    case 1:
        return &settings.map_display_max;
    case 2:
        return &settings.map_display_min;
    case 4:
        return &settings.map_high_alarm;
    case 5:
        return &settings.map_high_caution;
    case 6:
        return &settings.map_low_caution;
    case 8:
        return &settings.map_low_alarm;
    default:
        return 0;
    }
}

// The offset of the source in force.
static int8_t *map_cal(void) {
    return settings.map_source == 0 ? &calibration.map_cal_internal : &calibration.map_cal_exio;
}

static uint8_t item_count(void) {
    return settings.map_source == 1 ? 13 : 12;
}

static void draw_limit_row(uint8_t item, const char *label) {
    char value[16];
    format_map_value(value, sizeof value, *map_limit(item));
    draw_menu_row((int8_t)(item - menu_top), label, value);
}

static void draw_items(void) {
    char value[24];
    int8_t top = (int8_t)menu_top;
    draw_menu_row(ITEM_UNIT - top, "MAP UNIT: ", map_unit_text());
    draw_limit_row(1, "DISPLAY MAX: ");
    draw_limit_row(2, "DISPLAY MIN: ");
    draw_menu_row(ITEM_HIGH_ALARM_ON - top,
                  "HIGH ALARM: ", OPTION_TEXT(off_on_names, settings.map_high_alarm_on));
    draw_limit_row(4, "HIGH ALARM: ");
    draw_limit_row(5, "HIGH CAUTION: ");
    draw_limit_row(6, "LOW CAUTION: ");
    draw_menu_row(ITEM_LOW_ALARM_ON - top,
                  "LOW ALARM: ", OPTION_TEXT(off_on_names, settings.map_low_alarm_on));
    draw_limit_row(8, "LOW ALARM: ");
    draw_menu_row(ITEM_FILTER - top, "FILTER: ", OPTION_TEXT(filter_names, settings.map_filter));
    // The live pressure beside the offset, to trim it against a known one.
    snprintf(value, sizeof value, "%+d (%umB)", *map_cal(), (unsigned int)(int32_t)map_mb);
    draw_menu_row(ITEM_CAL - top, "CAL: ", value);
    draw_menu_row(ITEM_SOURCE - top, "DATA: ", OPTION_TEXT(source_names, settings.map_source));
    if (settings.map_source == 1) {
        snprintf(value, sizeof value, "%d", settings.exio_address + 1);
        draw_menu_row(ITEM_EXIO_ADDRESS - top, "EXIO ADDRESS: ", value);
    }
}

static void edit_item(uint8_t key) {
    int16_t *limit = map_limit(menu_selected);
    if (limit) {
        int32_t minimum = in_inches() ? 73 : 250, maximum = in_inches() ? 738 : 2500;
        *limit = (int16_t)stepped_value(*limit, key, minimum, maximum);
        return;
    }
    int8_t *cal = map_cal();
    switch (menu_selected) {
    case ITEM_UNIT:
        settings.map_unit = toggled(settings.map_unit);
        break;
    case ITEM_HIGH_ALARM_ON:
        settings.map_high_alarm_on = toggled(settings.map_high_alarm_on);
        break;
    case ITEM_LOW_ALARM_ON:
        settings.map_low_alarm_on = toggled(settings.map_low_alarm_on);
        break;
    case ITEM_FILTER:
        settings.map_filter = cycled(settings.map_filter, key, 2);
        break;
    case ITEM_CAL:
        if (key == KEY_PLUS && *cal < CAL_LIMIT) (*cal)++;
        if (key == KEY_MINUS && *cal > -CAL_LIMIT) (*cal)--;
        break;
    case ITEM_SOURCE:
        settings.map_source = toggled(settings.map_source);
        break;
    case ITEM_EXIO_ADDRESS:
        settings.exio_address = cycled(settings.exio_address, key, EXIO_ADDRESS_LAST);
        break;
    default:
        break;
    }
}

void map_setup_screen(void) {
    draw_title_bar("MAP", "SETUP");
    scroll_to_selection();
    // The inch step stops at 10.0: a step of 1000 left by F2 starts again at 1.
    if (in_inches() && edit_step > 100) edit_step = 1;
    draw_items();
    draw_scroll_indicator(menu_selected, item_count());
    uint8_t numeric = map_limit(menu_selected) != 0;
    if (numeric) {
        if (in_inches())
            draw_decimal_step_label(menu_selected);
        else
            draw_step_label(menu_selected);
    }
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(main_menu_screen, 0);
        store_calibration();
        break;
    case KEY_F2:
        if (numeric) next_edit_step();
        break;
    case KEY_PUSH:
        toggle_editing();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        if (menu_editing)
            edit_item(pending_key);
        else
            select_by_key(pending_key, item_count());
        break;
    default:
        break;
    }
    pending_key = 0;
}
