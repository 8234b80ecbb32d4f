#include "display/widgets.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/menu.h"
#include "display/primitives.h"
#include "display/text.h"
#include "display/title_bar.h"

#include <stdio.h>

#define MENU_FONT 8
#define SOFT_KEY_Y 104
#define F1_LABEL_X 26
#define F2_LABEL_X 134
#define LABEL_CHARS 6

// The bar above the keys and the two cell dividers.
static void draw_soft_key_frame(void) {
    draw_hline(0, 159, 102, COLOUR_WHITE);
    draw_vline(102, 119, 53, COLOUR_WHITE);
    draw_vline(102, 119, 106, COLOUR_WHITE);
}

void draw_soft_keys(uint8_t kind) {
    static const char *const labels[] = {"EXIT", "BACK", "DONE"};
    draw_soft_key_frame();
    if (kind >= SOFT_KEYS_EXIT && kind <= SOFT_KEYS_DONE)
        draw_text(F1_LABEL_X, SOFT_KEY_Y, labels[kind - 1], 0, MENU_FONT, ALIGN_CENTRE,
                  COLOUR_WHITE);
    draw_rotary_symbol();
}

void draw_yes_no_keys(void) {
    draw_soft_key_frame();
    draw_text(F1_LABEL_X, SOFT_KEY_Y, "NO", 0, MENU_FONT, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(F2_LABEL_X, SOFT_KEY_Y, "YES", 0, MENU_FONT, ALIGN_CENTRE, COLOUR_WHITE);
}

// A vertical span of the rotary symbol: column x, rows y0..y1.
struct span {
    int16_t x, y0, y1;
};

static void draw_spans(const struct span *spans, int count) {
    for (int i = 0; i < count; i++) draw_vline(spans[i].y0, spans[i].y1, spans[i].x, COLOUR_WHITE);
}

// The curved double arrow of the rotary control: an arc over the middle cell
// with a filled arrowhead at each end.
void draw_rotary_symbol(void) {
    static const struct span left_fill[] = {
        {61, 110, 111}, {62, 111, 117}, {63, 111, 116}, {64, 112, 116},
        {65, 113, 115}, {66, 113, 115}, {67, 113, 115}, {68, 114, 114},
    };
    static const struct span right_fill[] = {
        {92, 114, 114}, {93, 114, 114}, {94, 113, 115}, {95, 113, 115},
        {96, 112, 116}, {97, 112, 116}, {98, 111, 115}, {99, 111, 111},
    };
    draw_arc(80, 124, 20, 220, 320, COLOUR_WHITE);

    draw_line(60, 109, 70, 114, COLOUR_WHITE);
    draw_line(60, 109, 62, 118, COLOUR_WHITE);
    draw_line(70, 114, 62, 118, COLOUR_WHITE);
    draw_spans(left_fill, sizeof left_fill / sizeof left_fill[0]);

    draw_line(90, 114, 100, 109, COLOUR_WHITE);
    draw_line(90, 114, 98, 118, COLOUR_WHITE);
    draw_line(100, 109, 98, 118, COLOUR_WHITE);
    draw_spans(right_fill, sizeof right_fill / sizeof right_fill[0]);
}

// Track from row 30 to 98; the thumb is 68 rows shared out over the items.
// A count of 0 has no thumb (the division would be by zero).
void draw_scroll_indicator(uint16_t position, uint16_t count) {
    draw_vline(30, 98, 156, COLOUR_WHITE);
    if (count == 0) return;
    uint16_t segment = (uint16_t)(680 / count);
    int32_t top = ((int32_t)segment * position + 300) / 10;
    int32_t bottom = top + segment / 10;
    fill_rect(153, (int16_t)top, 159, (int16_t)bottom, COLOUR_WHITE);
}

static int row_visible(int8_t row) {
    return row >= 0 && row < MENU_ROWS;
}

static int16_t row_y(int8_t row) {
    return (int16_t)(row * 15 + 26);
}

static int row_selected(int8_t row) {
    return row + menu_top == menu_selected;
}

// Label red only on the selected row while it is not being edited.
static uint8_t label_colour(int8_t row) {
    return row_selected(row) && menu_editing == 0 ? COLOUR_RED : COLOUR_WHITE;
}

void draw_menu_row(int8_t row, const char *label, const char *value) {
    if (!row_visible(row)) return;
    int16_t y = row_y(row);
    draw_text(0, y, label, 0, MENU_FONT, ALIGN_LEFT, label_colour(row));
    draw_text(text_end_x, y, value, 0, MENU_FONT, ALIGN_LEFT,
              row_selected(row) ? COLOUR_RED : COLOUR_WHITE);
}

// While editing, the six characters are drawn again one by one over the
// white value, the one at label_cursor in red.
void draw_label_edit_row(int8_t row, const char *label, const char *value) {
    if (!row_visible(row)) return;
    int16_t y = row_y(row);
    uint8_t colour = label_colour(row);
    draw_text(0, y, label, 0, MENU_FONT, ALIGN_LEFT, colour);
    int16_t value_x = text_end_x;
    draw_text(value_x, y, value, 0, MENU_FONT, ALIGN_LEFT, colour);
    if (!row_selected(row) || menu_editing != 1) return;
    int16_t x = value_x;
    for (uint8_t i = 0; i < LABEL_CHARS && value[i]; i++) {
        char one[2];
        snprintf(one, sizeof one, "%c", value[i]);
        x = draw_text(x, y, one, 0, MENU_FONT, ALIGN_LEFT,
                      i == label_cursor ? COLOUR_RED : COLOUR_WHITE);
    }
}

void draw_menu_text_row(int8_t row, const char *text, uint8_t colour) {
    if (!row_visible(row)) return;
    draw_text(0, row_y(row), text, 0, MENU_FONT, ALIGN_LEFT, colour);
}

#define CODE_DIGITS 4

void draw_entry_heading(const char *title1, const char *title2, const char *prompt1,
                        const char *prompt2) {
    draw_title_bar(title1, title2);
    draw_text(80, 30, prompt1, 0, MENU_FONT, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(80, 45, prompt2, 0, MENU_FONT, ALIGN_CENTRE, COLOUR_WHITE);
}

void draw_entry_digits(const int16_t *xs, uint8_t count) {
    for (uint8_t i = 0; i < count && i < ENTRY_DIGITS; i++) {
        char digit[4];
        snprintf(digit, sizeof digit, "%d", entry_digits[i]);
        draw_text(xs[i], 61, digit, 0, 20, ALIGN_CENTRE,
                  i == menu_selected ? COLOUR_RED : COLOUR_WHITE);
    }
}

void draw_code_page(const char *title1, const char *title2, const char *prompt1,
                    const char *prompt2, uint8_t soft_keys) {
    static const int16_t xs[CODE_DIGITS] = {50, 70, 90, 110};
    draw_entry_heading(title1, title2, prompt1, prompt2);
    draw_entry_digits(xs, CODE_DIGITS);
    draw_soft_keys(soft_keys);
}

uint8_t digit_entry_key(uint8_t key, uint8_t last_cell) {
    uint8_t *digit = &entry_digits[menu_selected < last_cell ? menu_selected : last_cell];
    switch (key) {
    case KEY_PLUS:
        *digit = *digit >= 9 ? 0 : (uint8_t)(*digit + 1);
        break;
    case KEY_MINUS:
        *digit = *digit == 0 ? 9 : (uint8_t)(*digit - 1);
        break;
    case KEY_PUSH:
        if (menu_selected >= last_cell) return CODE_KEY_COMPLETE;
        menu_selected++;
        break;
    case KEY_F1:
        return CODE_KEY_LEAVE;
    default:
        break;
    }
    return CODE_KEY_NONE;
}

uint8_t code_page_key(uint8_t key) {
    return digit_entry_key(key, CODE_DIGITS - 1);
}

uint16_t entered_code(void) {
    return (uint16_t)(entry_digits[0] * 1000 + entry_digits[1] * 100 + entry_digits[2] * 10 +
                      entry_digits[3]);
}
