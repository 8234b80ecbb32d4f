#include "screens/flight_prompt.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/icons/icons.h"
#include "display/image.h"
#include "display/text.h"
#include "display/title_bar.h"
#include "display/widgets.h"
#include "screens/run_screen.h"
#include "screens/screen.h"

void start_flight(void) {
    flight_running = 1;
    flight_hours = 0;
    flight_minutes = 0;
}

void flight_prompt_screen(void) {
    draw_title_bar("MESSAGE", "");
    draw_image(5, 40, question_icon, sizeof question_icon);
    draw_text(110, 43, flight_running == 0 ? "START" : "STOP", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_text(110, 63, "FLIGHT?", 0, 10, ALIGN_CENTRE, COLOUR_WHITE);
    draw_yes_no_keys();
    if (pending_key == 0) return;
    // YES starts a new flight from 0:00, or stops the running one and keeps its time.
    if (pending_key == KEY_F2) {
        if (flight_running == 0)
            start_flight();
        else
            flight_running = 0;
    }
    current_screen = run_screen;
    pending_key = 0;
}
