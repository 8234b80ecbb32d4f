#include "menus/misc_setup.h"

#include "core/keys.h"
#include "core/sensors.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/icons/icons.h"
#include "display/image.h"
#include "display/menu.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "menus/main_menu.h"
#include "menus/security_setup.h"
#include "menus/setup_page.h"
#include "screens/messages.h"
#include "screens/screen.h"

#include <stdio.h>

const uint16_t firmware_version = 100;

#define ITEM_BACKLIGHT 0
#define ITEM_SECURITY 1
#define ITEM_INFO 2
#define ITEM_DEFAULTS 3
#define MISC_ITEMS 4

// The main menu's items of this module's pages.
#define MAIN_ITEM_MISC 4
#define MAIN_ITEM_ADC 5

void misc_setup_screen(void) {
    static const char *const texts[MISC_ITEMS] = {"BACKLIGHT", "SECURITY SETUP", "INFORMATION",
                                                  "DEFAULT SETTINGS"};
    scroll_to_selection();
    draw_title_bar("MISC", "SETUP");
    draw_scroll_indicator(menu_selected, MISC_ITEMS);
    for (uint8_t i = 0; i < MISC_ITEMS; i++)
        draw_menu_text_row((int8_t)(i - menu_top), texts[i],
                           i == menu_selected ? COLOUR_RED : COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(main_menu_screen, MAIN_ITEM_MISC);
        break;
    case KEY_PUSH:
        switch (menu_selected) {
        case ITEM_BACKLIGHT:
            current_screen = backlight_screen;
            break; // on its first row
        case ITEM_SECURITY:
            open_page_on(security_setup_screen, 0);
            break;
        case ITEM_INFO:
            open_page_on(info_screen, 0);
            break;
        case ITEM_DEFAULTS:
            open_page_on(default_settings_screen, 0);
            break;
        default:
            break;
        }
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        select_by_key(pending_key, MISC_ITEMS);
        break;
    default:
        break;
    }
    pending_key = 0;
}

#define BACKLIGHT_ROWS 4
#define ROW_MODE 0
#define ROW_THRESHOLD 1
#define ROW_DIM 2
#define ROW_BRIGHT 3

#define PERCENT_STEP 10
#define PERCENT_MIN 10
#define PERCENT_MAX 100

static uint8_t auto_mode(void) {
    return settings.backlight_mode == 1;
}

// A level, DIM or BRIGHT one step of 10 up or down, within 10..100.
static uint8_t stepped_percent(uint8_t value, uint8_t key) {
    int16_t v = (int16_t)(value + (key == KEY_PLUS ? PERCENT_STEP : -PERCENT_STEP));
    if (v > PERCENT_MAX) v = PERCENT_MAX;
    if (v < PERCENT_MIN) v = PERCENT_MIN;
    return (uint8_t)v;
}

static void draw_manual_page(void) {
    draw_title_bar("BACKLIGHT", "");
    draw_text(80, 41, "USE THE ROTARY", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 54, "CONTROL TO ADJUST", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 67, "THE BACKLIGHT", 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
    fill_rect(10, 85, (int16_t)(9 + 14 * settings.backlight_level / 10), 97, COLOUR_RED);
    draw_rect(10, 85, 150, 97, COLOUR_WHITE);
}

static void draw_auto_page(void) {
    char text[16];
    snprintf(text, sizeof text, "ADC: %d", light_sensor_adc);
    draw_title_bar("BACKLIGHT", text);
    snprintf(text, sizeof text, "%d", settings.backlight_threshold);
    draw_menu_row(ROW_THRESHOLD, "THRESHOLD: ", text);
    if (menu_selected == ROW_THRESHOLD) draw_f2_label(edit_step == 100 ? "X100" : "X1000");
    snprintf(text, sizeof text, "%d%%", settings.backlight_dim);
    draw_menu_row(ROW_DIM, "DIM: ", text);
    snprintf(text, sizeof text, "%d%%", settings.backlight_bright);
    draw_menu_row(ROW_BRIGHT, "BRIGHT: ", text);
}

static void edit_backlight(uint8_t key) {
    switch (menu_selected) {
    case ROW_MODE:
        settings.backlight_mode = toggled(settings.backlight_mode);
        break;
    case ROW_THRESHOLD:
        // In 32 bits, so that 500 - 1000 wraps to 4000 rather than underflowing.
        settings.backlight_threshold =
            (uint16_t)stepped_value(settings.backlight_threshold, key, 100, 4000);
        break;
    case ROW_DIM:
        settings.backlight_dim = stepped_percent(settings.backlight_dim, key);
        break;
    case ROW_BRIGHT:
        settings.backlight_bright = stepped_percent(settings.backlight_bright, key);
        break;
    default:
        break;
    }
}

// Turning while browsing: the level in MANUAL, the selection in AUTO.
static void turn_backlight(uint8_t key) {
    if (!auto_mode())
        settings.backlight_level = stepped_percent(settings.backlight_level, key);
    else
        select_by_key(key, BACKLIGHT_ROWS);
    edit_step = 100;
}

void backlight_screen(void) {
    draw_menu_row(ROW_MODE,
                  "BACKLIGHT: ", OPTION_TEXT(backlight_mode_names, settings.backlight_mode));
    if (auto_mode())
        draw_auto_page();
    else
        draw_manual_page();
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (pending_key) {
    case KEY_F1:
        open_page_on(misc_setup_screen, ITEM_BACKLIGHT);
        break;
    case KEY_F2:
        if (menu_selected == ROW_THRESHOLD) edit_step = edit_step == 100 ? 1000 : 100;
        break;
    case KEY_PUSH:
        toggle_editing();
        break;
    case KEY_PLUS:
    case KEY_MINUS:
        if (menu_editing)
            edit_backlight(pending_key);
        else
            turn_backlight(pending_key);
        break;
    default:
        break;
    }
    pending_key = 0;
}

void info_screen(void) {
    char text[24];
    draw_title_bar("INFO", "");
    draw_menu_text_row(0, "MODEL: QX-40", COLOUR_WHITE);
    snprintf(text, sizeof text, "FIRMWARE: V%.2f", firmware_version * 0.01);
    draw_menu_text_row(1, text, COLOUR_WHITE);
    // The units present on the data bus, or an error when none answers.
    if (exio_present == 1 || bus_unit_c_present == 1 || bus_unit_a_present == 1)
        snprintf(text, sizeof text, "CAN: OK (%s%s%s)", exio_present == 1 ? "E" : "",
                 bus_unit_c_present == 1 ? "C" : "", bus_unit_a_present == 1 ? "A" : "");
    else
        snprintf(text, sizeof text, "CAN: ERROR");
    draw_menu_text_row(4, text, COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == KEY_F1) open_page_on(misc_setup_screen, ITEM_INFO);
    pending_key = 0;
}

void default_settings_screen(void) {
    draw_title_bar("MESSAGE", "");
    draw_image(5, 40, question_icon, sizeof question_icon);
    draw_text(110, 35, "LOAD", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 56, "DEFAULT", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 77, "SETTINGS?", 0, 9, ALIGN_CENTRE, COLOUR_WHITE);
    draw_yes_no_keys();
    if (pending_key == KEY_F1) {
        open_page_on(misc_setup_screen, ITEM_DEFAULTS);
    } else if (pending_key == KEY_F2) {
        open_page_on(done_message_screen, ITEM_DEFAULTS);
        message_return_screen = misc_setup_screen;
        load_factory_defaults();
    }
    pending_key = 0;
}

void adc_values_screen(void) {
    char text[32];
    draw_title_bar("ADC", "VALUES");
    // map_mb widened with its sign, then printed unsigned.
    snprintf(text, sizeof text, "MAP: %d (%umB)", map_raw, (unsigned int)(int32_t)map_mb);
    draw_menu_text_row(0, text, COLOUR_WHITE);
    snprintf(text, sizeof text,
             "TEMP: %d (%d\xB0"
             "C)",
             temp_raw, temp_c);
    draw_menu_text_row(1, text, COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    if (pending_key == KEY_F1) open_page_on(main_menu_screen, MAIN_ITEM_ADC);
    pending_key = 0;
}
