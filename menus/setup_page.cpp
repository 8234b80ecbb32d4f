#include "menus/setup_page.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"

#define FIRST_LABEL_CHAR 32
#define LAST_LABEL_CHAR 126

void scroll_to_selection(void) {
    menu_top = menu_selected >= MENU_ROWS ? (uint8_t)(menu_selected - (MENU_ROWS - 1)) : 0;
}

void select_next_item(uint8_t count) {
    menu_selected = menu_selected + 1 >= count ? 0 : (uint8_t)(menu_selected + 1);
}

void select_previous_item(uint8_t count) {
    menu_selected = menu_selected == 0 ? (uint8_t)(count - 1) : (uint8_t)(menu_selected - 1);
}

int32_t stepped_value(int32_t value, uint8_t key, int32_t minimum, int32_t maximum) {
    if (key == KEY_PLUS) return value + edit_step > maximum ? minimum : value + edit_step;
    if (key == KEY_MINUS) return value - edit_step < minimum ? maximum : value - edit_step;
    return value;
}

uint8_t toggled(uint8_t value) {
    return value == 1 ? 0 : 1;
}

uint8_t cycled(uint8_t value, uint8_t key, uint8_t last) {
    if (key == KEY_PLUS) return value >= last ? 0 : (uint8_t)(value + 1);
    if (key == KEY_MINUS) return value == 0 || value > last ? last : (uint8_t)(value - 1);
    return value;
}

// Codes outside 32..126 (never made by the editor) go to the nearest end.
char edited_label_char(char c, uint8_t key) {
    uint8_t code = (uint8_t)c;
    if (key == KEY_PLUS)
        return (char)(code >= LAST_LABEL_CHAR || code < FIRST_LABEL_CHAR ? FIRST_LABEL_CHAR
                                                                         : code + 1);
    if (key == KEY_MINUS)
        return (char)(code <= FIRST_LABEL_CHAR || code > LAST_LABEL_CHAR ? LAST_LABEL_CHAR
                                                                         : code - 1);
    return c;
}

void next_edit_step(void) {
    edit_step = edit_step < 1000 ? (uint16_t)(edit_step * 10) : 1;
}

void draw_f2_label(const char *text) {
    draw_text(134, 104, text, 0, 8, ALIGN_CENTRE, COLOUR_WHITE);
}

// The label of edit_step among 1, 10, 100 and 1000; any other step becomes 1.
static void draw_step_text(uint8_t item, const char *const texts[4]) {
    if (item != menu_selected) return;
    switch (edit_step) {
    case 1:
        draw_f2_label(texts[0]);
        break;
    case 10:
        draw_f2_label(texts[1]);
        break;
    case 100:
        draw_f2_label(texts[2]);
        break;
    case 1000:
        draw_f2_label(texts[3]);
        break;
    default:
        edit_step = 1;
        break;
    }
}

void draw_step_label(uint8_t item) {
    static const char *const texts[4] = {"X1", "X10", "X100", "X1000"};
    draw_step_text(item, texts);
}

void draw_decimal_step_label(uint8_t item) {
    static const char *const texts[4] = {"X0.1", "X1.0", "X10.0", "X100.0"};
    draw_step_text(item, texts);
}

const char *option_text(const char *table, uint8_t width, uint8_t count, uint8_t value) {
    return table + (value < count ? value : 0) * width;
}
