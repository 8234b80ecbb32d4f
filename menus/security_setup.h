// SECURITY SETUP: security on/off and the change of the security code
// through the check, new and confirm pages.
#pragma once

void security_setup_screen(void);
void check_code_screen(void);
void new_code_screen(void);
void confirm_code_screen(void);
