#include "menus/hobbs_code.h"

#include "core/settings.h"
#include "display/menu.h"
#include "menus/setup_page.h"
#include "menus/timers_setup.h"
#include "screens/screen.h"

// TIMERS SETUP items selected on the way back.
#define ITEM_SET_HOBBS_TIME 1
#define ITEM_HOBBS_CODE 2

static void guard_complete(uint16_t code) {
    if (code_accepted(code, settings.hobbs_code)) {
        preload_hobbs_time();
        menu_selected = 0;
        current_screen = set_hobbs_time_screen;
    } else {
        show_code_result(0, timers_setup_screen, ITEM_SET_HOBBS_TIME);
    }
}

static void current_complete(uint16_t code) {
    check_current_code(code, settings.hobbs_code, enter_new_hobbs_code_screen, timers_setup_screen,
                       ITEM_HOBBS_CODE);
}

// Any code is taken, 0000 included (it removes the guard).
static void new_complete(uint16_t code) {
    take_new_code(code, confirm_new_hobbs_code_screen);
}

static void confirm_complete(uint16_t code) {
    confirm_new_code(code, &settings.hobbs_code, timers_setup_screen, ITEM_HOBBS_CODE);
}

void enter_hobbs_code_screen(void) {
    static const struct code_page page = {
        "HOBBS",       "CODE", "ENTER HOBBS", "CODE", timers_setup_screen, ITEM_SET_HOBBS_TIME,
        guard_complete};
    code_page_pass(&page);
}

void enter_current_hobbs_code_screen(void) {
    static const struct code_page page = {
        "HOBBS",         "CODE",          "ENTER CURRENT", "HOBBS CODE", timers_setup_screen,
        ITEM_HOBBS_CODE, current_complete};
    code_page_pass(&page);
}

void enter_new_hobbs_code_screen(void) {
    static const struct code_page page = {
        "HOBBS",         "CODE",      "ENTER NEW", "HOBBS CODE", timers_setup_screen,
        ITEM_HOBBS_CODE, new_complete};
    code_page_pass(&page);
}

void confirm_new_hobbs_code_screen(void) {
    static const struct code_page page = {
        "HOBBS",         "CODE",          "CONFIRM NEW", "HOBBS CODE", timers_setup_screen,
        ITEM_HOBBS_CODE, confirm_complete};
    code_page_pass(&page);
}
