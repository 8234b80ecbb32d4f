#include "screens/run_screen.h"

#include "core/keys.h"
#include "display/frame_buffer.h"
#include "display/primitives.h"
#include "screens/screen.h"

uint8_t run_page;
int32_t mag_check_rpm;
uint8_t flight_running;
uint8_t flight_hours;
uint8_t flight_minutes;

// Test pattern until the run pages are drawn: frame, diagonals and an arc.
void run_screen(void) {
    draw_rect(0, 0, 159, 119, COLOUR_WHITE);
    draw_line(0, 0, 159, 119, COLOUR_RED);
    draw_line(0, 119, 159, 0, COLOUR_YELLOW);
    draw_arc_band(80, 60, 10, 50, 150, 310, COLOUR_GREEN);
    pending_key = 0;
}
