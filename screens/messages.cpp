#include "screens/messages.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/icons/icons.h"
#include "display/image.h"
#include "display/menu.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "screens/screen.h"

// Any key leaves to the page that opened the message.
static void leave_on_any_key(void) {
    if (pending_key == 0) return;
    current_screen = message_return_screen;
    pending_key = 0;
}

void done_message_screen(void) {
    draw_title_bar("MESSAGE", "");
    draw_text(110, 55, "DONE", 0, 16, ALIGN_CENTRE, COLOUR_WHITE);
    draw_image(10, 45, exclamation_icon, sizeof exclamation_icon);
    leave_on_any_key();
}

void code_result_screen(void) {
    draw_title_bar("MESSAGE", "");
    draw_image(5, 40, exclamation_icon, sizeof exclamation_icon);
    draw_text(110, 43, "CODE", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 63, pending_code == 1 ? "CHANGED" : "ERROR", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_soft_keys(SOFT_KEYS_BACK);
    leave_on_any_key();
}
