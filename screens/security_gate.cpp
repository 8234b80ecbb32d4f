#include "screens/security_gate.h"

#include "core/keys.h"
#include "core/settings.h"
#include "display/menu.h"
#include "display/widgets.h"
#include "menus/main_menu.h"
#include "screens/messages.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

uint16_t gate_openings;

void security_gate_screen(void) {
    draw_code_page("SECURITY", "CODE", "ENTER SECURITY", "CODE", SOFT_KEYS_EXIT);
    if (pending_key == 0) return;
    switch (code_page_key(pending_key)) {
    case CODE_KEY_LEAVE: current_screen = run_screen; break;
    case CODE_KEY_COMPLETE: {
        uint16_t code = entered_code();
        if (code == settings.security_code || code == master_code) {
            for (uint8_t i = 0; i < 4; i++) entry_digits[i] = 0;
            gate_openings++;
            menu_selected = 0;
            current_screen = main_menu_screen;
        } else {
            pending_code = 0;
            message_return_screen = run_screen;
            current_screen = code_result_screen;
        }
        break;
    }
    default: break;
    }
    pending_key = 0;
}
