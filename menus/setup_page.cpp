#include "menus/setup_page.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/widgets.h"
#include "screens/messages.h"
#include "screens/screen.h"

#define FIRST_LABEL_CHAR 32
#define LAST_LABEL_CHAR 126

void scroll_to_selection(void) {
    menu_top = menu_selected >= MENU_ROWS ? (uint8_t)(menu_selected - (MENU_ROWS - 1)) : 0;
}

static void select_next_item(uint8_t count) {
    menu_selected = menu_selected + 1 >= count ? 0 : (uint8_t)(menu_selected + 1);
}

static void select_previous_item(uint8_t count) {
    menu_selected = menu_selected == 0 ? (uint8_t)(count - 1) : (uint8_t)(menu_selected - 1);
}

void select_by_key(uint8_t key, uint8_t count) {
    if (key == KEY_PLUS) select_next_item(count);
    if (key == KEY_MINUS) select_previous_item(count);
}

void toggle_editing(void) {
    menu_editing = menu_editing ? 0 : 1;
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

// A code outside 32..126, which only a short label holds, becomes blank with
// "+" and tilde with "-", like the ends of the range.
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

void open_page_on(screen_handler page, uint8_t item) {
    current_screen = page;
    enter_menu(item);
}

uint8_t code_accepted(uint16_t code, uint16_t stored) {
    return code == stored || code == master_code;
}

void show_code_result(uint16_t outcome, screen_handler back_to, uint8_t item) {
    menu_selected = item;
    pending_code = outcome;
    message_return_screen = back_to;
    current_screen = code_result_screen;
}

void clear_code_entry(void) {
    for (uint8_t i = 0; i < 4; i++) entry_digits[i] = 0;
    menu_selected = 0;
}

void check_current_code(uint16_t code, uint16_t stored, screen_handler next_page,
                        screen_handler back_to, uint8_t item) {
    if (code_accepted(code, stored)) {
        clear_code_entry();
        current_screen = next_page;
    } else {
        show_code_result(0, back_to, item);
    }
}

void take_new_code(uint16_t code, screen_handler confirm_page) {
    pending_code = code;
    clear_code_entry();
    current_screen = confirm_page;
}

void confirm_new_code(uint16_t code, uint16_t *stored, screen_handler back_to, uint8_t item) {
    uint16_t outcome = 0;
    if (code == pending_code) {
        *stored = code;
        outcome = 1;
    }
    show_code_result(outcome, back_to, item);
}

void code_page_pass(const struct code_page *page) {
    draw_code_page(page->title1, page->title2, page->prompt1, page->prompt2, SOFT_KEYS_BACK);
    if (pending_key == 0) return;
    switch (code_page_key(pending_key)) {
    case CODE_KEY_LEAVE:
        open_page_on(page->parent, page->parent_item);
        break;
    case CODE_KEY_COMPLETE:
        page->complete(entered_code());
        break;
    default:
        break;
    }
    pending_key = 0;
}
