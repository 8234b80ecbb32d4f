#include "display/menu.h"

uint8_t menu_selected;
uint8_t menu_top;
uint8_t menu_editing;
uint16_t edit_step;
uint16_t pending_code;
uint8_t entry_digits[ENTRY_DIGITS];
uint8_t label_cursor;

void enter_menu(uint8_t item) {
    pending_code = 0;
    menu_editing = 0;
    menu_selected = item;
    menu_top = 0;
    edit_step = 1;
}
