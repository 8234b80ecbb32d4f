// Menu state shared by all menu and code pages.
#pragma once
#include <stdint.h>

// A screen: called once per pass, draws its whole picture, then consumes pending_key.
typedef void (*screen_handler)(void);

#define MENU_ROWS 5
#define ENTRY_DIGITS 6

extern uint8_t menu_selected;
extern uint8_t menu_top;
extern uint8_t menu_editing;
extern uint16_t edit_step;
extern uint16_t pending_code;
extern uint8_t entry_digits[ENTRY_DIGITS];
extern uint8_t label_cursor;
// Where a message page goes on any key; defined beside current_screen.
extern screen_handler message_return_screen;

// Opens a page on `item`; the caller switches current_screen itself, just before.
void enter_menu(uint8_t item);
