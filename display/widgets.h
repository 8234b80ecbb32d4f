// Widgets shared by the menu, message and code pages: the soft-key bar, the
// rotary symbol, the scroll indicator, the menu rows and the code page.
#pragma once
#include <stdint.h>

#define SOFT_KEYS_NONE 0
#define SOFT_KEYS_EXIT 1
#define SOFT_KEYS_BACK 2
#define SOFT_KEYS_DONE 3

void draw_soft_keys(uint8_t kind);
void draw_yes_no_keys(void);
void draw_rotary_symbol(void);
void draw_scroll_indicator(uint16_t position, uint16_t count);

// Rows 0..4 of a list page; other rows draw nothing.
void draw_menu_row(int8_t row, const char *label, const char *value);
void draw_label_edit_row(int8_t row, const char *label, const char *value);
void draw_menu_text_row(int8_t row, const char *text, uint8_t colour);

// The title bar and the two prompt lines of a digit-entry page.
void draw_entry_heading(const char *title1, const char *title2, const char *prompt1,
                        const char *prompt2);

// Cells 0..count-1 of entry_digits centred on xs at y 61 in font 20, the cell
// at menu_selected red.
void draw_entry_digits(const int16_t *xs, uint8_t count);

// The four-digit code page: heading, the four cells and the soft keys.
void draw_code_page(const char *title1, const char *title2, const char *prompt1,
                    const char *prompt2, uint8_t soft_keys);

// What a key did on a digit-entry page.
#define CODE_KEY_NONE 0     // a digit changed or moved, or the key means nothing
#define CODE_KEY_LEAVE 1    // KEY_F1: leave the page
#define CODE_KEY_COMPLETE 2 // KEY_PUSH on the last cell: the entry is complete

// Applies a key to the cell at menu_selected (0..last_cell): "+" and "-" turn
// its digit with wrap, push moves right. The caller consumes the key.
uint8_t digit_entry_key(uint8_t key, uint8_t last_cell);

// digit_entry_key over the four cells of a code.
uint8_t code_page_key(uint8_t key);

// digit0 * 1000 + digit1 * 100 + digit2 * 10 + digit3.
uint16_t entered_code(void);
