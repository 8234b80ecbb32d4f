// Rules shared by the setup pages: scrolling, moving the selection, the value
// edits, the step labels in the right-hand soft-key cell and the code pages.
#pragma once
#include "display/menu.h"

#include <stdint.h>

// menu_top such that the selected item is one of the five rows (the bottom
// one once it is beyond the fifth).
void scroll_to_selection(void);

// KEY_PLUS selects the next of `count` items, KEY_MINUS the previous one,
// wrapping at both ends.
void select_by_key(uint8_t key, uint8_t count);

// KEY_PUSH on a value: browsing to editing and back.
void toggle_editing(void);

// KEY_PLUS adds edit_step, KEY_MINUS takes it away; a result beyond the range
// jumps to the other end (not by the overshoot). Compared in 32 bits.
int32_t stepped_value(int32_t value, uint8_t key, int32_t minimum, int32_t maximum);

// An on/off or two-way option: 1 becomes 0, anything else 1.
uint8_t toggled(uint8_t value);

// KEY_PLUS: 0, 1, .. last, 0; KEY_MINUS the other way round.
uint8_t cycled(uint8_t value, uint8_t key, uint8_t last);

// A label character through the printable codes 32..126, wrapping.
char edited_label_char(char c, uint8_t key);

// KEY_F2 on a numeric item: edit_step times 10, after 1000 back to 1.
void next_edit_step(void);

// Text in the right-hand soft-key cell, where F2's meaning is shown.
void draw_f2_label(const char *text);

// When `item` is selected: "X1", "X10", "X100", "X1000" for edit_step (any
// other step becomes 1 and nothing is drawn).
void draw_step_label(uint8_t item);

// The same for values kept in tenths: "X0.1", "X1.0", "X10.0", "X100.0".
void draw_decimal_step_label(uint8_t item);

// The option text of `value` in a table of `count` records of `width` bytes;
// a value beyond the table shows its first record.
const char *option_text(const char *table, uint8_t width, uint8_t count, uint8_t value);
#define OPTION_TEXT(table, value)                                                                  \
    option_text((table)[0], sizeof(table)[0], sizeof(table) / sizeof(table)[0], (value))

// Switches to `page` and opens it on `item`.
void open_page_on(screen_handler page, uint8_t item);

// True when `code` is the stored code or the master code.
uint8_t code_accepted(uint16_t code, uint16_t stored);

// The code result page, "CHANGED" for outcome 1 and "ERROR" for 0; any key
// there goes back to `back_to`, with `item` selected.
void show_code_result(uint16_t outcome, screen_handler back_to, uint8_t item);

// Code cells 0..3 to 0 and the first one selected.
void clear_code_entry(void);

// ENTER CURRENT: the stored or master code leads to `next_page`, which starts
// from 0000; a wrong one shows ERROR and goes back to `back_to` on `item`.
void check_current_code(uint16_t code, uint16_t stored, screen_handler next_page,
                        screen_handler back_to, uint8_t item);

// ENTER NEW: keeps the code for its confirmation on `confirm_page`, which
// starts from 0000.
void take_new_code(uint16_t code, screen_handler confirm_page);

// CONFIRM NEW: a code equal to the new one becomes `*stored`; the result page
// shows the outcome and goes back to `back_to` on `item`.
void confirm_new_code(uint16_t code, uint16_t *stored, screen_handler back_to, uint8_t item);

// A four-digit code page of the setup: its texts, where KEY_F1 goes back to
// (with an item selected), and what a complete entry does.
struct code_page {
    const char *title1, *title2, *prompt1, *prompt2;
    screen_handler parent;
    uint8_t parent_item;
    void (*complete)(uint16_t code);
};

// One pass of a code page: draws it, then acts on the pending key.
void code_page_pass(const struct code_page *page);
