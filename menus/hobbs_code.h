// The Hobbs code pages: the guard of SET HOBBS TIME and the code change.
#pragma once

void enter_hobbs_code_screen(void);
void enter_current_hobbs_code_screen(void);
void enter_new_hobbs_code_screen(void);
void confirm_new_hobbs_code_screen(void);
