#include "menus/rpm_setup.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/menu.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/main_menu.h"
#include "menus/setup_page.h"
#include "screens/screen.h"

#include <stdio.h>

#define RPM_MAX 99000
#define LABEL_LAST_CURSOR 5
#define EXIO_ADDRESS_LAST 3
#define INCREMENT_LAST 4

// When an item is in the list.
enum presence { ALWAYS, DISPLAY_ON, PERCENT_MODE, RPM_MODE, EXIO_SOURCE };
// What follows the row in the right-hand soft-key cell.
enum step_label { NO_STEP, INTEGER_STEP, DECIMAL_STEP };

struct rpm_item {
    uint8_t kind;
    const char *label;
    uint8_t presence;
    uint8_t step_label;
};

static const struct rpm_item items[] = {
    {RPM_KIND_DISPLAY_ON, "RPM DISPLAY: ", ALWAYS, NO_STEP},
    {RPM_KIND_DISPLAY_MODE, "DISPLAY: ", DISPLAY_ON, NO_STEP},
    {RPM_KIND_100_PERCENT, "RPM 100%: ", PERCENT_MODE, INTEGER_STEP},
    {RPM_KIND_DISPLAY_MAX, "DISPLAY MAX: ", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_DISPLAY_MIN, "DISPLAY MIN: ", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_HIGH_ALARM_ON, "HIGH ALARM: ", DISPLAY_ON, NO_STEP},
    {RPM_KIND_HIGH_ALARM, "HIGH ALARM: ", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_HIGH_CAUTION, "HIGH CAUTION:", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_LOW_CAUTION, "LOW CAUTION:", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_LOW_ALARM_ON, "LOW ALARM: ", DISPLAY_ON, NO_STEP},
    {RPM_KIND_LOW_ALARM, "LOW ALARM: ", DISPLAY_ON, INTEGER_STEP},
    {RPM_KIND_PULSES_PER_REV, "PULSES/REV: ", DISPLAY_ON, DECIMAL_STEP},
    {RPM_KIND_INCREMENT, "INCREMENT:", RPM_MODE, NO_STEP},
    {RPM_KIND_LABEL, "LABEL: ", DISPLAY_ON, NO_STEP},
    {RPM_KIND_SOURCE, "DATA: ", DISPLAY_ON, NO_STEP},
    {RPM_KIND_EXIO_ADDRESS, "EXIO ADDRESS: ", EXIO_SOURCE, NO_STEP},
};

#define ITEM_KINDS (sizeof items / sizeof items[0])

static uint8_t present(uint8_t presence) {
    if (presence == ALWAYS) return 1;
    if (settings.rpm_display_on != 1) return 0;
    switch (presence) {
    case PERCENT_MODE:
        return settings.rpm_display_mode == 1;
    case RPM_MODE:
        return settings.rpm_display_mode == 0;
    case EXIO_SOURCE:
        return settings.rpm_source == 1;
    default:
        return 1;
    }
}

// A speed field with its range, by kind; 0 for the other kinds.
struct speed_field {
    int32_t *value;
    int32_t minimum;
};

static struct speed_field speed_field(uint8_t kind) {
    switch (kind) {
    case RPM_KIND_DISPLAY_MAX:
        return {&settings.rpm_display_max, 100};
    case RPM_KIND_DISPLAY_MIN:
        return {&settings.rpm_display_min, 0};
    case RPM_KIND_100_PERCENT:
        return {&settings.rpm_100_percent, 100};
    case RPM_KIND_LOW_ALARM:
        return {&settings.rpm_low_alarm, 0};
    case RPM_KIND_LOW_CAUTION:
        return {&settings.rpm_low_caution, 0};
    case RPM_KIND_HIGH_CAUTION:
        return {&settings.rpm_high_caution, 100};
    case RPM_KIND_HIGH_ALARM:
        return {&settings.rpm_high_alarm, 100};
    default:
        return {0, 0};
    }
}

// The on/off and two-way fields, by kind; 0 for the other kinds.
static uint8_t *toggle_field(uint8_t kind) {
    switch (kind) {
    case RPM_KIND_DISPLAY_ON:
        return &settings.rpm_display_on;
    case RPM_KIND_DISPLAY_MODE:
        return &settings.rpm_display_mode;
    case RPM_KIND_LOW_ALARM_ON:
        return &settings.rpm_low_alarm_on;
    case RPM_KIND_HIGH_ALARM_ON:
        return &settings.rpm_high_alarm_on;
    case RPM_KIND_SOURCE:
        return &settings.rpm_source;
    default:
        return 0;
    }
}

static void format_item_value(uint8_t kind, char *out, uint8_t size) {
    struct speed_field speed = speed_field(kind);
    if (speed.value) {
        snprintf(out, size, "%ld", (long)*speed.value);
        return;
    }
    switch (kind) {
    case RPM_KIND_DISPLAY_MODE:
        snprintf(out, size, "%s", settings.rpm_display_mode == 1 ? "PERCENT" : "RPM");
        break;
    case RPM_KIND_PULSES_PER_REV:
        snprintf(out, size, "%.1f", settings.rpm_pulses_per_rev * 0.1);
        break;
    case RPM_KIND_INCREMENT:
        snprintf(out, size, "%s", OPTION_TEXT(increment_names, settings.rpm_increment));
        break;
    case RPM_KIND_SOURCE:
        snprintf(out, size, "%s", OPTION_TEXT(source_names, settings.rpm_source));
        break;
    case RPM_KIND_EXIO_ADDRESS:
        snprintf(out, size, "%d", settings.exio_address + 1);
        break;
    default:
        snprintf(out, size, "%s", OPTION_TEXT(off_on_names, *toggle_field(kind)));
        break;
    }
}

static void edit_value(uint8_t kind, uint8_t key) {
    struct speed_field speed = speed_field(kind);
    uint8_t *toggle = toggle_field(kind);
    if (speed.value) {
        *speed.value = stepped_value(*speed.value, key, speed.minimum, RPM_MAX);
    } else if (toggle) {
        *toggle = toggled(*toggle);
    } else if (kind == RPM_KIND_PULSES_PER_REV) {
        settings.rpm_pulses_per_rev =
            (int16_t)stepped_value(settings.rpm_pulses_per_rev, key, 1, 5000);
    } else if (kind == RPM_KIND_INCREMENT) {
        settings.rpm_increment = cycled(settings.rpm_increment, key, INCREMENT_LAST);
    } else if (kind == RPM_KIND_EXIO_ADDRESS) {
        settings.exio_address = cycled(settings.exio_address, key, EXIO_ADDRESS_LAST);
    } else if (kind == RPM_KIND_LABEL) {
        char *c = &settings.rpm_label[label_cursor % (LABEL_LAST_CURSOR + 1)];
        *c = edited_label_char(*c, key);
    }
}

void rpm_item_keys(uint8_t kind, uint8_t index) {
    if (pending_key == 0 || index != menu_selected) return;
    if (pending_key == KEY_PUSH) {
        if (menu_editing == 0) {
            menu_editing = 1;
            label_cursor = 0;
        } else if (kind == RPM_KIND_LABEL && label_cursor < LABEL_LAST_CURSOR) {
            label_cursor++;
        } else {
            menu_editing = 0;
        }
    } else if ((pending_key == KEY_PLUS || pending_key == KEY_MINUS) && menu_editing) {
        edit_value(kind, pending_key);
    }
}

// Draws every present item and hands it its key; returns the item count.
static uint8_t draw_list(void) {
    uint8_t n = 0;
    for (uint8_t i = 0; i < ITEM_KINDS; i++) {
        const struct rpm_item *item = &items[i];
        if (!present(item->presence)) continue;
        int8_t row = (int8_t)(n - menu_top);
        char value[16];
        if (item->kind == RPM_KIND_LABEL) {
            draw_label_edit_row(row, item->label, settings.rpm_label);
        } else {
            format_item_value(item->kind, value, sizeof value);
            draw_menu_row(row, item->label, value);
        }
        rpm_item_keys(item->kind, n);
        if (item->step_label == INTEGER_STEP) draw_step_label(n);
        if (item->step_label == DECIMAL_STEP) draw_decimal_step_label(n);
        n++;
    }
    return n;
}

void rpm_setup_screen(void) {
    draw_title_bar("RPM", "SETUP");
    scroll_to_selection();
    uint8_t count = draw_list();
    draw_scroll_indicator(menu_selected, count);
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(main_menu_screen, 1);
        break;
    case KEY_F2:
        next_edit_step();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        if (menu_editing == 0) {
            select_by_key(pending_key, count);
            edit_step = 1;
        }
        break;
    default:
        break;
    }
    pending_key = 0;
}
