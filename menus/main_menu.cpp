#include "menus/main_menu.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/icons/icons.h"
#include "display/image.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/map_setup.h"
#include "menus/misc_setup.h"
#include "menus/rpm_setup.h"
#include "menus/temp_setup.h"
#include "menus/timers_setup.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

struct main_menu_item {
    const char *line1;
    const char *line2;
    const uint8_t *icon;
    uint32_t icon_size;
    screen_handler page;
};

#define ITEM_COUNT 6

static const struct main_menu_item items[ITEM_COUNT] = {
    {"MAP", "SETUP", map_setup_icon, sizeof map_setup_icon, map_setup_screen},
    {"RPM", "SETUP", rpm_setup_icon, sizeof rpm_setup_icon, rpm_setup_screen},
    {"TEMP", "SETUP", temp_setup_icon, sizeof temp_setup_icon, temp_setup_screen},
    {"TIMERS", "SETUP", timers_setup_icon, sizeof timers_setup_icon, timers_setup_screen},
    {"MISC", "SETUP", misc_setup_icon, sizeof misc_setup_icon, misc_setup_screen},
    {"ADC", "VALUES", adc_values_icon, sizeof adc_values_icon, adc_values_screen},
};

static void open_page(screen_handler page) {
    current_screen = page;
    edit_step = 1;
    menu_selected = 0;
    menu_top = 0;
    menu_editing = 0;
}

void main_menu_screen(void) {
    const struct main_menu_item *item = &items[menu_selected < ITEM_COUNT ? menu_selected : 0];
    draw_title_bar("MAIN MENU", "");
    draw_scroll_indicator(menu_selected, ITEM_COUNT);
    draw_text(110, 46, item->line1, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 64, item->line2, 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_image(10, 41, item->icon, item->icon_size);
    draw_soft_keys(SOFT_KEYS_EXIT);
    switch (pending_key) {
    case KEY_F1:
        return_to_run_screen();
        break;
    case KEY_PUSH:
        open_page(item->page);
        break;
    case KEY_PLUS:
        menu_selected = menu_selected >= ITEM_COUNT - 1 ? 0 : menu_selected + 1;
        break;
    case KEY_MINUS:
        menu_selected = menu_selected == 0 ? ITEM_COUNT - 1 : menu_selected - 1;
        break;
    default:
        break;
    }
    pending_key = 0;
}
