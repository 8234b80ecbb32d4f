// Rules shared by the setup pages: scrolling, moving the selection, the value
// edits and the step labels in the right-hand soft-key cell.
#pragma once
#include <stdint.h>

// menu_top such that the selected item is one of the five rows (the bottom
// one once it is beyond the fifth).
void scroll_to_selection(void);

// The next or previous of `count` items, wrapping at both ends.
void select_next_item(uint8_t count);
void select_previous_item(uint8_t count);

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
