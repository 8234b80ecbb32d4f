// The main menu: one setup page at a time, as a caption and an icon.
#pragma once

void main_menu_screen(void);
