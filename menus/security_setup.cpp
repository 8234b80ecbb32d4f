#include "menus/security_setup.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/misc_setup.h"
#include "menus/setup_page.h"
#include "screens/screen.h"

#define ITEM_SECURITY 0
#define ITEM_CHANGE_CODE 1
// MISC SETUP's item of this page.
#define MISC_ITEM_SECURITY 1

static uint8_t security_on(void) {
    return settings.security_on == 1;
}

static void push(void) {
    if (menu_selected == ITEM_CHANGE_CODE) {
        clear_code_entry();
        current_screen = check_code_screen;
        message_return_screen = security_setup_screen;
    } else {
        toggle_editing();
    }
}

// "+" and "-" alike: a toggle while editing, else a move over the two rows,
// which only exist with security on.
static void turn(void) {
    if (menu_editing && menu_selected == ITEM_SECURITY)
        settings.security_on = toggled(settings.security_on);
    else if (!menu_editing && security_on())
        menu_selected = menu_selected == ITEM_SECURITY ? ITEM_CHANGE_CODE : ITEM_SECURITY;
}

void security_setup_screen(void) {
    scroll_to_selection();
    draw_title_bar("SECURITY", "SETUP");
    draw_menu_row(ITEM_SECURITY, "SECURITY: ", OPTION_TEXT(off_on_names, settings.security_on));
    if (security_on())
        draw_menu_text_row(ITEM_CHANGE_CODE, "CHANGE CODE",
                           menu_selected == ITEM_CHANGE_CODE ? COLOUR_RED : COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(misc_setup_screen, MISC_ITEM_SECURITY);
        break;
    case KEY_PUSH:
        push();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        turn();
        break;
    default:
        break;
    }
    pending_key = 0;
}

static void check_complete(uint16_t code) {
    check_current_code(code, settings.security_code, new_code_screen, security_setup_screen,
                       ITEM_CHANGE_CODE);
}

static void new_complete(uint16_t code) {
    take_new_code(code, confirm_code_screen);
}

static void confirm_complete(uint16_t code) {
    confirm_new_code(code, &settings.security_code, security_setup_screen, ITEM_CHANGE_CODE);
}

void check_code_screen(void) {
    static const struct code_page page = {
        "SECURITY",       "CODE",        "ENTER SECURITY", "CODE", security_setup_screen,
        ITEM_CHANGE_CODE, check_complete};
    code_page_pass(&page);
}

void new_code_screen(void) {
    static const struct code_page page = {
        "SECURITY",       "CODE",      "ENTER NEW", "CODE", security_setup_screen,
        ITEM_CHANGE_CODE, new_complete};
    code_page_pass(&page);
}

void confirm_code_screen(void) {
    static const struct code_page page = {
        "SECURITY",       "CODE",          "CONFIRM NEW", "CODE", security_setup_screen,
        ITEM_CHANGE_CODE, confirm_complete};
    code_page_pass(&page);
}
